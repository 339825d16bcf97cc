// Start-up and the user's settings: command line, drop, recent files, registry values,
// help and the commands that are not there yet.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "app/about_form.h"
#include "app/dlg_frm.h"
#include "app/help.h"
#include "app/index_list_view.h"
#include "app/recent_files.h"
#include "app/upd_info_form.h"
#include "support/window_fixture.h"

namespace tabellan::test {
namespace {

class StartupTest : public WindowTest {
  protected:
    int Rows() const { return window->List()->model()->rowCount(); }
    void Drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        // A drop reaches the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &enter);
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &drop);
    }
};

TEST_F(StartupTest, TwoParametersAreRefusedAndTheWindowStaysEmpty) {
    const std::string path = WriteCards("a.csv", {{"A"}});
    Make({QString::fromStdString(path), QString::fromStdString(path)});
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Too many command-line parameters!");
    EXPECT_EQ(prompter.shown[0].kind, MsgKind::Error);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(window->windowTitle(), "Tabellan");
}

TEST_F(StartupTest, UnknownExtensionIsNamedUpperCased) {
    Make({FilePath("notes.dat")});
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Unknown extension: .DAT");
    Make({FilePath("noext")});
    EXPECT_EQ(prompter.shown.back().text, "Unknown extension: ");
}

TEST_F(StartupTest, MissingFileFailsAndLeavesTheRecentListAlone) {
    Make({FilePath("gone.csv")});
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].kind, MsgKind::Error);
    EXPECT_FALSE(window->Recent().Any());
    EXPECT_EQ(window->windowTitle(), "Tabellan");
}

TEST_F(StartupTest, FirstDroppedFileIsOpenedAndTheRestIgnored) {
    const std::string a = WriteCards("a.csv", {{"A1"}, {"A2"}});
    const std::string b = WriteCards("b.csv", {{"B"}});
    Make();
    Drop({QUrl::fromLocalFile(QString::fromStdString(a)),
          QUrl::fromLocalFile(QString::fromStdString(b))});
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(window->windowTitle(), "Tabellan - a.csv");
    Drop({QUrl("https://example.org/x.csv")});  // not a file: nothing happens
    EXPECT_EQ(Rows(), 2);
}

TEST_F(StartupTest, RecentFilesAreReadCompactedAndWrittenAtEachChange) {
    {
        auto reg = Registry();
        reg->setValue("File1", "");
        reg->setValue("File2", "/a");
        reg->setValue("File3", "");
        reg->setValue("File4", "/b");
    }
    Make();
    EXPECT_EQ(window->Action("mnuFileItem1")->text(), "&1 /a");
    EXPECT_TRUE(window->Action("mnuFileItem2")->isVisible());
    EXPECT_EQ(window->Action("mnuFileItem2")->text(), "&2 /b");
    EXPECT_FALSE(window->Action("mnuFileItem3")->isVisible());
    EXPECT_TRUE(window->findChild<QAction*>("mnuFileSep3")->isVisible());
    EXPECT_TRUE(window->Action("mnuFileClearRecent")->isEnabled());

    const std::string c = WriteCards("c.csv", {{"C"}});
    window->Action("mnuFileItem1")->trigger();  // /a is missing: error, list unchanged
    EXPECT_EQ(window->Recent().Path(0), "/a");
    window->AddRecentFile(c);
    EXPECT_EQ(Registry()->value("File1").toString(), QString::fromStdString(c));
    EXPECT_EQ(Registry()->value("File2").toString(), "/a");
    EXPECT_EQ(Registry()->value("File3").toString(), "/b");

    window->Action("mnuFileClearRecent")->trigger();
    EXPECT_FALSE(window->Action("mnuFileClearRecent")->isEnabled());
    EXPECT_FALSE(window->findChild<QAction*>("mnuFileSep3")->isVisible());
    EXPECT_FALSE(window->Action("mnuFileItem1")->isVisible());
    EXPECT_EQ(Registry()->value("File1").toString(), "");
    EXPECT_TRUE(Registry()->contains("File4"));
}

TEST_F(StartupTest, FilesWhoseNamesDifferInLetterCaseAreTwoRecentEntries) {
    const std::string lower = WriteCards("contacts.csv", {{"a"}});
    const std::string upper = WriteCards("CONTACTS.csv", {{"A"}, {"B"}});
    Make({QString::fromStdString(lower)});
    window->Doc().ReadCardFile(upper);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(window->Recent().Path(0), QString::fromStdString(upper));
    EXPECT_EQ(window->Recent().Path(1), QString::fromStdString(lower));
    window->Doc().ReadCardFile(lower);
    EXPECT_EQ(window->Recent().Path(0), QString::fromStdString(lower));
    EXPECT_EQ(window->Recent().Path(1), QString::fromStdString(upper));
    EXPECT_TRUE(window->Recent().Path(2).isEmpty());
}

