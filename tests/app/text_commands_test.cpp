// The text tools, card information and the Execute command in the window.
#include "app/text_commands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QShortcut>
#include <QTest>

#include "app/card_memo.h"
#include "cardfile/cipher.h"
#include "support/window_fixture.h"

namespace tabellan::test {
namespace {

class TextCommandsTest : public WindowTest {
  protected:
    // One card shown in the editor; script 0 (Western) unless a test needs another.
    void Show(const std::vector<std::string>& card, int script = 0, bool commandExec = true) {
        FileSettings settings;
        settings.font.charset = script;
        settings.commandExec = commandExec;
        // A new name each time: a window left behind may have written an autosave copy.
        const std::string path =
            WriteCards(QStringLiteral("cards%1.csv").arg(++files_), {card}, settings);
        Make({QString::fromStdString(path)});
        window->Doc().SelectCard(0);
        QCoreApplication::processEvents();
    }
    // Selects editor positions [from, to).
    void Select(int from, int to) {
        QTextCursor c = window->Memo()->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        window->Memo()->setTextCursor(c);
    }
    void Caret(int pos) { Select(pos, pos); }
    QString Text() const { return window->Memo()->toPlainText(); }
    QString Selected() const { return window->Memo()->textCursor().selectedText(); }
    void Trigger(const char* name) { window->Action(QString::fromLatin1(name))->trigger(); }
    TextCommands& Commands() { return *window->findChild<TextCommands*>(); }
    QAction& ExecuteCmd() { return *window->Action(QStringLiteral("mnuCardExecuteCmd")); }
    int files_ = 0;
    void OpenExecuteMenu() {
        emit window->findChild<QMenu*>(QStringLiteral("mnuCardExecute"))->aboutToShow();
    }
};

TEST_F(TextCommandsTest, ChangeCaseRewritesTheSelectionAndKeepsItSelected) {
    Show({"Card", "o'neil mcdonald x2y"});
    Select(5, 24);
    Trigger("mnuEditCap");
    EXPECT_EQ(Text(), "Card\nO'Neil Mcdonald X2Y");
    EXPECT_EQ(Selected(), "O'Neil Mcdonald X2Y");
    EXPECT_TRUE(window->Doc().CardEdited());

    Trigger("mnuEditUC");
    EXPECT_EQ(Selected(), "O'NEIL MCDONALD X2Y");
    Trigger("mnuEditLC");
    EXPECT_EQ(Selected(), "o'neil mcdonald x2y");
    Trigger("mnuEditTC");
    EXPECT_EQ(Selected(), "O'NEIL MCDONALD X2Y");
    EXPECT_EQ(Text(), "Card\nO'NEIL MCDONALD X2Y");
}

TEST_F(TextCommandsTest, ChangeCaseWorksOnCodePageBytesAcrossLines) {
    Show({"Zo\xEB",
          "cr\xE8me br\xFBl\xE9"
          "e"});  // Windows-1252 bytes
    Select(0, Text().size());
    Trigger("mnuEditUC");
    EXPECT_EQ(Text(), "ZOË\nCRÈME BRÛLÉE");
    EXPECT_EQ(Selected().size(), Text().size());
}

TEST_F(TextCommandsTest, TurkishScriptUsesTheTurkishLetters) {
    Show({"Card", "isim"}, 162);  // Windows-1254
    Select(5, 9);
    Trigger("mnuEditUC");
    EXPECT_EQ(Text(), QString::fromUtf8("Card\nİSİM"));
}

TEST_F(TextCommandsTest, DefaultScriptRefusesWithTheMessage) {
    Show({"Card", "text"}, 1);
    Select(5, 9);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    Trigger("mnuEditUC");
    Trigger("mnuEditCopyASCII");
    EXPECT_EQ(Text(), "Card\ntext");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text,
              "Please, select/verify your Font Script in File | Setup... before using this "
              "command!");
    EXPECT_EQ(prompter.shown[0].kind, MsgKind::Error);
    EXPECT_EQ(prompter.shown[0].buttons, Buttons::OkHelp);
    EXPECT_EQ(prompter.shown[0].helpContext, 150);
}

TEST_F(TextCommandsTest, CaseShortcutsDoNothingWithoutASelection) {
    Show({"Card", "text"}, 1);
    Caret(6);
    Trigger("mnuEditUC");
    EXPECT_EQ(Text(), "Card\ntext");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(TextCommandsTest, CopyAsciiPutsTheTransliterationOnTheClipboardOnly) {
    Show({"Caf\xE9 Z\xFCrich", "\xDE\xF3r"});
    Select(0, Text().size());
    Trigger("mnuEditCopyASCII");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Cafe Zurich\nPor");
    EXPECT_EQ(Text(), QString::fromUtf8("Café Zürich\nÞór"));
    EXPECT_EQ(Selected().size(), Text().size());

    QGuiApplication::clipboard()->clear();
    Show({"Card", "\xD0"}, 162);  // G with breve in Windows-1254
    Select(5, 6);
    Trigger("mnuEditCopyASCII");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "G");
}

TEST_F(TextCommandsTest, PasteRandomStringReplacesTheSelectionWithTenPrintables) {
    Show({"Card", "abcXYZdef"});
    SharedRandom::Instance().reseedPending = true;
    Select(8, 11);
    Trigger("mnuEditPasteRndStr");
    EXPECT_FALSE(SharedRandom::Instance().reseedPending);
    const QString line = Text().section('\n', 1);
    ASSERT_EQ(line.size(), 16);
    EXPECT_TRUE(line.startsWith("abc"));
    EXPECT_TRUE(line.endsWith("def"));
    for (const QChar c : line.mid(3, 10)) {
        EXPECT_GE(c.unicode(), 33);
        EXPECT_LE(c.unicode(), 126);
    }
    EXPECT_EQ(window->Memo()->textCursor().position(), 5 + 3 + 10);
    EXPECT_TRUE(window->Doc().CardEdited());
}

TEST_F(TextCommandsTest, CardInformationReportsCardAndSelection) {
    Show({"a", "b"});
    Trigger("mnuCardInfo");
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text,
              "Total cards: 1\r\n\r\nTotal lines in card: 2\r\nTotal characters in card: 2\r\n\r\n"
              "Size of card: 4\r\n\r\nCurrent card is not modified.");
    EXPECT_EQ(prompter.shown[0].kind, MsgKind::Information);
    EXPECT_EQ(prompter.shown[0].helpContext, 460);

