#include "phone/phonebook_reading.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>

#include "cardfile/prompter.h"
#include "phone/memory_storage.h"
#include "phone/phone_reply.h"
#include "pty_fixture.h"
#include "support/scripted_prompter.h"

namespace tabellan {
namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

TEST(PhonebookRange, CapacityAnswerWithAndWithoutParentheses) {
    EXPECT_EQ(PhonebookRangeFromReply({"AT+cpbr=?", "", "+CPBR: (1-250),40,18", "", "OK"}),
              "1,250");
    EXPECT_EQ(PhonebookRangeFromReply({"AT+cpbr=?", "", "+CPBR: 1-250,40,18", "", "OK"}), "1,250");
    EXPECT_EQ(PhonebookRangeFromReply({"", "+CPBR: (0-99)", "", "OK"}), "0,99");
    EXPECT_EQ(PhonebookRangeFromReply({"", "+CPBR: 1-250", "", "OK"}), "1,250");
    // A single location: nothing to replace.
    EXPECT_EQ(PhonebookRangeFromReply({"", "+CPBR: (7),40,18", "", "OK"}), "7");
}

TEST(PhonebookRange, NoCapacityAnswerGivesAnEmptyRange) {
    EXPECT_EQ(PhonebookRangeFromReply({}), "");
    EXPECT_EQ(PhonebookRangeFromReply({"OK"}), "");
    EXPECT_EQ(PhonebookRangeFromReply({"AT+cpbr=?", "", "+CPBS: (1-250)", "", "OK"}), "");
    // Letter case counts in the answer name.
    EXPECT_EQ(PhonebookRangeFromReply({"", "+cpbr: (1-250),40,18", "", "OK"}), "");
}

// The answer is the last "+CPBR:" line, wherever the lines around it put it.
TEST(PhonebookRange, AnswerFoundWhereverItStands) {
    // An unsolicited RING between the answer and the final OK.
    EXPECT_EQ(
        PhonebookRangeFromReply({"AT+cpbr=?", "", "+CPBR: (1-250),40,18", "", "RING", "", "OK"}),
        "1,250");
    // A final OK without the empty line before it.
    EXPECT_EQ(PhonebookRangeFromReply({"AT+cpbr=?", "", "+CPBR: (1-250),40,18", "OK"}), "1,250");
    EXPECT_EQ(PhonebookRangeFromReply({"+CPBR: (1-250),40,18", "OK"}), "1,250");
    // Blank lines after the answer.
    EXPECT_EQ(PhonebookRangeFromReply({"", "+CPBR: (1-250),40,18", "", "", "", "OK"}), "1,250");
    // A phone that leaves out the blank after the colon, or puts several.
    EXPECT_EQ(PhonebookRangeFromReply({"", "+CPBR:(1-250),40,18", "", "OK"}), "1,250");
    EXPECT_EQ(PhonebookRangeFromReply({"", "+CPBR:   (1-100),40,18", "", "OK"}), "1,100");
}

TEST(PhonebookRange, ParsedAsLocations) {
    const auto range = ParseLocationRange("1,250");
    ASSERT_TRUE(range);
    EXPECT_EQ(range->first, 1);
    EXPECT_EQ(range->last, 250);
    ASSERT_TRUE(ParseLocationRange("7"));
    EXPECT_EQ(ParseLocationRange("7")->last, 7);
    EXPECT_EQ(ParseLocationRange(" 1 , 20 ")->last, 20);
    EXPECT_FALSE(ParseLocationRange(""));
    EXPECT_FALSE(ParseLocationRange("1,"));
    EXPECT_FALSE(ParseLocationRange("a,b"));
    EXPECT_FALSE(ParseLocationRange("-5,3"));
    EXPECT_FALSE(ParseLocationRange("9,3"));
    EXPECT_FALSE(ParseLocationRange("1,99999999999999999999999"));
}

TEST(ExtractPhoneEntries, EntryLinesInThePhonesOrder) {
    const Lines reply = {"AT+cpbr=1,250",
                         "",
                         "+CPBR: 12,\"555\",129,\"Zed\"",
                         "+CPBR: 3,\"+4930\",145,\"Ann\"",
                         "",
                         "OK"};
    EXPECT_EQ(ExtractPhoneEntries(reply),
              (Lines{"12,\"555\",129,\"Zed\"", "3,\"+4930\",145,\"Ann\""}));
    EXPECT_TRUE(ExtractPhoneEntries({"AT+cpbr=1,250", "", "OK"}).empty());
    EXPECT_TRUE(ExtractPhoneEntries({"OK"}).empty());
    // Other lines, and letter case in the prefix.
    EXPECT_TRUE(
        ExtractPhoneEntries({"+cpbr: 1,\"5\",129,\"A\"", "+CPBS: 1", "RING", "+CPB"}).empty());
}

TEST(ExtractPhoneEntries, AnyNumberOfBlanksAfterThePrefix) {
    EXPECT_EQ(
        ExtractPhoneEntries({"+CPBR:1,\"555\",129,\"Ann\"", "+CPBR:   2,\"6\",129,\"Bo\"", "OK"}),
        (Lines{"1,\"555\",129,\"Ann\"", "2,\"6\",129,\"Bo\""}));
    EXPECT_EQ(ExtractPhoneEntries({"+CPBR:", "+CPBR: "}), (Lines{"", ""}));
}

TEST(ExtractPhoneEntries, LineBreakInsideQuotesIsJoinedBack) {
    EXPECT_EQ(ExtractPhoneEntries({"", "+CPBR: 1,\"555\",129,\"Ann", "Lee\"",
                                   "+CPBR: 2,\"6\",129,\"Bo\"", "", "OK"}),
              (Lines{"1,\"555\",129,\"Ann Lee\"", "2,\"6\",129,\"Bo\""}));
    // Several breaks, an empty line among them (CR CR LF inside the quotes).
    EXPECT_EQ(ExtractPhoneEntries({"+CPBR: 1,\"5\",129,\"A", "", "B", "C\"", "OK"}),
              (Lines{"1,\"5\",129,\"A  B C\""}));
    // Quotes never closed: the entry stays as it came, the next entry is not swallowed, and
    // neither are the result code and the lines before it.
    EXPECT_EQ(ExtractPhoneEntries({"+CPBR: 1,\"5\",129,\"A", "x", "+CPBR: 2,\"6\",129,\"B\"",
                                   "+CPBR: 3,\"7", "", "OK"}),
              (Lines{"1,\"5\",129,\"A", "2,\"6\",129,\"B\"", "3,\"7"}));
}

// A Samsung phone sent raw bytes in a quoted number, a bare LF among them.
TEST(ExtractPhoneEntries, CapturedReplyWithALineFeedInsideANumber) {
    const std::string capture = testing::ReadTestFile("at/at-getmemory__samsung.dump");
    ASSERT_FALSE(capture.empty());
    const Lines lines = SplitReply(capture);
    ASSERT_EQ(lines.back(), "OK");
    EXPECT_EQ(ExtractPhoneEntries(lines),
              (Lines{"241,\"\x0E\x04 \xA1$_   \",129,\"O2 AsistZahr\",0"}));
}

TEST(ExtractPhoneEntries, CapturedRepliesPassUnchanged) {
    const Lines nokia =
        SplitReply(testing::WithCrLf(testing::ReadTestFile("at/at-getmemory__nokia-2730.dump")));
    EXPECT_EQ(ExtractPhoneEntries(nokia),
              (Lines{"16,\"\",,\"005300740065007600650020002000560069006E0073006F006E\",,,,,,,"}));
    const Lines withTime =
        SplitReply(testing::WithCrLf(testing::ReadTestFile("at/at-getmemory__with-time.dump")));
    EXPECT_EQ(ExtractPhoneEntries(withTime),
              (Lines{"1,,\"+31234657899\",145,\"Mama GSM\",\"2007/11/02,09:27\""}));
}

// A zero byte is the GSM alphabet's "@": the name keeps it and the entries after it stay.
TEST(ExtractPhoneEntries, ZeroByteInANameReadsAsAt) {
    const std::string reply =
        "AT+cpbr=1,250\r\r\n+CPBR: 1,\"555\",129,\"Ann\0Work\"\r\n+CPBR: 2,\"6\",129,\"Bo\"\r\n"
        "\r\nOK\r\n"s;
    const Lines lines = SplitReply(reply);
    ASSERT_EQ(lines.back(), "OK");
    EXPECT_EQ(ExtractPhoneEntries(lines),
              (Lines{"1,\"555\",129,\"Ann@Work\"", "2,\"6\",129,\"Bo\""}));
}

// Garbage from a phone: every entry comes from one "+CPBR:" line (joined or not), nothing is
// lost or made up, and a long reply of open quotes is handled in one pass.
TEST(ExtractPhoneEntries, HostileReplies) {
    std::mt19937 random(11);
    const std::string pieces[] = {"+CPBR:", "+CPBR: ", "\"", ",", "1", "\0", "\xFF", " ", "OK", ""};
    for (int round = 0; round < 200; ++round) {
        Lines reply;
        std::size_t entryLines = 0;
        for (int line = 0; line < 12; ++line) {
            std::string text;
            for (int i = random() % 6; i > 0; --i) {
                text += pieces[random() % std::size(pieces)];
            }
            entryLines += text.starts_with("+CPBR:") ? 1 : 0;
            reply.push_back(text);
        }
        const Lines entries = ExtractPhoneEntries(reply);
        EXPECT_EQ(entries.size(), entryLines);
        (void)PhonebookRangeFromReply(reply);
        (void)PhoneInfoRow("Model Id", reply);
    }
    Lines open(20000, "+CPBR: 1,\"x");
    open.push_back("OK");
    EXPECT_EQ(ExtractPhoneEntries(open).size(), 20000u);
    Lines oneLong = {"+CPBR: 1,\"x"};
    oneLong.insert(oneLong.end(), 20000, "no quote here");
    oneLong.push_back("\"");
    const Lines joined = ExtractPhoneEntries(oneLong);
    ASSERT_EQ(joined.size(), 1u);
    EXPECT_TRUE(joined[0].ends_with("here \"")) << joined[0].size();
}

TEST(PhonebookCardText, IndexLineEmptyLineAndEntries) {
    EXPECT_EQ(PhonebookCardText("Phone", {"1,\"5\",129,\"A\"", "2,\"6\",129,\"B\""}),
              "Phone\r\n\r\n1,\"5\",129,\"A\"\r\n2,\"6\",129,\"B\"\r\n");
    // An empty phonebook leaves the index line and an empty line.
    EXPECT_EQ(PhonebookCardText("Phone", {}), "Phone\r\n\r\n");
}

TEST(PhoneInfo, LabelColumnIsTwentyThreeCharactersAndATab) {
    for (const PhoneInfoQuery& query : kPhoneInfoQueries) {
        const std::string column = PhoneInfoLabelColumn(query.label);
        ASSERT_EQ(column.size(), 24u) << query.label;
        EXPECT_EQ(column.back(), '\t');
        EXPECT_EQ(column.substr(0, column.find(':')), query.label);
    }
    EXPECT_EQ(PhoneInfoLabelColumn("Model Id"), "Model Id:              \t");
    EXPECT_EQ(PhoneInfoLabelColumn("A label much longer than the column"),
              "A label much longer tha\t");
    EXPECT_EQ(kPhoneInfoQueries.front().command, std::string("AT+CGMI"));
    EXPECT_EQ(kPhoneInfoQueries[9].command, std::string("AT+CSCA?"));
    EXPECT_EQ(kPhoneInfoQueries.back().label, std::string("Signal Quality"));
}

TEST(PhoneInfo, ValueRule) {
    const std::string maker = PhoneInfoLabelColumn("Manufacturer Id");
    // Echo, empty, answer, empty, OK: two blanks for the empty line, two before the name.
    EXPECT_EQ(PhoneInfoRow("Manufacturer Id", {"AT+CGMI", "", "Nokia", "", "OK"}),
              maker + "    Nokia\r\n");
    // An answer with a name keeps the blank after its colon.
    EXPECT_EQ(PhoneInfoRow("Signal Quality", {"AT+CSQ", "", "+CSQ: 15,99", "", "OK"}),
              PhoneInfoLabelColumn("Signal Quality") + "     15,99\r\n");
    // Without echo.
    EXPECT_EQ(PhoneInfoRow("Manufacturer Id", {"", "Nokia", "", "OK"}), maker + "  Nokia\r\n");
    // OK alone, or the echo and OK: the last line.
    EXPECT_EQ(PhoneInfoRow("Manufacturer Id", {"OK"}), maker + "OK\r\n");
    EXPECT_EQ(PhoneInfoRow("Manufacturer Id", {"AT+CGMI", "OK"}), maker + "OK\r\n");
    // Three lines: nothing between the first and the last two.
    EXPECT_EQ(PhoneInfoRow("Manufacturer Id", {"AT+CGMI", "", "OK"}), maker + "\r\n");
    // A failed query contributes nothing.
    EXPECT_EQ(PhoneInfoRow("Manufacturer Id", {}), "");
    // Only the name up to the first ": " goes; a second colon stays.
    EXPECT_EQ(PhoneInfoRow("SMS Service Center", {"", "+CSCA: \"+4917:1\",145", "", "OK"}),
              PhoneInfoLabelColumn("SMS Service Center") + "   \"+4917:1\",145\r\n");
    // A phone without the blank after the colon loses the name all the same.
    EXPECT_EQ(PhoneInfoRow("Battery Charge", {"", "+CBC:0,80", "", "OK"}),
              PhoneInfoLabelColumn("Battery Charge") + "  0,80\r\n");
    // A "+" line without any colon stays whole.
    EXPECT_EQ(PhoneInfoRow("Model Id", {"", "+49", "", "OK"}),
              PhoneInfoLabelColumn("Model Id") + "  +49\r\n");
}

// A Wavecom module's model name with its own blanks, as the phone sent it.
TEST(PhoneInfo, CapturedReply) {
    const Lines wavecom = SplitReply(testing::ReadTestFile("at/at-model__06.dump"));
    ASSERT_EQ(wavecom.back(), "OK");
    EXPECT_EQ(PhoneInfoRow("Model Id", wavecom),
              PhoneInfoLabelColumn("Model Id") + "     MULTIBAND  900E  1800 \r\n");
}

TEST(PhoneInfo, MessageText) {
    EXPECT_EQ(PhoneInfoMessage("row\r\n"), "MOBILE PHONE INFORMATION:\r\n\r\nrow\r\n");
    EXPECT_STREQ(kNoPhoneInfoMessage, "Unable to get mobile information!");
}

TEST(MemoryStorage, SimCardAtStartThenPhoneAndOther) {
    test::ScriptedPrompter prompter = test::OfferAcceptingPrompter();
    MemoryStorage storage;
    EXPECT_EQ(storage.Checked(), StorageItem::SimCard);
    EXPECT_EQ(storage.Code(), "SM");
    EXPECT_EQ(storage.OtherCaption(), "&Other...");
    EXPECT_EQ(StorageCommand(storage.Code()), "AT+cpbs=\"SM\"");

    EXPECT_TRUE(storage.Click(StorageItem::Phone, prompter));
    EXPECT_EQ(storage.Code(), "ME");
    EXPECT_TRUE(prompter.inputBoxes.empty());

    // The entry is cut to two characters; the first prompt offers nothing.
    prompter.standingInput = "SM1";
    EXPECT_TRUE(storage.Click(StorageItem::Other, prompter));
    EXPECT_EQ(prompter.InputCaptions(), (Lines{"Specify Phonebook Memory Storage"}));
    EXPECT_EQ(prompter.InputInitials(), (Lines{""}));
    EXPECT_EQ(storage.Checked(), StorageItem::Other);
    EXPECT_EQ(storage.OtherCaption(), "&Other (SM)...");
    EXPECT_EQ(storage.Code(), "SM");

    // Cancelling keeps the check mark and the caption; the prompt offered the current code.
    prompter.standingInput = "FD";
    EXPECT_TRUE(storage.Click(StorageItem::Phone, prompter));
    prompter.cancelInputs = true;
    EXPECT_FALSE(storage.Click(StorageItem::Other, prompter));
    EXPECT_EQ(prompter.InputInitials().back(), "SM");
    EXPECT_EQ(storage.Checked(), StorageItem::Phone);
    EXPECT_EQ(storage.OtherCaption(), "&Other (SM)...");
    EXPECT_EQ(storage.Code(), "ME");
}

TEST(MemoryStorage, CodesOfOtherLengthsAndAmpersands) {
    test::ScriptedPrompter prompter = test::OfferAcceptingPrompter();
    MemoryStorage storage;
    prompter.standingInput = "S";
    storage.Click(StorageItem::Other, prompter);
    EXPECT_EQ(storage.Code(), "S");
    EXPECT_EQ(storage.OtherCaption(), "&Other (S)...");
    prompter.standingInput = "&X";
    storage.Click(StorageItem::Other, prompter);
    EXPECT_EQ(storage.Code(), "&X");
    EXPECT_EQ(storage.OtherCaption(), "&Other (&&X)...");
    EXPECT_EQ(StorageCodeFromEntry("ON"), "ON");
    EXPECT_EQ(StorageCodeFromEntry(""), "");
}

}  // namespace
}  // namespace tabellan