TEST_F(StartupTest, CommPortAndSearchItemsAreReadAtStartAndWrittenAtExit) {
    {
        auto reg = Registry();
        reg->setValue("CommPort", "COM3");
        reg->setValue("SS2", "f - Smith & Co");
        reg->setValue("SS5", "stale");
        reg->setValue("Top", "5");
    }
    Make();
    EXPECT_EQ(window->CommPort(), 1);
    EXPECT_FALSE(Registry()->contains("Top"));
    QAction* item2 = window->Action("mnuSearchItem2");
    EXPECT_TRUE(item2->isVisible());
    EXPECT_EQ(item2->text(), "&2 f - Smith && Co");
    EXPECT_FALSE(window->Action("mnuSearchItem1")->isVisible());
    EXPECT_TRUE(window->findChild<QAction*>("mnuSearchSep1")->isVisible());

    window->Doc().Settings().quickSearch[4].clear();
    window->Doc().Settings().quickSearch[8] = "i - Z";
    window.reset();
    auto reg = Registry();
    EXPECT_EQ(reg->value("SS2").toString(), "f - Smith & Co");
    EXPECT_FALSE(reg->contains("SS5"));
    EXPECT_EQ(reg->value("SS9").toString(), "i - Z");
    EXPECT_EQ(reg->value("CommPort").toString(), "1");

    reg->setValue("CommPort", "7");
    reg->sync();
    Make();
    EXPECT_EQ(window->CommPort(), 7);
}

TEST_F(StartupTest, AnOldQuirnelConfIsTakenIntoTheSettingsFileOnce) {
    Registry()->setValue("SS1", "i - Kept");
    const std::string conf = dir.File("config/Velmorn/Quirnel.conf");
    WriteBytes(conf, "[General]\nCommPort=4\nSS1=i - Old\nCommDevice4=/dev/ttyUSB1\n");
    Make();
    EXPECT_EQ(window->CommPort(), 4);
    EXPECT_EQ(window->Action("mnuSearchItem1")->text(), "&1 i - Kept");
    EXPECT_FALSE(Exists(conf));
    // The window and the phone's port lookup share one file.
    const auto reg = Registry();
    EXPECT_EQ(reg->fileName().toStdString(), dir.File("config/Velmorn/Quirnel.ini"));
    EXPECT_EQ(reg->value("CommDevice4").toString(), "/dev/ttyUSB1");
}

QUrl g_lastHelp;

TEST_F(StartupTest, HelpOpensTheTopicsAndTheContextOfTheFocusedMenu) {
    SetHelpOpener([](const QUrl& url) { g_lastHelp = url; });
    Make();
    window->Action("mnuHelpTopics")->trigger();
    EXPECT_EQ(g_lastHelp.fragment(), "H_TOPICS");
    EXPECT_TRUE(QFile::exists(g_lastHelp.toLocalFile()));
    EXPECT_EQ(window->Action("mnuFileSave")->property(kHelpContextProperty).toInt(), 130);
    EXPECT_EQ(window->Action("mnuEditCopyASCII")->property(kHelpContextProperty).toInt(), 235);
    EXPECT_EQ(window->Action("mnuPBSortAll")->property(kHelpContextProperty).toInt(), 570);

    auto* menu = window->findChild<QMenu*>("mnuCard");
    menu->popup(QPoint(10, 10));
    menu->setActiveAction(window->Action("mnuCardDuplicate"));
    QTest::keyClick(menu, Qt::Key_F1);
    EXPECT_EQ(g_lastHelp.fragment(), "h430");
    menu->close();
    SetHelpOpener([](const QUrl&) {});
}

TEST_F(StartupTest, FOneInThePasswordAndUpdateDialogsOpensTheirOwnHelp) {
    SetHelpOpener([](const QUrl& url) { g_lastHelp = url; });
    Make();
    TDlgFrm password(prompter, window.get());
    password.Setup("Password", "Enter password:", "");
    password.setWindowModality(Qt::ApplicationModal);  // as when it asks
    password.show();
    g_lastHelp.clear();
    QTest::keyClick(password.findChild<QLineEdit*>("Edit1"), Qt::Key_F1);
    EXPECT_EQ(g_lastHelp.fragment(), "h120");
    EXPECT_TRUE(password.isVisible());  // F1 does not answer the dialog
    password.close();

    TUpdInfoForm confirmation(window.get());
    confirmation.setWindowModality(Qt::ApplicationModal);
    confirmation.show();
    g_lastHelp.clear();
    QTest::keyClick(confirmation.findChild<QListWidget*>("ListBoxDelete"), Qt::Key_F1);
    EXPECT_EQ(g_lastHelp.fragment(), "h550");
    confirmation.close();
    SetHelpOpener([](const QUrl&) {});
}

TEST_F(StartupTest, HelpPageHasAnAnchorForEveryHelpContext) {
    Make();
    QFile page(HelpContextUrl(110).toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    EXPECT_TRUE(html.contains("id=\"H_TOPICS\""));
    for (QAction* action : window->findChildren<QAction*>()) {
        const int context = action->property(kHelpContextProperty).toInt();
        if (context > 0) {
            EXPECT_TRUE(html.contains(QStringLiteral("id=\"h%1\"").arg(context)))
                << action->objectName().toStdString();
        }
    }
}

TEST_F(StartupTest, AboutBoxNamesProgramVersionSystemPathAndParameters) {
    const QStringList lines = AboutLines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], "Tabellan");
    EXPECT_EQ(lines[1], "Version 1.24");
    EXPECT_TRUE(lines[2].contains(QSysInfo::prettyProductName()));
    EXPECT_TRUE(lines[3].contains(QCoreApplication::applicationFilePath()));
    EXPECT_TRUE(lines[4].startsWith("Parameters:"));
}

}  // namespace
}  // namespace tabellan::test
