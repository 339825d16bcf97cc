#pragma once
// The card editor's text against the card's bytes. Cards are 8-bit text in the code page of
// the editor font's script and break lines with CR LF; the editor holds UTF-16 and breaks
// lines with a single character. Offsets in card text count CR LF as two characters.
#include <QString>
#include <string>
#include <vector>

#include "cardfile/codepage.h"

class QPlainTextEdit;

namespace tabellan {

QString AnsiToQString(std::string_view ansi, CodePage cp);
std::string QStringToAnsi(const QString& text, CodePage cp);

// Editor text (line breaks as '\n') of a card's lines: the lines joined with one break.
QString EditorTextFromLines(const std::vector<std::string>& lines, CodePage cp);
// The editor's hard lines; an empty last line is not counted ("a\n" holds one line,
// "a\n\n" two, "" none).
std::vector<std::string> LinesFromEditorText(const QString& text, CodePage cp);

// Length of the editor text as card text, every line break counted as CR LF.
int CardTextLength(const QString& editorText);
// Editor position -> card text offset and back. An offset that falls between CR and LF
// maps to the position of the line break.
int CardOffsetFromEditorPos(const QString& editorText, int pos);
int EditorPosFromCardOffset(const QString& editorText, int offset);

// Card text (lines broken with CR LF) as the editor holds it.
QString EditorTextFromCardText(std::string_view cardText, CodePage cp);

// Reads and writes a QPlainTextEdit in card terms. The document's raw text is used, because
// the plain-text form turns no-break spaces into blanks.
class CardEditorAdapter {
  public:
    explicit CardEditorAdapter(QPlainTextEdit& editor) : editor_(editor) {}

    void SetCodePage(CodePage cp) { cp_ = cp; }
    CodePage GetCodePage() const { return cp_; }

    QString Text() const;  // line breaks as '\n'
    std::vector<std::string> Lines() const;
    // The lines as the editor shows them: with word wrap on, each wrapped piece of a line is
    // a line of its own; otherwise the hard lines.
    std::vector<std::string> DisplayLines() const;
    void SetLines(const std::vector<std::string>& lines);
    // The control's own length, CR LF counted as two, without reading the text.
    int Length() const;
    // The selection in editor positions (for the enablement rules, which only compare).
    int SelectionLength() const;
    int EditorLength() const;

    // The whole text and the selection as card text.
    std::string CardText() const;
    std::string SelectedCardText() const;
    // An editor position as a byte offset into the card text; converted, so a character the
    // code page lacks counts as the one byte it becomes.
    std::size_t CardOffset(int pos) const;
    std::size_t CaretOffset() const;  // of the cursor's position
    std::size_t SelectionStartOffset() const;
    std::size_t SelectionEndOffset() const;
    // Replaces the selection with card text, as typing would; keepSelected selects the new
    // text, otherwise the cursor follows it.
    void ReplaceSelection(std::string_view cardText, bool keepSelected);
    // Selects the card text range, scrolled into view.
    void SelectCardRange(std::size_t start, std::size_t length);

  private:
    QPlainTextEdit& editor_;
    CodePage cp_ = CodePage::Windows1252;
};

}  // namespace tabellan
