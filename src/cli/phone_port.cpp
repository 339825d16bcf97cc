#include "cli/phone_port.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "phone/phone_exchange.h"
#include "phone/port_device.h"

namespace tabellan {
namespace {

// The port number of --port, else the desktop program's last choice, else 1.
std::string PhonePortNumber(const PortOptions& options) {
    if (options.port) {
        return *options.port;
    }
    // The desktop program's last choice, as it would offer it.
    return std::to_string(StoredPhonePort(UserSetting("CommPort")));
}

}  // namespace

Answer CliPhonePrompter::Show(MsgKind kind, std::string_view text, Buttons buttons,
                              int helpContext) {
    if (kind != MsgKind::Information) {
        return CliPrompter::Show(kind, text, buttons, helpContext);
    }
    std::string out = MessageForTerminal(text);
    if (!out.ends_with('\n')) {
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    return SafeAnswer(buttons);
}

void ApplyPhoneTimingFromEnvironment(PhoneExchange& exchange) {
    const char* text = std::getenv("TABELLAN_PHONE_TIMING");
    if (text == nullptr) {
        return;
    }
    long poll = 0;
    long silence = 0;
    long openWait = 0;
    char extra = 0;
    if (std::sscanf(text, "%ld,%ld,%ld%c", &poll, &silence, &openWait, &extra) != 3 || poll < 1 ||
        poll > 1000 || silence < 1 || silence > 1000 || openWait < 0 || openWait > 60000) {
        return;
    }
    PhoneTiming timing = exchange.Timing();
    timing.poll = std::chrono::milliseconds(poll);
    timing.silencePolls = static_cast<int>(silence);
    timing.openWait = std::chrono::milliseconds(openWait);
    exchange.SetTiming(timing);
}

CliPhone::CliPhone(const CommandArgs& args)
    : options_(ReadPortOptions(args)),
      dispatcher_(PrintError),
      window_(dispatcher_),
      prompter_(PhonePortNumber(options_)),
      exchange_(window_, prompter_, &dispatcher_) {
    if (options_.device) {
        exchange_.SerComm1().SetDeviceName(*options_.device);
    }
    ApplyPhoneTimingFromEnvironment(exchange_);
}

bool CliPhone::Open() {
    try {
        exchange_.OpenPhonePort();
    } catch (const std::exception& e) {
        PrintError(e.what());
        return false;
    }
    exchange_.WaitAfterOpen();
    return true;
}

}  // namespace tabellan
