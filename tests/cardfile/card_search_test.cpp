#include "cardfile/card_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cardfile/card_set.h"
#include "support/fake_search_host.h"
#include "support/scripted_prompter.h"

namespace tabellan {
namespace {

using test::FakeSearchHost;

class CardSearchTest : public ::testing::Test {
  protected:
    bool Find(FakeSearchHost& host, const std::string& text, bool matchCase = false) {
        return FindNext(host, state, SearchRequest{text, "", matchCase}, prompter);
    }
    int ReplaceEvery(FakeSearchHost& host, const std::string& find, const std::string& with) {
        return ReplaceAll(host, state, SearchRequest{find, with, false}, prompter);
    }

    SearchState state;
    test::ScriptedPrompter prompter;
};

TEST_F(CardSearchTest, WrapsFromTheLastCardToTheFirst) {
    FakeSearchHost host{"Adams\r\nneedle here", "Brown\r\nnothing", "Clark\r\nnothing"};
    host.Click(2);
    host.SetCaret(host.editor.size());
    EXPECT_TRUE(Find(host, "NEEDLE"));
    EXPECT_EQ(host.selected, 0);
    EXPECT_EQ(host.selStart, 7u);  // after "Adams" CR LF
    EXPECT_EQ(host.Selection(), "needle");
    EXPECT_TRUE(state.searchWrapped);
    EXPECT_TRUE(prompter.Texts().empty());
}

TEST_F(CardSearchTest, MatchBeforeTheCaretIsFoundAfterAllOtherCards) {
    FakeSearchHost host{"Adams\r\nkey one", "Brown\r\nnothing", "Clark\r\nkey two"};
    host.Click(0);
    host.SetCaret(10);
    ASSERT_TRUE(Find(host, "key"));
    EXPECT_EQ(host.selected, 2);
    EXPECT_FALSE(state.searchWrapped);
    ASSERT_TRUE(Find(host, "key"));
    EXPECT_EQ(host.selected, 0);
    EXPECT_EQ(host.selStart, 7u);
    EXPECT_TRUE(state.searchWrapped);
}

TEST_F(CardSearchTest, ContinuesAfterTheSelectionInTheSameCard) {
    FakeSearchHost host{"Adams\r\nab ab ab"};
    host.Click(0);
    std::vector<std::size_t> starts;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(Find(host, "ab"));
        starts.push_back(host.selStart);
    }
    EXPECT_EQ(starts, (std::vector<std::size_t>{7, 10, 13, 7}));
}

TEST_F(CardSearchTest, CurrentCardProbesTwiceThenReportsNotFound) {
    FakeSearchHost host{"Adams\r\nfirst target", "Brown\r\ntarget"};
    host.Click(0);
    host.SetCaret(host.editor.size());
    state.scope = SearchScope::CurrentCard;
    ASSERT_TRUE(Find(host, "target"));
    EXPECT_EQ(host.selected, 0);
    EXPECT_EQ(host.selStart, 13u);
    EXPECT_TRUE(state.searchWrapped);

    host.SetCaret(3);
    EXPECT_FALSE(Find(host, "zebra"));
    EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{"zebra not found!"}));
    EXPECT_EQ(host.selected, 0);
    EXPECT_EQ(host.selLen, 0u);
    EXPECT_EQ(prompter.shown[0].kind, MsgKind::Error);
}

TEST_F(CardSearchTest, IndexesScopeLooksOnlyAtIndexLines) {
    FakeSearchHost host{"Jones\r\nSmith is a friend", "Smith\r\nbody", "Smithers"};
    host.Click(1);
    host.SetCaret(9);  // in the body, beyond the index line
    state.scope = SearchScope::Indexes;
    ASSERT_TRUE(Find(host, "smith"));
    EXPECT_EQ(host.selected, 2);  // Smithers, not the body of Jones
    ASSERT_TRUE(Find(host, "smith"));
    EXPECT_EQ(host.selected, 1);
    EXPECT_EQ(host.selStart, 0u);
    EXPECT_FALSE(Find(host, "friend"));
}

