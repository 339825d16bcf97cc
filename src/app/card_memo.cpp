#include "app/card_memo.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

#include "app/card_editor_adapter.h"

namespace tabellan {

CardMemo::CardMemo(QWidget* parent) : QPlainTextEdit(parent) {}

int CardMemo::SelectedCardLength() const {
    QString selected = textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return CardTextLength(selected);
}

int CardMemo::Room() const {
    const int length = document()->characterCount() - 1 + document()->blockCount() - 1;
    return capacity_ - length + SelectedCardLength();
}

void CardMemo::keyPressEvent(QKeyEvent* e) {
    const QString text = e->text();
    const bool inserts = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter ||
                         (!text.isEmpty() && text.at(0).isPrint()) || e->key() == Qt::Key_Tab;
    if (inserts && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const int needed = (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
                               ? 2
                               : static_cast<int>(text.size());
        if (needed > Room()) {
            QApplication::beep();
            e->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(e);
}

void CardMemo::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) {
        return;
    }
    QString text = source->text();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const int room = Room();
    if (CardTextLength(text) > room) {
        text.truncate(EditorPosFromCardOffset(text, std::max(0, room)));
        QApplication::beep();
    }
    if (!text.isEmpty()) {
        textCursor().insertText(text);
        ensureCursorVisible();
    }
}

void CardMemo::inputMethodEvent(QInputMethodEvent* e) {
    if (CardTextLength(e->commitString()) > Room()) {
        QApplication::beep();
        e->accept();
        return;
    }
    QPlainTextEdit::inputMethodEvent(e);
}

}  // namespace tabellan
