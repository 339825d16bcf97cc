// The Phonebook menu in the window against the simulated phone: the port commands and the
// status bar, Read and its undo, Mobile Information, the storage choice, and the window
// while a phone command waits.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "app/busy_gate.h"
#include "phone_window_fixture.h"

namespace tabellan::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST_F(PhoneWindowTest, PortCommandsOpenAndCloseWithTheirStatusTexts) {
    StartPhone();
    ShowCard({"Phone"});
    EXPECT_FALSE(Enabled("mnuPBClosePort"));

    prompter.inputs.push_back(std::nullopt);
    Trigger("mnuPBReopenPort");
    EXPECT_EQ(prompter.Texts(), Lines{"Port open canceled!"});
    ASSERT_EQ(prompter.inputBoxes.size(), 1u);
    EXPECT_EQ(prompter.inputBoxes[0].caption, "Open Mobile Phone's Port");
    EXPECT_THAT(prompter.inputBoxes[0].prompt,
                StartsWith("Specify the port number your mobile phone is connected to:"));
    EXPECT_EQ(prompter.inputBoxes[0].initial, "1");
    EXPECT_FALSE(Enabled("mnuPBClosePort"));

    prompter.inputs.push_back("x1");
    Trigger("mnuPBReopenPort");
    EXPECT_EQ(prompter.Texts().back(), "'x1' is not a valid integer value");
    EXPECT_FALSE(Exchange().SerComm1().IsOpen());

    Trigger("mnuPBReopenPort");
    EXPECT_TRUE(Exchange().SerComm1().IsOpen());
    EXPECT_EQ(window->StatusText(0), "Port open");
    EXPECT_TRUE(Enabled("mnuPBClosePort"));
    EXPECT_GT(prompter.busyCalls, 0);
    EXPECT_EQ(prompter.busyDepth, 0);  // the wait cursor is gone again

    // Reopening closes first and offers the port chosen last.
    Trigger("mnuPBReopenPort");
    EXPECT_EQ(prompter.inputBoxes.back().initial, "1");
    EXPECT_TRUE(Exchange().SerComm1().IsOpen());
    EXPECT_EQ(prompter.Texts().size(), 2u);

    Trigger("mnuPBClosePort");
    EXPECT_FALSE(Exchange().SerComm1().IsOpen());
    EXPECT_EQ(window->StatusText(0), "Port closed");
    EXPECT_FALSE(Enabled("mnuPBClosePort"));
}

TEST_F(PhoneWindowTest, LineEventsReachTheFirstPanelThroughTheEventLoop) {
    StartPhone();
    ShowCard({"Phone"});
    Trigger("mnuPBReopenPort");
    ASSERT_TRUE(Exchange().SerComm1().IsOpen());
    // The write thread reports the empty queue from its own thread.
    ASSERT_TRUE(Exchange().SerComm1().WriteText("AT\r\n"));
    EXPECT_TRUE(WaitFor([this] { return window->StatusText(0) == "TxEmpty signal detected..."; }));

    Exchange().SerComm1Break(Exchange().SerComm1());
    EXPECT_EQ(window->StatusText(0), "Break signal detected...");
    // A framing error together with an overrun shows the overrun.
    Exchange().SerComm1Error(Exchange().SerComm1(), 0x0008 | 0x0002);
    EXPECT_EQ(window->StatusText(0),
              "A character-buffer overrun has occurred. The next character is lost.");
}

TEST_F(PhoneWindowTest, ReadReplacesTheBodyAsOneEditThatUndoTakesBack) {
    StartPhone();
    ShowCard({"My phone", "note", "old entry", "another old one", "and a third"});
    Trigger("mnuPBRead");
    EXPECT_TRUE(prompter.Texts().empty()) << prompter.Texts().front();
    EXPECT_EQ(Text(), "My phone\n\n" + kSimEntries);
    EXPECT_TRUE(window->Doc().CardEdited());
    EXPECT_EQ(window->StatusText(1), "");
    EXPECT_EQ(prompter.busyDepth, 0);
    // The window takes input again, the editor included.
    EXPECT_TRUE(window->menuBar()->isEnabled());
    EXPECT_TRUE(window->Memo()->isEnabled());
    EXPECT_FALSE(window->Busy());
    // The first command opened the port and the phone was asked in order.
    EXPECT_EQ(Sent(), "AT+cpbs=\"SM\"\r\nAT+cpbr=?\r\nAT+cpbr=1,50\r\n");

    window->UpdateEnablements();
    ASSERT_TRUE(Enabled("mnuEditUndo"));
    Trigger("mnuEditUndo");
    EXPECT_EQ(Text(), "My phone\nnote\nold entry\nanother old one\nand a third");
    EXPECT_FALSE(window->Memo()->document()->isUndoAvailable());

    // Read again; the new text reaches the card at the next commit.
    Trigger("mnuPBRead");
    window->Doc().CommitCurrentCard();
    EXPECT_EQ(window->Doc().Cards().CardAt(0).lines,
              (Lines{"My phone", "", "1,\"+4930123\",145,\"Zed\"", "4,\"0301\",129,\"amy\"",
                     "7,\"0302\",129,\"B\xE9"
                     "a\""}));
}

