// tabellan-cli replace: Replace All over a card file from the command line.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli_fixture.h"

namespace tabellan {
namespace {

using test::CliRun;
using test::CliTest;
using test::ReadBytes;
using test::WriteBytes;
using ::testing::HasSubstr;
using Lines = std::vector<std::vector<std::string>>;

const std::vector<Card> kFirms = {
    {{"Acme Co", "Tel. (0212) 555 01", "Fax (0212) 555 02"}},
    {{"Acme Corp", "(0212) 444"}},
    {{"Baker", "Co-op member", "(0216) 333"}},
};

TEST_F(CliTest, ReplaceWorksOnTheIndexesByDefault) {
    const std::string in = WriteCards("in.csv", kFirms);
    const CliRun run = Run({"replace", in, Path("out.csv"), "--find", "Co", "--with", "& Co"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "2 replacements done.\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(LoadCards(Path("out.csv")),
              (Lines{{"Acme & Co", "Tel. (0212) 555 01", "Fax (0212) 555 02"},
                     {"Acme & Corp", "(0212) 444"},
                     {"Baker", "Co-op member", "(0216) 333"}}));
    // The input is left as it was.
    EXPECT_EQ(LoadCards(in)[0][0], "Acme Co");
}

TEST_F(CliTest, ReplaceOverTheWholeTextOfAllCardsWritesAsConvertDoes) {
    const std::string in = WriteCards("in.csv", kFirms);
    const CliRun run = Run({"replace", in, Path("out.csv"), "--scope", "cards", "--find", "(0212)",
                            "--with", "(0216)", "--compression", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "3 replacements done.\n");
    EXPECT_EQ(LoadCards(Path("out.csv")),
              (Lines{{"Acme Co", "Tel. (0216) 555 01", "Fax (0216) 555 02"},
                     {"Acme Corp", "(0216) 444"},
                     {"Baker", "Co-op member", "(0216) 333"}}));
    const std::string compressed = ReadBytes(Path("out.csv"));
    EXPECT_EQ(std::count(compressed.begin(), compressed.end(), '\n'), 2);  // one body line

    const CliRun toText = Run({"replace", in, Path("out.txt"), "--scope=cards", "--find", "co",
                               "--with", "Ko", "--match-case"});
    ASSERT_EQ(toText.status, 0) << toText.err;
    EXPECT_EQ(toText.out, "0 replacements done.\n");
    EXPECT_THAT(ReadBytes(Path("out.txt")), HasSubstr("Co-op member"));
}

TEST_F(CliTest, ReplaceConvertsUtf8TextsToTheCodePage) {
    const std::string in = WriteCards("in.csv", {{{"M\xFCller",
                                                   "Stra\xDF"
                                                   "e 1"}}});
    const CliRun run =
        Run({"replace", in, Path("out.csv"), "--find", "m\xC3\xBC", "--with", "M\xC3\xB6"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "1 replacements done.\n");
    EXPECT_EQ(LoadCards(Path("out.csv"))[0][0], "M\xF6ller");
}

TEST_F(CliTest, ReplaceStartsAtTheBeginningOfTheCardNamed) {
    // Both indexes become "a": the card replaced second is the one made unique with ".".
    const std::string in = WriteCards("in.csv", {{{"ab", "first"}}, {{"ba", "second"}}});
    ASSERT_EQ(Run({"replace", in, Path("default.csv"), "--find", "b", "--with", ""}).status, 0);
    EXPECT_EQ(LoadCards(Path("default.csv")), (Lines{{"a", "first"}, {"a.", "second"}}));

    const CliRun run =
        Run({"replace", in, Path("from.csv"), "--find", "b", "--with", "", "--from", "ba"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "2 replacements done.\n");
    EXPECT_EQ(LoadCards(Path("from.csv")), (Lines{{"a", "second"}, {"a.", "first"}}));

    // An index no card has, also one that differs only in letter case, is an error.
    for (const char* from : {"BA", "zebra", "\xD0\x96"}) {
        const CliRun missing =
            Run({"replace", in, Path("never.csv"), "--find", "b", "--with", "", "--from", from});
        EXPECT_EQ(missing.status, 1) << from;
        EXPECT_THAT(missing.err, HasSubstr(std::string("No card has the index ") + from));
        EXPECT_EQ(missing.out, "");
        EXPECT_FALSE(std::filesystem::exists(Path("never.csv")));
    }
}

TEST_F(CliTest, ReplaceReadsAndWritesPasswordsAsConvertDoes) {
    FileSettings settings;
    settings.password = "old";
    const std::string in = WriteCards("in.csv", kFirms, settings);
    const CliRun run = Run({"replace", in, Path("out.csv"), "--find", "Baker", "--with", "Bakers",
                            "--password-stdin", "--new-password-stdin"},
                           "old\nnew\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "1 replacements done.\n");
    EXPECT_EQ(LoadCards(Path("out.csv"), "new")[2][0], "Bakers");

    const CliRun wrong =
        Run({"replace", in, Path("never.csv"), "--find", "a", "--with", "b", "--password-stdin"},
            "bad\n");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_THAT(wrong.err, HasSubstr("Wrong Password!"));
    EXPECT_EQ(wrong.out, "");
    EXPECT_FALSE(std::filesystem::exists(Path("never.csv")));
}

TEST_F(CliTest, ReplaceUsageErrors) {
    const std::string in = WriteCards("in.csv", kFirms);
    const std::vector<std::vector<std::string>> wrong = {
        {"replace", in, Path("o.csv"), "--with", "x"},
        {"replace", in, Path("o.csv"), "--find", "x"},
        {"replace", in, "--find", "x", "--with", "y"},
        {"replace", in, Path("o.csv"), "--find", "x", "--with", "y", "--scope", "all"},
        {"replace", in, Path("o.csv"), "--find", "a\nb", "--with", "y"},
        {"replace", in, Path("o.csv"), "--find", "a", "--with", "y\r"},
        // Cyrillic Zhe: Windows-1252 has no such letter, and "?" would stand for it.
        {"replace", in, Path("o.csv"), "--find", "\xD0\x96", "--with", "y"},
        {"replace", in, Path("o.csv"), "--find", "a", "--with", "\xD0\x96"},
        {"replace", in, Path("o.csv"), "--find", "a", "--with", "y", "--compression", "9"},
    };
    for (const auto& args : wrong) {
        const CliRun run = Run(args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
        EXPECT_THAT(run.err, HasSubstr("usage: tabellan-cli replace IN OUT --find TEXT"));
        EXPECT_FALSE(std::filesystem::exists(Path("o.csv")));
    }
    const CliRun badExt = Run({"replace", in, Path("o.doc"), "--find", "a", "--with", "b"});
    EXPECT_EQ(badExt.status, 1);
    EXPECT_THAT(badExt.err, HasSubstr("Unknown extension: .DOC"));
    EXPECT_THAT(Run({"--help"}).out, HasSubstr("tabellan-cli replace IN OUT"));
}

}  // namespace
}  // namespace tabellan
