#include "app/qt_prompter.h"

#include <QApplication>
#include <QCoreApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

#include "app/card_editor_adapter.h"
#include "app/dlg_frm.h"
#include "app/help.h"
#include "cardfile/text_util.h"

namespace tabellan {

QString MessageText(std::string_view text, CodePage cp) {
    return QString::fromStdU16String(MessageToUtf16(ShownMessage(text), cp));
}

QString MessageCaption(MsgKind kind) {
    switch (kind) {
        case MsgKind::Error:
            return QStringLiteral("Error");
        case MsgKind::Information:
            return QStringLiteral("Information");
        case MsgKind::Confirmation:
            return QStringLiteral("Confirm");
        case MsgKind::Warning:
            return QStringLiteral("Warning");
    }
    return {};
}

namespace {

QMessageBox::Icon IconFor(MsgKind kind) {
    switch (kind) {
        case MsgKind::Error:
            return QMessageBox::Critical;
        case MsgKind::Information:
            return QMessageBox::Information;
        case MsgKind::Confirmation:
            return QMessageBox::Question;
        case MsgKind::Warning:
            return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsFor(Buttons b) {
    switch (b) {
        case Buttons::Ok:
            return QMessageBox::Ok;
        case Buttons::OkHelp:
            return QMessageBox::Ok | QMessageBox::Help;
        case Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case Buttons::YesNoCancelHelp:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Help;
        case Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

Answer AnswerFor(int button) {
    switch (button) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            return Answer::Ok;
    }
}

// Closing a question box with Escape or the title bar counts as its safest answer.
QMessageBox::StandardButton EscapeFor(Buttons b) {
    switch (b) {
        case Buttons::YesNo:
            return QMessageBox::No;
        case Buttons::YesNoCancel:
        case Buttons::YesNoCancelHelp:
        case Buttons::OkCancel:
            return QMessageBox::Cancel;
        default:
            return QMessageBox::Ok;
    }
}

// A modal question must not show the wait cursor of the operation that asks it.
class ArrowCursorScope {
  public:
    ArrowCursorScope() : active_(QApplication::overrideCursor() != nullptr) {
        if (active_) {
            QApplication::setOverrideCursor(Qt::ArrowCursor);
        }
    }
    ~ArrowCursorScope() {
        if (active_) {
            QApplication::restoreOverrideCursor();
        }
    }
    ArrowCursorScope(const ArrowCursorScope&) = delete;
    ArrowCursorScope& operator=(const ArrowCursorScope&) = delete;

  private:
    bool active_;
};

// The prompt is shown as plain text, and without the buddy the input dialog gives its label
// once laid out, which would take a lone "&" for a mnemonic.
void ShowPromptAsTyped(QInputDialog& dialog) {
    dialog.adjustSize();
    if (auto* label = dialog.findChild<QLabel*>()) {
        label->setTextFormat(Qt::PlainText);
        label->setBuddy(nullptr);
    }
}

}  // namespace

QtPrompter::QtPrompter(QWidget* parent, StatusSink status, CodePageSource codePage)
    : parent_(parent), status_(std::move(status)), codePage_(std::move(codePage)) {}

CodePage QtPrompter::Cp() const {
    return codePage_ ? codePage_() : CodePage::Windows1252;
}

Answer QtPrompter::Show(MsgKind kind, std::string_view text, Buttons buttons, int helpContext) {
    QMessageBox box(IconFor(kind), MessageCaption(kind), QString(), ButtonsFor(buttons), parent_);
    box.setTextFormat(Qt::PlainText);  // card and file text is never markup
    box.setText(MessageText(text, Cp()));
    box.setEscapeButton(EscapeFor(buttons));
    if (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ||
        buttons == Buttons::YesNoCancelHelp) {
        box.setDefaultButton(QMessageBox::Yes);
    }
    const ArrowCursorScope arrow;
    // The Help button shows the topic and leaves the question open.
    for (;;) {
        const int result = box.exec();
        if (result != QMessageBox::Help) {
            return AnswerFor(result);
        }
        ShowHelpContext(helpContext);
    }
}

std::optional<std::string> QtPrompter::AskPassword(std::string_view caption,
                                                   std::string_view prompt,
                                                   std::string_view initial) {
    TDlgFrm* dialog = passwordDialog_;
    std::unique_ptr<TDlgFrm> own;
    if (!dialog) {
        own = std::make_unique<TDlgFrm>(*this, parent_);
        dialog = own.get();
    }
    dialog->Setup(AnsiToQString(caption, Cp()), MessageText(prompt, Cp()),
                  AnsiToQString(initial, Cp()), Cp());
    const ArrowCursorScope arrow;
    const int result = dialog->exec();
    if (result != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog->Password();
}

std::optional<std::string> QtPrompter::InputBox(std::string_view caption, std::string_view prompt,
                                                std::string_view initial) {
    QInputDialog dialog(parent_);
    dialog.setObjectName(QStringLiteral("InputBox"));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(AnsiToQString(caption, Cp()));
    dialog.setLabelText(MessageText(prompt, Cp()));
    dialog.setTextValue(AnsiToQString(initial, Cp()));
    ShowPromptAsTyped(dialog);
    const ArrowCursorScope arrow;
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return QStringToAnsi(dialog.textValue(), Cp());
}

void QtPrompter::Status(std::string_view text) {
    if (status_) {
        status_(QString::fromStdU16String(MessageToUtf16(text, Cp())));
    }
}

void QtPrompter::Busy(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace tabellan