    Select(0, 3);  // a, the line break, b
    window->Action(QStringLiteral("sbCardInfo"))->trigger();
    EXPECT_NE(prompter.shown.back().text.find(
                  "Selected lines in card: 2\r\nSelected characters in card: 2\r\n\r\n"),
              std::string::npos);
    Select(1, 2);
    window->Memo()->insertPlainText(QStringLiteral("\n"));  // same text, now modified
    Select(1, 2);  // only the line break: no selection lines
    Trigger("mnuCardInfo");
    EXPECT_EQ(prompter.shown.back().text.find("Selected"), std::string::npos);
    EXPECT_NE(prompter.shown.back().text.find("Current card is modified."), std::string::npos);
}

TEST_F(TextCommandsTest, ExecuteTakesTheWordAtTheCaretOrTheSelection) {
    Show({"Card", "run notepad c:\\x.txt & more"});
    Caret(5 + 6);  // inside notepad
    OpenExecuteMenu();
    EXPECT_EQ(ExecuteCmd().text(), "notepad");
    EXPECT_TRUE(ExecuteCmd().isEnabled());
    EXPECT_EQ(Commands().PendingCommand(), "notepad");

    Select(9, 27);  // "notepad c:\x.txt &", the ampersand doubled for the caption
    OpenExecuteMenu();
    EXPECT_EQ(ExecuteCmd().text(), "notepad c:\\x.txt &&");
    EXPECT_EQ(Commands().PendingCommand(), "notepad c:\\x.txt &");

    window->Memo()->setPlainText(QStringLiteral("Card\nrun  x"));
    Caret(9);  // between two blanks: nothing, the last command is kept
    OpenExecuteMenu();
    EXPECT_EQ(ExecuteCmd().text(), "<Nothing>");
    EXPECT_FALSE(ExecuteCmd().isEnabled());
    EXPECT_EQ(Commands().PendingCommand(), "notepad c:\\x.txt &");
}

TEST_F(TextCommandsTest, ExecuteStartsTheProgramWithoutAShell) {
    Show({"Card", "x"});
    const QString target = FilePath(QStringLiteral("made;by $HOME"));
    // A shell would end the command at ';' and expand $HOME; the program gets one argument.
    window->Memo()->setPlainText(QStringLiteral("Card\ntouch \"%1\"").arg(target));
    Select(5, Text().size());
    window->Action(QStringLiteral("sbCardExecute"))->trigger();
    for (int i = 0; i < 100 && !QFileInfo::exists(target); ++i) {
        QTest::qWait(20);
    }
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_FALSE(QFileInfo::exists(FilePath(QStringLiteral("made"))));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(prompter.busyDepth, 0);
}

TEST_F(TextCommandsTest, FailureShowsErrorRunning) {
    Show({"Card", "tabellan-no-such-program --help"});
    Select(5, Text().size());
    window->Action(QStringLiteral("sbCardExecute"))->trigger();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text,
              "Error running:\r\ntabellan-no-such-program.\r\n\r\nNo such file or directory.");
    EXPECT_EQ(prompter.shown[0].buttons, Buttons::OkHelp);
    EXPECT_EQ(prompter.shown[0].helpContext, 480);
}

