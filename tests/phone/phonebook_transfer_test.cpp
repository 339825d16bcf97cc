// The phonebook commands over the real exchange and serial component, against a scripted
// phone on a pseudo-terminal.
#include "phone/phonebook_transfer.h"
#include "phone/phone_errors.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include "phone/event_dispatcher.h"
#include "phone/phone_exchange.h"
#include "phone/phonebook_reading.h"
#include "pty_fixture.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::FakePhone;
using ::testing::HasSubstr;
using Lines = std::vector<std::string>;

const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";
const std::string kRange = "\r\n+CPBR: (1-250),40,18\r\n\r\nOK\r\n";
const std::string kAnn = "1,\"555\",129,\"Ann\"";
const std::string kBo = "2,\"666\",129,\"Bo\"";

std::string EntriesReply(const Lines& entries) {
    std::string reply = "\r\n";
    for (const std::string& entry : entries) {
        reply += "+CPBR: " + entry + "\r\n";
    }
    return reply + kOk;
}

class TestCard : public PhonebookCard {
  public:
    std::vector<std::string> CardLines() const override { return lines; }
    void ReplaceCardText(const std::string& text) override { replacements.push_back(text); }
    Lines lines;
    Lines replacements;
};

class TestConfirmation : public UpdateConfirmation {
  public:
    bool ConfirmUpdate(const UpdatePlan& plan) override {
        plans.push_back(plan);
        return answer;
    }
    bool answer = true;
    std::vector<UpdatePlan> plans;
};

class Transfer : public ::testing::Test {
  protected:
    Transfer() : window(dispatcher), exchange(window, prompter, &dispatcher) {
        exchange.SerComm1().SetDeviceName(pty.SlavePath());
        PhoneTiming timing;
        timing.poll = 10ms;
        timing.silencePolls = 30;
        timing.openWait = 10ms;
        exchange.SetTiming(timing);
        prompter.standingInput = "1";
    }

    // A phone that answers from the table, OK for anything else, and records the commands.
    void StartPhone(std::map<std::string, std::string> replies) {
        phone.emplace(pty, [this, replies = std::move(replies)](const std::string& command) {
            if (command.starts_with("AT+cpbw=")) {
                const std::lock_guard lock(mutex);
                if (!backupsAtFirstWrite) {
                    backupsAtFirstWrite = BackupCount();
                }
            }
            const auto it = replies.find(command);
            return it != replies.end() ? it->second : kOk;
        });
        exchange.mnuPBOpenClick();
    }

    long BackupCount() const {
        std::error_code error;
        if (!fs::exists(dir / "backups", error)) {
            return 0;
        }
        return std::distance(fs::directory_iterator(dir / "backups"), fs::directory_iterator());
    }

    UpdateOutcome Update(const Lines& cardEntries) {
        return UpdatePhonebook(exchange, "SM", cardEntries, confirmation,
                               (dir / "backups").string());
    }

    Lines Writes() const {
        Lines writes;
        for (const std::string& command : phone->Commands()) {
            if (command.starts_with("AT+cpbw")) {
                writes.push_back(command);
            }
        }
        return writes;
    }

    testing::PtyPair pty;
    PollingDispatcher dispatcher;
    testing::RecordingWindow window;
    test::ScriptedPrompter prompter = test::OfferAcceptingPrompter();
    PhoneExchange exchange;
    std::optional<FakePhone> phone;
    TestCard card;
    TestConfirmation confirmation;
    test::TempFolder folder;
    const fs::path dir = folder.Path();
    std::mutex mutex;
    std::optional<long> backupsAtFirstWrite;
};

TEST_F(Transfer, ReadReplacesTheCardBody) {
    StartPhone({{"AT+cpbr=?", kRange}, {"AT+cpbr=1,250", EntriesReply({kBo, kAnn})}});
    card.lines = {"My phone", "old", "3,\"1\",129,\"Old\"", "more", "lines"};
    EXPECT_TRUE(ReadPhonebookIntoCard(exchange, "SM", card));
    EXPECT_EQ(phone->Commands(), (Lines{"AT+cpbs=\"SM\"", "AT+cpbr=?", "AT+cpbr=1,250"}));
    EXPECT_EQ(card.replacements, (Lines{"My phone\r\n\r\n" + kBo + "\r\n" + kAnn + "\r\n"}));
    EXPECT_TRUE(prompter.Texts().empty());
    EXPECT_EQ(window.disabled, 0);
    EXPECT_TRUE(window.PanelShowed(1, "Reading phonebook..."));
    EXPECT_TRUE(window.PanelShowed(1, "Getting phonebook capacity..."));
    EXPECT_TRUE(window.PanelShowed(1, "Setting Memory Storage..."));
}

