#pragma once
// The password dialog: a prompt, a masked edit field, OK (default) and Cancel; shown in the
// middle of the screen. OK takes only a password the code page can hold; otherwise an error
// box names the characters it lacks and the dialog stays open.
#include <string>

#include "app/centred_dialog.h"
#include "cardfile/codepage.h"

class QLabel;
class QLineEdit;

namespace tabellan {

class Prompter;

class TDlgFrm : public CentredDialog {
    Q_OBJECT
  public:
    // errors: where a refused password is reported.
    explicit TDlgFrm(Prompter& errors, QWidget* parent = nullptr);

    // cp: the code page the password is stored in.
    void Setup(const QString& caption, const QString& prompt, const QString& initial,
               CodePage cp = CodePage::Windows1252);
    QString Text() const;
    // After OK: the password as bytes of the code page.
    const std::string& Password() const { return password_; }

    // OK, the Enter key and any other acceptance: only with a password the code page holds.
    void accept() override;

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    Prompter& errors_;
    QLabel* label1_;
    QLineEdit* edit1_;
    CodePage cp_ = CodePage::Windows1252;
    std::string password_;
};

}  // namespace tabellan
