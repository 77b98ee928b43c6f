#include <gtest/gtest.h>

#include <random>

#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_test_support.h"

namespace {

using gdi_test::Canvas;
using gdi_test::Info;
using gdi_test::MakeInfo;
using gdi_test::RowBytes;

// The truth-table model: each result bit is bit (P * 4 + S * 2 + D) of the operation.
uint32_t Model(int rop3, uint32_t p, uint32_t s, uint32_t d, int bits) {
    uint32_t out = 0;
    for (int b = 0; b < bits; ++b) {
        int index = (p >> b & 1) * 4 + (s >> b & 1) * 2 + (d >> b & 1);
        out |= static_cast<uint32_t>(rop3 >> index & 1) << b;
    }
    return out;
}

uint32_t Pixel(const uint8_t* bits, int index, int bytes) {
    uint32_t value = 0;
    std::memcpy(&value, bits + index * bytes, bytes);
    return value;
}

struct Format {
    int bits;
    DWORD compression;
    COLORREF brush;   // a colour the format holds exactly
    uint32_t pattern; // its pixel
};

class AllRasterOperations : public ::testing::TestWithParam<Format> {};

TEST_P(AllRasterOperations, EqualTheTruthTableOnRandomPixels) {
    const Format f = GetParam();
    const int w = 13, h = 5, bytes = f.bits / 8;
    Info info = MakeInfo(w, -h, f.bits, f.compression);
    if (f.bits == 8) {
        // A table with distinct colours, the brush's at index 0xA5.
        for (int i = 0; i < 256; ++i)
            info.colors[i] =
                static_cast<uint32_t>(i) << 16 | static_cast<uint32_t>(255 - i) << 8 | 7;
        info.colors[0xA5] = 0x563412;
    }
    long live = platform::test::LiveGdiObjects();
    {
        Canvas source(info), target(info);
        ASSERT_NE(target.bits, nullptr);
        HBRUSH brush = CreateSolidBrush(f.brush);
        HGDIOBJ oldBrush = SelectObject(target.dc, brush);
        std::mt19937 random(f.bits);
        const size_t size = static_cast<size_t>(RowBytes(w, f.bits)) * h;
        std::vector<uint8_t> s(size), d(size);
        for (int rop = 0; rop < 256; ++rop) {
            for (size_t i = 0; i < size; ++i) {
                s[i] = static_cast<uint8_t>(random());
                d[i] = static_cast<uint8_t>(random());
            }
            std::memcpy(source.bits, s.data(), size);
            std::memcpy(target.bits, d.data(), size);
            ASSERT_TRUE(
                BitBlt(target.dc, 0, 0, w, h, source.dc, 0, 0, static_cast<DWORD>(rop) << 16));
            for (int y = 0; y < h; ++y) {
                const size_t row = static_cast<size_t>(RowBytes(w, f.bits)) * y;
                for (int x = 0; x < w; ++x) {
                    uint32_t expected = Model(rop, f.pattern, Pixel(s.data() + row, x, bytes),
                                              Pixel(d.data() + row, x, bytes), f.bits);
                    ASSERT_EQ(Pixel(target.bits + row, x, bytes), expected)
                        << "rop " << rop << " at " << x << "," << y;
                }
            }
        }
        SelectObject(target.dc, oldBrush);
        DeleteObject(brush);
    }
    EXPECT_EQ(platform::test::LiveGdiObjects(), live);
}

INSTANTIATE_TEST_SUITE_P(Formats, AllRasterOperations,
                         ::testing::Values(Format{8, BI_RGB, RGB(0x56, 0x34, 0x12), 0xA5},
                                           Format{16, BI_BITFIELDS, RGB(0xF8, 0x04, 0x18), 0xF823},
                                           Format{32, BI_RGB, RGB(0x12, 0x34, 0x56), 0x123456}));

TEST(RasterOperations, SourceCopyKeepsColoursAcrossFormats) {
    // Colours every format holds exactly (5-5-5 at 16 bits).
    const COLORREF colors[] = {RGB(0, 0, 0), RGB(248, 248, 248), RGB(248, 0, 0), RGB(0, 248, 0),
                               RGB(0, 0, 248)};
    const int depths[] = {8, 16, 24, 32};
    for (int from : depths) {
        for (int to : depths) {
            Info fromInfo = MakeInfo(5, 1, from), toInfo = MakeInfo(5, 1, to);
            for (int i = 0; i < 5; ++i)
                fromInfo.colors[i] = toInfo.colors[i] =
                    (colors[i] & 0xFF) << 16 | (colors[i] & 0xFF00) | colors[i] >> 16;
            Canvas a(fromInfo), b(toInfo);
            for (int i = 0; i < 5; ++i)
                SetPixel(a.dc, i, 0, colors[i]);
            ASSERT_TRUE(BitBlt(b.dc, 0, 0, 5, 1, a.dc, 0, 0, SRCCOPY));
            for (int i = 0; i < 5; ++i)
                EXPECT_EQ(GetPixel(b.dc, i, 0), colors[i]) << from << " -> " << to << " #" << i;
        }
    }
}

TEST(RasterOperations, MonochromeSourcesTakeTheTargetsTextAndBackgroundColours) {
    const WORD rows[2] = {0x00A0, 0x0000}; // 1 0 1 0 ..., then 0s; WORD rows
    HBITMAP mono = CreateBitmap(4, 2, 1, 1, rows);
    HDC monoDC = CreateCompatibleDC(0);
    HGDIOBJ old = SelectObject(monoDC, mono);
    Canvas target(4, 2, 32);
    SetTextColor(target.dc, RGB(1, 2, 3));
    SetBkColor(target.dc, RGB(200, 100, 50));
    ASSERT_TRUE(BitBlt(target.dc, 0, 0, 4, 2, monoDC, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(target.dc, 0, 0), RGB(200, 100, 50)); // 1 bits: background
    EXPECT_EQ(GetPixel(target.dc, 1, 0), RGB(1, 2, 3));      // 0 bits: text
    EXPECT_EQ(GetPixel(target.dc, 2, 0), RGB(200, 100, 50));
    EXPECT_EQ(GetPixel(target.dc, 0, 1), RGB(1, 2, 3));

    // Back to mono: 1 where the source has its background colour.
    SetBkColor(target.dc, RGB(1, 2, 3));
    ASSERT_TRUE(BitBlt(monoDC, 0, 0, 4, 2, target.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(monoDC, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(monoDC, 1, 0), RGB(255, 255, 255));
    SelectObject(monoDC, old);
    DeleteObject(mono);
    DeleteDC(monoDC);
}

TEST(RasterOperations, StretchSamplesPixelCentresAndMirrors) {
    Canvas source(4, 1, 32), target(8, 2, 32);
    for (int i = 0; i < 4; ++i)
        SetPixel(source.dc, i, 0, RGB(10 * i, 0, 0));
    ASSERT_TRUE(StretchBlt(target.dc, 0, 0, 8, 2, source.dc, 0, 0, 4, 1, SRCCOPY));
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(GetPixel(target.dc, x, 1), RGB(10 * (x / 2), 0, 0));
    ASSERT_TRUE(StretchBlt(target.dc, 8, 0, -8, 1, source.dc, 0, 0, 4, 1, SRCCOPY));
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(GetPixel(target.dc, x, 0), RGB(10 * (3 - x / 2), 0, 0)) << x;
    ASSERT_TRUE(BitBlt(target.dc, -1000000000, 0, 2000000000, 1, source.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(target.dc, 0, 0, 1, 1, 0, 0, 0, SRCCOPY)); // a source is needed
    EXPECT_TRUE(PatBlt(target.dc, 0, 0, 8, 2, BLACKNESS));
    EXPECT_EQ(GetPixel(target.dc, 7, 1), RGB(0, 0, 0));
    EXPECT_FALSE(PatBlt(target.dc, 0, 0, 8, 2, SRCCOPY));
}

} // namespace
