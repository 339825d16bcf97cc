// The current card and the card commands: commit, showing a card, the editor length limit,
// add, delete, duplicate, restore.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cardfile/document.h"
#include "document_fake_view.h"
#include "support/scripted_prompter.h"

namespace tabellan {
namespace {

using Lines = std::vector<std::string>;
using test::FakeDocumentView;
using test::ScriptedPrompter;

class DocumentCardsTest : public ::testing::Test {
  protected:
    DocumentCardsTest() : doc(view, prompter, SettingsContext{}, [] { return 45000.0; }) {}

    void AddStored(const Lines& lines) { doc.Cards().Insert(Card{lines}); }
    void Show(const std::string& index) { doc.SelectCard(doc.Cards().FindCard(index)); }
    void Type(const Lines& lines) { test::TypeLines(doc, view, lines); }
    Lines Indexes() const { return test::IndexesOf(doc.Cards()); }
    Lines Stored(const std::string& index) const {
        return doc.Cards().CardAt(doc.Cards().FindCard(index)).lines;
    }

    FakeDocumentView view;
    ScriptedPrompter prompter;
    Document doc;
};

TEST_F(DocumentCardsTest, ShowingACardLoadsItsLinesUnedited) {
    AddStored({"Jones", "1 High Road"});
    AddStored({"Smith", "12 Main St"});
    Show("Smith");
    EXPECT_EQ(view.editor, (Lines{"Smith", "12 Main St"}));
    EXPECT_TRUE(view.editorActive);
    EXPECT_EQ(doc.CurrentItemIndex(), 1);
    EXPECT_FALSE(doc.CardEdited());
    EXPECT_FALSE(doc.FileModified());

    // Clicking the shown card again with nothing pending reloads it unchanged.
    doc.IndexListClick();
    EXPECT_EQ(view.editor, (Lines{"Smith", "12 Main St"}));
    EXPECT_FALSE(doc.FileModified());
}

TEST_F(DocumentCardsTest, NoSelectionDoesNothing) {
    AddStored({"Jones"});
    view.selected = -1;
    doc.IndexListClick();
    EXPECT_TRUE(view.editor.empty());
    EXPECT_EQ(doc.CurrentItemIndex(), -1);
}

TEST_F(DocumentCardsTest, CommitMakesACaseVariantIndexUniqueAndFollowsTheCard) {
    AddStored({"Adams"});
    AddStored({"Jones", "x"});
    AddStored({"Smith"});
    Show("Jones");
    Type({"smith", "body"});
    EXPECT_TRUE(doc.CardEdited());
    EXPECT_EQ(Stored("Jones"), (Lines{"Jones", "x"}));  // nothing stored before the commit

    doc.CommitCurrentCard();
    EXPECT_EQ(Indexes(), (Lines{"Adams", "Smith", "smith."}));
    EXPECT_EQ(Stored("smith."), (Lines{"smith.", "body"}));
    EXPECT_EQ(doc.CurrentIndexText(), "smith.");
    EXPECT_EQ(doc.CurrentItemIndex(), 2);
    EXPECT_EQ(view.selected, 2);
    EXPECT_TRUE(doc.FileModified());
    EXPECT_FALSE(doc.CardEdited());
    // The editor keeps the text as typed.
    EXPECT_EQ(view.editor, (Lines{"smith", "body"}));
}

TEST_F(DocumentCardsTest, EmptyEditorsBecomeTwoEmptyLinesThenADot) {
    AddStored({"A"});
    AddStored({"B"});
    Show("A");
    Type({});
    doc.CommitCurrentCard();
    EXPECT_EQ(view.editor, (Lines{"", ""}));
    EXPECT_EQ(Stored(""), (Lines{"", ""}));

    Show("B");
    Type({});
    doc.CommitCurrentCard();
    EXPECT_EQ(Indexes(), (Lines{"", "."}));
    EXPECT_EQ(Stored("."), (Lines{".", ""}));
}

TEST_F(DocumentCardsTest, CommitWithoutEditOrValidCardDoesNothing) {
    AddStored({"A"});
    doc.CommitCurrentCard();
    EXPECT_FALSE(doc.FileModified());

    // Edited text but no current card: left as it is.
    Type({"Z"});
    doc.CommitCurrentCard();
    EXPECT_TRUE(doc.CardEdited());
    EXPECT_FALSE(doc.FileModified());
    EXPECT_EQ(Indexes(), (Lines{"A"}));
}

TEST_F(DocumentCardsTest, ClickingTheRenamedCurrentCardShowsItUnderItsNewIndex) {
    AddStored({"Jones"});
    AddStored({"Smith", "old"});
    Show("Smith");
    Type({"Zed", "new"});
    doc.IndexListClick();  // the list still selects the old row
    EXPECT_EQ(Indexes(), (Lines{"Jones", "Zed"}));
    EXPECT_EQ(view.editor, (Lines{"Zed", "new"}));
    EXPECT_EQ(doc.CurrentItemIndex(), 1);
    EXPECT_FALSE(doc.CardEdited());
}

TEST_F(DocumentCardsTest, MovingToAnotherCardCommitsTheEdit) {
    AddStored({"A", "1"});
    AddStored({"B", "2"});
    Show("A");
    Type({"A", "changed"});
    Show("B");
    EXPECT_EQ(Stored("A"), (Lines{"A", "changed"}));
    EXPECT_EQ(view.editor, (Lines{"B", "2"}));
    EXPECT_EQ(doc.CurrentItemIndex(), 1);
}

TEST_F(DocumentCardsTest, TooLongCardIsReportedAndKept) {
    AddStored({"A"});
    Show("A");
    // 32767 characters: "A" CR LF plus 32764.
    Type({"A", std::string(32764, 'x')});
    EXPECT_TRUE(prompter.Texts().empty());
    Type({"A", std::string(32765, 'x')});
    ASSERT_EQ(prompter.Texts(), (Lines{"Current card too long."}));
    EXPECT_EQ(prompter.shown[0].kind, MsgKind::Error);
    EXPECT_EQ(prompter.shown[0].buttons, Buttons::Ok);
    EXPECT_EQ(view.editor[1].size(), 32765u);
    EXPECT_TRUE(doc.CardEdited());
}

TEST_F(DocumentCardsTest, EditRefreshesTheFileStatus) {
    AddStored({"A"});
    Show("A");
    view.statuses.clear();
    Type({"A", "b"});
    EXPECT_EQ(view.statuses, (Lines{"Total 1 cards.  File is unencrypted..."}));
}

TEST_F(DocumentCardsTest, AddMakesTheIndexUniqueAndShowsTheCard) {
    AddStored({"smith"});
    prompter.inputs = {std::string("Smith")};
    doc.AddCard();
    ASSERT_EQ(prompter.inputBoxes.size(), 1u);
    EXPECT_EQ(prompter.inputBoxes[0].caption, "Add Card");
    EXPECT_EQ(prompter.inputBoxes[0].prompt, "Enter card index:");
    EXPECT_EQ(prompter.inputBoxes[0].initial, "");
    EXPECT_EQ(Indexes(), (Lines{"smith", "Smith."}));
    EXPECT_EQ(view.editor, (Lines{"Smith."}));
    EXPECT_TRUE(view.editorActive);
    EXPECT_EQ(doc.CurrentItemIndex(), 1);
    EXPECT_FALSE(doc.CardEdited());
    EXPECT_TRUE(doc.FileModified());

    prompter.inputs = {std::string("Smith")};
    doc.AddCard();
    EXPECT_EQ(Indexes(), (Lines{"smith", "Smith.", "Smith.."}));
}

TEST_F(DocumentCardsTest, AddCancelledOrEmptyChangesNothing) {
    AddStored({"A"});
    Show("A");
    Type({"A", "pending"});
    prompter.inputs = {std::nullopt, std::string()};
    doc.AddCard();
    doc.AddCard();
    EXPECT_EQ(Indexes(), (Lines{"A"}));
    EXPECT_TRUE(doc.CardEdited());  // the pending edit is not committed either
    EXPECT_FALSE(doc.FileModified());
}

TEST_F(DocumentCardsTest, AddCommitsThePendingEditFirst) {
    AddStored({"A"});
    Show("A");
    Type({"Smith", "body"});
    prompter.inputs = {std::string("smith")};
    doc.AddCard();
    EXPECT_EQ(Indexes(), (Lines{"Smith", "smith."}));
    EXPECT_EQ(Stored("Smith"), (Lines{"Smith", "body"}));
    EXPECT_EQ(view.editor, (Lines{"smith."}));
}

TEST_F(DocumentCardsTest, DeleteAsksWithTheEditedIndexAndRemovesTheRenamedCard) {
    AddStored({"A"});
    AddStored({"Smith"});
    Show("Smith");
    Type({"Baker", "x"});
    prompter.answers = {Answer::Yes};
    doc.DeleteCard();
    ASSERT_EQ(prompter.Texts().size(), 1u);
    EXPECT_EQ(prompter.Texts()[0],
              "Are you sure you want to delete the current card (Baker)?\r\n\r\n"
              "This operation cannot be undone!");
    EXPECT_EQ(prompter.shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(Indexes(), (Lines{"A"}));
    EXPECT_TRUE(view.editor.empty());
    EXPECT_FALSE(view.editorActive);
    EXPECT_EQ(view.selected, -1);
    EXPECT_EQ(doc.CurrentItemIndex(), -1);
    EXPECT_FALSE(doc.CardEdited());
    EXPECT_TRUE(doc.FileModified());
}

TEST_F(DocumentCardsTest, DeleteAnsweredNoKeepsTheEditPending) {
    AddStored({"A"});
    Show("A");
    Type({"A", "x"});
    prompter.answers = {Answer::No};
    doc.DeleteCard();
    EXPECT_EQ(Indexes(), (Lines{"A"}));
    EXPECT_TRUE(doc.CardEdited());
    EXPECT_FALSE(doc.FileModified());
}

TEST_F(DocumentCardsTest, DeletingTheLastCardLeavesAnEmptyModifiedSet) {
    AddStored({"A"});
    Show("A");
    prompter.answers = {Answer::Yes};
    doc.DeleteCard();
    EXPECT_EQ(doc.Cards().Count(), 0);
    EXPECT_TRUE(doc.FileModified());
    EXPECT_EQ(view.statuses.back(), "Total 0 cards.  File is unencrypted...");
}

TEST_F(DocumentCardsTest, DeleteWithoutSelectionAsksNothing) {
    AddStored({"A"});
    doc.DeleteCard();
    EXPECT_TRUE(prompter.Texts().empty());
    EXPECT_EQ(doc.Cards().Count(), 1);
}

TEST_F(DocumentCardsTest, DuplicateAddsAUniqueCopyAndStaysOnTheOriginal) {
    AddStored({"Jones", "1 High Road", "Leeds"});
    AddStored({"Jones.", "taken"});
    AddStored({"Zed"});
    Show("Jones");
    doc.DuplicateCard();
    EXPECT_EQ(Indexes(), (Lines{"Jones", "Jones.", "Jones..", "Zed"}));
    EXPECT_EQ(Stored("Jones.."), (Lines{"Jones..", "1 High Road", "Leeds"}));
    EXPECT_EQ(view.editor, (Lines{"Jones", "1 High Road", "Leeds"}));
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(doc.CurrentItemIndex(), 0);
    EXPECT_TRUE(doc.FileModified());
}

TEST_F(DocumentCardsTest, DuplicateCommitsFirstAndCopiesTheCommittedText) {
    AddStored({"Jones", "old"});
    Show("Jones");
    Type({"Jones", "new"});
    doc.DuplicateCard();
    EXPECT_EQ(Stored("Jones."), (Lines{"Jones.", "new"}));
    EXPECT_FALSE(doc.CardEdited());
}

TEST_F(DocumentCardsTest, RestoreDiscardsTheEdit) {
    AddStored({"Jones", "stored"});
    Show("Jones");
    Type({"Other", "typed"});
    doc.RestoreCard();
    EXPECT_EQ(view.editor, (Lines{"Jones", "stored"}));
    EXPECT_EQ(Indexes(), (Lines{"Jones"}));
    EXPECT_FALSE(doc.CardEdited());
    EXPECT_FALSE(doc.FileModified());
}

}  // namespace
}  // namespace tabellan
