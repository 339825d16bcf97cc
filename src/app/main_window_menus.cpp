// The main window's controls, menus, tool bar and context menu.
#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/card_memo.h"
#include "app/card_printer.h"
#include "app/enablement.h"
#include "app/help.h"
#include "app/index_list_model.h"
#include "app/index_list_view.h"
#include "app/main_window.h"
#include "app/search_commands.h"
#include "app/setup_form.h"
#include "app/text_commands.h"
#include "app/tool_icons.h"
#include "cardfile/prompter.h"

namespace tabellan {

namespace {

constexpr int kToolBarHeight = 31;
constexpr int kButtonSize = 25;
constexpr int kStatusPanelWidths[2] = {240, 50};

QString WithoutAccelerator(QString caption) {
    caption.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    caption.replace(QLatin1String("&&"), QLatin1String("&"));
    if (caption.endsWith(QLatin1String("..."))) {
        caption.chop(3);
    }
    return caption;
}

}  // namespace

void TMainForm::Register(QObject* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    if (auto* action = qobject_cast<QAction*>(object)) {
        actions_.insert(object->objectName(), action);
    }
}

QAction* TMainForm::Action(const QString& name) const {
    return actions_.value(name);
}

QAction* TMainForm::AddAction(QMenu* menu, const char* name, const QString& caption,
                              const QKeySequence& shortcut, int help,
                              const std::function<void()>& handler) {
    auto* action = new QAction(caption, this);
    Register(action, name);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    SetHelpContext(action, help);
    if (handler) {
        connect(action, &QAction::triggered, this, [this, handler] { RunCommand(handler); });
    }
    menu->addAction(action);
    addAction(action);  // shortcuts work while the menu bar is closed
    return action;
}

QMenu* TMainForm::AddSubMenu(QMenu* parent, const char* name, const QString& caption, int help) {
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    SetHelpContext(menu, help);
    SetHelpContext(menu->menuAction(), help);
    Register(menu->menuAction(), name);
    menu->installEventFilter(this);
    return menu;
}

void TMainForm::NotAvailableYet(const QString& caption) {
    const QString text = WithoutAccelerator(caption) + QStringLiteral(" is not available yet.");
    prompter_->Show(MsgKind::Information, QStringToAnsi(text, CurrentCodePage()), Buttons::Ok);
}

void TMainForm::CreateControls() {
    surface_ = new QWidget(this);
    surface_->setObjectName(QStringLiteral("Surface"));
    surface_->setMouseTracking(true);
    surface_->installEventFilter(this);
    setCentralWidget(surface_);

    cardMemo_ = new CardMemo(surface_);
    cardMemo_->setObjectName(QStringLiteral("CardMemo"));
    cardMemo_->SetCapacity(static_cast<int>(kMaxCardTextLength));
    cardMemo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    cardMemo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    cardMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    cardMemo_->setUndoRedoEnabled(true);
    cardMemo_->setEnabled(false);
    cardMemo_->setFrameShape(QFrame::NoFrame);
    cardMemo_->installEventFilter(this);
    // The selection stays visible while the list has the focus.
    QPalette memoPalette = cardMemo_->palette();
    memoPalette.setColor(QPalette::Inactive, QPalette::Highlight,
                         memoPalette.color(QPalette::Active, QPalette::Highlight));
    memoPalette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         memoPalette.color(QPalette::Active, QPalette::HighlightedText));
    cardMemo_->setPalette(memoPalette);
    editor_ = std::make_unique<CardEditorAdapter>(*cardMemo_);

    indexList_ = new IndexListView(surface_);
    indexList_->setObjectName(QStringLiteral("IndexList"));
    indexList_->setContextMenuPolicy(Qt::CustomContextMenu);
    indexList_->installEventFilter(this);

    toolBar_ = new QToolBar(QStringLiteral("ToolBar"), this);
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setFixedHeight(kToolBarHeight);
    toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, toolBar_);

    for (int i = 0; i < 2; ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFixedWidth(kStatusPanelWidths[i]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        statusPanels_[i] = panel;
        statusBar()->addWidget(panel);
    }
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setSizeGripEnabled(true);

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(300);
    connect(timer1_, &QTimer::timeout, this,
            [this] { RunCommand([this] { UpdateEnablements(); }); });
}

void TMainForm::CreateMenus() {
    CreateFileMenu();
    CreateEditMenu();
    CreateSearchMenu();
    CreateCardMenu();
    CreatePhonebookMenu();
    CreateHelpMenu();
}

