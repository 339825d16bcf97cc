// The panes' widths and places, the divider zone and the divider's moves.
#include "app/pane_layout.h"

#include <gtest/gtest.h>

namespace tabellan {
namespace {

TEST(PaneLayoutTest, DoubleClickGivesTheEditorAboutEightThirteenthsEitherWay) {
    // Client area 680 wide, index list at the right: editor (680 - 29) * 8 / 13 = 400.
    auto w = RearrangeAt(true, 680, 100, false, true);
    ASSERT_TRUE(w);
    EXPECT_EQ(*w, (PaneWidths{400, 250}));
    // Index list at the left: the list is the left pane and gets 5/13.
    w = RearrangeAt(false, 680, 100, false, true);
    ASSERT_TRUE(w);
    EXPECT_EQ(*w, (PaneWidths{400, 250}));
}

TEST(PaneLayoutTest, DragFollowsThePointerUntilFifteenPixelsFromTheRightEdge) {
    auto w = RearrangeAt(true, 680, 315, true, false);
    ASSERT_TRUE(w);
    EXPECT_EQ(*w, (PaneWidths{300, 350}));
    EXPECT_FALSE(RearrangeAt(true, 680, 665, true, false));
    EXPECT_TRUE(RearrangeAt(true, 680, 664, true, false));
    EXPECT_FALSE(RearrangeAt(true, 680, 315, false, false));  // button not down
}

TEST(PaneLayoutTest, DragPastTheLeftMarginClosesThePaneInsteadOfGoingNegative) {
    auto w = RearrangeAt(true, 680, 3, true, false);
    ASSERT_TRUE(w);
    EXPECT_EQ(*w, (PaneWidths{0, 650}));
    w = RearrangeAt(false, 680, 3, true, false);
    ASSERT_TRUE(w);
    EXPECT_EQ(*w, (PaneWidths{650, 0}));
}

TEST(PaneLayoutTest, ResizeKeepsTheRatioRoundingToNearest) {
    EXPECT_EQ(ResizePanes({400, 250}, 680), (PaneWidths{400, 250}));
    // available 970, total 650, half 325: (970*400+325)/650 = 597, (970*250+325)/650 = 373.
    EXPECT_EQ(ResizePanes({400, 250}, 1000), (PaneWidths{597, 373}));
    EXPECT_EQ(ResizePanes({1, 2}, 33), (PaneWidths{1, 2}));
    EXPECT_EQ(ResizePanes({1, 1}, 34), (PaneWidths{2, 2}));  // 4 * 1 + 1 = 5 / 2 = 2
}

TEST(PaneLayoutTest, ResizeNeverDividesByZero) {
    EXPECT_EQ(ResizePanes({0, 0}, 680), (PaneWidths{400, 250}));
    EXPECT_EQ(ResizePanes({400, 250}, 10), (PaneWidths{0, 0}));
    EXPECT_EQ(ResizePanes({0, 0}, 0), (PaneWidths{0, 0}));
}

TEST(PaneLayoutTest, PlacesThePanesAndTheDividerBetweenThem) {
    const PaneWidths w{400, 250};
    PaneGeometry g = PlacePanes(w, true, 41, 279);
    EXPECT_EQ(g.editor, (Rect{10, 41, 400, 279}));
    EXPECT_EQ(g.indexList, (Rect{420, 41, 250, 279}));
    g = PlacePanes(w, false, 41, 279);
    EXPECT_EQ(g.indexList, (Rect{10, 41, 250, 279}));
    EXPECT_EQ(g.editor, (Rect{270, 41, 400, 279}));

    EXPECT_FALSE(InDividerZone(w, true, 410));  // the editor's right edge
    EXPECT_TRUE(InDividerZone(w, true, 411));
    EXPECT_TRUE(InDividerZone(w, true, 419));
    EXPECT_FALSE(InDividerZone(w, true, 420));  // the list starts here
    EXPECT_TRUE(InDividerZone(w, false, 265));
}

TEST(PaneLayoutTest, CardWidthFromTheFileSettingsGivesTheListTheRest) {
    EXPECT_EQ(PanesFromCardWidth(400, 680), (PaneWidths{400, 250}));
    EXPECT_EQ(PanesFromCardWidth(900, 680), (PaneWidths{650, 0}));
    EXPECT_EQ(PanesFromCardWidth(-5, 680), (PaneWidths{0, 650}));
}

}  // namespace
}  // namespace tabellan
