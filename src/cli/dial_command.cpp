#include "cli/dial_command.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "autodial/dial_rules.h"
#include "autodial/modem_dialer.h"
#include "cardfile/errors.h"
#include "cli/cli_prompter.h"
#include "cli/command_args.h"
#include "cli/port_options.h"
#include "phone/event_dispatcher.h"
#include "phone/phone_exchange.h"
#include "phone/port_device.h"

namespace tabellan {
namespace {

// No window: processing messages means running the serial line events the port's threads
// hand over.
class CliDialWindow : public DialWindow {
  public:
    explicit CliDialWindow(PollingDispatcher& dispatcher) : dispatcher_(dispatcher) {}
    void ProcessMessages() override { dispatcher_.Pump(); }

  private:
    PollingDispatcher& dispatcher_;
};

// Failures go to standard error as always; the pick-up message goes to standard output and
// is answered by a line on standard input, or by its end.
class DialPrompter : public CliPrompter {
  public:
    Answer Show(MsgKind kind, std::string_view text, Buttons buttons,
                int helpContext = 0) override {
        if (kind != MsgKind::Information) {
            return CliPrompter::Show(kind, text, buttons, helpContext);
        }
        std::printf("%s\n", MessageForTerminal(text).c_str());
        std::fflush(stdout);
        int c = 0;
        while ((c = std::fgetc(stdin)) != EOF && c != '\n') {
        }
        return Answer::Ok;
    }
};

// The desktop program's modem port, as its Autodial page would use it.
std::string StoredModemPort() {
    const ModemSettings stored = DecodeAutoDialModem(UserSetting("AutoDialModem").value_or(""));
    return stored.port.empty() ? "1" : stored.port;
}

}  // namespace

int RunDialCommand(int argc, char** argv) {
    const CommandArgs args(argc, argv, kDialUsage, {"--pulse"}, {"--device", "--port"});
    if (args.HelpRequested()) {
        std::printf("usage: %s\n", kDialUsage);
        return 0;
    }
    args.RequireOperands(1);
    const std::string& number = args.Operands().front();
    for (const char c : number) {
        if (static_cast<unsigned char>(c) < 0x20) {
            args.Fail("NUMBER must not hold control characters (a CR would end the command)");
        }
    }
    const PortOptions port = ReadPortOptions(args);
    PollingDispatcher dispatcher(PrintError);
    CliDialWindow window(dispatcher);
    DialPrompter prompter;
    ModemDialer dialer(window, prompter, &dispatcher);
    if (port.device) {
        dialer.SerComm2().SetDeviceName(*port.device);
    }
    try {
        const DialType type = args.Has("--pulse") ? DialType::Pulse : DialType::Tone;
        // With a device path the port number plays no part.
        const std::string portText = port.device ? "1" : port.port.value_or(StoredModemPort());
        return dialer.btnDialClick(portText, type, number) ? 0 : 1;
    } catch (const std::exception& e) {
        PrintError(e.what());
        return dialer.PortOpened() ? 1 : 3;
    }
}

}  // namespace tabellan
