// Saves that compress on a worker thread: the window keeps running and takes no command
// meanwhile, a close waits for the save, and the file holds exactly the bytes a save in one
// thread writes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <future>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/background_compressor.h"
#include "app/card_memo.h"
#include "cardfile/card_file.h"
#include "cardfile/compression.h"
#include "support/window_fixture.h"

namespace tabellan::test {
namespace {

using namespace std::chrono_literals;

// Cards enough for a compression at level 3 to take a noticeable while.
std::vector<std::vector<std::string>> ManyCards(int count) {
    std::vector<std::vector<std::string>> cards;
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        cards.push_back({"Person " + n, n + " Long Street", "Town " + std::to_string(i % 97),
                         "Tel. 0" + std::to_string(100000 + i * 7919 % 900000),
                         "mail" + n + "@example.org"});
    }
    return cards;
}

class BackgroundSaveTest : public WindowTest {
  protected:
    void Trigger(const char* action) {
        QAction* a = window->Action(action);
        ASSERT_NE(a, nullptr) << action;
        a->trigger();
    }
};

TEST_F(BackgroundSaveTest, TheWindowsSaveWritesTheSameBytesAsTheLibrary) {
    struct Case {
        int level;
        std::string password;
    };
    for (const Case& c : {Case{3, ""}, Case{3, "s3cret"}, Case{1, "s3cret"}, Case{0, "s3cret"}}) {
        SCOPED_TRACE("level " + std::to_string(c.level) + " password " + c.password);
        FileSettings settings;
        settings.compressionLevel = c.level;
        settings.password = c.password;
        const std::string path = WriteCards("same.csv", ManyCards(600), settings);
        prompter.defaultPassword = c.password;
        Make({QString::fromStdString(path)});
        ASSERT_EQ(window->Doc().Cards().Count(), 600);
        window->Doc().SetFileModified(true);
        Trigger("mnuFileSave");
        ASSERT_FALSE(window->Doc().FileModified());

        const std::string direct = dir / "direct.csv";
        WriteCardFile(direct, window->Doc().Cards(), window->Doc().Settings(), true, prompter);
        EXPECT_EQ(ReadBytes(path), ReadBytes(direct));
        window.reset();
    }
}

TEST_F(BackgroundSaveTest, DuringASaveTheWindowRunsButTakesNoCommand) {
    FileSettings settings;
    settings.compressionLevel = 3;
    const std::string path = WriteCards("big.csv", ManyCards(2000), settings);
    Make({QString::fromStdString(path)});
    window->Doc().SetFileModified(true);

    struct During {
        bool ran = false;
        bool writing = false;
        bool busy = false;
        bool waitCursor = false;
        bool editorEnabled = true;
        bool closed = true;
    } during;
    QTimer::singleShot(0, window.get(), [&] {
        during.ran = true;
        during.writing = window->Doc().Writing();
        during.busy = window->Busy();
        during.waitCursor = prompter.busyDepth > 0;
        during.editorEnabled = window->Memo()->isEnabled();
        // A command that would change the cards, and a close.
        Trigger("mnuCardAdd");
        during.closed = window->close();
    });
    prompter.statuses.clear();
    Trigger("mnuFileSave");

    ASSERT_TRUE(during.ran);
    EXPECT_TRUE(during.writing);
    EXPECT_TRUE(during.busy);
    EXPECT_TRUE(during.waitCursor);
    EXPECT_FALSE(during.editorEnabled);
    EXPECT_FALSE(during.closed);
    EXPECT_TRUE(prompter.inputBoxes.empty());  // Add never asked for an index
    EXPECT_EQ(window->Doc().Cards().Count(), 2000);
    // The progress in the status bar: the save's text and a rising percentage.
    const std::string saving = "Saving " + path + "...";
    std::vector<int> percents;
    for (const std::string& status : prompter.statuses) {
        if (status.rfind(saving + " ", 0) == 0 && status.back() == '%') {
            percents.push_back(std::stoi(status.substr(saving.size() + 1)));
        }
    }
    ASSERT_FALSE(percents.empty());
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_LE(percents.back(), 100);

    // After the save the window is as before and the close asked for meanwhile happens.
    EXPECT_FALSE(window->Busy());
    EXPECT_EQ(prompter.busyDepth, 0);
    EXPECT_FALSE(window->Doc().FileModified());
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);
    CardSet reread;
    FileSettings readSettings;
    ScriptedPrompter quiet;
    LoadCsvCardFile(path, reread, readSettings, SettingsContext{}, quiet);
    EXPECT_EQ(reread.Count(), 2000);
    EXPECT_EQ(readSettings.compressionLevel, 3);
}

