#include "phone/phone_exchange.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#include "phone/event_dispatcher.h"
#include "phone/phone_errors.h"
#include "phone/port_device.h"
#include "pty_fixture.h"
#include "support/scripted_prompter.h"

namespace tabellan {
namespace {

using namespace std::chrono_literals;
using testing::FakePhone;
using testing::PtyPair;
using Clock = std::chrono::steady_clock;
using Lines = std::vector<std::string>;

PhoneTiming FastTiming() {
    PhoneTiming timing;
    timing.poll = 10ms;
    timing.openWait = 100ms;
    return timing;
}

std::string Invalid(const std::string& action, const std::string& last) {
    return "Action: " + action + "\r\n\r\nInvalid or incomplete response from phone: " + last +
           "\r\nPlease retry...";
}

class Exchange : public ::testing::Test {
  protected:
    Exchange() : window(dispatcher), exchange(window, prompter, &dispatcher) {
        exchange.SerComm1().SetDeviceName(pty.SlavePath());
        exchange.SetTiming(FastTiming());
        prompter.standingInput = "1";
    }

    // Sends and returns how long the exchange took.
    Clock::duration Send(const std::string& command, bool showErrors = true) {
        const auto start = Clock::now();
        exchange.SendPhoneCommand(command, "Testing...", showErrors);
        return Clock::now() - start;
    }

