#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "app/about_form.h"
#include "app/app_settings.h"
#include "app/background_compressor.h"
#include "app/card_editor_adapter.h"
#include "app/card_memo.h"
#include "app/card_printer.h"
#include "app/dlg_frm.h"
#include "app/file_dialogs.h"
#include "app/font_mapping.h"
#include "app/help.h"
#include "app/index_list_model.h"
#include "app/index_list_view.h"
#include "app/main_actions.h"
#include "app/phonebook_commands.h"
#include "app/qt_prompter.h"
#include "app/recent_files_menu.h"
#include "app/run_command.h"
#include "app/search_commands.h"
#include "app/setup_form.h"
#include "app/status_panel.h"
#include "app/text_commands.h"
#include "app/upd_info_form.h"
#include "app/window_layout.h"
#include "app/window_setup_host.h"
#include "cardfile/errors.h"
#include "cardfile/file_status.h"
#include "cardfile/prompter.h"
#include "phone/phone_exchange.h"
#include "phone/phonebook_transfer.h"

namespace tabellan {

namespace {

constexpr int kToolBarHeight = 31;
constexpr int kStatusPanelWidths[2] = {240, 50};

SettingsContext ScreenContext() {
    SettingsContext ctx;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        ctx.screenWidth = screen->geometry().width();
        ctx.screenHeight = screen->geometry().height();
        ctx.pixelsPerInch = static_cast<int>(screen->logicalDotsPerInchY() + 0.5);
    }
    ctx.defaultFont = FontSpec{};
    return ctx;
}

bool ClipboardHasText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

// The first local file of a drop; empty when there is none.
QString FirstDroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) {
        return {};
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            return url.toLocalFile();
        }
    }
    return {};
}

}  // namespace

