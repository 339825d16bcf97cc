#include "cardfile/card_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "cardfile/atomic_file.h"
#include "cardfile/cipher.h"
#include "cardfile/comma_text.h"
#include "cardfile/compression.h"
#include "cardfile/errors.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::ScriptedPrompter;
using test::WriteBytes;
using L = std::vector<std::string>;

class CardFileTest : public ::testing::Test {
  protected:
    std::string File(const std::string& name) const { return dir_.File(name); }
    // Loads into a fresh set and settings; the prompter is the caller's.
    LoadResult Load(const std::string& path, CardSet& cards, FileSettings& settings,
                    ScriptedPrompter& p) {
        return LoadCsvCardFile(path, cards, settings, SettingsContext{}, p);
    }
    static std::vector<L> AllCards(const CardSet& s) {
        std::vector<L> v;
        for (int i = 0; i < s.Count(); ++i) {
            v.push_back(s.CardAt(i).lines);
        }
        return v;
    }

    test::TempFolder dir_;
};

const char* kSpecLine1 =
    " \",CONFUVersion=01.24,Password=,CardSeparator=12,WindowState=0,ClientHeight=360,"
    "ClientWidth=680,Top=120,Left=200,CardWidth=400,CompressionLevel=0,IndexListAtRight=1,"
    "SavePeriod=10,WordWrap=0,IndentSpaces=0,FontCharset=1,FontColor=$80000008,FontHeight=-12,"
    "FontName=Fixedsys,FontPitch=0,FontSize=9,FontStyleBold=0,FontStyleItalic=0,"
    "FontStyleUnderline=0,FontStyleStrikeOut=0,Modified=0,AltCardFileName=,"
    "\"AutodialIgnChars=! \",AutodialSepChars=!(),CommandExec=1";

TEST_F(CardFileTest, WritesTheSpecExampleByteForByte) {
    CardSet cards;
    cards.Insert(Card{{"Smith", "12 Main St", "Tel. 555 0100"}});
    cards.Insert(Card{{"Jones", "1 High Road", "Leeds"}});
    FileSettings s;
    ScriptedPrompter p;
    std::string path = File("cards.csv");
    WriteCardFile(path, cards, s, true, p);
    EXPECT_EQ(ReadBytes(path), std::string(kSpecLine1) +
                                   "\r\nJones,\"1 High Road\",Leeds\r\n"
                                   "Smith,\"12 Main St\",\"Tel. 555 0100\"\r\n");
    EXPECT_EQ(p.statuses, L{"Saving " + path + "..."});
    EXPECT_TRUE(p.Texts().empty());

    CardSet back;
    FileSettings bs;
    ScriptedPrompter q;
    LoadResult r = Load(path, back, bs, q);
    EXPECT_TRUE(r.hadHeader);
    EXPECT_FALSE(r.encrypted);
    EXPECT_EQ(ToCommaText(r.rawSettings), std::string(kSpecLine1).substr(8));
    EXPECT_EQ(AllCards(back), AllCards(cards));
    EXPECT_EQ(BuildFileSettings(bs), BuildFileSettings(s));
    EXPECT_TRUE(q.Texts().empty());
    EXPECT_EQ(q.busyDepth, 0);
    EXPECT_GT(q.busyCalls, 0);
}

