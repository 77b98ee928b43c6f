// Texts shared between values: a copy shares the block, a change through one holder
// never shows through another, a text held alone grows in place with room to spare, and
// the stored length always matches the bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "script/values/value.h"
#include "script/values/value_test_support.h"

namespace value_test {
namespace {

TEST_F(ValueTest, CopiesShareATextAndChangesMadeThroughOneStayThere) {
    CValue original(&interpreter, "abc", 0);
    CValue copy(&interpreter, &original);
    EXPECT_EQ(copy.GetString(), original.GetString());
    CValue piece(&interpreter, "d", 0);
    copy.Add(piece);
    EXPECT_STREQ(original.GetString(), "abc");
    EXPECT_STREQ(copy.GetString(), "abcd");
    CValue shared(&interpreter, &copy);
    CValue b(&interpreter, "b", 0);
    shared.Subtract(b);
    EXPECT_STREQ(copy.GetString(), "abcd");
    EXPECT_STREQ(shared.GetString(), "acd");
    EXPECT_EQ(shared.GetStringLength(), 3u);
    // The last holder frees the block (the sanitizers see a use after free otherwise).
    original.SetInt(0);
    copy.Assign(shared);
    shared.SetInt(0);
    EXPECT_STREQ(copy.GetString(), "acd");
}

TEST_F(ValueTest, ATextHeldAloneGrowsInPlaceAndItsLengthFollows) {
    CValue text(&interpreter, "", 0);
    CValue piece(&interpreter, "xy", 0);
    std::set<const char*> places;
    std::string expected;
    for (int i = 0; i < 2000; ++i) {
        text.Add(piece);
        expected += "xy";
        places.insert(text.GetString());
    }
    EXPECT_EQ(text.GetString(), expected);
    EXPECT_EQ(text.GetStringLength(), expected.size());
    // Doubling room: a few dozen moves at most, not one per piece.
    EXPECT_LT(places.size(), 40u);
    CValue number(&interpreter, 12);
    text.Subtract(piece);
    text.Add(number);
    EXPECT_STREQ(text.GetString(), "12");
    EXPECT_EQ(text.GetStringLength(), 2u);
}

TEST_F(ValueTest, FilledBuffersAndBorrowedTextsReportTheirOwnLength) {
    CValue filled(&interpreter);
    std::strcpy(filled.SetStringBuffer(16), "four");
    EXPECT_EQ(filled.GetStringLength(), 4u);
    CValue copy(&interpreter, &filled);
    copy.Add(filled);
    EXPECT_STREQ(copy.GetString(), "fourfour");
    EXPECT_STREQ(filled.GetString(), "four");
    char buffer[] = "borrowed";
    CValue borrowed(&interpreter, buffer, 1);
    EXPECT_EQ(borrowed.GetStringLength(), 8u);
    // A copy of a borrowed text is the copy's own, and growing it leaves the buffer be.
    CValue owned(&interpreter, &borrowed);
    EXPECT_NE(owned.GetString(), buffer);
    owned.Add(filled);
    EXPECT_STREQ(buffer, "borrowed");
    EXPECT_STREQ(owned.GetString(), "borrowedfour");
    // No text yet: joining takes a share of the other text.
    CValue none(&interpreter, static_cast<const char*>(nullptr), 0);
    none.Add(owned);
    EXPECT_EQ(none.GetString(), owned.GetString());
}

} // namespace
} // namespace value_test
