#pragma once
// Shared by the fuzz targets: a prompter nobody answers but the password dialog, and the
// checks every reader's result must pass. A failed check aborts, so libFuzzer reports it
// like a crash and keeps the input.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "cardfile/card_set.h"
#include "cardfile/prompter.h"

namespace tabellan::fuzz {

class FuzzPrompter : public Prompter {
  public:
    explicit FuzzPrompter(std::optional<std::string> password = std::nullopt)
        : password_(std::move(password)) {}
    Answer Show(MsgKind, std::string_view, Buttons buttons, int) override {
        return buttons == Buttons::Ok || buttons == Buttons::OkHelp ? Answer::Ok : Answer::No;
    }
    std::optional<std::string> AskPassword(std::string_view, std::string_view,
                                           std::string_view) override {
        return password_;
    }
    std::optional<std::string> InputBox(std::string_view, std::string_view,
                                        std::string_view) override {
        return std::nullopt;
    }

  private:
    std::optional<std::string> password_;
};

inline void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

// No card line holds a CR or a LF, and the set is sorted without exact duplicate indexes.
inline void CheckCards(const CardSet& cards) {
    for (int i = 0; i < cards.Count(); ++i) {
        for (const std::string& line : cards.CardAt(i).lines) {
            Require(line.find_first_of("\r\n") == std::string::npos, "card line without CR or LF");
        }
        if (i > 0) {
            Require(cards.IndexAt(i - 1) != cards.IndexAt(i), "indexes corrected");
        }
    }
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace tabellan::fuzz
