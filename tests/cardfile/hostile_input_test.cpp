// Every reader against truncated, random and deliberately absurd input: each must end in a
// TabellanError or a defined result, never a crash, a hang or an unbounded allocation. The
// sanitizer build of the test script runs this suite too.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <typeinfo>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "cardfile/card_file.h"
#include "cardfile/card_set.h"
#include "cardfile/cipher.h"
#include "cardfile/comma_text.h"
#include "cardfile/compression.h"
#include "cardfile/crd_reader.h"
#include "cardfile/errors.h"
#include "cardfile/file_settings.h"
#include "cardfile/txt_reader.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

constexpr const char* kPassword = "pw\xE4!";

std::string Le(std::uint32_t v, int width) {
    std::string s;
    for (int i = 0; i < width; ++i) {
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    return s;
}

std::string RandomBytes(std::mt19937& gen, std::size_t n) {
    std::string s(n, '\0');
    for (char& c : s) {
        c = static_cast<char>(gen() & 0xFF);
    }
    return s;
}

std::vector<std::vector<std::string>> SampleCards() {
    return {{"Jones", "1 High Road", "Leeds"},
            {"Smith", "12 \"Main\" St", "", "a,b", "\ttab", " padded "},
            {""},
            {"", ""},
            {"\\back\\slash\x1A\x01", "\xFF\x80"}};
}

std::string CardLines(const std::function<std::string(std::string)>& pass) {
    std::string out;
    for (const auto& card : SampleCards()) {
        out += pass(ToCommaText(card)) + "\r\n";
    }
    return out;
}

std::string Header(char mode, const std::string& settingsText) {
    return std::string(" \",CONF") + mode + settingsText + "\r\n";
}

std::string PlainCsv() {
    return Header('U', ToCommaText({"Version=01.24", "Password=", "CompressionLevel=0"})) +
           CardLines([](std::string s) { return s; });
}

std::string EncryptedCsv() {
    Cipher cipher;
    cipher.SetEncryptionKey(kPassword);
    const std::string settings =
        ToCommaText({"Version=01.24", std::string("Password=") + kPassword, "CompressionLevel=0"});
    std::string file = Header('E', cipher.EncryptLine(settings));
    return file + CardLines([&](std::string s) { return cipher.EncryptLine(s); });
}

std::string CompressedPayload(const std::string& block) {
    return Header('U', ToCommaText({"Version=01.24", "Password=", "CompressionLevel=1"})) +
           EscapePayload(block) + "\r\n";
}

std::string CompressedCsv() {
    std::string body;
    for (int i = 0; i < 4; ++i) {
        body += CardLines([](std::string s) { return s; });
    }
    return CompressedPayload(*CompressText(body, UclLevelFor(1)));
}

std::string ValidCrd() {
    const std::vector<std::pair<std::string, std::string>> cards = {
        {"Adams", "12 Main St\r\nLeeds"}, {"Baker", ""}, {"Cole", "x\r\n"}};
    std::string entries;
    std::string data;
    std::uint32_t offset = 5 + 52 * cards.size();
    for (const auto& [index, text] : cards) {
        std::string e(52, '\0');
        e.replace(6, 4, Le(offset, 4));
        e.replace(11, index.size(), index);
        entries += e;
        const std::string block = Le(0, 2) + Le(text.size(), 2) + text;
        data += block;
        offset += block.size();
    }
    return "MGC" + Le(cards.size(), 2) + entries + data;
}

// The peak resident size in bytes so far.
long PeakBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss * 1024L;
}

class HostileInputTest : public ::testing::Test {
  protected:
    void SetUp() override { path_ = (dir_ / "input").string(); }
    void TearDown() override {
        // Nothing here needs more than a few megabytes; a reader that trusted a length field
        // would have reserved gigabytes.
        EXPECT_LT(PeakBytes(), 1L << 30);
    }

