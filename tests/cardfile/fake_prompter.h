#pragma once
// A Prompter for tests: records everything shown and answers from queues.
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cardfile/prompter.h"

namespace tabellan::test {

class FakePrompter : public Prompter {
  public:
    struct Shown {
        MsgKind kind;
        std::string text;
        Buttons buttons;
        int helpContext;
    };
    struct Asked {  // one password dialog or input box
        std::string caption;
        std::string prompt;
        std::string initial;
    };

    // Texts of every message box, in order (also in `shown` with their details).
    std::vector<std::string> messages;
    std::vector<Shown> shown;
    // Answers for message boxes. When the queue is empty, a box with only an OK button
    // (Ok, OkHelp) answers Ok, every other box answers `unansweredDefault`.
    std::deque<Answer> answers;
    Answer unansweredDefault = Answer::Cancel;
    // Password dialog answers (nullopt: cancelled); an empty queue cancels.
    std::deque<std::optional<std::string>> passwords;
    std::vector<Asked> passwordDialogs;
    // Input box answers (nullopt: cancelled); an empty queue cancels.
    std::deque<std::optional<std::string>> inputs;
    std::vector<Asked> inputBoxes;
    // Status panel texts and busy cursor calls.
    std::vector<std::string> statuses;
    int busyDepth = 0;
    int busyCalls = 0;

    Answer Show(MsgKind kind, std::string_view text, Buttons buttons,
                int helpContext = 0) override {
        messages.emplace_back(text);
        shown.push_back(Shown{kind, std::string(text), buttons, helpContext});
        if (!answers.empty()) {
            Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        if (buttons == Buttons::Ok || buttons == Buttons::OkHelp) {
            return Answer::Ok;
        }
        return unansweredDefault;
    }

    std::optional<std::string> AskPassword(std::string_view caption, std::string_view prompt,
                                           std::string_view initial) override {
        passwordDialogs.push_back(
            Asked{std::string(caption), std::string(prompt), std::string(initial)});
        if (passwords.empty()) {
            return std::nullopt;
        }
        auto a = passwords.front();
        passwords.pop_front();
        return a;
    }

    std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                        std::string_view initial) override {
        inputBoxes.push_back(
            Asked{std::string(caption), std::string(prompt), std::string(initial)});
        if (inputs.empty()) {
            return std::nullopt;
        }
        auto a = inputs.front();
        inputs.pop_front();
        return a;
    }

    void Status(std::string_view text) override { statuses.emplace_back(text); }
    void Busy(bool on) override {
        busyDepth += on ? 1 : -1;
        ++busyCalls;
    }
};

}  // namespace tabellan::test
