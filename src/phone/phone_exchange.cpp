#include "phone/phone_exchange.h"

#include <charconv>
#include <thread>
#include <utility>

#include "phone/phone_errors.h"
#include "phone/phone_reply.h"
#include "phone/port_device.h"

namespace tabellan {
namespace {

constexpr std::size_t kShownLineLimit = 200;

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

}  // namespace

int StrToInt(std::string_view text) {
    std::string_view digits = TrimBlanks(text);
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) {
        throw TabellanError("'" + std::string(text) + "' is not a valid integer value");
    }
    return value;
}

std::string SerComm1ErrorText(std::uint32_t errors) {
    static constexpr std::pair<std::uint32_t, const char*> kTexts[] = {
        {0x0010, "The hardware detected a break condition."},
        {0x0800, "Windows 95 only: A parallel device is not selected."},
        {0x0008, "The hardware detected a framing error."},
        {0x0400, "An I/O error occurred during communications with the device."},
        {0x8000, "The requested mode is not supported."},
        {0x1000, "Windows 95 only: A parallel device signaled that it is out of paper."},
        {0x0002, "A character-buffer overrun has occurred. The next character is lost."},
        {0x0200, "Windows 95 only: A time-out occurred on a parallel device."},
        {0x0001, "An input buffer overflow has occurred."},
        {0x0004, "The hardware detected a parity error."},
        {0x0100, "Transmit buffer overflow."},
    };
    std::string text;
    for (const auto& [bit, message] : kTexts) {
        if ((errors & bit) != 0) {
            text = message;
        }
    }
    return text;
}

PhoneExchange::PhoneExchange(PhoneWindow& window, Prompter& prompter, EventDispatcher* dispatcher)
    : window_(window), prompter_(prompter) {
    serComm1_.SetDispatcher(dispatcher);
    SetProgramPortSettings(serComm1_);
    serComm1_.OnOpen = [this](TSerCustomComm& s) { SerComm1Open(s); };
    serComm1_.OnClose = [this](TSerCustomComm& s) { SerComm1Close(s); };
    serComm1_.OnBreak = [this](TSerCustomComm& s) { SerComm1Break(s); };
    serComm1_.OnError = [this](TSerCustomComm& s, std::uint32_t e) { SerComm1Error(s, e); };
    serComm1_.OnTxEmpty = [this](TSerCustomComm& s) { SerComm1TxEmpty(s); };
}

void PhoneExchange::OpenPhonePort() {
    const auto text =
        prompter_.InputBox("Open Mobile Phone's Port",
                           "Specify the port number your mobile phone is connected to:\r\n" +
                               PortChoicesText(serComm1_.PortNum()),
                           std::to_string(serComm1_.PortNum()));
    if (!text) {
        throw EPortOpenErr("Port open canceled!");
    }
    serComm1_.SetPortNum(StrToInt(*text));
    serComm1_.Open();
}

void PhoneExchange::WaitAfterOpen() {
    Pause(timing_.openWait);
}

void PhoneExchange::mnuPBOpenClick() {
    serComm1_.Close();
    const BusyScope busy(prompter_);
    OpenPhonePort();
}

void PhoneExchange::mnuPBClosePortClick() {
    serComm1_.Close();
}

void PhoneExchange::SendPhoneCommand(std::string_view command, std::string_view action,
                                     bool showErrors) {
    if (!serComm1_.IsOpen()) {
        const BusyScope busy(prompter_);
        try {
            OpenPhonePort();
        } catch (...) {
            if (serComm1_.IsOpen()) {
                WaitAfterOpen();
            }
            throw;
        }
        if (serComm1_.IsOpen()) {
            WaitAfterOpen();
        }
    }
    replyList_.clear();
    if (!serComm1_.IsOpen()) {
        return;
    }
    std::string reply;
    bool overLimit = false;
    {
        const BusyScope busy(prompter_);
        window_.SetStatusText(1, action);
        const std::string line = std::string(command) + "\r\n";
        bool taken = false;
        try {
            DiscardPendingInput();
        } catch (const ESerCommError&) {
            window_.SetStatusText(1, "");
            serComm1_.Close();
            throw;
        }
        try {
            taken = serComm1_.WriteText(line);
        } catch (const ESerCommError&) {
            window_.SetStatusText(1, "");
            throw;
        }
        if (taken) {
            window_.SetStatusText(0, "Writing " + std::to_string(line.size()) + " characters...");
        } else {
            window_.SetStatusText(0,
                                  "Error writing to port " + std::to_string(serComm1_.PortNum()));
        }
        try {
            overLimit = CollectReply(reply);
        } catch (const ESerCommError&) {
            window_.SetStatusText(1, "");
            // A device that failed under us (unplugged, hung up) is given up, so that the
            // next command opens it afresh.
            serComm1_.Close();
            throw;
        }
        window_.SetStatusText(1, "");
        replyList_ = SplitReply(reply);
    }
    JudgeReply(action, showErrors, overLimit);
}

