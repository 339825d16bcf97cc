// Serves the simulated device on a pseudo-terminal until told to stop.
#pragma once

#include <chrono>
#include <deque>
#include <ostream>
#include <string>

#include "phonesim/at_phone.h"
#include "phonesim/pty.h"

namespace tabellan::phonesim {

class PtyServer {
  public:
    // trickle > 0: the answer leaves one byte per interval, like a slow phone.
    PtyServer(const Pty& pty, AtPhone& phone, std::chrono::milliseconds trickle);

    // talk > 0: an unsolicited line every interval, like a modem that keeps talking.
    void setTalk(std::chrono::milliseconds talk) { talk_ = talk; }
    // Every byte received from the program is written to log as it arrives.
    void setLog(std::ostream* log) { log_ = log; }

    // Returns when stopFd becomes readable or when watchFd (-1: none) reaches end of file.
    void run(int stopFd, int watchFd);

  private:
    using Clock = std::chrono::steady_clock;

    // Output waiting to be sent, in order; a piece goes out no earlier than its time.
    struct Pending {
        std::string bytes;
        Clock::time_point due;
    };

    int pollTimeout() const;
    bool outputDue() const;
    void queue(std::string bytes, std::chrono::milliseconds hold);
    void readDevice();
    void writeDevice();
    void talkIfDue();

    const Pty& pty_;
    AtPhone& phone_;
    std::chrono::milliseconds trickle_;
    std::deque<Pending> pending_;
    Clock::time_point nextByte_ = Clock::now();
    std::chrono::milliseconds talk_{0};
    Clock::time_point nextTalk_ = Clock::now();
    std::ostream* log_ = nullptr;
};

}  // namespace tabellan::phonesim
