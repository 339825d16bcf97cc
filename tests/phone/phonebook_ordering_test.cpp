#include "phone/phonebook_ordering.h"

#include <gtest/gtest.h>

#include "cardfile/errors.h"
#include "cardfile/index_collator.h"
#include "pty_fixture.h"
#include "support/scripted_prompter.h"

namespace tabellan {
namespace {

using Lines = std::vector<std::string>;

std::string Selected(const std::string& text) {
    const TextSelection s = EntriesSelection(text);
    return text.substr(s.start, s.length);
}

TEST(SelectEntries, FromLineThreeToTheEnd) {
    const std::string card = "Phone\r\n\r\n1,\"5\",129,\"A\"\r\n2,\"6\",129,\"B\"\r\n";
    EXPECT_EQ(EntriesSelection(card), (TextSelection{9, card.size() - 9}));
    EXPECT_EQ(Selected(card), "1,\"5\",129,\"A\"\r\n2,\"6\",129,\"B\"\r\n");
    EXPECT_EQ(Selected("Phone\r\n\r\nx"), "x");
}

TEST(SelectEntries, CardsWithoutEntryLines) {
    EXPECT_EQ(EntriesSelection(""), (TextSelection{0, 0}));
    EXPECT_EQ(EntriesSelection("Phone"), (TextSelection{5, 0}));
    EXPECT_EQ(EntriesSelection("Phone\r\n"), (TextSelection{7, 0}));
    EXPECT_EQ(EntriesSelection("Phone\r\n\r\n"), (TextSelection{9, 0}));
}

// A second line with text used to put the start of the selection inside it, and sorting
// then moved a piece of it among the entries and an entry into line 2, which Update skips.
TEST(SelectEntries, TextOnLineTwoIsLeftOutOfTheSelection) {
    const std::string card = "Phone\r\nmy notes\r\n2,\"6\",129,\"B\"\r\n1,\"5\",129,\"A\"";
    EXPECT_EQ(Selected(card), "2,\"6\",129,\"B\"\r\n1,\"5\",129,\"A\"");
    const IndexCollator collator(CodePage::Windows1252, "");
    const TextSelection s = EntriesSelection(card);
    std::string sorted = card;
    sorted.replace(s.start, s.length, SortedSelectionText(Selected(card), collator));
    EXPECT_EQ(sorted, "Phone\r\nmy notes\r\n1,\"5\",129,\"A\"\r\n2,\"6\",129,\"B\"\r\n");
}

TEST(SplitSelectedLines, LineEnds) {
    EXPECT_EQ(SplitSelectedLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitSelectedLines("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitSelectedLines("a\nb\rc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(SplitSelectedLines("a\r\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitSelectedLines("\r\n"), (Lines{""}));
    EXPECT_TRUE(SplitSelectedLines("").empty());
}

TEST(SortKey, TheQuotedNameAfterTheFirstFourCharacters) {
    EXPECT_EQ(SortKey("1,\"555\",129,\"Ann\""), "\"Ann\"");
    EXPECT_EQ(SortKey("12,\"555\",129,\"Ann\""), "\"Ann\"");
    EXPECT_EQ(SortKey("123,\"555\",129,\"Ann\""), "\"Ann\"");
    // Four digits and more: the pair before the number is found first.
    EXPECT_EQ(SortKey("1234,\"555\",129,\"Ann\""), "\"555\",129,\"Ann\"");
    EXPECT_EQ(SortKey("1,555,129,Ann"), "5,129,Ann");
    EXPECT_EQ(SortKey("abc"), "");
    EXPECT_EQ(SortKey(""), "");
}

TEST(SortNames, ByNameIgnoringCaseKeepingEqualNamesInOrder) {
    const IndexCollator collator(CodePage::Windows1252, "");
    const Lines lines = {"1,\"1\",129,\"bert\"", "2,\"2\",129,\"Anna\"", "3,\"3\",129,\"BERT\"",
                         "4,\"4\",129,\"anna\"", "5,\"5\",129,\"Carl\""};
    EXPECT_EQ(SortEntryLines(lines, collator),
              (Lines{"2,\"2\",129,\"Anna\"", "4,\"4\",129,\"anna\"", "1,\"1\",129,\"bert\"",
                     "3,\"3\",129,\"BERT\"", "5,\"5\",129,\"Carl\""}));
    // Accented letters sort beside their base letter, as in the index list.
    EXPECT_EQ(
        SortEntryLines({"1,\"1\",129,\"Zoe\"", "2,\"2\",129,\"\xC9mile\"", "3,\"3\",129,\"Fritz\""},
                       collator),
        (Lines{"2,\"2\",129,\"\xC9mile\"", "3,\"3\",129,\"Fritz\"", "1,\"1\",129,\"Zoe\""}));
    // A four-digit location sorts by its number field.
    EXPECT_EQ(SortEntryLines({"1000,\"9\",129,\"Aa\"", "1001,\"1\",129,\"Zz\""}, collator),
              (Lines{"1001,\"1\",129,\"Zz\"", "1000,\"9\",129,\"Aa\""}));
}

TEST(SortNames, NamesTooLongForACachedKeySortAmongTheOthers) {
    const IndexCollator collator(CodePage::Windows1252, "");
    const std::string longB = "2,\"2\",129,\"b" + std::string(IndexCollator::kMaxKeyedLength, 'x');
    const std::string longBUpper =
        "4,\"4\",129,\"B" + std::string(IndexCollator::kMaxKeyedLength, 'X');
    EXPECT_EQ(SortEntryLines({"1,\"1\",129,\"Carl\"", longB, "3,\"3\",129,\"Anna\"", longBUpper,
                              "5,\"5\",129,\"bert\""},
                             collator),
              (Lines{"3,\"3\",129,\"Anna\"", "5,\"5\",129,\"bert\"", longB, longBUpper,
                     "1,\"1\",129,\"Carl\""}));
}

TEST(SortNames, SelectedTextBecomesLinesEachEndingInCrLf) {
    const IndexCollator collator(CodePage::Windows1252, "");
    EXPECT_EQ(SortedSelectionText("2,\"6\",129,\"B\"\r\n1,\"5\",129,\"A\"", collator),
              "1,\"5\",129,\"A\"\r\n2,\"6\",129,\"B\"\r\n");
    EXPECT_EQ(SortedSelectionText("", collator), "");
    // An empty line has the smallest key.
    EXPECT_EQ(SortedSelectionText("1,\"5\",129,\"A\"\r\n\r\n", collator),
              "\r\n1,\"5\",129,\"A\"\r\n");
}

TEST(SortNames, AllOrSelectedAsOneEditOfTheCard) {
    const IndexCollator collator(CodePage::Windows1252, "");
    const std::string card =
        "Phone\r\n\r\n3,\"3\",129,\"C\"\r\n2,\"2\",129,\"B\"\r\n1,\"1\",129,\"A\"";
    EXPECT_EQ(SortNamesEdit(card, {}, true, collator),
              (TextEdit{{9, card.size() - 9},
                        "1,\"1\",129,\"A\"\r\n2,\"2\",129,\"B\"\r\n3,\"3\",129,\"C\"\r\n"}));
    // Only the selected lines move; the selection given for "&All" does not count.
    EXPECT_EQ(SortNamesEdit(card, {24, card.size() - 24}, false, collator),
              (TextEdit{{24, card.size() - 24}, "1,\"1\",129,\"A\"\r\n2,\"2\",129,\"B\"\r\n"}));
    EXPECT_EQ(SortNamesEdit(card, {24, 3}, true, collator).range,
              (TextSelection{9, card.size() - 9}));
    // A selection past the end is cut to the text; an empty one changes nothing.
    EXPECT_EQ(SortNamesEdit(card, {card.size() + 5, 9}, false, collator),
              (TextEdit{{card.size(), 0}, ""}));
    EXPECT_EQ(SortNamesEdit("", {}, true, collator), (TextEdit{{0, 0}, ""}));
}

TEST(Resequence, LocationsFromTheStartNumberInTheLinesOrder) {
    EXPECT_EQ(ResequenceEntries({"Phone", "", "12,\"5\",129,\"A\"", "7,\"6\",129,\"B\"", ""}, 1),
              (Lines{"Phone", "", "1,\"5\",129,\"A\"", "2,\"6\",129,\"B\"", "3,"}));
    EXPECT_EQ(ResequenceEntries({"Phone", "x,y", ",\"5\",129,\"A\"", "note"}, 100),
              (Lines{"Phone", "x,y", "100,\"5\",129,\"A\"", "101,note"}));
    EXPECT_EQ(ResequenceEntries({"Phone", "1,2"}, 5), (Lines{"Phone", "1,2"}));
    EXPECT_TRUE(ResequenceEntries({}, 5).empty());
    // Negative and very large start numbers are written as they come out.
    EXPECT_EQ(ResequenceEntries({"P", "", "a", "b"}, -1), (Lines{"P", "", "-1,a", "0,b"}));
    EXPECT_EQ(ResequenceEntries({"P", "", "1,a", "2,b"}, 2147483647),
              (Lines{"P", "", "2147483647,a", "2147483648,b"}));
}

TEST(Resequence, StartNumberFromTheInputBox) {
    test::ScriptedPrompter prompter = test::OfferAcceptingPrompter();
    EXPECT_EQ(AskSequenceStart(prompter), 1);
    EXPECT_EQ(prompter.InputCaptions(), (Lines{"Specify Sequence Start Number"}));
    EXPECT_EQ(prompter.InputInitials(), (Lines{"1"}));
    prompter.standingInput = "20";
    EXPECT_EQ(AskSequenceStart(prompter), 20);
    prompter.standingInput = "twenty";
    EXPECT_THROW(AskSequenceStart(prompter), TabellanError);
    prompter.cancelInputs = true;
    EXPECT_EQ(AskSequenceStart(prompter), std::nullopt);
}

}  // namespace
}  // namespace tabellan
