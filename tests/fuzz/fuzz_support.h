#pragma once
// Shared by the fuzz targets: the checks every reader's result must pass (a failed check
// aborts, so libFuzzer reports it like a crash and keeps the input), and the card file
// reader with or without a password.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "cardfile/card_file.h"
#include "cardfile/card_set.h"
#include "cardfile/errors.h"
#include "support/scripted_prompter.h"

namespace tabellan::fuzz {

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

// Empties a set kept from run to run before the run ends: cards left for the next run to
// free make every run look like a leak to libFuzzer, which then runs the input again.
inline void ReleaseCards(CardSet& cards) {
    cards.Clear();
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Loads the bytes as a card file; the password dialog is answered with password (nullopt:
// cancelled, so an encrypted file is refused).
inline void LoadCardFile(std::string_view bytes, std::optional<std::string> password) {
    static CardSet cards;  // one collator for the whole run: making one costs more than a load
    FileSettings settings;
    auto prompter = test::SilentPrompter(std::move(password));
    try {
        LoadCsvCardData(bytes, "fuzz.csv", cards, settings, SettingsContext{}, prompter);
    } catch (const TabellanError&) {
    }
    CheckCards(cards);
    ReleaseCards(cards);
}

}  // namespace tabellan::fuzz
