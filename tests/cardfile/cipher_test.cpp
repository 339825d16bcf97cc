#include "cardfile/cipher.h"

#include <gtest/gtest.h>

#include <string>

namespace tabellan {
namespace {

std::string AllCodes() {
    std::string s;
    for (int c = 1; c <= 255; ++c) {
        s.push_back(static_cast<char>(c));
    }
    return s;
}

TEST(SharedRandomTest, StepAndScaleByHand) {
    SharedRandom rng;
    rng.seed = 0;
    // 0 * 134775813 + 1 = 1; 1 * 224 >> 32 = 0.
    EXPECT_EQ(rng.Random(224), 0u);
    EXPECT_EQ(rng.seed, 1u);
    // 1 * 134775813 + 1 = 134775814; 134775814 * 224 >> 32 = 30190782336 >> 32 = 7.
    EXPECT_EQ(rng.Random(224), 7u);
    EXPECT_EQ(rng.seed, 134775814u);
    // The seed wraps modulo 2^32: 0xFFFFFFFF * 134775813 + 1 = -134775812 mod 2^32.
    rng.seed = 0xFFFFFFFFu;
    rng.Random(1);
    EXPECT_EQ(rng.seed, 4160191484u);
}

TEST(SharedRandomTest, RandomizeSeedsFromMillisecondsOfTheDay) {
    SharedRandom rng;
    rng.seed = 0xFFFFFFFFu;
    rng.Randomize();
    EXPECT_LT(rng.seed, 24u * 60 * 60 * 1000);
}

TEST(CipherTest, KeySetupSeedsGenerator) {
    SharedRandom rng;
    rng.reseedPending = false;
    Cipher cipher(rng);
    // 'a' << 6 + 'b' << 12 = 6208 + 401408.
    cipher.SetEncryptionKey("ab");
    EXPECT_EQ(rng.seed, 407616u);
    EXPECT_TRUE(rng.reseedPending);

    // Seven 255s: shifts 6, 12, 18, 24, 30, 4, 10; 255 << 30 keeps only its two low bits
    // (0xC0000000). 16320 + 1044480 + 66846720 + 4278190080 + 3221225472 + 4080 + 261120
    // = 7567588272, minus 2^32 = 3272620976.
    cipher.SetEncryptionKey(std::string(7, '\xFF'));
    EXPECT_EQ(rng.seed, 3272620976u);
}

TEST(CipherTest, KnownAnswerForShortKey) {
    // Key "ab", seed 407616. Per character of code 32 or above:
    //   'H' (72): seed 4146075969, r = 216, k = 'a' 97: (40 + 216 + 97) % 224 + 32 = 161
    //   'i' (105): seed 850264646, r = 44, k = 'b' 98: (73 + 44 + 98) % 224 + 32 = 247
    //   tab: unchanged, nothing moves
    //   'z' (122): seed 4173472607, r = 217, k = 'a' again: (90 + 217 + 97) % 224 + 32 = 212
    SharedRandom rng;
    Cipher cipher(rng);
    cipher.SetEncryptionKey("ab");
    EXPECT_EQ(cipher.EncryptLine("Hi\tz"), std::string("\xA1\xF7\t\xD4"));
    EXPECT_EQ(rng.seed, 4173472607u);

    cipher.SetEncryptionKey("ab");
    EXPECT_EQ(cipher.DecryptLine(std::string("\xA1\xF7\t\xD4")), "Hi\tz");
}

TEST(CipherTest, ControlCharactersPassUntouched) {
    SharedRandom rng;
    Cipher cipher(rng);
    cipher.SetEncryptionKey("secret");
    const std::uint32_t seedBefore = rng.seed;
    EXPECT_EQ(cipher.EncryptLine("\t\t\t"), "\t\t\t");
    EXPECT_EQ(rng.seed, seedBefore);
    // The key position did not move either: the next line encrypts as after a fresh set-up.
    const std::string afterTabs = cipher.EncryptLine("Smith");
    cipher.SetEncryptionKey("secret");
    EXPECT_EQ(cipher.EncryptLine("Smith"), afterTabs);
}

TEST(CipherTest, MapsPrintableRangeOntoItselfAndKeepsLength) {
    SharedRandom rng;
    Cipher cipher(rng);
    cipher.SetEncryptionKey("K3y!");
    const std::string plain = AllCodes();
    const std::string enc = cipher.EncryptLine(plain);
    ASSERT_EQ(enc.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const auto p = static_cast<unsigned char>(plain[i]);
        const auto e = static_cast<unsigned char>(enc[i]);
        if (p < 32) {
            EXPECT_EQ(e, p);
        } else {
            EXPECT_GE(e, 32);
        }
    }
}

TEST(CipherTest, RoundTripAllCodesAndLongLinesAcrossManyLines) {
    SharedRandom rng;
    Cipher writer(rng);
    std::vector<std::string> lines = {AllCodes(), "", std::string(100000, 'x'), AllCodes(),
                                      "\x01\x1F \xFF"};
    std::string mixed;
    for (int i = 0; i < 5000; ++i) {
        mixed.push_back(static_cast<char>((i * 37) % 255 + 1));
    }
    lines.push_back(mixed);

    const std::string key = "\xE4pfel \x80\xFF";
    writer.SetEncryptionKey(key);
    std::vector<std::string> encrypted;
    for (const auto& l : lines) {
        encrypted.push_back(writer.EncryptLine(l));
    }
    Cipher reader(rng);
    reader.SetEncryptionKey(key);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(reader.DecryptLine(encrypted[i]), lines[i]) << "line " << i;
    }
}

TEST(CipherTest, StateRunsOnAcrossLines) {
    SharedRandom rng;
    Cipher cipher(rng);
    cipher.SetEncryptionKey("pw");
    const std::string first = cipher.EncryptLine("Jones");
    const std::string second = cipher.EncryptLine("Jones");
    EXPECT_NE(first, second);
    cipher.SetEncryptionKey("pw");
    EXPECT_EQ(cipher.EncryptLine("Jones"), first);
}

TEST(CipherTest, OneCharacterKeyStillVariesPerCharacter) {
    SharedRandom rng;
    Cipher cipher(rng);
    cipher.SetEncryptionKey("Q");
    // Seed 'Q' << 6 = 5184. Step 1: 5184 * 134775813 + 1 = 698677814593, mod 2^32 is
    // 2893112641, r = 150; 'a': (65 + 150 + 81) % 224 + 32 = 104. Step 2: seed 141852230,
    // r = 7: (65 + 7 + 81) % 224 + 32 = 185. The key byte is 81 both times; only r differs.
    const std::string enc = cipher.EncryptLine("aa");
    EXPECT_EQ(enc, "h\xB9");
    cipher.SetEncryptionKey("Q");
    EXPECT_EQ(cipher.DecryptLine(enc), "aa");
}

TEST(CipherTest, DifferentKeysGiveDifferentText) {
    SharedRandom rng;
    Cipher cipher(rng);
    cipher.SetEncryptionKey("Secret");
    const std::string a = cipher.EncryptLine("Password=Secret");
    cipher.SetEncryptionKey("secret");
    const std::string b = cipher.EncryptLine("Password=Secret");
    EXPECT_NE(a, b);
    cipher.SetEncryptionKey("secret");
    EXPECT_NE(cipher.DecryptLine(a), "Password=Secret");
}

}  // namespace
}  // namespace tabellan
