// The simulator through the real serial component and phone exchange.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "phone/event_dispatcher.h"
#include "phone/phone_exchange.h"
#include "phonesim_process.h"
#include "pty_fixture.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

std::string Rejected(const std::string& last) {
    return "Action: Testing...\r\n\r\nInvalid or incomplete response from phone: " + last +
           "\r\nPlease retry...";
}

class PhonesimExchange : public ::testing::Test {
  protected:
    PhonesimExchange() : window_(dispatcher_), exchange_(window_, prompter_, &dispatcher_) {
        PhoneTiming timing;
        timing.poll = 10ms;
        timing.openWait = 10ms;
        exchange_.SetTiming(timing);
        prompter_.standingInput = "1";
    }

    void Start(std::vector<std::string> args) {
        exchange_.mnuPBClosePortClick();
        sim_.emplace(std::move(args));
        exchange_.SerComm1().SetDeviceName(sim_->firstLine());
        exchange_.mnuPBOpenClick();
    }

    Lines Send(const std::string& command) {
        exchange_.SendPhoneCommand(command, "Testing...", true);
        return exchange_.ReplyList();
    }

    PollingDispatcher dispatcher_;
    testing::RecordingWindow window_;
    test::ScriptedPrompter prompter_;
    PhoneExchange exchange_;
    std::optional<testing::PhonesimProcess> sim_;
};

TEST_F(PhonesimExchange, ReadAndUpdateAPhonebookFile) {
    const test::TempFolder dir("phonesim-exchange");
    const fs::path file = dir.File("phonebook.json");
    std::ofstream(file) << R"({"SM": {"capacity": 250, "entries": [
        {"index": 1, "number": "+4930123", "type": 145, "text": "Alice"},
        {"index": 2, "number": "0301", "type": 129, "text": "Bob"}]}})";
    Start({"--phonebook", file.string()});

    EXPECT_EQ(Send("AT+cpbs=\"SM\""), (Lines{"AT+cpbs=\"SM\"", "", "OK"}));
    const Lines range = Send("AT+cpbr=?");
    ASSERT_GE(range.size(), 3u);
    EXPECT_EQ(range[range.size() - 3], "+CPBR: (1-250),40,18");
    EXPECT_EQ(Send("AT+cpbr=1,250"),
              (Lines{"AT+cpbr=1,250", "", "+CPBR: 1,\"+4930123\",145,\"Alice\"",
                     "+CPBR: 2,\"0301\",129,\"Bob\"", "", "OK"}));
    EXPECT_EQ(Send("AT+cpbw=2").back(), "OK");
    EXPECT_EQ(Send("AT+cpbw=1,\"+4930123\",145,\"Alice Mobile\"").back(), "OK");
    EXPECT_EQ(Send("AT+cpbw=,\"0302\",129,\"Carol\"").back(), "OK");
    EXPECT_TRUE(prompter_.Texts().empty());

    std::ifstream in(file);
    std::ostringstream saved;
    saved << in.rdbuf();
    EXPECT_NE(saved.str().find("\"Alice Mobile\""), std::string::npos);
    EXPECT_NE(saved.str().find("\"Carol\""), std::string::npos);
    EXPECT_EQ(saved.str().find("\"Bob\""), std::string::npos);
}

TEST_F(PhonesimExchange, LfOnlyAndBareOkRepliesAreAcceptedAfterSilence) {
    Start({"--lf-only"});
    EXPECT_EQ(Send("AT+CGMI"), (Lines{"AT+CGMI", "Phonesim", "", "OK"}));
    Start({"--bare-ok", "--no-echo"});
    EXPECT_EQ(Send("AT"), (Lines{"OK"}));
    EXPECT_TRUE(prompter_.Texts().empty());
}

TEST_F(PhonesimExchange, UnsolicitedRingStaysAmongTheLines) {
    Start({"--ring"});
    EXPECT_EQ(Send("AT+CSQ"), (Lines{"AT+CSQ", "", "+CSQ: 15,99", "", "RING", "", "OK"}));
}

TEST_F(PhonesimExchange, FaultyPhonesAreRejected) {
    Start({"--cme", "11"});
    EXPECT_TRUE(Send("AT+cpbr=?").empty());
    Start({"--cut-off"});
    EXPECT_TRUE(Send("AT+CGMI").empty());
    Start({"--garbage"});
    EXPECT_TRUE(Send("AT").empty());
    Start({"--silent"});
    EXPECT_TRUE(Send("AT").empty());
    ASSERT_EQ(prompter_.Texts().size(), 4u);
    EXPECT_EQ(prompter_.Texts()[0], Rejected("+CME ERROR: 11"));
    EXPECT_EQ(prompter_.Texts()[1], Rejected("Phonesi"));
    EXPECT_EQ(prompter_.Texts()[3],
              "Action: Testing...\r\nNo response from phone. Check connection...");
}

TEST_F(PhonesimExchange, ReplayOfACapturedReply) {
    Start(
        {"--replay", std::string(TABELLAN_TEST_DATA) + "/at/at-model__02.dump", "--trickle", "2"});
    EXPECT_EQ(Send("AT+CGMM"), (Lines{"AT+CGMM", "Nokia 5210", "OK"}));
}

}  // namespace
}  // namespace tabellan
