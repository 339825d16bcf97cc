#include "cardfile/codepage.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tabellan {
namespace {

const CodePage kAll[] = {CodePage::Windows1250, CodePage::Windows1251, CodePage::Windows1252,
                         CodePage::Windows1253, CodePage::Windows1254, CodePage::Windows1255,
                         CodePage::Windows1256, CodePage::Windows1257, CodePage::Windows874};

std::string AllBytes() {
    std::string s;
    for (int b = 1; b < 256; ++b) {
        s.push_back(static_cast<char>(b));
    }
    return s;
}

TEST(CodePageTest, CharsetMapping) {
    EXPECT_EQ(CodePageForCharset(0), CodePage::Windows1252);
    EXPECT_EQ(CodePageForCharset(1), CodePage::Windows1252);
    EXPECT_EQ(CodePageForCharset(238), CodePage::Windows1250);
    EXPECT_EQ(CodePageForCharset(204), CodePage::Windows1251);
    EXPECT_EQ(CodePageForCharset(161), CodePage::Windows1253);
    EXPECT_EQ(CodePageForCharset(162), CodePage::Windows1254);
    EXPECT_EQ(CodePageForCharset(177), CodePage::Windows1255);
    EXPECT_EQ(CodePageForCharset(178), CodePage::Windows1256);
    EXPECT_EQ(CodePageForCharset(186), CodePage::Windows1257);
    EXPECT_EQ(CodePageForCharset(222), CodePage::Windows874);
    EXPECT_EQ(CodePageForCharset(2), CodePage::Windows1252);
    EXPECT_EQ(CodePageForCharset(-5), CodePage::Windows1252);
    EXPECT_STREQ(CodePageName(CodePage::Windows874), "windows-874");
}

TEST(CodePageTest, EveryByteRoundTripsInEveryCodePage) {
    const std::string all = AllBytes();
    for (CodePage cp : kAll) {
        std::string u8 = AnsiToUtf8(all, cp);
        EXPECT_EQ(Utf8ToAnsi(u8, cp), all) << CodePageName(cp);
        std::u16string u16 = AnsiToUtf16(all, cp);
        ASSERT_EQ(u16.size(), all.size());
        EXPECT_EQ(Utf16ToAnsi(u16, cp), all) << CodePageName(cp);
        std::set<char16_t> distinct(u16.begin(), u16.end());
        EXPECT_EQ(distinct.size(), all.size()) << CodePageName(cp);
        EXPECT_EQ(AnsiToUtf8(std::string(1, '\0'), cp), std::string(1, '\0'));
    }
}

TEST(CodePageTest, KnownCharacters) {
    EXPECT_EQ(AnsiToUtf8("\x80", CodePage::Windows1252), "\xe2\x82\xac");  // euro sign
    EXPECT_EQ(AnsiToUtf8("\xe9", CodePage::Windows1252), "\xc3\xa9");      // é
    EXPECT_EQ(AnsiToUtf8("\xc0", CodePage::Windows1251), "\xd0\x90");      // Cyrillic A
    EXPECT_EQ(AnsiToUtf8("\xc1", CodePage::Windows1253), "\xce\x91");      // Greek Alpha
    // Holes become C1 controls / the same code point.
    EXPECT_EQ(AnsiToUtf16("\x81\x8d\x8f\x90\x9d", CodePage::Windows1252),
              std::u16string(u"\u0081\u008d\u008f\u0090\u009d"));
    EXPECT_EQ(AnsiToUtf16("\xd2\xff", CodePage::Windows1253), std::u16string(u"\u00d2\u00ff"));
}

TEST(CodePageTest, MissingCharactersBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToAnsi("a\xe4\xb8\xad"
                         "b",
                         CodePage::Windows1252),
              "a?b");                                                       // CJK
    EXPECT_EQ(Utf8ToAnsi("\xf0\x9f\x98\x80", CodePage::Windows1252), "?");  // emoji
    EXPECT_EQ(Utf8ToAnsi("\xff\xc3", CodePage::Windows1252), "??");         // invalid
    EXPECT_EQ(Utf8ToAnsi("\xd0\x90", CodePage::Windows1252), "?");
    EXPECT_EQ(Utf16ToAnsi(u"\U0001F600x", CodePage::Windows1252), "?x");
    EXPECT_EQ(Utf16ToAnsi(std::u16string(1, char16_t(0xD800)), CodePage::Windows1252), "?");
}

TEST(CodePageTest, AnsiLower) {
    EXPECT_EQ(AnsiLower("ABC xyz \xc4\xd6\xdc\xc9", CodePage::Windows1252),
              "abc xyz \xe4\xf6\xfc\xe9");
    EXPECT_EQ(AnsiLower("\x8a\x8c\x8e\x9f", CodePage::Windows1252), "\x9a\x9c\x9e\xff");  // Š Œ Ž Ÿ
    EXPECT_EQ(AnsiLower("\xc0\xdf", CodePage::Windows1251), "\xe0\xff");                  // А Я
    EXPECT_EQ(AnsiLower("\xdd"
                        "I",
                        CodePage::Windows1254),
              "ii");  // İ -> i
    const std::string all = AllBytes();
    for (CodePage cp : kAll) {
        EXPECT_EQ(AnsiLower(all, cp).size(), all.size());
    }
}

// Messages carry file names (UTF-8 here) and card text (code page); the display tells
// them apart by form.
TEST(CodePageTest, MessagesWithUtf8FileNamesShowTheNames) {
    EXPECT_EQ(MessageToUtf16("/home/j\xC3\xB6rg/x.csv: No such file"),
              u"/home/j\u00F6rg/x.csv: No such file");
    EXPECT_EQ(MessageToUtf16("/tmp/\xF0\x9F\x93\x87.csv"), u"/tmp/\U0001F4C7.csv");
    // Code-page text: a lone high byte, a sequence cut short, an overlong form, a surrogate.
    EXPECT_EQ(MessageToUtf16("M\xFCller not found!"), u"M\u00FCller not found!");
    EXPECT_EQ(MessageToUtf16("\xC3"), u"\u00C3");
    EXPECT_EQ(MessageToUtf16("\xC0\xAF"), u"\u00C0\u00AF");
    EXPECT_EQ(MessageToUtf16("\xED\xA0\x80"), AnsiToUtf16("\xED\xA0\x80"));
    EXPECT_EQ(MessageToUtf16("\xC7", CodePage::Windows1251), u"\u0417");
    EXPECT_FALSE(HoldsUtf8Characters("plain ASCII"));
    EXPECT_FALSE(HoldsUtf8Characters(""));
}

}  // namespace
}  // namespace tabellan