TEST_F(CardSearchTest, MatchCaseAndPlainSubstrings) {
    FakeSearchHost host{"Johnson\r\nSmith"};
    host.Click(0);
    EXPECT_TRUE(Find(host, "SMITH"));
    host.SetCaret(0);
    EXPECT_FALSE(Find(host, "SMITH", true));
    host.SetCaret(0);
    EXPECT_TRUE(Find(host, "son"));
    EXPECT_EQ(host.selStart, 4u);
}

TEST_F(CardSearchTest, LetterCaseFollowsTheCodePage) {
    FakeSearchHost host{
        "M\xdcLLER\r\nStra\xdf"
        "e"};  // MÜLLER, Straße in Windows-1252
    host.Click(0);
    EXPECT_TRUE(Find(host, "m\xfcller"));
    EXPECT_EQ(host.selStart, 0u);
}

TEST_F(CardSearchTest, EmptyFindTextNeverMatches) {
    FakeSearchHost host{"Adams"};
    host.Click(0);
    EXPECT_FALSE(Find(host, ""));
    EXPECT_EQ(prompter.Texts().back(), " not found!");
    EXPECT_EQ(ReplaceEvery(host, "", "x"), 0);
    EXPECT_EQ(prompter.Texts().back(), "0 replacements done.");
}

TEST_F(CardSearchTest, NotFoundMessageDoublesAmpersands) {
    FakeSearchHost host{"Adams"};
    host.Click(0);
    EXPECT_FALSE(Find(host, "Smith & Co"));
    EXPECT_EQ(prompter.Texts().back(), "Smith && Co not found!");
    EXPECT_EQ(state.lastFindText, "Smith & Co");
}

TEST_F(CardSearchTest, StepCommitsTheEditedCardFirst) {
    FakeSearchHost host{"Adams\r\nold", "Brown"};
    host.Click(0);
    host.Type("Zeta\r\nfresh text");
    host.SetCaret(0);
    ASSERT_TRUE(Find(host, "fresh"));
    EXPECT_EQ(host.Indexes(), (std::vector<std::string>{"Brown", "Zeta"}));
    EXPECT_EQ(host.selected, 1);
    EXPECT_EQ(host.selStart, 6u);
}

TEST_F(CardSearchTest, OffsetsCountCrLfAndPatternsMayCrossLines) {
    FakeSearchHost host{"A\r\nfoo\r\nbar"};
    host.Click(0);
    ASSERT_TRUE(Find(host, "bar"));
    EXPECT_EQ(host.selStart, 8u);
    host.SetCaret(0);
    ASSERT_TRUE(Find(host, "foo\r\nb"));
    EXPECT_EQ(host.selStart, 3u);
    EXPECT_EQ(host.selLen, 6u);
}

TEST_F(CardSearchTest, ReplaceOnlyReplacesAMatchingSelection) {
    FakeSearchHost host{"Adams\r\ncat Cat"};
    host.Click(0);
    const SearchRequest request{"cat", "dog", false};
    ASSERT_TRUE(ReplaceOne(host, state, request, prompter));  // nothing selected yet
    EXPECT_EQ(host.editor, "Adams\r\ncat Cat");
    ASSERT_TRUE(ReplaceOne(host, state, request, prompter));
    EXPECT_FALSE(ReplaceOne(host, state, request, prompter));  // "Cat" equals ignoring case
    EXPECT_EQ(host.cards.CardAt(0).Text(), "Adams\r\ndog dog");
    EXPECT_EQ(state.lastReplaceText, "dog");
    EXPECT_EQ(prompter.Texts().back(), "cat not found!");
}

