#pragma once
// Hands documents and web addresses to the desktop's opener (xdg-open) without waiting for
// it: the window goes on while the opener looks for an application, and when the opener ends
// with a failure its own message is reported.
#include <QObject>
#include <functional>
#include <string>
#include <vector>

namespace tabellan {

class DesktopOpener : public QObject {
    Q_OBJECT
  public:
    // onFailure: the document or address as the command named it, and why it did not open
    // (UTF-8).
    using FailureSink = std::function<void(const std::string& file, const std::string& reason)>;

    DesktopOpener(FailureSink onFailure, QObject* parent);
    ~DesktopOpener() override;

    // args: the opener, then its arguments.
    void Start(const std::vector<std::string>& args, const std::string& file);
    // Openers started and not yet ended.
    int Running() const { return running_; }

  private:
    FailureSink onFailure_;
    int running_ = 0;
};

}  // namespace tabellan
