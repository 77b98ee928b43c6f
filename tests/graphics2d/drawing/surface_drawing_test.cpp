#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "graphics2d/drawing/fill_painter.h"
#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/mem_surface.h"

#include "graphics2d/drawing/handle_fixture.h"

namespace {

class SurfaceDrawingTest : public MemoryHandleTest {
protected:
    // The picture as rows of '#' (not 0) and '.'.
    static std::string Picture(SurfaceHandle& h) {
        std::string rows;
        for (int32_t y = 0; y < h.GetHeight(); y++) {
            for (int32_t x = 0; x < h.GetWidth(); x++)
                rows += At(h, x, y) ? '#' : '.';
            rows += '\n';
        }
        return rows;
    }
};

TEST_F(SurfaceDrawingTest, TurnedSizesAndAngles) {
    const auto size = [](int32_t w, int32_t h, int32_t degrees) {
        RotatedSize(&w, &h, degrees);
        return std::pair{w, h};
    };
    EXPECT_EQ(size(100, 50, 90), std::pair(50, 100));
    EXPECT_EQ(size(100, 50, 0), std::pair(100, 50));
    EXPECT_EQ(size(100, 50, 180), std::pair(100, 50));
    EXPECT_EQ(size(11, 11, 45), std::pair(15, 15));

    SurfaceHandle source, turned;
    source.Create(3, 2, Prototype(32));
    source.FillRect(0, 0, 1, 1, 0xFF);
    for (int32_t degrees : {-270, 450, 90}) {
        ASSERT_EQ(source.RotateToNew(&turned, degrees, 0, 0), 1);
        EXPECT_EQ(turned.GetWidth(), 2);
        EXPECT_EQ(turned.GetHeight(), 3);
        EXPECT_EQ(At(turned, 0, 2), 0xFFu) << degrees;
    }
    ASSERT_EQ(source.Rotate(&turned, 1.5707963267948966, 0, 0), 1);
    EXPECT_EQ(At(turned, 0, 2), 0xFFu) << "radians become whole degrees";
    for (double hostile : {double(NAN), double(INFINITY), 1e300})
        EXPECT_EQ(source.Rotate(&turned, hostile, 0, 0), 1) << hostile;
    SurfaceHandle empty;
    EXPECT_EQ(empty.RotateToNew(&turned, 90, 0, 0), 0);
}

TEST_F(SurfaceDrawingTest, ThinLinesAndClipping) {
    SurfaceHandle s;
    s.Create(6, 3, Prototype(8));
    ASSERT_EQ(s.DrawLine(5, 5, 5, 5, 1, 0xFFFFFF), 1) << "outside: nothing, but no failure";
    ASSERT_EQ(s.DrawLine(0, 0, 3, 1, 1, 0xFFFFFF), 1);
    ASSERT_EQ(s.DrawLine(5, 2, 5, 2, 1, 0xFFFFFF), 1);
    EXPECT_EQ(Picture(s), "##....\n"
                          "..##..\n"
                          ".....#\n");
    // Far-away end points are clipped in 64 bits.
    s.FillRectAll(0);
    ASSERT_EQ(s.DrawLine(-2000000000, 1, 2000000000, 1, 1, 0xFFFFFF), 1);
    EXPECT_EQ(Picture(s), "......\n"
                          "######\n"
                          "......\n");
    int32_t x1 = -10, y1 = -10, x2 = 20, y2 = 20;
    ASSERT_EQ(ClipLine(&x1, &y1, &x2, &y2, 0, 0, 9, 9), 1);
    EXPECT_EQ(x1, 0);
    EXPECT_EQ(y2, 9);
    x1 = -5, y1 = 0, x2 = -1, y2 = 3;
    EXPECT_EQ(ClipLine(&x1, &y1, &x2, &y2, 0, 0, 9, 9), 0);
    // The origin moves the line; wide lines need a device context.
    s.SetOrigin(1, 1);
    s.FillRectAll(0);
    s.DrawLine(1, 1, 1, 1, 1, 0xFFFFFF);
    uint32_t value = 0;
    s.GetImpl()->GetPixelRaw(0, 0, &value);
    EXPECT_NE(value, 0u);
    EXPECT_EQ(s.DrawLine(0, 0, 4, 4, 3, 0xFFFFFF), 0);
    EXPECT_EQ(s.GetLastError(), kSurfaceErrorBadArgument);
}

TEST_F(SurfaceDrawingTest, FloodFillSnapsItsColourAndStopsAtIt) {
    SurfaceHandle s;
    s.Create(8, 4, Prototype(16));
    s.FillRect(4, 0, 1, 4, 0xFFFFFF);
    ASSERT_EQ(s.Fill(0, 0, 0x123456, 0, 0, 0, 0), 1);
    EXPECT_EQ(At(s, 3, 3), 0x103450u) << "the colour as 5-6-5 stores it";
    EXPECT_EQ(At(s, 5, 0), 0u) << "the wall stops it";
    EXPECT_EQ(s.Fill(1, 1, 0x123456, 0, 0, 0, 0), 0) << "a seed already filled";
    // Tolerance: a pixel differing by 8 in one channel is in with 8, out with 0.
    s.FillRectAll(0x404040);
    s.FillRect(7, 3, 1, 1, 0x484040);
    s.Fill(0, 0, 0xFF0000, 0, 0, 0, 0);
    EXPECT_EQ(At(s, 7, 3), 0x484040u);
    s.FillRectAll(0x404040);
    s.FillRect(7, 3, 1, 1, 0x484040);
    s.Fill(0, 0, 0x00FF00, 0, 8, 0, 0);
    EXPECT_EQ(At(s, 7, 3), 0x00FC00u);
    // Outside the clip rectangle nothing is read, so the fill stops at its edge.
    s.FillRectAll(0);
    s.SetClipRect(0, 0, 3, 4);
    s.Fill(0, 0, 0xFFFFFF, 0, 0, 0, 0);
    s.SetClipRect(0, 0, 8, 4);
    EXPECT_EQ(At(s, 2, 3), 0xF8FCF8u);
    EXPECT_EQ(At(s, 3, 3), 0u);
}

TEST_F(SurfaceDrawingTest, FloodFillOfAMazeReachesEveryCell) {
    // A serpentine corridor: the fill must turn back 200 times; a fixed-size segment stack
    // used to drop parts of such regions.
    SurfaceHandle s;
    const int32_t w = 1024, h = 768;
    s.Create(w, h, Prototype(8));
    for (int32_t y = 1; y < h - 1; y += 2)
        s.FillRect(y % 4 == 1 ? 0 : 1, y, w - 1, 1, 0xFFFFFF);
    ASSERT_EQ(s.Fill(0, 0, 0x0000FF, 0, 0, 0, 0), 1);
    int64_t open = 0, filled = 0;
    for (int32_t y = 0; y < h; y++)
        for (int32_t x = 0; x < w; x++) {
            uint32_t c = 0;
            s.GetPixel(x, y, &c);
            if (c != 0xFFFFFF) open++;
            if (c == 0x0000FF) filled++;
        }
    EXPECT_EQ(filled, open);
}

TEST_F(SurfaceDrawingTest, FloodFillThroughATemporaryBlends) {
    SurfaceHandle s;
    s.Create(4, 1, Prototype(32));
    s.FillRectAll(0x000080);
    s.FillRect(3, 0, 1, 1, 0xFFFFFF);
    ASSERT_EQ(s.Fill(0, 0, 0x800000, 0, 0, kBlitOpBlend, 64), 1);
    EXPECT_EQ(At(s, 0, 0), 0x400040u);
    EXPECT_EQ(At(s, 3, 0), 0xFFFFFFu) << "unfilled pixels are the temporary's key";
}

TEST_F(SurfaceDrawingTest, Painters) {
    SurfaceHandle s;
    s.Create(4, 2, Prototype(32));
    CFillSolid black(0);
    black.FillAll(&s, 4, 2, 1);
    EXPECT_EQ(At(s, 3, 1), 8u) << "black paints near-black";

    // Equal colours: one band; black to red: 255 bands whatever the size.
    s.Create(300, 1, Prototype(32));
    CFillGradient flat(0x204060, 0x204060, 0, 0, 0);
    flat.FillRect(&s, 0, 0, 300, 1, 0);
    EXPECT_EQ(At(s, 0, 0), 0x204060u);
    EXPECT_EQ(At(s, 299, 0), 0x204060u);
    CFillGradient red(0, 0xFF, 0, 0, 0);
    red.FillRect(&s, 0, 0, 300, 1, 0);
    std::vector<uint32_t> seen;
    for (int32_t x = 0; x < 300; x++)
        if (seen.empty() || seen.back() != At(s, x, 0)) seen.push_back(At(s, x, 0));
    EXPECT_EQ(seen.size(), 255u);
    EXPECT_EQ(seen.back(), 0xFFu);

    // Avoiding the key, no band of a dark gradient has every channel below 8.
    CFillGradient dark(0, 0x040404, 1, 0, 0);
    SurfaceHandle column;
    column.Create(1, 16, Prototype(32));
    dark.FillAll(&column, 1, 16, 1);
    for (int32_t y = 0; y < 16; y++) {
        const uint32_t c = At(column, 0, y);
        EXPECT_TRUE((c & 0xFF) >= 8 || (c >> 8 & 0xFF) >= 8 || (c >> 16) >= 8) << y;
    }

    // Two halves painted with origins 0 and 150 join into the one gradient.
    SurfaceHandle whole, left, right;
    whole.Create(300, 1, Prototype(32));
    left.Create(150, 1, Prototype(32));
    right.Create(150, 1, Prototype(32));
    red.SetOrigin(0, 0);
    red.FillAll(&whole, 300, 1, 0);
    red.FillAll(&left, 300, 1, 0);
    red.SetOrigin(150, 0);
    red.FillAll(&right, 300, 1, 0);
    for (int32_t x = 0; x < 150; x++) {
        EXPECT_EQ(At(left, x, 0), At(whole, x, 0)) << x;
        EXPECT_EQ(At(right, x, 0), At(whole, 150 + x, 0)) << x;
    }
}

} // namespace