    // Runs a reader on bytes; any TabellanError is a clean outcome, anything else is a fault.
    // Returns the error message, or "" when the reader succeeded.
    std::string Outcome(
        const std::string& bytes,
        const std::function<void(const std::string&, test::ScriptedPrompter&)>& read,
        const std::string& what) {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes;
        test::ScriptedPrompter prompter;
        prompter.passwords.assign(2, std::string(kPassword));
        try {
            read(path_, prompter);
        } catch (const TabellanError& e) {
            return e.what();
        } catch (const std::exception& e) {
            ADD_FAILURE() << what << ": " << typeid(e).name() << ": " << e.what();
            return e.what();
        }
        EXPECT_EQ(prompter.busyDepth, 0) << what;
        return "";
    }

    static void LoadCsv(const std::string& path, test::ScriptedPrompter& prompter) {
        CardSet cards;
        FileSettings settings;
        LoadCsvCardFile(path, cards, settings, SettingsContext{}, prompter);
    }
    static void LoadCrd(const std::string& path, test::ScriptedPrompter& prompter) {
        CardSet cards;
        ReadCRDFile(path, cards, prompter);
    }
    static void LoadTxt(const std::string& path, test::ScriptedPrompter& prompter) {
        CardSet cards;
        int separator = 12;
        ReadTXTFile(path, cards, separator, prompter);
    }

    void EveryPrefix(const std::string& file,
                     const std::function<void(const std::string&, test::ScriptedPrompter&)>& read,
                     const std::string& what) {
        for (std::size_t len = 0; len <= file.size(); ++len) {
            Outcome(file.substr(0, len), read, what + " prefix " + std::to_string(len));
        }
    }

    void RandomFiles(const std::string& prefix,
                     const std::function<void(const std::string&, test::ScriptedPrompter&)>& read,
                     const std::string& what, unsigned seed, int count) {
        std::mt19937 gen(seed);
        for (int i = 0; i < count; ++i) {
            const std::string bytes = prefix + RandomBytes(gen, gen() % 600);
            Outcome(bytes, read, what + " random " + std::to_string(i));
        }
    }

    // Flips single bytes of a valid file, one position at a time, with varying values.
    void Mutations(const std::string& file,
                   const std::function<void(const std::string&, test::ScriptedPrompter&)>& read,
                   const std::string& what, unsigned seed) {
        std::mt19937 gen(seed);
        for (std::size_t i = 0; i < file.size(); ++i) {
            std::string bytes = file;
            bytes[i] = static_cast<char>(bytes[i] ^ (1 + gen() % 255));
            Outcome(bytes, read, what + " flip " + std::to_string(i));
        }
    }

    test::TempFolder folder_{"tabellan-hostile"};
    const std::filesystem::path dir_ = folder_.Path();
    std::string path_;
};

TEST_F(HostileInputTest, CsvPlainReadsAndSurvivesDamage) {
    const std::string file = PlainCsv();
    EXPECT_EQ(Outcome(file, LoadCsv, "plain"), "");
    EveryPrefix(file, LoadCsv, "plain");
    Mutations(file, LoadCsv, "plain", 11);
    RandomFiles("", LoadCsv, "plain", 1, 60);
    RandomFiles(" \",CONFU", LoadCsv, "plain header", 2, 60);
}

TEST_F(HostileInputTest, CsvEncryptedReadsAndSurvivesDamage) {
    const std::string file = EncryptedCsv();
    EXPECT_EQ(Outcome(file, LoadCsv, "encrypted"), "");
    EveryPrefix(file, LoadCsv, "encrypted");
    Mutations(file, LoadCsv, "encrypted", 12);
    RandomFiles(" \",CONFE", LoadCsv, "encrypted header", 3, 60);
}

