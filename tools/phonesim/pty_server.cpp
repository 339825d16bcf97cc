#include "phonesim/pty_server.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

namespace tabellan::phonesim {

namespace {

// Pause after a hang-up or error report on the master, so that a condition poll keeps
// reporting does not turn the loop into a busy one.
constexpr int kErrorPauseMs = 50;

// True at end of file; data on the watched descriptor is read and ignored.
bool drainReachedEnd(int fd) {
    std::array<char, 256> buffer{};
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    return n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN);
}

}  // namespace

PtyServer::PtyServer(const Pty& pty, AtPhone& phone, std::chrono::milliseconds trickle)
    : pty_(pty), phone_(phone), trickle_(trickle) {}

bool PtyServer::outputDue() const {
    const Clock::time_point now = Clock::now();
    return !pending_.empty() && now >= pending_.front().due &&
           (trickle_.count() <= 0 || now >= nextByte_);
}

int PtyServer::pollTimeout() const {
    const auto until = [](Clock::time_point when) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(when - Clock::now());
        return static_cast<int>(std::max<std::chrono::milliseconds::rep>(wait.count(), 0));
    };
    int timeout = -1;
    if (!pending_.empty() && !outputDue()) {
        Clock::time_point at = pending_.front().due;
        if (trickle_.count() > 0) {
            at = std::max(at, nextByte_);
        }
        timeout = until(at);
    }
    if (talk_.count() > 0) {
        const int talkWait = until(nextTalk_);
        timeout = timeout < 0 ? talkWait : std::min(timeout, talkWait);
    }
    return timeout;
}

void PtyServer::queue(std::string bytes, std::chrono::milliseconds hold) {
    if (bytes.empty()) {
        return;
    }
    // Nothing overtakes a held answer.
    Clock::time_point due = Clock::now() + hold;
    if (!pending_.empty()) {
        due = std::max(due, pending_.back().due);
    }
    pending_.push_back({std::move(bytes), due});
}

void PtyServer::talkIfDue() {
    if (talk_.count() > 0 && Clock::now() >= nextTalk_) {
        queue(phone_.unsolicited(), std::chrono::milliseconds(0));
        nextTalk_ = Clock::now() + talk_;
    }
}

void PtyServer::run(int stopFd, int watchFd) {
    while (true) {
        std::array<pollfd, 3> fds{};
        fds[0] = {pty_.master(), static_cast<short>(POLLIN | (outputDue() ? POLLOUT : 0)), 0};
        fds[1] = {stopFd, POLLIN, 0};
        fds[2] = {watchFd, POLLIN, 0};
        const nfds_t count = watchFd >= 0 ? 3 : 2;
        const int ready = ::poll(fds.data(), count, pollTimeout());
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::system_error(errno, std::generic_category(), "poll");
        }
        if (fds[1].revents != 0) {
            return;
        }
        if (count == 3 && fds[2].revents != 0 && drainReachedEnd(watchFd)) {
            return;
        }
        talkIfDue();
        if (fds[0].revents & POLLIN) {
            readDevice();
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            ::poll(nullptr, 0, kErrorPauseMs);
        }
        if (outputDue()) {
            writeDevice();
        }
    }
}

void PtyServer::readDevice() {
    std::array<char, 4096> buffer{};
    const ssize_t n = ::read(pty_.master(), buffer.data(), buffer.size());
    if (n <= 0) {
        return;
    }
    const std::string_view bytes(buffer.data(), static_cast<std::size_t>(n));
    if (log_ != nullptr) {
        log_->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        log_->flush();
    }
    for (Output& piece : phone_.respond(bytes)) {
        queue(std::move(piece.bytes), piece.hold);
    }
}

void PtyServer::writeDevice() {
    std::string& bytes = pending_.front().bytes;
    const std::size_t size = trickle_.count() > 0 ? 1 : bytes.size();
    const ssize_t n = ::write(pty_.master(), bytes.data(), size);
    if (n > 0) {
        bytes.erase(0, static_cast<std::size_t>(n));
        if (bytes.empty()) {
            pending_.pop_front();
        }
        nextByte_ = Clock::now() + trickle_;
    }
}

}  // namespace tabellan::phonesim
