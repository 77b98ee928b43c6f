#include "classes/surface/dirty_rect_list.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

using Rect = std::tuple<int32_t, int32_t, int32_t, int32_t>;

std::set<Rect> Stored(const DirtyRectList& list) {
    std::set<Rect> rects;
    for (int32_t i = 0; i < list.GetCount(); ++i) {
        const DirtyRect& r = list.GetRects()[i];
        rects.insert({r.left, r.top, r.right, r.bottom});
    }
    return rects;
}

TEST(DirtyRects, NormalisesContainsAndKeepsTouchingRectanglesApart) {
    DirtyRectList list;
    list.Add({30, 40, 10, 20});
    EXPECT_EQ(Stored(list), (std::set<Rect>{{10, 20, 30, 40}}));
    list.Add({12, 22, 28, 38});
    EXPECT_EQ(list.GetCount(), 1);
    list.Add({30, 20, 50, 40});
    list.Add({10, 40, 30, 60});
    EXPECT_EQ(Stored(list), (std::set<Rect>{{10, 20, 30, 40}, {30, 20, 50, 40}, {10, 40, 30, 60}}));
}

TEST(DirtyRects, UnionsMergeAgainUntilNoneOverlap) {
    DirtyRectList list;
    list.Add({0, 0, 10, 10});
    list.Add({100, 0, 110, 10});
    list.Add({200, 200, 210, 210});
    // Overlaps the first; the union reaches the second, which overlaps nothing before.
    list.Add({5, 5, 101, 8});
    EXPECT_EQ(Stored(list), (std::set<Rect>{{0, 0, 110, 10}, {200, 200, 210, 210}}));
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetRects(), nullptr);
}

TEST(DirtyRects, TheRectangleAfterAFullListCollapsesIt) {
    DirtyRectList list;
    for (int32_t i = 0; i < kDirtyRectCapacity; ++i)
        list.Add({(i % 32) * 4, (i / 32) * 4, (i % 32) * 4 + 2, (i / 32) * 4 + 2});
    EXPECT_EQ(list.GetCount(), kDirtyRectCapacity);
    list.Add({500, 500, 510, 510});
    EXPECT_EQ(Stored(list), (std::set<Rect>{{0, 0, 126, 126}, {500, 500, 510, 510}}));

    DirtyRectList full;
    for (int32_t i = 0; i < kDirtyRectCapacity; ++i)
        full.Add({i * 3, 0, i * 3 + 1, 1});
    // In a gap, touching its neighbours only: it ends inside the box.
    full.Add({1, 0, 3, 1});
    EXPECT_EQ(Stored(full), (std::set<Rect>{{0, 0, 3070, 1}}));
}

} // namespace
