// Dialing through the simulated modem on a pseudo-terminal: what reaches the modem, the
// messages, and the final CR and the close however dialing ends.
#include "autodial/modem_dialer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../phone/phonesim_process.h"
#include "cardfile/errors.h"
#include "phone/event_dispatcher.h"
#include "phone/phone_errors.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Texts = std::vector<std::string>;

const std::string kNoResponse = "No response from modem. Check connection and port number.";

std::string Invalid(const std::string& received) {
    return "Invalid or incomplete response from modem: " + received + "\r\nPlease retry...";
}

class RecordingDialWindow : public DialWindow {
  public:
    explicit RecordingDialWindow(PollingDispatcher& dispatcher) : dispatcher_(dispatcher) {}
    void ProcessMessages() override {
        ++pumps;
        dispatcher_.Pump();
    }
    void SetDialogEnabled(bool enabled) override { enabledStates.push_back(enabled); }

    int pumps = 0;
    std::vector<bool> enabledStates;

  private:
    PollingDispatcher& dispatcher_;
};

// A prompter whose pick-up message fails, as a window might while showing it.
class ThrowingPrompter : public test::ScriptedPrompter {
  public:
    Answer Show(MsgKind kind, std::string_view text, Buttons buttons, int helpContext) override {
        ScriptedPrompter::Show(kind, text, buttons, helpContext);
        if (kind == MsgKind::Information) {
            throw TabellanError("the box went away");
        }
        return Answer::Ok;
    }
};

class ModemDialing : public ::testing::Test {
  protected:
    ModemDialing() : ModemDialing(nullptr) {}
    // The dialer asks prompter, or the fixture's own prompter_ when it is null (a member can
    // only be named once this constructor runs).
    explicit ModemDialing(test::ScriptedPrompter* prompter)
        : window_(dispatcher_),
          dialer_(window_, prompter ? *prompter : prompter_, &dispatcher_),
          used_(prompter ? *prompter : prompter_) {
        ModemTiming timing;
        timing.poll = 10ms;
        timing.settle = 20ms;
        dialer_.SetTiming(timing);
        log_ = folder_.File("modem.log");
    }

    // Starts the simulated modem with the quirks and points the dialer's port at it.
    void Start(std::vector<std::string> quirks) {
        quirks.insert(quirks.begin(), {"--modem", "--log", log_.string()});
        sim_.emplace(std::move(quirks));
        device_ = sim_->firstLine();
        ASSERT_FALSE(device_.empty());
        dialer_.SerComm2().SetDeviceName(device_);
    }

    bool Dial(const std::string& number, DialType type = DialType::Tone) {
        return dialer_.btnDialClick("1", type, number);
    }

    // What the modem received, once it has all arrived.
    std::string Sent(std::size_t expectedSize) const {
        std::string text;
        const auto end = Clock::now() + 2s;
        while (Clock::now() < end) {
            std::ifstream in(log_, std::ios::binary);
            std::ostringstream all;
            all << in.rdbuf();
            text = all.str();
            if (text.size() >= expectedSize) {
                break;
            }
            std::this_thread::sleep_for(10ms);
        }
        return text;
    }

    // The port is closed, and free for another program.
    void ExpectReleased() {
        EXPECT_FALSE(dialer_.SerComm2().IsOpen());
        TSerComm other;
        other.SetDeviceName(device_);
        EXPECT_NO_THROW(other.Open());
        EXPECT_EQ(window_.enabledStates, (std::vector<bool>{false, true}));
        EXPECT_EQ(used_.busyDepth, 0);
    }

    test::ScriptedPrompter prompter_;
    PollingDispatcher dispatcher_;
    RecordingDialWindow window_;
    ModemDialer dialer_;
    test::ScriptedPrompter& used_;
    std::optional<testing::PhonesimProcess> sim_;
    std::string device_;
    test::TempFolder folder_{"tabellan-modem"};
    fs::path log_;
};

