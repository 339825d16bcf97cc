// The find/replace dialog through the main window: the three scopes, Find Next with its
// wrap and messages, Replace, Replace All, the remembered texts and position.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <map>

#include "app/card_memo.h"
#include "app/index_list_view.h"
#include "app/replace_dialog.h"
#include "app/search_commands.h"
#include "support/window_fixture.h"

namespace tabellan::test {
namespace {

class ReplaceDialogTest : public WindowTest {
  protected:
    void Open(const std::vector<std::vector<std::string>>& cards) {
        Make({QString::fromStdString(WriteCards("cards.csv", cards))});
        QCoreApplication::processEvents();
        dialog = window->findChild<TReplaceDialog*>("ReplaceDialog");
        ASSERT_NE(dialog, nullptr);
    }
    void Type(const char* field, const QString& text) {
        dialog->findChild<QLineEdit*>(field)->setText(text);
    }
    void Press(const char* button) { dialog->findChild<QPushButton*>(button)->click(); }
    void Search(const char* command, const QString& find) {
        window->Action(command)->trigger();
        Type("editFindText", find);
    }
    QString Selected() const { return window->Memo()->textCursor().selectedText(); }
    int Row() const { return window->List()->SelectedRow(); }
    void SelectCard(int row) { window->Doc().SelectCard(row); }
    void CaretToEnd() {
        QTextCursor c = window->Memo()->textCursor();
        c.movePosition(QTextCursor::End);
        window->Memo()->setTextCursor(c);
    }

    TReplaceDialog* dialog = nullptr;
};

TEST_F(ReplaceDialogTest, OpensBelowTheWindowWithTheLastTextsAndMatchCaseOff) {
    Open({{"Adams", "x"}});
    const QRect frame = window->frameGeometry();
    window->Action("mnuSearchIndex")->trigger();
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->pos(), QPoint(frame.left(), frame.top() + 3 * frame.height() / 4));
    EXPECT_TRUE(dialog->FindText().isEmpty());

    Type("editFindText", "ada");
    Type("editReplaceText", "Ede");
    dialog->findChild<QCheckBox*>("cbMatchCase")->setChecked(true);
    Press("btnFindNext");
    dialog->move(300, 200);
    const QPoint moved = dialog->pos();
    Press("btnCancel");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(window->findChild<SearchCommands*>()->FindDialogPosition(), moved);

    window->Action("mnuSearchWholeFile")->trigger();
    EXPECT_EQ(dialog->FindText(), "ada");
    EXPECT_EQ(dialog->ReplaceText(), "Ede");
    EXPECT_FALSE(dialog->MatchCase());
    EXPECT_EQ(dialog->pos(), moved);
}

TEST_F(ReplaceDialogTest, FindNextWrapsFromTheLastCardToTheFirst) {
    Open({{"Adams", "Tel 555"}, {"Jones", "Leeds"}, {"Smith", "London"}});
    SelectCard(2);
    CaretToEnd();
    Search("mnuSearchWholeFile", "TEL");
    Press("btnFindNext");
    EXPECT_EQ(Row(), 0);
    EXPECT_EQ(Selected(), "Tel");
    EXPECT_TRUE(window->findChild<SearchCommands*>()->State().searchWrapped);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ReplaceDialogTest, ScopesLookOnlyWhereTheyShould) {
    Open({{"Adams", "Johnson"}, {"Johnson", "x"}});
    SelectCard(0);
    Search("mnuSearchIndex", "son");  // no whole-word matching
    Press("btnFindNext");
    EXPECT_EQ(Row(), 1);
    EXPECT_EQ(window->Memo()->textCursor().selectionStart(), 4);

    SelectCard(0);
    Search("mnuSearchCurrentCard", "x");
    Press("btnFindNext");
    EXPECT_EQ(Row(), 0);
    ASSERT_EQ(prompter.Texts(), std::vector<std::string>{"x not found!"});
}

TEST_F(ReplaceDialogTest, NotFoundDoublesAmpersandsAndMatchCaseIsHonoured) {
    Open({{"Smith & Co", "x"}});
    Search("mnuSearchWholeFile", "SMITH");
    dialog->findChild<QCheckBox*>("cbMatchCase")->setChecked(true);
    Press("btnFindNext");
    Type("editFindText", "A&B");
    Press("btnFindNext");
    Type("editFindText", "");
    Press("btnFindNext");
    EXPECT_EQ(prompter.Texts(),
              (std::vector<std::string>{"SMITH not found!", "A&&B not found!", " not found!"}));
    EXPECT_EQ(prompter.shown[0].kind, MsgKind::Error);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(ReplaceDialogTest, ReplaceAndReplaceAllEndAndReport) {
    Open({{"Banana", "a cat"}, {"Cab", "alas"}});
    SelectCard(0);
    Search("mnuSearchWholeFile", "a");
    Type("editReplaceText", "ab");
    Press("btnReplaceAll");
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(prompter.shown.back().text, "8 replacements done.");
    EXPECT_EQ(prompter.shown.back().kind, MsgKind::Information);
    const CardSet& cards = window->Doc().Cards();
    EXPECT_EQ(cards.CardAt(0).lines, (std::vector<std::string>{"Babnabnab", "ab cabt"}));
    EXPECT_EQ(cards.CardAt(1).lines, (std::vector<std::string>{"Cabb", "ablabs"}));
}

TEST_F(ReplaceDialogTest, ReplaceChangesOnlyAMatchingSelectionAndTheNextStepCommitsIt) {
    Open({{"Banana", "x"}, {"Cab", "ablabs"}});
    SelectCard(1);
    Search("mnuSearchWholeFile", "ABL");
    Type("editReplaceText", "-");
    Press("btnReplace");  // nothing selected: no replacement, only the search step
    EXPECT_EQ(Selected(), "abl");
    EXPECT_EQ(window->Doc().Cards().CardAt(1).lines[1], "ablabs");
    EXPECT_FALSE(window->Doc().CardEdited());
    EXPECT_FALSE(window->Doc().FileModified());

    Press("btnReplace");
    // The search step after the replacement committed the card: the set holds the change.
    EXPECT_EQ(window->Doc().Cards().CardAt(1).lines[1], "-abs");
    EXPECT_TRUE(window->Doc().FileModified());
    EXPECT_FALSE(window->Doc().CardEdited());
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"ABL not found!"});
}

TEST_F(ReplaceDialogTest, ReplaceAllFollowsCardsItRenames) {
    // The renamed cards overtake each other in the index list; each is replaced once.
    Open({{"Acme Co", "x"}, {"Acme Corp", "y"}});
    SelectCard(1);
    Search("mnuSearchIndex", "Co");
    Type("editReplaceText", "& Co");
    Press("btnReplaceAll");
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(prompter.shown.back().text, "2 replacements done.");
    const CardSet& cards = window->Doc().Cards();
    EXPECT_EQ(cards.CardAt(0).lines, (std::vector<std::string>{"Acme & Co", "x"}));
    EXPECT_EQ(cards.CardAt(1).lines, (std::vector<std::string>{"Acme & Corp", "y"}));
    EXPECT_TRUE(window->Doc().FileModified());
    EXPECT_FALSE(window->Doc().CardEdited());
}

}  // namespace
}  // namespace tabellan::test
