#pragma once
// tabellan-cli replace IN OUT: the desktop program's Replace All over a card file, from the
// start of one card round the whole file, written out as convert writes.
namespace tabellan {

inline constexpr const char* kReplaceUsage =
    "tabellan-cli replace IN OUT --find TEXT --with TEXT [--scope indexes|cards] "
    "[--match-case] [--from INDEX] [--password-stdin] [--new-password-stdin] "
    "[--compression 0-3]";

int RunReplaceCommand(int argc, char** argv);

}  // namespace tabellan
