#include "cli/at_command.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "cardfile/errors.h"
#include "cli/cli_prompter.h"
#include "cli/command_args.h"
#include "cli/port_options.h"
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

// The desktop program's last choice, as it would offer it.
std::string StoredPortNumber() {
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
    const PortOptions port = ReadPortOptions(args);
    PollingDispatcher dispatcher(PrintError);
    AtWindow window(dispatcher);
    AtPrompter prompter(port.port.value_or(StoredPortNumber()));
    PhoneExchange exchange(window, prompter, &dispatcher);
    if (port.device) {
        exchange.SerComm1().SetDeviceName(*port.device);
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
