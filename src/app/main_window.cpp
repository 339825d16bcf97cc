#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QTimer>

#include "app/about_form.h"
#include "app/app_settings.h"
#include "app/card_memo.h"
#include "app/card_printer.h"
#include "app/dlg_frm.h"
#include "app/file_dialogs.h"
#include "app/help.h"
#include "app/index_list_model.h"
#include "app/index_list_view.h"
#include "app/qt_prompter.h"
#include "app/search_commands.h"
#include "app/setup_form.h"
#include "app/text_commands.h"
#include "cardfile/errors.h"
#include "cardfile/prompter.h"

namespace tabellan {

namespace {

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
    CreateMenus();
    CreateToolBar();
    CreatePopupMenu();

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
    model_ = new IndexListModel(document_->Cards(), this);
    indexList_->setModel(model_);
    textCommands_ = new TextCommands(*cardMemo_, *editor_, *document_, *prompter_, this);
    textCommands_->AttachExecuteMenu(*this, *findChild<QMenu*>(QStringLiteral("mnuCardExecute")),
                                     *Action(QStringLiteral("mnuCardExecuteCmd")));
    cardPrinter_ = new CardPrinter(*this, *cardMemo_, *editor_, *document_, *prompter_);

    for (const EnablementEntry& entry : EnablementTable()) {
        if (QAction* action = Action(QString::fromLatin1(
                entry.control.data(), static_cast<qsizetype>(entry.control.size())))) {
            enablementTargets_.emplace_back(action, entry.rule);
        }
    }

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
    connect(indexList_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { IndexListContextMenu(pos); });
    clipboardHasText_ = ClipboardHasText();
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { clipboardHasText_ = ClipboardHasText(); });
    cardMemo_->viewport()->installEventFilter(this);
    indexList_->viewport()->installEventFilter(this);

    const FileSettings initial;
    panes_ = PanesFromCardWidth(initial.cardWidth, initial.clientWidth);
    resize(initial.clientWidth, initial.clientHeight + MenuBarHeight());
    move(initial.left, initial.top);
    PlaceControls();

    FormCreate();

    // The other windows of the program, in the order the program always created them.
    aboutForm_ = new TAboutForm(this);
    setupForm_ = new TSetupForm(*this, *editor_, *appSettings_, *prompter_, *dialogs_);
    search_ = new SearchCommands(*this, *editor_, *prompter_);
    dlgFrm_ = new TDlgFrm(this);
    if (ownPrompter_) {
        ownPrompter_->SetPasswordDialog(dlgFrm_);
    }
    timer1_->start();
}

TMainForm::~TMainForm() {
    FormDestroy();
    disconnect(cardMemo_, nullptr, this, nullptr);
    indexList_->setModel(nullptr);
}

void TMainForm::FormCreate() {
    appTitle_ = QString::fromLatin1(kAppTitle);
    setWindowTitle(appTitle_);
    // The card font of a new file, also what a header's font keys default to.
    ApplyEditorFont(document_->Context().defaultFont);
    document_->ShowFileStatus();
    commPort_ = appSettings_->CommPort();
    appSettings_->DeleteObsoleteValues();
    ReadRecentFilesFromRegistry();
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
    std::array<QString, 9> items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i] = AnsiToQString(document_->Settings().quickSearch[i], CurrentCodePage());
    }
    appSettings_->WriteSearchItems(items);
    appSettings_->WriteCommPort(commPort_);
    appSettings_->Sync();
}

void TMainForm::RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        prompter_->Show(MsgKind::Error, e.what(), Buttons::Ok);
    }
}

QString TMainForm::StatusText(int panel) const {
    return statusPanels_[panel]->text();
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
    FormResize();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* e) {
    if (!FirstDroppedFile(e->mimeData()).isEmpty()) {
        e->acceptProposedAction();
    }
}

void TMainForm::dropEvent(QDropEvent* e) {
    const QString path = FirstDroppedFile(e->mimeData());
    if (path.isEmpty()) {
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
    if (watched == surface_) {
        HandleSurfaceMouse(e);
        return false;
    }
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
    if (qobject_cast<QMenu*>(watched) && type == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_F1) {
        auto* menu = static_cast<QMenu*>(watched);
        ShowContextHelp(menu->activeAction() ? static_cast<QObject*>(menu->activeAction())
                                             : static_cast<QObject*>(menu));
        return true;
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

void TMainForm::CardsChanged() {
    model_->Refresh();
}

void TMainForm::SetCaption(const std::string& title) {
    appTitle_ = QFile::decodeName(QByteArray::fromStdString(title));
    setWindowTitle(appTitle_);
}

void TMainForm::ShowFileStatus(const std::string& text) {
    statusPanels_[0]->setText(AnsiToQString(text, CurrentCodePage()));
}

void TMainForm::AddRecentFile(const std::string& path) {
    recent_.Add(QFile::decodeName(QByteArray::fromStdString(path)));
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        SetRecentFileItem(i);
    }
    WriteRecentFilesToRegistry();
}

bool TMainForm::AskSaveAs(int& filterIndex, std::string& name) {
    QString qname = QFile::decodeName(QByteArray::fromStdString(name));
    if (!dialogs_->SaveAs(this, filterIndex, qname)) {
        return false;
    }
    name = QFile::encodeName(qname).toStdString();
    return true;
}

}  // namespace tabellan