TEST_F(CardFileTest, RoundTripEveryLayout) {
    CardSet cards;
    cards.Insert(Card{{"Comma, Quote \"x\"", " lead", "trail ", "\ttab", "", "a,b"}});
    cards.Insert(Card{{""}});
    cards.Insert(Card{{"Two", ""}});
    cards.Insert(Card{{"Smith", "", ""}});
    cards.Insert(Card{{"Bin \x01\x1f\x7f\xff\\", std::string("\x00z", 2)}});
    std::mt19937 rng(3);
    for (int i = 0; i < 300; ++i) {
        L lines;
        for (int k = 0; k < 1 + static_cast<int>(rng() % 4); ++k) {
            std::string l;
            for (int c = 0; c < static_cast<int>(rng() % 20); ++c) {
                char ch = static_cast<char>(rng() % 256);
                if (ch == '\r' || ch == '\n') {
                    ch = 'x';
                }
                l.push_back(ch);
            }
            lines.push_back(l);
        }
        lines[0] = "Card " + std::to_string(i) + lines[0];
        cards.Insert(Card{lines});
    }
    for (int level = 0; level <= 3; ++level) {
        for (const char* pw : {"", "Secret"}) {
            FileSettings s;
            s.compressionLevel = level;
            s.password = pw;
            s.quickSearch[0] = "i - x";
            ScriptedPrompter p;
            std::string path = File("rt.csv");
            WriteCardFile(path, cards, s, true, p);
            std::string bytes = ReadBytes(path);
            if (level > 0) {
                // Header, one payload line, nothing after.
                std::size_t first = bytes.find("\r\n");
                ASSERT_NE(first, std::string::npos);
                std::string payload = bytes.substr(first + 2);
                ASSERT_GE(payload.size(), 2u);
                payload.resize(payload.size() - 2);
                EXPECT_EQ(payload.find_first_of(std::string("\r\n\x1a\0", 4)), std::string::npos);
            }
            CardSet back;
            FileSettings bs;
            ScriptedPrompter q;
            q.passwords.push_back(std::string(pw));
            LoadResult r = Load(path, back, bs, q);
            EXPECT_EQ(r.encrypted, *pw != '\0');
            EXPECT_EQ(q.passwordDialogs.size(), *pw != '\0' ? 1u : 0u);
            ASSERT_EQ(back.Count(), cards.Count()) << level << pw;
            EXPECT_EQ(AllCards(back), AllCards(cards)) << level << pw;
            EXPECT_EQ(bs.compressionLevel, level);
            EXPECT_EQ(bs.password, pw);
            EXPECT_EQ(bs.quickSearch[0], "i - x");
        }
    }
}

TEST_F(CardFileTest, CompressedPayloadSurvivesSpecialBytes) {
    // Cards whose compressed stream holds 0, 10, 13, 26 and 92.
    CardSet cards;
    std::mt19937 rng(11);
    std::string body;
    for (int i = 0; i < 200; ++i) {
        std::string l(30, ' ');
        for (char& c : l) {
            c = static_cast<char>(33 + rng() % 90);
        }
        cards.Insert(Card{{"c" + std::to_string(i), l}});
    }
    for (int i = 0; i < cards.Count(); ++i) {
        body += ToCommaText(cards.CardAt(i).lines) + "\r\n";
    }
    std::optional<std::string> block = CompressText(body, UclLevelFor(1));
    ASSERT_TRUE(block);
    for (char special : {'\0', '\n', '\r', '\x1a', '\\'}) {
        EXPECT_NE(block->find(special), std::string::npos) << int(special);
    }
    FileSettings s;
    s.compressionLevel = 1;
    ScriptedPrompter p;
    std::string path = File("c.csv");
    WriteCardFile(path, cards, s, true, p);
    CardSet back;
    FileSettings bs;
    Load(path, back, bs, p);
    EXPECT_EQ(AllCards(back), AllCards(cards));
}

TEST_F(CardFileTest, EdgeFiles) {
    struct Case {
        std::string bytes;
        std::vector<L> cards;
        bool hadHeader;
    };
    const std::vector<Case> cases = {
        {"", {}, false},
        {"Smith,x\r\nJones\r\n", {{"Jones"}, {"Smith", "x"}}, false},
        {"\r\n \",CONFUVersion=01.24,CardSeparator=7\r\nA\r\n", {{"A"}}, false},
        {"A\r\n \",CONFUVersion=01.24\r\nB\r\n", {{"A"}, {"B"}}, false},
        {" \",CONF", {}, true},
        {" \",CONF\r\nA\r\n", {{"A"}}, true},
        {" \",CONFU\r\n\"\"\r\nb,\r\n", {{""}, {"b", ""}}, true},
        {",\r\n", {{"", ""}}, false},
        {",a\r\n", {{"", "a"}}, false},
        {"   \r\n\x01\x02\r\nA\r\n", {{"A"}}, false},  // lines that yield no field: skipped
        {"A\nB\r\n\r\n\x1a"
         "C\r\n",
         {{"A"}, {"B"}},
         false},
        {"A\rB\r\n", {{"AB"}}, false},
        {" \",CONFUCompressionLevel=1\r\n\r\n", {}, true},  // compressed, no cards
        {" \",CONFUCompressionLevel=1\r\n", {}, true},      // compressed, no body line
    };
    for (const Case& c : cases) {
        std::string path = File("edge.csv");
        WriteBytes(path, c.bytes);
        CardSet cards;
        FileSettings s;
        ScriptedPrompter p;
        LoadResult r = Load(path, cards, s, p);
        EXPECT_EQ(AllCards(cards), c.cards) << c.bytes;
        EXPECT_EQ(r.hadHeader, c.hadHeader) << c.bytes;
        EXPECT_TRUE(p.Texts().empty()) << c.bytes;
        if (c.bytes.rfind(" \",CONFUCompression", 0) != 0) {
            EXPECT_EQ(BuildFileSettings(s), BuildFileSettings(FileSettings{})) << c.bytes;
        }
    }
}