TEST_F(CardSearchTest, ReplaceAllGoesRoundOnceFromTheCaret) {
    FakeSearchHost host{"Adams\r\nx y x", "Brown\r\nx", "Clark\r\nnone"};
    host.Click(1);
    EXPECT_EQ(ReplaceEvery(host, "x", "z"), 3);
    EXPECT_EQ(host.cards.CardAt(0).Text(), "Adams\r\nz y z");
    EXPECT_EQ(host.cards.CardAt(1).Text(), "Brown\r\nz");
    EXPECT_EQ(prompter.Texts().back(), "3 replacements done.");
    EXPECT_EQ(prompter.shown.back().kind, MsgKind::Information);
}

TEST_F(CardSearchTest, ReplaceAllWithTheFindTextInTheReplacementEnds) {
    FakeSearchHost host{"K\r\na a", "L\r\na"};
    host.Click(0);
    EXPECT_EQ(ReplaceEvery(host, "a", "ab"), 3);
    EXPECT_EQ(host.cards.CardAt(0).Text(), "K\r\nab ab");
    EXPECT_EQ(host.cards.CardAt(1).Text(), "L\r\nab");
}

TEST_F(CardSearchTest, ReplaceAllEndsWhenTheStartCardMovesUp) {
    // The replacement puts the start card in front of the other one; the "b" it brings is
    // not replaced again.
    FakeSearchHost host{"xaz", "xb"};
    host.Click(1);
    state.scope = SearchScope::Indexes;
    EXPECT_EQ(ReplaceEvery(host, "b", "ab"), 1);
    EXPECT_EQ(host.Indexes(), (std::vector<std::string>{"xab", "xaz"}));
}

TEST_F(CardSearchTest, ReplaceAllInTheCurrentCardEndsWhenTheCardMoves) {
    FakeSearchHost host{"xaz", "xb\r\nb"};
    host.Click(1);
    state.scope = SearchScope::CurrentCard;
    EXPECT_EQ(ReplaceEvery(host, "b", "ab"), 2);
    EXPECT_EQ(host.cards.CardAt(0).Text(), "xab\r\nab");
    EXPECT_EQ(host.cards.CardAt(1).Text(), "xaz");
}

TEST(TextMatcherTest, FindsThroughEveryScanPath) {
    const TextMatcher letters("ab", LowerCaseTable(CodePage::Windows1252));
    EXPECT_EQ(letters.Find("xxAbyyaB", 0), 2u);
    EXPECT_EQ(letters.Find("xxAbyyaB", 3), 6u);
    EXPECT_EQ(letters.Find("xxAbyyaB", 7), std::string_view::npos);
    EXPECT_EQ(letters.Find("xxAbyyaB", 100), std::string_view::npos);

    const TextMatcher digits("a1", LowerCaseTable(CodePage::Windows1252));
    EXPECT_EQ(digits.Find("1 a A1", 0), 4u);

    CaseTable allDigitsAlike = IdentityCaseTable();
    for (char c = '0'; c <= '9'; ++c) {
        allDigitsAlike[static_cast<unsigned char>(c)] = '0';
    }
    const TextMatcher anyDigits("12", allDigitsAlike);
    EXPECT_EQ(anyDigits.Find("ab 9x 47", 0), 6u);
    EXPECT_TRUE(anyDigits.Equals("83"));
    EXPECT_FALSE(anyDigits.Equals("8"));
}

TEST(TextMatcherTest, FindInCardMapsLinesToTextOffsets) {
    const TextMatcher m("an", IdentityCaseTable());
    const Card card{{"Dan", "", "Ann and Jan"}};
    EXPECT_EQ(m.FindInCard(card, 0), 1u);
    EXPECT_EQ(m.FindInCard(card, 2), 11u);  // "and": Dan CR LF CR LF Ann blank = 11 bytes
    EXPECT_EQ(m.FindInCard(card, 12), 16u);
    EXPECT_EQ(m.FindInCard(card, 17), std::string_view::npos);
}

TEST(SearchMessagesTest, TextsAndDialogPlacement) {
    EXPECT_EQ(ReplacementsDoneMessage(1), "1 replacements done.");
    const ScreenPoint p = FirstFindDialogPosition(100, 50, 403);
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.y, 50 + 302);
}

}  // namespace
}  // namespace tabellan
