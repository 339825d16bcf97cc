#include "cli/at_command.h"

#include <cstdio>
#include <exception>
#include <string>

#include "cli/command_args.h"
#include "cli/phone_port.h"
#include "phone/phone_exchange.h"

namespace tabellan {

int RunAtCommand(int argc, char** argv) {
    const CommandArgs args(argc, argv, kAtUsage, {}, {"--device", "--port"});
    if (args.HelpRequested()) {
        std::printf("usage: %s\n", kAtUsage);
        return 0;
    }
    if (args.Operands().empty()) {
        args.Fail("no AT command given");
    }
    CliPhone phone(args);
    if (!phone.Open()) {
        return 3;
    }
    PhoneExchange& exchange = phone.Exchange();
    bool allOk = true;
    for (const std::string& command : args.Operands()) {
        try {
            exchange.SendPhoneCommand(command, command, true);
        } catch (const std::exception& e) {
            PrintError(e.what());
        }
        if (exchange.ReplyList().empty()) {
            allOk = false;
            continue;
        }
        for (const std::string& line : exchange.ReplyList()) {
            std::fwrite(line.data(), 1, line.size(), stdout);
            std::fputc('\n', stdout);
        }
        std::fflush(stdout);
    }
    return allOk ? 0 : 1;
}

}  // namespace tabellan
