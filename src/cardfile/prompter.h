#pragma once
// Every modal question, notice and input box goes through this interface, so that the
// desktop program shows real boxes, the command-line tool prints, and tests answer.
// All texts are bytes in the card text code page, like card text itself.
#include <optional>
#include <string>
#include <string_view>

namespace tabellan {

enum class MsgKind { Error, Information, Confirmation, Warning };
enum class Buttons { Ok, OkHelp, YesNo, YesNoCancel, YesNoCancelHelp, OkCancel };
enum class Answer { Ok, Yes, No, Cancel };

class Prompter {
  public:
    virtual ~Prompter() = default;
    // A message box; returns the button chosen.
    virtual Answer Show(MsgKind kind, std::string_view text, Buttons buttons,
                        int helpContext = 0) = 0;
    // The password dialog: nullopt when cancelled.
    virtual std::optional<std::string> AskPassword(std::string_view caption,
                                                   std::string_view prompt,
                                                   std::string_view initial) = 0;
    // A plain input box: nullopt when cancelled.
    virtual std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                                std::string_view initial) = 0;
    // Progress text for the first status panel; long operations may also ask for a busy cursor.
    virtual void Status(std::string_view /*text*/) {}
    virtual void Busy(bool /*on*/) {}
};

// Restores the cursor however the operation ends.
class BusyScope {
  public:
    explicit BusyScope(Prompter& p) : p_(p) { p_.Busy(true); }
    ~BusyScope() { p_.Busy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    Prompter& p_;
};

}  // namespace tabellan