TEST_F(Transfer, EmptyPhonebookLeavesTheIndexAndAnEmptyLine) {
    StartPhone({{"AT+cpbr=?", kRange}});
    card.lines = {"Phone", "", kAnn};
    EXPECT_EQ(ReadPhonebook(exchange, "ME"), Lines{});
    EXPECT_TRUE(ReadPhonebookIntoCard(exchange, "ME", card));
    EXPECT_EQ(card.replacements, (Lines{"Phone\r\n\r\n"}));
    EXPECT_EQ(phone->Commands().front(), "AT+cpbs=\"ME\"");
}

TEST_F(Transfer, FailedStepsLeaveTheCardUnchanged) {
    // The storage is refused: nothing more is sent.
    StartPhone({{"AT+cpbs=\"XX\"", kError}});
    EXPECT_FALSE(ReadPhonebookIntoCard(exchange, "XX", card));
    EXPECT_EQ(phone->Commands(), (Lines{"AT+cpbs=\"XX\""}));
    EXPECT_EQ(prompter.Texts().size(), 1u);
    // The capacity query fails: the read goes out with an empty range and fails too.
    phone.reset();
    StartPhone({{"AT+cpbr=?", kError}, {"AT+cpbr=", kError}});
    EXPECT_FALSE(ReadPhonebookIntoCard(exchange, "SM", card));
    EXPECT_EQ(phone->Commands(), (Lines{"AT+cpbs=\"SM\"", "AT+cpbr=?", "AT+cpbr="}));
    EXPECT_EQ(prompter.Texts().size(), 3u);
    EXPECT_THAT(prompter.Texts().back(), HasSubstr("Action: Reading phonebook..."));
    EXPECT_TRUE(card.replacements.empty());
    EXPECT_EQ(window.disabled, 0);
}

TEST_F(Transfer, CancelledPortPromptEndsTheCommand) {
    prompter.cancelInputs = true;
    EXPECT_THROW(ReadPhonebookIntoCard(exchange, "SM", card), EPortOpenErr);
    EXPECT_THROW(ShowMobileInformation(exchange), EPortOpenErr);
    EXPECT_THROW(Update({kAnn}), EPortOpenErr);
    EXPECT_TRUE(card.replacements.empty());
    EXPECT_TRUE(confirmation.plans.empty());
    EXPECT_TRUE(prompter.Texts().empty());
    EXPECT_EQ(window.disabled, 0);
}

TEST_F(Transfer, MobileInformationLeavesOutFailedQueries) {
    StartPhone({{"AT+CGMI", "\r\nNokia\r\n" + kOk},
                {"AT+CGMM", "OK\r\n"},
                {"AT+CSQ", "\r\n+CSQ: 15,99\r\n" + kOk},
                {"AT+CGMR", kError},
                {"AT+CGSN", kError},
                {"AT+CIMI", kError},
                {"AT+GMI", kError},
                {"AT+GMM", kError},
                {"AT+GMR", kError},
                {"AT+GSN", kError},
                {"AT+CSCA?", kError},
                {"AT+CBC", kError}});
    const auto text = ShowMobileInformation(exchange);
    ASSERT_TRUE(text);
    Lines sent;
    for (const PhoneInfoQuery& query : kPhoneInfoQueries) {
        sent.push_back(query.command);
    }
    EXPECT_EQ(phone->Commands(), sent);
    EXPECT_EQ(*text, "MOBILE PHONE INFORMATION:\r\n\r\n" + PhoneInfoLabelColumn("Manufacturer Id") +
                         "    Nokia\r\n" + PhoneInfoLabelColumn("Model Id") + "OK\r\n" +
                         PhoneInfoLabelColumn("Signal Quality") + "     15,99\r\n");
    EXPECT_EQ(prompter.Texts(), (Lines{*text}));
    EXPECT_TRUE(window.PanelShowed(1, "Getting Serial No Id (IMEI)..."));
    EXPECT_EQ(window.disabled, 0);
}

