// Fault injection: every system call a save or an autosave makes is failed in turn, one per
// run, and each time the files on disk and the document must still be sound.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cardfile/atomic_file.h"
#include "cardfile/document.h"
#include "cardfile/errors.h"
#include "cardfile/system_calls.h"
#include "document_fake_view.h"
#include "scoped_fault_hook.h"
#include "support/scripted_prompter.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using test::FakeDocumentView;
using test::ReadBytes;
using test::ScriptedPrompter;
using test::TempFolder;
using test::WriteBytes;

struct CallRecord {
    sys::Call call;
    std::string path;
};

// The error a failed call reports: a full disk for writes, a failing device otherwise.
int ErrorFor(sys::Call call) {
    return call == sys::Call::Write ? ENOSPC : EIO;
}

std::string Describe(std::size_t index, const CallRecord& record) {
    return "call #" + std::to_string(index) + " " + sys::CallName(record.call) + " " + record.path;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// One document in a folder holding a card file, its backup, an alternate copy and an
// autosave copy, all from earlier runs.
class SaveScene {
  public:
    static constexpr const char* kOldCard =
        " \",CONFUVersion=01.24,Password=,AltCardFileName=\r\nJones,x\r\nSmith,y\r\n";
    static constexpr const char* kOlderBackup = " \",CONFU\r\nJones,x\r\n";
    static constexpr const char* kOldAlternate = " \",CONFU\r\nJones,old copy\r\n";
    static constexpr const char* kOldAutoSave = " \",CONFU\r\nJones,autosaved\r\n";
    static const std::set<std::string>& Names() {
        static const std::set<std::string> names = {"a.csv", "a.bak", "alt.csv", "a.$$$"};
        return names;
    }

    explicit SaveScene(const TempFolder& dir)
        : dir_(dir), doc_(view_, prompter_, SettingsContext{}, [this] { return now_; }) {
        WriteBytes(dir / "a.csv", kOldCard);
        WriteBytes(dir / "a.bak", kOlderBackup);
        WriteBytes(dir / "alt.csv", kOldAlternate);
        WriteBytes(dir / "a.$$$", kOldAutoSave);
        prompter_.answers = {Answer::No};  // open the card file, not the autosave copy
        doc_.ReadCardFile(dir / "a.csv");
        doc_.SelectCard(1);
        test::TypeLines(doc_, view_, {"Smith", "edited"});
        doc_.CommitCurrentCard();
        doc_.Settings().altCardFileName = dir / "alt.csv";
    }

    Document& Doc() { return doc_; }
    std::string Read(const std::string& name) const {
        return fs::exists(dir_ / name) ? ReadBytes(dir_ / name) : "(missing)";
    }
    // Every name in the folder that is not one of the scene's files.
    std::vector<std::string> StrayFiles() const {
        std::vector<std::string> stray;
        for (const auto& entry : fs::directory_iterator(dir_.Path())) {
            const std::string name = entry.path().filename().string();
            if (Names().count(name) == 0) {
                stray.push_back(name);
            }
        }
        return stray;
    }
    void Later() { now_ += 1; }

  private:
    const TempFolder& dir_;
    double now_ = 45000.5;
    FakeDocumentView view_;
    ScriptedPrompter prompter_;
    Document doc_;
};

// Runs action in a fresh scene with the failing call (or none, to record) and the hook
// recording every call. refuseUnnamed: the folder refuses unnamed files, as some file
// systems do, so every new file gets a temporary name.
template <typename Action>
std::vector<CallRecord> RunScene(const TempFolder& dir, std::optional<std::size_t> failing,
                                 Action&& action, bool refuseUnnamed = false) {
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        fs::remove_all(entry.path());
    }
    SaveScene scene(dir);
    std::vector<CallRecord> calls;
    {
        test::ScopedFaultHook hook([&](sys::Call call, std::string_view path) {
            if (refuseUnnamed && call == sys::Call::Open && path == dir.Path().string()) {
                return EOPNOTSUPP;
            }
            const bool fail = failing && *failing == calls.size();
            calls.push_back(CallRecord{call, std::string(path)});
            return fail ? ErrorFor(call) : 0;
        });
        action(scene);
    }
    return calls;
}

// --- the save ---

struct SaveOutcome {
    std::string card, backup, alternate;
    bool modified = false;
};

class SaveFaultTest : public ::testing::Test {
  protected:
    TempFolder dir;
};

