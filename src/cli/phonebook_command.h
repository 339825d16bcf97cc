#pragma once
// tabellan-cli phonebook read|info|update: the desktop program's Read, Mobile Information and
// Update commands from the command line, over the same library functions and exchange.
namespace tabellan {

inline constexpr const char* kPhonebookUsage =
    "tabellan-cli phonebook read|info|update [--device PATH | --port N] [--storage CODE] "
    "[--yes] [FILE]";

// Exit status: 0 success, 1 any failure (a refused command included), 2 wrong usage, 3 the
// port did not open.
int RunPhonebookCommand(int argc, char** argv);

}  // namespace tabellan
