// The document's open, save, autosave and close workflow against real files.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "cardfile/document.h"
#include "cardfile/errors.h"
#include "document_fake_view.h"
#include "support/scripted_prompter.h"

namespace tabellan {
namespace {

using Lines = std::vector<std::string>;
using test::Exists;
using test::FakeDocumentView;
using test::ReadBytes;
using test::ScriptedPrompter;
using test::TempFolder;
using test::WriteBytes;

constexpr double kMinute = 1.0 / 1440.0;
const char* const kAutoSaveQuestion =
    "There is an autosave file with the same name. Do you want to open that file instead?";

class DocumentOpenSaveTest : public ::testing::Test {
  protected:
    DocumentOpenSaveTest() : doc(view, prompter, SettingsContext{}, [this] { return now; }) {}

    void Type(const Lines& lines) { test::TypeLines(doc, view, lines); }
    Lines Indexes() const { return test::IndexesOf(doc.Cards()); }
    // Opens a card file of plain card lines (no header).
    void OpenCsv(const std::string& name, const std::string& bytes) {
        WriteBytes(dir / name, bytes);
        doc.ReadCardFile(dir / name);
    }
    // A named, modified document with one committed change.
    void OpenAndEdit(const std::string& name) {
        OpenCsv(name, "Jones,x\r\nSmith,y\r\n");
        doc.SelectCard(1);
        Type({"Smith", "edited"});
        doc.CommitCurrentCard();
    }

