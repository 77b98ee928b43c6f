// Edit lists: copies, deletes and inserts split and join segments at the right media times,
// and ranges reaching outside the list, or sums past 64 bits, are clipped instead of wrapping.
#include <gtest/gtest.h>

#include <limits>

#include "platform/media/movie/edit_list.h"
#include "platform/media/movie/media.h"

namespace {

using platform::movie::BuiltMedia;
using platform::movie::EditList;
using platform::movie::Media;

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

std::shared_ptr<Media> Medium() {
    return std::make_shared<BuiltMedia>(1, 1);
}

TEST(EditList, SplitsAndJoinsAtMediaTimes) {
    auto media = Medium();
    EditList list;
    list.Append(media, 0, 600);
    EditList middle = list.Copy(100, 200);
    ASSERT_EQ(middle.Segments().size(), 1u);
    EXPECT_EQ(middle.Segments()[0].mediaStart, 100);
    EXPECT_EQ(middle.Duration(), 200);

    list.Delete(100, 200);
    EXPECT_EQ(list.Duration(), 400);
    ASSERT_EQ(list.Segments().size(), 2u);
    EXPECT_EQ(list.Segments()[1].mediaStart, 300);
    int64_t offset = 0;
    EXPECT_EQ(list.Locate(150, &offset)->mediaStart, 300);
    EXPECT_EQ(offset, 50);

    // Putting the piece back where it was leaves one segment again.
    list.Insert(middle, 100);
    ASSERT_EQ(list.Segments().size(), 1u);
    EXPECT_EQ(list.Duration(), 600);
    EXPECT_EQ(list.Locate(600, &offset), nullptr);
    EXPECT_EQ(list.Locate(-1, &offset), nullptr);
}

TEST(EditList, RangesOutsideTheListAreClipped) {
    auto media = Medium();
    EditList list;
    list.Append(media, 0, 600);
    EXPECT_EQ(list.Copy(-50, 100).Duration(), 50);
    EXPECT_EQ(list.Copy(500, kMax).Duration(), 100);
    EXPECT_EQ(list.Copy(kMax, kMax).Duration(), 0);
    EXPECT_EQ(list.Copy(100, -5).Duration(), 0);

    list.Delete(550, kMax);
    EXPECT_EQ(list.Duration(), 550);
    list.Delete(std::numeric_limits<int64_t>::min(), 50);
    EXPECT_EQ(list.Duration(), 550);

    // Inserts past either end land at that end.
    EditList piece;
    piece.Append(nullptr, 0, 10);
    list.Insert(piece, kMax);
    list.Insert(piece, -kMax);
    EXPECT_EQ(list.Duration(), 570);
    EXPECT_EQ(list.Segments().front().media, nullptr);
    EXPECT_EQ(list.Segments().back().media, nullptr);
}

TEST(EditList, DurationsStopAtTheLargestTime) {
    auto media = Medium();
    EditList list;
    list.Append(media, 0, kMax - 10);
    EditList piece;
    piece.Append(media, 5, 100);
    list.Insert(piece, 0);
    EXPECT_EQ(list.Duration(), kMax);
    list.Insert(piece, 0);
    EXPECT_EQ(list.Duration(), kMax);

    // A media start near the end of time shortens the segment instead of overflowing.
    EditList late;
    late.Append(media, kMax - 3, 100);
    EXPECT_EQ(late.Duration(), 3);
    late.Append(media, -20, 10);
    EXPECT_EQ(late.Segments().back().mediaStart, 0);
}

} // namespace