TEST_F(PhoneWindowTest, AFailedReadLeavesTheCardAlone) {
    StartPhone({"--cme", "11"});
    ShowCard({"My phone", "", "kept"});
    Trigger("sbPBRead");
    ASSERT_EQ(prompter.Texts().size(), 1u);
    EXPECT_THAT(prompter.Texts()[0], HasSubstr("Action: Setting Memory Storage..."));
    EXPECT_THAT(prompter.Texts()[0], HasSubstr("+CME ERROR: 11"));
    EXPECT_EQ(Text(), "My phone\n\nkept");
    EXPECT_FALSE(window->Doc().CardEdited());
    EXPECT_TRUE(window->Memo()->isEnabled());

    // A cancelled port prompt ends the command with its message, nothing read.
    Trigger("mnuPBClosePort");
    prompter.inputs.push_back(std::nullopt);
    Trigger("mnuPBRead");
    EXPECT_EQ(prompter.Texts().back(), "Port open canceled!");
    EXPECT_EQ(Text(), "My phone\n\nkept");
    EXPECT_FALSE(window->Busy());
    EXPECT_TRUE(window->findChild<QToolBar*>("ToolBar")->isEnabled());
}

TEST_F(PhoneWindowTest, MobileInformationIsAlwaysOfferedAndShowsItsBox) {
    StartPhone();
    Make();  // no card at all
    ShortenTimings();
    window->UpdateEnablements();
    EXPECT_TRUE(Enabled("mnuPBMobileInfo"));
    EXPECT_TRUE(Enabled("sbMobileInfo"));
    Trigger("sbMobileInfo");
    ASSERT_EQ(prompter.shown.size(), 1u);
    const ScriptedPrompter::Shown& box = prompter.shown[0];
    EXPECT_EQ(box.kind, MsgKind::Information);
    EXPECT_EQ(box.buttons, Buttons::OkHelp);
    EXPECT_EQ(box.helpContext, 525);
    EXPECT_THAT(box.text, StartsWith("MOBILE PHONE INFORMATION:\r\n\r\nManufacturer Id:"));
    EXPECT_THAT(box.text, HasSubstr("\r\nSignal Quality:        \t"));
    EXPECT_FALSE(window->Busy());
    EXPECT_TRUE(window->menuBar()->isEnabled());

    // A phone that answers nothing.
    Trigger("mnuPBClosePort");
    StartPhone({"--silent"});
    ShortenTimings(2);
    Trigger("mnuPBMobileInfo");
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].kind, MsgKind::Error);
    EXPECT_EQ(prompter.shown[1].text, "Unable to get mobile information!");
    EXPECT_EQ(prompter.shown[1].helpContext, 525);
}

TEST_F(PhoneWindowTest, MemoryStorageChoosesWhatReadReads) {
    StartPhone();
    ShowCard({"Own phone"});
    QAction* sim = window->Action("mnuPBSIMCard");
    QAction* other = window->Action("mnuPBOther");
    EXPECT_TRUE(sim->isChecked());

    // Cancelling the storage code keeps the choice as it was.
    prompter.inputs.push_back(std::nullopt);
    Trigger("mnuPBOther");
    EXPECT_TRUE(sim->isChecked());
    EXPECT_FALSE(other->isChecked());
    EXPECT_EQ(other->text(), "&Other...");
    EXPECT_EQ(prompter.inputBoxes.back().caption, "Specify Phonebook Memory Storage");
    EXPECT_EQ(prompter.inputBoxes.back().prompt, "Storage code:");
    EXPECT_EQ(prompter.inputBoxes.back().initial, "");

    prompter.inputs.push_back("ME1");
    Trigger("mnuPBOther");
    EXPECT_TRUE(other->isChecked());
    EXPECT_FALSE(sim->isChecked());
    EXPECT_EQ(other->text(), "&Other (ME)...");
    Trigger("mnuPBRead");
    EXPECT_EQ(Text(), "Own phone\n\n2,\"555\",129,\"Own\"\n");

    // The code chosen is offered again.
    prompter.inputs.push_back(std::nullopt);
    Trigger("mnuPBOther");
    EXPECT_EQ(prompter.inputBoxes.back().initial, "ME");
    EXPECT_TRUE(other->isChecked());

    Trigger("mnuPBSIMCard");
    EXPECT_TRUE(sim->isChecked());
    EXPECT_EQ(other->text(), "&Other (ME)...");
    Trigger("mnuPBRead");
    EXPECT_EQ(Text(), "Own phone\n\n" + kSimEntries);
    Trigger("mnuPBMobile");
    EXPECT_TRUE(window->Action("mnuPBMobile")->isChecked());
    EXPECT_EQ(window->Phonebook().Storage().Code(), "ME");
    EXPECT_TRUE(prompter.Texts().empty()) << prompter.Texts().front();
}