TMainForm::TMainForm(MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)) {
    setObjectName(QStringLiteral("TMainForm"));
    SetHelpContext(this, 910);
    appSettings_ = std::make_unique<AppSettings>();
    CreateControls();

    if (options_.prompter) {
        prompter_ = options_.prompter;
    } else {
        ownPrompter_ = std::make_unique<QtPrompter>(
            this, [this](const QString& text) { statusPanels_[0]->setText(text); },
            [this] { return CurrentCodePage(); });
        prompter_ = ownPrompter_.get();
    }
    if (options_.dialogs) {
        dialogs_ = options_.dialogs;
    } else {
        ownDialogs_ = std::make_unique<QtFileDialogs>();
        dialogs_ = ownDialogs_.get();
    }

    document_ = std::make_unique<Document>(*this, *prompter_, ScreenContext(), options_.clock);
    document_->SetBodyCompressor(MakeBackgroundCompressor(
        {[this] { BeginBackgroundSave(); }, [this] { EndBackgroundSave(); },
         [this](const std::string& status, int percent) {
             prompter_->Status(status + " " + std::to_string(percent) + "%");
         }}));
    model_ = new IndexListModel(document_->Cards(), this);
    indexList_->setModel(model_);

    actions_ = new MainActions(
        *this, *toolBar_,
        [this](const std::function<void()>& command) {
            // A shortcut pressed while a phone command waits starts nothing.
            if (!busy_.Busy()) {
                RunCommand(command);
            }
        },
        [this] { UpdateEnablements(); });
    layout_ = new WindowLayout(*this, *centralWidget(), *cardMemo_, *indexList_, *toolBar_);
    std::array<QAction*, RecentFiles::kCount> recentEntries{};
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        recentEntries[static_cast<std::size_t>(i)] =
            &actions_->Command(QStringLiteral("mnuFileItem%1").arg(i + 1).toStdString());
    }
    recentFiles_ = new RecentFilesMenu(
        *appSettings_, recentEntries, actions_->RecentFilesSeparator(),
        actions_->Command("mnuFileClearRecent"), [this](const QString& path) { OpenFile(path); },
        this);
    textCommands_ = new TextCommands(*cardMemo_, *editor_, *document_, *prompter_, this);
    textCommands_->AttachExecuteMenu(*this, actions_->Menu(QStringLiteral("mnuCardExecute")),
                                     actions_->Command("mnuCardExecuteCmd"));
    cardPrinter_ = new CardPrinter(*this, *cardMemo_, *editor_, *document_, *prompter_);
    phonebook_ =
        new PhonebookCommands(*this, *cardMemo_, *editor_, *document_, *prompter_,
                              {&actions_->Command("mnuPBSIMCard"),
                               &actions_->Command("mnuPBMobile"), &actions_->Command("mnuPBOther")},
                              this);
    ConnectCommands();

    connect(cardMemo_, &QPlainTextEdit::textChanged, this, [this] {
        if (document_) {
            RunCommand([this] { document_->CardMemoChange(); });
        }
    });
    connect(indexList_, &IndexListView::UserSelected, this,
            [this] { RunCommand([this] { document_->IndexListClick(); }); });
    connect(indexList_, &IndexListView::DeletePressed, this,
            [this] { RunCommand([this] { document_->DeleteCard(); }); });
    connect(indexList_, &IndexListView::InsertPressed, this,
            [this] { RunCommand([this] { document_->AddCard(); }); });
    connect(indexList_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        actions_->ShowPopup(indexList_->viewport()->mapToGlobal(pos));
    });
    clipboardHasText_ = ClipboardHasText();
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { clipboardHasText_ = ClipboardHasText(); });

    FormCreate();

    // The other windows of the program, in the order the program always created them.
    aboutForm_ = new TAboutForm(this);
    setupHost_ = std::make_unique<WindowSetupHost>(*document_, *this, *cardMemo_, *editor_);
    setupForm_ = new TSetupForm(*setupHost_, *appSettings_, *prompter_, *dialogs_, this);
    search_ = new SearchCommands(*this, *document_, *this, *cardMemo_, *editor_, *prompter_);
    dlgFrm_ = new TDlgFrm(*prompter_, this);
    if (ownPrompter_) {
        ownPrompter_->SetPasswordDialog(dlgFrm_);
    }
    updInfoForm_ = new TUpdInfoForm(this);
    phonebook_->AttachUpdateForm(*updInfoForm_);
    timer1_->start();
}

TMainForm::~TMainForm() {
    FormDestroy();
    disconnect(cardMemo_, nullptr, this, nullptr);
    indexList_->setModel(nullptr);
}

