#pragma once
// Runs a command line taken from a card. Nothing goes through a shell: a web address or an
// existing document is handed to the desktop's opener as one argument, anything else is
// started as a program with its parameters split into words the way a shell splits them, but
// without any expansion. The started program is not waited for.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cardfile/codepage.h"

namespace tabellan {

class Prompter;

// Word splitting without expansion: blanks and tabs separate words; '...' is literal;
// "..." keeps blanks and takes \" \\ \$ \` as escapes; a backslash outside quotes takes the
// next character literally. An unterminated quote runs to the end of the text.
std::vector<std::string> SplitShellWords(std::string_view text);

// http://, https://, ftp://, file://, mailto: and www. addresses (letter case ignored).
bool IsWebAddress(std::string_view file);

class CommandRunner {
  public:
    // The program that opens documents and addresses with the desktop's default application.
    explicit CommandRunner(std::string opener = "xdg-open") : opener_(std::move(opener)) {}

    // Starts the command; returns the error message to show when it could not be started.
    std::optional<std::string> Run(std::string_view file, std::string_view parameters) const;
    // The Execute command: splits a command taken from a card (bytes in the card code page
    // cp) at its first blank, runs it with the file and its parameters in the system's
    // encoding (UTF-8), and shows a failure as the Execute command's error box.
    void Execute(std::string_view pendingCommand, CodePage cp, Prompter& prompter) const;

  private:
    std::string opener_;
};

// "Error running:" CR LF file "." CR LF CR LF system message ".".
std::string ErrorRunningMessage(std::string_view file, int err);

}  // namespace tabellan
