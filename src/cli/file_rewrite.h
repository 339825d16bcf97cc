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
    std::optional<std::string> password;     // IN's password, from standard input
    std::optional<std::string> newPassword;  // OUT's password (empty: none)
    std::optional<int> compression;
};

// The operands IN and OUT and the options --password-stdin, --new-password-stdin and
// --compression. OUT's extension is checked before anything is read (a wrong name costs no
// password prompt or load); then both password lines are read, so which line is which never
// depends on the input.
RewriteOptions ReadRewriteOptions(const CommandArgs& args);

// Writes the cards to OUT with IN's settings, changed by the options.
void WriteRewritten(const RewriteOptions& options, const CardSet& cards, FileSettings settings,
                    Prompter& prompter);

}  // namespace tabellan
