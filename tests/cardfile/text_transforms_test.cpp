#include "cardfile/text_transforms.h"

#include <gtest/gtest.h>

#include <set>

#include "cardfile/cipher.h"
#include "cardfile/prompter.h"
#include "support/scripted_prompter.h"

namespace tabellan {
namespace {

constexpr int kWestern = 0;

std::string AllBytes() {
    std::string s;
    for (int b = 1; b < 256; ++b) {
        s += static_cast<char>(b);
    }
    return s;
}

unsigned char Upper(int script, unsigned char b) {
    return UpperCaseTable(script)[b];
}
unsigned char Lower(int script, unsigned char b) {
    return LowerCaseTable(script)[b];
}

TEST(ChangeCaseTest, ToggleTwiceIsIdentityForBothScripts) {
    const std::string all = AllBytes();
    for (const int script : {kWestern, kTurkishFontScript, 204}) {
        const std::string once = ChangeCase(all, CaseMode::Toggle, script);
        EXPECT_NE(once, all);
        EXPECT_EQ(ChangeCase(once, CaseMode::Toggle, script), all) << "script " << script;
    }
}

TEST(ChangeCaseTest, UpperAndLowerTablesOnEveryByte) {
    for (int b = 0; b < 256; ++b) {
        const auto c = static_cast<unsigned char>(b);
        unsigned char up = c;
        if (b >= 0x61 && b <= 0x7A)
            up = c - 0x20;
        if ((b >= 0xE0 && b <= 0xF6) || (b >= 0xF8 && b <= 0xFE))
            up = c - 0x20;
        if (b == 0x9A || b == 0x9C || b == 0x9E)
            up = c - 0x10;
        if (b == 0xFF)
            up = 0x9F;
        EXPECT_EQ(Upper(kWestern, c), up) << b;
        unsigned char low = c;
        if (b >= 0x41 && b <= 0x5A)
            low = c + 0x20;
        if ((b >= 0xC0 && b <= 0xD6) || (b >= 0xD8 && b <= 0xDE))
            low = c + 0x20;
        if (b == 0x8A || b == 0x8C || b == 0x8E)
            low = c + 0x10;
        if (b == 0x9F)
            low = 0xFF;
        EXPECT_EQ(Lower(kWestern, c), low) << b;
    }
    // Multiplication and division signs are no letters.
    EXPECT_EQ(Upper(kWestern, 0xF7), 0xF7);
    EXPECT_EQ(Lower(kWestern, 0xD7), 0xD7);
}

TEST(ChangeCaseTest, TurkishRowsReplaceTheGeneralOnes) {
    EXPECT_EQ(ChangeCase("i\xFD", CaseMode::Upper, kTurkishFontScript), "\xDDI");
    EXPECT_EQ(ChangeCase("i\xFD", CaseMode::Upper, 238), "I\xDD");
    EXPECT_EQ(ChangeCase("I\xDD", CaseMode::Lower, kTurkishFontScript), "\xFDi");
    EXPECT_EQ(ChangeCase("I\xDD", CaseMode::Lower, 238), "i\xFD");
}

TEST(ChangeCaseTest, CapitalizeStartsWordsAfterEveryNonLetter) {
    EXPECT_EQ(ChangeCase("o'neil mcdonald", CaseMode::Capitalize, kWestern), "O'Neil Mcdonald");
    EXPECT_EQ(ChangeCase("x2y", CaseMode::Capitalize, kWestern), "X2Y");
    EXPECT_EQ(ChangeCase("HELLO wORLD", CaseMode::Capitalize, kWestern), "Hello World");
    EXPECT_EQ(ChangeCase("\xE9t\xE9", CaseMode::Capitalize, kWestern), "\xC9t\xE9");
}

TEST(ChangeCaseTest, ZeroBytesNeitherChangeNorStartAWord) {
    const std::string text("ab\0cd", 5);
    const std::string expected("Ab\0cd", 5);
    EXPECT_EQ(ChangeCase(text, CaseMode::Capitalize, kWestern), expected);
    EXPECT_EQ(ChangeCase(text, CaseMode::Upper, kWestern), std::string("AB\0CD", 5));
}

TEST(CopyAsciiTest, TablesDifferInExactlyEightEntries) {
    const auto& tr = TransliterationTable(kTurkishFontScript);
    const auto& other = TransliterationTable(kWestern);
    std::set<int> differing;
    for (int i = 0; i < 128; ++i) {
        if (tr[i] != other[i]) {
            differing.insert(0x80 + i);
        }
    }
    EXPECT_EQ(differing, (std::set<int>{0x8E, 0x9E, 0xD0, 0xDD, 0xDE, 0xF0, 0xFD, 0xFE}));
    EXPECT_EQ(TransliterateToAscii("\xD0\xF0\xDD\xFD\xDE\xFE\x8E\x9E", kTurkishFontScript),
              "GgIiSs  ");
    EXPECT_EQ(TransliterateToAscii("\xD0\xF0\xDD\xFD\xDE\xFE\x8E\x9E", kWestern), "DdYyPpZz");
}

TEST(CopyAsciiTest, CommonEntriesAndAsciiUnchanged) {
    for (const int script : {kWestern, kTurkishFontScript}) {
        EXPECT_EQ(TransliterateToAscii("\xC0\xC1\xC2\xC3\xC4\xC5", script), "AAAAAA");
        EXPECT_EQ(TransliterateToAscii("caf\xE9 \xF7 \xD7", script), "cafe : X");
        const std::string ascii = "Plain text, 123 ~!";
        EXPECT_EQ(TransliterateToAscii(ascii, script), ascii);
    }
    // Every result is 7-bit.
    for (unsigned char c : TransliterateToAscii(AllBytes(), kWestern)) {
        EXPECT_LT(c, 0x80);
    }
}

TEST(FontScriptCheckTest, DefaultScriptRefusesWithTheSetupHelp) {
    test::ScriptedPrompter p;
    EXPECT_FALSE(CheckFontScript(kDefaultFontScript, p));
    ASSERT_EQ(p.Texts().size(), 1u);
    EXPECT_EQ(p.Texts()[0],
              "Please, select/verify your Font Script in File | Setup... before using this "
              "command!");
    EXPECT_EQ(p.shown[0].kind, MsgKind::Error);
    EXPECT_EQ(p.shown.back().buttons, Buttons::OkHelp);
    EXPECT_EQ(p.shown.back().helpContext, 150);
    EXPECT_TRUE(CheckFontScript(kWestern, p));
    EXPECT_TRUE(CheckFontScript(kTurkishFontScript, p));
    EXPECT_EQ(p.Texts().size(), 1u);
}

TEST(RandomStringTest, PrintableAndReseededAfterTheCipher) {
    SharedRandom rng;
    rng.seed = 12345;
    rng.reseedPending = false;
    const std::string a = RandomString(rng);
    ASSERT_EQ(a.size(), 10u);
    for (const unsigned char c : a) {
        EXPECT_GE(c, 33);
        EXPECT_LE(c, 126);
    }
    // The same seed gives the same string: it is the shared generator's sequence.
    SharedRandom again;
    again.seed = 12345;
    again.reseedPending = false;
    EXPECT_EQ(RandomString(again), a);

    // A pending reseed replaces the password-derived state with the clock.
    SharedRandom pending;
    pending.seed = 12345;
    pending.reseedPending = true;
    RandomString(pending);
    EXPECT_FALSE(pending.reseedPending);
}

}  // namespace
}  // namespace tabellan
