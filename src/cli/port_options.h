#pragma once
// The options of the commands that talk to a serial device: --device PATH or --port N.
#include <optional>
#include <string>
#include <string_view>

#include "cli/command_args.h"

namespace tabellan {

struct PortOptions {
    std::optional<std::string> device;  // a device path, used as it stands
    std::optional<std::string> port;    // a port number from 1 up, as given
};

// Throws UsageError when both are given or the port is not a number from 1 up.
PortOptions ReadPortOptions(const CommandArgs& args);

// A failure of the device or the exchange, on standard error.
void PrintError(std::string_view message);

}  // namespace tabellan
