#pragma once
// A prompter for the benchmarks: notices are taken, questions answered No, input boxes
// cancelled, and the password prompt given the password the benchmark set (if any).
#include <optional>
#include <string>
#include <string_view>

#include "cardfile/prompter.h"

namespace tabellan::bench {

class SilentPrompter : public Prompter {
  public:
    SilentPrompter() = default;
    explicit SilentPrompter(std::string password) : password_(std::move(password)) {}

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

}  // namespace tabellan::bench
