#include "cardfile/setup_checks.h"

#include <gtest/gtest.h>

namespace tabellan {
namespace {

SetupValues Valid() {
    FileSettings settings;
    return LoadSetupValues(settings, settings.font, settings.wordWrap);
}

SetupField FailingField(const SetupValues& v) {
    const auto failure = CheckSetupValues(v);
    EXPECT_TRUE(failure.has_value());
    EXPECT_EQ(failure->tab, SetupTab::FileSetup);
    return failure->focus;
}

TEST(SetupLoadTest, FieldsComeFromTheFileSettingsAndTheEditor) {
    FileSettings s;
    s.password = "secret";
    s.cardSeparator = 0x17C;  // only the low 8 bits count
    s.savePeriodMinutes = 25;
    s.indentSpaces = 4;
    s.indexListAtRight = false;
    s.autodialIgnChars = "";
    FontSpec editorFont;
    editorFont.name = "Courier";
    const SetupValues v = LoadSetupValues(s, editorFont, true);
    EXPECT_EQ(v.password1, "secret");
    EXPECT_EQ(v.password2, "secret");
    EXPECT_EQ(v.cardSeparator, "|");
    EXPECT_EQ(v.autoSavePeriod, "25");
    EXPECT_EQ(v.indentPrintoutSpaces, "4");
    EXPECT_FALSE(v.indexListAtRight);
    EXPECT_TRUE(v.wordWrap);
    EXPECT_EQ(v.pendingFont.name, "Courier");
    EXPECT_EQ(v.ignoredChars, "");
    EXPECT_EQ(v.separatorChars, "()");
    EXPECT_EQ(CheckSetupValues(v), std::nullopt);
}

TEST(SetupChecksTest, PasswordsMustMatchExactly) {
    SetupValues v = Valid();
    v.password1 = "Secret";
    v.password2 = "secret";
    const auto failure = CheckSetupValues(v);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->focus, SetupField::Password2);
    EXPECT_EQ(failure->message, "Passwords do not match!");
}

TEST(SetupChecksTest, CardSeparatorMustBeDisplayableOrFormFeed) {
    SetupValues v = Valid();
    for (const std::string& bad : {std::string(), std::string(" "), std::string("\t")}) {
        v.cardSeparator = bad;
        EXPECT_EQ(FailingField(v), SetupField::CardSeparator);
    }
    EXPECT_EQ(CheckSetupValues(v)->message,
              "Card Separator must be a displayable character or the Form Feed character.");
    for (const std::string& good : {std::string("\f"), std::string("!"), std::string("\xa7")}) {
        v.cardSeparator = good;
        EXPECT_EQ(CheckSetupValues(v), std::nullopt);
    }
}

TEST(SetupChecksTest, AutosavePeriodFrom0To99) {
    SetupValues v = Valid();
    for (const char* good : {"0", "99", "07"}) {
        v.autoSavePeriod = good;
        EXPECT_EQ(CheckSetupValues(v), std::nullopt) << good;
    }
    for (const char* bad : {"", "-1", "100", "5x", " 5"}) {
        v.autoSavePeriod = bad;
        EXPECT_EQ(FailingField(v), SetupField::AutoSavePeriod) << bad;
    }
    EXPECT_EQ(CheckSetupValues(v)->message,
              "Autosave period must be a value between 0 and 99 minutes.");
}

TEST(SetupChecksTest, IndentFrom0To80) {
    SetupValues v = Valid();
    v.indentPrintoutSpaces = "80";
    EXPECT_EQ(CheckSetupValues(v), std::nullopt);
    v.indentPrintoutSpaces = "81";
    EXPECT_EQ(FailingField(v), SetupField::IndentPrintoutSpaces);
    EXPECT_EQ(CheckSetupValues(v)->message,
              "Indent for printouts must be between 0 and 80 spaces.");
}

TEST(SetupChecksTest, FirstFailureInOrderWins) {
    SetupValues v = Valid();
    v.indentPrintoutSpaces = "";
    v.autoSavePeriod = "";
    EXPECT_EQ(FailingField(v), SetupField::AutoSavePeriod);
    v.cardSeparator = " ";
    EXPECT_EQ(FailingField(v), SetupField::CardSeparator);
    v.password2 = "x";
    EXPECT_EQ(FailingField(v), SetupField::Password2);
}

TEST(ParseWholeNumberTest, AcceptsOnlyASignedDecimal) {
    EXPECT_EQ(ParseWholeNumber("+5"), 5);
    EXPECT_EQ(ParseWholeNumber("-3"), -3);
    EXPECT_EQ(ParseWholeNumber("+-3"), std::nullopt);
    EXPECT_EQ(ParseWholeNumber("99999999999"), std::nullopt);
    EXPECT_EQ(ParseWholeNumber("+"), std::nullopt);
}

TEST(SetupStoreTest, StoresEverythingAndMarksTheFileModified) {
    FileSettings s;
    s.quickSearch[4] = "f - old";
    SetupValues v = LoadSetupValues(s, s.font, s.wordWrap);
    bool modified = false;
    StoreSetupValues(v, QuickSearchItems{}, "/home/u", s, modified);
    EXPECT_TRUE(modified);  // even without a change
    EXPECT_TRUE(s.quickSearch[4].empty());
    EXPECT_EQ(s.altCardFileName, "");

    v.password1 = v.password2 = "pw";
    v.cardSeparator = "#";
    v.compressionLevel = 2;
    v.autoSavePeriod = "0";
    v.indentPrintoutSpaces = "12";
    v.indexListAtRight = false;
    v.wordWrap = true;
    v.commandExec = false;
    v.pendingFont.bold = true;
    v.altCardFileName = "../backup/./cards.csv";
    v.ignoredChars = " -";
    v.separatorChars = "";
    QuickSearchItems items;
    items[0] = "i - Smith";
    StoreSetupValues(v, items, "/home/u/docs", s, modified);
    EXPECT_EQ(s.quickSearch[0], "i - Smith");
    EXPECT_EQ(s.password, "pw");
    EXPECT_EQ(s.cardSeparator, '#');
    EXPECT_EQ(s.compressionLevel, 2);
    EXPECT_EQ(s.savePeriodMinutes, 0);
    EXPECT_EQ(s.indentSpaces, 12);
    EXPECT_FALSE(s.indexListAtRight);
    EXPECT_TRUE(s.wordWrap);
    EXPECT_FALSE(s.commandExec);
    EXPECT_TRUE(s.font.bold);
    EXPECT_EQ(s.altCardFileName, "/home/u/backup/cards.csv");
    EXPECT_EQ(s.autodialIgnChars, " -");
    EXPECT_EQ(s.autodialSepChars, "");

    v.altCardFileName = "/abs/x.csv";
    StoreSetupValues(v, items, "/home/u", s, modified);
    EXPECT_EQ(s.altCardFileName, "/abs/x.csv");
}

TEST(SetupStoreTest, HighCharacterSeparatorKeepsItsCode) {
    FileSettings s;
    SetupValues v = LoadSetupValues(s, s.font, s.wordWrap);
    EXPECT_EQ(v.cardSeparator, "\f");
    v.cardSeparator = "\xa7";
    bool modified = false;
    StoreSetupValues(v, QuickSearchItems{}, "/", s, modified);
    EXPECT_EQ(s.cardSeparator, 0xA7);
}

TEST(SetupHelpTest, TopicsAndContextsPerTab) {
    EXPECT_STREQ(SetupHelpTopic(SetupTab::FileSetup), "F_SETUP");
    EXPECT_STREQ(SetupHelpTopic(SetupTab::QuickSearchItems), "S_ITEMS");
    EXPECT_STREQ(SetupHelpTopic(SetupTab::Autodial), "C_AUTODIAL");
    EXPECT_EQ(SetupHelpContext(SetupTab::QuickSearchItems), 340);
}

}  // namespace
}  // namespace tabellan
