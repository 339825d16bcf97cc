#include "pty_fixture.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <time.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/temp_folder.h"

namespace tabellan::testing {

PtyPair::PtyPair() : master_(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    if (!master_.Valid() || grantpt(master_.Get()) != 0 || unlockpt(master_.Get()) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    slavePath_ = ptsname(master_.Get());
}

void PtyPair::Write(std::string_view bytes) const {
    while (!bytes.empty()) {
        const ssize_t n = ::write(master_.Get(), bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        }
        pollfd out{master_.Get(), POLLOUT, 0};
        poll(&out, 1, 100);
    }
}

std::size_t PtyPair::WriteSome(std::string_view bytes) const {
    const ssize_t n = ::write(master_.Get(), bytes.data(), bytes.size());
    if (n > 0) {
        return static_cast<std::size_t>(n);
    }
    pollfd out{master_.Get(), POLLOUT, 0};
    poll(&out, 1, 10);
    return 0;
}

std::string PtyPair::Read(std::chrono::milliseconds wait, std::size_t expected) const {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + wait;
    while (got.size() < expected) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd in{master_.Get(), POLLIN, 0};
        if (poll(&in, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t n = ::read(master_.Get(), buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && errno == EAGAIN) {
                continue;
            }
            break;
        }
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

FakePhone::FakePhone(PtyPair& pty, Responder responder)
    : FakePhone(pty, std::move(responder), Options{}) {}

FakePhone::FakePhone(PtyPair& pty, Responder responder, Options options)
    : pty_(pty),
      responder_(std::move(responder)),
      options_(options),
      wake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    thread_ = std::thread([this] { Serve(); });
}

FakePhone::~FakePhone() {
    stop_ = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wake_.Get(), &one, sizeof one);
    thread_.join();
}

std::vector<std::string> FakePhone::Commands() const {
    const std::lock_guard lock(mutex_);
    return commands_;
}

std::optional<std::chrono::steady_clock::time_point> FakePhone::FirstCommandTime() const {
    const std::lock_guard lock(mutex_);
    return firstCommand_;
}

void FakePhone::Serve() {
    std::string pending;
    while (!stop_) {
        pollfd fds[2] = {{wake_.Get(), POLLIN, 0}, {pty_.Master(), POLLIN, 0}};
        if (poll(fds, 2, -1) <= 0 || (fds[0].revents & POLLIN) != 0) {
            continue;
        }
        if ((fds[1].revents & POLLIN) == 0) {
            // The slave side is closed: nothing to answer until it opens again.
            poll(fds, 1, 20);
            continue;
        }
        char buffer[512];
        const ssize_t n = ::read(pty_.Master(), buffer, sizeof buffer);
        if (n <= 0) {
            poll(fds, 1, 20);
            continue;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        for (auto cr = pending.find('\r'); cr != std::string::npos; cr = pending.find('\r')) {
            const std::string command = pending.substr(0, cr);
            std::size_t eaten = cr + 1;
            if (eaten < pending.size() && pending[eaten] == '\n') {
                ++eaten;
            }
            pending.erase(0, eaten);
            {
                const std::lock_guard lock(mutex_);
                if (!firstCommand_) {
                    firstCommand_ = std::chrono::steady_clock::now();
                }
                commands_.push_back(command);
            }
            Send((options_.echo ? command + "\r" : std::string()) + responder_(command));
        }
    }
}

void FakePhone::Send(const std::string& bytes) {
    if (options_.trickle.count() == 0) {
        pty_.Write(bytes);
        return;
    }
    for (std::size_t at = 0; at < bytes.size() && !stop_; at += options_.pieceSize) {
        pty_.Write(std::string_view(bytes).substr(at, options_.pieceSize));
        std::this_thread::sleep_for(options_.trickle);
    }
}

void RecordingWindow::SetStatusText(int panel, std::string_view text) {
    const std::lock_guard lock(mutex_);
    panels_[panel].emplace_back(text);
}

void RecordingWindow::ProcessMessages() {
    ++pumps;
    dispatcher_.Pump();
}

std::vector<std::string> RecordingWindow::Panel(int panel) const {
    const std::lock_guard lock(mutex_);
    return panels_[panel];
}

bool RecordingWindow::PanelShowed(int panel, std::string_view text) const {
    for (const std::string& shown : Panel(panel)) {
        if (shown == text) {
            return true;
        }
    }
    return false;
}

std::string RecordingWindow::PanelText(int panel) const {
    const auto shown = Panel(panel);
    return shown.empty() ? std::string() : shown.back();
}

std::chrono::milliseconds ProcessCpuTime() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return std::chrono::milliseconds(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

std::string WithCrLf(std::string_view lfText) {
    std::string out;
    for (const char c : lfText) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

std::string ReadTestFile(const std::string& relativePath) {
    return test::ReadBytes(std::string(TABELLAN_TEST_DATA) + "/" + relativePath);
}

}  // namespace tabellan::testing