void PhoneExchange::DiscardPendingInput() {
    // Bounded, so that a device that never stops talking cannot hold the command back.
    std::size_t dropped = 0;
    while (dropped <= timing_.replyLimit) {
        const std::string stale = serComm1_.ReadText();
        if (stale.empty()) {
            return;
        }
        dropped += stale.size();
    }
}

bool PhoneExchange::CollectReply(std::string& reply) {
    std::size_t byteCount = 0;
    std::size_t previousCount = 0;
    int idle = 0;
    for (;;) {
        std::this_thread::sleep_for(timing_.poll);
        window_.ProcessMessages();
        const std::string received = serComm1_.ReadText();
        byteCount += received.size();
        reply.append(received, 0, std::min(received.size(), timing_.replyLimit - reply.size()));
        window_.SetStatusText(0, std::to_string(byteCount) + " bytes read.");
        if (byteCount > timing_.replyLimit) {
            return true;
        }
        if (byteCount != previousCount) {
            previousCount = byteCount;
            idle = 0;
            continue;
        }
        if (ReplyComplete(reply)) {
            return false;
        }
        if (++idle >= timing_.silencePolls) {
            return false;
        }
    }
}

void PhoneExchange::JudgeReply(std::string_view action, bool showErrors, bool overLimit) {
    const std::string prefix = "Action: " + std::string(action) + "\r\n";
    const std::string note = errorNote_.empty() ? std::string() : "\r\n\r\n" + errorNote_;
    if (replyList_.empty()) {
        if (showErrors) {
            prompter_.Show(MsgKind::Error,
                           prefix + "No response from phone. Check connection..." + note,
                           Buttons::Ok);
        }
        return;
    }
    if (!overLimit && replyList_.back() == "OK") {
        return;
    }
    if (showErrors) {
        std::string last = replyList_.back();
        if (overLimit && last.size() > kShownLineLimit) {
            last.resize(kShownLineLimit);
            last += "...";
        }
        prompter_.Show(MsgKind::Error,
                       prefix + "\r\nInvalid or incomplete response from phone: " + last +
                           "\r\nPlease retry..." + note,
                       Buttons::Ok);
    }
    replyList_.clear();
}

void PhoneExchange::Pause(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return;
        }
        std::this_thread::sleep_for(std::min(left, timing_.poll));
        window_.ProcessMessages();
    }
}

void PhoneExchange::SerComm1Open(TSerCustomComm& /*sender*/) {
    window_.SetStatusText(0, "Port open");
    window_.SetClosePortEnabled(true);
}

void PhoneExchange::SerComm1Close(TSerCustomComm& /*sender*/) {
    window_.SetStatusText(0, "Port closed");
    window_.SetClosePortEnabled(false);
}

void PhoneExchange::SerComm1Break(TSerCustomComm& /*sender*/) {
    window_.SetStatusText(0, "Break signal detected...");
}

void PhoneExchange::SerComm1Error(TSerCustomComm& /*sender*/, std::uint32_t errors) {
    window_.SetStatusText(0, SerComm1ErrorText(errors));
}

void PhoneExchange::SerComm1TxEmpty(TSerCustomComm& /*sender*/) {
    window_.SetStatusText(0, "TxEmpty signal detected...");
}

}  // namespace tabellan
