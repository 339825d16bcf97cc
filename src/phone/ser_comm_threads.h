#pragma once
// The serial component's worker threads. The event thread waits for line events; the write
// thread owns the write queue and empties it into the driver. Neither calls a handler:
// each hands the event mask to the owner's thread and waits until it has been handled.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "phone/event_dispatcher.h"
#include "phone/unique_fd.h"

namespace tabellan {

// What the threads need from the component.
class SerCommHost {
  public:
    // Runs on the owner's thread.
    virtual void DoEvent(std::uint32_t mask) = 0;
    // Any thread: a line error (such as the device going away) for the next error query.
    virtual void NoteLineError(std::uint32_t flags) = 0;

  protected:
    ~SerCommHost() = default;
};

class SerCommWorker {
  public:
    SerCommWorker(SerCommHost& host, EventDispatcher* dispatcher);
    SerCommWorker(const SerCommWorker&) = delete;
    SerCommWorker& operator=(const SerCommWorker&) = delete;

  protected:
    ~SerCommWorker() = default;
    // Hands DoEvent(mask) over and waits; returns at once once stopping.
    void HandOverEvents(std::uint32_t mask);
    // Marks the worker as stopping, releases a pending hand-over and wakes a waiting poll.
    void RequestStop();
    bool Stopping() const;
    int WakeFd() const { return wake_.Get(); }
    // Empties the wake descriptor after poll reported it readable.
    void DrainWake() const;
    // Sleeps up to ms, returning early when told to stop.
    void PausedRetry(int ms) const;
    SerCommHost& Host() { return host_; }

  private:
    SerCommHost& host_;
    EventDispatcher* dispatcher_;
    UniqueFd wake_;
    mutable std::mutex mutex_;
    bool stop_ = false;
    std::shared_ptr<HandOver> current_;
};

struct LineCounters;

class TSerCommEventThread : private SerCommWorker {
  public:
    TSerCommEventThread(int fd, std::uint32_t waitMask, SerCommHost& host,
                        EventDispatcher* dispatcher);
    ~TSerCommEventThread();
    void Stop();

  private:
    void Execute();
    std::uint32_t PollOnce(LineCounters& counters, bool& deviceAlive, bool& rxQuiet);

    int fd_;
    std::uint32_t waitMask_;
    std::thread thread_;
};

// The write queue: one fixed block; bytes are appended at the end and removed at the front.
class TSerCommBuffer {
  public:
    explicit TSerCommBuffer(std::size_t capacity) : data_(capacity) {}
    std::size_t Capacity() const { return data_.size(); }
    std::size_t Fill() const { return fill_; }
    const std::uint8_t* Data() const { return data_.data(); }
    void Append(const std::uint8_t* bytes, std::size_t count);
    void Remove(std::size_t count);

  private:
    std::vector<std::uint8_t> data_;
    std::size_t fill_ = 0;
};

class TSerCommWriteThread : private SerCommWorker {
  public:
    TSerCommWriteThread(int fd, std::size_t capacity, bool reportTxEmpty, SerCommHost& host,
                        EventDispatcher* dispatcher);
    ~TSerCommWriteThread();
    void Stop();

    // Queues the bytes, waiting up to timeout for room; false when none came in time.
    bool Queue(const std::uint8_t* bytes, std::size_t count, std::chrono::milliseconds timeout);
    std::size_t QueuedCount() const;

  private:
    void Execute();
    // Writes some of the front bytes; false after a failure of the device.
    bool WriteFront(const std::uint8_t* front, std::size_t count);

    int fd_;
    bool reportTxEmpty_;
    mutable std::mutex lock_;
    std::condition_variable dataQueued_;
    std::condition_variable room_;
    TSerCommBuffer queue_;
    bool stopRequested_ = false;
    std::thread thread_;
};

}  // namespace tabellan
