#include "phone/event_dispatcher.h"

#include <string>
#include <utility>

namespace tabellan {

void HandOver::Run() {
    {
        const std::lock_guard lock(mutex_);
        if (state_ != State::Pending) {
            return;
        }
        state_ = State::Running;
    }
    try {
        work_();
    } catch (...) {
        // The component reports handler failures itself; nothing may escape into the loop.
    }
    const std::lock_guard lock(mutex_);
    if (state_ == State::Running) {
        state_ = State::Finished;
    }
    changed_.notify_all();
}

void HandOver::Cancel() {
    const std::lock_guard lock(mutex_);
    if (state_ != State::Finished) {
        state_ = State::Cancelled;
    }
    changed_.notify_all();
}

void HandOver::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return state_ == State::Finished || state_ == State::Cancelled; });
}

void PollingDispatcher::Post(std::shared_ptr<HandOver> handOver) {
    const std::lock_guard lock(mutex_);
    queue_.push_back(std::move(handOver));
}

void PollingDispatcher::ReportError(std::string_view message) {
    if (errorSink_) {
        errorSink_(message);
    }
}

int PollingDispatcher::Pump() {
    std::deque<std::shared_ptr<HandOver>> ready;
    {
        const std::lock_guard lock(mutex_);
        ready.swap(queue_);
    }
    for (const auto& handOver : ready) {
        handOver->Run();
    }
    return static_cast<int>(ready.size());
}

}  // namespace tabellan
