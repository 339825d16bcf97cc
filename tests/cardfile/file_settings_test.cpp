#include "cardfile/file_settings.h"

#include <gtest/gtest.h>

#include "cardfile/comma_text.h"
#include "cardfile/errors.h"
#include "support/scripted_prompter.h"

namespace tabellan {
namespace {

using test::ScriptedPrompter;
using L = std::vector<std::string>;

const char* kSpecHeader =
    "Version=01.24,Password=,CardSeparator=12,WindowState=0,ClientHeight=360,ClientWidth=680,"
    "Top=120,Left=200,CardWidth=400,CompressionLevel=0,IndexListAtRight=1,SavePeriod=10,"
    "WordWrap=0,IndentSpaces=0,FontCharset=1,FontColor=$80000008,FontHeight=-12,"
    "FontName=Fixedsys,FontPitch=0,FontSize=9,FontStyleBold=0,FontStyleItalic=0,"
    "FontStyleUnderline=0,FontStyleStrikeOut=0,Modified=0,AltCardFileName=,"
    "\"AutodialIgnChars=! \",AutodialSepChars=!(),CommandExec=1";

FileSettings Apply(const L& list, ScriptedPrompter& p, const std::string& pw = "",
                   SettingsContext ctx = {}) {
    return ApplyFileSettings(list, pw, ctx, p);
}

TEST(FileSettingsTest, DefaultsBuildTheSpecHeaderByteForByte) {
    FileSettings s;
    EXPECT_EQ(ToCommaText(BuildFileSettings(s)), kSpecHeader);
}

TEST(FileSettingsTest, BuildOrderWithQuickSearchAndCardMemo) {
    FileSettings s;
    s.password = "pw";
    s.quickSearch[0] = "i - Smith";
    s.quickSearch[4] = "f - x";
    s.cardEdited = true;
    s.cardMemo = {"Smith", "12 Main St"};
    s.currentIndex = 3;
    s.font.color = 0x000000FF;
    s.font.bold = true;
    s.modified = true;
    L l = BuildFileSettings(s);
    ASSERT_GE(l.size(), 8u);
    EXPECT_EQ(l[1], "Password=pw");
    EXPECT_EQ(l[3], "SS1=i - Smith");
    EXPECT_EQ(l[4], "SS5=f - x");
    EXPECT_EQ(l[5], "WindowState=0");
    EXPECT_EQ(l[l.size() - 2], "CardMemo=Smith,\"12 Main St\"");
    EXPECT_EQ(l.back(), "CurrentIndex=3");
    EXPECT_EQ(SettingValue(l, "FontColor"), "$000000FF");
    EXPECT_EQ(SettingValue(l, "FontStyleBold"), "1");
    EXPECT_EQ(SettingValue(l, "Modified"), "1");
}

TEST(FileSettingsTest, RoundTrip) {
    ScriptedPrompter p;
    FileSettings s;
    s.cardSeparator = 7;
    s.quickSearch[8] = "i - z";
    s.indexListAtRight = false;
    s.clientHeight = 500;
    s.clientWidth = 900;
    s.top = 10;
    s.left = -20;
    s.windowState = 2;
    s.cardWidth = 333;
    s.compressionLevel = 2;
    s.savePeriodMinutes = 0;
    s.wordWrap = true;
    s.indentSpaces = 8;
    s.altCardFileName = "/tmp/alt, copy.csv";
    s.autodialIgnChars = "";
    s.autodialSepChars = "-/";
    s.commandExec = false;
    s.font.name = "DejaVu Sans Mono";
    s.font.charset = 238;
    s.font.SetSize(12, 96);
    s.font.italic = true;
    s.font.pitch = 2;
    s.modified = true;
    s.cardEdited = true;
    s.cardMemo = {"a", "", " b "};
    s.currentIndex = 4;
    FileSettings r = Apply(FromCommaText(ToCommaText(BuildFileSettings(s))), p);
    EXPECT_EQ(BuildFileSettings(r), BuildFileSettings(s));
    EXPECT_EQ(r.font, s.font);
    EXPECT_TRUE(p.Texts().empty());
}

TEST(FileSettingsTest, OnlyVersionAndPasswordGiveEveryDefault) {
    ScriptedPrompter p;
    FileSettings r = Apply({"Version=01.24", "Password="}, p);
    FileSettings d;
    EXPECT_EQ(BuildFileSettings(r), BuildFileSettings(d));
    EXPECT_EQ(r.font, FontSpec{});
    EXPECT_EQ(r.autodialIgnChars, " ");
    EXPECT_EQ(r.autodialSepChars, "()");
    EXPECT_FALSE(r.cardEdited);
    EXPECT_EQ(r.currentIndex, -1);
    EXPECT_TRUE(p.Texts().empty());
}

TEST(FileSettingsTest, VersionWarning) {
    for (const char* v : {"01.3", "1.00", "01.25", "02"}) {
        ScriptedPrompter p;
        Apply({std::string("Version=") + v}, p);
        ASSERT_EQ(p.Texts().size(), 1u) << v;
        EXPECT_EQ(p.Texts()[0], std::string("Version of data file is ") + v +
                                    ", which is above the version (01.24) of this program.");
        EXPECT_EQ(p.shown[0].kind, MsgKind::Warning);
        EXPECT_EQ(p.shown[0].buttons, Buttons::Ok);
    }
    for (const char* v : {"01.10", "01.24", "", "01.2"}) {
        ScriptedPrompter p;
        Apply({std::string("Version=") + v}, p);
        EXPECT_TRUE(p.Texts().empty()) << v;
    }
    ScriptedPrompter p;
    Apply({}, p);
    EXPECT_TRUE(p.Texts().empty());
}

TEST(FileSettingsTest, PasswordCheck) {
    ScriptedPrompter p;
    EXPECT_NO_THROW(Apply({"Password=Secret"}, p, "Secret"));
    try {
        Apply({"Password=Secret"}, p, "secret");
        FAIL();
    } catch (const EWrongPassword& e) {
        EXPECT_STREQ(e.what(), "Wrong Password!");
    }
    EXPECT_THROW(Apply({"Password=x"}, p, ""), EWrongPassword);
    EXPECT_THROW(Apply({}, p, "x"), EWrongPassword);
    // The version warning comes first.
    ScriptedPrompter q;
    EXPECT_THROW(Apply({"Version=09", "Password=x"}, q, ""), EWrongPassword);
    EXPECT_EQ(q.Texts().size(), 1u);
    EXPECT_EQ(Apply({"Password=Secret"}, p, "Secret").password, "Secret");
}

TEST(FileSettingsTest, RangeRules) {
    ScriptedPrompter p;
    SettingsContext ctx;
    ctx.screenWidth = 1280;
    ctx.screenHeight = 1024;
    EXPECT_EQ(Apply({"Top=5000"}, p, "", ctx).top, 120);
    EXPECT_EQ(Apply({"Top=923"}, p, "", ctx).top, 923);
    EXPECT_EQ(Apply({"Top=924"}, p, "", ctx).top, 120);
    EXPECT_EQ(Apply({"Top=-100"}, p, "", ctx).top, -100);
    EXPECT_EQ(Apply({"Top=-101"}, p, "", ctx).top, 120);
    EXPECT_EQ(Apply({"Left=-50"}, p, "", ctx).left, -50);
    EXPECT_EQ(Apply({"Left=-51"}, p, "", ctx).left, 200);
    EXPECT_EQ(Apply({"Left=1229"}, p, "", ctx).left, 1229);
    EXPECT_EQ(Apply({"Left=1230"}, p, "", ctx).left, 200);
    EXPECT_EQ(Apply({"IndentSpaces=100"}, p).Indent(), std::string(80, ' '));
    EXPECT_EQ(Apply({"IndentSpaces=-3"}, p).Indent(), "");
    EXPECT_EQ(Apply({"IndentSpaces=5"}, p).Indent(), "     ");
    EXPECT_EQ(Apply({"CardSeparator=268"}, p).cardSeparator, 12);
    EXPECT_EQ(Apply({"CardSeparator=-1"}, p).cardSeparator, 255);
    EXPECT_EQ(Apply({"CardSeparator=x"}, p).cardSeparator, 12);
    EXPECT_EQ(Apply({"CompressionLevel=257"}, p).compressionLevel, 1);
    EXPECT_EQ(Apply({"CompressionLevel=9"}, p).compressionLevel, 3);
    EXPECT_EQ(Apply({"ClientWidth=1000"}, p).cardWidth, (1000 - 29) * 8 / 13);
    EXPECT_EQ(Apply({"ClientWidth=10"}, p).cardWidth, (10 - 29) * 8 / 13);  // truncates to 0
    EXPECT_EQ(Apply({"ClientWidth=1000", "CardWidth=77"}, p).cardWidth, 77);
    EXPECT_EQ(Apply({"ClientWidth=680137129"}, p).cardWidth, 418545907);  // no overflow
    EXPECT_EQ(Apply({"ClientWidth=-2147483648"}, p).cardWidth, -1321528416);
    EXPECT_EQ(Apply({"SavePeriod=0"}, p).savePeriodMinutes, 0);
}

TEST(FileSettingsTest, FlagsAndAutodial) {
    ScriptedPrompter p;
    EXPECT_FALSE(Apply({"IndexListAtRight=2"}, p).indexListAtRight);
    EXPECT_TRUE(Apply({"IndexListAtRight=abc"}, p).indexListAtRight);
    EXPECT_FALSE(Apply({"IndexListAtRight=0"}, p).indexListAtRight);
    EXPECT_TRUE(Apply({"WordWrap=1"}, p).wordWrap);
    EXPECT_TRUE(Apply({"WordWrap=$1"}, p).wordWrap);
    EXPECT_FALSE(Apply({"WordWrap=01x"}, p).wordWrap);
    EXPECT_FALSE(Apply({"CommandExec=5"}, p).commandExec);
    EXPECT_TRUE(Apply({"Modified=1"}, p).modified);
    EXPECT_EQ(Apply({"AutodialIgnChars=!"}, p).autodialIgnChars, "");
    EXPECT_EQ(Apply({}, p).autodialIgnChars, " ");
    EXPECT_EQ(Apply({"AutodialSepChars=!-/"}, p).autodialSepChars, "-/");
    EXPECT_EQ(Apply({"AutodialSepChars=x-/"}, p).autodialSepChars, "-/");
    EXPECT_EQ(Apply({"AutodialSepChars="}, p).autodialSepChars, "()");
}

TEST(FileSettingsTest, Font) {
    ScriptedPrompter p;
    EXPECT_TRUE(Apply({"FontStyleBold=2"}, p).font.bold);
    EXPECT_FALSE(Apply({"FontStyleBold=256"}, p).font.bold);
    EXPECT_FALSE(Apply({"FontStyleBold=x"}, p).font.bold);
    SettingsContext boldDefault;
    boldDefault.defaultFont.bold = true;
    EXPECT_TRUE(Apply({"FontStyleBold=x"}, p, "", boldDefault).font.bold);
    EXPECT_FALSE(Apply({"FontStyleBold=0"}, p, "", boldDefault).font.bold);
    EXPECT_EQ(Apply({"FontColor=$000000FF"}, p).font.color, 0x000000FFu);
    EXPECT_EQ(Apply({"FontColor=$80000008"}, p).font.color, 0x80000008u);
    EXPECT_EQ(Apply({"FontColor=255"}, p).font.color, 255u);
    EXPECT_EQ(Apply({"FontColor=red"}, p).font.color, 0x80000008u);
    EXPECT_EQ(Apply({"FontName="}, p).font.name, "Fixedsys");
    EXPECT_EQ(Apply({"FontName=Courier New"}, p).font.name, "Courier New");
    EXPECT_EQ(Apply({"FontCharset=204"}, p).font.charset, 204);
    EXPECT_EQ(Apply({"FontCharset=460"}, p).font.charset, 204);
    EXPECT_EQ(Apply({"FontPitch=2"}, p).font.pitch, 2);
    EXPECT_EQ(Apply({"FontPitch=7"}, p).font.pitch, 0);
    // The size wins over the height; a height alone is overridden by the default size.
    FontSpec f = Apply({"FontHeight=-20", "FontSize=12"}, p).font;
    EXPECT_EQ(f.size, 12);
    EXPECT_EQ(f.height, -16);
    f = Apply({"FontHeight=-20"}, p).font;
    EXPECT_EQ(f.size, 9);
    EXPECT_EQ(f.height, -12);
    SettingsContext hi;
    hi.pixelsPerInch = 120;
    hi.defaultFont.SetHeight(-12, 120);
    f = Apply({"FontSize=11"}, p, "", hi).font;
    EXPECT_EQ(f.height, -18);  // 11 * 120 / 72 = 18.33
    EXPECT_EQ(f.size, 11);
}

TEST(FileSettingsTest, CardMemoAndCurrentIndex) {
    ScriptedPrompter p;
    FileSettings r = Apply({"CardMemo=Smith,\"12 Main St\"", "CurrentIndex=2"}, p);
    EXPECT_TRUE(r.cardEdited);
    EXPECT_EQ(r.cardMemo, (L{"Smith", "12 Main St"}));
    EXPECT_EQ(r.currentIndex, 2);
    r = Apply({"CardMemo="}, p);
    EXPECT_FALSE(r.cardEdited);
    EXPECT_TRUE(r.cardMemo.empty());
    r = Apply({"CardMemo=\"\""}, p);
    EXPECT_TRUE(r.cardEdited);
    EXPECT_EQ(r.cardMemo, L{""});
    EXPECT_EQ(Apply({"CurrentIndex=x"}, p).currentIndex, -1);
}

TEST(FileSettingsTest, SettingValue) {
    L l = {"nokey", "Key=first", "KEY=second", "Other= spaced = value ", "=x", "Empty="};
    EXPECT_EQ(SettingValue(l, "key"), "first");
    EXPECT_EQ(SettingValue(l, "OTHER"), " spaced = value ");
    EXPECT_EQ(SettingValue(l, "nokey"), "");
    EXPECT_EQ(SettingValue(l, "Missing"), "");
    EXPECT_EQ(SettingValue(l, ""), "x");
    EXPECT_EQ(SettingValue(l, "Empty"), "");
    EXPECT_EQ(SettingValue(l, "Ke"), "");
}

TEST(FileSettingsTest, SettingInt) {
    EXPECT_EQ(SettingInt("42", 0), 42);
    EXPECT_EQ(SettingInt("-42", 0), -42);
    EXPECT_EQ(SettingInt("+7", 0), 7);
    EXPECT_EQ(SettingInt("  7", 0), 7);  // leading spaces, as StrToIntDef
    EXPECT_EQ(SettingInt("7 ", 0), 0);
    EXPECT_EQ(SettingInt("", 5), 5);
    EXPECT_EQ(SettingInt("-", 5), 5);
    EXPECT_EQ(SettingInt("$", 5), 5);
    EXPECT_EQ(SettingInt("$ff", 0), 255);
    EXPECT_EQ(SettingInt("$FFFFFFFF", 0), -1);
    EXPECT_EQ(SettingInt("$100000000", 0), 0);
    EXPECT_EQ(SettingInt("$0000000001", 0), 1);
    EXPECT_EQ(SettingInt("-$10", 0), -16);
    EXPECT_EQ(SettingInt("$1g", 3), 3);
    EXPECT_EQ(SettingInt("0x10", 3), 3);
    EXPECT_EQ(SettingInt("2147483647", 0), 2147483647);
    EXPECT_EQ(SettingInt("2147483648", 0), 0);
    EXPECT_EQ(SettingInt("-2147483648", 0), -2147483647 - 1);
    EXPECT_EQ(SettingInt("99999999999999999999", 1), 1);
    EXPECT_EQ(SettingInt("1.5", 1), 1);
}

TEST(FileSettingsTest, MulDiv) {
    EXPECT_EQ(WinMulDiv(-12, 72, 96), -9);
    EXPECT_EQ(WinMulDiv(9, 96, 72), 12);
    EXPECT_EQ(WinMulDiv(1, 3, 2), 2);  // 1.5 rounds away from zero
    EXPECT_EQ(WinMulDiv(-1, 3, 2), -2);
    EXPECT_EQ(WinMulDiv(5, 1, 0), -1);
    EXPECT_EQ(WinMulDiv(2147483647, 2, 1), -1);
}

TEST(FileSettingsTest, ResetForClearKeepsPlacementAndQuickSearch) {
    ScriptedPrompter p;
    FileSettings s = Apply(FromCommaText(kSpecHeader), p);
    s.password = "x";
    s.top = 5;
    s.cardWidth = 99;
    s.windowState = 2;
    s.quickSearch[2] = "i - a";
    s.compressionLevel = 3;
    s.cardEdited = true;
    s.cardMemo = {"a"};
    s.currentIndex = 2;
    s.font.name = "Other";
    s.cardSeparator = 1;
    FontSpec def;
    def.name = "Start Font";
    ResetFileSettingsForClear(s, def);
    EXPECT_EQ(s.password, "");
    EXPECT_EQ(s.compressionLevel, 0);
    EXPECT_EQ(s.font.name, "Start Font");
    EXPECT_EQ(s.cardSeparator, 12);
    EXPECT_FALSE(s.cardEdited);
    EXPECT_EQ(s.currentIndex, -1);
    EXPECT_EQ(s.top, 5);
    EXPECT_EQ(s.cardWidth, 99);
    EXPECT_EQ(s.windowState, 2);
    EXPECT_EQ(s.quickSearch[2], "i - a");
}

}  // namespace
}  // namespace tabellan