TEST_F(SaveFaultTest, EveryFailingCallOfASaveLeavesSoundFiles) {
    SaveOutcome clean;
    const std::vector<CallRecord> calls = RunScene(dir, std::nullopt, [&](SaveScene& s) {
        s.Doc().SaveCardFile();
        clean = {s.Read("a.csv"), s.Read("a.bak"), s.Read("alt.csv"), s.Doc().FileModified()};
    });
    const std::string newCard = clean.card;
    ASSERT_TRUE(Contains(newCard, "Smith,edited"));
    ASSERT_EQ(clean.backup, SaveScene::kOldCard);
    ASSERT_EQ(clean.alternate, newCard);
    // The save writes, syncs and names the card file and the alternate copy, and makes the
    // backup: all of that must be among the calls tried below.
    std::set<sys::Call> kinds;
    for (const CallRecord& r : calls) {
        kinds.insert(r.call);
    }
    for (sys::Call needed : {sys::Call::Write, sys::Call::Fsync, sys::Call::Rename, sys::Call::Link,
                             sys::Call::Unlink, sys::Call::Read}) {
        EXPECT_EQ(kinds.count(needed), 1u) << sys::CallName(needed);
    }

    int cardFailures = 0, alternateFailures = 0, absorbed = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const std::string what = Describe(i, calls[i]);
        const std::string systemText = std::strerror(ErrorFor(calls[i].call));
        std::string error;
        bool alternateProblem = false;
        SaveOutcome after;
        std::vector<std::string> stray;
        const std::vector<CallRecord> tried = RunScene(dir, i, [&](SaveScene& s) {
            try {
                s.Doc().SaveCardFile();
            } catch (const EProblemAltFile& e) {
                error = e.what();
                alternateProblem = true;
            } catch (const EInOutError& e) {
                error = e.what();
            }
            after = {s.Read("a.csv"), s.Read("a.bak"), s.Read("alt.csv"), s.Doc().FileModified()};
            stray = s.StrayFiles();
        });
        ASSERT_GT(tried.size(), i) << what;
        ASSERT_EQ(tried[i].call, calls[i].call) << what;

        EXPECT_TRUE(stray.empty()) << what << ": " << stray.front();
        // The previous card file is intact under its name or as the backup, and the card
        // file is either it or the complete new one.
        EXPECT_TRUE(after.card == SaveScene::kOldCard || after.card == newCard) << what;
        EXPECT_TRUE(after.card == SaveScene::kOldCard || after.backup == SaveScene::kOldCard)
            << what;
        EXPECT_TRUE(after.alternate == SaveScene::kOldAlternate || after.alternate == newCard)
            << what;
        if (error.empty()) {
            // A failure the save may ignore: removing or naming the backup, removing the
            // autosave copy, syncing the folder; or one it worked around.
            ++absorbed;
            EXPECT_EQ(after.card, newCard) << what;
            EXPECT_EQ(after.alternate, newCard) << what;
            EXPECT_FALSE(after.modified) << what;
        } else if (alternateProblem) {
            ++alternateFailures;
            EXPECT_EQ(after.card, newCard) << what;
            EXPECT_EQ(after.alternate, SaveScene::kOldAlternate) << what;
            EXPECT_FALSE(after.modified) << what;
            EXPECT_TRUE(Contains(error, "Problem in saving alternate file.\r")) << what;
            EXPECT_TRUE(Contains(error, systemText)) << what << ": " << error;
        } else {
            ++cardFailures;
            EXPECT_EQ(after.card, SaveScene::kOldCard) << what;
            EXPECT_TRUE(after.modified) << what;
            EXPECT_EQ(error, SystemMessage(dir / "a.csv", ErrorFor(calls[i].call))) << what;
        }
    }
    // Every kind of outcome happened, so the test did reach each part of the save.
    EXPECT_GT(cardFailures, 0);
    EXPECT_GT(alternateFailures, 0);
    EXPECT_GT(absorbed, 0);
    RecordProperty("calls", static_cast<int>(calls.size()));
}

TEST_F(SaveFaultTest, EveryFailingCallOfAnAutoSaveLeavesSoundFiles) {
    std::string newCopy;
    const std::vector<CallRecord> calls = RunScene(dir, std::nullopt, [&](SaveScene& s) {
        s.Doc().AutoSaveIfDue();
        newCopy = s.Read("a.$$$");
    });
    ASSERT_TRUE(Contains(newCopy, "Smith,edited"));
    ASSERT_FALSE(calls.empty());

    int failures = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const std::string what = Describe(i, calls[i]);
        std::string error;
        std::string card, copy;
        bool modified = false;
        double stamp = 0;
        std::vector<std::string> stray;
        RunScene(dir, i, [&](SaveScene& s) {
            try {
                s.Doc().AutoSaveIfDue();
            } catch (const EInOutError& e) {
                error = e.what();
            }
            card = s.Read("a.csv");
            copy = s.Read("a.$$$");
            modified = s.Doc().FileModified();
            stamp = s.Doc().LastAutoSave();
            stray = s.StrayFiles();
        });
        EXPECT_TRUE(stray.empty()) << what << ": " << stray.front();
        EXPECT_EQ(card, SaveScene::kOldCard) << what;
        EXPECT_TRUE(modified) << what;
        EXPECT_GT(stamp, 0) << what;  // the next tick does not start another copy at once
        if (error.empty()) {
            EXPECT_EQ(copy, newCopy) << what;
        } else {
            ++failures;
            EXPECT_EQ(copy, SaveScene::kOldAutoSave) << what;
            EXPECT_EQ(error, SystemMessage(dir / "a.$$$", ErrorFor(calls[i].call))) << what;
        }
    }
    EXPECT_GT(failures, 0);
}

// Where the folder refuses unnamed files, the temporary names never stay behind either.
TEST_F(SaveFaultTest, EveryFailingCallWithNamedTemporaryFilesLeavesNoFileBehind) {
    const auto save = [](SaveScene& s) { s.Doc().SaveCardFile(); };
    const std::vector<CallRecord> calls = RunScene(dir, std::nullopt, save, true);
    int failures = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const std::string what = Describe(i, calls[i]);
        std::vector<std::string> stray;
        std::string card;
        RunScene(
            dir, i,
            [&](SaveScene& s) {
                try {
                    s.Doc().SaveCardFile();
                } catch (const TabellanError&) {
                    ++failures;
                }
                card = s.Read("a.csv");
                stray = s.StrayFiles();
            },
            true);
        EXPECT_TRUE(stray.empty()) << what << ": " << stray.front();
        EXPECT_TRUE(card == SaveScene::kOldCard || Contains(card, "Smith,edited")) << what;
    }
    EXPECT_GT(failures, 0);
}

}  // namespace
}  // namespace tabellan
