// The window's controls, their enablement, the divider and the window settings of a file.
#include <gtest/gtest.h>

#include <QAction>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <fstream>

#include "app/card_memo.h"
#include "app/command_table.h"
#include "app/enablement.h"
#include "app/font_mapping.h"
#include "app/help.h"
#include "app/index_list_view.h"
#include "support/window_fixture.h"

namespace tabellan::test {
namespace {

class WindowLayoutTest : public WindowTest {};

TEST_F(WindowLayoutTest, EveryControlOfTheEnablementTableExists) {
    Make();
    for (const EnablementEntry& entry : EnablementTable()) {
        EXPECT_NE(window->Action(QString::fromUtf8(entry.control.data(), entry.control.size())),
                  nullptr)
            << entry.control;
    }
}

TEST_F(WindowLayoutTest, ActionsFollowTheTableOnEachRefresh) {
    FileSettings s;
    s.quickSearch[2] = "i - A";
    const std::string path = WriteCards("a.csv", {{"A", "body"}, {"B"}}, s);
    Make({QString::fromStdString(path)});
    window->Doc().Settings().commandExec = false;
    window->UpdateEnablements();
    EXPECT_TRUE(window->Action("mnuSearchIndex")->isEnabled());
    EXPECT_TRUE(window->Action("mnuSearchItem3")->isEnabled());
    EXPECT_FALSE(window->Action("sbDeleteCard")->isEnabled());
    EXPECT_FALSE(window->Action("mnuEditSelectAll")->isEnabled());
    EXPECT_TRUE(window->Action("mnuFileSaveAs")->isEnabled());  // always offered

    window->SelectIndex(0);
    window->Doc().IndexListClick();
    window->UpdateEnablements();
    EXPECT_TRUE(window->Action("sbDeleteCard")->isEnabled());
    EXPECT_TRUE(window->Action("mnuPBSort")->isEnabled());
    EXPECT_FALSE(window->Action("mnuCardExecute")->isEnabled());  // CommandExec off
    EXPECT_TRUE(window->Action("mnuEditSelectAll")->isEnabled());
    EXPECT_FALSE(window->Action("mnuEditCut")->isEnabled());

    window->Action("mnuEditSelectAll")->trigger();
    window->UpdateEnablements();
    EXPECT_FALSE(window->Action("mnuEditSelectAll")->isEnabled());
    EXPECT_TRUE(window->Action("mnuEditCut")->isEnabled());
    EXPECT_TRUE(window->Action("mnuEditChangeCase")->isEnabled());
    EXPECT_TRUE(window->Action("mnuPBSortSelected")->isEnabled());

    window->Action("mnuEditDelete")->trigger();
    EXPECT_TRUE(window->Memo()->toPlainText().isEmpty());
    window->UpdateEnablements();
    window->Action("sbUndo")->trigger();
    EXPECT_EQ(window->Memo()->toPlainText(), "A\nbody");
}

TEST_F(WindowLayoutTest, ToolBarHasItsButtonsInOrderWithDividers) {
    Make();
    QStringList order;
    auto* toolBar = window->findChild<QToolBar*>("ToolBar");
    for (QAction* a : toolBar->actions()) {
        order << (a->isSeparator() ? QStringLiteral("|")
                                   : toolBar->widgetForAction(a)->objectName());
    }
    EXPECT_EQ(order.join(' '),
              "sbNew sbOpen sbSave sbSetup | sbCut sbCopy sbPaste sbUndo | sbSearchIndex "
              "sbSearchWholeFile sbSearchCurrentCard | sbAdd sbDeleteCard sbDuplicate sbRestore "
              "sbPrint sbCardInfo sbCardAutodial sbCardExecute | sbMobileInfo sbPBRead "
              "sbPBUpdate | sbHelpTopics");
    EXPECT_EQ(window->Action("sbCardInfo")->toolTip(), "Get Card Info");
    auto* button = window->findChild<QToolButton*>("sbNew");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->size(), QSize(25, 25));
    EXPECT_EQ(window->findChild<QToolBar*>("ToolBar")->height(), 31);
}

TEST_F(WindowLayoutTest, EachCommandIsOneActionSharedByMenuToolBarAndContextMenu) {
    Make();
    auto* toolBar = window->findChild<QToolBar*>("ToolBar");
    auto* popup = window->findChild<QMenu*>("PopupMenu1");
    ASSERT_NE(popup, nullptr);
    for (const CommandEntry& command : CommandTable()) {
        const QString name = QString::fromLatin1(command.name.data(), command.name.size());
        QAction* action = window->Action(name);
        ASSERT_NE(action, nullptr) << command.name;
        EXPECT_EQ(window->findChildren<QAction*>(name).size(), 1) << command.name;
        EXPECT_EQ(action->property(kHelpContextProperty).toInt(), command.help) << command.name;
        if (!command.button.empty()) {
            const QString button =
                QString::fromLatin1(command.button.data(), command.button.size());
            EXPECT_EQ(window->Action(button), action) << command.button;
            QWidget* widget = toolBar->widgetForAction(action);
            ASSERT_NE(widget, nullptr) << command.button;
            EXPECT_EQ(widget->objectName(), button);
            EXPECT_EQ(action->toolTip().toStdString(), command.hint);
        }
        if (!command.popup.empty()) {
            EXPECT_EQ(
                window->Action(QString::fromLatin1(command.popup.data(), command.popup.size())),
                action);
            EXPECT_TRUE(popup->actions().contains(action)) << command.popup;
        }
    }
}

TEST_F(WindowLayoutTest, TheContextMenuShowsItsOwnCaptionsWhileItIsOpen) {
    Make();
    auto* popup = window->findChild<QMenu*>("PopupMenu1");
    QAction* del = window->Action("pumnuDeleteCard");
    ASSERT_EQ(del, window->Action("mnuCardDelete"));
    EXPECT_EQ(del->text(), "&Delete");
    popup->popup(QPoint(10, 10));
    EXPECT_EQ(del->text(), "&Delete Card");
    EXPECT_EQ(window->Action("Find2")->text(), "Search &Indexes...");
    EXPECT_EQ(window->Action("FindCard2")->text(), "Search Whole &File...");
    EXPECT_EQ(window->Action("pumnuAdd")->text(), "&Add...");
    popup->close();
    EXPECT_EQ(del->text(), "&Delete");
    EXPECT_EQ(window->Action("mnuSearchIndex")->text(), "&Indexes...");
    EXPECT_EQ(window->Action("mnuSearchWholeFile")->text(), "Whole &File...");
}

TEST_F(WindowLayoutTest, MenusCarryCaptionsShortcutsAndStartStates) {
    Make();
    QStringList menus;
    for (QAction* a : window->menuBar()->actions()) {
        menus << a->text();
    }
    EXPECT_EQ(menus, (QStringList{"&File", "&Edit", "&Search", "&Card", "&Phonebook", "&Help"}));
    EXPECT_EQ(window->Action("mnuCardDelete")->shortcut(), QKeySequence("Ctrl+Del"));
    EXPECT_EQ(window->Action("mnuEditCap")->shortcut(), QKeySequence("Shift+Ctrl+F10"));
    EXPECT_EQ(window->Action("mnuSearchCurrentCard")->shortcut(), QKeySequence("Shift+F3"));
    EXPECT_EQ(window->Action("mnuCardExecuteCmd")->text(), "<Nothing>");
    EXPECT_FALSE(window->Action("mnuCardExecuteCmd")->isEnabled());
    EXPECT_FALSE(window->Action("mnuPBClosePort")->isEnabled());
    EXPECT_TRUE(window->Action("mnuPBSIMCard")->isChecked());
    EXPECT_FALSE(window->findChild<QAction*>("mnuSearchSep1")->isVisible());
}

TEST_F(WindowLayoutTest, DoubleClickOnTheDividerRestoresTheUsualDivision) {
    Make();
    ASSERT_EQ(window->ClientWidth(), 680);
    window->FormRearrangeControls(200, true, false);  // a drag to x = 200
    EXPECT_EQ(window->Panes(), (PaneWidths{185, 465}));
    QWidget* surface = window->centralWidget();
    QTest::mouseDClick(surface, Qt::LeftButton, {}, QPoint(200, 50));
    EXPECT_EQ(window->Panes(), (PaneWidths{400, 250}));
    EXPECT_EQ(window->Memo()->geometry().x(), 10);
    EXPECT_EQ(window->List()->geometry().x(), 420);
}

TEST_F(WindowLayoutTest, DraggingTheDividerMovesItUntilNearTheRightEdge) {
    Make();
    QWidget* surface = window->centralWidget();
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(415, 50));
    QMouseEvent move(QEvent::MouseMove, QPointF(315, 50), surface->mapToGlobal(QPointF(315, 50)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(surface, &move);
    EXPECT_EQ(window->Panes(), (PaneWidths{300, 350}));
    QMouseEvent late(QEvent::MouseMove, QPointF(670, 50), surface->mapToGlobal(QPointF(670, 50)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(surface, &late);
    EXPECT_EQ(window->Panes(), (PaneWidths{300, 350}));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(670, 50));
}

TEST_F(WindowLayoutTest, ResizingKeepsTheRatioOfThePanes) {
    Make();
    window->resize(1000, window->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(window->Panes(), (PaneWidths{597, 373}));
}

TEST_F(WindowLayoutTest, FileSettingsPlaceTheWindowAndASaveRecordsThem) {
    FileSettings s;
    s.clientWidth = 800;
    s.clientHeight = 500;
    s.left = 40;
    s.top = 30;
    s.cardWidth = 300;
    s.indexListAtRight = false;
    s.wordWrap = true;
    const std::string path = WriteCards("placed.csv", {{"A"}}, s);
    Make({QString::fromStdString(path)});
    EXPECT_EQ(window->ClientWidth(), 800);
    EXPECT_EQ(window->ClientHeight(), 500);
    EXPECT_EQ(window->Panes(), (PaneWidths{300, 470}));
    EXPECT_EQ(window->List()->geometry().x(), 10);  // index list at the left
    EXPECT_EQ(window->Memo()->geometry().x(), 490);
    EXPECT_EQ(window->Memo()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(window->Memo()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    window->FormRearrangeControls(0, false, true);  // double click: editor 8/13 again
    window->UpdateEnablements();
    FileSettings captured;
    window->CaptureWindowSettings(captured);
    EXPECT_EQ(captured.clientWidth, 800);
    EXPECT_EQ(captured.clientHeight, 500);
    EXPECT_EQ(captured.cardWidth, (800 - 29) * 8 / 13);
    EXPECT_FALSE(captured.indexListAtRight);

    // New keeps what the user arranged, but puts the list back at the right.
    window->Action("mnuFileNew")->trigger();
    EXPECT_EQ(window->ClientWidth(), 800);
    EXPECT_EQ(window->List()->geometry().x(), window->Panes().editor + 20);
    EXPECT_EQ(window->Memo()->lineWrapMode(), QPlainTextEdit::NoWrap);
}

// The header line of a card file as written.
std::string HeaderOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string header;
    std::getline(in, header);
    return header;
}

TEST_F(WindowLayoutTest, OpenSaveOpenLeavesTheWindowWhereItWas) {
    FileSettings s;
    s.clientWidth = 700;
    s.clientHeight = 400;
    s.left = 300;
    s.top = 250;
    const std::string path = WriteCards("placed.csv", {{"A"}}, s);
    Make({QString::fromStdString(path)});
    // Left and Top are the client area's edge; the window frame lies around it.
    EXPECT_EQ(window->geometry().topLeft(), QPoint(300, 250));
    const QPoint frame = window->pos();
    EXPECT_EQ(window->ClientWidth(), 700);
    EXPECT_EQ(window->ClientHeight(), 400);

    window->Doc().SaveCardFile();
    EXPECT_NE(HeaderOf(path).find("ClientHeight=400,ClientWidth=700,Top=250,Left=300,"),
              std::string::npos)
        << HeaderOf(path);
    Make({QString::fromStdString(path)});
    EXPECT_EQ(window->geometry().topLeft(), QPoint(300, 250));
    EXPECT_EQ(window->pos(), frame);

    // The user moves the window by its frame; the next save and open keep it there.
    window->move(frame + QPoint(120, -70));
    QCoreApplication::processEvents();
    const QRect moved = window->geometry();
    window->UpdateEnablements();
    window->Doc().SaveCardFile();
    Make({QString::fromStdString(path)});
    EXPECT_EQ(window->geometry(), moved);
    EXPECT_EQ(window->pos(), frame + QPoint(120, -70));

    // Opening the file again in the same window moves nothing either.
    window->UpdateEnablements();
    window->Doc().ReadCardFile(path);
    EXPECT_EQ(window->geometry(), moved);
}

TEST_F(WindowLayoutTest, MissingWindowsFontsMapToTheDesktopsFixedFont) {
    Make();
    const QFont font = window->Memo()->font();
    EXPECT_EQ(font.pixelSize(), 12);
    EXPECT_TRUE(DrawsEqualWidths(font)) << QFontInfo(font).family().toStdString();
    EXPECT_EQ(window->Doc().Settings().font.name, "Fixedsys");
    EXPECT_EQ(window->List()->font(), font);
}

TEST(FontMappingTest, FixedFacesMapToAFontThatDrawsEqualWidths) {
    EXPECT_TRUE(DrawsFixedPitch(QFont(FixedPitchFamily())));
    EXPECT_TRUE(DrawsEqualWidths(QFont(FixedPitchFamily()))) << FixedPitchFamily().toStdString();
    // A proportional font is told apart, whatever its metadata says.
    QFont proportional(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    if (!DrawsEqualWidths(proportional)) {
        EXPECT_FALSE(DrawsFixedPitch(proportional))
            << QFontInfo(proportional).family().toStdString();
    }
    for (const char* face : {"Courier New", "Fixedsys", "Terminal", "Lucida Console"}) {
        FontSpec spec;
        spec.name = face;
        spec.height = -13;
        const QFont font = FontFromSpec(spec);
        EXPECT_TRUE(DrawsEqualWidths(font))
            << face << " -> " << QFontInfo(font).family().toStdString();
        EXPECT_EQ(font.pixelSize(), 13);
    }
    // A face of any name with the fixed pitch flag.
    FontSpec unknown;
    unknown.name = "No Such Face 7";
    unknown.pitch = 2;
    EXPECT_TRUE(DrawsEqualWidths(FontFromSpec(unknown)));
}

}  // namespace
}  // namespace tabellan::test