void TMainForm::CreateFileMenu() {
    QMenu* m = menuBar()->addMenu(QStringLiteral("&File"));
    m->setObjectName(QStringLiteral("mnuFile"));
    SetHelpContext(m, 100);
    m->installEventFilter(this);
    connect(m, &QMenu::aboutToShow, this, [this] { RunCommand([this] { UpdateEnablements(); }); });
    AddAction(m, "mnuFileNew", QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N), 110,
              [this] { document_->ClearAllCards(); });
    AddAction(m, "mnuFileOpen", QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O), 120,
              [this] { OpenCardFile(); });
    AddAction(m, "mnuFileSave", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), 130,
              [this] { document_->SaveCardFile(); });
    AddAction(m, "mnuFileSaveAs", QStringLiteral("Save &As..."), {}, 140,
              [this] { document_->SaveAsCardFile(); });
    m->addSeparator()->setObjectName(QStringLiteral("mnuFileSep1"));
    AddAction(m, "mnuFileSetup", QStringLiteral("S&etup..."), {}, 150,
              [this] { setupForm_->SetupClick(SetupTab::FileSetup); });
    m->addSeparator()->setObjectName(QStringLiteral("mnuFileSep2"));
    AddAction(m, "mnuFilePrint", QStringLiteral("&Print..."), {}, 160,
              [this] { cardPrinter_->mnuFilePrintClick(); });
    AddAction(m, "mnuFilePrintSetup", QStringLiteral("P&rint Setup..."), {}, 170,
              [this] { cardPrinter_->mnuFilePrintSetupClick(); });
    AddAction(m, "mnuFileClearRecent", QStringLiteral("&Clear Recent"), {}, 180,
              [this] { mnuFileClearRecentClick(); });
    fileSep3_ = m->addSeparator();
    fileSep3_->setObjectName(QStringLiteral("mnuFileSep3"));
    fileSep3_->setVisible(false);
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        const QByteArray name = QStringLiteral("mnuFileItem%1").arg(i + 1).toLatin1();
        fileItems_[i] = AddAction(m, name.constData(), QStringLiteral("&%1 ").arg(i + 1), {}, 0,
                                  [this, i] { FileItemClick(i); });
        fileItems_[i]->setVisible(false);
    }
    m->addSeparator()->setObjectName(QStringLiteral("mnuFileSep4"));
    AddAction(m, "mnuFileExit", QStringLiteral("E&xit"), {}, 190, [this] { close(); });
}

void TMainForm::CreateEditMenu() {
    QMenu* m = menuBar()->addMenu(QStringLiteral("&Edit"));
    m->setObjectName(QStringLiteral("mnuEdit"));
    SetHelpContext(m, 200);
    m->installEventFilter(this);
    connect(m, &QMenu::aboutToShow, this, [this] { RunCommand([this] { UpdateEnablements(); }); });
    AddAction(m, "mnuEditUndo", QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), 210,
              [this] { mnuEditUndoClick(); });
    m->addSeparator();
    AddAction(m, "mnuEditCut", QStringLiteral("Cu&t"), {}, 220, [this] { CutToClipboard(); });
    AddAction(m, "mnuEditCopy", QStringLiteral("&Copy"), {}, 230, [this] { CopyToClipboard(); });
    AddAction(m, "mnuEditCopyASCII", QStringLiteral("Copy &ASCII"), {}, 235,
              [this] { textCommands_->CopyToClipboardASCII(); });
    AddAction(m, "mnuEditPaste", QStringLiteral("&Paste"), {}, 240,
              [this] { PasteFromClipboard(); });
    AddAction(m, "mnuEditPasteRndStr", QStringLiteral("Paste &Random String"),
              QKeySequence(Qt::CTRL | Qt::Key_R), 245,
              [this] { textCommands_->mnuEditPasteRndStrClick(); });
    AddAction(m, "mnuEditDelete", QStringLiteral("&Delete"), {}, 250,
              [this] { mnuEditDeleteClick(); });
    QMenu* changeCase = AddSubMenu(m, "mnuEditChangeCase", QStringLiteral("Change Ca&se"), 255);
    const struct {
        const char* name;
        const char* caption;
        QKeySequence key;
        CaseMode mode;
    } cases[] = {
        {"mnuEditLC", "&lowercase", QKeySequence(Qt::Key_F10), CaseMode::Lower},
        {"mnuEditUC", "&UPPERCASE", QKeySequence(Qt::SHIFT | Qt::Key_F10), CaseMode::Upper},
        {"mnuEditTC", "&tOGGLE cASE", QKeySequence(Qt::CTRL | Qt::Key_F10), CaseMode::Toggle},
        {"mnuEditCap", "&Capitalize", QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_F10),
         CaseMode::Capitalize},
    };
    for (const auto& c : cases) {
        const QString caption = QString::fromLatin1(c.caption);
        AddAction(changeCase, c.name, caption, c.key, 255,
                  [this, mode = c.mode] { textCommands_->mnuEditChangeCaseClick(mode); });
    }
    m->addSeparator();
    AddAction(m, "mnuEditSelectAll", QStringLiteral("Select &All"),
              QKeySequence(Qt::CTRL | Qt::Key_A), 260, [this] { mnuEditSelectAllClick(); });
}

