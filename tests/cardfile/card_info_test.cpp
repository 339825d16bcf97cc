#include "cardfile/card_info.h"

#include <gtest/gtest.h>

namespace tabellan {
namespace {

TEST(CountTextTest, LinesAndCharacters) {
    EXPECT_EQ(CountText("a\r\nb").lines, 2);
    EXPECT_EQ(CountText("a\r\nb").characters, 2);
    EXPECT_EQ(CountText("a\r\n").lines, 1);  // a trailing break adds no line
    EXPECT_EQ(CountText("").lines, 1);
    EXPECT_EQ(CountText("").characters, 0);
    EXPECT_EQ(CountText("\r\n").characters, 0);
    EXPECT_EQ(CountText("a\rb\nc").lines, 1);  // lone CR or LF is no line break
    EXPECT_EQ(CountText("a\rb\nc").characters, 5);
}

TEST(CardInfoReportTest, FullReport) {
    EXPECT_EQ(CardInfoReport(3, "a\r\nb", "", false),
              "Total cards: 3\r\n\r\n"
              "Total lines in card: 2\r\nTotal characters in card: 2\r\n\r\n"
              "Size of card: 4\r\n\r\n"
              "Current card is not modified.");
    EXPECT_EQ(CardInfoReport(1, "ab\r\ncd", "b\r\nc", true),
              "Total cards: 1\r\n\r\n"
              "Selected lines in card: 2\r\nSelected characters in card: 2\r\n\r\n"
              "Total lines in card: 2\r\nTotal characters in card: 4\r\n\r\n"
              "Size of card: 6\r\n\r\n"
              "Current card is modified.");
}

TEST(CardInfoReportTest, LineBreaksOnlyGiveTheTotalLineAlone) {
    EXPECT_EQ(CardInfoReport(7, "", "", false), "Total cards: 7\r\n\r\n");
    EXPECT_EQ(CardInfoReport(7, "\r\n\r\n", "\r\n", true), "Total cards: 7\r\n\r\n");
    // A selection of only a line break is left out, the card's text is not.
    EXPECT_EQ(CardInfoReport(2, "x\r\ny", "\r\n", false).find("Selected"), std::string::npos);
}

TEST(CommandAtCaretTest, WordAroundTheCaretOrTheSelection) {
    const std::string line = "run notepad c:\\x.txt";
    for (std::size_t caret = 4; caret <= 11; ++caret) {
        EXPECT_EQ(CommandAtCaret(line, caret, ""), "notepad") << caret;
    }
    EXPECT_EQ(CommandAtCaret(line, 3, ""), "run");
    EXPECT_EQ(CommandAtCaret("a  b", 2, ""), "");  // between two delimiters
    EXPECT_EQ(CommandAtCaret("", 0, ""), "");
    EXPECT_EQ(CommandAtCaret("x\r\nhttp://a.b/c\r\ny", 5, ""), "http://a.b/c");
    EXPECT_EQ(CommandAtCaret("abc", 99, ""), "abc");  // a caret past the end is clamped
    EXPECT_EQ(CommandAtCaret(line, 0, "notepad c:\\x.txt"), "notepad c:\\x.txt");
}

TEST(CommandAtCaretTest, SplitAtTheFirstBlankAndCaption) {
    const SplitCommand s = SplitAtFirstBlank("notepad c:\\x.txt more");
    EXPECT_EQ(s.file, "notepad");
    EXPECT_EQ(s.parameters, "c:\\x.txt more");
    EXPECT_EQ(SplitAtFirstBlank(" x").file, "");
    EXPECT_EQ(SplitAtFirstBlank(" x").parameters, "x");
    EXPECT_EQ(SplitAtFirstBlank("solo").parameters, "");
    EXPECT_EQ(ExecuteCaption(""), "<Nothing>");
    // One line: each run of tabs and line breaks is one blank; the menu doubles ampersands.
    EXPECT_EQ(ExecuteCaption("a&b"), "a&b");
    EXPECT_EQ(ExecuteCaption("notepad\tc:\\x.txt\r\n\r\nmore\x01"
                             "end"),
              "notepad c:\\x.txt more end");
    EXPECT_EQ(ExecuteCaption("\tx\r\n"), " x ");
}

}  // namespace
}  // namespace tabellan
