#include "cardfile/document.h"

#include <cctype>
#include <ctime>
#include <utility>

#include "cardfile/alternate_file.h"
#include "cardfile/atomic_file.h"
#include "cardfile/card_file.h"
#include "cardfile/document_files.h"
#include "cardfile/errors.h"
#include "cardfile/file_formats.h"
#include "cardfile/file_status.h"
#include "cardfile/prompter.h"

namespace tabellan {

namespace {

constexpr double kUnixEpochAsDateTime = 25569.0;  // 1970-01-01 in days since 1899-12-30
constexpr double kSecondsPerDay = 86400.0;
constexpr double kMinutesPerDay = 1440.0;

// Runs a closing step however the enclosing operation ends.
template <typename F>
class ScopeExit {
  public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() { f_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

  private:
    F f_;
};

}  // namespace

double LocalDateTimeNow() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm local{};
    localtime_r(&ts.tv_sec, &local);
    const double seconds = static_cast<double>(ts.tv_sec + local.tm_gmtoff) + ts.tv_nsec / 1e9;
    return kUnixEpochAsDateTime + seconds / kSecondsPerDay;
}

std::size_t DocumentView::EditorTextLength() const {
    const auto lines = EditorLines();
    std::size_t length = 0;
    for (const auto& line : lines) {
        length += line.size();
    }
    return lines.empty() ? 0 : length + 2 * (lines.size() - 1);
}

Document::Document(DocumentView& view, Prompter& prompter, SettingsContext context,
                   DocumentClock clock)
    : view_(view),
      prompter_(prompter),
      context_(std::move(context)),
      clock_(std::move(clock)),
      cards_(CodePageForCharset(context_.defaultFont.charset)) {
    settings_.font = context_.defaultFont;
}

Document::~Document() = default;

std::string Document::Caption() const {
    if (cardFileName_.empty()) {
        return kAppTitle;
    }
    return std::string(kAppTitle) + " - " + ExtractFileName(cardFileName_);
}

void Document::UpdateCaption() {
    view_.SetCaption(Caption());
}

void Document::ShowFileStatus() {
    view_.ShowFileStatus(FileStatusText(cards_.Count(), !settings_.password.empty()));
}

// ---------------------------------------------------------------------------------------
// New, open

void Document::ClearAllCards() {
    CommitCurrentCard();
    if (fileModified_) {
        const Answer answer =
            prompter_.Show(MsgKind::Confirmation, "Save changes?", Buttons::YesNoCancel);
        if (answer == Answer::Yes) {
            SaveCardFile();
        } else if (answer == Answer::No) {
            fileModified_ = false;
        } else {
            return;
        }
    }
    if (fileModified_) {
        return;  // the save did not happen, e.g. Save As was cancelled
    }
    BusyScope busy(prompter_);
    cards_.Clear();
    view_.CardsReset();
    ResetEditor();
    cardFileName_.clear();
    settings_.altCardFileName.clear();
    UpdateCaption();
    fileModified_ = false;
    lastAutoSave_ = 0;
    ResetFileSettingsForClear(settings_, context_.defaultFont);
    settings_.modified = false;
    settings_.cardEdited = false;
    settings_.cardMemo.clear();
    settings_.currentIndex = -1;
    DeleteFileQuietly(autoSaveFileName_);
    autoSaveFileName_.clear();
    view_.ApplySettingsToWindow(settings_);
    view_.Relayout();
    ShowFileStatus();
}

void Document::ResetEditor() {
    view_.ClearEditor();
    view_.SetEditorActive(false);
    view_.SelectIndex(-1);
    currentItemIndex_ = -1;
    cardEdited_ = false;
}

void Document::ReadCardFile(const std::string& name) {
    const std::string fullName = ExpandFileName(name);
    ClearAllCards();
    if (fileModified_) {
        return;
    }
    const std::string autoSaveName = ChangeFileExt(fullName, ".$$$");
    Answer answer = Answer::No;
    if (FileExists(autoSaveName)) {
        answer = prompter_.Show(MsgKind::Confirmation,
                                "There is an autosave file with the same name. Do you want to "
                                "open that file instead?",
                                Buttons::YesNoCancelHelp, 120);
    }
    if (answer != Answer::Yes && answer != Answer::No) {
        return;
    }
    const bool fromAutoSave = answer == Answer::Yes;
    const std::string fileToRead = fromAutoSave ? autoSaveName : fullName;
    const CardFileFormat format =
        fromAutoSave ? CardFileFormat::Csv : FormatOfExtension(UpperExtension(fullName));

    Load(fileToRead, format);

    cardFileName_ = fromAutoSave ? NameForRecoveredFile(fullName) : fullName;
    autoSaveFileName_ = autoSaveName;
    UpdateCaption();
    ShowFileStatus();
    view_.AddRecentFile(cardFileName_);
}

// File names are case-sensitive here: the document keeps the name the card file has on
// disk, so saving x.csv never leaves the old file beside a new x.CSV.
std::string Document::NameForRecoveredFile(const std::string& fullName) {
    if (UpperExtension(fullName) == ".CSV") {
        return fullName;
    }
    const std::string existing = FindFileIgnoringExtCase(ChangeFileExt(fullName, ".csv"));
    return existing.empty() ? ChangeFileExt(fullName, ".csv") : existing;
}

void Document::Load(const std::string& path, CardFileFormat format) {
    bool hadHeader = false;
    {
        // Cards read before a failure stay in the set; the list must show them either way.
        ScopeExit refresh([this] {
            view_.CardsReset();
            view_.ApplySettingsToWindow(settings_);
            ShowFileStatus();
        });
        hadHeader = LoadCardFile(path, format, cards_, settings_, context_, prompter_).hadHeader;
        if (format == CardFileFormat::Csv) {
            fileModified_ = settings_.modified;
        }
    }
    // After the list is refilled, which drops any selection, so the restored card is marked.
    if (hadHeader) {
        RestoreEditorFromHeader();
    }
}

void Document::RestoreEditorFromHeader() {
    const auto& lines = settings_.cardMemo;
    if (lines.empty()) {
        view_.ClearEditor();
    } else {
        view_.SetEditorLines(lines);
    }
    cardEdited_ = !lines.empty();
    const int pos = settings_.currentIndex;
    // A position outside the set (an edited header) shows no card rather than a wrong one.
    const bool valid = pos >= 0 && pos < cards_.Count();
    currentItemIndex_ = valid ? pos : -1;
    view_.SelectIndex(currentItemIndex_);
    view_.SetEditorActive(valid);
}

// ---------------------------------------------------------------------------------------
// Save

int Document::SetSaveDialogFilterIndex() const {
    if (cardFileName_.empty()) {
        return 1;
    }
    const std::string ext = UpperExtension(cardFileName_);
    if (ext == ".TXT") {
        return 2;
    }
    return ext == ".CRD" ? 0 : 1;
}

void Document::PrepareSettingsForWrite() {
    view_.CaptureWindowSettings(settings_);
    settings_.modified = fileModified_;
    settings_.cardEdited = cardEdited_;
    settings_.cardMemo = cardEdited_ ? view_.EditorLines() : std::vector<std::string>{};
    settings_.currentIndex = currentItemIndex_;
}

// The new file is complete before the old one becomes the backup, so a failed write leaves
// the card file and its backup as they were. Through a symbolic link, the file it points to
// is the card file: it is backed up beside itself and replaced, and the link stays.
void Document::WriteCardFileSafely(bool asCardFile, std::optional<unsigned> permissionCap) {
    AtomicFile out(cardFileName_, permissionCap);
    WriteCardFile(out, cards_, settings_, asCardFile, prompter_, compress_);
    out.Finish();

    const std::string& realFile = out.RealTargetPath();
    const std::string backup = ChangeFileExt(realFile, ".bak");
    // A document opened from x.txt is named x.TXT; the file it came from is the old one.
    const std::string oldFile = FindFileIgnoringExtCase(realFile);
    bool movedOldFile = false;
    if (!oldFile.empty() && oldFile != backup) {
        DeleteFileQuietly(backup);
        // A second name for the old file keeps the card file's own name on the old contents
        // until the new file replaces them in one step; where the file system has no hard
        // links, the old file is moved to the backup name instead.
        if (oldFile != realFile || !LinkFileQuietly(oldFile, backup)) {
            movedOldFile = RenameFileQuietly(oldFile, backup);
        }
    }
    try {
        out.Commit();
    } catch (...) {
        if (movedOldFile) {
            RenameFileQuietly(backup, oldFile);
        }
        throw;
    }
}

void Document::SaveCardFile() {
    if (cardFileName_.empty()) {
        SaveAsCardFile();
        return;
    }
    SaveUnder(FindFileIgnoringExtCase(cardFileName_));
}

void Document::SaveUnder(const std::string& previousFile) {
    CommitCurrentCard();
    const int filterIndex = SetSaveDialogFilterIndex();
    if (filterIndex == 0) {
        throw ECantSaveCRD("Cannot save in CRD format!");
    }
    BusyScope busy(prompter_);
    writing_ = true;
    ScopeExit written([this] { writing_ = false; });
    // Judged against the previous file before it changes: an earlier copy equals it.
    const std::string& alternate = settings_.altCardFileName;
    const AlternateFileCheck alternateCheck =
        alternate.empty() ? AlternateFileCheck{} : InspectAlternateFile(alternate, previousFile);
    const bool wasModified = fileModified_;
    fileModified_ = false;  // the header records the saved state
    try {
        PrepareSettingsForWrite();
        WriteCardFileSafely(filterIndex == 1, FilePermissions(previousFile));
    } catch (...) {
        fileModified_ = wasModified;
        ShowFileStatus();
        throw;
    }
    ShowFileStatus();
    DeleteFileQuietly(autoSaveFileName_);
    autoSaveFileName_.clear();
    if (!alternate.empty()) {
        WriteAlternateCopy(cardFileName_, alternate, alternateCheck);
    }
    UpdateCaption();
    view_.AddRecentFile(cardFileName_);
}

void Document::SaveAsCardFile() {
    const std::string rememberedAutoSave = autoSaveFileName_;
    int filterIndex = SetSaveDialogFilterIndex();
    if (filterIndex == 0) {
        filterIndex = 1;  // a Cardfile file has no entry of its own
    }
    std::string name = cardFileName_.empty() ? std::string() : ChangeFileExt(cardFileName_, "");
    if (!view_.AskSaveAs(filterIndex, name)) {
        return;
    }
    name = ChangeFileExt(name, filterIndex == 2 ? ".txt" : ".csv");
    if (!FindFileIgnoringExtCase(name).empty() &&
        prompter_.Show(MsgKind::Confirmation,
                       "Do you want to overwrite " + ExtractFileName(name) + "?",
                       Buttons::YesNo) != Answer::Yes) {
        return;
    }
    const std::string previousName = cardFileName_;
    const std::string previousFile =
        previousName.empty() ? std::string() : FindFileIgnoringExtCase(previousName);
    cardFileName_ = ExpandFileName(name);
    try {
        SaveUnder(previousFile);
    } catch (const EProblemAltFile&) {
        throw;  // the card file itself was saved under the new name
    } catch (...) {
        // Nothing was saved: keep the name that the caption and the disk still show.
        cardFileName_ = previousName;
        throw;
    }
    DeleteFileQuietly(rememberedAutoSave);
    autoSaveFileName_.clear();
}

// ---------------------------------------------------------------------------------------
// Autosave, close

void Document::AutoSaveIfDue() {
    if (writing_ || lastAutoSave_ == -1 || settings_.savePeriodMinutes <= 0 ||
        cardFileName_.empty()) {
        return;
    }
    const double period = settings_.savePeriodMinutes / kMinutesPerDay;
    if (clock_() <= lastAutoSave_ + period) {
        return;
    }
    lastAutoSave_ = -1;  // keeps a tick during the write from starting another one
    writing_ = true;
    ScopeExit stamp([this] {
        writing_ = false;
        lastAutoSave_ = clock_();
    });
    autoSaveFileName_ = ChangeFileExt(cardFileName_, ".$$$");
    PrepareSettingsForWrite();
    AtomicFile out(autoSaveFileName_, FilePermissions(FindFileIgnoringExtCase(cardFileName_)));
    WriteCardFile(out, cards_, settings_, true, prompter_, compress_);
    out.Commit();
    ShowFileStatus();
}

bool Document::FormCloseQuery() {
    ClearAllCards();
    return !fileModified_;
}

}  // namespace tabellan
