#pragma once
// The password dialog: a prompt, a masked edit field, OK (default) and Cancel; shown in the
// middle of the screen.
#include "app/centred_dialog.h"

class QLabel;
class QLineEdit;

namespace tabellan {

class TDlgFrm : public CentredDialog {
    Q_OBJECT
  public:
    explicit TDlgFrm(QWidget* parent = nullptr);

    void Setup(const QString& caption, const QString& prompt, const QString& initial);
    QString Text() const;

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    QLabel* label1_;
    QLineEdit* edit1_;
};

}  // namespace tabellan
