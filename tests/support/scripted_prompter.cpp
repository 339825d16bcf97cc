#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

namespace tabellan::test {
namespace {

template <typename T>
std::optional<T> Take(std::deque<T>& queue) {
    if (queue.empty()) {
        return std::nullopt;
    }
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

std::vector<std::string> Field(const std::vector<ScriptedPrompter::Asked>& asked,
                               std::string ScriptedPrompter::Asked::*field) {
    std::vector<std::string> out;
    for (const auto& a : asked) {
        out.push_back(a.*field);
    }
    return out;
}

}  // namespace

Answer ScriptedPrompter::Show(MsgKind kind, std::string_view text, Buttons buttons,
                              int helpContext) {
    shown.push_back(Shown{kind, std::string(text), buttons, helpContext});
    if (whileShown) {
        whileShown(shown.back());
    }
    if (buttons == Buttons::Ok || buttons == Buttons::OkHelp) {
        return Answer::Ok;
    }
    if (const std::optional<Answer> answer = Take(answers)) {
        return *answer;
    }
    if (failUnansweredQuestions) {
        ADD_FAILURE() << "unexpected question: " << text;
    }
    return unansweredDefault;
}

std::optional<std::string> ScriptedPrompter::AskPassword(std::string_view caption,
                                                         std::string_view prompt,
                                                         std::string_view initial) {
    passwordDialogs.push_back(
        Asked{std::string(caption), std::string(prompt), std::string(initial)});
    if (auto answer = Take(passwords)) {
        return *answer;
    }
    return defaultPassword;
}

std::optional<std::string> ScriptedPrompter::InputBox(std::string_view caption,
                                                      std::string_view prompt,
                                                      std::string_view initial) {
    inputBoxes.push_back(Asked{std::string(caption), std::string(prompt), std::string(initial)});
    if (auto answer = Take(inputs)) {
        return *answer;
    }
    if (cancelInputs) {
        return std::nullopt;
    }
    if (standingInput) {
        return standingInput;
    }
    if (acceptOfferedInput) {
        return std::string(initial);
    }
    return std::nullopt;
}

void ScriptedPrompter::Status(std::string_view text) {
    statuses.emplace_back(text);
}

void ScriptedPrompter::Busy(bool on) {
    busyDepth += on ? 1 : -1;
    ++busyCalls;
}

std::vector<std::string> ScriptedPrompter::Texts() const {
    std::vector<std::string> out;
    for (const Shown& s : shown) {
        out.push_back(s.text);
    }
    return out;
}

std::vector<std::string> ScriptedPrompter::InputPrompts() const {
    return Field(inputBoxes, &Asked::prompt);
}

std::vector<std::string> ScriptedPrompter::InputCaptions() const {
    return Field(inputBoxes, &Asked::caption);
}

std::vector<std::string> ScriptedPrompter::InputInitials() const {
    return Field(inputBoxes, &Asked::initial);
}

ScriptedPrompter SilentPrompter(std::optional<std::string> password) {
    ScriptedPrompter prompter;
    prompter.unansweredDefault = Answer::No;
    prompter.defaultPassword = std::move(password);
    return prompter;
}

ScriptedPrompter OfferAcceptingPrompter() {
    ScriptedPrompter prompter;
    prompter.acceptOfferedInput = true;
    return prompter;
}

}  // namespace tabellan::test
