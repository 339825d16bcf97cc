// Texts made for menus and message boxes.
#include "cardfile/text_util.h"

#include <gtest/gtest.h>

namespace tabellan {
namespace {

TEST(TextUtilTest, AmpersandsAreDoubledForCaptions) {
    EXPECT_EQ(DoubleAmpersands("Smith & Co"), "Smith && Co");
    EXPECT_EQ(DoubleAmpersands("&&"), "&&&&");
    EXPECT_EQ(DoubleAmpersands(""), "");
}

TEST(TextUtilTest, EveryKindOfMessageLineBreakBecomesOne) {
    // The index correction message breaks with a lone CR, most others with CR LF.
    EXPECT_EQ(MessageLineBreaks("3 corrections.\rLast one"), "3 corrections.\nLast one");
    EXPECT_EQ(MessageLineBreaks("Error running:\r\nx.\r\n\r\nNo such file."),
              "Error running:\nx.\n\nNo such file.");
    EXPECT_EQ(MessageLineBreaks("a\n\rb\r"), "a\n\nb\n");
    EXPECT_EQ(MessageLineBreaks("\r\r\n"), "\n\n");
    // Other bytes stay as they are, whatever the text's encoding.
    EXPECT_EQ(MessageLineBreaks("M\xFCller\r\nj\xC3\xB6rg"), "M\xFCller\nj\xC3\xB6rg");
}

TEST(TextUtilTest, AShownMessageHasOneAmpersandForEachDoubledOne) {
    EXPECT_EQ(ShownMessage("Smith && Co not found!"), "Smith & Co not found!");
    EXPECT_EQ(ShownMessage(DoubleAmpersands("&&") + " not found!"), "&& not found!");
    EXPECT_EQ(ShownMessage("&&&"), "&&");                  // the third one stands alone
    EXPECT_EQ(ShownMessage("AT&T\r\nR&&D"), "AT&T\nR&D");  // a lone "&" is no mnemonic
    EXPECT_EQ(ShownMessage("<b>x</b> & y&"), "<b>x</b> & y&");
    // Whatever a message carries comes back as it was.
    for (const std::string text : {"a&b", "&&&&", "&", "x&&&y", "\xE4&&\xF6"}) {
        EXPECT_EQ(UndoubleAmpersands(DoubleAmpersands(text)), text) << text;
    }
}

}  // namespace
}  // namespace tabellan
