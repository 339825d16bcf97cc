#pragma once
// Test doubles for the phone tests: a pseudo-terminal whose master side the test plays, a
// phone that answers commands on that master, and a window that records its status bar and
// pumps the dispatcher.
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "phone/event_dispatcher.h"
#include "phone/phone_window.h"
#include "phone/unique_fd.h"

namespace tabellan::testing {

class PtyPair {
  public:
    PtyPair();
    int Master() const { return master_.Get(); }
    const std::string& SlavePath() const { return slavePath_; }
    void Write(std::string_view bytes) const;
    // Writes what the terminal takes within a short wait and returns how much that was;
    // a writer that must stop on a flag uses this, since nobody may be reading any more.
    std::size_t WriteSome(std::string_view bytes) const;
    // What arrives on the master within wait, or until expected bytes have come.
    std::string Read(std::chrono::milliseconds wait, std::size_t expected = SIZE_MAX) const;
    void CloseMaster() { master_.Reset(); }

  private:
    UniqueFd master_;
    std::string slavePath_;
};

// Answers each command line (up to CR) that arrives on the master.
class FakePhone {
  public:
    struct Options {
        bool echo = true;
        std::chrono::milliseconds trickle{0};  // pause between the reply's pieces
        std::size_t pieceSize = 1;
    };
    using Responder = std::function<std::string(const std::string& command)>;

    FakePhone(PtyPair& pty, Responder responder);
    FakePhone(PtyPair& pty, Responder responder, Options options);
    ~FakePhone();
    FakePhone(const FakePhone&) = delete;
    FakePhone& operator=(const FakePhone&) = delete;

    std::vector<std::string> Commands() const;
    // When the first command arrived.
    std::optional<std::chrono::steady_clock::time_point> FirstCommandTime() const;

  private:
    void Serve();
    void Send(const std::string& bytes);

    PtyPair& pty_;
    Responder responder_;
    Options options_;
    UniqueFd wake_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> commands_;
    std::optional<std::chrono::steady_clock::time_point> firstCommand_;
    std::thread thread_;
};

class RecordingWindow : public PhoneWindow {
  public:
    explicit RecordingWindow(PollingDispatcher& dispatcher) : dispatcher_(dispatcher) {}
    void SetStatusText(int panel, std::string_view text) override;
    void SetClosePortEnabled(bool enabled) override { closePortEnabled = enabled; }
    void DisableMainWindow() override { ++disabled; }
    void EnableMainWindow() override { --disabled; }
    void ProcessMessages() override;

    std::vector<std::string> Panel(int panel) const;
    bool PanelShowed(int panel, std::string_view text) const;
    std::string PanelText(int panel) const;

    bool closePortEnabled = false;
    int disabled = 0;
    int pumps = 0;

  private:
    PollingDispatcher& dispatcher_;
    mutable std::mutex mutex_;
    std::vector<std::string> panels_[2];
};

// CPU time this process has used, for checking that nothing spins.
std::chrono::milliseconds ProcessCpuTime();

// LF-only captures with their CR LF line ends restored.
std::string WithCrLf(std::string_view lfText);
std::string ReadTestFile(const std::string& relativePath);

}  // namespace tabellan::testing
