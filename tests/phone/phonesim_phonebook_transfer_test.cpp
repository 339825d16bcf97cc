// Read, Mobile Information and Update through the serial component against the simulated
// phone, with the habits of real phones switched on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "phone/event_dispatcher.h"
#include "phone/phone_errors.h"
#include "phone/phone_exchange.h"
#include "phone/phonebook_reading.h"
#include "phone/phonebook_transfer.h"
#include "phonesim_process.h"
#include "pty_fixture.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using Lines = std::vector<std::string>;

// Four entries: a plain one, one with "@", one with a line break inside its name, and one
// with a Latin-1 letter.
const char* const kBook = R"({"SM": {"capacity": 100, "entries": [
    {"index": 1, "number": "+4930123", "type": 145, "text": "Ann"},
    {"index": 4, "number": "0301", "type": 129, "text": "Bo@Work"},
    {"index": 7, "number": "0302", "type": 129, "text": "Cy\r\nLee"},
    {"index": 9, "number": "0303", "type": 129, "text": "D\u00e9sir\u00e9e"}]},
  "ME": {"capacity": 10, "entries": []}})";

const Lines kBookEntries = {"1,\"+4930123\",145,\"Ann\"", "4,\"0301\",129,\"Bo@Work\"",
                            "7,\"0302\",129,\"Cy Lee\"",
                            "9,\"0303\",129,\"D\xE9sir\xE9"
                            "e\""};

std::string Slurp(const fs::path& path) {
    return test::ReadBytes(path.string());
}

class Confirm : public UpdateConfirmation {
  public:
    bool ConfirmUpdate(const UpdatePlan& plan) override {
        plans.push_back(plan);
        return true;
    }
    std::vector<UpdatePlan> plans;
};

class SimulatedPhonebook : public ::testing::Test {
  protected:
    SimulatedPhonebook() : window(dispatcher), exchange(window, prompter, &dispatcher) {
        PhoneTiming timing;
        timing.poll = 10ms;
        timing.silencePolls = 20;
        timing.openWait = 10ms;
        exchange.SetTiming(timing);
        prompter.standingInput = "1";
        std::ofstream(dir / "book.json") << kBook;
    }

    void Start(std::vector<std::string> quirks) {
        exchange.mnuPBClosePortClick();
        quirks.push_back("--phonebook");
        quirks.push_back((dir / "book.json").string());
        sim.emplace(std::move(quirks));
        exchange.SerComm1().SetDeviceName(sim->firstLine());
        exchange.mnuPBOpenClick();
    }

    std::string Backups() const { return (dir / "backups").string(); }

    test::TempFolder folder;
    const fs::path dir = folder.Path();
    PollingDispatcher dispatcher;
    testing::RecordingWindow window;
    test::ScriptedPrompter prompter = test::OfferAcceptingPrompter();
    PhoneExchange exchange;
    std::optional<testing::PhonesimProcess> sim;
};

TEST_F(SimulatedPhonebook, ReadsEveryEntryWhateverThePhonesHabits) {
    for (const Lines& quirks :
         {Lines{}, Lines{"--no-blank"}, Lines{"--ring"}, Lines{"--nul-at", "--ring", "--no-blank"},
          Lines{"--no-echo", "--bare-ok", "--nul-at"}}) {
        SCOPED_TRACE(::testing::PrintToString(quirks));
        Start(quirks);
        EXPECT_EQ(ReadPhonebook(exchange, "SM"), kBookEntries);
        EXPECT_TRUE(prompter.Texts().empty()) << prompter.Texts().front();
    }
    EXPECT_EQ(ReadPhonebook(exchange, "ME"), Lines{});
}

