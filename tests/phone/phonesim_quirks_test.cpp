#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "phonesim/at_phone.h"
#include "phonesim/reply_shaper.h"

namespace tabellan::phonesim {
namespace {

std::string capture(const std::string& name) {
    std::ifstream in(std::string(TABELLAN_TEST_DATA) + "/at/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

const std::vector<std::string> kNone;
const std::vector<std::string> kOne{"A"};
const std::vector<std::string> kTwo{"A", "B"};
const std::vector<std::string> kThree{"A", "B", "C"};

TEST(PhonesimReplyShaper, VerboseFormat) {
    const ReplyShaper plain({});
    EXPECT_EQ(plain.shape(kNone, "OK"), "\r\nOK\r\n");
    EXPECT_EQ(plain.shape(kTwo, "OK"), "\r\nA\r\nB\r\n\r\nOK\r\n");
    EXPECT_EQ(plain.shape(kNone, "+CME ERROR: 11"), "\r\n+CME ERROR: 11\r\n");
}

TEST(PhonesimReplyShaper, LineEndAndBareOkQuirks) {
    EXPECT_EQ(ReplyShaper({.lfOnly = true}).shape(kOne, "OK"), "\nA\n\nOK\n");
    const ReplyShaper bare({.bareOk = true});
    EXPECT_EQ(bare.shape(kNone, "OK"), "OK\r\n");
    EXPECT_EQ(bare.shape(kOne, "OK"), "\r\nA\r\nOK\r\n");
    EXPECT_EQ(bare.shape(kNone, "ERROR"), "\r\nERROR\r\n") << "only the OK is bare";
}

TEST(PhonesimReplyShaper, RingGoesBetweenLinesBeforeTheResult) {
    const ReplyShaper ring({.ring = true});
    EXPECT_EQ(ring.shape(kNone, "OK"), "\r\nRING\r\n\r\nOK\r\n");
    EXPECT_EQ(ring.shape(kOne, "OK"), "\r\nA\r\n\r\nRING\r\n\r\nOK\r\n");
    EXPECT_EQ(ring.shape(kTwo, "OK"), "\r\nA\r\n\r\nRING\r\nB\r\n\r\nOK\r\n");
    EXPECT_EQ(ring.shape(kThree, "OK"), "\r\nA\r\nB\r\n\r\nRING\r\nC\r\n\r\nOK\r\n");
}

TEST(PhonesimReplyShaper, CutOffKeepsTheFirstHalf) {
    const ReplyShaper cut({.cutOff = true});
    EXPECT_EQ(cut.shape(kNone, "OK"), "\r\nO");
    const std::string whole = ReplyShaper({}).shape(kThree, "OK");
    const std::string half = cut.shape(kThree, "OK");
    EXPECT_EQ(half, whole.substr(0, whole.size() / 2));
    EXPECT_EQ(ReplyShaper({.lfOnly = true, .cutOff = true}).shape(kNone, "OK"), "\nO");
}

TEST(PhonesimReplay, RestoresCrLfOfNormalisedCapturesAndDropsTheirEcho) {
    const std::string lfOnly = capture("at-model__02.dump");
    ASSERT_EQ(lfOnly, "AT+CGMM\nNokia 5210\nOK\n");
    EXPECT_EQ(ReplyShaper::replayBody(lfOnly), "Nokia 5210\r\nOK\r\n");
    EXPECT_EQ(ReplyShaper::replayBody("+CSQ: 1,2\nOK\n"), "+CSQ: 1,2\r\nOK\r\n")
        << "a capture without echo keeps its first line";
}

TEST(PhonesimReplay, KeepsCapturesThatHaveCrLf) {
    EXPECT_EQ(ReplyShaper::replayBody(capture("at-model__06.dump")),
              "\r\n MULTIBAND  900E  1800 \r\n\r\nOK\r\n");
    // This phone sent a bare LF inside a quoted number: it must stay a bare LF.
    const std::string samsung = ReplyShaper::replayBody(capture("at-getmemory__samsung.dump"));
    EXPECT_EQ(samsung.substr(0, 16), "\r\n+CPBR: 241,\"\x0e\x04");
    EXPECT_EQ(samsung[16], '\n');
    EXPECT_TRUE(samsung.ends_with(",0\r\nOK\r\n"));
    EXPECT_EQ(ReplyShaper::replayBody("AT\r\n\r\nOK\r\n"), "\r\nOK\r\n")
        << "an echo ending in CR LF is dropped whole";
}

class PhonesimQuirkPhone : public ::testing::Test {
  protected:
    PhonebookStore store_ = PhonebookStore::builtIn();
};

TEST_F(PhonesimQuirkPhone, ReplayAnswersEveryCommandAfterTheRealEcho) {
    PhoneOptions options;
    options.replay = capture("at-model__02.dump");
    AtPhone phone(options, store_);
    EXPECT_EQ(phone.receive("AT+CGMM\r\n"), "AT+CGMM\rNokia 5210\r\nOK\r\n");
    EXPECT_EQ(phone.receive("ATE0\r\n"), "ATE0\rNokia 5210\r\nOK\r\n");
    options.echo = false;
    options.shape.lfOnly = true;
    AtPhone quiet(options, store_);
    EXPECT_EQ(quiet.receive("AT+CGMM\r\n"), "Nokia 5210\nOK\n");
}

TEST_F(PhonesimQuirkPhone, SilentPhoneNeverAnswers) {
    PhoneOptions options;
    options.silent = true;
    AtPhone phone(options, store_);
    EXPECT_EQ(phone.receive("AT\r\nAT+CGMI\r\nATE1\r\n"), "");
}

TEST_F(PhonesimQuirkPhone, GarbageIsBinaryWithoutResultCode) {
    PhoneOptions options;
    options.garbage = true;
    options.seed = 7;
    AtPhone phone(options, store_);
    const std::string first = phone.receive("AT\r\n");
    const std::string second = phone.receive("AT+CGMI\r\n");
    for (const std::string& reply : {first, second}) {
        EXPECT_GE(reply.size(), 16u);
        EXPECT_NE(reply.find('\0'), std::string::npos);
        EXPECT_EQ(reply.find("AT"), std::string::npos) << "no echo";
        EXPECT_FALSE(reply.ends_with("\r\nOK\r\n") || reply.ends_with("\r\nERROR\r\n"));
    }
    EXPECT_NE(first, second);
    EXPECT_EQ(phone.receive("junk without prefix\r\n"), "");
}

TEST_F(PhonesimQuirkPhone, QuirksApplyToPhoneRepliesButNotToTheEcho) {
    PhoneOptions options;
    options.shape.lfOnly = true;
    options.shape.ring = true;
    AtPhone phone(options, store_);
    EXPECT_EQ(phone.receive("AT+CGMI\r\n"), "AT+CGMI\r\nPhonesim\n\nRING\n\nOK\n");
    options.shape = {.cutOff = true};
    AtPhone cut(options, store_);
    EXPECT_EQ(cut.receive("AT+CSQ\r\n"), "AT+CSQ\r\r\n+CSQ: 15");
}

TEST(PhonesimReplyShaper, NoBlankAndZeroByteAtQuirks) {
    using namespace std::string_literals;
    const ReplyShaper tight({.noBlank = true});
    EXPECT_EQ(tight.shape({"+CPBR: (1-250),40,18"}, "OK"), "\r\n+CPBR:(1-250),40,18\r\n\r\nOK\r\n");
    EXPECT_EQ(tight.shape({"+CPBR: 1,\"5\",129,\"A: B\"", "Nokia: 1"}, "OK"),
              "\r\n+CPBR:1,\"5\",129,\"A: B\"\r\nNokia: 1\r\n\r\nOK\r\n")
        << "only the blank after the answer name goes";
    EXPECT_EQ(tight.shape({}, "+CME ERROR: 21"), "\r\n+CME ERROR: 21\r\n") << "not the result";
    const ReplyShaper gsm({.nulAt = true});
    EXPECT_EQ(gsm.shape({"+CPBR: 1,\"5\",129,\"a@b@\""}, "OK"),
              "\r\n+CPBR: 1,\"5\",129,\"a\0b\0\"\r\n\r\nOK\r\n"s);
}

TEST_F(PhonesimQuirkPhone, LateAnswerIsHeldBackButNotItsEcho) {
    using std::chrono::milliseconds;
    PhoneOptions options;
    options.late[2] = milliseconds(300);
    AtPhone phone(options, store_);
    const std::vector<Output> first = phone.respond("AT\r\n");
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].hold, milliseconds(0));
    const std::vector<Output> second = phone.respond("AT+CSQ\r\n");
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].bytes, "AT+CSQ\r");
    EXPECT_EQ(second[0].hold, milliseconds(0));
    EXPECT_EQ(second[1].bytes, "\r\n+CSQ: 15,99\r\n\r\nOK\r\n");
    EXPECT_EQ(second[1].hold, milliseconds(300));
    // Lines that are not commands are not counted.
    EXPECT_EQ(phone.receive("hello\r\n"), "hello\r");
    EXPECT_EQ(phone.respond("AT\r\n").size(), 1u);
}

}  // namespace
}  // namespace tabellan::phonesim
