#pragma once
// A fixed dialog shown in the middle of the screen, whose F1 opens the help at its own
// context (set with SetHelpContext) wherever the focus is inside it.
#include <QDialog>

namespace tabellan {

class CentredDialog : public QDialog {
    Q_OBJECT
  public:
    using QDialog::QDialog;

  protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
};

}  // namespace tabellan
