#pragma once
// The open document of the desktop program without any toolkit: the card set, its file
// settings, the current card shown in the editor, and the open, save, autosave and close
// workflow around the card file readers and writer. The window implements DocumentView;
// every question goes through the Prompter.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cardfile/card_file.h"
#include "cardfile/card_set.h"
#include "cardfile/file_settings.h"

namespace tabellan {

class AtomicFile;
enum class CardFileFormat;
class Prompter;

// The window side of the document. Editor lines are the editor's hard lines as bytes in the
// card code page; an empty last line is not counted: the text "a" CR LF holds one line,
// "a" CR LF CR LF two, the empty text none. Changes the document makes through
// SetEditorLines and ClearEditor need not be reported back through CardMemoChange (the
// document sets CardEdited itself afterwards); reporting them does no harm.
class DocumentView {
  public:
    virtual ~DocumentView() = default;

    // Editor (CardMemo).
    virtual std::vector<std::string> EditorLines() const = 0;
    virtual void SetEditorLines(const std::vector<std::string>& lines) = 0;
    virtual void ClearEditor() = 0;
    // true: enabled with a single-line border; false: disabled and borderless.
    virtual void SetEditorActive(bool active) = 0;
    virtual void FocusEditor() {}
    // Length of the editor's whole text in characters. The default counts the lines
    // joined with CR LF; the window may report its control's own length instead.
    virtual std::size_t EditorTextLength() const;

    // Index list: a view over the document's CardSet, row = position.
    // Selecting from here must not run IndexListClick again: only the user's selection does.
    virtual void SelectIndex(int pos) = 0;  // -1: no selection
    virtual int SelectedIndex() const = 0;  // -1 when none
    // The set was emptied or refilled as a whole (New, a load, whose cards are appended in
    // bulk): the list reads it again. Single inserts, removals and commits are told by the
    // set itself (CardSetObserver).
    virtual void CardsReset() = 0;

    // Main window caption and application title: "Tabellan - name" or "Tabellan".
    virtual void SetCaption(const std::string& title) = 0;
    // Status bar panel 0.
    virtual void ShowFileStatus(const std::string& text) = 0;
    virtual void AddRecentFile(const std::string& path) = 0;
    // Font, index list side, card width, placement, window state, word wrap.
    virtual void ApplySettingsToWindow(const FileSettings& settings) = 0;
    // Placement of the normal state, card width and window state, before a write.
    virtual void CaptureWindowSettings(FileSettings& settings) = 0;
    // FormResize after the layout settings were reset.
    virtual void Relayout() = 0;
    // The save dialog. filterIndex: 1 card file, 2 text; in: the entry to show first,
    // out: the chosen one. name: in the initial name, out the chosen path. false: cancelled.
    virtual bool AskSaveAs(int& filterIndex, std::string& name) = 0;
};

// The current time as days since 1899-12-30, with the time of day as the fraction.
using DocumentClock = std::function<double()>;
double LocalDateTimeNow();

inline constexpr const char* kAppTitle = "Tabellan";
inline constexpr std::size_t kMaxCardTextLength = 32768;

class Document {
  public:
    Document(DocumentView& view, Prompter& prompter, SettingsContext context,
             DocumentClock clock = LocalDateTimeNow);
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // --- state ---
    CardSet& Cards() { return cards_; }
    const CardSet& Cards() const { return cards_; }
    // The Setup dialog edits these; run ShowFileStatus() afterwards.
    FileSettings& Settings() { return settings_; }
    const FileSettings& Settings() const { return settings_; }
    const SettingsContext& Context() const { return context_; }
    void SetContext(const SettingsContext& context) { context_ = context; }

    const std::string& CardFileName() const { return cardFileName_; }
    const std::string& AutoSaveFileName() const { return autoSaveFileName_; }
    double LastAutoSave() const { return lastAutoSave_; }
    bool FileModified() const { return fileModified_; }
    bool CardEdited() const { return cardEdited_; }
    int CurrentItemIndex() const { return currentItemIndex_; }
    const std::string& CurrentIndexText() const { return currentIndexText_; }
    // Commands that change cards directly (phonebook, replace) mark the file modified.
    void SetFileModified(bool modified) { fileModified_ = modified; }
    // "Tabellan - name" with a file, "Tabellan" untitled.
    std::string Caption() const;

    // --- open and save ---
    void ClearAllCards();                        // command New
    void ReadCardFile(const std::string& name);  // open, recent entry, command line, drop
    void SaveCardFile();
    void SaveAsCardFile();
    // The save dialog's filter index for CardFileName: 1 card file, 2 text, 0 Cardfile.
    int SetSaveDialogFilterIndex() const;
    void AutoSaveIfDue();  // at the end of every enablement refresh; never during a save
    // How saves and autosaves compress the body (default: in the calling thread). The window
    // compresses on a worker thread and runs its event loop meanwhile.
    void SetBodyCompressor(BodyCompressor compress) { compress_ = std::move(compress); }
    // A save or autosave is writing (the event loop may run meanwhile).
    bool Writing() const { return writing_; }
    bool FormCloseQuery();  // true: the window may close

    // --- the current card ---
    void CommitCurrentCard();
    void IndexListClick();
    void CardMemoChange();
    void ShowFileStatus();
    // Select pos in the index list and show that card (searches, quick search).
    void SelectCard(int pos);

    // --- card commands ---
    void AddCard();        // mnuCardAddClick
    void DeleteCard();     // mnuCardDeleteClick
    void DuplicateCard();  // mnuCardDuplicateClick
    void RestoreCard();    // mnuCardRestoreClick

  private:
    static std::string NameForRecoveredFile(const std::string& fullName);
    void Load(const std::string& path, CardFileFormat format);
    void RestoreEditorFromHeader();
    void ResetEditor();
    void UpdateCaption();
    void PrepareSettingsForWrite();
    // previousFile: the file on disk the cards came from (empty for none). The files
    // written never get more permissions than it has; an alternate file equal to it is the
    // program's own earlier copy.
    void SaveUnder(const std::string& previousFile);
    void WriteCardFileSafely(bool asCardFile, std::optional<unsigned> permissionCap);
    int SelectedOrCurrentPosition(const std::string& remembered) const;

    DocumentView& view_;
    Prompter& prompter_;
    SettingsContext context_;
    DocumentClock clock_;
    CardSet cards_;
    FileSettings settings_;
    BodyCompressor compress_;
    bool writing_ = false;

    std::string cardFileName_;
    std::string autoSaveFileName_;
    double lastAutoSave_ = 0;
    bool fileModified_ = false;
    bool cardEdited_ = false;
    int currentItemIndex_ = -1;
    std::string currentIndexText_;
};

}  // namespace tabellan
