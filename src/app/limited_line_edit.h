#pragma once
// A line edit whose length limit is a typing limit only. The user cannot make the text
// longer than the limit, nor longer than it already is when it came in longer; a text the
// program sets is kept whole (QLineEdit::setMaxLength would cut it), so a value read from a
// file or the settings is shown as it is and goes through the dialog's checks.
#include <QLineEdit>

namespace tabellan {

class LimitedLineEdit : public QLineEdit {
    Q_OBJECT
  public:
    LimitedLineEdit(int limit, QWidget* parent = nullptr);

    int Limit() const { return limit_; }

  protected:
    // Typing, pasting, dropping and the context menu's commands are the user's edits.
    bool event(QEvent* e) override;

  private:
    class Validator;
    friend class Validator;

    int limit_;
    int userEditDepth_ = 0;
    int lengthBeforeUserEdit_ = 0;
};

}  // namespace tabellan
