// The serial component, the exchange and tabellan-cli at against the simulated phone.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "phone/event_dispatcher.h"
#include "phone/phone_errors.h"
#include "phone/phone_exchange.h"
#include "phonesim_process.h"
#include "pty_fixture.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Lines = std::vector<std::string>;

class SimulatorSession : public ::testing::Test {
  protected:
    SimulatorSession() : window(dispatcher), exchange(window, prompter, &dispatcher) {
        PhoneTiming timing;
        timing.poll = 10ms;
        timing.openWait = 10ms;
        exchange.SetTiming(timing);
    }

    std::string Start(std::vector<std::string> args) {
        sim.emplace(std::move(args));
        const std::string device = sim->firstLine();
        exchange.SerComm1().SetDeviceName(device);
        prompter.standingInput = "1";
        exchange.mnuPBOpenClick();
        return device;
    }

    Lines Send(const std::string& command) {
        exchange.SendPhoneCommand(command, "Testing...", true);
        return exchange.ReplyList();
    }

    PollingDispatcher dispatcher;
    testing::RecordingWindow window;
    test::ScriptedPrompter prompter = test::OfferAcceptingPrompter();
    PhoneExchange exchange;
    std::optional<testing::PhonesimProcess> sim;
};

TEST_F(SimulatorSession, FramingWithAndWithoutEcho) {
    Start({});
    EXPECT_EQ(Send("AT+CGMI"), (Lines{"AT+CGMI", "", "Phonesim", "", "OK"}));
    EXPECT_EQ(Send("ATE0"), (Lines{"ATE0", "", "OK"}));
    EXPECT_EQ(Send("AT+CGMI"), (Lines{"", "Phonesim", "", "OK"}));
    EXPECT_TRUE(prompter.Texts().empty());
}

TEST_F(SimulatorSession, ExtendedErrorDoesNotWaitForSilence) {
    Start({"--cme", "11"});
    PhoneTiming timing = exchange.Timing();
    timing.silencePolls = 1000;  // silence would take 10 s
    exchange.SetTiming(timing);
    const auto start = Clock::now();
    EXPECT_TRUE(Send("AT+cpbr=?").empty());
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_EQ(prompter.Texts().size(), 1u);
}

TEST_F(SimulatorSession, PhoneGoneMidReply) {
    Start({"--trickle", "20"});
    std::thread killer([this] {
        std::this_thread::sleep_for(300ms);
        sim->signal(SIGKILL);
    });
    const auto start = Clock::now();
    EXPECT_THROW(Send("AT+CGMI"), ESerCommError);
    killer.join();
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_TRUE(exchange.ReplyList().empty());
    EXPECT_FALSE(exchange.SerComm1().IsOpen());
    // The next command asks for the port again and reports the device as missing.
    EXPECT_THROW(Send("AT"), ESerCommError);
}

using test::ReadBytes;
using testing::CliRun;

CliRun RunCli(const std::string& arguments) {
    const test::TempFolder dir("serial-cli");
    const fs::path base = dir.File("run");
    const std::string command = std::string(TABELLAN_BINARY_DIR) + "/src/cli/tabellan-cli at " +
                                arguments + " >" + base.string() + ".out 2>" + base.string() +
                                ".err </dev/null";
    CliRun run;
    const auto start = Clock::now();
    const int raw = std::system(command.c_str());
    run.took = Clock::now() - start;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadBytes(base.string() + ".out");
    run.err = ReadBytes(base.string() + ".err");
    return run;
}

TEST(SimulatorCli, RepliesOnStdoutErrorsOnStderrAndTheExitStatus) {
    testing::PhonesimProcess sim({});
    const std::string device = sim.firstLine();
    ASSERT_FALSE(device.empty());

    const CliRun ok = RunCli("--device " + device + " AT+CGMI AT+CSQ");
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.out, "AT+CGMI\n\nPhonesim\n\nOK\nAT+CSQ\n\n+CSQ: 15,99\n\nOK\n");
    EXPECT_EQ(ok.err, "");
    EXPECT_GE(ok.took, 2s);  // the wait after opening the port

    const CliRun bad = RunCli("--device " + device + " AT+CGMI 'AT+CPBS=\"XX\"'");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "AT+CGMI\n\nPhonesim\n\nOK\n");
    EXPECT_NE(bad.err.find("Invalid or incomplete response from phone: "), std::string::npos)
        << bad.err;

    // Another program has the device: it is busy, and nothing is sent.
    TSerComm holder;
    holder.SetDeviceName(device);
    holder.Open();
    const CliRun busy = RunCli("--device " + device + " AT");
    EXPECT_EQ(busy.status, 3);
    EXPECT_NE(busy.err.find("busy"), std::string::npos) << busy.err;
    EXPECT_EQ(busy.out, "");
    holder.Close();

    EXPECT_EQ(RunCli("--device /dev/tabellan-no-such-tty AT").status, 3);
    EXPECT_EQ(RunCli("--port 3 --device " + device + " AT").status, 2);
    EXPECT_EQ(RunCli("").status, 2);
}

}  // namespace
}  // namespace tabellan