void TMainForm::CreateSearchMenu() {
    QMenu* m = menuBar()->addMenu(QStringLiteral("&Search"));
    m->setObjectName(QStringLiteral("mnuSearch"));
    SetHelpContext(m, 300);
    m->installEventFilter(this);
    connect(m, &QMenu::aboutToShow, this, [this] { RunCommand([this] { UpdateEnablements(); }); });
    AddAction(m, "mnuSearchIndex", QStringLiteral("&Indexes..."), QKeySequence(Qt::Key_F4), 310,
              [this] { search_->mnuSearchFindClick(SearchScope::Indexes); });
    AddAction(m, "mnuSearchWholeFile", QStringLiteral("Whole &File..."), QKeySequence(Qt::Key_F3),
              320, [this] { search_->mnuSearchFindClick(SearchScope::WholeFile); });
    AddAction(m, "mnuSearchCurrentCard", QStringLiteral("Current &Card..."),
              QKeySequence(Qt::SHIFT | Qt::Key_F3), 330,
              [this] { search_->mnuSearchFindClick(SearchScope::CurrentCard); });
    m->addSeparator();
    AddAction(m, "mnuQuickSearchItems", QStringLiteral("&Quick Search Items..."),
              QKeySequence(Qt::Key_F6), 340,
              [this] { setupForm_->SetupClick(SetupTab::QuickSearchItems); });
    searchSep1_ = m->addSeparator();
    searchSep1_->setObjectName(QStringLiteral("mnuSearchSep1"));
    searchSep1_->setVisible(false);
    for (int i = 0; i < 9; ++i) {
        const QByteArray name = QStringLiteral("mnuSearchItem%1").arg(i + 1).toLatin1();
        searchItems_[i] = AddAction(m, name.constData(), QStringLiteral("&%1").arg(i + 1), {}, 340,
                                    [this, i] { search_->SearchItemClick(i); });
        searchItems_[i]->setVisible(false);
    }
}

void TMainForm::CreateCardMenu() {
    QMenu* m = menuBar()->addMenu(QStringLiteral("&Card"));
    m->setObjectName(QStringLiteral("mnuCard"));
    SetHelpContext(m, 400);
    m->installEventFilter(this);
    AddAction(m, "mnuCardAdd", QStringLiteral("&Add..."), QKeySequence(Qt::Key_F7), 410,
              [this] { document_->AddCard(); });
    AddAction(m, "mnuCardDelete", QStringLiteral("&Delete"),
              QKeySequence(Qt::CTRL | Qt::Key_Delete), 420, [this] { document_->DeleteCard(); });
    AddAction(m, "mnuCardDuplicate", QStringLiteral("Du&plicate"), {}, 430,
              [this] { document_->DuplicateCard(); });
    AddAction(m, "mnuCardRestore", QStringLiteral("&Restore"), {}, 440,
              [this] { document_->RestoreCard(); });
    m->addSeparator();
    AddAction(m, "mnuCardPrint", QStringLiteral("Pr&int"), QKeySequence(Qt::CTRL | Qt::Key_P), 450,
              [this] { cardPrinter_->mnuCardPrintClick(); });
    AddAction(m, "mnuCardInfo", QStringLiteral("I&nformation..."),
              QKeySequence(Qt::CTRL | Qt::Key_I), 460,
              [this] { textCommands_->mnuCardInfoClick(); });
    AddAction(m, "mnuCardAutodial", QStringLiteral("Au&todial..."), QKeySequence(Qt::Key_F8), 470,
              [this] { setupForm_->SetupClick(SetupTab::Autodial); });
    QMenu* execute = AddSubMenu(m, "mnuCardExecute", QStringLiteral("&Execute"), 480);
    QAction* cmd = AddAction(execute, "mnuCardExecuteCmd", QStringLiteral("<Nothing>"),
                             QKeySequence(Qt::Key_F9), 480,
                             [this] { textCommands_->mnuCardExecuteCmdClick(); });
    cmd->setEnabled(false);
}