    TempFolder dir;
    double now = 45000.5;
    FakeDocumentView view;
    ScriptedPrompter prompter;
    Document doc;
};

// --- open ---

TEST_F(DocumentOpenSaveTest, OpeningTextFileKeepsItsNameAndSaveWritesTextAndBackup) {
    WriteBytes(dir / "x.txt", "\fJones\r\n1 High Road\r\n\fSmith\r\n");
    doc.ReadCardFile(dir / "x.txt");
    EXPECT_EQ(doc.CardFileName(), dir / "x.txt");
    EXPECT_EQ(doc.AutoSaveFileName(), dir / "x.$$$");
    EXPECT_EQ(view.Caption(), "Tabellan - x.txt");
    EXPECT_EQ(view.recentFiles, (Lines{dir / "x.txt"}));
    EXPECT_EQ(Indexes(), (Lines{"Jones", "Smith"}));
    EXPECT_FALSE(doc.FileModified());
    EXPECT_FALSE(view.editorActive);
    EXPECT_EQ(view.statuses.back(), "Total 2 cards.  File is unencrypted...");

    doc.SelectCard(0);
    Type({"Jones", "2 Low Road"});
    doc.SaveCardFile();
    EXPECT_EQ(ReadBytes(dir / "x.txt"), "\fJones\r\n2 Low Road\r\n\fSmith\r\n");
    EXPECT_EQ(ReadBytes(dir / "x.bak"), "\fJones\r\n1 High Road\r\n\fSmith\r\n");
    EXPECT_FALSE(Exists(dir / "x.TXT"));  // no twin under the upper-cased extension
    EXPECT_FALSE(doc.FileModified());
    EXPECT_FALSE(doc.CardEdited());
}

TEST_F(DocumentOpenSaveTest, RelativeNameIsTakenAgainstTheCurrentDirectory) {
    WriteBytes(dir / "r.csv", "A\r\n");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    doc.ReadCardFile("./sub/../r.csv");
    std::filesystem::current_path(previous);
    EXPECT_EQ(doc.CardFileName(), dir / "r.csv");
}

TEST_F(DocumentOpenSaveTest, AutoSaveQuestionYesReadsTheCopyAsCardFile) {
    WriteBytes(dir / "x.txt", "\fFromText\r\n");
    WriteBytes(dir / "x.$$$", "FromAutoSave,body\r\n");
    prompter.answers = {Answer::Yes};
    doc.ReadCardFile(dir / "x.txt");
    ASSERT_EQ(prompter.Texts(), (Lines{kAutoSaveQuestion}));
    EXPECT_EQ(prompter.shown[0].buttons, Buttons::YesNoCancelHelp);
    EXPECT_EQ(prompter.shown[0].helpContext, 120);
    EXPECT_EQ(prompter.shown[0].kind, MsgKind::Confirmation);
    EXPECT_EQ(Indexes(), (Lines{"FromAutoSave"}));
    EXPECT_EQ(doc.CardFileName(), dir / "x.csv");
    EXPECT_EQ(doc.SetSaveDialogFilterIndex(), 1);

    doc.SetFileModified(true);
    doc.SaveCardFile();
    EXPECT_EQ(ReadBytes(dir / "x.csv").substr(0, 8), " \",CONFU");
    EXPECT_FALSE(Exists(dir / "x.$$$"));  // a save removes the autosave copy
}

TEST_F(DocumentOpenSaveTest, RecoveredCopyOfATextFileTakesAnExistingCardFileOfAnyCase) {
    WriteBytes(dir / "y.txt", "\fFromText\r\n");
    WriteBytes(dir / "y.CSV", "Older,card\r\n");
    WriteBytes(dir / "y.$$$", "FromAutoSave,body\r\n");
    prompter.answers = {Answer::Yes};
    doc.ReadCardFile(dir / "y.txt");
    EXPECT_EQ(doc.CardFileName(), dir / "y.CSV");
    doc.SetFileModified(true);
    doc.SaveCardFile();
    EXPECT_FALSE(Exists(dir / "y.csv"));
    EXPECT_EQ(ReadBytes(dir / "y.bak"), "Older,card\r\n");
    EXPECT_EQ(ReadBytes(dir / "y.txt"), "\fFromText\r\n");
}

TEST_F(DocumentOpenSaveTest, AutoSaveQuestionNoReadsTheFileItself) {
    WriteBytes(dir / "x.csv", "Original\r\n");
    WriteBytes(dir / "x.$$$", "Copy\r\n");
    prompter.answers = {Answer::No};
    doc.ReadCardFile(dir / "x.csv");
    EXPECT_EQ(Indexes(), (Lines{"Original"}));
    EXPECT_EQ(doc.AutoSaveFileName(), dir / "x.$$$");
}

TEST_F(DocumentOpenSaveTest, AutoSaveQuestionCancelLeavesAnEmptyUntitledDocument) {
    OpenCsv("a.csv", "A\r\n");
    WriteBytes(dir / "x.csv", "X\r\n");
    WriteBytes(dir / "x.$$$", "Copy\r\n");
    prompter.answers = {Answer::Cancel};
    doc.ReadCardFile(dir / "x.csv");
    EXPECT_EQ(doc.Cards().Count(), 0);
    EXPECT_EQ(doc.CardFileName(), "");
    EXPECT_EQ(view.Caption(), "Tabellan");
    EXPECT_EQ(view.recentFiles, (Lines{dir / "a.csv"}));
    EXPECT_TRUE(Exists(dir / "x.$$$"));
}

TEST_F(DocumentOpenSaveTest, UnknownOrMissingExtensionIsRefused) {
    WriteBytes(dir / "x.doc", "A\r\n");
    WriteBytes(dir / "noext", "A\r\n");
    try {
        doc.ReadCardFile(dir / "x.doc");
        ADD_FAILURE() << "no exception";
    } catch (const EUnknownExt& e) {
        EXPECT_STREQ(e.what(), "Unknown extension: .DOC");
    }
    try {
        doc.ReadCardFile(dir / "noext");
        ADD_FAILURE() << "no exception";
    } catch (const EUnknownExt& e) {
        EXPECT_STREQ(e.what(), "Unknown extension: ");
    }
    EXPECT_EQ(doc.CardFileName(), "");
    EXPECT_EQ(doc.Cards().Count(), 0);
    EXPECT_TRUE(view.recentFiles.empty());
}

TEST_F(DocumentOpenSaveTest, ReaderFailureLeavesTheDocumentUntitled) {
    OpenCsv("a.csv", "A\r\n");
    EXPECT_THROW(doc.ReadCardFile(dir / "missing.csv"), EInOutError);
    EXPECT_EQ(doc.CardFileName(), "");
    EXPECT_EQ(doc.AutoSaveFileName(), "");
    EXPECT_EQ(view.Caption(), "Tabellan");
    EXPECT_EQ(view.recentFiles, (Lines{dir / "a.csv"}));
}

TEST_F(DocumentOpenSaveTest, DamagedCompressedBodyLeavesTheDocumentUntitled) {
    OpenCsv("c.csv", "Jones,x\r\nSmith,y\r\n");
    doc.Settings().compressionLevel = 1;
    doc.SetFileModified(true);
    doc.SaveCardFile();
    std::string bytes = ReadBytes(dir / "c.csv");
    const auto body = bytes.find("\r\n") + 2;
    ASSERT_LT(body + 4, bytes.size());
    bytes.replace(body, bytes.size() - body, "garbage that is not NRV2E\r\n");
    WriteBytes(dir / "c.csv", bytes);
    view.recentFiles.clear();

    EXPECT_THROW(doc.ReadCardFile(dir / "c.csv"), EDamagedFile);
    EXPECT_EQ(doc.CardFileName(), "");
    EXPECT_EQ(view.Caption(), "Tabellan");
    EXPECT_TRUE(view.recentFiles.empty());
}

TEST_F(DocumentOpenSaveTest, CardfileFileCannotBeSavedButSaveAsWritesACardFile) {
    std::filesystem::copy_file(std::string(TABELLAN_TEST_DATA) + "/crd/klaru_crdfile_abc.crd",
                               dir / "x.crd");
    doc.ReadCardFile(dir / "x.crd");
    ASSERT_EQ(doc.CardFileName(), dir / "x.crd");
    ASSERT_GT(doc.Cards().Count(), 0);
    EXPECT_FALSE(doc.FileModified());
    EXPECT_EQ(doc.SetSaveDialogFilterIndex(), 0);

    doc.SetFileModified(true);
    try {
        doc.SaveCardFile();
        ADD_FAILURE() << "no exception";
    } catch (const ECantSaveCRD& e) {
        EXPECT_STREQ(e.what(), "Cannot save in CRD format!");
    }
    EXPECT_TRUE(doc.FileModified());
    EXPECT_FALSE(Exists(dir / "x.bak"));

    view.saveAsReplies = {{true, 1, dir / "x"}};
    doc.SaveAsCardFile();
    ASSERT_EQ(view.saveAsAsked.size(), 1u);
    EXPECT_EQ(view.saveAsAsked[0].filterIndex, 1);  // the first entry stands for Cardfile
    EXPECT_EQ(view.saveAsAsked[0].name, dir / "x");
    EXPECT_EQ(doc.CardFileName(), dir / "x.csv");
    EXPECT_TRUE(Exists(dir / "x.csv"));
    EXPECT_TRUE(Exists(dir / "x.crd"));
    EXPECT_EQ(view.Caption(), "Tabellan - x.csv");
}

// --- save ---

TEST_F(DocumentOpenSaveTest, SaveAsTextEntryReplacesTheTypedExtension) {
    doc.Cards().Insert(Card{{"Jones", "a"}});
    doc.SetFileModified(true);
    view.saveAsReplies = {{true, 2, dir / "y.csv"}};
    doc.SaveCardFile();  // untitled: runs Save As
    ASSERT_EQ(view.saveAsAsked.size(), 1u);
    EXPECT_EQ(view.saveAsAsked[0].filterIndex, 1);
    EXPECT_EQ(view.saveAsAsked[0].name, "");
    EXPECT_EQ(doc.CardFileName(), dir / "y.txt");
    EXPECT_EQ(ReadBytes(dir / "y.txt"), "\fJones\r\na\r\n");
    EXPECT_FALSE(Exists(dir / "y.csv"));
    EXPECT_EQ(doc.SetSaveDialogFilterIndex(), 2);
    EXPECT_EQ(view.recentFiles, (Lines{dir / "y.txt"}));
    EXPECT_EQ(view.Caption(), "Tabellan - y.txt");
}

TEST_F(DocumentOpenSaveTest, OverwriteQuestionNoLeavesEverythingUnchanged) {
    WriteBytes(dir / "y.txt", "keep");
    OpenAndEdit("a.csv");
    view.saveAsReplies = {{true, 2, dir / "y"}};
    prompter.answers = {Answer::No};
    doc.SaveAsCardFile();
    EXPECT_EQ(prompter.Texts(), (Lines{"Do you want to overwrite y.txt?"}));
    EXPECT_EQ(prompter.shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(ReadBytes(dir / "y.txt"), "keep");
    EXPECT_EQ(doc.CardFileName(), dir / "a.csv");
    EXPECT_TRUE(doc.FileModified());

    view.saveAsReplies = {{true, 2, dir / "y"}};
    prompter.answers = {Answer::Yes};
    doc.SaveAsCardFile();
    EXPECT_EQ(ReadBytes(dir / "y.txt"), "\fJones\r\nx\r\n\fSmith\r\nedited\r\n");
    EXPECT_EQ(ReadBytes(dir / "y.bak"), "keep");
}

TEST_F(DocumentOpenSaveTest, SaveAsCancelledChangesNothing) {
    OpenAndEdit("a.csv");
    doc.SaveAsCardFile();
    EXPECT_EQ(doc.CardFileName(), dir / "a.csv");
    EXPECT_TRUE(doc.FileModified());
}

TEST_F(DocumentOpenSaveTest, FirstSaveMakesNoBackupTheSecondDoes) {
    doc.Cards().Insert(Card{{"One"}});
    doc.SetFileModified(true);
    view.saveAsReplies = {{true, 1, dir / "new"}};
    doc.SaveAsCardFile();
    const std::string first = ReadBytes(dir / "new.csv");
    EXPECT_NE(first.find("\r\nOne\r\n"), std::string::npos);
    EXPECT_FALSE(Exists(dir / "new.bak"));

    doc.Cards().Insert(Card{{"Two"}});
    doc.SetFileModified(true);
    doc.SaveCardFile();
    EXPECT_EQ(ReadBytes(dir / "new.bak"), first);
    EXPECT_NE(ReadBytes(dir / "new.csv").find("\r\nTwo\r\n"), std::string::npos);
    // The header records the saved state and the window's card width.
    EXPECT_NE(first.find(",Modified=0,"), std::string::npos);
    EXPECT_NE(first.find(",CardWidth=400,"), std::string::npos);
}

TEST_F(DocumentOpenSaveTest, AlternateCopyIsWrittenAfterEverySave) {
    OpenAndEdit("a.csv");
    doc.Settings().altCardFileName = dir / "alt.csv";
    doc.SaveCardFile();
    EXPECT_EQ(ReadBytes(dir / "alt.csv"), ReadBytes(dir / "a.csv"));

    doc.Cards().Insert(Card{{"More"}});
    doc.SetFileModified(true);
    doc.SaveCardFile();
    EXPECT_EQ(ReadBytes(dir / "alt.csv"), ReadBytes(dir / "a.csv"));
}

TEST_F(DocumentOpenSaveTest, AlternateNameEqualToTheCardFileFailsAfterSaving) {
    OpenAndEdit("a.csv");
    doc.Settings().altCardFileName = dir / "a.csv";
    view.captions.clear();
    view.recentFiles.clear();
    try {
        doc.SaveCardFile();
        ADD_FAILURE() << "no exception";
    } catch (const EProblemAltFile& e) {
        EXPECT_EQ(std::string(e.what()), "Problem in saving alternate file.\r" + dir / "a.csv" +
                                             " is the card file itself.");
    }
    EXPECT_NE(ReadBytes(dir / "a.csv").find("Smith,edited"), std::string::npos);
    EXPECT_EQ(ReadBytes(dir / "a.bak"), "Jones,x\r\nSmith,y\r\n");
    EXPECT_FALSE(doc.FileModified());
    EXPECT_TRUE(view.captions.empty());
    EXPECT_TRUE(view.recentFiles.empty());
}

TEST_F(DocumentOpenSaveTest, AlternateCopyIntoAMissingFolderLeavesNothingBehind) {
    OpenAndEdit("a.csv");
    doc.Settings().altCardFileName = dir / "no/such/alt.csv";
    EXPECT_THROW(doc.SaveCardFile(), EProblemAltFile);
    EXPECT_FALSE(doc.FileModified());
    EXPECT_NE(ReadBytes(dir / "a.csv").find("Smith,edited"), std::string::npos);
}

// Real write failures that also stop root: a file size limit, and a target that is a folder.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

TEST_F(DocumentOpenSaveTest, WriteFailureKeepsTheFileAndItsBackup) {
    OpenAndEdit("a.csv");
    doc.SaveCardFile();  // a.bak now holds the opened bytes
    const std::string saved = ReadBytes(dir / "a.csv");
    const std::string backup = ReadBytes(dir / "a.bak");
    doc.Cards().Insert(Card{{"Unsaved", std::string(4000, 'x')}});
    doc.SetFileModified(true);
    {
        FileSizeLimit limit(64);
        EXPECT_THROW(doc.SaveCardFile(), EInOutError);
    }
    EXPECT_EQ(ReadBytes(dir / "a.csv"), saved);
    EXPECT_EQ(ReadBytes(dir / "a.bak"), backup);
    EXPECT_TRUE(doc.FileModified());
    EXPECT_EQ(doc.CardFileName(), dir / "a.csv");
    // No temporary file is left in the folder.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++files;
    }
    EXPECT_EQ(files, 2);
}

TEST_F(DocumentOpenSaveTest, SaveAsOntoAFolderFailsAndKeepsTheOldName) {
    OpenAndEdit("a.csv");
    std::filesystem::create_directory(dir / "b.csv");
    view.saveAsReplies = {{true, 1, dir / "b"}};
    EXPECT_THROW(doc.SaveAsCardFile(), EInOutError);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "b.csv"));
    EXPECT_EQ(doc.CardFileName(), dir / "a.csv");
    EXPECT_TRUE(doc.FileModified());
    EXPECT_EQ(ReadBytes(dir / "a.csv"), "Jones,x\r\nSmith,y\r\n");
}

