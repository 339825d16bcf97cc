#include "phone/ser_comm_threads.h"

#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>

#include "phone/ser_types.h"

namespace tabellan {
namespace {

// How often the kernel's interrupt counters are sampled for modem-line and error events.
constexpr int kCounterSampleMs = 50;
// Pause before a failed write is tried again.
constexpr int kWriteRetryMs = 1000;

}  // namespace

struct LineCounters {
    bool supported = false;
    serial_icounter_struct values{};

    bool Sample(int fd) {
        serial_icounter_struct now{};
        if (ioctl(fd, TIOCGICOUNT, &now) != 0) {
            supported = false;
            return false;
        }
        values = now;
        supported = true;
        return true;
    }
};

namespace {

std::uint32_t CounterEvents(const serial_icounter_struct& before,
                            const serial_icounter_struct& after) {
    std::uint32_t mask = 0;
    if (after.cts != before.cts) {
        mask |= EV_CTS;
    }
    if (after.dsr != before.dsr) {
        mask |= EV_DSR;
    }
    if (after.rng != before.rng) {
        mask |= EV_RING;
    }
    if (after.dcd != before.dcd) {
        mask |= EV_RLSD;
    }
    if (after.brk != before.brk) {
        mask |= EV_BREAK;
    }
    if (after.frame != before.frame || after.overrun != before.overrun ||
        after.parity != before.parity || after.buf_overrun != before.buf_overrun) {
        mask |= EV_ERR;
    }
    return mask;
}

}  // namespace

SerCommWorker::SerCommWorker(SerCommHost& host, EventDispatcher* dispatcher)
    : host_(host), dispatcher_(dispatcher), wake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

void SerCommWorker::HandOverEvents(std::uint32_t mask) {
    if (dispatcher_ == nullptr || mask == 0) {
        return;
    }
    auto handOver = std::make_shared<HandOver>([&host = host_, mask] { host.DoEvent(mask); });
    {
        const std::lock_guard lock(mutex_);
        if (stop_) {
            return;
        }
        current_ = handOver;
    }
    dispatcher_->Post(handOver);
    handOver->Wait();
    const std::lock_guard lock(mutex_);
    current_.reset();
}

void SerCommWorker::RequestStop() {
    const std::lock_guard lock(mutex_);
    stop_ = true;
    if (current_) {
        current_->Cancel();
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(wake_.Get(), &one, sizeof one);
}

bool SerCommWorker::Stopping() const {
    const std::lock_guard lock(mutex_);
    return stop_;
}

void SerCommWorker::DrainWake() const {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = read(wake_.Get(), &count, sizeof count);
}

void SerCommWorker::PausedRetry(int ms) const {
    pollfd wake{wake_.Get(), POLLIN, 0};
    poll(&wake, 1, ms);
}

TSerCommEventThread::TSerCommEventThread(int fd, std::uint32_t waitMask, SerCommHost& host,
                                         EventDispatcher* dispatcher)
    : SerCommWorker(host, dispatcher), fd_(fd), waitMask_(waitMask) {
    thread_ = std::thread([this] { Execute(); });
}

TSerCommEventThread::~TSerCommEventThread() {
    Stop();
}

void TSerCommEventThread::Stop() {
    RequestStop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void TSerCommEventThread::Execute() {
    LineCounters counters;
    counters.Sample(fd_);
    bool deviceAlive = true;
    bool rxQuiet = false;
    while (!Stopping()) {
        const std::uint32_t mask = PollOnce(counters, deviceAlive, rxQuiet) & waitMask_;
        if (mask != 0 && !Stopping()) {
            HandOverEvents(mask);
            if ((mask & EV_RXCHAR) != 0) {
                // Data the handler left unread must not wake the thread again at once.
                rxQuiet = true;
            }
        }
    }
}

// One wait for line events; returns the event bits that occurred. A device that has gone
// away (hang-up, I/O errors) is reported once and then no longer waited on.
std::uint32_t TSerCommEventThread::PollOnce(LineCounters& counters, bool& deviceAlive,
                                            bool& rxQuiet) {
    const bool wantRx = (waitMask_ & EV_RXCHAR) != 0 && !rxQuiet;
    pollfd fds[2] = {{WakeFd(), POLLIN, 0},
                     {deviceAlive ? fd_ : -1, static_cast<short>(wantRx ? POLLIN : 0), 0}};
    const bool timed = deviceAlive && (counters.supported || rxQuiet);
    const int ready = poll(fds, 2, timed ? kCounterSampleMs : -1);
    if (ready < 0) {
        if (errno != EINTR) {
            PausedRetry(kWriteRetryMs);
        }
        return 0;
    }
    if ((fds[0].revents & POLLIN) != 0) {
        DrainWake();
        return 0;
    }
    rxQuiet = false;
    std::uint32_t mask = 0;
    if ((fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        deviceAlive = false;
        Host().NoteLineError(CE_IOE);
        return EV_ERR;
    }
    if ((fds[1].revents & POLLIN) != 0) {
        mask |= EV_RXCHAR;
    }
    if (counters.supported && deviceAlive) {
        const serial_icounter_struct before = counters.values;
        if (counters.Sample(fd_)) {
            mask |= CounterEvents(before, counters.values);
        } else if (errno == EIO || errno == ENODEV) {
            deviceAlive = false;
            Host().NoteLineError(CE_IOE);
            mask |= EV_ERR;
        }
    }
    return mask;
}

void TSerCommBuffer::Append(const std::uint8_t* bytes, std::size_t count) {
    std::memcpy(data_.data() + fill_, bytes, count);
    fill_ += count;
}

void TSerCommBuffer::Remove(std::size_t count) {
    std::memmove(data_.data(), data_.data() + count, fill_ - count);
    fill_ -= count;
}

TSerCommWriteThread::TSerCommWriteThread(int fd, std::size_t capacity, bool reportTxEmpty,
                                         SerCommHost& host, EventDispatcher* dispatcher)
    : SerCommWorker(host, dispatcher), fd_(fd), reportTxEmpty_(reportTxEmpty), queue_(capacity) {
    thread_ = std::thread([this] { Execute(); });
}

TSerCommWriteThread::~TSerCommWriteThread() {
    Stop();
}

void TSerCommWriteThread::Stop() {
    {
        const std::lock_guard lock(lock_);
        stopRequested_ = true;
    }
    dataQueued_.notify_all();
    room_.notify_all();
    RequestStop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool TSerCommWriteThread::Queue(const std::uint8_t* bytes, std::size_t count,
                                std::chrono::milliseconds timeout) {
    std::unique_lock lock(lock_);
    const bool fits = room_.wait_for(lock, timeout, [&] {
        return stopRequested_ || queue_.Fill() + count <= queue_.Capacity();
    });
    if (!fits || stopRequested_) {
        return false;
    }
    queue_.Append(bytes, count);
    dataQueued_.notify_one();
    return true;
}

std::size_t TSerCommWriteThread::QueuedCount() const {
    const std::lock_guard lock(lock_);
    return queue_.Fill();
}

void TSerCommWriteThread::Execute() {
    for (;;) {
        const std::uint8_t* front = nullptr;
        std::size_t count = 0;
        {
            std::unique_lock lock(lock_);
            dataQueued_.wait(lock, [this] { return stopRequested_ || queue_.Fill() > 0; });
            if (stopRequested_) {
                return;
            }
            // Only this thread removes bytes, so the front stays put while appends go on.
            front = queue_.Data();
            count = queue_.Fill();
        }
        if (!WriteFront(front, count)) {
            HandOverEvents(EV_ERR);
            PausedRetry(kWriteRetryMs);
        }
    }
}

bool TSerCommWriteThread::WriteFront(const std::uint8_t* front, std::size_t count) {
    pollfd fds[2] = {{WakeFd(), POLLIN, 0}, {fd_, POLLOUT, 0}};
    if (poll(fds, 2, -1) < 0) {
        return errno == EINTR;
    }
    if ((fds[0].revents & POLLIN) != 0) {
        DrainWake();
        return true;
    }
    const ssize_t written = write(fd_, front, count);
    if (written < 0) {
        if (errno == EAGAIN || errno == EINTR) {
            return true;
        }
        Host().NoteLineError(CE_IOE);
        return false;
    }
    bool empty = false;
    {
        const std::lock_guard lock(lock_);
        queue_.Remove(static_cast<std::size_t>(written));
        empty = queue_.Fill() == 0;
    }
    room_.notify_all();
    if (empty && reportTxEmpty_) {
        HandOverEvents(EV_TXEMPTY);
    }
    return true;
}

}  // namespace tabellan
