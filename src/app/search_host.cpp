#include "app/search_host.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>

#include "app/card_editor_adapter.h"
#include "cardfile/document.h"

namespace tabellan {

namespace {

// Selected text uses the paragraph separator for a line break.
QString WithCardLineBreaks(QString text) {
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

}  // namespace

std::string EditorCardText(const CardEditorAdapter& adapter) {
    return QStringToAnsi(WithCardLineBreaks(adapter.Text()), adapter.GetCodePage());
}

std::size_t EditorCardOffset(const CardEditorAdapter& adapter, int pos) {
    const QString text = adapter.Text();
    const QString before = text.left(std::clamp(pos, 0, static_cast<int>(text.size())));
    // Converted, so a character the code page lacks counts as the one byte it becomes.
    return QStringToAnsi(WithCardLineBreaks(before), adapter.GetCodePage()).size();
}

const CardSet& CardSearchHost::Cards() const {
    return doc_.Cards();
}

std::size_t CardSearchHost::SelectionStart() const {
    const QTextCursor c = editor_.textCursor();
    return EditorCardOffset(adapter_, c.selectionStart());
}

std::size_t CardSearchHost::SelectionLength() const {
    const QTextCursor c = editor_.textCursor();
    return EditorCardOffset(adapter_, c.selectionEnd()) - SelectionStart();
}

std::string CardSearchHost::SelectedText() const {
    return QStringToAnsi(WithCardLineBreaks(editor_.textCursor().selectedText()),
                         adapter_.GetCodePage());
}

void CardSearchHost::ReplaceSelection(std::string_view text) {
    QString replacement = AnsiToQString(text, adapter_.GetCodePage());
    replacement.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QTextCursor c = editor_.textCursor();
    c.insertText(replacement);
    editor_.setTextCursor(c);
}

int CardSearchHost::SelectedCard() const {
    return view_.SelectedIndex();
}

void CardSearchHost::CommitCard() {
    doc_.CommitCurrentCard();
}

void CardSearchHost::ReshowSelectedCard() {
    doc_.IndexListClick();
}

void CardSearchHost::ShowCard(int pos) {
    doc_.SelectCard(pos);
}

void CardSearchHost::SelectText(std::size_t start, std::size_t length) {
    QTextCursor c = editor_.textCursor();
    c.movePosition(QTextCursor::End);
    editor_.setTextCursor(c);
    editor_.ensureCursorVisible();
    const QString text = adapter_.Text();
    const int from = EditorPosFromCardOffset(text, static_cast<int>(start));
    const int to = EditorPosFromCardOffset(text, static_cast<int>(start + length));
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    editor_.setTextCursor(c);
}

void CardSearchHost::FocusEditor() {
    if (editor_.isEnabled()) {
        editor_.setFocus();
    }
    if (dialog_ && dialog_->isVisible()) {
        dialog_->raise();
        dialog_->activateWindow();
    }
}

}  // namespace tabellan
