#include "cli/port_options.h"

#include <cstdio>

#include "cardfile/errors.h"
#include "cli/cli_prompter.h"
#include "phone/phone_exchange.h"

namespace tabellan {

PortOptions ReadPortOptions(const CommandArgs& args) {
    PortOptions options{args.Value("--device"), args.Value("--port")};
    if (options.device && options.port) {
        args.Fail("--device and --port exclude each other");
    }
    if (options.port) {
        try {
            if (StrToInt(*options.port) < 1) {
                args.Fail("--port takes a number from 1 up");
            }
        } catch (const TabellanError&) {
            args.Fail("--port takes a number, not " + *options.port);
        }
    }
    return options;
}

void PrintError(std::string_view message) {
    std::fprintf(stderr, "error: %s\n", MessageForTerminal(message).c_str());
}

}  // namespace tabellan
