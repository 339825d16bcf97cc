// The main window driving the document: open, edit, commit, card commands, save, autosave.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "app/card_memo.h"
#include "app/index_list_view.h"
#include "app/recent_files.h"
#include "cardfile/document_files.h"
#include "support/window_fixture.h"

namespace tabellan::test {
namespace {

using Lines = std::vector<std::string>;
constexpr double kMinute = 1.0 / 1440.0;

class MainWindowTest : public WindowTest {
  protected:
    std::string OpenSample() {
        const std::string path = WriteCards(
            "contacts.csv",
            {{"Jones", "1 High Road", "Leeds"}, {"Smith", "12 Main St"}, {"Adams", "Tel. 555"}});
        Make({QString::fromStdString(path)});
        return path;
    }
    QStringList ListRows() const {
        QStringList rows;
        const auto* model = window->List()->model();
        for (int i = 0; i < model->rowCount(); ++i) {
            rows << model->index(i, 0).data().toString();
        }
        return rows;
    }
    void ClickRow(int row) {
        IndexListView* list = window->List();
        const QRect r = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    }
    void Trigger(const char* action) {
        QAction* a = window->Action(action);
        ASSERT_NE(a, nullptr) << action;
        a->trigger();
    }
    bool IsEnabled(const char* action) {
        window->UpdateEnablements();
        return window->Action(action)->isEnabled();
    }
    QString EditorText() const { return window->Memo()->toPlainText(); }
};

TEST_F(MainWindowTest, CommandLineFileFillsTheListAndTheCaption) {
    const std::string path = OpenSample();
    EXPECT_EQ(ListRows(), (QStringList{"Adams", "Jones", "Smith"}));
    EXPECT_EQ(window->windowTitle(), "Tabellan - contacts.csv");
    EXPECT_EQ(window->StatusText(0), "Total 3 cards.  File is unencrypted...");
    EXPECT_FALSE(window->Memo()->isEnabled());
    EXPECT_EQ(window->Memo()->frameShape(), QFrame::NoFrame);
    EXPECT_TRUE(prompter.shown.empty()) << prompter.shown.front().text;
}

TEST_F(MainWindowTest, ClickingACardShowsItAndEditingMarksIt) {
    OpenSample();
    ClickRow(1);
    EXPECT_EQ(EditorText(), "Jones\n1 High Road\nLeeds");
    EXPECT_TRUE(window->Memo()->isEnabled());
    EXPECT_NE(window->Memo()->frameShape(), QFrame::NoFrame);
    EXPECT_FALSE(window->Doc().CardEdited());
    EXPECT_FALSE(IsEnabled("mnuCardRestore"));
    EXPECT_FALSE(IsEnabled("sbSave"));

    window->Memo()->moveCursor(QTextCursor::End);
    QTest::keyClicks(window->Memo(), "!");
    EXPECT_TRUE(window->Doc().CardEdited());
    EXPECT_TRUE(IsEnabled("mnuCardRestore"));
    EXPECT_TRUE(IsEnabled("sbSave"));
    EXPECT_TRUE(IsEnabled("mnuEditUndo"));
}

TEST_F(MainWindowTest, KeyboardMovesInTheListShowTheCard) {
    OpenSample();
    ClickRow(0);
    QTest::keyClick(window->List(), Qt::Key_Down);
    EXPECT_EQ(window->List()->SelectedRow(), 1);
    EXPECT_EQ(EditorText().left(5), "Jones");
}

TEST_F(MainWindowTest, DownReachesTheFirstCardAfterAnOpenAndAfterADelete) {
    OpenSample();
    ASSERT_EQ(window->List()->SelectedRow(), -1);
    window->activateWindow();
    window->List()->setFocus();  // the list gets the focus with no card shown
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->List(), Qt::Key_Down);
    EXPECT_EQ(window->List()->SelectedRow(), 0);
    EXPECT_EQ(EditorText().left(5), "Adams");

