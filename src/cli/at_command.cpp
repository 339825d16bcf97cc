#include "cli/at_command.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "cardfile/errors.h"
#include "cli/cli_prompter.h"
#include "cli/command_args.h"
#include "phone/event_dispatcher.h"
#include "phone/phone_exchange.h"
#include "phone/port_device.h"

namespace tabellan {
namespace {

// No window here: the status bar is not shown, and processing messages means running the
// serial line events handed over by the port's threads.
class AtWindow : public PhoneWindow {
  public:
    explicit AtWindow(PollingDispatcher& dispatcher) : dispatcher_(dispatcher) {}
    void SetStatusText(int /*panel*/, std::string_view /*text*/) override {}
    void ProcessMessages() override { dispatcher_.Pump(); }

  private:
    PollingDispatcher& dispatcher_;
};

// Answers the port prompt with the port chosen on the command line.
class AtPrompter : public CliPrompter {
  public:
    explicit AtPrompter(std::string port) : port_(std::move(port)) {}
    std::optional<std::string> InputBox(std::string_view /*caption*/, std::string_view /*prompt*/,
                                        std::string_view /*initial*/) override {
        return port_;
    }

  private:
    std::string port_;
};

void PrintError(std::string_view message) {
    std::fprintf(stderr, "error: %s\n", MessageForTerminal(message).c_str());
}

std::string PortNumber(const CommandArgs& args) {
    if (auto port = args.Value("--port")) {
        try {
            if (StrToInt(*port) < 1) {
                args.Fail("--port takes a number from 1 up");
            }
        } catch (const TabellanError&) {
            args.Fail("--port takes a number, not " + *port);
        }
        return *port;
    }
    // The desktop program's last choice, as it would offer it.
    const auto stored = UserSetting("CommPort");
    try {
        return stored ? std::to_string(StrToInt(*stored)) : "1";
    } catch (const TabellanError&) {
        return "1";
    }
}

}  // namespace

int RunAtCommand(int argc, char** argv) {
    const CommandArgs args(argc, argv, kAtUsage, {}, {"--device", "--port"});
    if (args.HelpRequested()) {
        std::printf("usage: %s\n", kAtUsage);
        return 0;
    }
    if (args.Operands().empty()) {
        args.Fail("no AT command given");
    }
    const std::optional<std::string> device = args.Value("--device");
    if (device && args.Value("--port")) {
        args.Fail("--device and --port exclude each other");
    }
    PollingDispatcher dispatcher(PrintError);
    AtWindow window(dispatcher);
    AtPrompter prompter(PortNumber(args));
    PhoneExchange exchange(window, prompter, &dispatcher);
    if (device) {
        exchange.SerComm1().SetDeviceName(*device);
    }
    try {
        exchange.OpenPhonePort();
    } catch (const std::exception& e) {
        PrintError(e.what());
        return 3;
    }
    exchange.WaitAfterOpen();
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