void TMainForm::CreateControls() {
    auto* surface = new QWidget(this);
    surface->setObjectName(QStringLiteral("Surface"));
    setCentralWidget(surface);

    cardMemo_ = new CardMemo(surface);
    cardMemo_->setObjectName(QStringLiteral("CardMemo"));
    cardMemo_->SetCapacity(static_cast<int>(kMaxCardTextLength));
    cardMemo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    cardMemo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    cardMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    cardMemo_->setUndoRedoEnabled(true);
    cardMemo_->setEnabled(false);
    cardMemo_->setFrameShape(QFrame::NoFrame);
    cardMemo_->installEventFilter(this);
    cardMemo_->viewport()->installEventFilter(this);
    // The selection stays visible while the list has the focus.
    QPalette memoPalette = cardMemo_->palette();
    memoPalette.setColor(QPalette::Inactive, QPalette::Highlight,
                         memoPalette.color(QPalette::Active, QPalette::Highlight));
    memoPalette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         memoPalette.color(QPalette::Active, QPalette::HighlightedText));
    cardMemo_->setPalette(memoPalette);
    editor_ = std::make_unique<CardEditorAdapter>(*cardMemo_);

    indexList_ = new IndexListView(surface);
    indexList_->setObjectName(QStringLiteral("IndexList"));
    indexList_->setContextMenuPolicy(Qt::CustomContextMenu);
    indexList_->viewport()->installEventFilter(this);

    toolBar_ = new QToolBar(QStringLiteral("ToolBar"), this);
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setFixedHeight(kToolBarHeight);
    toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, toolBar_);

    for (int i = 0; i < 2; ++i) {
        auto* panel = new StatusPanel(this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFixedWidth(kStatusPanelWidths[i]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        statusPanels_[i] = panel;
        statusBar()->addWidget(panel);
    }
    // The file status of a large file fits at the desktop's font; longer texts (a path being
    // saved) are shortened in the middle.
    static_cast<StatusPanel*>(statusPanels_[0])
        ->FitWidthTo({QString::fromStdString(FileStatusText(999999, false))},
                     kStatusPanelWidths[0]);
    // So do the texts of a waiting phone command in the second panel.
    QStringList phoneActions;
    for (const std::string_view text : kPhonebookActionTexts) {
        phoneActions << QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    }
    static_cast<StatusPanel*>(statusPanels_[1])->FitWidthTo(phoneActions, kStatusPanelWidths[1]);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setSizeGripEnabled(true);

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(300);
    connect(timer1_, &QTimer::timeout, this,
            [this] { RunCommand([this] { UpdateEnablements(); }); });
}

void TMainForm::FormCreate() {
    setWindowTitle(QString::fromLatin1(kAppTitle));
    // The card font of a new file, also what a header's font keys default to.
    ApplyEditorFont(document_->Context().defaultFont);
    document_->ShowFileStatus();
    phonebook_->Exchange().SerComm1().SetPortNum(appSettings_->CommPort());
    appSettings_->DeleteObsoleteValues();
    recentFiles_->ReadRecentFilesFromRegistry();
    ReadSearchItemStringsFromRegistry();
    setAcceptDrops(true);
}

void TMainForm::FormPaint() {
    if (!firstPaint_) {
        return;
    }
    firstPaint_ = false;
    RunCommand([this] {
        if (options_.params.size() > 1) {
            throw ETooManyParams("Too many command-line parameters!");
        }
        if (options_.params.size() == 1) {
            document_->ReadCardFile(QFile::encodeName(options_.params.first()).toStdString());
        }
    });
}

void TMainForm::FormDestroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    timer1_->stop();
    appSettings_->WriteSearchItems(document_->Settings().quickSearch, CurrentCodePage());
    appSettings_->WriteCommPort(CommPort());
    appSettings_->Sync();
    phonebook_->Exchange().SerComm1().Close();
}

void TMainForm::RunCommand(const std::function<void()>& command) {
    tabellan::RunCommand(*prompter_, command);
}

QAction* TMainForm::Action(const QString& name) const {
    return actions_->Action(name);
}

const RecentFiles& TMainForm::Recent() const {
    return recentFiles_->Files();
}

PaneWidths TMainForm::Panes() const {
    return layout_->Panes();
}

int TMainForm::ClientWidth() const {
    return layout_->ClientWidth();
}

int TMainForm::ClientHeight() const {
    return layout_->ClientHeight();
}

void TMainForm::FormResize() {
    layout_->FormResize();
}

void TMainForm::FormRearrangeControls(int x, bool leftButtonDown, bool doubleClick) {
    layout_->FormRearrangeControls(x, leftButtonDown, doubleClick);
}

QString TMainForm::StatusText(int panel) const {
    return statusPanels_[panel]->text();
}

int TMainForm::CommPort() const {
    return phonebook_->Exchange().SerComm1().PortNum();
}

CodePage TMainForm::CurrentCodePage() const {
    return editor_->GetCodePage();
}

// --- events ---

void TMainForm::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (firstPaint_) {
        // After the window has been drawn once, as the program always opened its file.
        QTimer::singleShot(0, this, [this] { FormPaint(); });
    }
}

