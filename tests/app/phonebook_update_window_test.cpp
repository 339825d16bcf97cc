// Update with its confirmation dialog, and the ordering tools, in the window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "app/upd_info_form.h"
#include "phone_window_fixture.h"

namespace tabellan::test {
namespace {

using ::testing::HasSubstr;

// What the confirmation dialog showed when it opened.
struct Shown {
    bool opened = false;
    QString caption;
    QString labelAdd;
    QString labelDelete;
    QStringList addList;
    QStringList deleteList;
    bool okFocused = false;
    bool fixedSize = false;
    QPoint centreOffset;
    int result = -1;
};

QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items.append(list->item(i)->text());
    }
    return items;
}

class UpdateWindowTest : public PhoneWindowTest {
  protected:
    // When the confirmation dialog opens: records what it shows, then answers with a key.
    void AnswerConfirmation(Qt::Key key) {
        answer_ = std::make_unique<QTimer>();
        answer_->setInterval(20);
        QObject::connect(answer_.get(), &QTimer::timeout, [this, key] {
            auto* form = window->findChild<TUpdInfoForm*>();
            if (!form || !form->isVisible() || shown.opened) {
                return;
            }
            shown.opened = true;
            shown.caption = form->windowTitle();
            shown.labelAdd = form->findChild<QLabel*>("LabelAdd")->text();
            shown.labelDelete = form->findChild<QLabel*>("LabelDelete")->text();
            shown.addList = Items(form->findChild<QListWidget*>("ListBoxAdd"));
            shown.deleteList = Items(form->findChild<QListWidget*>("ListBoxDelete"));
            shown.okFocused = form->focusWidget() == form->findChild<QPushButton*>("ButtonOK");
            shown.fixedSize = form->minimumSize() == form->maximumSize();
            shown.centreOffset =
                form->frameGeometry().center() - form->screen()->availableGeometry().center();
            shown.result = form->result();
            QTest::keyClick(form, key);
        });
        answer_->start();
    }
    QStringList BackupFiles() const {
        return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
            .entryList({"phonebook-*.txt"}, QDir::Files);
    }

    Shown shown;

  private:
    std::unique_ptr<QTimer> answer_;
};

const std::string kZed = "1,\"+4930123\",145,\"Zed\"";
const std::string kAmy = "4,\"0301\",129,\"amy\"";
const std::string kBea =
    "7,\"0302\",129,\"B\xE9"
    "a\"";                                               // in the card's code page
const std::string kBeaShown = "7,\"0302\",129,\"Béa\"";  // in the editor

TEST_F(UpdateWindowTest, CancelShowsBothListsAndSendsNothing) {
    StartPhone();
    // Amy renamed, Zed gone, one new entry whose location the phone chooses.
    ShowCard({"My phone", "", "4,\"0301\",129,\"Amy Pond\"", kBea, ",\"0309\",129,\"New\""});
    AnswerConfirmation(Qt::Key_Escape);
    Trigger("mnuPBUpdate");
    ASSERT_TRUE(shown.opened);
    EXPECT_EQ(shown.caption, "Phonebook Update Confirmation");
    EXPECT_EQ(shown.labelAdd, "Items to be added or replaced:");
    EXPECT_EQ(shown.labelDelete, "Items to be deleted:");
    EXPECT_EQ(shown.addList, (QStringList{"4,\"0301\",129,\"Amy Pond\"", ",\"0309\",129,\"New\""}));
    EXPECT_EQ(shown.deleteList, QStringList{QString::fromStdString(kZed)});
    EXPECT_TRUE(shown.okFocused);
    EXPECT_TRUE(shown.fixedSize);
    EXPECT_LE(std::abs(shown.centreOffset.x()), 1);
    EXPECT_LE(std::abs(shown.centreOffset.y()), 1);
    EXPECT_EQ(shown.result, QDialog::Rejected);

    EXPECT_EQ(prompter.Texts(),
              Lines{"Mobile phonebook not updated! You can make your updates later..."});
    EXPECT_EQ(prompter.shown[0].kind, MsgKind::Warning);
    EXPECT_EQ(Sent(), "AT+cpbs=\"SM\"\r\nAT+cpbr=?\r\nAT+cpbr=1,50\r\n");
    EXPECT_TRUE(BackupFiles().empty());
    EXPECT_FALSE(window->Doc().CardEdited());  // an update never changes the card
    EXPECT_TRUE(window->menuBar()->isEnabled());
}

TEST_F(UpdateWindowTest, OkSendsDeletesThenWritesAndKeepsABackup) {
    StartPhone();
    ShowCard({"My phone", "", "4,\"0301\",129,\"Amy Pond\"", kBea, ",\"0309\",129,\"New\""});
    AnswerConfirmation(Qt::Key_Return);  // OK is the default button
    Trigger("sbPBUpdate");
    ASSERT_TRUE(shown.opened);
    EXPECT_TRUE(prompter.Texts().empty()) << prompter.Texts().front();
    EXPECT_THAT(Sent(), HasSubstr("AT+cpbr=1,50\r\n"
                                  "AT+cpbw=1\r\n"
                                  "AT+cpbw=4,\"0301\",129,\"Amy Pond\"\r\n"
                                  "AT+cpbw=,\"0309\",129,\"New\"\r\n"));
    ASSERT_EQ(BackupFiles().size(), 1);

    // Read back: the phone holds the card's entries, the new one where it put it.
    Trigger("mnuPBRead");
    EXPECT_EQ(Text(),
              "My phone\n\n1,\"0309\",129,\"New\"\n4,\"0301\",129,\"Amy Pond\"\n7,\"0302\",129,"
              "\"Béa\"\n");
    // Now card and phone agree.
    Trigger("mnuPBUpdate");
    EXPECT_EQ(prompter.Texts(), Lines{"No update is necessary."});
    EXPECT_EQ(prompter.shown[0].kind, MsgKind::Information);
}

