#pragma once
// The prompter of the command-line tool: nobody is there to answer, so notices go to
// standard error, questions get their safe answer (No or Cancel), and the password dialog
// answers with the password given on standard input, if any.
#include <cstdio>
#include <optional>
#include <string>

#include "cardfile/prompter.h"

namespace tabellan {

class CliPrompter : public Prompter {
  public:
    // password: the answer of the password dialog, already in the card text code page;
    // nullopt makes the dialog count as cancelled.
    explicit CliPrompter(std::optional<std::string> password = std::nullopt,
                         std::FILE* err = stderr);

    Answer Show(MsgKind kind, std::string_view text, Buttons buttons, int helpContext = 0) override;
    std::optional<std::string> AskPassword(std::string_view caption, std::string_view prompt,
                                           std::string_view initial) override;
    std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                        std::string_view initial) override;

  private:
    void Print(const std::string& utf8Line);

    std::optional<std::string> password_;
    std::FILE* err_;
};

// One line of the input (a password typed or piped in), without its line end, as it came
// (UTF-8); nullopt at the end of the input.
std::optional<std::string> ReadInputLine(std::FILE* in = stdin);
// The same converted from UTF-8 to the card text code page, for opening a file: a password
// that opened a file is tried as it is.
std::optional<std::string> ReadPasswordLine(std::FILE* in = stdin);

// The answer the tool gives to a box with these buttons: No or Cancel for a question, OK for
// a notice.
Answer SafeAnswer(Buttons buttons);

// Message text (card text code page, or UTF-8 when it names a UTF-8 file) as UTF-8 lines
// for a terminal, shown as the program's boxes show it (ShownMessage): a lone CR becomes LF
// and "&&" one "&".
std::string MessageForTerminal(std::string_view ansiText);

}  // namespace tabellan
