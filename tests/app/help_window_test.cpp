// The program's own help window: the help pages at the topic asked for, from the main window
// and from a modal message box, with no web browser involved.
#include "app/help_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

#include "app/command_table.h"
#include "app/dlg_frm.h"
#include "app/help.h"
#include "app/qt_prompter.h"
#include "cardfile/setup_checks.h"
#include "support/window_fixture.h"

namespace tabellan::test {
namespace {

class HelpWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        SetHelpOpener(nullptr);  // the program's own help window
    }
    void TearDown() override {
        SetHelpOpener([](const QUrl&) {});
        WindowTest::TearDown();
    }
    // The text of the first line shown at the top of the help window.
    static QString TopLine(const HelpWindow& help) {
        return help.Browser().cursorForPosition(QPoint(4, 4)).block().text();
    }
};

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

TEST_F(HelpWindowTest, HelpTopicsAndAContextOpenTheProgramsOwnHelpWindow) {
    Make();
    window->Action("mnuHelpTopics")->trigger();
    Settle();
    auto* help = window->findChild<HelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->isWindow());
    EXPECT_TRUE(QFile::exists(help->Browser().source().toLocalFile()));
    EXPECT_EQ(TopLine(*help), "Tabellan Help");

    ShowHelpContext(310);
    Settle();
    EXPECT_EQ(window->findChildren<HelpWindow*>().size(), 1);  // the same window again
    EXPECT_EQ(TopLine(*help), "Search Indexes (F4)");

    ShowHelpContext(990);  // near the end: scrolled as far as the page goes
    Settle();
    const QScrollBar* bar = help->Browser().verticalScrollBar();
    EXPECT_GT(bar->value(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    ShowHelpTopic(QString::fromLatin1(kHelpTopics));
    Settle();
    EXPECT_EQ(TopLine(*help), "Tabellan Help");
}

TEST_F(HelpWindowTest, AMessageBoxsHelpButtonShowsItsTopicWhileTheQuestionWaits) {
    Make();
    QtPrompter prompter(window.get(), {}, {});
    QString shown;
    bool ownedByTheBox = false;
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->button(QMessageBox::Help)->click();
    });
    QTimer::singleShot(200, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);  // the question is open again
        auto* help = box->findChild<HelpWindow*>();
        ownedByTheBox = help != nullptr && help->isVisible();
        if (help) {
            shown = TopLine(*help);
        }
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(prompter.Show(MsgKind::Information, "Total cards: 1", Buttons::OkHelp, 460),
              Answer::Ok);
    EXPECT_TRUE(ownedByTheBox);
    EXPECT_EQ(shown, "Information (Ctrl+I)");
}

TEST(HelpPagesTest, EveryHelpContextAndTopicHasItsPlaceInThePages) {
    QFile page(QDir(HelpDirectory()).filePath(QStringLiteral("index.html")));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    QSet<QString> anchors;
    static const QRegularExpression id(QStringLiteral("id=\"([^\"]+)\""));
    for (auto it = id.globalMatch(html); it.hasNext();) {
        anchors.insert(it.next().captured(1));
    }
    EXPECT_TRUE(anchors.contains(QString::fromLatin1(kHelpTopics)));
    for (const CommandEntry& command : CommandTable()) {
        if (command.help > 0) {
            EXPECT_TRUE(anchors.contains(QStringLiteral("h%1").arg(command.help))) << command.name;
        }
    }
    // Message boxes and dialogs.
    for (int context : {120, 130, 140, 150, 300, 460, 470, 480, 525, 910, 990}) {
        EXPECT_TRUE(anchors.contains(QStringLiteral("h%1").arg(context))) << context;
    }
    for (SetupTab tab : {SetupTab::FileSetup, SetupTab::QuickSearchItems, SetupTab::Autodial}) {
        EXPECT_TRUE(anchors.contains(QString::fromLatin1(SetupHelpTopic(tab))))
            << SetupHelpTopic(tab);
        EXPECT_TRUE(anchors.contains(QStringLiteral("h%1").arg(SetupHelpContext(tab))))
            << SetupHelpContext(tab);
    }
}

}  // namespace
}  // namespace tabellan::test
