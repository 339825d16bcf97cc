#pragma once
// The prompter of every test: it records each message box, password dialog, input box,
// status text and busy cursor, and answers from queues.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cardfile/prompter.h"

namespace tabellan::test {

class ScriptedPrompter : public Prompter {
  public:
    struct Shown {  // one message box
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

    // --- message boxes ---
    std::vector<Shown> shown;
    // Answers for questions (boxes with more than an OK button), in order. A box with only
    // OK (Ok, OkHelp) is answered Ok without taking one. A question with none left is
    // answered `unansweredDefault`, and fails the test when `failUnansweredQuestions` is set.
    std::deque<Answer> answers;
    Answer unansweredDefault = Answer::Cancel;
    bool failUnansweredQuestions = false;
    // Runs while a box is shown, to look at the windows as the user sees them then.
    std::function<void(const Shown&)> whileShown;

    // --- password dialogs ---
    std::vector<Asked> passwordDialogs;
    // Answers in order (nullopt: cancelled); with none left, `defaultPassword`.
    std::deque<std::optional<std::string>> passwords;
    std::optional<std::string> defaultPassword;

    // --- input boxes ---
    std::vector<Asked> inputBoxes;
    // Answers in order (nullopt: cancelled). With none left a box is cancelled when
    // `cancelInputs` is set, else answered `standingInput` when there is one, else confirmed
    // with its offered text when `acceptOfferedInput` is set, else cancelled.
    std::deque<std::optional<std::string>> inputs;
    bool cancelInputs = false;
    std::optional<std::string> standingInput;
    bool acceptOfferedInput = false;

    // --- progress ---
    std::vector<std::string> statuses;
    int busyDepth = 0;  // > 0 while a busy cursor is shown
    int busyCalls = 0;

    Answer Show(MsgKind kind, std::string_view text, Buttons buttons, int helpContext = 0) override;
    std::optional<std::string> AskPassword(std::string_view caption, std::string_view prompt,
                                           std::string_view initial) override;
    std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                        std::string_view initial) override;
    void Status(std::string_view text) override;
    void Busy(bool on) override;

    // The texts of `shown`, in order.
    std::vector<std::string> Texts() const;
    std::vector<std::string> InputPrompts() const;
    std::vector<std::string> InputCaptions() const;
    std::vector<std::string> InputInitials() const;
};

// A prompter for the benchmarks: notices are taken, questions answered No, input boxes
// cancelled, and the password dialog given password.
ScriptedPrompter SilentPrompter(std::optional<std::string> password = std::nullopt);
// A prompter whose input boxes take what they offer unless told otherwise (the port number
// prompt, the start number of a resequence).
ScriptedPrompter OfferAcceptingPrompter();

}  // namespace tabellan::test
