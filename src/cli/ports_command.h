#pragma once
// tabellan-cli ports [--set N=PATH]... [--clear N]...: lists the serial devices present and
// which device each port number stands for, and assigns devices to port numbers in the
// user's settings (the same values the desktop program reads).
namespace tabellan {

inline constexpr const char* kPortsUsage = "tabellan-cli ports [--set N=PATH] [--clear N]";

int RunPortsCommand(int argc, char** argv);

}  // namespace tabellan
