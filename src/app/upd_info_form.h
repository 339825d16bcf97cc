#pragma once
// The phonebook update confirmation: what an update would write (new entries and
// replacements) and which of the phone's entries it would delete, with OK and Cancel. A
// fixed-size dialog in the middle of the screen; it opens with OK focused and Cancel as the
// result until a button is chosen.
#include "app/centred_dialog.h"

#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

namespace tabellan {

class TUpdInfoForm : public CentredDialog {
    Q_OBJECT
  public:
    explicit TUpdInfoForm(QWidget* parent = nullptr);

    // Shows the two lists modally; true when the dialog was closed with OK.
    bool Confirm(const QStringList& addList, const QStringList& deleteList);

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    // On activation: the result is Cancel until a button says otherwise; OK has the focus.
    void FormActivate();

    QLabel* labelAdd_;
    QListWidget* listBoxAdd_;
    QLabel* labelDelete_;
    QListWidget* listBoxDelete_;
    QPushButton* buttonOK_;
    QPushButton* buttonCancel_;
};

}  // namespace tabellan
