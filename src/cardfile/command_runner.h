#pragma once
// Runs a command line taken from a card. Nothing goes through a shell: a web address or an
// existing document is handed to the desktop's opener as one argument, anything else is
// started as a program with its parameters split into words the way a shell splits them, but
// without any expansion. The started program is not waited for.
#include <functional>
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
    // Starts the opener with its arguments (the opener, then the document or address). It
    // reports the opener's failure itself, when the opener has ended, without blocking.
    // file: the document or address as the command named it, for the message.
    using OpenerStart =
        std::function<void(const std::vector<std::string>& args, const std::string& file)>;

    // opener: the program that opens documents and addresses with the desktop's default
    // application. Without startOpener the opener is started like any program, and only a
    // failure to start it is seen.
    explicit CommandRunner(std::string opener = "xdg-open", OpenerStart startOpener = {})
        : opener_(std::move(opener)), startOpener_(std::move(startOpener)) {}

    // Starts the command; returns the error message to show when it could not be started.
    std::optional<std::string> Run(std::string_view file, std::string_view parameters) const;
    // The Execute command: splits a command taken from a card (bytes in the card code page
    // cp) at its first blank, runs it with the file and its parameters in the system's
    // encoding (UTF-8), and shows a failure as the Execute command's error box.
    void Execute(std::string_view pendingCommand, CodePage cp, Prompter& prompter) const;

  private:
    std::string opener_;
    OpenerStart startOpener_;
};

// "Error running:" CR LF file "." CR LF CR LF system message ".".
std::string ErrorRunningMessage(std::string_view file, int err);
// The same with a reason of its own; its full stop is added unless it has one.
std::string ErrorRunningMessage(std::string_view file, std::string_view reason);

// Why the opener failed: what it wrote on its error output (the lines it says in its own
// name, "xdg-open: ...", else its last lines), else its exit status.
std::string OpenerFailureReason(std::string_view opener, int exitStatus,
                                std::string_view errorOutput);
// Why the opener did not start at all (err: the system's error code).
std::string OpenerNotStartedReason(std::string_view opener, int err);

}  // namespace tabellan
