// A pseudo-terminal whose slave side stands in for a phone's serial port.
#pragma once

#include <string>

namespace tabellan::phonesim {

class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd();

    int get() const { return fd_; }
    int release();

  private:
    int fd_ = -1;
};

class Pty {
  public:
    // Opens the master (non-blocking) and the slave in raw mode at 9600 baud;
    // throws std::system_error.
    Pty();

    int master() const { return master_.get(); }
    const std::string& slavePath() const { return slavePath_; }

  private:
    UniqueFd master_;
    // Held open for the whole run: without it the master reads EIO whenever the
    // client closes the port, and the raw mode would be lost between clients.
    UniqueFd slave_;
    std::string slavePath_;
};

}  // namespace tabellan::phonesim