TEST_F(ModemDialing, ToneDialingWithTheNumbersBlanks) {
    Start({});
    EXPECT_TRUE(Dial("0 216 555"));
    const std::string expected = "ATZ\rATE1\rATDT0 216 555\r\r";
    EXPECT_EQ(Sent(expected.size()), expected);
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].kind, MsgKind::Information);
    EXPECT_EQ(prompter_.shown[0].text,
              "Dialing 0 216 555...\r\nPlease, pick up the phone and then click OK.");
    EXPECT_EQ(prompter_.shown[0].buttons, Buttons::Ok);
    EXPECT_TRUE(dialer_.PortOpened());
    ExpectReleased();
}

TEST_F(ModemDialing, PulseDialingAndAnEmptyNumber) {
    Start({});
    EXPECT_TRUE(Dial("555", DialType::Pulse));
    EXPECT_TRUE(Dial(""));
    const std::string expected = "ATZ\rATE1\rATDP555\r\rATZ\rATE1\rATDT\r\r";
    EXPECT_EQ(Sent(expected.size()), expected);
    EXPECT_EQ(prompter_.Texts(),
              (Texts{"Dialing 555...\r\nPlease, pick up the phone and then click OK.",
                     "Dialing ...\r\nPlease, pick up the phone and then click OK."}));
}

TEST_F(ModemDialing, AModemWithoutEchoFailsTheDialStepAndStillGetsTheCr) {
    Start({"--no-echo"});
    EXPECT_FALSE(Dial("123"));
    const std::string expected = "ATZ\rATE1\rATDT123\r\r";
    EXPECT_EQ(Sent(expected.size()), expected);
    ASSERT_EQ(prompter_.shown.size(), 1u) << "no pick-up message";
    EXPECT_EQ(prompter_.shown[0].kind, MsgKind::Error);
    EXPECT_EQ(prompter_.shown[0].text, kNoResponse);
    EXPECT_EQ(prompter_.shown[0].buttons, Buttons::OkHelp);
    EXPECT_EQ(prompter_.shown[0].helpContext, kModemHelpContext);
    ExpectReleased();
}

TEST_F(ModemDialing, AModemWithoutEchoThatSaysSomethingElse) {
    // RINGs instead of the echo; the wait ends once too much of them has come.
    ModemTiming timing = dialer_.Timing();
    timing.replyLimit = 100;
    dialer_.SetTiming(timing);
    Start({"--no-echo", "--talk", "20"});
    EXPECT_FALSE(Dial("123"));
    const std::string expected = "ATZ\rATE1\rATDT123\r\r";
    EXPECT_EQ(Sent(expected.size()), expected);
    ASSERT_EQ(prompter_.Texts().size(), 1u);
    const std::string text = prompter_.Texts()[0];
    EXPECT_EQ(text.rfind("Invalid or incomplete response from modem: \r\nRING\r\n", 0), 0u) << text;
    EXPECT_TRUE(text.ends_with("\r\nPlease retry...")) << text;
}

TEST_F(ModemDialing, ASilentModemStopsAtTheFirstStep) {
    Start({"--silent"});
    const auto start = Clock::now();
    EXPECT_FALSE(Dial("555"));
    EXPECT_GE(Clock::now() - start, 800ms) << "80 polls of silence";
    EXPECT_EQ(Sent(5), "ATZ\r\r");
    EXPECT_EQ(prompter_.Texts(), (Texts{kNoResponse}));
    EXPECT_GE(window_.pumps, 80);
    ExpectReleased();
}

TEST_F(ModemDialing, ErrorAfterReset) {
    Start({"--reset-error"});
    EXPECT_FALSE(Dial("555"));
    EXPECT_EQ(Sent(5), "ATZ\r\r");
    EXPECT_EQ(prompter_.Texts(), (Texts{Invalid("ATZ\r\r\nERROR\r\n")}));
    EXPECT_EQ(prompter_.shown[0].helpContext, kModemHelpContext);
    ExpectReleased();
}

TEST_F(ModemDialing, LineFeedsOnlyNeverGiveOkCr) {
    Start({"--lf-only"});
    EXPECT_FALSE(Dial("555"));
    EXPECT_EQ(Sent(5), "ATZ\r\r");
    EXPECT_EQ(prompter_.Texts(), (Texts{Invalid("ATZ\r\nOK\n")}));
}

