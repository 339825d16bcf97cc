// Crash test: a process saving a card file again and again is killed (SIGKILL) at random
// moments; the card file, its backup and its autosave copy are each always a complete file.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "cardfile/card_file.h"
#include "cardfile/document.h"
#include "cardfile/errors.h"
#include "document_fake_view.h"
#include "support/scripted_prompter.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using test::FakeDocumentView;
using test::ScriptedPrompter;
using test::TempFolder;

constexpr int kCards = 1500;
constexpr int kKills = 120;
constexpr const char* kPassword = "crash";

std::string IndexOf(int i) {
    return "Card " + std::to_string(100000 + i);
}

// Written once before the first run: every card says which save wrote it.
void WriteFirstVersion(const std::string& path) {
    CardSet cards;
    for (int i = 0; i < kCards; ++i) {
        cards.AppendUnsorted(Card{{IndexOf(i), "version 0", std::string(60, 'x')}});
    }
    cards.SortPending();
    ScriptedPrompter prompter;
    WriteCardFile(path, cards, FileSettings{}, true, prompter);
}

// The child: opens the file and saves new versions of it, with an autosave before each
// save, until it is killed. Reports on the pipe once it is saving. Never returns.
[[noreturn]] void SaveForever(const std::string& path, int readyFd, bool compressed) {
    double now = 45000.5;
    FakeDocumentView view;
    ScriptedPrompter prompter;
    prompter.passwords.assign(2, std::optional<std::string>(kPassword));
    prompter.unansweredDefault = Answer::No;  // the card file, not a left-over autosave copy
    Document doc(view, prompter, SettingsContext{}, [&now] { return now; });
    doc.ReadCardFile(path);
    if (doc.Cards().Count() != kCards) {
        ::_exit(3);
    }
    doc.Settings().compressionLevel = compressed ? 1 : 0;
    doc.Settings().password = compressed ? kPassword : "";
    for (long version = 1;; ++version) {
        const std::string text = "version " + std::to_string(version);
        for (int pos = 0; pos < doc.Cards().Count(); ++pos) {
            doc.Cards().CommitLines(
                pos, {doc.Cards().IndexAt(pos), text, std::string(60 + version % 7, 'x')}, nullptr);
        }
        doc.SetFileModified(true);
        now += 1;  // a day: the autosave is due
        doc.AutoSaveIfDue();
        doc.SaveCardFile();
        if (version == 1) {
            const char ready = 1;
            (void)!::write(readyFd, &ready, 1);
        }
    }
}

// "" when the file is a complete card file from one save, else what is wrong.
std::string CompleteFileProblem(const std::string& path) {
    CardSet cards;
    FileSettings settings;
    ScriptedPrompter prompter;
    prompter.passwords.assign(1, std::optional<std::string>(kPassword));
    try {
        LoadCsvCardFile(path, cards, settings, SettingsContext{}, prompter);
    } catch (const std::exception& e) {
        return e.what();
    }
    if (cards.Count() != kCards) {
        return std::to_string(cards.Count()) + " cards";
    }
    std::set<std::string> versions;
    for (int i = 0; i < kCards; ++i) {
        const Card& card = cards.CardAt(i);
        if (card.lines.size() != 3 || card.lines[0] != IndexOf(i)) {
            return "card " + std::to_string(i) + " damaged";
        }
        versions.insert(card.lines[1]);
    }
    return versions.size() == 1 ? "" : "cards of several saves";
}

TEST(SaveCrashTest, AKilledSaveNeverLeavesATornFile) {
    TempFolder dir;
    const std::string card = dir / "a.csv";
    WriteFirstVersion(card);
    std::mt19937 random(20261208);
    int strayFiles = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeFds[0]);
            SaveForever(card, pipeFds[1], kill % 2 == 1);
        }
        ::close(pipeFds[1]);
        char ready = 0;
        const bool saving = ::read(pipeFds[0], &ready, 1) == 1;
        ::close(pipeFds[0]);
        // A moment somewhere within the next few saves.
        const long delayNs = std::uniform_int_distribution<long>(0, 30'000'000)(random);
        const timespec delay{0, delayNs};
        ::nanosleep(&delay, nullptr);
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(saving) << "the saving process ended early, status " << status;

        EXPECT_EQ(CompleteFileProblem(card), "") << "kill " << kill;
        for (const std::string& side : {dir / "a.bak", dir / "a.$$$"}) {
            if (fs::exists(side)) {
                EXPECT_EQ(CompleteFileProblem(side), "") << side << ", kill " << kill;
            }
        }
        // A file named only for the instant between naming the new file and putting it in
        // place is the most a kill can leave; count such leftovers and clear them away.
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            const std::string name = entry.path().filename().string();
            if (name != "a.csv" && name != "a.bak" && name != "a.$$$") {
                ++strayFiles;
                fs::remove(entry.path());
            }
        }
        if (HasFailure()) {
            break;
        }
    }
    RecordProperty("stray_files", strayFiles);
    std::printf("%d kills, %d files left under a temporary name\n", kKills, strayFiles);
    EXPECT_LE(strayFiles, kKills / 20);
}

}  // namespace
}  // namespace tabellan
