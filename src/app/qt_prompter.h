#pragma once
// The desktop program's prompter: real message boxes, the password dialog, an input box,
// the wait cursor and the first status panel.
#include <QPointer>
#include <QString>
#include <functional>

#include "cardfile/codepage.h"
#include "cardfile/prompter.h"

class QWidget;

namespace tabellan {

class TDlgFrm;

// Message text (bytes in the card code page) as a box shows it, as plain text: a lone CR
// or CR LF is a line break and "&&" is one "&".
QString MessageText(std::string_view text, CodePage cp);
// The caption of a box of that kind.
QString MessageCaption(MsgKind kind);

class QtPrompter : public Prompter {
  public:
    using StatusSink = std::function<void(const QString&)>;
    using CodePageSource = std::function<CodePage()>;

    QtPrompter(QWidget* parent, StatusSink status, CodePageSource codePage);

    void SetPasswordDialog(TDlgFrm* dialog) { passwordDialog_ = dialog; }

    Answer Show(MsgKind kind, std::string_view text, Buttons buttons, int helpContext = 0) override;
    std::optional<std::string> AskPassword(std::string_view caption, std::string_view prompt,
                                           std::string_view initial) override;
    std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                        std::string_view initial) override;
    void Status(std::string_view text) override;
    void Busy(bool on) override;

  private:
    CodePage Cp() const;

    QPointer<QWidget> parent_;
    StatusSink status_;
    CodePageSource codePage_;
    QPointer<TDlgFrm> passwordDialog_;
};

}  // namespace tabellan