TEST_F(DocumentOpenSaveTest, SaveAsIntoAMissingFolderFails) {
    OpenAndEdit("a.csv");
    view.saveAsReplies = {{true, 1, dir / "missing/b"}};
    EXPECT_THROW(doc.SaveAsCardFile(), EInOutError);
    EXPECT_EQ(doc.CardFileName(), dir / "a.csv");
    EXPECT_TRUE(doc.FileModified());
}

// --- autosave ---

TEST_F(DocumentOpenSaveTest, SavePeriodZeroNeverAutoSaves) {
    OpenCsv("x.csv", " \",CONFUVersion=01.24,Password=,SavePeriod=0\r\nA\r\n");
    for (int i = 0; i < 5; ++i) {
        now += 60 * kMinute;
        doc.AutoSaveIfDue();
    }
    EXPECT_FALSE(Exists(dir / "x.$$$"));
}

TEST_F(DocumentOpenSaveTest, AutoSaveOnTheFirstTickThenAfterEachPeriod) {
    OpenCsv("x.csv", "A\r\n");
    doc.AutoSaveIfDue();
    EXPECT_TRUE(Exists(dir / "x.$$$"));
    EXPECT_EQ(doc.LastAutoSave(), now);
    const double written = now;
    std::filesystem::remove(dir / "x.$$$");

    now = written + 10 * kMinute - kMinute / 600;  // not yet later than reference + period
    doc.AutoSaveIfDue();
    EXPECT_FALSE(Exists(dir / "x.$$$"));
    now = written + 10 * kMinute + kMinute / 60;
    doc.AutoSaveIfDue();
    EXPECT_TRUE(Exists(dir / "x.$$$"));
    EXPECT_FALSE(doc.FileModified());
}