TEST_F(CardFileTest, OneAndTwoEmptyLineCards) {
    CardSet cards;
    cards.Insert(Card{{""}});
    cards.Insert(Card{{"", ""}});
    ScriptedPrompter p;
    std::string path = File("e.csv");
    WriteCardFile(path, cards, FileSettings{}, true, p);
    std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.substr(bytes.find("\r\n") + 2), "\"\"\r\n,\r\n");
}

TEST_F(CardFileTest, LinesAfterTheCompressedLineAreCardLines) {
    FileSettings s;
    s.compressionLevel = 1;
    CardSet cards;
    cards.Insert(Card{{"In", "body"}});
    ScriptedPrompter p;
    std::string path = File("x.csv");
    WriteCardFile(path, cards, s, true, p);
    WriteBytes(path, ReadBytes(path) + "After,line\r\n \",CONFUignored\r\n");
    CardSet back;
    FileSettings bs;
    Load(path, back, bs, p);
    EXPECT_EQ(AllCards(back), (std::vector<L>{{"After", "line"}, {"In", "body"}}));
}

TEST_F(CardFileTest, DamagedCompressedBodyIsAnError) {
    std::string block("\x64\0\0\0garbage-stream", 18);  // announces 100 bytes
    std::string path = File("damaged.csv");
    WriteBytes(path, " \",CONFUCompressionLevel=1\r\n" + EscapePayload(block) + "\r\nLate\r\n");
    CardSet cards;
    FileSettings s;
    ScriptedPrompter p;
    try {
        Load(path, cards, s, p);
        FAIL();
    } catch (const EDamagedFile& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The card file " + path + " is damaged: its compressed cards cannot be read.");
    }
    EXPECT_EQ(cards.Count(), 0);
    EXPECT_EQ(p.busyDepth, 0);
}

TEST_F(CardFileTest, MissingFileGivesTheSystemMessage) {
    CardSet cards;
    FileSettings s;
    ScriptedPrompter p;
    std::string path = File("missing.csv");
    try {
        Load(path, cards, s, p);
        FAIL();
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": No such file or directory");
    }
    EXPECT_EQ(p.busyDepth, 0);
}

TEST_F(CardFileTest, PasswordDialogAndErrors) {
    CardSet cards;
    cards.Insert(Card{{"Secret card", "x"}});
    FileSettings s;
    s.password = "Pass";
    ScriptedPrompter w;
    std::string path = File("enc.csv");
    WriteCardFile(path, cards, s, true, w);
    EXPECT_EQ(ReadBytes(path).substr(0, 8), " \",CONFE");
    EXPECT_EQ(ReadBytes(path).find("Pass"), std::string::npos);

    struct Try {
        std::optional<std::string> answer;
        std::string error;
    };
    const std::vector<Try> tries = {
        {std::nullopt, "Password is required to open an encrypted file."},
        {std::string(), "Password is required to open an encrypted file."},
        {std::string("pass"), "Wrong Password!"},
        {std::string("Wrong"), "Wrong Password!"},
        {std::string("Pass"), ""},
    };
    for (const Try& t : tries) {
        CardSet back;
        FileSettings bs;
        ScriptedPrompter p;
        p.passwords.push_back(t.answer);
        std::string error;
        try {
            Load(path, back, bs, p);
        } catch (const EWrongPassword& e) {
            error = e.what();
        }
        EXPECT_EQ(error, t.error);
        ASSERT_EQ(p.passwordDialogs.size(), 1u);
        EXPECT_EQ(p.passwordDialogs[0].caption, "Open Encrypted Address File");
        EXPECT_EQ(p.passwordDialogs[0].prompt, "Enter File Password:");
        EXPECT_EQ(p.passwordDialogs[0].initial, "");
        EXPECT_EQ(back.Count(), t.error.empty() ? 1 : 0);
        EXPECT_EQ(bs.password, t.error.empty() ? "Pass" : "");
        EXPECT_EQ(p.busyDepth, 0);
    }
    // A plain file whose settings hold a password: wrong without any dialog.
    WriteBytes(path, " \",CONFUPassword=x\r\nA\r\n");
    CardSet back;
    FileSettings bs;
    ScriptedPrompter p;
    EXPECT_THROW(Load(path, back, bs, p), EWrongPassword);
    EXPECT_TRUE(p.passwordDialogs.empty());
}

