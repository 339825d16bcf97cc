#pragma once
// How the serial component's worker threads hand their events to the thread that owns the
// component: a worker posts a HandOver and blocks until the owner has run it, or until the
// component cancels it while closing (so that closing never waits for a handler that will
// not run). The desktop program posts hand-overs into its event loop; a polling caller
// uses PollingDispatcher and pumps it between polls.
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>

namespace tabellan {

class HandOver {
  public:
    explicit HandOver(std::function<void()> work) : work_(std::move(work)) {}

    // Owner's thread: runs the work once, unless it was cancelled first.
    void Run();
    // Any thread: the work will not start any more and the waiting worker is released.
    void Cancel();
    // Worker: blocks until the work has run or the hand-over was cancelled.
    void Wait();

  private:
    enum class State { Pending, Running, Finished, Cancelled };
    std::function<void()> work_;
    std::mutex mutex_;
    std::condition_variable changed_;
    State state_ = State::Pending;
};

class EventDispatcher {
  public:
    virtual ~EventDispatcher() = default;
    // Called on a worker thread; must arrange for handOver->Run() on the owner's thread.
    virtual void Post(std::shared_ptr<HandOver> handOver) = 0;
    // The standard error display, for an exception thrown by an event handler.
    virtual void ReportError(std::string_view message) = 0;
};

// Hand-overs wait in a queue until the owner calls Pump.
class PollingDispatcher : public EventDispatcher {
  public:
    using ErrorSink = std::function<void(std::string_view)>;
    explicit PollingDispatcher(ErrorSink errorSink = {}) : errorSink_(std::move(errorSink)) {}

    void Post(std::shared_ptr<HandOver> handOver) override;
    void ReportError(std::string_view message) override;

    // Runs every hand-over posted so far; returns how many ran.
    int Pump();

  private:
    ErrorSink errorSink_;
    std::mutex mutex_;
    std::deque<std::shared_ptr<HandOver>> queue_;
};

}  // namespace tabellan
