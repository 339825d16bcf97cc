#include "autodial/modem_dialer.h"

#include <thread>

#include "phone/phone_exchange.h"

namespace tabellan {
namespace {

// A reply cut off by the byte limit is shown up to this many bytes.
constexpr std::size_t kShownReplyLimit = 200;

// Keeps the dialog disabled while dialing, however dialing ends.
class DialogDisabled {
  public:
    explicit DialogDisabled(DialWindow& window) : window_(window) {
        window_.SetDialogEnabled(false);
    }
    ~DialogDisabled() { window_.SetDialogEnabled(true); }
    DialogDisabled(const DialogDisabled&) = delete;
    DialogDisabled& operator=(const DialogDisabled&) = delete;

  private:
    DialWindow& window_;
};

}  // namespace

// Once the port is open: the lone CR, the pause and the close, however dialing ends.
class ModemDialer::LineRelease {
  public:
    explicit LineRelease(ModemDialer& dialer) : dialer_(dialer) {}
    ~LineRelease() {
        try {
            dialer_.serComm2_.WriteText("\r");
            dialer_.Settle();
        } catch (...) {
            // The port failed already; closing it is all that is left to do.
        }
        try {
            dialer_.serComm2_.Close();
        } catch (...) {
        }
    }
    LineRelease(const LineRelease&) = delete;
    LineRelease& operator=(const LineRelease&) = delete;

  private:
    ModemDialer& dialer_;
};

std::string DialCommand(DialType type, std::string_view number) {
    return std::string("ATD") + (type == DialType::Pulse ? "P" : "T") + std::string(number) + "\r";
}

std::string PickUpMessage(std::string_view number) {
    return "Dialing " + std::string(number) + "...\r\nPlease, pick up the phone and then click OK.";
}

ModemDialer::ModemDialer(DialWindow& window, Prompter& prompter, EventDispatcher* dispatcher)
    : window_(window), prompter_(prompter) {
    serComm2_.SetDispatcher(dispatcher);
    SetProgramPortSettings(serComm2_);
}

bool ModemDialer::btnDialClick(std::string_view modemPort, DialType type, std::string_view number) {
    const std::string command = DialCommand(type, number);
    const BusyScope busy(prompter_);
    const DialogDisabled disabled(window_);
    portOpened_ = false;
    serComm2_.Close();
    serComm2_.SetPortNum(StrToInt(modemPort));
    serComm2_.Open();
    portOpened_ = true;
    const LineRelease release(*this);
    serComm2_.WriteText("ATZ\r");
    if (!WaitModemReply("OK\r", "")) {
        return false;
    }
    serComm2_.WriteText("ATE1\r");
    if (!WaitModemReply("OK\r", "")) {
        return false;
    }
    // The modem echoes the command once echo is on; the echo says it has taken it.
    serComm2_.WriteText(command);
    return WaitModemReply(command, PickUpMessage(number));
}

bool ModemDialer::WaitModemReply(std::string_view expected, std::string_view message) {
    std::string received;
    bool found = false;
    int idle = 0;
    while (idle < timing_.silencePolls) {
        std::this_thread::sleep_for(timing_.poll);
        window_.ProcessMessages();
        const std::string piece = serComm2_.ReadText();
        if (!piece.empty()) {
            received += piece;
            idle = 0;
        }
        // Looked for in everything received: the text may arrive in pieces.
        found = received.find(expected) != std::string::npos;
        if (found || received.size() >= timing_.replyLimit) {
            break;
        }
        ++idle;
    }
    if (received.empty()) {
        prompter_.Show(MsgKind::Error, kNoModemResponse, Buttons::OkHelp, kModemHelpContext);
        return false;
    }
    if (!found) {
        // A modem that talked on past the limit is shown by the start of what it said.
        if (received.size() >= timing_.replyLimit && received.size() > kShownReplyLimit) {
            received.resize(kShownReplyLimit);
            received += "...";
        }
        prompter_.Show(
            MsgKind::Error,
            "Invalid or incomplete response from modem: " + received + "\r\nPlease retry...",
            Buttons::OkHelp, kModemHelpContext);
        return false;
    }
    if (!message.empty()) {
        prompter_.Show(MsgKind::Information, message, Buttons::Ok);
    }
    Settle();
    return true;
}

// A short pause that keeps the window and the port's events going, so that the write
// thread can hand over its events and send what is queued.
void ModemDialer::Settle() {
    const auto end = std::chrono::steady_clock::now() + timing_.settle;
    do {
        std::this_thread::sleep_for(std::min(timing_.poll, timing_.settle));
        window_.ProcessMessages();
    } while (std::chrono::steady_clock::now() < end);
}

}  // namespace tabellan
