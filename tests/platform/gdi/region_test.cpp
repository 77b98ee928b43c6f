#include <gtest/gtest.h>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"

namespace {

using platform::Region;

int64_t Area(const Region& region) {
    int64_t area = 0;
    for (const RECT& r : region.Rects())
        area += int64_t{r.right - r.left} * (r.bottom - r.top);
    return area;
}

bool Disjoint(const Region& region) {
    const auto& rects = region.Rects();
    for (size_t i = 0; i < rects.size(); ++i)
        for (size_t j = i + 1; j < rects.size(); ++j)
            if (!platform::IsEmptyRect(platform::IntersectRects(rects[i], rects[j]))) return false;
    return true;
}

TEST(Region, UnionsSubtractionsAndIntersectionsStayDisjointAndOffsetsSaturate) {
    Region region;
    region.Add(RECT{0, 0, 10, 10});
    region.Add(RECT{5, 5, 15, 15});   // overlaps a quarter
    region.Add(RECT{2, 2, 8, 8});     // inside
    region.Add(RECT{20, 0, 20, 100}); // empty
    EXPECT_TRUE(Disjoint(region));
    EXPECT_EQ(Area(region), 100 + 100 - 25);
    EXPECT_EQ(region.Bounds().right, 15);
    EXPECT_TRUE(region.Contains(14, 14));
    EXPECT_FALSE(region.Contains(14, 4));
    EXPECT_FALSE(region.Contains(15, 15)); // right and bottom are excluded
    Region other(RECT{5, 5, 15, 15});
    other.Add(RECT{0, 0, 10, 10});
    EXPECT_TRUE(region == other); // same pixels, whatever order they came in

    Region frame(RECT{0, 0, 30, 30});
    frame.Subtract(RECT{10, 10, 20, 20});
    EXPECT_TRUE(Disjoint(frame));
    EXPECT_EQ(Area(frame), 900 - 100);
    EXPECT_FALSE(frame.Contains(15, 15));
    EXPECT_TRUE(frame.Contains(25, 15));

    Region cut = frame;
    cut.Intersect(RECT{5, 5, 25, 25});
    EXPECT_EQ(Area(cut), 400 - 100);
    cut.Intersect(Region(RECT{10, 10, 20, 20}));
    EXPECT_TRUE(cut.Empty());
    EXPECT_EQ(cut.Bounds().right, 0);

    frame.Offset(-100, 50);
    EXPECT_TRUE(frame.Contains(-75, 65));
    // Far moves saturate instead of wrapping around.
    Region far(RECT{0, 0, 10, 10});
    far.Offset(0x7FFFFFF0, 0);
    for (const RECT& r : far.Rects())
        EXPECT_LE(r.left, r.right);
    EXPECT_LE(Area(far), 100);
}

TEST(RegionHandles, CombineModesAndDeadHandles) {
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 0, 15, 10);
    HRGN out = CreateRectRgn(0, 0, 0, 0);
    RECT box;
    EXPECT_EQ(CombineRgn(out, a, b, RGN_AND), SIMPLEREGION);
    EXPECT_EQ(GetRgnBox(out, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(CombineRgn(out, a, b, RGN_XOR), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(out, 7, 5));
    EXPECT_TRUE(PtInRegion(out, 12, 5));
    EXPECT_EQ(CombineRgn(out, a, b, RGN_DIFF), SIMPLEREGION);
    EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), SIMPLEREGION); // into a source
    HRGN whole = CreateRectRgn(15, 10, 0, 0);             // sides given backwards
    EXPECT_TRUE(EqualRgn(a, whole));
    EXPECT_EQ(CombineRgn(out, a, b, 99), ERROR);

    EXPECT_TRUE(DeleteObject(b));
    EXPECT_FALSE(DeleteObject(b));
    EXPECT_EQ(CombineRgn(out, a, b, RGN_OR), ERROR);
    EXPECT_EQ(CombineRgn(b, a, 0, RGN_COPY), ERROR);
    EXPECT_EQ(GetRgnBox(b, &box), ERROR);
    for (HRGN r : {a, out, whole})
        DeleteObject(r);
}

} // namespace