TEST_F(UpdateWindowTest, ALineThePhoneCannotTakeIsRefusedBeforeAnythingIsSent) {
    StartPhone();
    ShowCard({"My phone", "", kZed, kAmy, kBea, "call Ann back"});
    Trigger("mnuPBUpdate");
    EXPECT_FALSE(shown.opened);
    ASSERT_EQ(prompter.Texts().size(), 1u);
    EXPECT_THAT(prompter.Texts()[0], HasSubstr("call Ann back"));
    EXPECT_EQ(Sent(), "AT+cpbs=\"SM\"\r\nAT+cpbr=?\r\nAT+cpbr=1,50\r\n");
}

TEST_F(UpdateWindowTest, PhonebookCommandsNeedASelectedCard) {
    Make();
    window->UpdateEnablements();
    for (const char* name : {"mnuPBSelectEntries", "mnuPBRead", "sbPBRead", "mnuPBUpdate",
                             "sbPBUpdate", "mnuPBReseq", "mnuPBSort", "mnuPBSortSelected"}) {
        EXPECT_FALSE(Enabled(name)) << name;
    }
    for (const char* name : {"mnuPBReopenPort", "mnuPBMemoryStorage", "mnuPBMobileInfo",
                             "sbMobileInfo", "mnuPBSortAll"}) {
        EXPECT_TRUE(Enabled(name)) << name;
    }
    // A shortcut that slipped through before the refresh does nothing without a card.
    window->Action("mnuPBUpdate")->setEnabled(true);
    Trigger("mnuPBUpdate");
    EXPECT_TRUE(prompter.inputBoxes.empty());

    window.reset();
    ShowCard({"Book", "", kZed});
    window->UpdateEnablements();
    for (const char* name : {"mnuPBSelectEntries", "mnuPBRead", "sbPBRead", "mnuPBUpdate",
                             "sbPBUpdate", "mnuPBReseq", "mnuPBSort"}) {
        EXPECT_TRUE(Enabled(name)) << name;
    }
    EXPECT_FALSE(Enabled("mnuPBSortSelected"));
    Trigger("mnuPBSelectEntries");
    window->UpdateEnablements();
    EXPECT_TRUE(Enabled("mnuPBSortSelected"));
}

TEST_F(UpdateWindowTest, OrderingToolsEditTheEntriesAsOneUndoableEditEach) {
    ShowCard({"Book", "", kZed, kBea, kAmy, ""});  // the last line is empty
    const std::string original = "Book\n\n" + kZed + "\n" + kBeaShown + "\n" + kAmy + "\n";
    ASSERT_EQ(Text(), original);
    Trigger("mnuPBSelectEntries");
    EXPECT_EQ(
        window->Memo()->textCursor().selectedText().replace(QChar(0x2029), '\n').toStdString(),
        kZed + "\n" + kBeaShown + "\n" + kAmy + "\n");
    EXPECT_EQ(window->focusWidget(), window->Memo());

    Trigger("mnuPBSortAll");
    const std::string sorted = "Book\n\n" + kAmy + "\n" + kBeaShown + "\n" + kZed + "\n";
    EXPECT_EQ(Text(), sorted);
    EXPECT_TRUE(window->Doc().CardEdited());

    prompter.inputs.push_back("10");
    Trigger("mnuPBReseq");
    EXPECT_EQ(prompter.inputBoxes.back().caption, "Specify Sequence Start Number");
    EXPECT_EQ(prompter.inputBoxes.back().prompt, "Starting from:");
    EXPECT_EQ(prompter.inputBoxes.back().initial, "1");
    EXPECT_EQ(Text(),
              "Book\n\n10,\"0301\",129,\"amy\"\n11,\"0302\",129,\"Béa\"\n12,\"+4930123\",145,"
              "\"Zed\"\n");

    window->Memo()->undo();
    EXPECT_EQ(Text(), sorted);
    window->Memo()->undo();
    EXPECT_EQ(Text(), original);

    // Sorting only the selected lines leaves the others where they are.
    QTextCursor c = window->Memo()->textCursor();
    const QString text = window->Memo()->toPlainText();
    c.setPosition(static_cast<int>(text.indexOf(QString::fromStdString(kBeaShown))));
    c.setPosition(static_cast<int>(text.size()), QTextCursor::KeepAnchor);
    window->Memo()->setTextCursor(c);
    Trigger("mnuPBSortSelected");
    EXPECT_EQ(Text(), "Book\n\n" + kZed + "\n" + kAmy + "\n" + kBeaShown + "\n");

    // A start number that is not a number changes nothing.
    prompter.inputs.push_back("ten");
    const std::string before = Text();
    Trigger("mnuPBReseq");
    EXPECT_EQ(Text(), before);
    EXPECT_EQ(prompter.Texts().back(), "'ten' is not a valid integer value");
}

}  // namespace
}  // namespace tabellan::test
