#include "app/card_editor_adapter.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cstdlib>

namespace tabellan {

QString AnsiToQString(std::string_view ansi, CodePage cp) {
    return QString::fromStdU16String(AnsiToUtf16(ansi, cp));
}

std::string QStringToAnsi(const QString& text, CodePage cp) {
    return Utf16ToAnsi(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                           static_cast<std::size_t>(text.size())),
                       cp);
}

QString EditorTextFromLines(const std::vector<std::string>& lines, CodePage cp) {
    QString text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            text += QLatin1Char('\n');
        }
        text += AnsiToQString(lines[i], cp);
    }
    return text;
}

std::vector<std::string> LinesFromEditorText(const QString& text, CodePage cp) {
    std::vector<std::string> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) {
            end = text.size();
        }
        lines.push_back(QStringToAnsi(text.mid(start, end - start), cp));
        start = end + 1;
    }
    return lines;
}

int CardTextLength(const QString& editorText) {
    return static_cast<int>(editorText.size() + editorText.count(QLatin1Char('\n')));
}

int CardOffsetFromEditorPos(const QString& editorText, int pos) {
    const int clamped = std::clamp(pos, 0, static_cast<int>(editorText.size()));
    return clamped + static_cast<int>(QStringView(editorText).left(clamped).count(u'\n'));
}

int EditorPosFromCardOffset(const QString& editorText, int offset) {
    int cardPos = 0;
    for (int i = 0; i < editorText.size(); ++i) {
        const int width = editorText[i] == QLatin1Char('\n') ? 2 : 1;
        if (offset < cardPos + width) {
            return i;
        }
        cardPos += width;
    }
    return static_cast<int>(editorText.size());
}

QString EditorTextFromCardText(std::string_view cardText, CodePage cp) {
    QString text = AnsiToQString(cardText, cp);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

namespace {

// Editor text as card text: every line break becomes CR LF.
std::string ToCardText(QString editorText, CodePage cp) {
    editorText.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return QStringToAnsi(editorText, cp);
}

}  // namespace

QString CardEditorAdapter::Text() const {
    QString raw = editor_.document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return raw;
}

std::vector<std::string> CardEditorAdapter::Lines() const {
    return LinesFromEditorText(Text(), cp_);
}

std::vector<std::string> CardEditorAdapter::DisplayLines() const {
    if (editor_.lineWrapMode() == QPlainTextEdit::NoWrap) {
        return Lines();
    }
    std::vector<std::string> lines;
    QAbstractTextDocumentLayout* layout = editor_.document()->documentLayout();
    for (QTextBlock block = editor_.document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        if (text.isEmpty() && !block.next().isValid()) {
            break;  // a final line break ends the last line, as in Lines()
        }
        layout->blockBoundingRect(block);  // lays out a block the editor has not shown yet
        const QTextLayout* shown = block.layout();
        if (!shown || shown->lineCount() == 0) {
            lines.push_back(QStringToAnsi(text, cp_));
            continue;
        }
        for (int i = 0; i < shown->lineCount(); ++i) {
            const QTextLine line = shown->lineAt(i);
            lines.push_back(QStringToAnsi(text.mid(line.textStart(), line.textLength()), cp_));
        }
    }
    return lines;
}

void CardEditorAdapter::SetLines(const std::vector<std::string>& lines) {
    editor_.setPlainText(EditorTextFromLines(lines, cp_));
}

int CardEditorAdapter::EditorLength() const {
    return editor_.document()->characterCount() - 1;
}

int CardEditorAdapter::Length() const {
    return EditorLength() + editor_.document()->blockCount() - 1;
}

int CardEditorAdapter::SelectionLength() const {
    const QTextCursor c = editor_.textCursor();
    return std::abs(c.position() - c.anchor());
}

std::string CardEditorAdapter::CardText() const {
    return ToCardText(Text(), cp_);
}

std::string CardEditorAdapter::SelectedCardText() const {
    const QTextCursor c = editor_.textCursor();
    return ToCardText(Text().mid(c.selectionStart(), c.selectionEnd() - c.selectionStart()), cp_);
}

std::size_t CardEditorAdapter::CardOffset(int pos) const {
    const QString text = Text();
    return ToCardText(text.left(std::clamp(pos, 0, static_cast<int>(text.size()))), cp_).size();
}

std::size_t CardEditorAdapter::CaretOffset() const {
    return CardOffset(editor_.textCursor().position());
}

std::size_t CardEditorAdapter::SelectionStartOffset() const {
    return CardOffset(editor_.textCursor().selectionStart());
}

std::size_t CardEditorAdapter::SelectionEndOffset() const {
    return CardOffset(editor_.textCursor().selectionEnd());
}

void CardEditorAdapter::ReplaceSelection(std::string_view cardText, bool keepSelected) {
    QTextCursor c = editor_.textCursor();
    const int start = c.selectionStart();
    const QString text = EditorTextFromCardText(cardText, cp_);
    c.insertText(text);
    if (keepSelected) {
        c.setPosition(start);
        c.setPosition(start + static_cast<int>(text.size()), QTextCursor::KeepAnchor);
    }
    editor_.setTextCursor(c);
}

void CardEditorAdapter::SelectCardRange(std::size_t start, std::size_t length) {
    // From the end, so that the selection is scrolled into view from below.
    QTextCursor c = editor_.textCursor();
    c.movePosition(QTextCursor::End);
    editor_.setTextCursor(c);
    editor_.ensureCursorVisible();
    const QString text = Text();
    c.setPosition(EditorPosFromCardOffset(text, static_cast<int>(start)));
    c.setPosition(EditorPosFromCardOffset(text, static_cast<int>(start + length)),
                  QTextCursor::KeepAnchor);
    editor_.setTextCursor(c);
}

}  // namespace tabellan
