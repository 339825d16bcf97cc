#include <gtest/gtest.h>

#include <string>

#include "phonesim/json.h"

namespace tabellan::phonesim::json {
namespace {

TEST(PhonesimJson, WriteThenParseGivesTheSameValue) {
    const Value original(Object{
        {"name", "Jürgen \"JJ\" \\ \n\t\x01"},
        {"list", Array{1, -2.5, true, false, nullptr, Array{}, Object{}}},
        {"nested", Object{{"capacity", 250}, {"big", 1e20}}},
    });
    const std::string text = write(original);
    EXPECT_EQ(parse(text), original);
    EXPECT_NE(text.find("\"capacity\": 250"), std::string::npos) << "integers without fraction";
    EXPECT_NE(text.find("\\u0001"), std::string::npos);
}

TEST(PhonesimJson, ParsesEscapesAndUnicode) {
    const Value v = parse(R"(["a\"b\\c\/d\b\f\n\r\t", "\u00fc\u20ac", "\ud83d\ude00"])");
    const Array& items = v.asArray();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].asString(), "a\"b\\c/d\b\f\n\r\t");
    EXPECT_EQ(items[1].asString(), "\xc3\xbc\xe2\x82\xac");
    EXPECT_EQ(items[2].asString(), "\xf0\x9f\x98\x80");
}

TEST(PhonesimJson, ParsesNumbersAndKeepsMemberOrder) {
    const Value v = parse(" {\"z\": -0, \"a\": 1.5e2, \"m\": 0.25}\n");
    const Object& members = v.asObject();
    ASSERT_EQ(members.size(), 3u);
    EXPECT_EQ(members[0].first, "z");
    EXPECT_EQ(members[1].second.asNumber(), 150.0);
    EXPECT_EQ(v.find("m")->asNumber(), 0.25);
    EXPECT_EQ(v.find("absent"), nullptr);
}

TEST(PhonesimJson, RejectsMalformedTextWithPosition) {
    const char* const bad[] = {
        "",
        "{",
        "{\"a\" 1}",
        "{\"a\": 1,}",
        "[1 2]",
        "[1,]",
        "{a: 1}",
        "\"unterminated",
        "\"tab\tinside\"",
        "\"bad \\x escape\"",
        "\"\\u12\"",
        "\"\\ud800\"",
        "\"\\udc00\"",
        "01",
        "1.",
        "-",
        "1e",
        "tru",
        "nul",
        "{} {}",
        "1e999",
    };
    for (const char* text : bad) {
        EXPECT_THROW(parse(text), ParseError) << text;
    }
    try {
        parse("{\n  \"a\": [1,\n  x]\n}");
        FAIL() << "no exception";
    } catch (const ParseError& e) {
        EXPECT_EQ(e.line(), 3u);
        EXPECT_EQ(e.column(), 3u);
        EXPECT_NE(std::string(e.what()).find("line 3, column 3"), std::string::npos);
    }
}

TEST(PhonesimJson, DeepNestingIsAnErrorNotACrash) {
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_THROW(parse(deep), ParseError);
    const std::string fine = std::string(50, '[') + std::string(50, ']');
    EXPECT_NO_THROW(parse(fine));
}

}  // namespace
}  // namespace tabellan::phonesim::json
