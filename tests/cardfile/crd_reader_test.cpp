#include "cardfile/crd_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "cardfile/card_file.h"
#include "cardfile/card_set.h"
#include "cardfile/errors.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

using ::testing::ElementsAre;
using Lines = std::vector<std::string>;

std::string Le(std::uint32_t v, int width) {
    std::string s;
    for (int i = 0; i < width; ++i) {
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    return s;
}

struct CrdCard {
    std::string index;
    std::string text;
};

// An index entry with every check byte zero; callers spoil single bytes.
std::string Entry(const std::string& index, std::uint32_t offset) {
    std::string e(52, '\0');
    e.replace(6, 4, Le(offset, 4));
    e.replace(11, std::min<std::size_t>(index.size(), 40), index.substr(0, 40));
    return e;
}

// A well-formed text-only file: header, entries, then the data blocks in entry order.
std::string BuildCrd(const std::vector<CrdCard>& cards, bool rrg = false) {
    const std::string header =
        rrg ? "RRG" + Le(0x1234, 4) + Le(cards.size(), 2) : "MGC" + Le(cards.size(), 2);
    std::uint32_t offset = header.size() + 52 * cards.size();
    std::string entries;
    std::string data;
    for (const auto& c : cards) {
        entries += Entry(c.index, offset);
        const std::string block = Le(0, 2) + Le(c.text.size(), 2) + c.text;
        data += block;
        offset += block.size();
    }
    return header + entries + data;
}

class CrdReaderTest : public ::testing::Test {
  protected:
    std::string Write(const std::string& bytes) {
        const auto path = (dir_ / "cards.crd").string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // Reads and returns the error message, or "" when the import succeeded.
    std::string Read(const std::string& bytes) {
        try {
            ReadCRDFile(Write(bytes), cards, prompter);
        } catch (const ECRDFormatError& e) {
            EXPECT_EQ(prompter.busyDepth, 0);
            return e.what();
        }
        EXPECT_EQ(prompter.busyDepth, 0);
        return "";
    }

    Lines LinesAt(int pos) const { return cards.CardAt(pos).lines; }

    test::TempFolder folder_{"tabellan-crd"};
    const std::filesystem::path dir_ = folder_.Path();
    CardSet cards;
    test::ScriptedPrompter prompter;
};

TEST_F(CrdReaderTest, RealFileWithThreeCards) {
    ReadCRDFile(std::string(TABELLAN_TEST_DATA) + "/crd/klaru_crdfile_abc.crd", cards, prompter);
    ASSERT_EQ(cards.Count(), 3);
    EXPECT_THAT(LinesAt(0), ElementsAre("A", "", "111111111111"));
    EXPECT_THAT(LinesAt(1), ElementsAre("B", "", "222222222222"));
    EXPECT_THAT(LinesAt(2), ElementsAre("C", "", "333333333333"));
    EXPECT_TRUE(prompter.Texts().empty());
}

TEST_F(CrdReaderTest, RealMalformedFileFailsOnItsFirstCard) {
    // The header claims 449 cards; the first entry's offset lands inside card text, so the
    // "length" read there is the two text bytes "00".
    try {
        ReadCRDFile(std::string(TABELLAN_TEST_DATA) + "/crd/klaru_crdfile_test.crd", cards,
                    prompter);
        FAIL() << "no error";
    } catch (const ECRDFormatError& e) {
        EXPECT_STREQ(e.what(), "Internal error #2. Data length = 12336!");
    }
    EXPECT_EQ(cards.Count(), 0);
}

TEST_F(CrdReaderTest, HeaderProblems) {
    EXPECT_EQ(Read(""), "Unable to read header!");
    EXPECT_EQ(Read("MG"), "Unable to read header!");
    EXPECT_EQ(Read("XYZ\x01\x00"), "Header not recognized!");
    EXPECT_EQ(Read("mgc\x01\x00"), "Header not recognized!");
    EXPECT_EQ(Read("MGC\x01"), "Unable to read card count!");
    EXPECT_EQ(Read("RRG" + std::string(5, '\0')), "Unable to read card count!");
    EXPECT_EQ(Read("MGC" + Le(0, 2)), "");
    EXPECT_EQ(Read("RRG" + Le(7, 4) + Le(0, 2)), "");
    EXPECT_EQ(cards.Count(), 0);
}

TEST_F(CrdReaderTest, BothVariantsReadTextAndSplitLines) {
    const std::vector<CrdCard> input = {{"Jones", "Line1\r\nLine2"},
                                        {"Adams", "Main St\r\n"},
                                        {"Empty", ""},
                                        {"Caf\xE9", "lone\rCR"}};
    for (bool rrg : {false, true}) {
        cards.Clear();
        ASSERT_EQ(Read(BuildCrd(input, rrg)), "");
        ASSERT_EQ(cards.Count(), 4);
        EXPECT_THAT(LinesAt(0), ElementsAre("Adams", "", "Main St", ""));
        EXPECT_THAT(LinesAt(1), ElementsAre("Caf\xE9", "", "lone", "CR"));
        EXPECT_THAT(LinesAt(2), ElementsAre("Empty"));
        EXPECT_THAT(LinesAt(3), ElementsAre("Jones", "", "Line1", "Line2"));
    }
}

TEST_F(CrdReaderTest, IndexTextEndsAtZeroOrFillsFortyBytes) {
    const std::string forty(40, 'x');
    std::string file = BuildCrd({{forty + "ignored", "a"}});
    ASSERT_EQ(Read(file), "");
    EXPECT_EQ(cards.IndexAt(0), forty);
}

TEST_F(CrdReaderTest, TextEndingInCrAlone) {
    ASSERT_EQ(Read(BuildCrd({{"K", "end\r"}})), "");
    EXPECT_THAT(LinesAt(0), ElementsAre("K", "", "end", ""));
}

TEST_F(CrdReaderTest, FormatErrorKeepsEarlierCards) {
    for (std::size_t bad : {0u, 1u, 2u, 5u, 10u, 51u}) {
        cards.Clear();
        std::string file = BuildCrd({{"First", "one"}, {"Second", "two"}});
        file[5 + 52 + bad] = '\x01';
        EXPECT_EQ(Read(file), "Format error on key # 2!") << bad;
        ASSERT_EQ(cards.Count(), 1);
        EXPECT_THAT(LinesAt(0), ElementsAre("First", "", "one"));
    }
}

TEST_F(CrdReaderTest, TruncatedEntryAndData) {
    // Offset 5 points into the first entry's zero bytes: a card of text length 0.
    EXPECT_EQ(Read("MGC" + Le(2, 2) + Entry("First", 5) + Entry("Second", 5).substr(0, 30)),
              "Unable to read key # 2!");
    ASSERT_EQ(cards.Count(), 1);
    EXPECT_THAT(LinesAt(0), ElementsAre("First"));

    const std::string file = BuildCrd({{"First", "one"}, {"Second", "two"}});
    const std::size_t firstBlock = 5 + 104;
    cards.Clear();
    EXPECT_EQ(Read(file.substr(0, firstBlock)), "Unable to read data length for key # 1!");
    // The length field partly inside the file.
    EXPECT_EQ(Read(file.substr(0, firstBlock + 3)), "Unable to read data length for key # 1!");
    EXPECT_EQ(cards.Count(), 0);
    // The last text cut short.
    EXPECT_EQ(Read(file.substr(0, file.size() - 1)), "Unable to read data for key # 2!");
    ASSERT_EQ(cards.Count(), 1);
    EXPECT_EQ(cards.IndexAt(0), "First");
}

TEST_F(CrdReaderTest, LengthLimit) {
    std::string file =
        "MGC" + Le(1, 2) + Entry("Big", 57) + Le(0, 2) + Le(1024, 2) + std::string(1024, 'a');
    EXPECT_EQ(Read(file), "Internal error #2. Data length = 1024!");
    file = "MGC" + Le(1, 2) + Entry("Big", 57) + Le(0, 2) + Le(65535, 2);
    EXPECT_EQ(Read(file), "Internal error #2. Data length = 65535!");
    file = "MGC" + Le(1, 2) + Entry("Big", 57) + Le(0, 2) + Le(1023, 2) + std::string(1023, 'a');
    EXPECT_EQ(Read(file), "");
    EXPECT_EQ(cards.CardAt(0).lines.at(2).size(), 1023u);
}

// No card line ever holds a CR or a LF: lines end at CR LF, at a lone CR and at a lone LF,
// in the text and in the index alike.
TEST_F(CrdReaderTest, LoneCrAndLfEndLinesToo) {
    ASSERT_EQ(Read(BuildCrd({{"Mixed", "a\nb\rc\r\nd\n\re\r\r\nf\n"},
                             {"Top\r\nSecond\nThird\rFourth", "text"},
                             {"LF", "\n"},
                             {"Tail\r", ""}})),
              "");
    ASSERT_EQ(cards.Count(), 4);
    EXPECT_THAT(LinesAt(0), ElementsAre("LF", "", "", ""));
    EXPECT_THAT(LinesAt(1), ElementsAre("Mixed", "", "a", "b", "c", "d", "", "e", "", "f", ""));
    EXPECT_THAT(LinesAt(2), ElementsAre("Tail", ""));
    EXPECT_THAT(LinesAt(3), ElementsAre("Top", "Second", "Third", "Fourth", "", "text"));
    for (int i = 0; i < cards.Count(); ++i) {
        for (const std::string& line : LinesAt(i)) {
            EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << i;
        }
    }
}

// A Windows 3.0 card with a picture: its size, width, height and position come before the
// text length, and the bitmap after them.
std::string PictureBlock(const std::string& bitmap, const std::string& text) {
    return Le(bitmap.size(), 2) + Le(16, 2) + Le(bitmap.size() / 2, 2) + Le(3, 2) + Le(4, 2) +
           bitmap + Le(text.size(), 2) + text;
}

TEST_F(CrdReaderTest, TextUnderASmallPictureIsRead) {
    // A 16 x 4 monochrome bitmap, rows padded to 16 bits, with bytes that look like line ends.
    const std::string bitmap("\x0D\x0A\xFF\x0D\x0A\x00\x0A\x0D", 8);
    const std::string block = PictureBlock(bitmap, "Line1\r\nLine2");
    const std::string plain = Le(0, 2) + Le(4, 2) + "Next";
    const std::uint32_t first = 5 + 2 * 52;
    const std::string file = "MGC" + Le(2, 2) + Entry("Picture", first) +
                             Entry("Plain", first + block.size()) + block + plain;
    ASSERT_EQ(Read(file), "");
    ASSERT_EQ(cards.Count(), 2);
    EXPECT_THAT(LinesAt(0), ElementsAre("Picture", "", "Line1", "Line2"));
    EXPECT_THAT(LinesAt(1), ElementsAre("Plain", "", "Next"));

    // A picture that runs past the end of the file leaves no text length to read.
    cards.Clear();
    EXPECT_EQ(Read("MGC" + Le(1, 2) + Entry("Cut", 57) + PictureBlock(bitmap, "x").substr(0, 14)),
              "Unable to read data length for key # 1!");

    // Two bytes that start no well-formed picture (its size does not fit its width and
    // height) are skipped as they are in every card without a picture.
    cards.Clear();
    EXPECT_EQ(Read("MGC" + Le(1, 2) + Entry("Odd", 57) + Le(5, 2) + Le(3, 2) + "abc" +
                   std::string(3, '\0')),
              "");
    EXPECT_THAT(LinesAt(0), ElementsAre("Odd", "", "abc"));
}

// Saved as a card file and opened again, an imported set keeps its cards: no line end inside
// a line can turn into a card boundary.
TEST_F(CrdReaderTest, ImportedCardsSurviveACardFileRoundTrip) {
    const std::vector<CrdCard> input = {
        {"One", "a\nb"}, {"Two", "c\rd"}, {"Three\n", "e\r\n"}, {"Four", "\n\n"}, {"Five", "f"}};
    ASSERT_EQ(Read(BuildCrd(input)), "");
    ASSERT_EQ(cards.Count(), 5);
    const std::string csv = (dir_ / "cards.csv").string();
    WriteCardFile(csv, cards, FileSettings{}, true, prompter);
    CardSet reread;
    FileSettings settings;
    LoadCsvCardFile(csv, reread, settings, SettingsContext{}, prompter);
    ASSERT_EQ(reread.Count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(reread.CardAt(i).lines, cards.CardAt(i).lines);
    }
}

TEST_F(CrdReaderTest, ObjectBytesBeforeTheLengthAreSkipped) {
    // Windows 3.1 files carry an object flag there; objects are not read.
    std::string file =
        "RRG" + Le(1, 4) + Le(1, 2) + Entry("Obj", 61) + "\xFF\x7F" + Le(2, 2) + "hi";
    EXPECT_EQ(Read(file), "");
    EXPECT_THAT(LinesAt(0), ElementsAre("Obj", "", "hi"));
}

TEST_F(CrdReaderTest, SharedDataBlocksAndBackwardOffsets) {
    // Two entries may point at one block; the reader goes back to the entry list each time.
    const std::string block = Le(0, 2) + Le(3, 2) + "abc";
    std::string file = "MGC" + Le(2, 2) + Entry("One", 109) + Entry("Two", 109) + block;
    EXPECT_EQ(Read(file), "");
    ASSERT_EQ(cards.Count(), 2);
    EXPECT_THAT(LinesAt(1), ElementsAre("Two", "", "abc"));
}

TEST_F(CrdReaderTest, DuplicateIndexesAreCorrectedAndReported) {
    ASSERT_EQ(Read(BuildCrd({{"Same", "1"}, {"Same", "2"}})), "");
    ASSERT_EQ(cards.Count(), 2);
    EXPECT_EQ(cards.IndexAt(0), "Same");
    EXPECT_EQ(cards.IndexAt(1), "Same.");
    EXPECT_EQ(prompter.Texts().size(), 1u);
}

TEST_F(CrdReaderTest, DuplicatesBeforeAnErrorAreCorrectedToo) {
    std::string file = BuildCrd({{"Same", "1"}, {"Same", "2"}, {"Third", "3"}});
    file[5 + 104 + 10] = '\x01';
    EXPECT_EQ(Read(file), "Format error on key # 3!");
    ASSERT_EQ(cards.Count(), 2);
    EXPECT_EQ(cards.IndexAt(1), "Same.");
    EXPECT_EQ(prompter.Texts().size(), 1u);
}

TEST_F(CrdReaderTest, OpenFailureIsAnInputOutputError) {
    const std::string missing = (dir_ / "missing.crd").string();
    try {
        ReadCRDFile(missing, cards, prompter);
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr("No such file or directory"));
    }
    EXPECT_THROW(ReadCRDFile(dir_.string(), cards, prompter), EInOutError);
    EXPECT_EQ(prompter.busyDepth, 0);
}

}  // namespace
}  // namespace tabellan
