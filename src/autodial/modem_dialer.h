#pragma once
// Dialing the number to be dialed through a modem, for a voice call: the modem dials, the
// user picks up the handset on the same line and confirms, and a lone CR then stops the
// modem and leaves the line to the handset. The Setup dialog's "D&ial!" and
// tabellan-cli dial run the same btnDialClick; the dialog supplies a window that processes
// its pending messages while the modem is waited for.
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "autodial/dial_rules.h"
#include "cardfile/prompter.h"
#include "phone/ser_comm.h"

namespace tabellan {

class EventDispatcher;

struct ModemTiming {
    std::chrono::milliseconds poll{50};
    int silencePolls = 80;
    // After the pick-up message has been confirmed, and after the final CR.
    std::chrono::milliseconds settle{100};
    // A modem that talks on without the expected text is given up after this many bytes.
    std::size_t replyLimit = 16384;
};

// What dialing needs from the window that runs it.
class DialWindow {
  public:
    virtual ~DialWindow() = default;
    // Processes pending user-interface messages: repainting, and the serial line events.
    virtual void ProcessMessages() = 0;
    // The dialog takes no input while dialing.
    virtual void SetDialogEnabled(bool /*enabled*/) {}
};

inline constexpr int kModemHelpContext = 470;
inline constexpr const char* kNoModemResponse =
    "No response from modem. Check connection and port number.";

// "ATD", T for tone or P for pulse, the number as it stands (blanks included), CR.
std::string DialCommand(DialType type, std::string_view number);
// The message that asks the user to pick up the handset.
std::string PickUpMessage(std::string_view number);

class ModemDialer {
  public:
    ModemDialer(DialWindow& window, Prompter& prompter, EventDispatcher* dispatcher);
    ModemDialer(const ModemDialer&) = delete;
    ModemDialer& operator=(const ModemDialer&) = delete;

    TSerComm& SerComm2() { return serComm2_; }

    // Opens the modem's port (the number as typed), resets the modem, switches its echo on
    // and dials; once the user has confirmed the pick-up message, or a step has failed with
    // its message, or a step has thrown, it sends a lone CR, waits a moment and closes the
    // port. True when the modem took the dial command and the user confirmed. A port text
    // that is not a number, or a port that does not open, throws before anything is sent.
    bool btnDialClick(std::string_view modemPort, DialType type, std::string_view number);

    // Collects the modem's output until it holds the expected text anywhere, or until the
    // modem has been silent for the silence polls; reports a failure (false) in an error
    // box, and on success shows the message, if any, and waits a moment (true).
    bool WaitModemReply(std::string_view expected, std::string_view message);

    // Whether the last btnDialClick got as far as opening the port.
    bool PortOpened() const { return portOpened_; }

    void SetTiming(const ModemTiming& timing) { timing_ = timing; }
    const ModemTiming& Timing() const { return timing_; }

  private:
    class LineRelease;
    void Settle();

    DialWindow& window_;
    Prompter& prompter_;
    ModemTiming timing_;
    TSerComm serComm2_;
    bool portOpened_ = false;
};

}  // namespace tabellan
