#pragma once
// The main window's dialogue with a mobile phone: opening the phone's port, sending one AT
// command at a time, collecting the reply until it is complete or the phone falls silent,
// judging it, and showing progress and the serial line's events in the status bar.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cardfile/prompter.h"
#include "phone/phone_window.h"
#include "phone/ser_comm.h"

namespace tabellan {

class EventDispatcher;

struct PhoneTiming {
    std::chrono::milliseconds poll{50};
    int silencePolls = 80;
    std::chrono::milliseconds openWait{2000};
    // A reply longer than this is cut off and judged invalid.
    std::size_t replyLimit = std::size_t{1} << 20;
};

class PhoneExchange {
  public:
    PhoneExchange(PhoneWindow& window, Prompter& prompter, EventDispatcher* dispatcher);
    PhoneExchange(const PhoneExchange&) = delete;
    PhoneExchange& operator=(const PhoneExchange&) = delete;

    TSerComm& SerComm1() { return serComm1_; }
    const std::vector<std::string>& ReplyList() const { return replyList_; }
    PhoneWindow& Window() { return window_; }
    Prompter& GetPrompter() { return prompter_; }

    // A paragraph added to every error message the exchange shows while it is set (an update
    // names the file that keeps the phone's entries); empty for none.
    void SetErrorNote(std::string note) { errorNote_ = std::move(note); }

    void SendPhoneCommand(std::string_view command, std::string_view action, bool showErrors);
    void OpenPhonePort();
    // The pause after a command had to open the port, so that the phone is ready.
    void WaitAfterOpen();

    void mnuPBOpenClick();
    void mnuPBClosePortClick();

    void SerComm1Open(TSerCustomComm& sender);
    void SerComm1Close(TSerCustomComm& sender);
    void SerComm1Break(TSerCustomComm& sender);
    void SerComm1Error(TSerCustomComm& sender, std::uint32_t errors);
    void SerComm1TxEmpty(TSerCustomComm& sender);

    void SetTiming(const PhoneTiming& timing) { timing_ = timing; }
    const PhoneTiming& Timing() const { return timing_; }

  private:
    // Drops what arrived since the last reply was judged (a late answer, an unsolicited line),
    // so that it is never taken for the answer to the next command.
    void DiscardPendingInput();
    // Collects the reply; true when it ran past the limit.
    bool CollectReply(std::string& reply);
    void JudgeReply(std::string_view action, bool showErrors, bool overLimit);
    void Pause(std::chrono::milliseconds duration);

    PhoneWindow& window_;
    Prompter& prompter_;
    PhoneTiming timing_;
    TSerComm serComm1_;
    std::vector<std::string> replyList_;
    std::string errorNote_;
};

// The status text for a set of line error flags: the last matching flag in the order of the
// table wins; empty when none matches.
std::string SerComm1ErrorText(std::uint32_t errors);

// The conversion of a port number the user typed; throws for a text that is not an integer.
int StrToInt(std::string_view text);

}  // namespace tabellan