TEST_F(HostileInputTest, CsvCompressedReadsAndSurvivesDamage) {
    const std::string file = CompressedCsv();
    EXPECT_EQ(Outcome(file, LoadCsv, "compressed"), "");
    EveryPrefix(file, LoadCsv, "compressed");
    Mutations(file, LoadCsv, "compressed", 13);
    const std::string header =
        Header('U', ToCommaText({"Version=01.24", "Password=", "CompressionLevel=1"}));
    RandomFiles(header, LoadCsv, "compressed header", 4, 60);
}

TEST_F(HostileInputTest, CsvCompressedHeaderClaimingFourGigabytes) {
    const std::string stream = CompressText(std::string(5000, 'a'), 1)->substr(4);
    for (std::uint32_t claim : {0xFFFFFFFFu, 0x80000000u, 0x10000001u}) {
        Outcome(CompressedPayload(Le(claim, 4) + stream), LoadCsv, "claim");
        EXPECT_FALSE(DecompressText(Le(claim, 4) + stream).has_value());
    }
}

TEST_F(HostileInputTest, CsvOddLines) {
    for (const std::string& line :
         {std::string("\"unterminated"), std::string("a,\"b"), std::string("\"\"\""),
          std::string(","), std::string(" \t "), std::string(100000, '"'), std::string(100000, ','),
          std::string("\0\0\0", 3), std::string("\\\\\\")}) {
        Outcome(line + "\r\n", LoadCsv, "line");
        Outcome(Header('U', "CompressionLevel=1") + line + "\r\n", LoadCsv, "payload");
    }
    // Settings values of absurd size or sign.
    Outcome(Header('U',
                   "CompressionLevel=99999999999999999999,IndentSpaces=-5,SavePeriod=$FFFFFFFF,"
                   "ClientHeight=-2147483648,Top=2147483647,CardSeparator=-1,CurrentIndex=9"),
            LoadCsv, "settings");
}

TEST_F(HostileInputTest, CrdReadsAndSurvivesDamage) {
    const std::string file = ValidCrd();
    EXPECT_EQ(Outcome(file, LoadCrd, "crd"), "");
    EveryPrefix(file, LoadCrd, "crd");
    Mutations(file, LoadCrd, "crd", 14);
    RandomFiles("", LoadCrd, "crd", 5, 60);
    RandomFiles("MGC", LoadCrd, "crd MGC", 6, 60);
    RandomFiles("RRG", LoadCrd, "crd RRG", 7, 60);
}

TEST_F(HostileInputTest, CrdHugeCountsAndOffsets) {
    // Offset 5 gives each card the zero length found in the first entry's reserved bytes.
    std::string entry(52, '\0');
    entry.replace(6, 4, Le(5, 4));
    EXPECT_EQ(Outcome("MGC" + Le(65535, 2) + entry + entry + entry, LoadCrd, "count"),
              "Unable to read key # 4!");
    std::string far(52, '\0');
    far.replace(6, 4, Le(0xFFFFFFFFu, 4));
    EXPECT_EQ(Outcome("MGC" + Le(1, 2) + far, LoadCrd, "offset"),
              "Unable to read data length for key # 1!");
    far.replace(6, 4, Le(0xFFFFFFFDu, 4));
    EXPECT_EQ(Outcome("RRG" + Le(0, 4) + Le(1, 2) + far, LoadCrd, "offset"),
              "Unable to read data length for key # 1!");
}

TEST_F(HostileInputTest, CrdManyIdenticalIndexes) {
    // 65535 entries with the same empty index, all sharing one empty data block.
    constexpr std::uint32_t kCount = 65535;
    std::string entry(52, '\0');
    const std::uint32_t block = 5 + 52u * kCount;
    entry.replace(6, 4, Le(block, 4));
    std::string file = "MGC" + Le(kCount, 2);
    file.reserve(block + 4);
    for (std::uint32_t i = 0; i < kCount; ++i) {
        file += entry;
    }
    file += Le(0, 2) + Le(0, 2);
    std::ofstream(path_, std::ios::binary) << file;
    CardSet cards;
    test::ScriptedPrompter prompter;
    // Some two thousand million appended dots would be needed: the correction refuses.
    EXPECT_THROW(ReadCRDFile(path_, cards, prompter), EIndexCorrectionLimit);
    EXPECT_EQ(cards.Count(), static_cast<int>(kCount));
    EXPECT_EQ(prompter.busyDepth, 0);
}

