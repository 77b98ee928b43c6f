#include "packer/author_text.h"

#include <gtest/gtest.h>

TEST(AuthorText, TellsWellFormedUtf8FromWindows1252) {
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x99\x82"));
    EXPECT_FALSE(IsValidUtf8("caf\xE9"));
    EXPECT_FALSE(IsValidUtf8("\xC3"));             // cut short
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\x80"));
}

TEST(AuthorText, FileTextsLoseTheirMarkAndConvertOnlyWhenUtf8) {
    UnmappableCharacter failure;
    std::string text = "\xEF\xBB\xBFx = 1;";
    ASSERT_TRUE(FileTextToWindows1252(text, failure));
    EXPECT_EQ(text, "x = 1;");
    text = "\xC5\x93\xE2\x84\xA2\xC2\x81"; // œ ™ and the undefined 0x81
    ASSERT_TRUE(FileTextToWindows1252(text, failure));
    EXPECT_EQ(text, "\x9C\x99\x81");
    text = "\xEF\xBB\xBF\xE9t\xE9";
    ASSERT_TRUE(FileTextToWindows1252(text, failure));
    EXPECT_EQ(text, "\xE9t\xE9");

    text = "\xC3\xA9\n\n\xE2\x86\x92";
    EXPECT_FALSE(FileTextToWindows1252(text, failure));
    EXPECT_EQ(failure.line, 3u);
    EXPECT_EQ(failure.codePoint, U'\x2192');
    EXPECT_EQ(text, "\xC3\xA9\n\n\xE2\x86\x92");
    EXPECT_EQ(DescribeCharacter(U'\x2192'), "U+2192 '\xE2\x86\x92'");
    EXPECT_EQ(DescribeCharacter(U'\x9F'), "U+009F");
}
