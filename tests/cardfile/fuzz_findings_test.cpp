// Inputs the fuzz targets (tests/fuzz) found wrong handling for, each kept as a regression
// test; the inputs themselves are in the targets' seed corpus too.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cardfile/card_file.h"
#include "cardfile/card_set.h"
#include "cardfile/comma_text.h"
#include "support/scripted_prompter.h"

namespace tabellan {
namespace {

std::vector<std::vector<std::string>> Load(const std::string& bytes) {
    CardSet cards;
    FileSettings settings;
    test::ScriptedPrompter prompter;
    LoadCsvCardData(bytes, "test.csv", cards, settings, SettingsContext{}, prompter);
    std::vector<std::vector<std::string>> out;
    for (int i = 0; i < cards.Count(); ++i) {
        out.push_back(cards.CardAt(i).lines);
    }
    return out;
}

// A compressed body holding a LF or a CR that is not part of CR LF (only a damaged or crafted
// file has one) read as card lines that still held them. It reads as the same lines do
// without compression: a LF ends a line, a lone CR is dropped.
TEST(FuzzFindingsTest, CompressedBodyWithLoneLineEnds) {
    const std::string body = "\"a\nb\",x\r\nc\rd\r\ne\nf\r\n\"q\r\n\"\r\n";
    // Stored unchanged (length 0) after the block header, as a body that does not shrink.
    const std::string compressed = " \",CONFUVersion=01.24,Password=,CompressionLevel=1\r\n" +
                                   EscapePayload(std::string(4, '\0') + body) + "\r\n";
    const auto cards = Load(compressed);
    for (const auto& card : cards) {
        for (const std::string& line : card) {
            EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        }
    }
    EXPECT_EQ(cards, Load(body));
    EXPECT_EQ(cards.size(), 7u);
}

}  // namespace
}  // namespace tabellan
