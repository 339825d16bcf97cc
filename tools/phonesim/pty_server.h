// Serves the simulated device on a pseudo-terminal until told to stop.
#pragma once

#include <chrono>
#include <string>

#include "phonesim/at_phone.h"
#include "phonesim/pty.h"

namespace tabellan::phonesim {

class PtyServer {
  public:
    // trickle > 0: the answer leaves one byte per interval, like a slow phone.
    PtyServer(const Pty& pty, AtPhone& phone, std::chrono::milliseconds trickle);

    // Returns when stopFd becomes readable or when watchFd (-1: none) reaches end of file.
    void run(int stopFd, int watchFd);

  private:
    using Clock = std::chrono::steady_clock;

    int pollTimeout() const;
    bool outputDue() const;
    void readDevice();
    void writeDevice();

    const Pty& pty_;
    AtPhone& phone_;
    std::chrono::milliseconds trickle_;
    std::string pending_;
    Clock::time_point nextByte_ = Clock::now();
};

}  // namespace tabellan::phonesim
