#include <gtest/gtest.h>

#include "platform/kernel/cp1252.h"

namespace {

using platform::Cp1252ToUtf8;
using platform::Utf8ToCp1252;

TEST(Cp1252, EveryByteSurvivesTheRoundTripAndWhatItCannotSpellBecomesQuestionMarks) {
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all += static_cast<char>(byte);
    std::string back;
    EXPECT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(all), back));
    EXPECT_EQ(back, all);

    EXPECT_EQ(Cp1252ToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC"); // euro sign
    EXPECT_EQ(Cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");

    std::string converted;
    EXPECT_FALSE(Utf8ToCp1252("\xE6\x97\xA5.txt", converted)); // a CJK character
    EXPECT_EQ(converted, "?.txt");
    EXPECT_FALSE(Utf8ToCp1252("a\xFF"
                              "b\xC3",
                              converted)); // stray byte, cut sequence
    EXPECT_EQ(converted, "a?b?");
    EXPECT_FALSE(Utf8ToCp1252("\xC0\xAF", converted)); // overlong '/'
    EXPECT_EQ(converted, "??");
    EXPECT_FALSE(Utf8ToCp1252("\xC2\x80", converted)); // a C1 code that 0x80 does not stand for
    EXPECT_EQ(converted, "?");
}

TEST(Cp1252, CaseFoldingCoversTheAccentedLetters) {
    EXPECT_EQ(platform::Cp1252ToUpper(0xE9), 0xC9); // é
    EXPECT_EQ(platform::Cp1252ToUpper(0x9A), 0x8A); // š
    EXPECT_EQ(platform::Cp1252ToUpper(0xFF), 0x9F); // ÿ
    EXPECT_EQ(platform::Cp1252ToUpper(0xF7), 0xF7); // division sign is no letter
    EXPECT_EQ(platform::Cp1252ToUpper(0xDF), 0xDF); // ß has no single upper case
    EXPECT_EQ(platform::Cp1252ToLower(0x9F), 0xFF);
    EXPECT_EQ(platform::Cp1252ToLower(0xD7), 0xD7); // multiplication sign
    EXPECT_TRUE(platform::Cp1252EqualNoCase("Caf\xC9.TXT", "caf\xE9.txt"));
    EXPECT_FALSE(platform::Cp1252EqualNoCase("cafe", "caf\xE9"));
    EXPECT_FALSE(platform::Cp1252EqualNoCase("abc", "abcd"));
}

} // namespace