    PtyPair pty;
    PollingDispatcher dispatcher;
    testing::RecordingWindow window;
    test::ScriptedPrompter prompter = test::OfferAcceptingPrompter();
    PhoneExchange exchange;
};

TEST_F(Exchange, EchoingPhoneInVerboseFormat) {
    FakePhone phone(pty, [](const std::string&) { return "\r\nNokia\r\n\r\nOK\r\n"; });
    exchange.mnuPBOpenClick();
    EXPECT_TRUE(window.PanelShowed(0, "Port open"));
    EXPECT_TRUE(window.closePortEnabled);
    const auto took = Send("AT+CGMI");
    EXPECT_EQ(exchange.ReplyList(), (Lines{"AT+CGMI", "", "Nokia", "", "OK"}));
    EXPECT_TRUE(prompter.Texts().empty());
    EXPECT_EQ(phone.Commands(), (Lines{"AT+CGMI"}));
    EXPECT_LT(took, 600ms);  // well before the 800 ms of silence
    EXPECT_TRUE(window.PanelShowed(0, "Writing 9 characters..."));
    EXPECT_TRUE(window.PanelShowed(1, "Testing..."));
    EXPECT_EQ(window.PanelText(1), "");
    EXPECT_EQ(window.PanelText(0), "23 bytes read.");
    EXPECT_EQ(prompter.busyDepth, 0);
}

TEST_F(Exchange, PhoneWithoutEcho) {
    FakePhone phone(pty, [](const std::string&) { return "\r\n+CSQ: 15,99\r\n\r\nOK\r\n"; },
                    {.echo = false});
    exchange.mnuPBOpenClick();
    Send("AT+CSQ");
    EXPECT_EQ(exchange.ReplyList(), (Lines{"", "+CSQ: 15,99", "", "OK"}));
}

TEST_F(Exchange, BareOkEndsOnSilenceAndIsAccepted) {
    FakePhone phone(pty, [](const std::string&) { return "OK\r\n"; }, {.echo = false});
    exchange.mnuPBOpenClick();
    const auto took = Send("AT");
    EXPECT_EQ(exchange.ReplyList(), (Lines{"OK"}));
    EXPECT_GE(took, 750ms);  // 80 idle polls of 10 ms
    EXPECT_TRUE(prompter.Texts().empty());
}

TEST_F(Exchange, ErrorReplyEndsAtOnceAndIsRejected) {
    FakePhone phone(pty, [](const std::string&) { return "\r\nERROR\r\n"; });
    exchange.mnuPBOpenClick();
    PhoneTiming timing = FastTiming();
    timing.silencePolls = 1000;
    exchange.SetTiming(timing);
    const auto took = Send("AT+CPBS=\"XX\"");
    EXPECT_LT(took, 5s);
    EXPECT_TRUE(exchange.ReplyList().empty());
    EXPECT_EQ(prompter.Texts(), (Lines{Invalid("Testing...", "ERROR")}));
}

TEST_F(Exchange, ExtendedErrorReportEndsAtOnceAndIsRejected) {
    FakePhone phone(pty, [](const std::string& cmd) {
        return cmd == "AT+CPBR=1" ? "\r\n+CME ERROR: 21\r\n" : "\r\n+CMS ERROR: 321\r\n";
    });
    exchange.mnuPBOpenClick();
    PhoneTiming timing = FastTiming();
    timing.silencePolls = 1000;  // silence would take 10 s
    exchange.SetTiming(timing);
    EXPECT_LT(Send("AT+CPBR=1"), 5s);
    EXPECT_TRUE(exchange.ReplyList().empty());
    EXPECT_LT(Send("AT+CMGR=1"), 5s);
    EXPECT_EQ(prompter.Texts(), (Lines{Invalid("Testing...", "+CME ERROR: 21"),
                                       Invalid("Testing...", "+CMS ERROR: 321")}));
}

TEST_F(Exchange, ErrorsNotShownWhenAskedNotTo) {
    FakePhone phone(pty, [](const std::string& cmd) {
        return cmd == "AT+CGSN" ? std::string("\r\nERROR\r\n") : std::string();
    });
    exchange.mnuPBOpenClick();
    Send("AT+CGSN", false);
    Send("AT+CIMI", false);
    EXPECT_TRUE(exchange.ReplyList().empty());
    EXPECT_TRUE(prompter.Texts().empty());
}

TEST_F(Exchange, TricklingReplyIsCollectedWhole) {
    FakePhone phone(pty,
                    [](const std::string&) { return "\r\n+CPBR: (1-250),40,18\r\n\r\nOK\r\n"; },
                    {.echo = true, .trickle = 25ms, .pieceSize = 3});
    exchange.mnuPBOpenClick();
    Send("AT+cpbr=?");
    EXPECT_EQ(exchange.ReplyList(), (Lines{"AT+cpbr=?", "", "+CPBR: (1-250),40,18", "", "OK"}));
}

TEST_F(Exchange, PausesShorterThanTheSilenceDoNotEndTheReply) {
    FakePhone phone(pty,
                    [](const std::string&) {
                        return std::string("\r\n+CPBR: 1,\"123\",129,\"A\"\r\n\r\nOK\r\n");
                    },
                    {.echo = false, .trickle = 300ms, .pieceSize = 12});
    exchange.mnuPBOpenClick();
    Send("AT+cpbr=1,1");
    EXPECT_EQ(exchange.ReplyList(), (Lines{"", "+CPBR: 1,\"123\",129,\"A\"", "", "OK"}));
}

TEST_F(Exchange, SilentPhoneAtTheRealPollInterval) {
    exchange.SetTiming(PhoneTiming{});
    exchange.mnuPBOpenClick();
    const auto took = Send("AT");
    EXPECT_GE(took, 3900ms);
    EXPECT_LT(took, 20s);
    EXPECT_TRUE(exchange.ReplyList().empty());
    EXPECT_EQ(prompter.Texts(),
              (Lines{"Action: Testing...\r\nNo response from phone. Check connection..."}));
    EXPECT_EQ(window.PanelText(0), "0 bytes read.");
    EXPECT_GE(window.pumps, 70);
}

TEST_F(Exchange, FirstCommandOpensThePortAndWaits) {
    exchange.SetTiming(PhoneTiming{});
    exchange.SerComm1().SetDeviceName("COM%d");
    const std::string slave = pty.SlavePath();
    SetUserSettingLookup([slave](std::string_view key) -> std::optional<std::string> {
        return key == "CommDevice7" ? std::optional<std::string>(slave) : std::nullopt;
    });
    prompter.standingInput = "7";
    FakePhone phone(pty, [](const std::string&) { return "\r\nOK\r\n"; });
    const auto start = Clock::now();
    Send("ATE1");
    SetUserSettingLookup({});
    ASSERT_TRUE(phone.FirstCommandTime());
    EXPECT_GE(*phone.FirstCommandTime() - start, 1950ms);
    EXPECT_EQ(exchange.ReplyList(), (Lines{"ATE1", "", "OK"}));
    EXPECT_EQ(exchange.SerComm1().PortNum(), 7);
    EXPECT_EQ(prompter.InputCaptions(), (Lines{"Open Mobile Phone's Port"}));
    EXPECT_EQ(prompter.InputInitials(), (Lines{"1"}));
    // An open port is not asked for again, and not waited for.
    EXPECT_LT(Send("AT"), 1500ms);
    EXPECT_EQ(prompter.inputBoxes.size(), 1u);
}

TEST_F(Exchange, ReopenThroughTheMenuDoesNotWait) {
    FakePhone phone(pty, [](const std::string&) { return "\r\nOK\r\n"; });
    exchange.SetTiming(PhoneTiming{});
    exchange.mnuPBOpenClick();
    const auto start = Clock::now();
    exchange.mnuPBOpenClick();
    EXPECT_TRUE(window.PanelShowed(0, "Port closed"));
    EXPECT_EQ(window.PanelText(0), "Port open");
    EXPECT_LT(Send("AT") + (Clock::now() - start), 3s);
    exchange.mnuPBClosePortClick();
    EXPECT_FALSE(exchange.SerComm1().IsOpen());
    EXPECT_FALSE(window.closePortEnabled);
}

TEST_F(Exchange, FailedPortPromptLeavesThePreviousReply) {
    FakePhone phone(pty, [](const std::string&) { return "\r\nOK\r\n"; });
    exchange.mnuPBOpenClick();
    Send("AT");
    ASSERT_EQ(exchange.ReplyList().size(), 3u);
    exchange.mnuPBClosePortClick();

    prompter.cancelInputs = true;
    try {
        Send("AT");
        ADD_FAILURE() << "no exception";
    } catch (const EPortOpenErr& e) {
        EXPECT_STREQ(e.what(), "Port open canceled!");
    }
    EXPECT_EQ(exchange.ReplyList().size(), 3u);

    prompter.cancelInputs = false;
    prompter.standingInput = "one";
    EXPECT_THROW(Send("AT"), TabellanError);
    EXPECT_EQ(exchange.ReplyList().size(), 3u);

    prompter.standingInput = "1";
    exchange.SerComm1().SetDeviceName("/dev/tabellan-gone");
    EXPECT_THROW(Send("AT"), ESerCommError);
    EXPECT_EQ(exchange.ReplyList().size(), 3u);
    EXPECT_EQ(prompter.busyDepth, 0);
}

TEST_F(Exchange, BinaryGarbageIsRejectedCleanly) {
    FakePhone phone(pty,
                    [](const std::string&) {
                        std::string junk;
                        for (int i = 0; i < 3000; ++i) {
                            junk += static_cast<char>((i * 37 + 11) % 256);
                        }
                        return junk;
                    },
                    {.echo = false});
    exchange.mnuPBOpenClick();
    Send("AT");
    EXPECT_TRUE(exchange.ReplyList().empty());
    ASSERT_EQ(prompter.Texts().size(), 1u);
    EXPECT_EQ(prompter.Texts()[0].rfind("Action: Testing...\r\n\r\nInvalid or incomplete", 0), 0u);
    EXPECT_TRUE(exchange.SerComm1().IsOpen());
}

// A zero byte is the GSM alphabet's "@"; it used to end the reply, which then lacked its OK.
TEST_F(Exchange, AZeroByteIsKeptAsAtAndTheReplyGoesOn) {
    using namespace std::string_literals;
    FakePhone phone(pty, [](const std::string&) { return "\r\nNo\0kia\r\n\r\nOK\r\n"s; });
    exchange.mnuPBOpenClick();
    Send("AT+CGMI");
    EXPECT_EQ(exchange.ReplyList(), (Lines{"AT+CGMI", "", "No@kia", "", "OK"}));
    EXPECT_TRUE(prompter.Texts().empty());
}

TEST_F(Exchange, EndlessTalkIsCutOffAtTheLimit) {
    EXPECT_EQ(PhoneTiming{}.replyLimit, 1048576u);
    PhoneTiming timing = FastTiming();
    timing.poll = 2ms;
    timing.replyLimit = 64 * 1024;
    exchange.SetTiming(timing);
    exchange.mnuPBOpenClick();
    std::atomic<bool> talking{true};
    std::thread talker([&] {
        // Once the exchange gives up nobody reads the line, so the writer must not block.
        const std::string line = "+CRING: VOICE " + std::string(200, 'x') + "\r\n";
        std::string_view pending;
        while (talking) {
            if (pending.empty()) {
                pending = line;
            }
            pending.remove_prefix(pty.WriteSome(pending));
        }
    });
    Send("AT");
    talking = false;
    talker.join();
    EXPECT_TRUE(exchange.ReplyList().empty());
    ASSERT_EQ(prompter.Texts().size(), 1u);
    EXPECT_LT(prompter.Texts()[0].size(), 400u);
    EXPECT_EQ(prompter.Texts()[0].rfind("Action: Testing...\r\n\r\nInvalid or incomplete", 0), 0u);
}

TEST_F(Exchange, PhoneUnpluggedMidReply) {
    {
        PtyPair gone;
        exchange.SerComm1().SetDeviceName(gone.SlavePath());
        exchange.mnuPBOpenClick();
        std::thread unplug([&] {
            gone.Read(2000ms, 4);
            gone.Write("\r\n+CPBR: 1,");
            std::this_thread::sleep_for(100ms);
            gone.CloseMaster();
        });
        EXPECT_THROW(Send("AT+cpbr=1,250"), ESerCommError);
        unplug.join();
    }
    EXPECT_TRUE(exchange.ReplyList().empty());
    EXPECT_FALSE(exchange.SerComm1().IsOpen());
    EXPECT_TRUE(window.PanelShowed(0, "Port closed"));
    EXPECT_EQ(prompter.busyDepth, 0);

    // Plugged in again: the next command opens the port afresh.
    FakePhone phone(pty, [](const std::string&) { return "\r\nOK\r\n"; });
    exchange.SerComm1().SetDeviceName(pty.SlavePath());
    Send("AT");
    EXPECT_EQ(exchange.ReplyList(), (Lines{"AT", "", "OK"}));
}

TEST_F(Exchange, BusyDeviceSaysSo) {
    TSerComm holder;
    holder.SetDeviceName(pty.SlavePath());
    holder.Open();
    try {
        exchange.mnuPBOpenClick();
        ADD_FAILURE() << "no exception";
    } catch (const ESerCommError& e) {
        EXPECT_NE(std::string(e.what()).find("busy"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(pty.SlavePath()), std::string::npos) << e.what();
    }
    EXPECT_FALSE(exchange.SerComm1().IsOpen());
}

TEST_F(Exchange, LineErrorsShowInTheStatusBar) {
    exchange.SerComm1Error(exchange.SerComm1(), 0x0008 | 0x0002);
    EXPECT_EQ(window.PanelText(0),
              "A character-buffer overrun has occurred. The next character is lost.");
    exchange.SerComm1Break(exchange.SerComm1());
    EXPECT_EQ(window.PanelText(0), "Break signal detected...");
    exchange.SerComm1TxEmpty(exchange.SerComm1());
    EXPECT_EQ(window.PanelText(0), "TxEmpty signal detected...");
}

struct Capture {
    const char* file;
    const char* command;
    Lines expected;  // empty: judged invalid
};

TEST_F(Exchange, RepliesCapturedFromRealPhones) {
    const Capture captures[] = {
        {"at-model__02.dump", "AT+CGMM", {"AT+CGMM", "Nokia 5210", "OK"}},
        {"at-model__06.dump", "AT+CGMM", {"AT+CGMM", "", " MULTIBAND  900E  1800 ", "", "OK"}},
        {"at-creg__siemens.dump", "AT+CREG?", {"AT+CREG?", "+CREG: 0,1,\"5E25\",\"605F\"", "OK"}},
        {"at-smsc__02.dump", "AT+CSCA?", {"AT+CSCA?", "+CSCA: \"+79168999100\",145", "OK"}},
        {"at-getmemory__with-time.dump",
         "AT+CPBR=1",
         {"AT+CPBR=1", "+CPBR: 1,,\"+31234657899\",145,\"Mama GSM\",\"2007/11/02,09:27\"", "OK"}},
        // A bare LF inside a quoted number splits the entry.
        {"at-getmemory__samsung.dump",
         "AT+CPBR=241",
         {"AT+CPBR=241", "", "+CPBR: 241,\"\x0e\x04", "\xa1$_   \",129,\"O2 AsistZahr\",0", "OK"}},
        // Blank lines after the OK leave an empty last line.
        {"at-creg__empty.dump", "AT+CREG?", {}},
    };
    std::mutex replyMutex;
    std::string current;
    FakePhone phone(pty,
                    [&](const std::string&) {
                        const std::lock_guard lock(replyMutex);
                        return current;
                    },
                    {.echo = false});
    exchange.mnuPBOpenClick();
    for (const Capture& capture : captures) {
        SCOPED_TRACE(capture.file);
        std::string reply = testing::ReadTestFile(std::string("at/") + capture.file);
        ASSERT_FALSE(reply.empty());
        if (reply.find('\r') == std::string::npos) {
            reply = testing::WithCrLf(reply);
        }
        {
            const std::lock_guard lock(replyMutex);
            current = reply;
        }
        prompter.shown.clear();
        Send(capture.command);
        EXPECT_EQ(exchange.ReplyList(), capture.expected);
        EXPECT_EQ(prompter.Texts().size(), capture.expected.empty() ? 1u : 0u);
    }
}

}  // namespace
}  // namespace tabellan