void TMainForm::CreatePhonebookMenu() {
    QMenu* m = menuBar()->addMenu(QStringLiteral("&Phonebook"));
    m->setObjectName(QStringLiteral("mnuPB"));
    SetHelpContext(m, 500);
    m->installEventFilter(this);
    auto later = [this](const QString& caption) {
        return [this, caption] { NotAvailableYet(caption); };
    };
    AddAction(m, "mnuPBReopenPort", QStringLiteral("(Re)Open &Port..."), {}, 510,
              later(QStringLiteral("(Re)Open &Port...")));
    AddAction(m, "mnuPBClosePort", QStringLiteral("&Close Port"), {}, 515,
              later(QStringLiteral("&Close Port")))
        ->setEnabled(false);
    m->addSeparator();
    QMenu* storage = AddSubMenu(m, "mnuPBMemoryStorage", QStringLiteral("&Memory Storage"), 520);
    auto* group = new QActionGroup(this);
    const struct {
        const char* name;
        const char* caption;
    } storages[] = {{"mnuPBSIMCard", "SIM Card (&SM)"},
                    {"mnuPBMobile", "Phone (&ME)"},
                    {"mnuPBOther", "&Other..."}};
    for (const auto& s : storages) {
        const QString caption = QString::fromLatin1(s.caption);
        QAction* a = AddAction(storage, s.name, caption, {}, 520, later(caption));
        a->setCheckable(true);
        group->addAction(a);
    }
    Action(QStringLiteral("mnuPBSIMCard"))->setChecked(true);
    AddAction(m, "mnuPBMobileInfo", QStringLiteral("Mobile &Information..."), {}, 525,
              later(QStringLiteral("Mobile &Information...")));
    m->addSeparator();
    AddAction(m, "mnuPBSelectEntries", QStringLiteral("Select &Entries"), {}, 530,
              later(QStringLiteral("Select &Entries")));
    AddAction(m, "mnuPBRead", QStringLiteral("&Read"), {}, 540,
              later(QStringLiteral("&Read Phonebook")));
    AddAction(m, "mnuPBUpdate", QStringLiteral("&Update..."), QKeySequence(Qt::Key_F5), 550,
              later(QStringLiteral("&Update Phonebook...")));
    m->addSeparator();
    AddAction(m, "mnuPBReseq", QStringLiteral("Re&sequence..."), {}, 560,
              later(QStringLiteral("Re&sequence...")));
    QMenu* sort = AddSubMenu(m, "mnuPBSort", QStringLiteral("S&ort Names"), 570);
    AddAction(sort, "mnuPBSortAll", QStringLiteral("&All"), {}, 570,
              later(QStringLiteral("Sort &All Names")));
    AddAction(sort, "mnuPBSortSelected", QStringLiteral("&Selected"), {}, 570,
              later(QStringLiteral("Sort &Selected Names")));
}

void TMainForm::CreateHelpMenu() {
    QMenu* m = menuBar()->addMenu(QStringLiteral("&Help"));
    m->setObjectName(QStringLiteral("mnuHelp"));
    SetHelpContext(m, 900);
    m->installEventFilter(this);
    AddAction(m, "mnuHelpTopics", QStringLiteral("&Help Topics"), QKeySequence(Qt::Key_F1), 910,
              [this] { mnuHelpTopicsClick(); });
    m->addSeparator();
    AddAction(m, "mnuHelpAbout", QStringLiteral("&About..."), {}, 990,
              [this] { mnuHelpAboutClick(); });
}

void TMainForm::AddButton(const char* name, const QString& hint,
                          const std::function<void()>& handler) {
    auto* action = new QAction(ToolIcon(QString::fromLatin1(name)), hint, this);
    Register(action, name);
    action->setToolTip(hint);
    connect(action, &QAction::triggered, this, [this, handler] { RunCommand(handler); });
    toolBar_->addAction(action);
    if (QWidget* button = toolBar_->widgetForAction(action)) {
        button->setObjectName(QString::fromLatin1(name));
        button->setFixedSize(kButtonSize, kButtonSize);
    }
}