TEST_F(CardFileTest, CipherRunsFromTheHeaderThroughEveryLine) {
    // Build an encrypted file by hand with one cipher over all lines.
    Cipher c;
    c.SetEncryptionKey("k");
    std::string file = " \",CONFE" + c.EncryptLine("Version=01.24,Password=k") + "\r\n";
    file += c.EncryptLine("Alpha,one") + "\r\n";
    file += c.EncryptLine("Beta,two") + "\r\n";
    std::string path = File("hand.csv");
    WriteBytes(path, file);
    CardSet cards;
    FileSettings s;
    ScriptedPrompter p;
    p.passwords.push_back(std::string("k"));
    LoadResult r = Load(path, cards, s, p);
    EXPECT_EQ(r.rawSettings, (L{"Version=01.24", "Password=k"}));
    EXPECT_EQ(AllCards(cards), (std::vector<L>{{"Alpha", "one"}, {"Beta", "two"}}));
}

TEST_F(CardFileTest, IndexCorrectionAfterLoad) {
    std::string path = File("dup.csv");
    WriteBytes(path, "A,1\r\nA,2\r\na,3\r\n");
    CardSet cards;
    FileSettings s;
    ScriptedPrompter p;
    LoadResult r = Load(path, cards, s, p);
    EXPECT_EQ(r.corrections.count, 1);
    ASSERT_EQ(p.shown.size(), 1u);
    EXPECT_EQ(p.shown[0].text, "One index correction was made at A.");
    EXPECT_EQ(p.shown[0].kind, MsgKind::Warning);
    EXPECT_EQ(p.shown[0].buttons, Buttons::OkHelp);
    EXPECT_EQ(p.shown[0].helpContext, 120);
    EXPECT_EQ(cards.IndexAt(2), "A.");
}

TEST_F(CardFileTest, VersionWarningAndSettingsFromTheHeader) {
    std::string path = File("v.csv");
    WriteBytes(path, " \",CONFUVersion=01.3,CardMemo=Edited,CurrentIndex=0,Modified=1\r\nA\r\n");
    CardSet cards;
    FileSettings s;
    ScriptedPrompter p;
    Load(path, cards, s, p);
    ASSERT_EQ(p.Texts().size(), 1u);
    EXPECT_EQ(p.Texts()[0],
              "Version of data file is 01.3, which is above the version (01.24) of this program.");
    EXPECT_TRUE(s.cardEdited);
    EXPECT_EQ(s.cardMemo, L{"Edited"});
    EXPECT_EQ(s.currentIndex, 0);
    EXPECT_TRUE(s.modified);
}

TEST_F(CardFileTest, AutosaveStoresTheEditorText) {
    CardSet cards;
    cards.Insert(Card{{"A"}});
    FileSettings s;
    s.cardEdited = true;
    s.cardMemo = {"A changed", "body"};
    s.currentIndex = 0;
    s.modified = true;
    ScriptedPrompter p;
    std::string path = File("a.$$$");
    WriteCardFile(path, cards, s, true, p);
    CardSet back;
    FileSettings bs;
    Load(path, back, bs, p);
    EXPECT_TRUE(bs.cardEdited);
    EXPECT_EQ(bs.cardMemo, s.cardMemo);
    EXPECT_EQ(bs.currentIndex, 0);
    EXPECT_TRUE(bs.modified);
}