    ClickRow(1);
    prompter.answers.push_back(Answer::Yes);
    Trigger("mnuCardDelete");
    ASSERT_EQ(ListRows(), (QStringList{"Adams", "Smith"}));
    window->List()->setFocus();
    QTest::keyClick(window->List(), Qt::Key_Down);
    EXPECT_EQ(window->List()->SelectedRow(), 0);
    EXPECT_EQ(EditorText().left(5), "Adams");
}

TEST_F(MainWindowTest, TheListKeepsItsSelectionWhenACommitMovesTheCard) {
    OpenSample();
    ClickRow(0);  // Adams
    QTextCursor c = window->Memo()->textCursor();
    c.movePosition(QTextCursor::Start);
    c.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    c.insertText("Zorro");
    window->Memo()->setTextCursor(c);
    window->Doc().CommitCurrentCard();
    EXPECT_EQ(ListRows(), (QStringList{"Jones", "Smith", "Zorro"}));
    EXPECT_EQ(window->List()->SelectedRow(), 2);
    EXPECT_EQ(window->List()->currentIndex().row(), 2);
}

TEST_F(MainWindowTest, LeavingAnEditedCardCommitsItUnderItsNewIndex) {
    OpenSample();
    ClickRow(1);  // Jones
    QTextCursor c = window->Memo()->textCursor();
    c.movePosition(QTextCursor::Start);
    c.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    c.insertText("smith");  // collides with Smith, ignoring case
    window->Memo()->setTextCursor(c);
    ClickRow(0);  // Adams
    EXPECT_EQ(ListRows(), (QStringList{"Adams", "Smith", "smith."}));
    EXPECT_EQ(EditorText().left(5), "Adams");
    EXPECT_TRUE(window->Doc().FileModified());
    EXPECT_EQ(window->List()->SelectedRow(), 0);
}

TEST_F(MainWindowTest, AddDuplicateRestoreAndDelete) {
    OpenSample();
    prompter.inputs.push_back("Smith");
    Trigger("mnuCardAdd");
    EXPECT_EQ(ListRows(), (QStringList{"Adams", "Jones", "Smith", "Smith."}));
    EXPECT_EQ(EditorText(), "Smith.");
    EXPECT_EQ(window->List()->SelectedRow(), 3);
    EXPECT_EQ(window->StatusText(0), "Total 4 cards.  File is unencrypted...");

    ClickRow(1);  // Jones
    Trigger("sbDuplicate");
    EXPECT_EQ(ListRows(), (QStringList{"Adams", "Jones", "Jones.", "Smith", "Smith."}));
    EXPECT_EQ(EditorText().left(5), "Jones");

    QTest::keyClicks(window->Memo(), "xyz");
    EXPECT_TRUE(IsEnabled("pumnuRestore"));
    Trigger("pumnuRestore");
    EXPECT_EQ(EditorText(), "Jones\n1 High Road\nLeeds");
    EXPECT_FALSE(IsEnabled("mnuCardRestore"));

    prompter.answers.push_back(Answer::Yes);
    Trigger("mnuCardDelete");
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(prompter.shown.back().text,
              "Are you sure you want to delete the current card (Jones)?\r\n\r\n"
              "This operation cannot be undone!");
    EXPECT_EQ(ListRows(), (QStringList{"Adams", "Jones.", "Smith", "Smith."}));
    EXPECT_FALSE(window->Memo()->isEnabled());
    EXPECT_EQ(window->List()->SelectedRow(), -1);
    EXPECT_FALSE(IsEnabled("mnuCardDelete"));
}

TEST_F(MainWindowTest, ListKeysDeleteOnlyWithASelectionAndInsertAlwaysAsks) {
    OpenSample();
    QTest::keyClick(window->List(), Qt::Key_Delete);  // nothing selected: no question
    EXPECT_TRUE(prompter.shown.empty());
    QTest::keyClick(window->List(), Qt::Key_Insert);
    ASSERT_EQ(prompter.InputPrompts().size(), 1u);
    EXPECT_EQ(prompter.InputPrompts()[0], "Enter card index:");
    ClickRow(2);
    prompter.answers.push_back(Answer::No);
    QTest::keyClick(window->List(), Qt::Key_Delete);
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(ListRows().size(), 3);
}

TEST_F(MainWindowTest, SaveWritesTheEditAndKeepsTheOldFileAsBackup) {
    const std::string path = OpenSample();
    ClickRow(0);
    window->Memo()->moveCursor(QTextCursor::End);
    QTest::keyClicks(window->Memo(), " 1");
    Trigger("sbSave");
    EXPECT_FALSE(window->Doc().FileModified());
    EXPECT_FALSE(IsEnabled("mnuFileSave"));
    EXPECT_TRUE(QFileInfo::exists(FilePath("contacts.bak")));
    // Names are case-sensitive here: the save goes to the file that was opened, no twin.
    EXPECT_EQ(window->Doc().CardFileName(), path);
    EXPECT_FALSE(QFileInfo::exists(FilePath("contacts.CSV")));

    // The saved file reads back with the edit; the window went away without closing, so the
    // autosave copy written since is offered.
    const std::string saved = window->Doc().CardFileName();
    window.reset();
    prompter.answers.push_back(Answer::No);
    Make({QString::fromStdString(saved)});
    ClickRow(0);
    EXPECT_EQ(EditorText(), "Adams\nTel. 555 1");
}

TEST_F(MainWindowTest, SaveOfAnUntitledFileAsksForANameAndExtension) {
    Make();
    prompter.inputs.push_back("Brown");
    Trigger("mnuCardAdd");
    dialogs.saveAnswers.push_back(ScriptedDialogs::SaveAnswer{2, FilePath("people.csv")});
    Trigger("mnuFileSave");
    EXPECT_EQ(dialogs.saveCalls, 1);
    EXPECT_EQ(dialogs.lastShownFilter, 1);
    EXPECT_TRUE(QFileInfo::exists(FilePath("people.txt")));  // the text entry was chosen
    EXPECT_EQ(window->windowTitle(), "Tabellan - people.txt");
    EXPECT_EQ(window->Recent().Path(0), FilePath("people.txt"));
}

TEST_F(MainWindowTest, SaveAsCancelledChangesNothing) {
    OpenSample();
    ClickRow(0);
    QTest::keyClicks(window->Memo(), "x");
    dialogs.saveAnswers.push_back(std::nullopt);
    Trigger("mnuFileSaveAs");
    EXPECT_EQ(window->windowTitle(), "Tabellan - contacts.csv");
    EXPECT_TRUE(window->Doc().CardEdited());
}

TEST_F(MainWindowTest, AutosaveFollowsThePeriodOnTheDocumentsClock) {
    const std::string path = OpenSample();
    const QString autosave = FilePath("contacts.$$$");
    window->UpdateEnablements();  // first tick after the open
    EXPECT_TRUE(QFileInfo::exists(autosave));
    QFile::remove(autosave);
    now += 9 * kMinute;
    window->UpdateEnablements();
    EXPECT_FALSE(QFileInfo::exists(autosave));
    now += 2 * kMinute;
    window->UpdateEnablements();
    EXPECT_TRUE(QFileInfo::exists(autosave));
}

TEST_F(MainWindowTest, TheTimerRunsTheRefreshEveryThreeHundredMilliseconds) {
    OpenSample();
    auto* timer = window->findChild<QTimer*>("Timer1");
    EXPECT_EQ(timer->interval(), 300);
    timer->start();
    const QString autosave = FilePath("contacts.$$$");
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(autosave), 2000);
}

