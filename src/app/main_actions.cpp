#include "app/main_actions.h"

#include <QAction>
#include <QActionGroup>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <stdexcept>

#include "app/card_editor_adapter.h"
#include "app/command_table.h"
#include "app/help.h"
#include "app/tool_icons.h"

namespace tabellan {

namespace {

constexpr int kButtonSize = 25;

QString Name(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

MainActions::MainActions(QMainWindow& window, QToolBar& toolBar, Guard guard,
                         std::function<void()> refresh)
    : QObject(&window),
      window_(window),
      toolBar_(toolBar),
      guard_(std::move(guard)),
      refresh_(std::move(refresh)) {
    setObjectName(QStringLiteral("MainActions"));
    for (const CommandEntry& command : CommandTable()) {
        CreateAction(command);
    }
    CreateMenus();
    CreateToolBar();
    CreatePopup();

    // States at start.
    Command("mnuCardExecuteCmd").setEnabled(false);
    Command("mnuPBClosePort").setEnabled(false);
    auto* storage = new QActionGroup(this);
    for (const char* name : {"mnuPBSIMCard", "mnuPBMobile", "mnuPBOther"}) {
        QAction& a = Command(name);
        a.setCheckable(true);
        storage->addAction(&a);
    }
    Command("mnuPBSIMCard").setChecked(true);
    for (int i = 1; i <= 4; ++i) {
        Command(QStringLiteral("mnuFileItem%1").arg(i).toStdString()).setVisible(false);
    }
    for (int i = 0; i < kQuickSearchSlots; ++i) {
        searchItems_[static_cast<std::size_t>(i)] =
            &Command(QStringLiteral("mnuSearchItem%1").arg(i + 1).toStdString());
        searchItems_[static_cast<std::size_t>(i)]->setVisible(false);
    }
}

void MainActions::CreateAction(const CommandEntry& command) {
    QAction* action = nullptr;
    if (command.submenu) {
        auto* menu = new QMenu(Name(command.caption), &window_);
        menu->setObjectName(Name(command.name));
        SetHelpContext(menu, command.help);
        menu->installEventFilter(this);
        action = menu->menuAction();
    } else {
        action = new QAction(Name(command.caption), &window_);
        if (command.shortcut != 0) {
            action->setShortcut(QKeySequence(command.shortcut));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        // The context menu shows no shortcuts, as it never did.
        action->setShortcutVisibleInContextMenu(false);
        window_.addAction(action);  // shortcuts work while the menus are closed
    }
    action->setObjectName(Name(command.name));
    SetHelpContext(action, command.help);
    if (!command.button.empty()) {
        action->setIcon(
            ToolIcon(command.glyph, toolBar_.palette().color(toolBar_.backgroundRole())));
        action->setIconVisibleInMenu(false);
        action->setToolTip(Name(command.hint));
    }
    if (command.rule) {
        enablement_.emplace_back(action, *command.rule);
    }
    for (const std::string_view control : {command.name, command.button, command.popup}) {
        if (!control.empty()) {
            byName_.emplace_back(Name(control), action);
        }
    }
    if (!command.popupCaption.empty()) {
        popupCaptions_.emplace_back(action, Name(command.popupCaption));
    }
}

QAction* MainActions::Action(const QString& name) const {
    for (const auto& [control, action] : byName_) {
        if (control == name) {
            return action;
        }
    }
    return nullptr;
}

QAction& MainActions::Command(std::string_view name) const {
    QAction* action = Action(Name(name));
    if (!action) {
        throw std::logic_error("no command " + std::string(name));
    }
    return *action;
}

QMenu& MainActions::Menu(const QString& name) const {
    auto* menu = window_.findChild<QMenu*>(name);
    if (!menu) {
        throw std::logic_error("no menu " + name.toStdString());
    }
    return *menu;
}

void MainActions::OnTriggered(std::string_view name, std::function<void()> handler) {
    connect(&Command(name), &QAction::triggered, this,
            [this, handler = std::move(handler)] { guard_(handler); });
}

void MainActions::ApplyEnablement(const Enablement& enabled) {
    for (const auto& [action, rule] : enablement_) {
        action->setEnabled(Enabled(enabled, rule));
    }
}

void MainActions::ShowQuickSearchMenu(const QuickSearchMenu& menu, CodePage cp) {
    for (std::size_t i = 0; i < searchItems_.size(); ++i) {
        searchItems_[i]->setText(AnsiToQString(menu.entries[i].caption, cp));
        searchItems_[i]->setVisible(menu.entries[i].visible);
    }
    searchSep1_->setVisible(menu.separatorVisible);
}

// --- menus ---

QMenu* MainActions::CreateMenu(QMenu* parent, const char* name, const QString& caption, int help) {
    QMenu* menu = parent ? parent->addMenu(caption) : window_.menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    SetHelpContext(menu, help);
    menu->installEventFilter(this);
    return menu;
}

void MainActions::AddEntries(QMenu* menu, std::initializer_list<std::string_view> entries) {
    for (const std::string_view entry : entries) {
        if (entry.starts_with('|')) {
            QAction* separator = menu->addSeparator();
            if (entry.size() > 1) {
                separator->setObjectName(Name(entry.substr(1)));
            }
        } else {
            menu->addAction(&Command(entry));
        }
    }
}

QMenu* MainActions::Submenu(QMenu* parent, std::string_view command,
                            std::initializer_list<std::string_view> entries) {
    QMenu& menu = Menu(Name(command));
    parent->addMenu(&menu);
    AddEntries(&menu, entries);
    return &menu;
}

void MainActions::CreateMenus() {
    QMenu* file = CreateMenu(nullptr, "mnuFile", QStringLiteral("&File"), 100);
    AddEntries(file, {"mnuFileNew", "mnuFileOpen", "mnuFileSave", "mnuFileSaveAs", "|mnuFileSep1",
                      "mnuFileSetup", "|mnuFileSep2", "mnuFilePrint", "mnuFilePrintSetup",
                      "mnuFileClearRecent", "|mnuFileSep3", "mnuFileItem1", "mnuFileItem2",
                      "mnuFileItem3", "mnuFileItem4", "|mnuFileSep4", "mnuFileExit"});
    fileSep3_ = window_.findChild<QAction*>(QStringLiteral("mnuFileSep3"));
    fileSep3_->setVisible(false);

    QMenu* edit = CreateMenu(nullptr, "mnuEdit", QStringLiteral("&Edit"), 200);
    AddEntries(edit, {"mnuEditUndo", "|", "mnuEditCut", "mnuEditCopy", "mnuEditCopyASCII",
                      "mnuEditPaste", "mnuEditPasteRndStr", "mnuEditDelete"});
    Submenu(edit, "mnuEditChangeCase", {"mnuEditLC", "mnuEditUC", "mnuEditTC", "mnuEditCap"});
    AddEntries(edit, {"|", "mnuEditSelectAll"});

    QMenu* search = CreateMenu(nullptr, "mnuSearch", QStringLiteral("&Search"), 300);
    AddEntries(search, {"mnuSearchIndex", "mnuSearchWholeFile", "mnuSearchCurrentCard", "|",
                        "mnuQuickSearchItems", "|mnuSearchSep1", "mnuSearchItem1", "mnuSearchItem2",
                        "mnuSearchItem3", "mnuSearchItem4", "mnuSearchItem5", "mnuSearchItem6",
                        "mnuSearchItem7", "mnuSearchItem8", "mnuSearchItem9"});
    searchSep1_ = window_.findChild<QAction*>(QStringLiteral("mnuSearchSep1"));
    searchSep1_->setVisible(false);

    // The Card and Phonebook menus rely on the timer's refresh.
    for (QMenu* menu : {file, edit, search}) {
        connect(menu, &QMenu::aboutToShow, this, [this] { guard_(refresh_); });
    }

    QMenu* card = CreateMenu(nullptr, "mnuCard", QStringLiteral("&Card"), 400);
    AddEntries(card, {"mnuCardAdd", "mnuCardDelete", "mnuCardDuplicate", "mnuCardRestore", "|",
                      "mnuCardPrint", "mnuCardInfo", "mnuCardAutodial"});
    Submenu(card, "mnuCardExecute", {"mnuCardExecuteCmd"});

    QMenu* phonebook = CreateMenu(nullptr, "mnuPB", QStringLiteral("&Phonebook"), 500);
    AddEntries(phonebook, {"mnuPBReopenPort", "mnuPBClosePort", "|"});
    Submenu(phonebook, "mnuPBMemoryStorage", {"mnuPBSIMCard", "mnuPBMobile", "mnuPBOther"});
    AddEntries(phonebook, {"mnuPBMobileInfo", "|", "mnuPBSelectEntries", "mnuPBRead", "mnuPBUpdate",
                           "|", "mnuPBReseq"});
    Submenu(phonebook, "mnuPBSort", {"mnuPBSortAll", "mnuPBSortSelected"});

    QMenu* help = CreateMenu(nullptr, "mnuHelp", QStringLiteral("&Help"), 900);
    AddEntries(help, {"mnuHelpTopics", "|", "mnuHelpAbout"});
}

void MainActions::CreateToolBar() {
    for (const std::string_view button : ToolBarLayout()) {
        if (button == "|") {
            toolBar_.addSeparator();
            continue;
        }
        QAction& action = Command(button);
        toolBar_.addAction(&action);
        if (QWidget* widget = toolBar_.widgetForAction(&action)) {
            widget->setObjectName(Name(button));
            widget->setFixedSize(kButtonSize, kButtonSize);
        }
    }
}

void MainActions::CreatePopup() {
    popup_ = new QMenu(&window_);
    popup_->setObjectName(QStringLiteral("PopupMenu1"));
    SetHelpContext(popup_, 910);
    popup_->installEventFilter(this);
    for (const std::string_view entry : PopupLayout()) {
        if (entry == "|") {
            popup_->addSeparator();
        } else {
            popup_->addAction(&Command(entry));
        }
    }
    // Three entries are captioned otherwise than in the menu bar: while the context menu is
    // open, their shared actions carry its captions.
    const auto swapCaptions = [this] {
        for (auto& [action, caption] : popupCaptions_) {
            const QString shown = action->text();
            action->setText(caption);
            caption = shown;
        }
    };
    connect(popup_, &QMenu::aboutToShow, this, swapCaptions);
    connect(popup_, &QMenu::aboutToHide, this, swapCaptions);
}

void MainActions::ShowPopup(const QPoint& globalPos) {
    guard_(refresh_);
    popup_->exec(globalPos);
}

bool MainActions::eventFilter(QObject* watched, QEvent* e) {
    auto* menu = qobject_cast<QMenu*>(watched);
    if (menu && e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F1) {
        QObject* focus = menu->activeAction() ? static_cast<QObject*>(menu->activeAction())
                                              : static_cast<QObject*>(menu);
        ShowHelpContext(HelpContextOf(focus));
        return true;
    }
    return QObject::eventFilter(watched, e);
}

}  // namespace tabellan