TEST_F(HostileInputTest, TxtSurvivesAnything) {
    const std::string file = "\fAdams\r\n12 Main St\r\n \fescaped\r\n\fBaker\r\n";
    EXPECT_EQ(Outcome(file, LoadTxt, "txt"), "");
    EveryPrefix(file, LoadTxt, "txt");
    RandomFiles("", LoadTxt, "txt", 8, 60);
    Outcome(std::string(200000, '\f'), LoadTxt, "separators");
    Outcome(std::string(200000, '\r'), LoadTxt, "bare CRs");
}

TEST(HostileTextTest, CommaTextOfAnyBytes) {
    std::mt19937 gen(21);
    std::vector<std::string> texts = {"\"",  "\"\"",   "\"a", "a\"",      "\"a\"\"",
                                      ",,,", "\" ,\"", "a b", "\x01\x02", std::string("\0,\0", 3)};
    for (int i = 0; i < 500; ++i) {
        std::string t = RandomBytes(gen, gen() % 80);
        // Bias towards the characters the reader looks at.
        for (char& c : t) {
            if (gen() % 2 == 0) {
                c = "\",  \t\x01"[gen() % 6];
            }
        }
        texts.push_back(t);
    }
    for (const auto& t : texts) {
        const auto fields = FromCommaText(t);
        std::size_t total = 0;
        for (const auto& f : fields) {
            total += f.size();
        }
        // Fields are pieces of the text: together never longer than it.
        EXPECT_LE(total, t.size()) << t;
        // What the writer makes of them reads back unchanged.
        EXPECT_EQ(FromCommaText(ToCommaText(fields)), fields) << t;
    }
}

TEST(HostileTextTest, UnescapeOfAnyBytes) {
    std::mt19937 gen(22);
    std::vector<std::string> texts = {"\\",  "a\\",   "\\\\\\",
                                      "\\x", "\\0\\", std::string(1000, '\\')};
    for (int i = 0; i < 500; ++i) {
        std::string t = RandomBytes(gen, gen() % 80);
        for (char& c : t) {
            if (gen() % 3 == 0) {
                c = '\\';
            }
        }
        texts.push_back(t);
    }
    for (const auto& t : texts) {
        const std::string out = UnescapePayload(t);
        EXPECT_LE(out.size(), t.size());
        EXPECT_EQ(UnescapePayload(EscapePayload(t)), t);
    }
}

TEST(HostileTextTest, DecompressOfAnyBytes) {
    std::mt19937 gen(23);
    const std::string valid = *CompressText(std::string(3000, 'x') + "tail", 1);
    for (int i = 0; i < 2000; ++i) {
        std::string block = RandomBytes(gen, gen() % 300);
        if (i % 2 == 0 && block.size() >= 4) {
            // A plausible header keeps the decompressor busy beyond the first bytes.
            block.replace(0, 4, Le(gen() % 20000 + 1, 4));
        }
        if (i % 3 == 0) {
            block = valid.substr(0, gen() % valid.size()) + block;
        }
        const auto out = DecompressText(block);
        if (out.has_value() && block.size() >= 4) {
            std::uint32_t h = 0;
            for (int b = 0; b < 4; ++b) {
                h |= static_cast<std::uint32_t>(static_cast<unsigned char>(block[b])) << (8 * b);
            }
            EXPECT_EQ(out->size(), h == 0 ? block.size() - 4 : h);
        }
    }
}

}  // namespace
}  // namespace tabellan
