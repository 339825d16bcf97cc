#include "cardfile/password_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tabellan {
namespace {

const std::string kPolish = "za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87";  // zażółć in UTF-8

TEST(PasswordTextTest, CharactersTheCodePageLacksAreNamedInTheMessage) {
    EXPECT_EQ(PasswordCharactersProblem(kPolish, CodePage::Windows1252),
              "The password contains characters that this file's character set (windows-1252) "
              "cannot hold: \xC5\xBC \xC5\x82 \xC4\x87. Choose a password without them.");
    EXPECT_EQ(PasswordCharactersProblem(kPolish, CodePage::Windows1250), std::nullopt);
    // The UTF-16 form the dialogs hold gives the same answer.
    EXPECT_EQ(PasswordCharactersProblem(u"za\u017C\u00F3\u0142\u0107", CodePage::Windows1252),
              PasswordCharactersProblem(kPolish, CodePage::Windows1252));
    // The window's message boxes hold text of the code page: there they are code points.
    EXPECT_EQ(PasswordCharactersProblem(u"za\u017C\u00F3\u0142\u0107\U0001F511",
                                        CodePage::Windows1252, CharacterNaming::CodePoints),
              "The password contains characters that this file's character set (windows-1252) "
              "cannot hold: U+017C U+0142 U+0107 U+1F511. Choose a password without them.");
    // Each missing character is named once.
    EXPECT_EQ(PasswordCharactersProblem(u"\u017C\u017Cx\u017C", CodePage::Windows1252),
              "The password contains characters that this file's character set (windows-1252) "
              "cannot hold: \xC5\xBC. Choose a password without them.");
}

TEST(PasswordTextTest, StorablePasswordsBecomeCodePageBytes) {
    EXPECT_EQ(PasswordToCodePage(kPolish, CodePage::Windows1250), "za\xBF\xF3\xB3\xE6");
    EXPECT_EQ(PasswordToCodePage(std::string_view("K\xC3\xA4se \"?\", ok"), CodePage::Windows1252),
              "K\xE4se \"?\", ok");
    EXPECT_EQ(PasswordToCodePage(u"\u041F\u0430\u0440\u043E\u043B\u044C", CodePage::Windows1251),
              "\xCF\xE0\xF0\xEE\xEB\xFC");
    EXPECT_EQ(PasswordToCodePage(u"\u20AC", CodePage::Windows1252), "\x80");
    EXPECT_EQ(PasswordToCodePage(std::string_view(""), CodePage::Windows1252), "");
}

TEST(PasswordTextTest, WhatNoSingleByteCodePageHoldsIsRefused) {
    // A character beyond the 16-bit range, an unpaired surrogate, broken UTF-8.
    EXPECT_THROW(PasswordToCodePage(std::string_view("a\xF0\x9F\x94\x91"), CodePage::Windows1252),
                 EPasswordCharacters);
    EXPECT_THROW(PasswordToCodePage(std::u16string(1, char16_t{0xD800}), CodePage::Windows1252),
                 EPasswordCharacters);
    EXPECT_THROW(PasswordToCodePage(std::string_view("a\xC3"), CodePage::Windows1252),
                 EPasswordCharacters);
    EXPECT_THROW(PasswordToCodePage(std::string_view("\xD0\x9F"), CodePage::Windows1252),
                 EPasswordCharacters);
    try {
        PasswordToCodePage(std::string_view("\xE0\xB8\x81"), CodePage::Windows1255);
        ADD_FAILURE() << "accepted";
    } catch (const EPasswordCharacters& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The password contains characters that this file's character set "
                  "(windows-1255) cannot hold: \xE0\xB8\x81. Choose a password without them.");
    }
}

}  // namespace
}  // namespace tabellan
