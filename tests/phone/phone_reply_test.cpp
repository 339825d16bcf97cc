#include "phone/phone_reply.h"

#include <gtest/gtest.h>

#include "cardfile/errors.h"
#include "phone/phone_exchange.h"

namespace tabellan {
namespace {

using Lines = std::vector<std::string>;

TEST(ReplyComplete, FinalResultCodes) {
    EXPECT_TRUE(ReplyComplete("AT\r\r\nOK\r\n"));
    EXPECT_TRUE(ReplyComplete("\r\nOK\r\n"));
    EXPECT_TRUE(ReplyComplete("\r\nERROR\r\n"));
    // Without its leading line end a bare OK is only ended by silence.
    EXPECT_FALSE(ReplyComplete("OK\r\n"));
    EXPECT_FALSE(ReplyComplete("\r\nOK"));
    EXPECT_FALSE(ReplyComplete("\nOK\n"));
    EXPECT_FALSE(ReplyComplete("\r\nNOT OK\r\n\r\nOK"));
    EXPECT_FALSE(ReplyComplete(""));
}

TEST(ReplyComplete, ExtendedErrorReportsEndTheReply) {
    EXPECT_TRUE(ReplyComplete("AT+CPBR=1\r\r\n+CME ERROR: 21\r\n"));
    EXPECT_TRUE(ReplyComplete("\r\n+CMS ERROR: 500\r\n"));
    EXPECT_TRUE(ReplyComplete("\r\n+CME ERROR: invalid index\r\n"));
    EXPECT_FALSE(ReplyComplete("\r\n+CME ERROR: \r\n"));
    EXPECT_FALSE(ReplyComplete("\r\n+CME ERROR: 21"));
    EXPECT_FALSE(ReplyComplete("+CME ERROR: 21\r\n"));
    EXPECT_FALSE(ReplyComplete("\r\n+CME ERROR: 21\r\n\r\n+CPBR: 1\r\n"));
}

TEST(SplitReply, LineEnds) {
    EXPECT_EQ(SplitReply("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitReply("AT\r\r\nOK\r\n"), (Lines{"AT", "", "OK"}));
    EXPECT_EQ(SplitReply("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(SplitReply("\n\r"), (Lines{"", ""}));
    EXPECT_EQ(SplitReply("x"), (Lines{"x"}));
    EXPECT_TRUE(SplitReply("").empty());
}

// The GSM alphabet codes "@" as 0: the zero byte is kept as "@", and the reply goes on.
TEST(SplitReply, AZeroByteIsTheGsmAt) {
    using namespace std::string_literals;
    EXPECT_EQ(SplitReply("\r\nab\0cd\r\nOK\r\n"s), (Lines{"", "ab@cd", "OK"}));
    EXPECT_EQ(SplitReply("\0\r\nOK\r\n"s), (Lines{"@", "OK"}));
    EXPECT_EQ(SplitReply("\0\0"s), (Lines{"@@"}));
    EXPECT_EQ(SplitReply("\xff\x80\r\n"), (Lines{"\xff\x80"}));
}

TEST(SerComm1ErrorText, TheLastMatchingBitInTableOrderWins) {
    EXPECT_EQ(SerComm1ErrorText(0), "");
    EXPECT_EQ(SerComm1ErrorText(0x4000), "");
    EXPECT_EQ(SerComm1ErrorText(0x0010), "The hardware detected a break condition.");
    EXPECT_EQ(SerComm1ErrorText(0x0008 | 0x0002),
              "A character-buffer overrun has occurred. The next character is lost.");
    EXPECT_EQ(SerComm1ErrorText(0x0100 | 0x0001 | 0x0010), "Transmit buffer overflow.");
    EXPECT_EQ(SerComm1ErrorText(0x0004 | 0x0400), "The hardware detected a parity error.");
    EXPECT_EQ(SerComm1ErrorText(0x0400),
              "An I/O error occurred during communications with the device.");
    EXPECT_EQ(SerComm1ErrorText(0x8000 | 0x0800), "The requested mode is not supported.");
    EXPECT_EQ(SerComm1ErrorText(0x1000 | 0x0200),
              "Windows 95 only: A time-out occurred on a parallel device.");
    EXPECT_EQ(SerComm1ErrorText(0x0001), "An input buffer overflow has occurred.");
}

TEST(StrToInt, PortNumbersTheUserTypes) {
    EXPECT_EQ(StrToInt("3"), 3);
    EXPECT_EQ(StrToInt(" 12 "), 12);
    EXPECT_EQ(StrToInt("-1"), -1);
    EXPECT_THROW(StrToInt(""), TabellanError);
    EXPECT_THROW(StrToInt("COM1"), TabellanError);
    EXPECT_THROW(StrToInt("1x"), TabellanError);
    EXPECT_THROW(StrToInt("99999999999"), TabellanError);
    try {
        StrToInt("abc");
    } catch (const TabellanError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
}

}  // namespace
}  // namespace tabellan
