#include "cardfile/txt_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "cardfile/card_set.h"
#include "cardfile/errors.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

using ::testing::ElementsAre;
using Lines = std::vector<std::string>;

class TxtReaderTest : public ::testing::Test {
  protected:
    void Read(const std::string& bytes) {
        const auto path = (dir_ / "cards.txt").string();
        std::ofstream(path, std::ios::binary) << bytes;
        cards.Clear();
        separator = -1;
        ReadTXTFile(path, cards, separator, prompter);
        EXPECT_EQ(prompter.busyDepth, 0);
    }

    Lines LinesAt(int pos) const { return cards.CardAt(pos).lines; }

    test::TempFolder folder_{"tabellan-txt"};
    const std::filesystem::path dir_ = folder_.Path();
    CardSet cards;
    int separator = -1;
    test::ScriptedPrompter prompter;
};

TEST_F(TxtReaderTest, TwoCardsWithFormFeed) {
    Read("\fAdams\r\n12 Main St\r\n\fBaker\r\n");
    EXPECT_EQ(separator, 12);
    ASSERT_EQ(cards.Count(), 2);
    EXPECT_THAT(LinesAt(0), ElementsAre("Adams", "12 Main St"));
    EXPECT_THAT(LinesAt(1), ElementsAre("Baker"));
}

TEST_F(TxtReaderTest, SingleLineGivesIndexAndOneEmptyLine) {
    Read("\fAdams\r\n");
    ASSERT_EQ(cards.Count(), 1);
    EXPECT_THAT(LinesAt(0), ElementsAre("Adams", ""));
    // The same without a final line end.
    Read("\fAdams");
    EXPECT_THAT(LinesAt(0), ElementsAre("Adams", ""));
}

TEST_F(TxtReaderTest, FirstCharacterIsTheSeparator) {
    Read("XSmith\r\nXjones\r\n");
    EXPECT_EQ(separator, 'X');
    ASSERT_EQ(cards.Count(), 2);
    EXPECT_THAT(LinesAt(0), ElementsAre("jones"));
    EXPECT_THAT(LinesAt(1), ElementsAre("Smith"));
}

TEST_F(TxtReaderTest, SeparatorAboveCode127IsReportedUnsigned) {
    Read("\xA7One\r\nbody\r\n\xA7Two\r\n");
    EXPECT_EQ(separator, 0xA7);
    ASSERT_EQ(cards.Count(), 2);
    EXPECT_THAT(LinesAt(0), ElementsAre("One", "body"));
}

TEST_F(TxtReaderTest, EmptyFirstLine) {
    Read("\r\nbody\r\n\fNext\r\n");
    EXPECT_EQ(separator, 12);
    ASSERT_EQ(cards.Count(), 2);
    EXPECT_THAT(LinesAt(0), ElementsAre("", "body"));
    EXPECT_THAT(LinesAt(1), ElementsAre("Next"));
}

TEST_F(TxtReaderTest, FirstLineOfOneCharacterGivesEmptyIndex) {
    Read("\f\r\nbody\r\n");
    ASSERT_EQ(cards.Count(), 1);
    EXPECT_THAT(LinesAt(0), ElementsAre("", "body"));
}

TEST_F(TxtReaderTest, EscapedSeparatorLineStaysWithItsBlank) {
    Read("\fCard\r\n \fnot a card\r\n\r\nlast\r\n");
    ASSERT_EQ(cards.Count(), 1);
    EXPECT_THAT(LinesAt(0), ElementsAre("Card", " \fnot a card", "", "last"));
}

TEST_F(TxtReaderTest, SeparatorAloneStartsACardWithEmptyIndex) {
    Read("\fA\r\n\f\r\nx\r\n");
    ASSERT_EQ(cards.Count(), 2);
    EXPECT_THAT(LinesAt(0), ElementsAre("", "x"));
    EXPECT_THAT(LinesAt(1), ElementsAre("A"));
}

TEST_F(TxtReaderTest, EmptyFileGivesNoCardsAndKeepsSeparator) {
    Read("");
    EXPECT_EQ(cards.Count(), 0);
    EXPECT_EQ(separator, -1);
}

TEST_F(TxtReaderTest, BareLineEndsAndCtrlZ) {
    Read("\fA\nbare LF\nstop\r\n\x1A\fGhost\r\n");
    ASSERT_EQ(cards.Count(), 1);
    EXPECT_THAT(LinesAt(0), ElementsAre("A", "bare LF", "stop"));
}

TEST_F(TxtReaderTest, DuplicateIndexesCorrectedAndReported) {
    Read("\fSame\r\n1\r\n\fSame\r\n2\r\n");
    ASSERT_EQ(cards.Count(), 2);
    EXPECT_EQ(cards.IndexAt(0), "Same");
    EXPECT_EQ(cards.IndexAt(1), "Same.");
    EXPECT_EQ(prompter.Texts().size(), 1u);
}

TEST_F(TxtReaderTest, Utf8BytesComeBackRaw) {
    Read(
        "\fM\xC3\xBCller\r\nStra\xC3\x9F"
        "e\r\n");
    EXPECT_THAT(LinesAt(0), ElementsAre("M\xC3\xBCller",
                                        "Stra\xC3\x9F"
                                        "e"));
}

TEST_F(TxtReaderTest, MissingFileIsAnInputOutputError) {
    EXPECT_THROW(ReadTXTFile((dir_ / "none.txt").string(), cards, separator, prompter),
                 EInOutError);
    EXPECT_EQ(prompter.busyDepth, 0);
}

}  // namespace
}  // namespace tabellan