TEST_F(DocumentOpenSaveTest, UntitledDocumentIsNotAutoSaved) {
    doc.Cards().Insert(Card{{"A"}});
    doc.SetFileModified(true);
    doc.AutoSaveIfDue();
    EXPECT_EQ(doc.AutoSaveFileName(), "");
    EXPECT_EQ(doc.LastAutoSave(), 0);
}

TEST_F(DocumentOpenSaveTest, AutoSaveOfATextDocumentIsACardFile) {
    WriteBytes(dir / "t.txt", "\fA\r\n");
    doc.ReadCardFile(dir / "t.txt");
    doc.AutoSaveIfDue();
    EXPECT_EQ(ReadBytes(dir / "t.$$$").substr(0, 8), " \",CONFU");
    EXPECT_EQ(ReadBytes(dir / "t.txt"), "\fA\r\n");
}

TEST_F(DocumentOpenSaveTest, PendingEditSurvivesAnAutoSaveUncommitted) {
    OpenCsv("x.csv", "Jones,x\r\nSmith,y\r\n");
    doc.SelectCard(1);
    Type({"Smith", "typed, not committed"});
    doc.AutoSaveIfDue();
    EXPECT_TRUE(doc.CardEdited());
    EXPECT_EQ(doc.Cards().CardAt(1).lines, (Lines{"Smith", "y"}));

    // A new run after a crash finds the copy.
    FakeDocumentView view2;
    ScriptedPrompter prompter2;
    Document doc2(view2, prompter2, SettingsContext{}, [this] { return now; });
    prompter2.answers = {Answer::Yes};
    doc2.ReadCardFile(dir / "x.csv");
    EXPECT_EQ(doc2.CardFileName(), dir / "x.csv");
    EXPECT_EQ(view2.editor, (Lines{"Smith", "typed, not committed"}));
    EXPECT_TRUE(doc2.CardEdited());
    EXPECT_EQ(doc2.CurrentItemIndex(), 1);
    EXPECT_EQ(view2.selected, 1);
    EXPECT_TRUE(view2.editorActive);
    EXPECT_FALSE(doc2.FileModified());
    EXPECT_EQ(doc2.Cards().CardAt(1).lines, (Lines{"Smith", "y"}));

    doc2.CommitCurrentCard();
    EXPECT_EQ(doc2.Cards().CardAt(1).lines, (Lines{"Smith", "typed, not committed"}));
    EXPECT_TRUE(doc2.FileModified());
}

