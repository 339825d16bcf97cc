#pragma once
// The modeless find/replace dialog: find text, replace text, match case, Find Next,
// Replace, Replace All and Cancel. It only reports presses; the search lives elsewhere.
#include <QDialog>
#include <QPoint>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tabellan {

class TReplaceDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TReplaceDialog(QWidget* parent = nullptr);

    // Shows the dialog at pos. A dialog shown anew takes the texts and has match case off;
    // an open one is only moved and brought to the front.
    void Open(const QPoint& pos, const QString& findText, const QString& replaceText);

    QString FindText() const;
    QString ReplaceText() const;
    bool MatchCase() const;

  signals:
    void Find();
    void Replace();
    void ReplaceAll();
    // Cancel, the close box or a program close; pos is where the dialog stood.
    void Closed(const QPoint& pos);

  public slots:
    void done(int result) override;

  private:
    QLineEdit* findText_;
    QLineEdit* replaceText_;
    QCheckBox* matchCase_;
};

}  // namespace tabellan