TEST_F(MainWindowTest, LeftOverAutosaveCopyIsOfferedOnOpen) {
    const std::string path = WriteCards("x.csv", {{"Old"}});
    WriteCards("x.$$$", {{"Newer"}, {"Unsaved"}});
    prompter.answers.push_back(Answer::Yes);
    Make({QString::fromStdString(path)});
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text,
              "There is an autosave file with the same name. Do you want to open that file "
              "instead?");
    EXPECT_EQ(prompter.shown[0].helpContext, 120);
    EXPECT_EQ(ListRows(), (QStringList{"Newer", "Unsaved"}));

    EXPECT_EQ(window->windowTitle(), "Tabellan - x.csv");

    // Closing the recovered copy removes it, so the same file from the recent list is the
    // file itself, without the question.
    window->Action("mnuFileItem1")->trigger();
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(ListRows(), (QStringList{"Old"}));
    EXPECT_FALSE(QFileInfo::exists(FilePath("x.$$$")));
}

TEST_F(MainWindowTest, CardPendingInTheFileIsShownAndMarkedInTheList) {
    FileSettings settings;
    settings.cardEdited = true;
    settings.cardMemo = {"Brown", "typed before the crash"};
    settings.currentIndex = 1;
    const std::string path =
        WriteCards("p.csv", {{"Adams"}, {"Brown", "old"}, {"Clark"}}, settings);
    Make({QString::fromStdString(path)});
    EXPECT_EQ(EditorText(), "Brown\ntyped before the crash");
    EXPECT_TRUE(window->Memo()->isEnabled());
    EXPECT_EQ(window->List()->SelectedRow(), 1);
}

TEST_F(MainWindowTest, OverLongCardIsReportedButKept) {
    OpenSample();
    ClickRow(0);
    window->SetEditorLines({std::string(32768, 'a')});
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(prompter.shown.back().text, "Current card too long.");
    EXPECT_EQ(prompter.shown.back().kind, MsgKind::Error);
    EXPECT_EQ(window->Memo()->toPlainText().size(), 32768);
}

TEST_F(MainWindowTest, ClosingWithChangesAsksAndCancelKeepsTheWindow) {
    OpenSample();
    ClickRow(0);
    QTest::keyClicks(window->Memo(), "x");
    prompter.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(ListRows().size(), 3);
    prompter.answers.push_back(Answer::No);
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(QFileInfo::exists(FilePath("contacts.$$$")));
}

}  // namespace
}  // namespace tabellan::test
