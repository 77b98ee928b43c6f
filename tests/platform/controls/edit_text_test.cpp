#include <gtest/gtest.h>

#include <random>

#include "platform/controls/edit_text.h"
#include "platform/controls/text_case.h"

namespace {

using platform::EditText;

TEST(EditText, LineIndexFollowsRandomEditsThatSplitAndJoinLineBreaks) {
    std::mt19937 random(20);
    EditText text;
    std::string reference;
    const char pieces[] = "\r\nab";
    for (int round = 0; round < 4000; ++round) {
        int length = text.Length();
        int start = static_cast<int>(random() % (length + 1));
        int end = start + static_cast<int>(random() % 4);
        std::string insert;
        for (int n = static_cast<int>(random() % 5); n > 0; --n)
            insert += pieces[random() % 4];
        text.Replace(start, end, insert);
        int clamped = std::min(end, length);
        reference.replace(static_cast<size_t>(start), static_cast<size_t>(clamped - start), insert);
        ASSERT_EQ(text.Text(), reference);
        ASSERT_EQ(text.Starts(), platform::CountLineStarts(reference)) << round;
    }
}

TEST(EditText, LineQueriesClampAndExcludeTheBreak) {
    EditText text;
    text.Replace(0, 0, "one\r\ntwo\r\n");
    EXPECT_EQ(text.LineCount(), 3);
    EXPECT_EQ(text.LineEnd(0), 3);
    EXPECT_EQ(text.LineStart(1), 5);
    EXPECT_EQ(text.LineOf(4), 0); // between '\r' and '\n'
    EXPECT_EQ(text.LineOf(10), 2);
    EXPECT_EQ(text.LineOf(-5), 0);
    EXPECT_EQ(text.LineStart(99), 10);
    EXPECT_EQ(text.LineEnd(-1), 3);
    text.Replace(7, 2, "");
    EXPECT_EQ(text.Text(), "ono\r\n");
    EXPECT_EQ(text.LineCount(), 2);
}

TEST(TextCase, Windows1252LettersMapBothWaysAndCompareBlindly) {
    EXPECT_EQ(platform::UpperCase(0xE9), 0xC9); // é
    EXPECT_EQ(platform::UpperCase(0x9A), 0x8A); // š
    EXPECT_EQ(platform::UpperCase(0xFF), 0x9F); // ÿ
    EXPECT_EQ(platform::UpperCase(0xF7), 0xF7); // ÷ has no case
    EXPECT_EQ(platform::LowerCase(0xD7), 0xD7); // ×
    for (int c = 0; c < 256; ++c) {
        auto upper = platform::UpperCase(static_cast<unsigned char>(c));
        if (upper != c) {
            EXPECT_EQ(platform::LowerCase(upper), c) << c;
        }
    }
    EXPECT_LT(platform::CompareIgnoringCase("apple", "Banana"), 0);
    EXPECT_EQ(platform::CompareIgnoringCase("\xC9T\xC9", "\xE9t\xE9"), 0);
    EXPECT_LT(platform::CompareIgnoringCase("ab", "abc"), 0);
}

} // namespace
