#pragma once
// What the phone exchange needs from the main window: the status bar, the "Close Port"
// menu item, disabling the window during phonebook commands, and processing pending
// messages while a command waits (which also delivers the serial line events).
#include <string_view>

namespace tabellan {

class PhoneWindow {
  public:
    virtual ~PhoneWindow() = default;
    // Panel 0 shows progress and line events, panel 1 the action of a running exchange.
    virtual void SetStatusText(int panel, std::string_view text) = 0;
    virtual void SetClosePortEnabled(bool /*enabled*/) {}
    virtual void DisableMainWindow() {}
    virtual void EnableMainWindow() {}
    virtual void ProcessMessages() = 0;
};

// Keeps the main window disabled for a phonebook command, however the command ends.
class MainWindowDisabled {
  public:
    explicit MainWindowDisabled(PhoneWindow& window) : window_(window) {
        window_.DisableMainWindow();
    }
    ~MainWindowDisabled() { window_.EnableMainWindow(); }
    MainWindowDisabled(const MainWindowDisabled&) = delete;
    MainWindowDisabled& operator=(const MainWindowDisabled&) = delete;

  private:
    PhoneWindow& window_;
};

}  // namespace tabellan