TEST_F(SimulatedPhonebook, UpdateThenReadBack) {
    Start({"--nul-at", "--no-blank"});
    Lines card = {"Phone", ""};
    card.insert(card.end(), kBookEntries.begin(), kBookEntries.end());
    card[2] = "1,\"+4930123\",145,\"Ann Smith\"";  // renamed
    card.erase(card.begin() + 3);                  // Bo deleted
    card.push_back(",\"0304\",129,\"Eve\"");       // the phone chooses the location
    Confirm confirm;
    const UpdateOutcome outcome =
        UpdatePhonebook(exchange, "SM", CardEntryLines(card), confirm, Backups());
    EXPECT_EQ(outcome.status, UpdateOutcome::Status::Sent);
    EXPECT_EQ(outcome.commandsSent, 3u);
    EXPECT_EQ(outcome.commandsFailed, 0u);
    EXPECT_TRUE(prompter.Texts().empty());
    ASSERT_EQ(confirm.plans.size(), 1u);
    EXPECT_EQ(confirm.plans[0].deleteList, (Lines{kBookEntries[1]}));
    // The backup holds what the phone held, "@" included.
    EXPECT_THAT(Slurp(outcome.backupPath), HasSubstr("\r\n4,\"0301\",129,\"Bo@Work\"\r\n"));

    EXPECT_EQ(ReadPhonebook(exchange, "SM"),
              (Lines{"1,\"+4930123\",145,\"Ann Smith\"", "2,\"0304\",129,\"Eve\"",
                     "7,\"0302\",129,\"Cy Lee\"", kBookEntries[3]}));
    // The entry whose name held a line break was left alone on the phone.
    EXPECT_THAT(Slurp(dir / "book.json"), HasSubstr("Cy\\r\\nLee"));
    // Reading again gives the card back: nothing more to do.
    Lines again = {"Phone", ""};
    const auto read = ReadPhonebook(exchange, "SM");
    again.insert(again.end(), read->begin(), read->end());
    EXPECT_EQ(UpdatePhonebook(exchange, "SM", CardEntryLines(again), confirm, Backups()).status,
              UpdateOutcome::Status::NothingToDo);
}

TEST_F(SimulatedPhonebook, PhoneGoneDuringTheUpdateNamesTheBackup) {
    // Commands: storage, capacity, read, then the first delete, whose answer never comes.
    Start({"--late", "4:60000"});
    std::thread killer([this] {
        for (int i = 0; i < 500 && !fs::exists(Backups()); ++i) {
            std::this_thread::sleep_for(10ms);
        }
        std::this_thread::sleep_for(50ms);
        sim->signal(SIGKILL);
    });
    Confirm confirm;
    try {
        UpdatePhonebook(exchange, "SM", {kBookEntries[0]}, confirm, Backups());
        ADD_FAILURE() << "no exception";
    } catch (const ESerCommError& e) {
        const std::string message = e.what();
        EXPECT_THAT(message, HasSubstr("The phone's entries as they were before this update are "
                                       "kept in " +
                                       Backups() + "/phonebook-"));
    }
    killer.join();
    EXPECT_EQ(window.disabled, 0);
}

// A write whose answer came too late was reported as failed; its OK then waits in the input
// and must not be taken for the answer to the next write, which the phone refuses.
TEST_F(SimulatedPhonebook, LateAnswerIsNotCreditedToTheNextCommand) {
    Start({"--no-echo", "--late", "1:400", "--late", "2:100"});
    exchange.SendPhoneCommand("AT+cpbw=2,\"0305\",129,\"Flo\"", "Inserting Flo", true);
    EXPECT_TRUE(exchange.ReplyList().empty());
    std::this_thread::sleep_for(400ms);
    exchange.SendPhoneCommand("AT+cpbw=999,\"0306\",129,\"Gus\"", "Inserting Gus", true);
    EXPECT_TRUE(exchange.ReplyList().empty());
    ASSERT_EQ(prompter.Texts().size(), 2u);
    EXPECT_THAT(prompter.Texts()[0], HasSubstr("No response from phone."));
    EXPECT_THAT(prompter.Texts()[1],
                HasSubstr("Inserting Gus\r\n\r\nInvalid or incomplete response from phone: ERROR"));
}

TEST_F(SimulatedPhonebook, MobileInformation) {
    Start({"--no-blank"});
    const auto text = ShowMobileInformation(exchange);
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->starts_with("MOBILE PHONE INFORMATION:\r\n\r\n" +
                                  PhoneInfoLabelColumn("Manufacturer Id") + "    Phonesim\r\n"));
    EXPECT_THAT(*text, HasSubstr(PhoneInfoLabelColumn("Signal Quality") + "    15,99\r\n"));
    EXPECT_THAT(*text, HasSubstr(PhoneInfoLabelColumn("SMS Service Center") +
                                 "    \"+491710760000\",145\r\n"));
    EXPECT_EQ(std::count(text->begin(), text->end(), '\t'), 12);
}

}  // namespace
}  // namespace tabellan