TEST_F(Transfer, MobileInformationWhenEveryQueryFails) {
    phone.emplace(pty, [](const std::string&) { return kError; });
    exchange.mnuPBOpenClick();
    EXPECT_EQ(ShowMobileInformation(exchange), std::nullopt);
    EXPECT_EQ(prompter.Texts(), (Lines{"Unable to get mobile information!"}));
}

TEST_F(Transfer, UpdateWithNothingToDo) {
    StartPhone({{"AT+cpbr=?", kRange}, {"AT+cpbr=1,250", EntriesReply({kAnn, kBo})}});
    const UpdateOutcome outcome = Update({kBo, "", kAnn});
    EXPECT_EQ(outcome.status, UpdateOutcome::Status::NothingToDo);
    EXPECT_EQ(prompter.Texts(), (Lines{"No update is necessary."}));
    EXPECT_TRUE(confirmation.plans.empty());
    EXPECT_TRUE(Writes().empty());
    EXPECT_TRUE(window.PanelShowed(1, "Checking phonebook..."));
    EXPECT_EQ(BackupCount(), 0);
}

TEST_F(Transfer, CancelledUpdateSendsNothing) {
    StartPhone({{"AT+cpbr=?", kRange}, {"AT+cpbr=1,250", EntriesReply({kAnn, kBo})}});
    confirmation.answer = false;
    const UpdateOutcome outcome = Update({kAnn});
    EXPECT_EQ(outcome.status, UpdateOutcome::Status::Cancelled);
    ASSERT_EQ(confirmation.plans.size(), 1u);
    EXPECT_EQ(confirmation.plans[0].deleteList, (Lines{kBo}));
    EXPECT_EQ(prompter.Texts(),
              (Lines{"Mobile phonebook not updated! You can make your updates later..."}));
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(BackupCount(), 0);
    EXPECT_EQ(window.disabled, 0);
}

TEST_F(Transfer, UpdateRefusesAPlanWithALineItCannotWrite) {
    StartPhone({{"AT+cpbr=?", kRange}, {"AT+cpbr=1,250", EntriesReply({kAnn, kBo})}});
    const UpdateOutcome outcome = Update({"Call Bo back", "300,\"1\",129,\"Far\""});
    EXPECT_EQ(outcome.status, UpdateOutcome::Status::Refused);
    ASSERT_EQ(prompter.Texts().size(), 1u);
    EXPECT_THAT(prompter.Texts()[0], HasSubstr("\r\nCall Bo back\r\n300,\"1\",129,\"Far\"\r\n"));
    EXPECT_THAT(prompter.Texts()[0], HasSubstr("from 1 to 250"));
    EXPECT_TRUE(confirmation.plans.empty());
    EXPECT_TRUE(Writes().empty()) << "not even the deletes go out";
    EXPECT_EQ(BackupCount(), 0);
}