// While Read waits for the phone's late answer the window repaints and its timer runs, but
// nothing the user does starts a command.
TEST_F(PhoneWindowTest, NoSecondCommandWhileAPhoneCommandWaits) {
    // The third command, the read itself, is answered after a second.
    StartPhone({"--late", "3:1000"});
    ShowCard({"My phone", "", "old"});
    ShortenTimings(300);
    Trigger("mnuPBReopenPort");
    const int cards = window->Doc().Cards().Count();

    auto* timer1 = window->findChild<QTimer*>("Timer1");
    int ticks = 0;
    QObject::connect(timer1, &QTimer::timeout, [&ticks] { ++ticks; });
    timer1->setInterval(50);
    timer1->start();
    int paints = 0;
    struct PaintCounter : QObject {
        int& count;
        explicit PaintCounter(int& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) {
                ++count;
            }
            return false;
        }
    } counter(paints);
    window->findChild<QLabel*>("StatusPanel0")->installEventFilter(&counter);

    struct Seen {
        bool probed = false;
        bool busy = false;
        bool editorEnabled = true;
        bool menuEnabled = true;
        bool closed = true;
        QString action;
        int ticksBefore = 0;
    } seen;
    QTimer probe;
    probe.setInterval(20);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (seen.probed || window->StatusText(1) != "Reading phonebook...") {
            return;
        }
        seen.probed = true;
        seen.busy = window->Busy();
        seen.action = window->StatusText(1);
        seen.editorEnabled = window->Memo()->isEnabled();
        seen.menuEnabled = window->menuBar()->isEnabled();
        seen.ticksBefore = ticks;
        // Every way a command could start.
        for (const char* name : {"mnuPBUpdate", "mnuPBRead", "mnuPBReopenPort", "mnuPBClosePort",
                                 "mnuPBMobileInfo", "mnuFileNew", "mnuCardDelete"}) {
            window->Action(QString::fromLatin1(name))->setEnabled(true);
            Trigger(name);
        }
        QTest::keyClick(window.get(), Qt::Key_F5);
        seen.closed = window->close();
    });
    probe.start();
    Trigger("mnuPBRead");
    probe.stop();

    ASSERT_TRUE(seen.probed);
    EXPECT_TRUE(seen.busy);
    EXPECT_FALSE(seen.editorEnabled);
    EXPECT_FALSE(seen.menuEnabled);
    EXPECT_FALSE(seen.closed);
    EXPECT_GT(ticks, seen.ticksBefore);  // the timer kept running through the wait
    EXPECT_GT(paints, 0);
    // The read came through; nothing else was sent, asked or done.
    EXPECT_EQ(Text(), "My phone\n\n" + kSimEntries);
    EXPECT_EQ(Sent(), "AT+cpbs=\"SM\"\r\nAT+cpbr=?\r\nAT+cpbr=1,50\r\n");
    EXPECT_TRUE(prompter.Texts().empty()) << prompter.Texts().front();
    EXPECT_EQ(prompter.inputBoxes.size(), 1u);
    EXPECT_TRUE(Exchange().SerComm1().IsOpen());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Doc().Cards().Count(), cards);
    EXPECT_FALSE(window->Busy());
    // Afterwards commands run again.
    Trigger("mnuPBClosePort");
    EXPECT_FALSE(Exchange().SerComm1().IsOpen());
}

TEST_F(PhoneWindowTest, ThePortNumberRoundTripsThroughTheSettings) {
    StartPhone();
    Registry()->setValue("CommPort", "4");
    ShowCard({"Phone"});
    EXPECT_EQ(window->CommPort(), 4);
    prompter.inputs.push_back("1");
    Trigger("mnuPBReopenPort");
    EXPECT_EQ(prompter.inputBoxes.back().initial, "4");
    EXPECT_TRUE(Exchange().SerComm1().IsOpen());
    window.reset();  // the end of the program closes the port
    EXPECT_EQ(Registry()->value("CommPort").toString(), "1");

    prompter.inputs.push_back("12");  // no device behind it
    ShowCard({"Phone"});
    Trigger("mnuPBReopenPort");
    EXPECT_THAT(prompter.Texts().back(), HasSubstr("no-such-device"));
    EXPECT_FALSE(Exchange().SerComm1().IsOpen());
    window.reset();
    EXPECT_EQ(Registry()->value("CommPort").toString(), "12");
}

}  // namespace
}  // namespace tabellan::test
