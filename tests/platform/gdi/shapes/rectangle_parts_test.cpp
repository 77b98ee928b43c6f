#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <vector>

#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/bitmaps/raster_op.h"
#include "platform/gdi/shapes/dc_drawing.h"
#include "platform/gdi/shapes/rectangle_parts.h"
#include "platform/gdi/shapes/shapes_dc.h"
#include "platform/gdi/shapes/shapes_test_support.h"

namespace {

using gdi_test::Canvas;

constexpr int kWidth = 40, kHeight = 30;
constexpr int kDepths[] = {8, 16, 32};

// The scan converter's spans for the figure, each drawn as a one-row PatBlt in its colour
// under the same operation: what Rectangle drew before it went by rectangles.
void ScannedRectangle(HDC dc, const RECT& box, platform::ScanPen pen, COLORREF penColor,
                      bool filled, COLORREF brushColor, int rop2) {
    POINT org{};
    GetWindowOrgEx(dc, &org);
    // Far wider than the bitmap: the DC's own clip does the cutting, as it does for Rectangle.
    const RECT open{org.x - 100, org.y - 100, org.x + kWidth + 100, org.y + kHeight + 100};
    platform::FigureSpans figure =
        platform::ScanRectangle(box, pen, filled, platform::ClipBands({&open, 1}));
    const DWORD rop = DWORD{platform::Rop3FromRop2(rop2)} << 16;
    auto draw = [&](const platform::SpanList& spans, COLORREF color) {
        HBRUSH brush = CreateSolidBrush(color);
        HGDIOBJ old = SelectObject(dc, brush);
        for (const platform::Span& s : spans)
            PatBlt(dc, s.x0, s.y, s.x1 - s.x0, 1, rop);
        SelectObject(dc, old);
        DeleteObject(brush);
    };
    draw(figure.interior, brushColor);
    draw(figure.outline, penColor);
}

// Random boxes, pens, brushes, raster operations, origins and clips at 8, 16 and 32 bits:
// Rectangle equals the scan converter pixel for pixel, whichever way it goes.
TEST(RectangleParts, RectanglesEqualTheScannedFigure) {
    std::mt19937 random(15);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const int styles[] = {PS_SOLID, PS_INSIDEFRAME, PS_NULL};
    int split = 0;
    for (int round = 0; round < 1500; ++round) {
        const int bits = kDepths[round % 3];
        gdi_test::Info info = gdi_test::MakeInfo(kWidth, kHeight, bits);
        for (uint32_t& c : info.colors)
            c = static_cast<uint32_t>(random()) & 0xFFFFFF;
        Canvas fast(info), scanned(info);
        const size_t size = size_t(gdi_test::RowBytes(kWidth, bits)) * kHeight;
        for (size_t i = 0; i < size; ++i)
            fast.bits[i] = scanned.bits[i] = static_cast<uint8_t>(random());

        const int style = styles[pick(0, 2)], width = pick(0, 7);
        const COLORREF penColor = random() & 0xFFFFFF, brushColor = random() & 0xFFFFFF;
        const bool filled = pick(0, 3) != 0;
        const int rop2 = pick(R2_BLACK, R2_WHITE);
        const POINT org{pick(-8, 8), pick(-8, 8)};
        RECT box{pick(-6, kWidth + 6), pick(-6, kHeight + 6), pick(-6, kWidth + 6),
                 pick(-6, kHeight + 6)};
        if (round % 50 == 0) box = RECT{INT_MIN, pick(-3, 5), INT_MAX, pick(-3, kHeight + 3)};
        const RECT cut{pick(-4, kWidth), pick(-4, kHeight), pick(0, kWidth + 4),
                       pick(0, kHeight + 4)};
        const int clip = pick(0, 2);
        for (HDC dc : {fast.dc, scanned.dc}) {
            SetWindowOrgEx(dc, org.x, org.y, nullptr);
            if (clip == 1) IntersectClipRect(dc, cut.left, cut.top, cut.right, cut.bottom);
            if (clip == 2) ExcludeClipRect(dc, cut.left, cut.top, cut.right, cut.bottom);
            SetROP2(dc, rop2);
        }

        HPEN pen = CreatePen(style, width, penColor);
        HBRUSH brush = filled ? CreateSolidBrush(brushColor) : HBRUSH{0};
        HGDIOBJ oldPen = SelectObject(fast.dc, pen);
        HGDIOBJ oldBrush = SelectObject(fast.dc, filled ? brush : GetStockObject(NULL_BRUSH));
        EXPECT_TRUE(Rectangle(fast.dc, box.left, box.top, box.right, box.bottom));
        SelectObject(fast.dc, oldPen);
        SelectObject(fast.dc, oldBrush);
        DeleteObject(pen);
        if (brush) DeleteObject(brush);

        const platform::ScanPen scanPen{style == PS_NULL          ? platform::PenKind::Null
                                        : style == PS_INSIDEFRAME ? platform::PenKind::InsideFrame
                                                                  : platform::PenKind::Solid,
                                        std::max(width, 1)};
        platform::RectangleParts parts;
        split += platform::SplitRectangle(box, scanPen, filled, parts);
        ScannedRectangle(scanned.dc, box, scanPen, penColor, filled, brushColor, rop2);
        ASSERT_EQ(std::memcmp(fast.bits, scanned.bits, size), 0)
            << "round " << round << ": " << bits << " bits, box " << box.left << ',' << box.top
            << ',' << box.right << ',' << box.bottom << ", style " << style << " width " << width
            << ", rop2 " << rop2 << ", clip " << clip;
    }
    EXPECT_GT(split, 900); // most of them went by rectangles
}

// A window origin that pushes the clip past 32 bits leaves the rectangle to the scan, which
// cuts it in logical coordinates; any other origin may go by rectangles.
TEST(RectangleParts, OnlyAnExactClipSkipsTheScan) {
    Canvas canvas(kWidth, kHeight, 32);
    platform::DcDrawing drawing;
    SetWindowOrgEx(canvas.dc, -7, 12, nullptr);
    ASSERT_TRUE(drawing.Open(canvas.dc));
    EXPECT_TRUE(drawing.ExactClip());
    SetWindowOrgEx(canvas.dc, INT_MAX - 10, 0, nullptr);
    ASSERT_TRUE(drawing.Open(canvas.dc));
    EXPECT_FALSE(drawing.ExactClip());
}

// Pens of four pixels or more have round corners: those figures are scanned.
TEST(RectangleParts, RoundCornersAreLeftToTheScan) {
    platform::RectangleParts parts;
    const RECT box{0, 0, 20, 20};
    EXPECT_TRUE(SplitRectangle(box, {platform::PenKind::Solid, 3}, true, parts));
    EXPECT_EQ(parts.sides, 4u);
    EXPECT_FALSE(SplitRectangle(box, {platform::PenKind::Solid, 4}, true, parts));
    EXPECT_FALSE(SplitRectangle(box, {platform::PenKind::InsideFrame, 9}, true, parts));
    // An inside frame wider than its box is the box alone.
    EXPECT_TRUE(
        SplitRectangle(RECT{0, 0, 5, 30}, {platform::PenKind::InsideFrame, 9}, true, parts));
    EXPECT_EQ(parts.sides, 1u);
    EXPECT_TRUE(parts.interior.Empty());
}

} // namespace
