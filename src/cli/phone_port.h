#pragma once
// What the subcommands that talk to a phone share: the port chosen on the command line, a
// window that is no window, and a prompter that answers the port prompt with that port.
#include <optional>
#include <string>
#include <string_view>

#include "cli/cli_prompter.h"
#include "cli/port_options.h"
#include "phone/event_dispatcher.h"
#include "phone/phone_exchange.h"
#include "phone/phone_window.h"

namespace tabellan {

// No window here: the status bar is not shown, and processing messages means running the
// serial line events handed over by the port's threads.
class CliPhoneWindow : public PhoneWindow {
  public:
    explicit CliPhoneWindow(PollingDispatcher& dispatcher) : dispatcher_(dispatcher) {}
    void SetStatusText(int /*panel*/, std::string_view /*text*/) override {}
    void ProcessMessages() override { dispatcher_.Pump(); }

  private:
    PollingDispatcher& dispatcher_;
};

// Answers the port prompt with the port chosen on the command line. An information box is
// the command's output and goes to standard output; everything else as CliPrompter does.
class CliPhonePrompter : public CliPrompter {
  public:
    explicit CliPhonePrompter(std::string port) : port_(std::move(port)) {}
    Answer Show(MsgKind kind, std::string_view text, Buttons buttons, int helpContext = 0) override;
    std::optional<std::string> InputBox(std::string_view /*caption*/, std::string_view /*prompt*/,
                                        std::string_view /*initial*/) override {
        return port_;
    }

  private:
    std::string port_;
};

// TABELLAN_PHONE_TIMING="POLL_MS,SILENCE_POLLS,OPEN_WAIT_MS" shortens the exchange's waits
// (for tests); without it, or when it does not parse, the exchange keeps its own timing.
void ApplyPhoneTimingFromEnvironment(PhoneExchange& exchange);

// The exchange of a subcommand with its dispatcher, window and prompter, on the device or
// port the command line names (a wrong --port or --device throws UsageError).
class CliPhone {
  public:
    explicit CliPhone(const CommandArgs& args);
    PhoneExchange& Exchange() { return exchange_; }
    // Opens the port as the desktop program's first command would, and waits the time a
    // phone needs after that. False, with the message printed, when the port does not open.
    bool Open();

  private:
    PortOptions options_;
    PollingDispatcher dispatcher_;
    CliPhoneWindow window_;
    CliPhonePrompter prompter_;
    PhoneExchange exchange_;
};

}  // namespace tabellan
