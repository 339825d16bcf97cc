#include "cardfile/print_layout.h"

#include <gtest/gtest.h>

#include "cardfile/card_set.h"

namespace tabellan {
namespace {

// A fixed-pitch font: every character one unit wide, bold too.
double Monospace(std::string_view text, bool) {
    return static_cast<double>(text.size());
}

std::vector<std::string> Texts(const PrintPage& page) {
    std::vector<std::string> out;
    for (const auto& l : page) {
        out.push_back(l.text);
    }
    return out;
}

TEST(ExpandTabsTest, StopsEveryEightColumns) {
    EXPECT_EQ(ExpandTabs("\tx"), std::string(8, ' ') + "x");
    EXPECT_EQ(ExpandTabs("abc\tx"), "abc" + std::string(5, ' ') + "x");
    EXPECT_EQ(ExpandTabs("abc\t\tx"), "abc" + std::string(13, ' ') + "x");
    EXPECT_EQ(ExpandTabs("abcdefgh\tx"), "abcdefgh" + std::string(8, ' ') + "x");
    EXPECT_EQ(ExpandTabs("no tabs"), "no tabs");
}

TEST(PrintLinesTest, IndentBoldIndexAndEmptyLinesBetweenCards) {
    const auto one = CardPrintLines({"Jones\tLtd", "1 High Road"}, "    ");
    ASSERT_EQ(one.size(), 2u);
    EXPECT_EQ(one[0].text, "    Jones   Ltd");  // tabs expand before the indent is added
    EXPECT_TRUE(one[0].bold);
    EXPECT_EQ(one[1].text, "    1 High Road");
    EXPECT_FALSE(one[1].bold);

    CardSet cards;
    cards.Insert(Card{{"Smith", "x"}});
    cards.Insert(Card{{"Adams"}});
    const auto all = AllCardsPrintLines(cards, "  ");
    ASSERT_EQ(all.size(), 7u);
    EXPECT_EQ(all[0].text, "  Adams");
    EXPECT_TRUE(all[0].bold);
    EXPECT_EQ(all[1].text, "");  // the two separating lines have no indent
    EXPECT_EQ(all[2].text, "");
    EXPECT_EQ(all[3].text, "  Smith");
    EXPECT_EQ(all[4].text, "  x");
    EXPECT_FALSE(all[4].bold);
}

TEST(LayoutPagesTest, WrapsAtBlanksOrCharacters) {
    const PageGeometry g{10, 100, 1};
    const auto pages =
        LayoutPages({{"hello brave world", false}, {"abcdefghijklmno", true}}, g, Monospace);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(Texts(pages[0]),
              (std::vector<std::string>{"hello ", "brave ", "world", "abcdefghij", "klmno"}));
    EXPECT_TRUE(pages[0][4].bold);  // a wrapped line keeps its style
    // Every piece names the line it comes from, so the printer can tell which card it is on.
    std::vector<std::size_t> sources;
    for (const auto& l : pages[0]) {
        sources.push_back(l.source);
    }
    EXPECT_EQ(sources, (std::vector<std::size_t>{0, 0, 0, 1, 1}));
}

TEST(LayoutPagesTest, WrappedPiecesKeepTheIndent) {
    const PageGeometry g{12, 100, 1};
    const auto lines =
        CardPrintLines({"Name", "one two three four", "abcdefghijklmnopq", "x\fy"}, "   ");
    EXPECT_EQ(lines[1].indent, 3u);
    const auto pages = LayoutPages(lines, g, Monospace);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(Texts(pages[0]),
              (std::vector<std::string>{"   Name", "   one two ", "   three ", "   four",
                                        "   abcdefghi", "   jklmnopq", "   x"}));
    EXPECT_EQ(Texts(pages[1]), (std::vector<std::string>{"   y"}));  // after the form feed
    // Blanks of the indent are no place to wrap; an empty line keeps its indent.
    const auto oneWord = LayoutPages({{"    abcdefghijkl", false, 4}, {"  ", false, 2}},
                                     PageGeometry{8, 100, 1}, Monospace);
    EXPECT_EQ(Texts(oneWord[0]),
              (std::vector<std::string>{"    abcd", "    efgh", "    ijkl", "  "}));
}

TEST(LayoutPagesTest, AnIndentWiderThanThePageIsDroppedFromThePieces) {
    const auto pages = LayoutPages({{"      abc", false, 6}}, PageGeometry{4, 100, 1}, Monospace);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(Texts(pages[0]), (std::vector<std::string>{"abc"}));
}

TEST(LayoutPagesTest, NewPageWhenTheNextLineDoesNotFitAndAtFormFeeds) {
    const PageGeometry g{80, 3, 1};
    const auto pages =
        LayoutPages({{"1", false}, {"2", false}, {"3", false}, {"4", false}}, g, Monospace);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(Texts(pages[1]), (std::vector<std::string>{"4"}));
    EXPECT_DOUBLE_EQ(pages[1][0].y, 0);

    const auto ff = LayoutPages({{"a\fb", false}, {"c\f", false}, {"d", false}}, g, Monospace);
    ASSERT_EQ(ff.size(), 3u);
    EXPECT_EQ(Texts(ff[0]), (std::vector<std::string>{"a"}));
    EXPECT_EQ(Texts(ff[1]), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(Texts(ff[2]), (std::vector<std::string>{"d"}));
}

TEST(LayoutPagesTest, DegenerateGeometryStillMakesProgress) {
    // Narrower than one character and shorter than one line: one character per line and page.
    const auto pages = LayoutPages({{"abc", false}}, PageGeometry{0.5, 0.5, 1}, Monospace);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(Texts(pages[2]), (std::vector<std::string>{"c"}));
    EXPECT_EQ(LayoutPages({}, PageGeometry{10, 10, 1}, Monospace).size(), 1u);
}

TEST(PrintTextsTest, ReportsAndQuestions) {
    EXPECT_EQ(PrintAllQuestion(3), "Do you really want to print all the 3 cards?");
    EXPECT_EQ(CardsPrintedReport(1), "One card printed.");
    EXPECT_EQ(CardsPrintedReport(3), "3 cards printed.");
    EXPECT_EQ(PrintingStatusText("A&B"), "Printing A&B...");
}

}  // namespace
}  // namespace tabellan