void TMainForm::CreateToolBar() {
    auto later = [this](const QString& caption) {
        return [this, caption] { NotAvailableYet(caption); };
    };
    AddButton("sbNew", QStringLiteral("New File"), [this] { document_->ClearAllCards(); });
    AddButton("sbOpen", QStringLiteral("Open File"), [this] { OpenCardFile(); });
    AddButton("sbSave", QStringLiteral("Save File"), [this] { document_->SaveCardFile(); });
    AddButton("sbSetup", QStringLiteral("File Setup"),
              [this] { setupForm_->SetupClick(SetupTab::FileSetup); });
    toolBar_->addSeparator();
    AddButton("sbCut", QStringLiteral("Cut Selection"), [this] { CutToClipboard(); });
    AddButton("sbCopy", QStringLiteral("Copy Selection"), [this] { CopyToClipboard(); });
    AddButton("sbPaste", QStringLiteral("Paste Selection"), [this] { PasteFromClipboard(); });
    AddButton("sbUndo", QStringLiteral("Undo"), [this] { mnuEditUndoClick(); });
    toolBar_->addSeparator();
    AddButton("sbSearchIndex", QStringLiteral("Search Indexes"),
              [this] { search_->mnuSearchFindClick(SearchScope::Indexes); });
    AddButton("sbSearchWholeFile", QStringLiteral("Search Whole File"),
              [this] { search_->mnuSearchFindClick(SearchScope::WholeFile); });
    AddButton("sbSearchCurrentCard", QStringLiteral("Search Current Card"),
              [this] { search_->mnuSearchFindClick(SearchScope::CurrentCard); });
    toolBar_->addSeparator();
    AddButton("sbAdd", QStringLiteral("Add Card"), [this] { document_->AddCard(); });
    AddButton("sbDeleteCard", QStringLiteral("Delete Card"), [this] { document_->DeleteCard(); });
    AddButton("sbDuplicate", QStringLiteral("Duplicate Card"),
              [this] { document_->DuplicateCard(); });
    AddButton("sbRestore", QStringLiteral("Restore Card"), [this] { document_->RestoreCard(); });
    AddButton("sbPrint", QStringLiteral("Print Card"),
              [this] { cardPrinter_->mnuCardPrintClick(); });
    AddButton("sbCardInfo", QStringLiteral("Get Card Info"),
              [this] { textCommands_->mnuCardInfoClick(); });
    AddButton("sbCardAutodial", QStringLiteral("Autodial Card"),
              [this] { setupForm_->SetupClick(SetupTab::Autodial); });
    AddButton("sbCardExecute", QStringLiteral("Execute Command"),
              [this] { textCommands_->sbCardExecuteClick(); });
    toolBar_->addSeparator();
    AddButton("sbMobileInfo", QStringLiteral("Get Mobile Info"),
              later(QStringLiteral("Mobile &Information...")));
    AddButton("sbPBRead", QStringLiteral("Read Phonebook"),
              later(QStringLiteral("&Read Phonebook")));
    AddButton("sbPBUpdate", QStringLiteral("Update Phonebook"),
              later(QStringLiteral("&Update Phonebook...")));
    toolBar_->addSeparator();
    AddButton("sbHelpTopics", QStringLiteral("Help"), [this] { mnuHelpTopicsClick(); });
}

void TMainForm::CreatePopupMenu() {
    popupMenu1_ = new QMenu(this);
    popupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
    SetHelpContext(popupMenu1_, 910);
    popupMenu1_->installEventFilter(this);
    auto add = [this](const char* name, const QString& caption, int help,
                      const std::function<void()>& handler) {
        auto* action = new QAction(caption, this);
        Register(action, name);
        SetHelpContext(action, help);
        connect(action, &QAction::triggered, this, [this, handler] { RunCommand(handler); });
        popupMenu1_->addAction(action);
    };
    add("pumnuAdd", QStringLiteral("&Add..."), 410, [this] { document_->AddCard(); });
    add("pumnuDeleteCard", QStringLiteral("&Delete Card"), 420,
        [this] { document_->DeleteCard(); });
    add("pumnuDuplicate", QStringLiteral("Du&plicate"), 430,
        [this] { document_->DuplicateCard(); });
    add("pumnuRestore", QStringLiteral("&Restore"), 440, [this] { document_->RestoreCard(); });
    popupMenu1_->addSeparator();
    add("Print2", QStringLiteral("Pr&int"), 450, [this] { cardPrinter_->mnuCardPrintClick(); });
    popupMenu1_->addSeparator();
    add("Find2", QStringLiteral("Search &Indexes..."), 310,
        [this] { search_->mnuSearchFindClick(SearchScope::Indexes); });
    add("FindCard2", QStringLiteral("Search Whole &File..."), 320,
        [this] { search_->mnuSearchFindClick(SearchScope::WholeFile); });
}

}  // namespace tabellan