TEST_F(DocumentOpenSaveTest, AutoSaveCopyRecordsUnsavedChangesAsModified) {
    OpenAndEdit("x.csv");
    doc.AutoSaveIfDue();
    FakeDocumentView view2;
    ScriptedPrompter prompter2;
    Document doc2(view2, prompter2, SettingsContext{}, [this] { return now; });
    prompter2.answers = {Answer::Yes};
    doc2.ReadCardFile(dir / "x.csv");
    EXPECT_TRUE(doc2.FileModified());
    EXPECT_FALSE(doc2.CardEdited());
    EXPECT_EQ(doc2.CurrentItemIndex(), -1);
}

// --- new and close ---

TEST_F(DocumentOpenSaveTest, NewAsksToSaveAndCancelKeepsEverything) {
    OpenAndEdit("a.csv");
    prompter.answers = {Answer::Cancel};
    EXPECT_FALSE(doc.FormCloseQuery());
    EXPECT_EQ(prompter.Texts(), (Lines{"Save changes?"}));
    EXPECT_EQ(prompter.shown[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(doc.Cards().Count(), 2);
    EXPECT_EQ(doc.CardFileName(), dir / "a.csv");
}

TEST_F(DocumentOpenSaveTest, CloseAnsweredNoDiscardsAndDeletesTheAutoSaveCopy) {
    OpenAndEdit("a.csv");
    doc.AutoSaveIfDue();
    ASSERT_TRUE(Exists(dir / "a.$$$"));
    prompter.answers = {Answer::No};
    EXPECT_TRUE(doc.FormCloseQuery());
    EXPECT_FALSE(Exists(dir / "a.$$$"));
    EXPECT_EQ(doc.Cards().Count(), 0);
    EXPECT_EQ(ReadBytes(dir / "a.csv"), "Jones,x\r\nSmith,y\r\n");
    EXPECT_EQ(view.Caption(), "Tabellan");
}

TEST_F(DocumentOpenSaveTest, CloseAnsweredYesSavesFirst) {
    OpenAndEdit("a.csv");
    prompter.answers = {Answer::Yes};
    EXPECT_TRUE(doc.FormCloseQuery());
    EXPECT_NE(ReadBytes(dir / "a.csv").find("Smith,edited"), std::string::npos);
}

TEST_F(DocumentOpenSaveTest, NewOnAnUntitledDocumentWhoseSaveAsIsCancelledStops) {
    doc.Cards().Insert(Card{{"A"}});
    doc.SetFileModified(true);
    prompter.answers = {Answer::Yes};
    doc.ClearAllCards();
    EXPECT_EQ(view.saveAsAsked.size(), 1u);
    EXPECT_EQ(doc.Cards().Count(), 1);
    EXPECT_TRUE(doc.FileModified());
}

TEST_F(DocumentOpenSaveTest, NewResetsTheFileSettingsButKeepsThePlacement) {
    OpenCsv("x.csv",
            " \",CONFUVersion=01.24,Password=,SavePeriod=3,CompressionLevel=2,Top=50,"
            "AltCardFileName=z.csv\r\n\r\n");
    ASSERT_EQ(doc.Settings().savePeriodMinutes, 3);
    doc.ClearAllCards();
    EXPECT_EQ(doc.Settings().savePeriodMinutes, 10);
    EXPECT_EQ(doc.Settings().compressionLevel, 0);
    EXPECT_EQ(doc.Settings().altCardFileName, "");
    EXPECT_EQ(doc.Settings().top, 50);
    EXPECT_EQ(doc.LastAutoSave(), 0);
    EXPECT_EQ(doc.CardFileName(), "");
    EXPECT_GE(view.relayouts, 1);
}

}  // namespace
}  // namespace tabellan