TEST_F(Transfer, UpdateKeepsABackupThenDeletesBeforeWriting) {
    const std::string renamed = "2,\"666\",129,\"Bob\"";
    const std::string fresh = ",\"777\",129,\"Cy\"";
    StartPhone({{"AT+cpbr=?", kRange}, {"AT+cpbr=1,250", EntriesReply({kAnn, kBo})}});
    const UpdateOutcome outcome = Update({fresh, renamed});
    EXPECT_EQ(outcome.status, UpdateOutcome::Status::Sent);
    EXPECT_EQ(outcome.commandsSent, 3u);
    EXPECT_EQ(outcome.commandsFailed, 0u);
    EXPECT_EQ(Writes(), (Lines{"AT+cpbw=1", "AT+cpbw=" + fresh, "AT+cpbw=" + renamed}));
    EXPECT_TRUE(prompter.Texts().empty());
    // The backup was there before the first delete reached the phone.
    EXPECT_EQ(backupsAtFirstWrite, 1);
    ASSERT_FALSE(outcome.backupPath.empty());
    EXPECT_EQ(fs::path(outcome.backupPath).parent_path(), dir / "backups");
    std::ifstream in(outcome.backupPath, std::ios::binary);
    const std::string backup((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    EXPECT_TRUE(backup.ends_with("\r\n\r\n" + kAnn + "\r\n" + kBo + "\r\n")) << backup;
    EXPECT_TRUE(window.PanelShowed(1, "Deleting " + kAnn));
    EXPECT_TRUE(window.PanelShowed(1, "Inserting " + fresh));
    EXPECT_EQ(window.disabled, 0);
}

TEST_F(Transfer, FailedCommandsNameTheBackupAndTheRestStillGoOut) {
    const std::string tooLong = "3,\"1\",129,\"A name far too long\"";
    const std::string fresh = "4,\"2\",129,\"Di\"";
    StartPhone({{"AT+cpbr=?", kRange},
                {"AT+cpbr=1,250", EntriesReply({kAnn})},
                {"AT+cpbw=" + tooLong, "\r\n+CME ERROR: 24\r\n"}});
    const UpdateOutcome outcome = Update({kAnn, tooLong, fresh});
    EXPECT_EQ(outcome.status, UpdateOutcome::Status::Sent);
    EXPECT_EQ(outcome.commandsSent, 2u);
    EXPECT_EQ(outcome.commandsFailed, 1u);
    EXPECT_EQ(Writes(), (Lines{"AT+cpbw=" + tooLong, "AT+cpbw=" + fresh}));
    ASSERT_EQ(prompter.Texts().size(), 1u);
    EXPECT_EQ(prompter.Texts()[0],
              "Action: Inserting " + tooLong +
                  "\r\n\r\nInvalid or incomplete response from phone: +CME ERROR: 24\r\nPlease "
                  "retry...\r\n\r\nThe phone's entries as they were before this update are kept "
                  "in " +
                  outcome.backupPath);
    // Later exchanges no longer carry the note.
    exchange.SendPhoneCommand("AT+cpbw=" + tooLong, "Again", true);
    EXPECT_THAT(prompter.Texts().back(), ::testing::Not(HasSubstr("backup")));
    EXPECT_THAT(prompter.Texts().back(), ::testing::Not(HasSubstr("kept in")));
}

TEST_F(Transfer, NothingIsSentWhenTheBackupCannotBeWritten) {
    StartPhone({{"AT+cpbr=?", kRange}, {"AT+cpbr=1,250", EntriesReply({kAnn, kBo})}});
    std::ofstream(dir / "backups") << "a file, not a folder";
    const UpdateOutcome outcome = Update({kAnn});
    EXPECT_EQ(outcome.status, UpdateOutcome::Status::BackupFailed);
    ASSERT_EQ(prompter.Texts().size(), 1u);
    EXPECT_THAT(prompter.Texts()[0], HasSubstr("nothing was sent"));
    EXPECT_THAT(prompter.Texts()[0], HasSubstr((dir / "backups").string()));
    EXPECT_TRUE(Writes().empty());
}

TEST_F(Transfer, EmptyRowsAreConfirmedButSendNothing) {
    StartPhone({{"AT+cpbr=?", kRange}});
    const UpdateOutcome outcome = Update({"", ""});
    EXPECT_EQ(outcome.status, UpdateOutcome::Status::Sent);
    ASSERT_EQ(confirmation.plans.size(), 1u);
    EXPECT_EQ(confirmation.plans[0].addList, (Lines{"", ""}));
    EXPECT_TRUE(Writes().empty());
    EXPECT_TRUE(outcome.backupPath.empty());
    EXPECT_EQ(BackupCount(), 0);
}

// Bytes that came after a reply was judged are not taken for the answer to the next command:
// a late OK in the input must not make a refused write look done.
TEST_F(Transfer, LateBytesAreDiscardedBeforeTheNextCommand) {
    phone.emplace(
        pty,
        [](const std::string& command) {
            if (command.starts_with("AT+cpbw=9")) {
                std::this_thread::sleep_for(150ms);
                return kError;
            }
            return kOk;
        },
        FakePhone::Options{.echo = false});
    exchange.mnuPBOpenClick();
    exchange.SendPhoneCommand("AT", "First", true);
    ASSERT_EQ(exchange.ReplyList().back(), "OK");
    pty.Write("\r\nOK\r\n");
    std::this_thread::sleep_for(100ms);
    exchange.SendPhoneCommand("AT+cpbw=9,\"1\",129,\"X\"", "Inserting", true);
    EXPECT_TRUE(exchange.ReplyList().empty());
    EXPECT_EQ(prompter.Texts(),
              (Lines{"Action: Inserting\r\n\r\nInvalid or incomplete response from phone: "
                     "ERROR\r\nPlease retry..."}));
}

}  // namespace
}  // namespace tabellan