TEST_F(CardFileTest, TextExport) {
    CardSet cards;
    cards.Insert(Card{{"\x0cIndex", "\x0c body", "", "plain", "\x0c"}});
    cards.Insert(Card{{"B\xe9", "\x0cx"}});
    FileSettings s;
    ScriptedPrompter p;
    std::string path = File("cards.txt");
    WriteCardFile(path, cards, s, false, p);
    // The form feed is white space to the collator: "\x0cIndex" sorts before "B\xe9".
    EXPECT_EQ(ReadBytes(path),
              "\x0c\x0cIndex\r\n \x0c body\r\n\r\nplain\r\n \x0c\r\n"
              "\x0c\x42\xe9\r\n \x0cx\r\n");
    ASSERT_EQ(p.shown.size(), 1u);
    EXPECT_EQ(p.shown[0].text,
              "A space character was inserted in front of 3 lines starting with the card "
              "separator character.");
    EXPECT_EQ(p.shown[0].buttons, Buttons::OkHelp);
    EXPECT_EQ(p.shown[0].helpContext, 130);
    EXPECT_EQ(p.shown[0].kind, MsgKind::Warning);

    CardSet one;
    one.Insert(Card{{"X", "\x0c"}});
    ScriptedPrompter q;
    WriteCardFile(File("one.txt"), one, s, false, q);
    EXPECT_EQ(q.Texts(), L{"A space character was inserted in front of one line starting "
                           "with the card separator character."});

    // UTF-8 when the lower-cased target contains utf8.txt.
    ScriptedPrompter u;
    std::string upath = File("Cards-UTF8.TXT");
    WriteCardFile(upath, cards, s, false, u);
    EXPECT_EQ(ReadBytes(upath),
              "\x0c\x0cIndex\r\n \x0c body\r\n\r\nplain\r\n \x0c\r\n"
              "\x0c"
              "B\xc3\xa9\r\n \x0cx\r\n");
    // Another separator; a password warns first and writes plain text.
    FileSettings t;
    t.cardSeparator = '#';
    t.password = "pw";
    ScriptedPrompter w;
    CardSet h;
    h.Insert(Card{{"#1", "#2", "x#"}});
    WriteCardFile(File("hash.txt"), h, t, false, w);
    EXPECT_EQ(ReadBytes(File("hash.txt")), "##1\r\n #2\r\nx#\r\n");
    ASSERT_EQ(w.Texts().size(), 2u);
    EXPECT_EQ(w.Texts()[0], "File will be saved unencrypted!");
    EXPECT_EQ(w.shown[0].buttons, Buttons::Ok);
    EXPECT_EQ(w.shown[0].kind, MsgKind::Warning);
}

TEST_F(CardFileTest, WriteFailureLeavesTheTargetAndReportsTheSystemMessage) {
    CardSet cards;
    cards.Insert(Card{{"A"}});
    ScriptedPrompter p;
    std::string bad = File("no-such-dir/cards.csv");
    try {
        WriteCardFile(bad, cards, FileSettings{}, true, p);
        FAIL();
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), bad + ": No such file or directory");
    }
    // Written through an AtomicFile but not committed: the old file stays.
    std::string path = File("keep.csv");
    WriteBytes(path, "old");
    {
        AtomicFile out(path);
        WriteCardFile(out, cards, FileSettings{}, true, p);
        EXPECT_EQ(ReadBytes(path), "old");
    }
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path()), fs::directory_iterator()), 1);
}

TEST_F(CardFileTest, HundredThousandCardsSurviveSaveAndLoad) {
    CardSet cards;
    std::mt19937 rng(1);
    const char* first[] = {"Anna", "Bernd", "Carla", "Dieter", "Eva", "Frank", "Gisela", "Hans"};
    for (int i = 0; i < 100000; ++i) {
        std::string name = std::string(first[rng() % 8]) + " " + std::to_string(rng() % 1000000);
        cards.AppendUnsorted(Card{{name, "Street " + std::to_string(i) + ", Town",
                                   "Tel. 0" + std::to_string(rng()), "Notes, \"quoted\" text"}});
    }
    cards.SortPending();
    cards.CorrectIndexes();
    ScriptedPrompter p;
    std::string path = File("big.csv");
    WriteCardFile(path, cards, FileSettings{}, true, p);
    CardSet back;
    FileSettings bs;
    Load(path, back, bs, p);
    ASSERT_EQ(back.Count(), cards.Count());
    for (int i = 0; i < cards.Count(); i += 997) {
        EXPECT_EQ(back.CardAt(i).lines, cards.CardAt(i).lines);
    }
}

}  // namespace
}  // namespace tabellan
