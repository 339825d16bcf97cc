#include "cli/ports_command.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "cardfile/errors.h"
#include "cli/command_args.h"
#include "phone/phone_exchange.h"
#include "phone/port_device.h"
#include "phone/serial_devices.h"

namespace tabellan {
namespace {

int PortNumberOperand(const CommandArgs& args, const std::string& option, const std::string& text) {
    try {
        const int port = StrToInt(text);
        if (port >= 1 && port <= kMaxPortNumber) {
            return port;
        }
    } catch (const TabellanError&) {
    }
    args.Fail(option + " takes a port number from 1 to " + std::to_string(kMaxPortNumber) +
              ", not " + text);
}

void PrintPorts() {
    std::printf("Serial devices:\n");
    const std::vector<SerialDevice> devices = ListSerialDevices();
    if (devices.empty()) {
        std::printf("  (none found)\n");
    }
    for (const SerialDevice& device : devices) {
        std::printf("  %s\n", DescribeSerialDevice(device).c_str());
    }
    std::printf("\nPorts (%s):\n", UserSettingsPath().c_str());
    for (const auto& [port, device] : UserPortMap()) {
        std::error_code error;
        const bool present = std::filesystem::exists(device, error);
        std::printf("  %d = %s%s\n", port, device.c_str(), present ? "" : " (not present)");
    }
    std::printf("  any other number n = /dev/ttyS<n-1>\n");
}

}  // namespace

int RunPortsCommand(int argc, char** argv) {
    const CommandArgs args(argc, argv, kPortsUsage, {}, {"--set", "--clear"});
    if (args.HelpRequested()) {
        std::printf("usage: %s\n", kPortsUsage);
        return 0;
    }
    args.RequireOperands(0);
    PortMap map = UserPortMap();
    bool changed = false;
    for (const auto& [option, value] : args.Options()) {
        if (option == "--clear") {
            map.erase(PortNumberOperand(args, option, value));
        } else {
            const std::size_t eq = value.find('=');
            if (eq == std::string::npos || eq + 1 == value.size()) {
                args.Fail("--set takes N=PATH, not " + value);
            }
            map[PortNumberOperand(args, option, value.substr(0, eq))] = value.substr(eq + 1);
        }
        changed = true;
    }
    if (changed) {
        WriteUserPortMap(map);
    }
    PrintPorts();
    return 0;
}

}  // namespace tabellan
