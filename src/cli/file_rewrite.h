#pragma once
// What convert and replace share: IN is read as the desktop program opens it, OUT is written
// as a card file (.csv) or a text export (.txt), with the password and compression options.
#include <optional>
#include <string>

#include "cardfile/file_settings.h"

namespace tabellan {

class CardSet;
class CommandArgs;
class Prompter;

struct RewriteOptions {
    std::string inPath;
    std::string outPath;
    bool outAsCardFile = true;
    std::optional<std::string> password;  // IN's password, from standard input
    // OUT's password (empty: none) as typed, in UTF-8: what the file's code page can hold is
    // known only once IN is read.
    std::optional<std::string> newPasswordUtf8;
    std::optional<int> compression;
};

// The operands IN and OUT and the options --password-stdin, --new-password-stdin and
// --compression. OUT's extension is checked before anything is read (a wrong name costs no
// password prompt or load); then both password lines are read, so which line is which never
// depends on the input.
RewriteOptions ReadRewriteOptions(const CommandArgs& args);

// Writes the cards to OUT with IN's settings, changed by the options. A new password that
// OUT's code page cannot hold is refused (EPasswordCharacters) before anything is written.
void WriteRewritten(const RewriteOptions& options, const CardSet& cards, FileSettings settings,
                    Prompter& prompter);

}  // namespace tabellan