TEST_F(ModemDialing, ASlowModemsRepliesArriveInPieces) {
    // One byte every 25 ms, polled every 10 ms: "OK" CR and the echo arrive split.
    Start({"--trickle", "25"});
    EXPECT_TRUE(Dial("0 216 555"));
    const std::string expected = "ATZ\rATE1\rATDT0 216 555\r\r";
    EXPECT_EQ(Sent(expected.size()), expected);
    EXPECT_EQ(prompter_.Texts().size(), 1u);
}

TEST_F(ModemDialing, AModemThatKeepsTalkingIsWaitedForUntilItAnswers) {
    Start({"--talk", "15"});
    EXPECT_TRUE(Dial("555"));
    const std::string expected = "ATZ\rATE1\rATDT555\r\r";
    EXPECT_EQ(Sent(expected.size()), expected);
}

TEST_F(ModemDialing, AModemThatTalksWithoutEverAnsweringIsGivenUp) {
    ModemTiming timing = dialer_.Timing();
    timing.replyLimit = 300;
    dialer_.SetTiming(timing);
    Start({"--silent", "--talk", "5"});
    EXPECT_FALSE(Dial("555"));
    EXPECT_EQ(Sent(5), "ATZ\r\r");
    ASSERT_EQ(prompter_.Texts().size(), 1u);
    const std::string text = prompter_.Texts()[0];
    EXPECT_EQ(text.rfind("Invalid or incomplete response from modem: \r\nRING\r\n", 0), 0u) << text;
    EXPECT_TRUE(text.ends_with("...\r\nPlease retry...")) << text;
    EXPECT_LT(text.size(), 300u);
    ExpectReleased();
}

TEST_F(ModemDialing, APortThatDoesNotOpenSendsNothing) {
    Start({});
    dialer_.SerComm2().SetDeviceName("/dev/tabellan-no-such-modem");
    EXPECT_THROW(Dial("555"), ESerCommError);
    EXPECT_FALSE(dialer_.PortOpened());
    dialer_.SerComm2().SetDeviceName(device_);
    EXPECT_THROW(dialer_.btnDialClick("x1", DialType::Tone, "555"), TabellanError);
    EXPECT_FALSE(dialer_.SerComm2().IsOpen());
    EXPECT_EQ(Sent(0), "");
    EXPECT_TRUE(prompter_.Texts().empty());
    EXPECT_EQ(window_.enabledStates, (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ(prompter_.busyDepth, 0);
}

TEST_F(ModemDialing, AModemGoneMidWayEndsWithTheErrorAndAClosedPort) {
    Start({"--silent"});
    std::thread unplug([this] {
        std::this_thread::sleep_for(200ms);
        sim_->signal(SIGKILL);
    });
    EXPECT_THROW(Dial("555"), ESerCommError);
    unplug.join();
    EXPECT_TRUE(dialer_.PortOpened());
    EXPECT_FALSE(dialer_.SerComm2().IsOpen());
    EXPECT_EQ(window_.enabledStates, (std::vector<bool>{false, true}));
}

// The failing prompter is a base listed first, so it exists before the dialer is given it.
struct FailingBoxHolder {
    ThrowingPrompter throwing_;
};

class ModemDialingWithAFailingBox : private FailingBoxHolder, public ModemDialing {
  protected:
    ModemDialingWithAFailingBox() : ModemDialing(&throwing_) {}
};

TEST_F(ModemDialingWithAFailingBox, TheCrAndTheCloseFollowAnException) {
    Start({});
    EXPECT_THROW(Dial("555"), TabellanError);
    const std::string expected = "ATZ\rATE1\rATDT555\r\r";
    EXPECT_EQ(Sent(expected.size()), expected);
    ExpectReleased();
}

TEST(DialCommandText, ToneOrPulseAndTheNumberAsItStands) {
    EXPECT_EQ(DialCommand(DialType::Tone, "0 216 555"), "ATDT0 216 555\r");
    EXPECT_EQ(DialCommand(DialType::Pulse, "(0) 555"), "ATDP(0) 555\r");
    EXPECT_EQ(DialCommand(DialType::Tone, ""), "ATDT\r");
}

}  // namespace
}  // namespace tabellan
