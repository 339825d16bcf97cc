#pragma once
// The About box: the program's name and version, the operating system, the executable's
// path and the command-line parameters.
#include <QDialog>

class QLabel;

namespace tabellan {

// The lines the About box shows.
QStringList AboutLines();

class TAboutForm : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutForm(QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    QLabel* details_;
};

}  // namespace tabellan
