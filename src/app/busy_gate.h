#pragma once
// While an operation of the main window waits with the event loop running (a phone command
// waiting for the phone's reply), the window repaints and its timer runs, but no command may
// start: not from a shortcut, a drop or a close, and so never a second exchange in the middle
// of the first. Every entry into the window's commands asks this one gate.
namespace tabellan {

class BusyGate {
  public:
    bool Busy() const { return depth_ > 0; }
    // Enter and Leave nest; the gate opens when the last Leave has come.
    void Enter() { ++depth_; }
    void Leave() {
        if (depth_ > 0) {
            --depth_;
        }
    }

  private:
    int depth_ = 0;
};

}  // namespace tabellan
