// What a save does to the files around the card file: links, the backup, the alternate copy
// and the permissions of every file written beside it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cardfile/alternate_file.h"
#include "cardfile/compression.h"
#include "cardfile/document.h"
#include "cardfile/errors.h"
#include "cardfile/system_calls.h"
#include "document_fake_view.h"
#include "scoped_fault_hook.h"
#include "support/scripted_prompter.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using test::Exists;
using test::FakeDocumentView;
using test::ReadBytes;
using test::ScriptedPrompter;
using test::TempFolder;
using test::WriteBytes;

class SaveSafetyTest : public ::testing::Test {
  protected:
    SaveSafetyTest() : doc(view, prompter, SettingsContext{}, [this] { return now; }) {}

    // Opens path (written with bytes first unless it exists) and changes one card.
    void OpenAndEdit(const std::string& path) {
        doc.ReadCardFile(path);
        doc.SelectCard(1);
        test::TypeLines(doc, view, {"Smith", "edited"});
        doc.CommitCurrentCard();
    }
    std::vector<std::string> Entries(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    const std::string oldBytes = "Jones,x\r\nSmith,y\r\n";
    TempFolder dir;
    double now = 45000.5;
    FakeDocumentView view;
    ScriptedPrompter prompter;
    Document doc;
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// --- symbolic links ---

TEST_F(SaveSafetyTest, SaveThroughALinkReplacesTheRealFileAndBacksItUpBesideIt) {
    fs::create_directory(dir / "data");
    WriteBytes(dir / "data/cards.csv", oldBytes);
    fs::create_symlink("data/cards.csv", dir / "link.csv");  // relative, as users make them
    OpenAndEdit(dir / "link.csv");
    doc.SaveCardFile();

    EXPECT_TRUE(fs::is_symlink(dir / "link.csv"));
    EXPECT_EQ(fs::read_symlink(dir / "link.csv"), "data/cards.csv");
    EXPECT_TRUE(Contains(ReadBytes(dir / "data/cards.csv"), "Smith,edited"));
    EXPECT_EQ(ReadBytes(dir / "data/cards.bak"), oldBytes);
    EXPECT_FALSE(fs::is_symlink(dir / "data/cards.bak"));
    EXPECT_FALSE(Exists(dir / "link.bak"));
    EXPECT_EQ(doc.CardFileName(), dir / "link.csv");

    // The next save again goes through the link; the backup holds the first save.
    const std::string first = ReadBytes(dir / "data/cards.csv");
    doc.Cards().Insert(Card{{"More"}});
    doc.SetFileModified(true);
    doc.SaveCardFile();
    EXPECT_TRUE(fs::is_symlink(dir / "link.csv"));
    EXPECT_EQ(ReadBytes(dir / "data/cards.bak"), first);
    EXPECT_TRUE(Contains(ReadBytes(dir / "link.csv"), "\r\nMore\r\n"));
    EXPECT_EQ(Entries(dir.Path()), (Lines{"data", "link.csv"}));
    EXPECT_EQ(Entries(dir / "data"), (Lines{"cards.bak", "cards.csv"}));
}

TEST_F(SaveSafetyTest, ALinkToALinkIsFollowedToTheEnd) {
    WriteBytes(dir / "real.csv", oldBytes);
    fs::create_symlink(dir / "real.csv", dir / "middle.csv");
    fs::create_symlink(dir / "middle.csv", dir / "outer.csv");
    OpenAndEdit(dir / "outer.csv");
    doc.SaveCardFile();
    EXPECT_TRUE(fs::is_symlink(dir / "outer.csv"));
    EXPECT_TRUE(fs::is_symlink(dir / "middle.csv"));
    EXPECT_TRUE(Contains(ReadBytes(dir / "real.csv"), "Smith,edited"));
    EXPECT_EQ(ReadBytes(dir / "real.bak"), oldBytes);
    EXPECT_FALSE(Exists(dir / "outer.bak"));
    EXPECT_FALSE(Exists(dir / "middle.bak"));
}

// The backup name of a file named x.bak is its own name: the save must not delete the card
// file to make room for its backup.
TEST_F(SaveSafetyTest, ALinkToAFileNamedLikeABackupKeepsIt) {
    WriteBytes(dir / "cards.bak", oldBytes);
    fs::create_symlink("cards.bak", dir / "cards.csv");
    OpenAndEdit(dir / "cards.csv");
    {
        // Whatever the save does, the file holds the old contents until the new ones
        // replace them in one step.
        test::ScopedFaultHook watch([&](sys::Call call, std::string_view) {
            const std::string now = Exists(dir / "cards.bak") ? ReadBytes(dir / "cards.bak") : "";
            EXPECT_TRUE(now == oldBytes || Contains(now, "Smith,edited")) << sys::CallName(call);
            return 0;
        });
        doc.SaveCardFile();
    }
    EXPECT_TRUE(fs::is_symlink(dir / "cards.csv"));
    EXPECT_TRUE(Contains(ReadBytes(dir / "cards.bak"), "Smith,edited"));
}

// --- the alternate copy ---

// The error's first line is the fixed text; the second says why.
std::string AlternateFailure(Document& doc) {
    try {
        doc.SaveCardFile();
    } catch (const EProblemAltFile& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.substr(0, text.find('\r')), "Problem in saving alternate file.");
        return text;
    }
    ADD_FAILURE() << "no EProblemAltFile";
    return {};
}

TEST_F(SaveSafetyTest, AnotherFileUnderTheAlternateNameIsNeverTouched) {
    WriteBytes(dir / "a.csv", oldBytes);
    WriteBytes(dir / "notes.txt", "somebody's notes");
    fs::create_directory(dir / "folder");
    WriteBytes(dir / "folder/inside", "x");
    fs::create_symlink("nowhere.csv", dir / "dangling.csv");
    OpenAndEdit(dir / "a.csv");
    for (const std::string name : {"notes.txt", "folder", "dangling.csv"}) {
        doc.SetFileModified(true);
        doc.Settings().altCardFileName = dir / name;
        view.captions.clear();
        view.recentFiles.clear();
        const std::string message = AlternateFailure(doc);
        EXPECT_TRUE(Contains(message, dir / name)) << message;
        // The card file itself was saved.
        EXPECT_TRUE(Contains(ReadBytes(dir / "a.csv"), "Smith,edited"));
        EXPECT_FALSE(doc.FileModified());
        EXPECT_TRUE(view.captions.empty());
        EXPECT_TRUE(view.recentFiles.empty());
    }
    EXPECT_EQ(ReadBytes(dir / "notes.txt"), "somebody's notes");
    EXPECT_EQ(ReadBytes(dir / "folder/inside"), "x");
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.csv"));
    EXPECT_FALSE(Exists(dir / "nowhere.csv"));
}

TEST_F(SaveSafetyTest, AnEarlierCopyOrAnyCardFileIsReplaced) {
    WriteBytes(dir / "a.csv", oldBytes);
    WriteBytes(dir / "other.csv", " \",CONFUVersion=01.24\r\nSomeone,else\r\n");
    OpenAndEdit(dir / "a.csv");
    doc.Settings().altCardFileName = dir / "other.csv";
    doc.SaveCardFile();
    EXPECT_EQ(ReadBytes(dir / "other.csv"), ReadBytes(dir / "a.csv"));

    // A text document's copy has no card file header: it is known as the earlier copy.
    WriteBytes(dir / "t.txt", "\fJones\r\n\fSmith\r\ny\r\n");
    WriteBytes(dir / "t-copy.txt", "\fJones\r\n\fSmith\r\ny\r\n");
    doc.ReadCardFile(dir / "t.txt");
    doc.Settings().altCardFileName = dir / "t-copy.txt";
    doc.Cards().Insert(Card{{"Added"}});
    doc.SetFileModified(true);
    doc.SaveCardFile();
    EXPECT_EQ(ReadBytes(dir / "t-copy.txt"), ReadBytes(dir / "t.txt"));
    doc.Cards().Insert(Card{{"Again"}});
    doc.SetFileModified(true);
    doc.SaveCardFile();
    EXPECT_TRUE(Contains(ReadBytes(dir / "t-copy.txt"), "\fAgain\r\n"));
}

TEST_F(SaveSafetyTest, SavingUnderTheAlternateNameItselfIsAProblemToo) {
    WriteBytes(dir / "a.csv", oldBytes);
    WriteBytes(dir / "alt.csv", oldBytes);
    OpenAndEdit(dir / "a.csv");
    doc.Settings().altCardFileName = dir / "alt.csv";
    prompter.answers = {Answer::Yes};  // overwrite alt.csv
    view.saveAsReplies = {{true, 1, dir / "alt"}};
    try {
        doc.SaveAsCardFile();
        ADD_FAILURE() << "no EProblemAltFile";
    } catch (const EProblemAltFile& e) {
        EXPECT_TRUE(Contains(e.what(), "is the card file itself")) << e.what();
    }
    EXPECT_TRUE(Contains(ReadBytes(dir / "alt.csv"), "Smith,edited"));
    EXPECT_EQ(doc.CardFileName(), dir / "alt.csv");
    EXPECT_FALSE(doc.FileModified());
}

TEST_F(SaveSafetyTest, AnAlternateNameThatIsALinkKeepsTheLink) {
    WriteBytes(dir / "a.csv", oldBytes);
    fs::create_directory(dir / "usb");
    WriteBytes(dir / "usb/copy.csv", " \",CONFU\r\nOld,copy\r\n");
    fs::create_symlink("usb/copy.csv", dir / "copy-link.csv");
    OpenAndEdit(dir / "a.csv");
    doc.Settings().altCardFileName = dir / "copy-link.csv";
    doc.SaveCardFile();
    EXPECT_TRUE(fs::is_symlink(dir / "copy-link.csv"));
    EXPECT_EQ(ReadBytes(dir / "usb/copy.csv"), ReadBytes(dir / "a.csv"));
}

TEST_F(SaveSafetyTest, AFailedSaveLeavesTheAlternateCopyInPlace) {
    WriteBytes(dir / "a.csv", oldBytes);
    WriteBytes(dir / "alt.csv", oldBytes);
    OpenAndEdit(dir / "a.csv");
    doc.Settings().altCardFileName = dir / "alt.csv";
    {
        test::ScopedFaultHook full(
            [](sys::Call call, std::string_view) { return call == sys::Call::Write ? ENOSPC : 0; });
        EXPECT_THROW(doc.SaveCardFile(), EInOutError);
    }
    EXPECT_EQ(ReadBytes(dir / "alt.csv"), oldBytes);
    EXPECT_EQ(ReadBytes(dir / "a.csv"), oldBytes);
    EXPECT_TRUE(doc.FileModified());
}

TEST_F(SaveSafetyTest, SetupCheckOfTheAlternateName) {
    const std::string card = dir / "a.csv";
    WriteBytes(card, oldBytes);
    WriteBytes(dir / "notes.txt", "somebody's notes");
    WriteBytes(dir / "copy.csv", oldBytes);
    WriteBytes(dir / "b.csv", " \",CONFE...");
    fs::create_directory(dir / "folder");
    EXPECT_EQ(CheckAlternateFileName("", card), std::nullopt);
    EXPECT_EQ(CheckAlternateFileName(dir / "new.csv", card), std::nullopt);
    EXPECT_EQ(CheckAlternateFileName(dir / "copy.csv", card), std::nullopt);
    EXPECT_EQ(CheckAlternateFileName(dir / "b.csv", card), std::nullopt);
    EXPECT_EQ(CheckAlternateFileName(dir / "b.csv", ""), std::nullopt);
    EXPECT_EQ(CheckAlternateFileName(dir / "notes.txt", card),
              dir / "notes.txt" +
                  " already exists and is not a card file: the alternate copy would not "
                  "replace it.");
    EXPECT_EQ(CheckAlternateFileName(dir / "folder", card),
              dir / "folder" +
                  " already exists and is not a card file: the alternate copy would not "
                  "replace it.");
    EXPECT_EQ(CheckAlternateFileName(card, card),
              card + " is the card file itself: it cannot be its own alternate copy.");
    fs::create_symlink("a.csv", dir / "same.csv");
    EXPECT_EQ(CheckAlternateFileName(dir / "same.csv", card),
              dir / "same.csv" + " is the card file itself: it cannot be its own alternate copy.");
    // A message box would take "&" for a mnemonic: the name shows as it is.
    WriteBytes(dir / "Tom & Jerry.txt", "a letter");
    EXPECT_EQ(CheckAlternateFileName(dir / "Tom & Jerry.txt", card),
              dir / "Tom && Jerry.txt" +
                  " already exists and is not a card file: the alternate copy would not "
                  "replace it.");
}

// --- permissions ---

unsigned Permissions(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 07777;
}

// Restores the umask however the test ends.
class ScopedUmask {
  public:
    explicit ScopedUmask(mode_t mask) : saved_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(saved_); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