TEST_F(TextCommandsTest, LongCommandsShowOnOneLineShortenedInTheMiddle) {
    const QString tail = QStringLiteral("the-end.txt");
    QString command = QStringLiteral("xdg-open\t/home/me/");
    for (int i = 0; i < 20; ++i) {
        command += QStringLiteral("folder%1/").arg(i);
    }
    command += tail;
    Show({"Card", "x"});
    window->Memo()->setPlainText(QStringLiteral("Card\n") + command + QStringLiteral("\n&more"));
    Select(5, Text().size());
    OpenExecuteMenu();
    const QString caption = ExecuteCmd().text();
    EXPECT_FALSE(caption.contains('\t'));
    EXPECT_FALSE(caption.contains('\n'));
    EXPECT_TRUE(caption.startsWith("xdg-open /home/me/")) << caption.toStdString();
    EXPECT_TRUE(caption.endsWith(" &&more")) << caption.toStdString();
    EXPECT_TRUE(caption.contains(QChar(0x2026)));  // shortened in the middle
    EXPECT_LT(caption.size(), command.size() / 2);
    // The whole command, on one line, is the entry's tool tip; the command itself is kept.
    EXPECT_EQ(ExecuteCmd().toolTip(), QString(command).replace('\t', ' ') + " &more");
    EXPECT_EQ(Commands().PendingCommand(), (command + "\r\n&more").toStdString());
}

// An opener that complains like xdg-open after a while, or succeeds.
QString WriteOpener(const QString& path, const QString& body) {
    QFile script(path);
    EXPECT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(("#!/bin/sh\n" + body + "\n").toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

TEST_F(TextCommandsTest, TheOpenersFailureIsReportedInItsOwnWordsWithoutBlocking) {
    const QString opener = WriteOpener(
        FilePath("opener"),
        "sleep 0.4; echo \"xdg-open: no method available for opening '$1'\" >&2; exit 3");
    Show({"Card", QDir::tempPath().toStdString()});
    Commands().SetOpener(opener.toStdString());
    Caret(6);
    QElapsedTimer clock;
    clock.start();
    window->Action(QStringLiteral("sbCardExecute"))->trigger();
    EXPECT_LT(clock.elapsed(), 300);  // the window goes on while the opener works
    EXPECT_TRUE(prompter.shown.empty());
    for (int i = 0; i < 250 && prompter.shown.empty(); ++i) {
        QTest::qWait(20);
    }
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Error running:\r\n" + QDir::tempPath().toStdString() +
                                          ".\r\n\r\nxdg-open: no method available for opening '" +
                                          QDir::tempPath().toStdString() + "'.");
    EXPECT_EQ(prompter.shown[0].kind, MsgKind::Error);
    EXPECT_EQ(prompter.shown[0].buttons, Buttons::OkHelp);
    EXPECT_EQ(prompter.shown[0].helpContext, 480);
    EXPECT_EQ(prompter.busyDepth, 0);
}

TEST_F(TextCommandsTest, AnOpenerThatSucceedsSaysNothingAndAMissingOneIsNamed) {
    const QString marker = FilePath("opened");
    const QString opener = WriteOpener(FilePath("opener"), "echo \"$1\" > '" + marker + "'");
    Show({"Card", "https://example.org/a&b"});
    Commands().SetOpener(opener.toStdString());
    Caret(6);
    window->Action(QStringLiteral("sbCardExecute"))->trigger();
    for (int i = 0; i < 250 && !QFileInfo::exists(marker); ++i) {
        QTest::qWait(20);
    }
    QTest::qWait(100);
    EXPECT_TRUE(QFileInfo::exists(marker));
    EXPECT_TRUE(prompter.shown.empty());

    Commands().SetOpener(FilePath("no-opener").toStdString());
    window->Action(QStringLiteral("sbCardExecute"))->trigger();
    for (int i = 0; i < 250 && prompter.shown.empty(); ++i) {
        QTest::qWait(20);
    }
    ASSERT_EQ(prompter.shown.size(), 1u);
    // The message box shows each doubled "&" as one.
    EXPECT_EQ(prompter.shown[0].text,
              "Error running:\r\nhttps://example.org/a&&b.\r\n\r\n" +
                  FilePath("no-opener").toStdString() +
                  ", the program that opens documents and web addresses, is not installed.");
}

TEST_F(TextCommandsTest, F9TakesTheCommandFirstAndIsOffWithCommandExecOff) {
    Show({"Card", "tabellan-no-such-program"});
    auto* f9 = window->findChild<QShortcut*>(QStringLiteral("F9Execute"));
    ASSERT_NE(f9, nullptr);
    EXPECT_EQ(f9->key(), QKeySequence(Qt::Key_F9));
    EXPECT_EQ(ExecuteCmd().shortcut(), QKeySequence(Qt::Key_F9));  // shown in the menu
    Caret(7);
    window->UpdateEnablements();
    emit f9->activated();
    EXPECT_EQ(Commands().PendingCommand(), "tabellan-no-such-program");
    ASSERT_EQ(prompter.shown.size(), 1u);

    Show({"Card", "tabellan-no-such-program"}, 0, false);
    f9 = window->findChild<QShortcut*>(QStringLiteral("F9Execute"));
    Caret(7);
    window->UpdateEnablements();
    EXPECT_FALSE(window->Action(QStringLiteral("mnuCardExecute"))->isEnabled());
    EXPECT_FALSE(window->Action(QStringLiteral("sbCardExecute"))->isEnabled());
    prompter.shown.clear();
    emit f9->activated();
    EXPECT_TRUE(prompter.shown.empty());
}

}  // namespace
}  // namespace tabellan::test