TEST_F(BackgroundSaveTest, AnAutosaveCompressesInTheBackgroundToo) {
    FileSettings settings;
    settings.compressionLevel = 3;
    const std::string path = WriteCards("auto.csv", ManyCards(1500), settings);
    Make({QString::fromStdString(path)});
    bool busyDuring = false;
    QTimer::singleShot(0, window.get(), [&] { busyDuring = window->Busy(); });
    window->UpdateEnablements();  // the first tick after the open writes the copy
    EXPECT_TRUE(busyDuring);
    EXPECT_FALSE(window->Busy());
    EXPECT_TRUE(Exists(dir / "auto.$$$"));
    CardSet copy;
    FileSettings copySettings;
    ScriptedPrompter quiet;
    LoadCsvCardFile(dir / "auto.$$$", copy, copySettings, SettingsContext{}, quiet);
    EXPECT_EQ(copy.Count(), 1500);
}

// The helper under the window's saves, on its own.
TEST(RunWhileEventLoopRunsTest, TheEventLoopRunsUntilTheWorkEnds) {
    std::promise<void> released;
    std::future<void> release = released.get_future();
    QTimer::singleShot(0, [&] { released.set_value(); });
    bool waitedForTheLoop = false;
    std::vector<int> reported;
    RunWhileEventLoopRuns(
        [&](const ProgressReport& report) {
            // Only the caller's event loop can release this.
            waitedForTheLoop = release.wait_for(10s) == std::future_status::ready;
            for (int p : {10, 50, 100}) {
                report(p);
            }
        },
        [&](int percent) { reported.push_back(percent); });
    EXPECT_TRUE(waitedForTheLoop);
    EXPECT_EQ(reported, (std::vector<int>{10, 50, 100}));  // all of them, before the return
}

TEST(RunWhileEventLoopRunsTest, AFailureOfTheWorkReachesTheCaller) {
    EXPECT_THROW(
        RunWhileEventLoopRuns([](const ProgressReport&) { throw std::runtime_error("disk gone"); }),
        std::runtime_error);
}

TEST(BackgroundCompressorTest, SameBlockAsCompressTextWithRisingProgress) {
    std::string body;
    for (const auto& card : ManyCards(800)) {
        body += card[0] + "," + card[1] + "," + card[3] + "\r\n";
    }
    int begun = 0;
    int ended = 0;
    std::vector<int> percents;
    const BodyCompressor compress =
        MakeBackgroundCompressor({[&] { ++begun; }, [&] { ++ended; },
                                  [&](const std::string& status, int p) {
                                      EXPECT_EQ(status, "Saving x.csv...");
                                      percents.push_back(p);
                                  }});
    for (int level : {1, 10}) {
        SCOPED_TRACE(level);
        percents.clear();
        EXPECT_EQ(compress(body, level, "Saving x.csv..."), CompressText(body, level));
        ASSERT_FALSE(percents.empty());
        EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
        EXPECT_LE(percents.back(), 100);
    }
    EXPECT_EQ(begun, 2);
    EXPECT_EQ(ended, 2);
    // A level the compressor refuses gives nothing, and the window is let go all the same.
    EXPECT_FALSE(compress(body, 11, "Saving x.csv...").has_value());
    EXPECT_EQ(ended, 3);
}

}  // namespace
}  // namespace tabellan::test
