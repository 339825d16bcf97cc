// The card editor's text against the card's bytes, offsets and lines.
#include "app/card_editor_adapter.h"

#include <gtest/gtest.h>

#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>

#include "app/card_memo.h"

namespace tabellan {
namespace {

using Lines = std::vector<std::string>;

std::string AllBytesButLineBreaks() {
    std::string bytes;
    for (int b = 1; b <= 255; ++b) {
        if (b != '\r' && b != '\n') {
            bytes += static_cast<char>(b);
        }
    }
    return bytes;
}

TEST(CardEditorAdapterTest, EveryByteSurvivesTheEditorInEveryCodePage) {
    const Lines card = {AllBytesButLineBreaks(), "second", AllBytesButLineBreaks()};
    for (CodePage cp : {CodePage::Windows1252, CodePage::Windows1250, CodePage::Windows1251,
                        CodePage::Windows1253, CodePage::Windows874}) {
        QPlainTextEdit edit;
        CardEditorAdapter adapter(edit);
        adapter.SetCodePage(cp);
        adapter.SetLines(card);
        EXPECT_EQ(adapter.Lines(), card) << CodePageName(cp);
    }
}

TEST(CardEditorAdapterTest, NoBreakSpaceIsNotTurnedIntoABlank) {
    QPlainTextEdit edit;
    CardEditorAdapter adapter(edit);
    adapter.SetLines(
        {"a\xA0"
         "b"});
    EXPECT_EQ(adapter.Lines(), (Lines{"a\xA0"
                                      "b"}));
}

TEST(CardEditorAdapterTest, AnEmptyLastLineIsNotCounted) {
    const CodePage cp = CodePage::Windows1252;
    EXPECT_EQ(LinesFromEditorText("", cp), Lines{});
    EXPECT_EQ(LinesFromEditorText("a\n", cp), (Lines{"a"}));
    EXPECT_EQ(LinesFromEditorText("a\n\n", cp), (Lines{"a", ""}));
    EXPECT_EQ(LinesFromEditorText("\n", cp), (Lines{""}));
    EXPECT_EQ(LinesFromEditorText("a\nb", cp), (Lines{"a", "b"}));
    EXPECT_EQ(EditorTextFromLines({"a", "b"}, cp), "a\nb");
    EXPECT_EQ(EditorTextFromLines({"", ""}, cp), "\n");
}

TEST(CardEditorAdapterTest, OffsetsCountALineBreakAsCrLf) {
    const QString text = "ab\ncd\n\ne";
    EXPECT_EQ(CardTextLength(text), 11);  // "ab" CR LF "cd" CR LF CR LF "e"
    EXPECT_EQ(CardOffsetFromEditorPos(text, 0), 0);
    EXPECT_EQ(CardOffsetFromEditorPos(text, 2), 2);
    EXPECT_EQ(CardOffsetFromEditorPos(text, 3), 4);  // after the first break
    EXPECT_EQ(CardOffsetFromEditorPos(text, 8), 11);
    for (int pos = 0; pos <= text.size(); ++pos) {
        EXPECT_EQ(EditorPosFromCardOffset(text, CardOffsetFromEditorPos(text, pos)), pos);
    }
    EXPECT_EQ(EditorPosFromCardOffset(text, 3), 2);  // between CR and LF: at the break
    EXPECT_EQ(EditorPosFromCardOffset(text, 99), text.size());
}

TEST(CardEditorAdapterTest, LengthOfTheControlCountsEveryBreakTwice) {
    QPlainTextEdit edit;
    CardEditorAdapter adapter(edit);
    EXPECT_EQ(adapter.Length(), 0);
    edit.setPlainText("ab\ncd\n");
    EXPECT_EQ(adapter.Length(), 8);
    EXPECT_EQ(adapter.EditorLength(), 6);
    EXPECT_EQ(adapter.Lines(), (Lines{"ab", "cd"}));
}

class PastingMemo : public CardMemo {
  public:
    using CardMemo::insertFromMimeData;
};

TEST(CardMemoTest, PastingStopsAtTheCapacity) {
    PastingMemo memo;
    memo.SetCapacity(10);
    memo.setPlainText("abcd");
    memo.moveCursor(QTextCursor::End);
    memo.insertPlainText("x");  // the program's own insert is not limited
    EXPECT_EQ(memo.Room(), 5);
    QMimeData data;
    data.setText("12\r\n34567");  // 9 card characters, room for 5
    memo.moveCursor(QTextCursor::End);
    memo.insertFromMimeData(&data);
    EXPECT_EQ(memo.toPlainText(), "abcdx12\n3");
    EXPECT_EQ(memo.Room(), 0);
}

TEST(CardMemoTest, TypingStopsAtTheCapacityButLeavesEditingKeys) {
    CardMemo memo;
    memo.SetCapacity(4);
    QTest::keyClicks(&memo, "abc");
    QTest::keyClick(&memo, Qt::Key_Return);  // a break needs two characters of room
    QTest::keyClicks(&memo, "de");
    EXPECT_EQ(memo.toPlainText(), "abcd");
    QTest::keyClick(&memo, Qt::Key_Backspace);
    EXPECT_EQ(memo.toPlainText(), "abc");
}

}  // namespace
}  // namespace tabellan