void TMainForm::closeEvent(QCloseEvent* e) {
    if (busy_.Busy()) {
        // Not in the middle of a phone command: it ends by itself within seconds. A save
        // ends by itself too, and then the window closes.
        closeAfterSave_ = closeAfterSave_ || document_->Writing();
        e->ignore();
        return;
    }
    bool canClose = false;
    RunCommand([this, &canClose] { canClose = document_->FormCloseQuery(); });
    if (canClose) {
        e->accept();
    } else {
        e->ignore();
    }
}

void TMainForm::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    if (layout_) {
        layout_->FormResize();
    }
}

void TMainForm::dragEnterEvent(QDragEnterEvent* e) {
    if (!FirstDroppedFile(e->mimeData()).isEmpty()) {
        e->acceptProposedAction();
    }
}

void TMainForm::dropEvent(QDropEvent* e) {
    const QString path = FirstDroppedFile(e->mimeData());
    if (path.isEmpty() || busy_.Busy()) {
        return;
    }
    e->acceptProposedAction();
    activateWindow();
    // The full path, however long: a shortened name would open some other file.
    RunCommand([this, path] { OpenFile(path); });
}

bool TMainForm::eventFilter(QObject* watched, QEvent* e) {
    if (!cardMemo_ || !indexList_) {
        return QMainWindow::eventFilter(watched, e);  // still being created
    }
    const QEvent::Type type = e->type();
    if (watched == cardMemo_->viewport() || watched == indexList_->viewport()) {
        // Files dropped on the panes open like files dropped on the window, never as text.
        if (type == QEvent::DragEnter || type == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(e);
            if (!FirstDroppedFile(drag->mimeData()).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (type == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(e);
            if (!FirstDroppedFile(drop->mimeData()).isEmpty()) {
                dropEvent(drop);
                return true;
            }
        }
        return false;
    }
    if (watched == cardMemo_ && type == QEvent::ShortcutOverride) {
        // Ctrl+Del deletes the card, as the menu says, not the word after the cursor.
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
            e->ignore();
            return true;
        }
        return false;
    }
    return QMainWindow::eventFilter(watched, e);
}

// --- DocumentView ---

std::vector<std::string> TMainForm::EditorLines() const {
    return editor_->Lines();
}

void TMainForm::SetEditorLines(const std::vector<std::string>& lines) {
    editor_->SetLines(lines);
}

void TMainForm::ClearEditor() {
    cardMemo_->clear();
}

void TMainForm::SetEditorActive(bool active) {
    cardMemo_->setEnabled(active);
    cardMemo_->setFrameShape(active ? QFrame::StyledPanel : QFrame::NoFrame);
}

void TMainForm::FocusEditor() {
    cardMemo_->setFocus();
}

std::size_t TMainForm::EditorTextLength() const {
    return static_cast<std::size_t>(editor_->Length());
}

void TMainForm::SelectIndex(int pos) {
    indexList_->SelectRow(pos);
}

int TMainForm::SelectedIndex() const {
    return indexList_->SelectedRow();
}

void TMainForm::CardsReset() {
    model_->Refresh();
}

void TMainForm::SetCaption(const std::string& title) {
    setWindowTitle(QFile::decodeName(QByteArray::fromStdString(title)));
}

void TMainForm::ShowFileStatus(const std::string& text) {
    statusPanels_[0]->setText(AnsiToQString(text, CurrentCodePage()));
}

void TMainForm::AddRecentFile(const std::string& path) {
    recentFiles_->AddRecentFile(QFile::decodeName(QByteArray::fromStdString(path)));
}

void TMainForm::ApplySettingsToWindow(const FileSettings& s) {
    ApplyEditorFont(s.font);
    ApplyWordWrap(s.wordWrap);
    SetMenuSearchItemsFromVariables();
    layout_->Apply(s);
}

void TMainForm::CaptureWindowSettings(FileSettings& s) {
    layout_->Capture(s);
}

void TMainForm::Relayout() {
    layout_->FormResize();
}

bool TMainForm::AskSaveAs(int& filterIndex, std::string& name) {
    QString qname = QFile::decodeName(QByteArray::fromStdString(name));
    if (!dialogs_->SaveAs(this, filterIndex, qname)) {
        return false;
    }
    name = QFile::encodeName(qname).toStdString();
    return true;
}

void TMainForm::ApplyEditorFont(const FontSpec& spec) {
    const QFont font = FontFromSpec(spec);
    cardMemo_->setFont(font);
    indexList_->setFont(font);
    for (QWidget* w : {static_cast<QWidget*>(cardMemo_), static_cast<QWidget*>(indexList_)}) {
        QPalette p = w->palette();
        const QColor color = ColorFromSpec(spec.color, QApplication::palette());
        p.setColor(QPalette::Active, QPalette::Text, color);
        p.setColor(QPalette::Inactive, QPalette::Text, color);
        w->setPalette(p);
    }
    const CodePage cp = CodePageForCharset(spec.charset);
    if (cp != editor_->GetCodePage()) {
        // Text already in the editor keeps its characters: it is re-read in the new code page.
        const std::vector<std::string> lines = editor_->Lines();
        editor_->SetCodePage(cp);
        if (!lines.empty()) {
            const bool blocked = cardMemo_->blockSignals(true);
            editor_->SetLines(lines);
            cardMemo_->blockSignals(blocked);
        }
        model_->SetCodePage(cp);
    }
}

void TMainForm::ApplyWordWrap(bool wordWrap) {
    cardMemo_->setLineWrapMode(wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    cardMemo_->setHorizontalScrollBarPolicy(wordWrap ? Qt::ScrollBarAlwaysOff
                                                     : Qt::ScrollBarAlwaysOn);
    cardMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

}  // namespace tabellan

namespace tabellan {

// --- PhoneWindow ---

void TMainForm::SetStatusText(int panel, std::string_view text) {
    if (panel == 0 || panel == 1) {
        statusPanels_[panel]->setText(AnsiToQString(text, CurrentCodePage()));
    }
}

void TMainForm::SetClosePortEnabled(bool enabled) {
    actions_->Command("mnuPBClosePort").setEnabled(enabled);
}

void TMainForm::DisableMainWindow() {
    busy_.Enter();
    if (!centralWidget()->isEnabled()) {
        return;
    }
    focusBeforeDisabled_ = QApplication::focusWidget();
    // The panes, the menu bar and the tool bar take no input; the status bar keeps showing
    // the progress, and the program's dialogs stay usable.
    for (QWidget* part :
         {centralWidget(), static_cast<QWidget*>(menuBar()), static_cast<QWidget*>(toolBar_)}) {
        part->setEnabled(false);
    }
}

void TMainForm::EnableMainWindow() {
    busy_.Leave();
    if (busy_.Busy()) {
        return;
    }
    for (QWidget* part :
         {centralWidget(), static_cast<QWidget*>(menuBar()), static_cast<QWidget*>(toolBar_)}) {
        part->setEnabled(true);
    }
    if (focusBeforeDisabled_ && focusBeforeDisabled_->isEnabled()) {
        focusBeforeDisabled_->setFocus();
    }
    focusBeforeDisabled_.clear();
}

// --- saves on a worker thread ---

void TMainForm::BeginBackgroundSave() {
    DisableMainWindow();
    prompter_->Busy(true);
}

void TMainForm::EndBackgroundSave() {
    prompter_->Busy(false);
    EnableMainWindow();
    if (closeAfterSave_) {
        QTimer::singleShot(0, this, [this] { CloseAfterSave(); });
    }
}

void TMainForm::CloseAfterSave() {
    if (!closeAfterSave_) {
        return;
    }
    // The save goes on after its compression (the write, an error box): close after it.
    if (busy_.Busy() || document_->Writing() || QApplication::activeModalWidget()) {
        QTimer::singleShot(50, this, [this] { CloseAfterSave(); });
        return;
    }
    closeAfterSave_ = false;
    if (isVisible()) {
        close();
    }
}

void TMainForm::ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace tabellan