  private:
    mode_t saved_;
};

TEST_F(SaveSafetyTest, FilesBesideAPrivateCardFileArePrivateToo) {
    const ScopedUmask umask(022);
    const std::string card = dir / "a.csv";
    WriteBytes(card, oldBytes);
    ::chmod(card.c_str(), 0600);
    WriteBytes(dir / "export.txt", "old export");
    ::chmod((dir / "export.txt").c_str(), 0644);
    OpenAndEdit(card);
    doc.AutoSaveIfDue();
    EXPECT_EQ(Permissions(dir / "a.$$$"), 0600u);

    doc.Settings().altCardFileName = dir / "alt.csv";
    doc.SaveCardFile();
    EXPECT_EQ(Permissions(card), 0600u);
    EXPECT_EQ(Permissions(dir / "a.bak"), 0600u);
    EXPECT_EQ(Permissions(dir / "alt.csv"), 0600u);

    // A copy left by an earlier program run with wider permissions is narrowed too.
    ::chmod((dir / "alt.csv").c_str(), 0644);
    now += 1;
    doc.AutoSaveIfDue();
    ::chmod((dir / "a.$$$").c_str(), 0644);
    now += 1;
    doc.AutoSaveIfDue();
    EXPECT_EQ(Permissions(dir / "a.$$$"), 0600u);
    doc.SetFileModified(true);
    doc.SaveCardFile();
    EXPECT_EQ(Permissions(dir / "alt.csv"), 0600u);

    // Text export over an existing file and a card file under a new name.
    prompter.answers = {Answer::Yes};
    view.saveAsReplies = {{true, 2, dir / "export"}, {true, 1, dir / "fresh"}};
    doc.Settings().altCardFileName.clear();
    doc.SaveAsCardFile();
    EXPECT_TRUE(Contains(ReadBytes(dir / "export.txt"), "\fSmith\r\nedited"));
    EXPECT_EQ(Permissions(dir / "export.txt"), 0600u);
    doc.SaveAsCardFile();
    EXPECT_EQ(Permissions(dir / "fresh.csv"), 0600u);
}

TEST_F(SaveSafetyTest, SideFilesKeepTheCardFilesGroupAccessButNoMore) {
    const ScopedUmask umask(002);
    const std::string card = dir / "a.csv";
    WriteBytes(card, oldBytes);
    ::chmod(card.c_str(), 0640);
    OpenAndEdit(card);
    doc.AutoSaveIfDue();
    doc.Settings().altCardFileName = dir / "alt.csv";
    doc.SaveCardFile();
    EXPECT_EQ(Permissions(dir / "a.csv"), 0640u);
    EXPECT_EQ(Permissions(dir / "alt.csv"), 0640u);
    now += 1;
    doc.AutoSaveIfDue();
    EXPECT_EQ(Permissions(dir / "a.$$$"), 0640u);
}

// --- the order of a save ---

// Until the new file takes the card file's name in one step, the name keeps the old
// contents: a crash at any moment finds the old or the new file under it, never none.
TEST_F(SaveSafetyTest, TheCardFileNameNeverGoesMissingDuringASave) {
    const std::string card = dir / "a.csv";
    WriteBytes(card, oldBytes);
    WriteBytes(dir / "a.bak", "older");
    OpenAndEdit(card);
    std::vector<std::string> seen;
    {
        test::ScopedFaultHook watch([&](sys::Call call, std::string_view) {
            if (call == sys::Call::Rename || call == sys::Call::Link || call == sys::Call::Unlink) {
                seen.push_back(sys::CallName(call) + std::string(": ") +
                               (Exists(card) ? ReadBytes(card) : "(missing)"));
            }
            return 0;
        });
        doc.SaveCardFile();
    }
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(Contains(seen.front(), oldBytes));
    for (const std::string& state : seen) {
        EXPECT_TRUE(Contains(state, oldBytes) || Contains(state, "Smith,edited")) << state;
    }
    EXPECT_TRUE(Contains(ReadBytes(card), "Smith,edited"));
    EXPECT_EQ(ReadBytes(dir / "a.bak"), oldBytes);
    EXPECT_EQ(Entries(dir.Path()), (Lines{"a.bak", "a.csv"}));
}

// The window runs its event loop while a save compresses, and its timer asks for the
// autosave then: no second write may start in the middle of the first.
TEST_F(SaveSafetyTest, NoAutosaveStartsWhileASaveCompresses) {
    const std::string card = dir / "a.csv";
    WriteBytes(card, oldBytes);
    OpenAndEdit(card);
    doc.Settings().compressionLevel = 1;
    doc.Settings().savePeriodMinutes = 1;
    int compressions = 0;
    doc.SetBodyCompressor([&](std::string_view body, int level, const std::string&) {
        ++compressions;
        EXPECT_TRUE(doc.Writing());
        now += 1;  // a day later: the autosave is long due
        doc.AutoSaveIfDue();
        return CompressText(body, level);
    });
    doc.SaveCardFile();
    EXPECT_EQ(compressions, 1);
    EXPECT_FALSE(doc.Writing());
    EXPECT_FALSE(Exists(dir / "a.$$$"));
    EXPECT_TRUE(Contains(ReadBytes(card), "CompressionLevel=1"));

    // Outside a save the autosave runs, through the same compressor.
    now += 1;
    doc.AutoSaveIfDue();
    EXPECT_EQ(compressions, 2);
    EXPECT_TRUE(Exists(dir / "a.$$$"));
}

}  // namespace
}  // namespace tabellan
