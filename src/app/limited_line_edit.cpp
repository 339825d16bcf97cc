#include "app/limited_line_edit.h"

#include <QEvent>
#include <QValidator>

namespace tabellan {

// Refuses a user's edit that would leave the text longer than the limit and longer than it
// was; never refuses the program's own texts, so the line edit never takes them for invalid
// input (after which it would stop refusing the user's edits as well).
class LimitedLineEdit::Validator : public QValidator {
  public:
    explicit Validator(LimitedLineEdit& edit) : QValidator(&edit), edit_(edit) {}

    State validate(QString& input, int& /*pos*/) const override {
        if (edit_.userEditDepth_ == 0) {
            return Acceptable;
        }
        const auto length = input.size();
        return length <= edit_.limit_ || length <= edit_.lengthBeforeUserEdit_ ? Acceptable
                                                                               : Invalid;
    }

  private:
    LimitedLineEdit& edit_;
};

LimitedLineEdit::LimitedLineEdit(int limit, QWidget* parent) : QLineEdit(parent), limit_(limit) {
    setValidator(new Validator(*this));
}

bool LimitedLineEdit::event(QEvent* e) {
    switch (e->type()) {
        case QEvent::KeyPress:
        case QEvent::InputMethod:
        case QEvent::Drop:
        case QEvent::MouseButtonRelease:  // the middle button pastes the selection
        case QEvent::ContextMenu: {       // its Paste, Undo and Redo run inside the event
            const int outerLength = lengthBeforeUserEdit_;
            lengthBeforeUserEdit_ = static_cast<int>(text().size());
            ++userEditDepth_;
            const bool handled = QLineEdit::event(e);
            --userEditDepth_;
            lengthBeforeUserEdit_ = outerLength;
            return handled;
        }
        default:
            return QLineEdit::event(e);
    }
}

}  // namespace tabellan
