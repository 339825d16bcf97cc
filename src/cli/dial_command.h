#pragma once
// tabellan-cli dial [--device PATH | --port N] [--pulse] NUMBER: dials NUMBER through a modem
// the way the desktop program's Autodial does, and waits for the user to pick up the
// handset (a line on standard input, or its end) before it leaves the line to the handset.
namespace tabellan {

inline constexpr const char* kDialUsage =
    "tabellan-cli dial [--device PATH | --port N] [--pulse] NUMBER";

// Exit status: 0 dialed, 1 a step failed, 2 wrong usage, 3 the port did not open.
int RunDialCommand(int argc, char** argv);

}  // namespace tabellan
