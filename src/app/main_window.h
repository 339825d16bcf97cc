#pragma once
// The main window: the card editor, the sorted index list, menu bar, tool bar and status
// bar. It shows the document and translates commands into calls on it; the rules live in
// the document (cardfile/document.h) and in the Qt-free helpers of this folder.
#include <QHash>
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "app/card_editor_adapter.h"
#include "app/enablement.h"
#include "app/pane_layout.h"
#include "app/recent_files.h"
#include "cardfile/document.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;

namespace tabellan {

class AppSettings;
class CardMemo;
class CardPrinter;
class FileDialogs;
class IndexListModel;
class IndexListView;
class Prompter;
class QtPrompter;
class TAboutForm;
class TDlgFrm;
class SearchCommands;
class TSetupForm;
class TextCommands;

struct MainWindowOptions {
    QStringList params;              // command-line parameters, program name excluded
    Prompter* prompter = nullptr;    // default: the window's own message boxes
    FileDialogs* dialogs = nullptr;  // default: the desktop's file dialogs
    DocumentClock clock = LocalDateTimeNow;
};

class TMainForm : public QMainWindow, public DocumentView {
    Q_OBJECT
  public:
    explicit TMainForm(MainWindowOptions options = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    Document& Doc() { return *document_; }
    QAction* Action(const QString& name) const;
    CardMemo* Memo() const { return cardMemo_; }
    IndexListView* List() const { return indexList_; }
    const RecentFiles& Recent() const { return recent_; }
    PaneWidths Panes() const { return panes_; }
    int ClientWidth() const;
    int ClientHeight() const;
    QString StatusText(int panel) const;
    int CommPort() const { return commPort_; }
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
    void CardsChanged() override;
    void SetCaption(const std::string& title) override;
    void ShowFileStatus(const std::string& text) override;
    void AddRecentFile(const std::string& path) override;
    void ApplySettingsToWindow(const FileSettings& settings) override;
    void CaptureWindowSettings(FileSettings& settings) override;
    void Relayout() override;
    bool AskSaveAs(int& filterIndex, std::string& name) override;

  protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    // Creation (main_window_menus.cpp).
    void CreateControls();
    void CreateMenus();
    void CreateFileMenu();
    void CreateEditMenu();
    void CreateSearchMenu();
    void CreateCardMenu();
    void CreatePhonebookMenu();
    void CreateHelpMenu();
    void CreateToolBar();
    void CreatePopupMenu();
    QAction* AddAction(QMenu* menu, const char* name, const QString& caption,
                       const QKeySequence& shortcut, int help,
                       const std::function<void()>& handler);
    QMenu* AddSubMenu(QMenu* parent, const char* name, const QString& caption, int help);
    void AddButton(const char* name, const QString& hint, const std::function<void()>& handler);
    void Register(QObject* object, const char* name);
    void NotAvailableYet(const QString& caption);

    // Start and end (main_window.cpp).
    void FormCreate();
    void FormPaint();
    void FormDestroy();

    // Commands (main_window_commands.cpp).
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
    void mnuFileClearRecentClick();
    void FileItemClick(int entry);
    void ReadRecentFilesFromRegistry();
    void WriteRecentFilesToRegistry();
    void SetRecentFileItem(int entry);
    void ReadSearchItemStringsFromRegistry();
    void SetMenuSearchItemsFromVariables();
    void IndexListContextMenu(const QPoint& pos);
    void ShowContextHelp(QObject* focus);

    // Layout (main_window_layout.cpp).
    void PlaceControls();
    void ApplyEditorFont(const FontSpec& font);
    void ApplyWordWrap(bool wordWrap);
    void ApplyPlacement(const FileSettings& settings);
    int MenuBarHeight() const;
    int ToolBarHeight() const;
    void HandleSurfaceMouse(QEvent* e);
    CodePage CurrentCodePage() const;

    MainWindowOptions options_;
    std::unique_ptr<QtPrompter> ownPrompter_;
    std::unique_ptr<FileDialogs> ownDialogs_;
    std::unique_ptr<AppSettings> appSettings_;
    Prompter* prompter_ = nullptr;
    FileDialogs* dialogs_ = nullptr;

    QWidget* surface_ = nullptr;
    CardMemo* cardMemo_ = nullptr;
    IndexListView* indexList_ = nullptr;
    IndexListModel* model_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* statusPanels_[2] = {nullptr, nullptr};
    QTimer* timer1_ = nullptr;
    QMenu* popupMenu1_ = nullptr;
    QAction* fileSep3_ = nullptr;
    QAction* searchSep1_ = nullptr;
    QAction* fileItems_[4] = {};
    QAction* searchItems_[9] = {};
    TAboutForm* aboutForm_ = nullptr;
    TDlgFrm* dlgFrm_ = nullptr;
    TSetupForm* setupForm_ = nullptr;
    SearchCommands* search_ = nullptr;  // find dialog and quick searches
    QHash<QString, QAction*> actions_;
    std::vector<std::pair<QAction*, EnableRule>> enablementTargets_;

    std::unique_ptr<Document> document_;
    std::unique_ptr<CardEditorAdapter> editor_;
    TextCommands* textCommands_ = nullptr;  // text tools, information, Execute
    CardPrinter* cardPrinter_ = nullptr;
    RecentFiles recent_;
    PaneWidths panes_;
    bool indexListAtRight_ = true;
    // Placement while the window state is normal: what a save records.
    int rememberedClientHeight_ = 360;
    int rememberedClientWidth_ = 680;
    int rememberedTop_ = 120;
    int rememberedLeft_ = 200;
    // The layout values last taken from the file settings; a clear that keeps them does not
    // undo what the user has arranged since.
    std::optional<FileSettings> applied_;
    bool dividerDragging_ = false;
    bool firstPaint_ = true;
    bool clipboardHasText_ = false;
    bool destroyed_ = false;
    int commPort_ = 1;
    QString appTitle_;
};

using MainWindow = TMainForm;

}  // namespace tabellan
