#pragma once
// tabellan-cli at [--device PATH | --port N] COMMAND...: sends AT commands to a phone the way
// the desktop program does and prints the lines of each reply that was judged OK.
namespace tabellan {

inline constexpr const char* kAtUsage = "tabellan-cli at [--device PATH | --port N] COMMAND...";

// Exit status: 0 every reply OK, 1 some reply not, 2 wrong usage, 3 the port did not open.
int RunAtCommand(int argc, char** argv);

}  // namespace tabellan
