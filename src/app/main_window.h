#pragma once
// The main window: the card editor, the sorted index list, menu bar, tool bar and status
// bar. It shows the document and translates events into calls on it; the rules live in the
// document (cardfile/document.h) and the libraries, and the window's own parts are small
// collaborators: the actions (main_actions.h), the layout (window_layout.h), the recent files
// (recent_files_menu.h), the search, text, print and phonebook commands.
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

#include "app/busy_gate.h"
#include "app/pane_layout.h"
#include "cardfile/document.h"
#include "phone/phone_window.h"

class QAction;
class QLabel;
class QTimer;
class QToolBar;

namespace tabellan {

class AppSettings;
class CardEditorAdapter;
class CardMemo;
class CardPrinter;
class FileDialogs;
class IndexListModel;
class IndexListView;
class MainActions;
class PhonebookCommands;
class Prompter;
class QtPrompter;
class RecentFiles;
class RecentFilesMenu;
class SearchCommands;
class TAboutForm;
class TDlgFrm;
class TSetupForm;
class TUpdInfoForm;
class TextCommands;
class WindowLayout;
class WindowSetupHost;

struct MainWindowOptions {
    QStringList params;              // command-line parameters, program name excluded
    Prompter* prompter = nullptr;    // default: the window's own message boxes
    FileDialogs* dialogs = nullptr;  // default: the desktop's file dialogs
    DocumentClock clock = LocalDateTimeNow;
};

class TMainForm : public QMainWindow, public DocumentView, public PhoneWindow {
    Q_OBJECT
  public:
    explicit TMainForm(MainWindowOptions options = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    Document& Doc() { return *document_; }
    // The action of a menu entry, tool button or context menu entry, by its name.
    QAction* Action(const QString& name) const;
    CardMemo* Memo() const { return cardMemo_; }
    IndexListView* List() const { return indexList_; }
    const RecentFiles& Recent() const;
    PaneWidths Panes() const;
    int ClientWidth() const;
    int ClientHeight() const;
    QString StatusText(int panel) const;
    // The phone's port number (SerComm1's).
    int CommPort() const;
    PhonebookCommands& Phonebook() const { return *phonebook_; }
    // A command is waiting with the event loop running: no other command may start.
    bool Busy() const { return busy_.Busy(); }
    // The first paint has run (and with it the command line's file).
    bool Started() const { return !firstPaint_; }

    // The periodic refresh: enabled states, the remembered placement, the autosave.
    void UpdateEnablements();
    void FormResize();
    // The divider handlers, with x in client coordinates.
    void FormRearrangeControls(int x, bool leftButtonDown, bool doubleClick);
    // Runs a command, showing any failure in an error box.
    void RunCommand(const std::function<void()>& command);

    // DocumentView
    std::vector<std::string> EditorLines() const override;
    void SetEditorLines(const std::vector<std::string>& lines) override;
    void ClearEditor() override;
    void SetEditorActive(bool active) override;
    void FocusEditor() override;
    std::size_t EditorTextLength() const override;
    void SelectIndex(int pos) override;
    int SelectedIndex() const override;
    void CardsReset() override;
    void SetCaption(const std::string& title) override;
    void ShowFileStatus(const std::string& text) override;
    void AddRecentFile(const std::string& path) override;
    void ApplySettingsToWindow(const FileSettings& settings) override;
    void CaptureWindowSettings(FileSettings& settings) override;
    void Relayout() override;
    bool AskSaveAs(int& filterIndex, std::string& name) override;

    // PhoneWindow: the status bar, Close Port, and the window around a phone command.
    void SetStatusText(int panel, std::string_view text) override;
    void SetClosePortEnabled(bool enabled) override;
    void DisableMainWindow() override;
    void EnableMainWindow() override;
    void ProcessMessages() override;

  protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    // Creation and the handler of every command (main_window_commands.cpp).
    void CreateControls();
    void ConnectCommands();

    // Start and end.
    void FormCreate();
    void FormPaint();
    void FormDestroy();

    // The window's own commands (main_window_commands.cpp).
    void OpenCardFile();
    void OpenFile(const QString& path);
    void mnuEditUndoClick();
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void mnuEditDeleteClick();
    void mnuEditSelectAllClick();
    void mnuHelpTopicsClick();
    void mnuHelpAboutClick();
    void ReadSearchItemStringsFromRegistry();
    void SetMenuSearchItemsFromVariables();

    // A save compresses on a worker thread: the window is busy meanwhile, shows the
    // progress, and a close asked for then happens when the save has ended.
    void BeginBackgroundSave();
    void EndBackgroundSave();
    void CloseAfterSave();

    // What a file's settings change in the window besides the layout.
    void ApplyEditorFont(const FontSpec& font);
    void ApplyWordWrap(bool wordWrap);
    CodePage CurrentCodePage() const;

    MainWindowOptions options_;
    std::unique_ptr<QtPrompter> ownPrompter_;
    std::unique_ptr<FileDialogs> ownDialogs_;
    std::unique_ptr<AppSettings> appSettings_;
    Prompter* prompter_ = nullptr;
    FileDialogs* dialogs_ = nullptr;

    // Controls.
    CardMemo* cardMemo_ = nullptr;
    IndexListView* indexList_ = nullptr;
    IndexListModel* model_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* statusPanels_[2] = {nullptr, nullptr};
    QTimer* timer1_ = nullptr;

    // The document and the collaborators.
    std::unique_ptr<Document> document_;
    std::unique_ptr<CardEditorAdapter> editor_;
    std::unique_ptr<WindowSetupHost> setupHost_;
    MainActions* actions_ = nullptr;
    WindowLayout* layout_ = nullptr;
    RecentFilesMenu* recentFiles_ = nullptr;
    SearchCommands* search_ = nullptr;      // find dialog and quick searches
    TextCommands* textCommands_ = nullptr;  // text tools, information, Execute
    CardPrinter* cardPrinter_ = nullptr;
    PhonebookCommands* phonebook_ = nullptr;
    TAboutForm* aboutForm_ = nullptr;
    TSetupForm* setupForm_ = nullptr;
    TDlgFrm* dlgFrm_ = nullptr;
    TUpdInfoForm* updInfoForm_ = nullptr;

    bool firstPaint_ = true;
    bool clipboardHasText_ = false;
    bool destroyed_ = false;
    BusyGate busy_;
    bool closeAfterSave_ = false;
    QPointer<QWidget> focusBeforeDisabled_;
};

using MainWindow = TMainForm;

}  // namespace tabellan
