#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/shapes/shapes_dc.h"
#include "platform/gdi/shapes/shapes_test_support.h"

namespace {

using gdi_test::Canvas;
using gdi_test::Picture;
using gdi_test::Rows;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
const std::map<COLORREF, char> kLegend{
    {RGB(255, 255, 255), '.'}, {kRed, '#'}, {kBlue, 'o'}, {RGB(0, 0, 0), 'k'}};

class ShapesDc : public ::testing::Test {
protected:
    void SetUp() override { live_ = platform::test::LiveGdiObjects(); }
    void TearDown() override { EXPECT_EQ(platform::test::LiveGdiObjects(), live_); }

    // At 8 bits: white, red, blue, black.
    static gdi_test::Info Colors(gdi_test::Info info) {
        const uint32_t table[] = {0xFFFFFF, 0xFF0000, 0x0000FF, 0};
        std::memcpy(info.colors, table, sizeof table);
        return info;
    }

    // A white canvas with a red pen of the style and width and a blue brush (or none).
    struct Scene {
        Canvas canvas;
        HPEN pen;
        HBRUSH brush;
        HGDIOBJ oldPen, oldBrush;

        Scene(int width, int height, int style, int penWidth, bool filled, int bits = 32)
            : canvas(Colors(gdi_test::MakeInfo(width, height, bits))) {
            PatBlt(canvas.dc, 0, 0, width, height, WHITENESS);
            pen = CreatePen(style, penWidth, kRed);
            brush = filled ? CreateSolidBrush(kBlue) : GetStockObject(NULL_BRUSH);
            oldPen = SelectObject(canvas.dc, pen);
            oldBrush = SelectObject(canvas.dc, brush);
        }
        ~Scene() {
            SelectObject(canvas.dc, oldPen);
            SelectObject(canvas.dc, oldBrush);
            DeleteObject(pen);
            DeleteObject(brush);
        }
        std::string Shows(int width, int height) const {
            return Picture(canvas.dc, width, height, kLegend);
        }
    };

