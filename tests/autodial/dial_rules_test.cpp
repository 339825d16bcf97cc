#include "autodial/dial_rules.h"

#include <gtest/gtest.h>

namespace tabellan {
namespace {

const std::string kIgnored = " ";
const std::string kSeparators = "()";

DialRules ExampleRules() {
    DialRules r;
    r.countryCode = "90";
    r.icPrefix = "00";
    r.areaCode = "212";
    r.ldcPrefix = "0";
    r.additionalPrefix = "9";
    r.useAddPrefix = false;
    return r;
}

std::string Dial(std::string_view number, const DialRules& rules = ExampleRules(),
                 std::string_view ignored = kIgnored) {
    return ApplyDialRules(number, rules, ignored);
}

std::string Find(std::string_view text, std::size_t caret, std::string_view seps = kSeparators) {
    return FindOriginalNumber(text, caret, kIgnored, seps);
}

TEST(NumberRunTest, TakesTheRunAroundTheCaret) {
    const CharSet chars = NumberChars(kIgnored, kSeparators);
    const std::string text = "Tel: (212) 555 12\r\nFax 1";
    EXPECT_EQ(ExtractNumberRun(text, 8, chars), " (212) 555 12");
    EXPECT_EQ(ExtractNumberRun(text, 0, chars), "");
    EXPECT_EQ(ExtractNumberRun(text, 17, chars), " (212) 555 12");  // caret at line end
    EXPECT_EQ(ExtractNumberRun(text, 1000, chars), " 1");           // beyond the end
}

TEST(NumberRunTest, LineBreaksEndARun) {
    const CharSet chars = NumberChars(kIgnored, kSeparators);
    EXPECT_EQ(ExtractNumberRun("123\r\n456", 3, chars), "123");
    EXPECT_EQ(ExtractNumberRun("123\r\n456", 5, chars), "456");
}

TEST(NumberRunTest, HasThreeDigitsCountsDigitsAnywhere) {
    EXPECT_TRUE(HasThreeDigits("1 (2) 3"));
    EXPECT_FALSE(HasThreeDigits(" 12 "));
    EXPECT_FALSE(HasThreeDigits(""));
}

TEST(FindOriginalNumberTest, CaretInsideANumberTakesThatNumber) {
    const std::string text = "Home 555 1234\r\nWork 777 8888";
    EXPECT_EQ(Find(text, 22), " 777 8888");
    EXPECT_EQ(Find(text, 6), " 555 1234");
}

TEST(FindOriginalNumberTest, SearchesForwardAndWrapsToTheStart) {
    const std::string text = "Phone 555 1234\r\nNotes\r\nFlat 12";
    // Caret in the line without digits: the walk passes the house number 12 and wraps.
    EXPECT_EQ(Find(text, 18), " 555 1234");
    // Caret in the house number (too few digits): next number after the caret, wrapping.
    EXPECT_EQ(Find(text, text.size()), " 555 1234");
}

TEST(FindOriginalNumberTest, WithoutAGoodRunShowsTheLastRunTaken) {
    EXPECT_EQ(Find("No digits here", 3), " ");
    EXPECT_EQ(Find("Flat 12, floor 3", 0), " 3");
    EXPECT_EQ(Find("", 0), "");
}

TEST(FindOriginalNumberTest, DashDividesRunsUnlessItIsASeparator) {
    EXPECT_EQ(Find("Call 555-1234", 7), " 555");
    EXPECT_EQ(Find("Call 555-1234", 11), "1234");
    EXPECT_EQ(Find("Call 55-1234", 7), "1234");  // 55 has too few digits
    EXPECT_EQ(Find("Call 555-1234", 7, "()-"), " 555-1234");
}

TEST(ApplyDialRulesTest, WorkedExample) {
    EXPECT_EQ(Dial("90 (212) 555"), "555");
    EXPECT_EQ(Dial("(216) 555"), "0 216 555");
    EXPECT_EQ(Dial("1 (212) 555"), "00 0 1 212 555");
}

TEST(ApplyDialRulesTest, InternationalFormLeavesOutUncheckedPrefixes) {
    DialRules r = ExampleRules();
    r.useLdcPrefix = false;
    EXPECT_EQ(Dial("1 (212) 555", r), "00 1 212 555");
    r.useIcPrefix = false;
    r.useAddPrefix = true;
    EXPECT_EQ(Dial("1 (212) 555", r), "9 1 212 555");
}

TEST(ApplyDialRulesTest, EmptyCountryCodeDialsEveryLongNumberAsInternational) {
    DialRules r = ExampleRules();
    r.countryCode.clear();
    EXPECT_EQ(Dial("90 (212) 555", r), "00 0 90 212 555");
}

TEST(ApplyDialRulesTest, OwnCountryThenOtherAreaGetsLongDistancePrefix) {
    EXPECT_EQ(Dial("90 (216) 555 1234"), "0 216 5551234");
    // After the country code more than two groups may remain; the area code still goes.
    EXPECT_EQ(Dial("90 (212) 555 (12) 34"), "555 12 34");
}

TEST(ApplyDialRulesTest, OneGroupGetsOnlyTheOutsideLinePrefix) {
    EXPECT_EQ(Dial(" 555 1234"), "5551234");
    DialRules r = ExampleRules();
    r.useAddPrefix = true;
    EXPECT_EQ(Dial(" 5551234", r), "9 5551234");
}

TEST(ApplyDialRulesTest, CheckedUseWithEmptyPrefixGivesALoneBlank) {
    DialRules r = ExampleRules();
    r.ldcPrefix.clear();
    EXPECT_EQ(Dial("(216) 555", r), " 216 555");
}

TEST(ApplyDialRulesTest, SeparatorRunsBecomeOneBlankAndEdgesVanish) {
    EXPECT_EQ(Dial("((216)) 555)", ExampleRules()), "0 216 555");
    EXPECT_EQ(Dial("x/y", ExampleRules()), "");
}

TEST(ApplyDialRulesTest, IgnoringWinsOverSeparating) {
    // "(" is both ignored and a separator: it is dropped, so 216555 is one group.
    EXPECT_EQ(Dial("(216(555", ExampleRules(), " ("), "216555");
}

TEST(AutoDialValueTest, EncodesEightTabSeparatedFields) {
    DialRules r = ExampleRules();
    r.ldcPrefix = "1";
    EXPECT_EQ(EncodeAutoDial(r), "90\t00\t1\t212\t1\t1\t9\t0");
    EXPECT_EQ(DecodeAutoDial(EncodeAutoDial(r)), r);
}

TEST(AutoDialValueTest, MissingValueGivesTheStartState) {
    const DialRules r = DecodeAutoDial("");
    EXPECT_EQ(r, DialRules{});
    EXPECT_TRUE(r.useIcPrefix);
    EXPECT_TRUE(r.useLdcPrefix);
    EXPECT_FALSE(r.useAddPrefix);
}

TEST(AutoDialValueTest, SwitchesReadAsTheirDefaultsUnlessExact) {
    const DialRules r = DecodeAutoDial("1\t2\tx\t4\t5\t0\t7\t11");
    EXPECT_TRUE(r.useIcPrefix);
    EXPECT_FALSE(r.useLdcPrefix);
    EXPECT_FALSE(r.useAddPrefix);
    EXPECT_EQ(r.additionalPrefix, "7");
    EXPECT_TRUE(DecodeAutoDial("\t\t\t\t\t\t\t1").useAddPrefix);
}

TEST(AutoDialValueTest, ShortValueLeavesLaterFieldsEmpty) {
    const DialRules r = DecodeAutoDial("44\t00");
    EXPECT_EQ(r.countryCode, "44");
    EXPECT_EQ(r.icPrefix, "00");
    EXPECT_TRUE(r.areaCode.empty());
    EXPECT_TRUE(r.useLdcPrefix);
}

TEST(AutoDialModemValueTest, RoundTripsAndReadsBadTypesAsTone) {
    const ModemSettings pulse{"3", DialType::Pulse};
    EXPECT_EQ(EncodeAutoDialModem(pulse), "3\t1");
    EXPECT_EQ(DecodeAutoDialModem("3\t1"), pulse);
    EXPECT_EQ(DecodeAutoDialModem("").dialType, DialType::Tone);
    EXPECT_EQ(DecodeAutoDialModem("2\tpulse").dialType, DialType::Tone);
    EXPECT_EQ(DecodeAutoDialModem("2\t7").dialType, DialType::Tone);
    EXPECT_EQ(DecodeAutoDialModem("12").port, "12");
}

TEST(SplitFieldsTest, EveryFieldEndsAtTheNextDelimiter) {
    EXPECT_EQ(SplitFields("a\tb\tc", '\t', 2), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitFields("a", '\t', 3), (std::vector<std::string>{"a", "", ""}));
    EXPECT_EQ(SplitFields("a\t", '\t', 3), (std::vector<std::string>{"a", "", ""}));
    EXPECT_EQ(SplitFields("\t\t", '\t', 2), (std::vector<std::string>{"", ""}));
}

TEST(AutoDialValueTest, FieldsBeyondTheLastAreIgnored) {
    // A ninth field must not end up in the eighth, which is checked only when exactly "1".
    EXPECT_TRUE(DecodeAutoDial("1\t2\t1\t4\t5\t1\t7\t1\textra").useAddPrefix);
    EXPECT_EQ(DecodeAutoDial("1\t2\t1\t4\t5\t1\t7\t1\textra").additionalPrefix, "7");
    EXPECT_EQ(DecodeAutoDialModem("3\t1\tx").dialType, DialType::Pulse);
    EXPECT_EQ(DecodeAutoDialModem("3\t1\tx").port, "3");
}

TEST(AutodialModelTest, RecomputesOnEveryChange) {
    AutodialModel model(ExampleRules(), " ", "()");
    model.SetCard("Office 90 (212) 555-1234", 8);
    EXPECT_EQ(model.OriginalNumber(), " 90 (212) 555");
    EXPECT_EQ(model.NumberToBeDialed(), "555");

    model.SetNumberToBeDialed("my own edit");
    DialRules r = ExampleRules();
    r.useAddPrefix = true;
    model.SetRules(r);
    EXPECT_EQ(model.NumberToBeDialed(), "9 555");  // the user's edit is overwritten

    model.SetSeparatorChars("()-");
    EXPECT_EQ(model.OriginalNumber(), " 90 (212) 555-1234");
    EXPECT_EQ(model.NumberToBeDialed(), "9 555 1234");

    model.SetIgnoredChars(" -");
    EXPECT_EQ(model.NumberToBeDialed(), "9 5551234");
}

}  // namespace
}  // namespace tabellan
