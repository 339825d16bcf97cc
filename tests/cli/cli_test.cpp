// Runs the built tabellan-cli on files written into a temporary folder.
#include <algorithm>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cardfile/card_file.h"
#include "cardfile/card_set.h"
#include "cardfile/codepage.h"
#include "cli_fixture.h"

namespace tabellan {
namespace {

using test::CliRun;
using test::CliTest;
using test::ReadBytes;
using test::WriteBytes;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

const std::vector<Card> kPeople = {
    {{"Smith", "12 Main St", "Tel. 555 0100"}},
    {{"Jones", "1 High Road", "Leeds"}},
    {{"Baker", "", "note: \"quoted\", with comma"}},
};
const std::vector<std::vector<std::string>> kPeopleSorted = {
    {"Baker", "", "note: \"quoted\", with comma"},
    {"Jones", "1 High Road", "Leeds"},
    {"Smith", "12 Main St", "Tel. 555 0100"},
};

TEST_F(CliTest, DumpPrintsFormatSettingsAndCardsInOrder) {
    // The second "password" entry repeats a key (letter case ignored): the first one counts.
    WriteBytes(Path("a.csv"),
               " \",CONFUVersion=01.24,Password=,CardSeparator=35,password=dup,NoValue\r\n"
               "Smith,\"12 Main St\"\r\nAdams\r\n");
    const CliRun run = Run({"dump", Path("a.csv")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\"format\": \"CSV\", \"encrypted\": false, \"settings\": {\"Version\": "
              "\"01.24\", \"Password\": \"\", \"CardSeparator\": \"35\", \"NoValue\": \"\"}, "
              "\"cards\": [\n[\"Adams\"],\n[\"Smith\", \"12 Main St\"]]}\n");
    EXPECT_EQ(run.err, "");

    WriteBytes(Path("noheader.CsV"), "Zed\r\n");
    EXPECT_EQ(Run({"dump", Path("noheader.CsV")}).out,
              "{\"format\": \"CSV\", \"encrypted\": false, \"settings\": {}, \"cards\": [\n"
              "[\"Zed\"]]}\n");
}

TEST_F(CliTest, DumpConvertsAnsiToUtf8AndEscapesJson) {
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b) {
        high += static_cast<char>(b);
    }
    WriteCards("t.csv", {{{"A", "q\"b\\s", std::string("c\x01\x1f\t\x7f", 5), high}}});
    const CliRun run = Run({"dump", Path("t.csv")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("\"q\\\"b\\\\s\""));
    EXPECT_THAT(run.out, HasSubstr("\"c\\u0001\\u001f\\u0009\\u007f\""));
    const std::string utf8 = AnsiToUtf8(high);
    // Euro sign, a-umlaut and y-diaeresis from their Windows-1252 bytes.
    EXPECT_EQ(utf8.substr(0, 3), "\xE2\x82\xAC");
    EXPECT_THAT(utf8, HasSubstr("\xC3\xA4"));
    EXPECT_EQ(utf8.substr(utf8.size() - 2), "\xC3\xBF");
    // Code points U+0080..U+009F (bytes the code page leaves undefined) are escaped too.
    std::string expected;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = utf8[i];
        const std::size_t len = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        const std::string seq = utf8.substr(i, len);
        if (len == 2 && c == 0xC2 && static_cast<unsigned char>(seq[1]) < 0xA0) {
            static const char* hex = "0123456789abcdef";
            expected += std::string("\\u00") + hex[(seq[1] >> 4) & 0xF] + hex[seq[1] & 0xF];
        } else {
            expected += seq;
        }
        i += len;
    }
    EXPECT_THAT(run.out, HasSubstr("\"" + expected + "\"]]}"));
}

TEST_F(CliTest, DumpEncryptedFileReadsPasswordFromStdin) {
    FileSettings settings;
    settings.password = "K\xE4se";  // in the code page; typed in UTF-8
    const std::string path = WriteCards("enc.csv", kPeople, settings);

    const CliRun ok = Run({"dump", path, "--password-stdin"}, "K\xC3\xA4se\r\n");
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_THAT(ok.out, HasSubstr("\"encrypted\": true"));
    EXPECT_THAT(ok.out, HasSubstr("[\"Smith\", \"12 Main St\", \"Tel. 555 0100\"]"));

    const CliRun wrong = Run({"dump", path, "--password-stdin"}, "Kase\n");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_THAT(wrong.err, HasSubstr("Wrong Password!"));
    EXPECT_EQ(wrong.out, "");

    for (const CliRun& missing : {Run({"dump", path}), Run({"dump", path, "--password-stdin"}),
                                  Run({"dump", path, "--password-stdin"}, "\n")}) {
        EXPECT_EQ(missing.status, 1);
        EXPECT_THAT(missing.err, HasSubstr("Password is required to open an encrypted file."));
    }
}

TEST_F(CliTest, DumpCompressedFilesAtEveryLevel) {
    for (int level = 1; level <= 3; ++level) {
        FileSettings settings;
        settings.compressionLevel = level;
        settings.password = level == 2 ? "pw" : "";
        const std::string path =
            WriteCards("c" + std::to_string(level) + ".csv", kPeople, settings);
        const CliRun run = Run({"dump", path, "--password-stdin"}, "pw\n");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_THAT(run.out, HasSubstr("\"CompressionLevel\": \"" + std::to_string(level)));
        EXPECT_THAT(run.out, HasSubstr("[\"Baker\", \"\", \"note: \\\"quoted\\\", with comma\"],\n"
                                       "[\"Jones\", \"1 High Road\", \"Leeds\"],\n[\"Smith\""));
    }
}

// A Windows Cardfile file of the "MGC" kind with text-only cards.
std::string CrdFile(const std::vector<std::pair<std::string, std::string>>& cards) {
    std::string header = "MGC";
    header += static_cast<char>(cards.size());
    header += '\0';
    std::string entries;
    std::string data;
    const std::size_t dataStart = header.size() + 52 * cards.size();
    for (const auto& [index, text] : cards) {
        std::string entry(52, '\0');
        const std::size_t offset = dataStart + data.size();
        for (int b = 0; b < 4; ++b) {
            entry[6 + b] = static_cast<char>((offset >> (8 * b)) & 0xFF);
        }
        entry.replace(11, index.size(), index);
        entries += entry;
        data += std::string(2, '\0');
        data += static_cast<char>(text.size() & 0xFF);
        data += static_cast<char>(text.size() >> 8);
        data += text;
    }
    return header + entries + data;
}

TEST_F(CliTest, DumpCrdAndTxtFiles) {
    WriteBytes(Path("old.CRD"), CrdFile({{"M\xFCller", "Line1\r\nLine2"}, {"M\xFCller", ""}}));
    const CliRun crd = Run({"dump", Path("old.CRD")});
    EXPECT_EQ(crd.status, 0) << crd.err;
    EXPECT_EQ(crd.out,
              "{\"format\": \"CRD\", \"encrypted\": false, \"settings\": {}, \"cards\": [\n"
              "[\"M\xC3\xBCller\", \"\", \"Line1\", \"Line2\"],\n[\"M\xC3\xBCller.\"]]}\n");
    EXPECT_THAT(crd.err, HasSubstr("warning: One index correction was made at M\xC3\xBCller."));

    WriteBytes(Path("bad.crd"), "XYZ\x01\x00");
    const CliRun bad = Run({"dump", Path("bad.crd")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_THAT(bad.err, HasSubstr("Header not recognized!"));

    WriteBytes(Path("cards.Txt"), "\fAdams\r\n12 Main St\r\n\fBaker\r\n");
    EXPECT_EQ(Run({"dump", Path("cards.Txt")}).out,
              "{\"format\": \"TXT\", \"encrypted\": false, \"settings\": {}, \"cards\": [\n"
              "[\"Adams\", \"12 Main St\"],\n[\"Baker\"]]}\n");
}

TEST_F(CliTest, DumpReportsReaderWarningsOnStderr) {
    WriteBytes(Path("w.csv"), " \",CONFUVersion=01.3,Password=\r\nA\r\nA\r\nA\r\n");
    const CliRun run = Run({"dump", Path("w.csv")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("[\"A\"],\n[\"A.\"],\n[\"A..\"]]"));
    EXPECT_THAT(run.err, HasSubstr("Version of data file is 01.3, which is above the version"));
    // The box's line break (a lone CR) becomes a line break on the terminal.
    EXPECT_THAT(run.err, HasSubstr("3 index corrections were made.\nLast one was at A..\n"));
}

TEST_F(CliTest, FailuresAndUsageGiveTheirExitStatus) {
    WriteBytes(Path("x.dat"), "x\r\n");
    const CliRun unknown = Run({"dump", Path("x.dat")});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_THAT(unknown.err, HasSubstr("Unknown extension: .DAT"));
    EXPECT_THAT(Run({"dump", Path("noext")}).err, HasSubstr("Unknown extension: \n"));
    const CliRun missing = Run({"dump", Path("missing.csv")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_THAT(missing.err, HasSubstr("No such file or directory"));
    // A message shows a name as it is: the doubled "&" of the message is one again.
    const CliRun named = Run({"dump", Path("R&&D & Co.csv")});
    EXPECT_THAT(named.err, HasSubstr("R&&D & Co.csv: No such file or directory"));

    for (const auto& args :
         std::vector<std::vector<std::string>>{{},
                                               {"frobnicate"},
                                               {"dump"},
                                               {"dump", "a.csv", "b.csv"},
                                               {"dump", "a.csv", "--bogus"},
                                               {"convert", "a.csv"},
                                               {"convert", "a.csv", "b.csv", "--compression", "4"},
                                               {"convert", "a.csv", "b.csv", "--compression"}}) {
        const CliRun run = Run(args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
        EXPECT_THAT(run.err, HasSubstr("usage: tabellan-cli"));
    }
    const CliRun help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, HasSubstr("tabellan-cli convert IN OUT"));
    EXPECT_EQ(Run({"--version"}).out, "1.24\n");
}

TEST_F(CliTest, ConvertRoundTripsThroughTextExport) {
    FileSettings settings;
    settings.cardSeparator = '#';
    settings.quickSearch[0] = "i - Smith";
    std::vector<Card> cards = kPeople;
    cards.push_back({{"Hash", "#tag", "", " #kept"}});
    const std::string in = WriteCards("in.csv", cards, settings);

    const CliRun toTxt = Run({"convert", in, Path("out.TXT")});
    EXPECT_EQ(toTxt.status, 0) << toTxt.err;
    EXPECT_THAT(ReadBytes(Path("out.TXT")), HasSubstr("#Hash\r\n #tag\r\n\r\n #kept\r\n"));
    EXPECT_THAT(toTxt.err, HasSubstr("A space character was inserted in front of one line"));

    const CliRun back = Run({"convert", Path("out.TXT"), Path("back.csv")});
    EXPECT_EQ(back.status, 0) << back.err;
    FileSettings read;
    auto expected = LoadCards(in);
    expected[1] = {"Hash", " #tag", "", " #kept"};  // the export's inserted space stays
    EXPECT_EQ(LoadCards(Path("back.csv"), "", &read), expected);
    EXPECT_EQ(read.cardSeparator, '#');

    // A card file converted to a card file keeps its header settings.
    ASSERT_EQ(Run({"convert", in, Path("copy.csv")}).status, 0);
    LoadCards(Path("copy.csv"), "", &read);
    EXPECT_EQ(read.quickSearch[0], "i - Smith");
    EXPECT_EQ(LoadCards(Path("copy.csv")), LoadCards(in));

    WriteBytes(Path("old.crd"), CrdFile({{"Card", "Text"}}));
    ASSERT_EQ(Run({"convert", Path("old.crd"), Path("crd.csv")}).status, 0);
    EXPECT_THAT(LoadCards(Path("crd.csv")), ElementsAre(ElementsAre("Card", "", "Text")));
}

TEST_F(CliTest, ConvertChangesPasswordAndCompression) {
    FileSettings settings;
    settings.password = "old";
    const std::string in = WriteCards("in.csv", kPeople, settings);

    const CliRun changed = Run({"convert", in, Path("new.csv"), "--password-stdin",
                                "--new-password-stdin", "--compression", "2"},
                               "old\nn\xC3\xA9w\n");
    ASSERT_EQ(changed.status, 0) << changed.err;
    EXPECT_EQ(LoadCards(Path("new.csv"), "n\xE9w"), kPeopleSorted);
    EXPECT_THAT(Run({"dump", Path("new.csv"), "--password-stdin"}, "old\n").err,
                HasSubstr("Wrong Password!"));
    const std::string compressed = ReadBytes(Path("new.csv"));
    EXPECT_EQ(compressed.substr(0, 8), " \",CONFE");
    EXPECT_EQ(std::count(compressed.begin(), compressed.end(), '\n'), 2);

    // An empty new password removes the protection; level 0 writes one line per card again.
    const CliRun plain = Run({"convert", Path("new.csv"), Path("plain.csv"), "--password-stdin",
                              "--new-password-stdin", "--compression=0"},
                             "n\xC3\xA9w\n\n");
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(LoadCards(Path("plain.csv")), kPeopleSorted);
    const std::string plainText = ReadBytes(Path("plain.csv"));
    EXPECT_EQ(plainText.substr(0, 8), " \",CONFU");
    EXPECT_EQ(std::count(plainText.begin(), plainText.end(), '\n'), 4);

    const CliRun wrong = Run({"convert", in, Path("never.csv"), "--password-stdin"}, "bad\n");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_THAT(wrong.err, HasSubstr("Wrong Password!"));
    EXPECT_FALSE(fs::exists(Path("never.csv")));

    const CliRun toTxt = Run({"convert", in, Path("open.txt"), "--password-stdin"}, "old\n");
    EXPECT_EQ(toTxt.status, 0);
    EXPECT_THAT(toTxt.err, HasSubstr("File will be saved unencrypted!"));

    const CliRun badExt = Run({"convert", in, Path("out.doc")});
    EXPECT_EQ(badExt.status, 1);
    EXPECT_THAT(badExt.err, HasSubstr("Unknown extension: .DOC"));
    EXPECT_FALSE(fs::exists(Path("out.doc")));
}

TEST_F(CliTest, NewPasswordTheFilesCodePageCannotHoldIsRefused) {
    const std::string in = WriteCards("in.csv", kPeople, FileSettings{});
    const CliRun refused = Run({"convert", in, Path("out.csv"), "--new-password-stdin"},
                               "za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87\n");
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err,
                HasSubstr("The password contains characters that this file's character set "
                          "(windows-1252) cannot hold: \xC5\xBC \xC5\x82 \xC4\x87. Choose a "
                          "password without them."));
    EXPECT_FALSE(fs::exists(Path("out.csv")));
    const CliRun replace = Run({"replace", in, Path("replaced.csv"), "--find", "Smith", "--with",
                                "Smyth", "--new-password-stdin"},
                               "\xE2\x82\xAC\xE2\x84\xA2ok\xE2\x98\x8E\n");
    EXPECT_EQ(replace.status, 1);
    EXPECT_THAT(replace.err, HasSubstr("cannot hold: \xE2\x98\x8E. Choose"));
    EXPECT_FALSE(fs::exists(Path("replaced.csv")));

    // The same password is fine in a file whose font script is Eastern European.
    FileSettings eastern;
    eastern.font.charset = 238;
    const std::string in2 = WriteCards("in2.csv", kPeople, eastern);
    const CliRun accepted = Run({"convert", in2, Path("out2.csv"), "--new-password-stdin"},
                                "za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87\n");
    ASSERT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_EQ(LoadCards(Path("out2.csv"), "za\xBF\xF3\xB3\xE6"), kPeopleSorted);
}

}  // namespace
}  // namespace tabellan