    long live_ = 0;
};

TEST_F(ShapesDc, PensFollowGdiRulesForRectangles) {
    {
        Scene scene(8, 6, PS_SOLID, 1, true);
        EXPECT_TRUE(Rectangle(scene.canvas.dc, 1, 1, 6, 5));
        EXPECT_EQ(scene.Shows(8, 6),
                  Rows({"........", ".#####..", ".#ooo#..", ".#ooo#..", ".#####..", "........"}));
    }
    {
        Scene scene(8, 6, PS_SOLID, 0, true);                // width 0 draws one pixel wide
        EXPECT_TRUE(Rectangle(scene.canvas.dc, 6, 5, 1, 1)); // corners in either order
        EXPECT_EQ(scene.Shows(8, 6),
                  Rows({"........", ".#####..", ".#ooo#..", ".#ooo#..", ".#####..", "........"}));
    }
    {
        Scene scene(8, 6, PS_NULL, 1, true); // one pixel less each way
        EXPECT_TRUE(Rectangle(scene.canvas.dc, 1, 1, 6, 5));
        EXPECT_EQ(scene.Shows(8, 6),
                  Rows({"........", ".oooo...", ".oooo...", ".oooo...", "........", "........"}));
    }
    {
        Scene scene(9, 9, PS_INSIDEFRAME, 3, true); // stays inside its box
        EXPECT_TRUE(Rectangle(scene.canvas.dc, 1, 1, 8, 8));
        EXPECT_EQ(scene.Shows(9, 9),
                  Rows({".........", ".#######.", ".#######.", ".#######.", ".###o###.",
                        ".#######.", ".#######.", ".#######.", "........."}));
    }
    {
        // w/2 out of the path, (w-1)/2 in; round joins cut the outer corners.
        Scene scene(12, 12, PS_SOLID, 4, false);
        EXPECT_TRUE(Rectangle(scene.canvas.dc, 3, 3, 10, 10));
        const char* full = ".##########.";
        const char* sides = ".####..####.";
        const char* round = "..########..";
        EXPECT_EQ(scene.Shows(12, 12), Rows({"............", round, full, full, full, sides, sides,
                                             full, full, full, round, "............"}));
    }
}

TEST_F(ShapesDc, OnePixelOutlinesOfOnePixelAcrossAreTheirLine) {
    for (int penWidth : {1, 0}) {
        Scene scene(30, 30, PS_SOLID, penWidth, true);
        HDC dc = scene.canvas.dc;
        // 1 x 10 and 10 x 1: a column at x 10 over y 10..19, a row at y 10 over x 10..19.
        EXPECT_TRUE(Rectangle(dc, 10, 10, 11, 20));
        EXPECT_TRUE(Rectangle(dc, 10, 10, 20, 11));
        gdi_test::Painted painted(dc, 30, 30, RGB(255, 255, 255));
        EXPECT_EQ(painted.count, 19);
        EXPECT_EQ(painted.bounds.left, 10);
        EXPECT_EQ(painted.bounds.top, 10);
        EXPECT_EQ(painted.bounds.right, 20);
        EXPECT_EQ(painted.bounds.bottom, 20);
        for (int i = 10; i < 20; ++i) {
            EXPECT_EQ(GetPixel(dc, 10, i), kRed) << i;
            EXPECT_EQ(GetPixel(dc, i, 10), kRed) << i;
        }
        // Only 1 x 1 draws nothing.
        EXPECT_TRUE(Rectangle(dc, 25, 25, 26, 26));
        EXPECT_EQ(GetPixel(dc, 25, 25), RGB(255, 255, 255));
    }
    Scene scene(10, 10, PS_SOLID, 1, true);
    HDC dc = scene.canvas.dc;
    EXPECT_TRUE(Rectangle(dc, 2, 2, 3, 9)); // 1 x 7
    EXPECT_TRUE(Rectangle(dc, 9, 1, 4, 0)); // 5 x 1, given backwards
    EXPECT_TRUE(Rectangle(dc, 4, 5, 6, 7)); // 2 x 2: four pixels, no inside for the brush
    EXPECT_EQ(scene.Shows(10, 10),
              Rows({"....#####.", "..........", "..#.......", "..#.......", "..#.......",
                    "..#.##....", "..#.##....", "..#.......", "..#.......", ".........."}));
    Scene frame(6, 6, PS_INSIDEFRAME, 1, true);
    EXPECT_TRUE(Rectangle(frame.canvas.dc, 1, 1, 2, 5));
    EXPECT_EQ(frame.Shows(6, 6),
              Rows({"......", ".#....", ".#....", ".#....", ".#....", "......"}));
}

TEST_F(ShapesDc, LinesLeaveOutTheirLastPixelAndMoveTheCurrentPosition) {
    Scene scene(6, 4, PS_SOLID, 1, false);
    HDC dc = scene.canvas.dc;
    POINT previous{};
    EXPECT_TRUE(MoveToEx(dc, 0, 0, &previous));
    EXPECT_TRUE(LineTo(dc, 5, 0));
    EXPECT_TRUE(LineTo(dc, 5, 3));
    POINT at{};
    EXPECT_TRUE(GetCurrentPositionEx(dc, &at));
    EXPECT_EQ(at.x, 5);
    EXPECT_EQ(at.y, 3);
    const POINT zigzag[] = {{0, 3}, {2, 1}, {4, 3}};
    EXPECT_TRUE(Polyline(dc, zigzag, 3));
    EXPECT_TRUE(GetCurrentPositionEx(dc, &at)); // Polyline leaves it alone
    EXPECT_EQ(at.x, 5);
    EXPECT_EQ(scene.Shows(6, 4), Rows({"######", "..#..#", ".#.#.#", "#....."}));
    EXPECT_FALSE(Polyline(dc, zigzag, 1));
    EXPECT_FALSE(Polygon(dc, zigzag, 1));
    EXPECT_FALSE(LineTo(0, 1, 1));
    EXPECT_FALSE(Rectangle(0, 0, 0, 1, 1));
}

TEST_F(ShapesDc, PolygonFillModesDecideWhatIsInside) {
    // A square wound twice: ALTERNATE leaves the doubly covered part empty.
    const POINT twice[] = {{1, 1}, {9, 1}, {9, 6}, {3, 6}, {3, 3}, {7, 3}, {7, 8}, {1, 8}};
    for (int mode : {ALTERNATE, WINDING}) {
        Scene scene(10, 9, PS_NULL, 1, true);
        EXPECT_EQ(SetPolyFillMode(scene.canvas.dc, mode), ALTERNATE);
        EXPECT_TRUE(Polygon(scene.canvas.dc, twice, 8));
        EXPECT_EQ(GetPixel(scene.canvas.dc, 1, 1), kBlue);
        EXPECT_EQ(GetPixel(scene.canvas.dc, 5, 4), mode == WINDING ? kBlue : RGB(255, 255, 255));
        EXPECT_EQ(GetPixel(scene.canvas.dc, 9, 1), RGB(255, 255, 255)); // right edge is out
    }
}

TEST_F(ShapesDc, OriginClipAndRasterOperationApply) {
    Scene scene(10, 10, PS_SOLID, 1, true);
    HDC dc = scene.canvas.dc;
    SetWindowOrgEx(dc, 100, -100, nullptr);
    IntersectClipRect(dc, 100, -100, 105, -95);     // device 0..4
    EXPECT_TRUE(Rectangle(dc, 98, -102, 108, -92)); // device -2..7: only its inside shows
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SelectClipRgn(dc, 0);
    EXPECT_EQ(scene.Shows(6, 6),
              Rows({"ooooo.", "ooooo.", "ooooo.", "ooooo.", "ooooo.", "......"}));
    EXPECT_EQ(SetROP2(dc, R2_XORPEN), R2_COPYPEN);
    EXPECT_TRUE(Ellipse(dc, 0, 0, 10, 10));
    EXPECT_TRUE(Ellipse(dc, 0, 0, 10, 10));
    EXPECT_EQ(scene.Shows(6, 6), Rows({"ooooo.", "ooooo.", "ooooo.", "ooooo.", "ooooo.",
                                       "......"})); // XOR twice gives back what was there
    SetROP2(dc, R2_NOP);
    EXPECT_TRUE(Rectangle(dc, 0, 0, 10, 10));
    EXPECT_EQ(GetPixel(dc, 9, 9), RGB(255, 255, 255));
}

// Huge coordinates cost what the clip holds, and nothing lands outside it: not in the
// rest of the bitmap, not in the padding at the ends of its rows.
TEST_F(ShapesDc, HugeFiguresStayInsideTheClipAndTheBits) {
    constexpr int kWidth = 13, kHeight = 11; // 8-bit rows of 16 bytes: 3 bytes of padding
    Scene scene(kWidth, kHeight, PS_SOLID, 1, true, 8);
    HDC dc = scene.canvas.dc;
    const int stride = gdi_test::RowBytes(kWidth, 8);
    std::vector<uint8_t> before(scene.canvas.bits, scene.canvas.bits + stride * kHeight);
    for (int y = 0; y < kHeight; ++y)
        std::memset(scene.canvas.bits + y * stride + kWidth, 0xA5, stride - kWidth);
    before.assign(scene.canvas.bits, scene.canvas.bits + stride * kHeight);
    IntersectClipRect(dc, 2, 2, 11, 9);
    HPEN wide = CreatePen(PS_SOLID, INT_MAX, kRed);
    HGDIOBJ thin = SelectObject(dc, wide);
    const POINT far[] = {
        {INT_MIN, INT_MIN}, {INT_MAX, INT_MIN + 7}, {INT_MAX, INT_MAX}, {INT_MIN + 3, INT_MAX}};
    EXPECT_TRUE(Polygon(dc, far, 4));
    EXPECT_TRUE(Polyline(dc, far, 4));
    SelectObject(dc, thin);
    EXPECT_TRUE(Rectangle(dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    EXPECT_TRUE(Ellipse(dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    SetWindowOrgEx(dc, INT_MAX, INT_MIN, nullptr);
    EXPECT_TRUE(Ellipse(dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    EXPECT_TRUE(Rectangle(dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    MoveToEx(dc, INT_MIN, INT_MAX, nullptr);
    EXPECT_TRUE(LineTo(dc, INT_MAX, INT_MIN));
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < stride; ++x) {
            bool inside = y >= 2 && y < 9 && x >= 2 && x < 11;
            if (!inside) {
                EXPECT_EQ(scene.canvas.bits[y * stride + x], before[y * stride + x]);
            }
        }
    }
    DeleteObject(wide);
}

} // namespace
