#include "cardfile/comma_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tabellan {
namespace {

using L = std::vector<std::string>;

TEST(CommaTextTest, WritingRules) {
    EXPECT_EQ(ToCommaText({}), "");
    EXPECT_EQ(ToCommaText({""}), "\"\"");
    EXPECT_EQ(ToCommaText({"", ""}), ",");
    EXPECT_EQ(ToCommaText({"", "a"}), ",a");
    EXPECT_EQ(ToCommaText({"a", ""}), "a,");
    EXPECT_EQ(ToCommaText({"Smith", "12 Main St", "", "x"}), "Smith,\"12 Main St\",,x");
    EXPECT_EQ(ToCommaText({"say \"hi\""}), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(ToCommaText({"  padded ", "Tab"}), "\"  padded \",Tab");
    EXPECT_EQ(ToCommaText({"a,b"}), "\"a,b\"");
    EXPECT_EQ(ToCommaText({"tab\there"}), "\"tab\there\"");
    EXPECT_EQ(ToCommaText({"\x1f"}), "\"\x1f\"");
    EXPECT_EQ(ToCommaText({"\x7f\xff"}), "\x7f\xff");  // codes above 32 need no quotes
    EXPECT_EQ(ToCommaText({std::string("a\0b", 3)}), std::string("a\0b", 3));
    EXPECT_EQ(ToCommaText({"Jones", "1 High Road", "Leeds"}), "Jones,\"1 High Road\",Leeds");
    EXPECT_EQ(ToCommaText({"Smith", "12 Main St", "Tel. 555 0100"}),
              "Smith,\"12 Main St\",\"Tel. 555 0100\"");
}

TEST(CommaTextTest, ReadingSpecExamples) {
    EXPECT_EQ(FromCommaText("Smith,\"12 Main St\",,x"), (L{"Smith", "12 Main St", "", "x"}));
    EXPECT_EQ(FromCommaText("\"say \"\"hi\"\"\""), (L{"say \"hi\""}));
    EXPECT_EQ(FromCommaText("\"\""), (L{""}));
    EXPECT_EQ(FromCommaText(","), (L{"", ""}));
    EXPECT_EQ(FromCommaText(",a"), (L{"", "a"}));
    EXPECT_EQ(FromCommaText("\"  padded \",Tab"), (L{"  padded ", "Tab"}));
}

TEST(CommaTextTest, ReadingDetails) {
    EXPECT_EQ(FromCommaText(""), L{});
    EXPECT_EQ(FromCommaText("   "), L{});
    EXPECT_EQ(FromCommaText("\x01\x02 \t"), L{});
    EXPECT_EQ(FromCommaText("a b"), (L{"a", "b"}));          // unquoted ends at a space
    EXPECT_EQ(FromCommaText("  a  ,  b  "), (L{"a", "b"}));  // blanks skipped around fields
    EXPECT_EQ(FromCommaText("a,"), (L{"a", ""}));            // comma at the very end
    EXPECT_EQ(FromCommaText("a, "), (L{"a"}));               // blanks after it: no field
    EXPECT_EQ(FromCommaText("a,,"), (L{"a", "", ""}));
    EXPECT_EQ(FromCommaText(",,"), (L{"", "", ""}));
    EXPECT_EQ(FromCommaText("\"ab\"cd,e"), (L{"ab", "cd", "e"}));  // no comma needed
    EXPECT_EQ(FromCommaText("a\"b"), (L{"a\"b"}));
    EXPECT_EQ(FromCommaText("x\x1fy"), (L{"x", "y"}));
    EXPECT_EQ(FromCommaText(std::string("a\0b", 3)), (L{std::string("a\0b", 3)}));
    EXPECT_EQ(FromCommaText("\xff\x80"), (L{"\xff\x80"}));
}

TEST(CommaTextTest, MalformedInputHasADefinedResult) {
    EXPECT_EQ(FromCommaText("\""), (L{""}));  // unterminated: rest of text
    EXPECT_EQ(FromCommaText("\"abc"), (L{"abc"}));
    EXPECT_EQ(FromCommaText("\"a\"\"b"), (L{"a\"b"}));
    EXPECT_EQ(FromCommaText("a,\"b,c"), (L{"a", "b,c"}));
    EXPECT_EQ(FromCommaText("\"\"\""), (L{"\""}));
    EXPECT_EQ(FromCommaText("\"a\"\""), (L{"a\""}));
}

TEST(CommaTextTest, WriterOutputReadsBack) {
    std::mt19937 rng(99);
    const std::string alphabet =
        std::string("ab ,\"\t\x01\x1f\x20\x7f\xff.", 13) + std::string(1, '\0');
    for (int round = 0; round < 5000; ++round) {
        L list(rng() % 6);
        for (auto& s : list) {
            std::size_t len = rng() % 6;
            for (std::size_t i = 0; i < len; ++i) {
                s.push_back(alphabet[rng() % alphabet.size()]);
            }
        }
        ASSERT_EQ(FromCommaText(ToCommaText(list)), list) << ToCommaText(list);
    }
}

TEST(CommaTextTest, RandomBytesNeverHang) {
    std::mt19937 rng(5);
    for (int round = 0; round < 5000; ++round) {
        std::string s(rng() % 40, ' ');
        for (char& c : s) {
            c = "\",  a\x01\x00\xff"[rng() % 9];
        }
        L l = FromCommaText(s);
        EXPECT_LE(l.size(), s.size() + 1);
    }
}

TEST(CommaTextTest, EscapePayload) {
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all.push_back(static_cast<char>(i));
    }
    std::string e = EscapePayload(all);
    EXPECT_EQ(e.find('\0'), std::string::npos);
    EXPECT_EQ(e.find('\n'), std::string::npos);
    EXPECT_EQ(e.find('\r'), std::string::npos);
    EXPECT_EQ(e.find('\x1a'), std::string::npos);
    EXPECT_EQ(UnescapePayload(e), all);
    EXPECT_EQ(EscapePayload(std::string("\0\n\r\x1a\\x", 6)), "\\0\\n\\r\\z\\\\x");
    EXPECT_EQ(UnescapePayload("\\q\\\\\\0"), std::string("q\\\0", 3));
    EXPECT_EQ(UnescapePayload("ab\\"), "ab");  // lone backslash at the end: dropped
    EXPECT_EQ(UnescapePayload("\\"), "");
    EXPECT_EQ(UnescapePayload(""), "");
}

TEST(CommaTextTest, CutToken) {
    std::string t = "a\r\nb\r\n\r\nc";
    EXPECT_EQ(CutToken(t, "\r\n"), "a");
    EXPECT_EQ(t, "b\r\n\r\nc");
    EXPECT_EQ(CutToken(t, "\r\n"), "b");
    EXPECT_EQ(CutToken(t, "\r\n"), "");
    EXPECT_EQ(CutToken(t, "\r\n"), "c");
    EXPECT_EQ(t, "");
    std::string u = "abc";
    EXPECT_EQ(CutToken(u, ""), "abc");
    EXPECT_EQ(u, "");

    std::string_view v = "x,y,";
    EXPECT_EQ(CutToken(v, ","), "x");
    EXPECT_EQ(CutToken(v, ","), "y");
    EXPECT_EQ(v, "");
    std::string_view w = "tail";
    EXPECT_EQ(CutToken(w, ","), "tail");
    EXPECT_TRUE(w.empty());
}

}  // namespace
}  // namespace tabellan
