#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_test_support.h"

namespace {

using gdi_test::Canvas;
using gdi_test::Info;
using gdi_test::MakeInfo;
using gdi_test::Painted;
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
    const COLORREF colors[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 255, 0),
                               RGB(0, 0, 132)};
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

TEST(RasterOperations, SolidFillsCoverTheirRowExactlyAtEveryLength) {
    // Fills store whole blocks, then single pixels: every length and depth ends in place.
    for (int bits : {16, 24, 32}) {
        Canvas canvas(80, 1, bits);
        for (int length = 0; length < 78; ++length) {
            PatBlt(canvas.dc, 0, 0, 80, 1, WHITENESS);
            ASSERT_TRUE(PatBlt(canvas.dc, 1, 0, length, 1, BLACKNESS));
            for (int x = 0; x < 80; ++x) {
                bool inside = x >= 1 && x <= length;
                ASSERT_EQ(GetPixel(canvas.dc, x, 0), inside ? RGB(0, 0, 0) : RGB(255, 255, 255))
                    << bits << " bits, length " << length << ", x " << x;
            }
        }
    }
}

TEST(RasterOperations, SixteenBitChannelsWidenWithTheirTopBitsRepeated) {
    Canvas fiveFiveFive(2, 1, 16), wide(4, 1, 32);
    const uint16_t pixels[2] = {0x7FFF, 0x4210}; // white; 16 of 31 in every channel
    std::memcpy(fiveFiveFive.bits, pixels, sizeof pixels);
    ASSERT_TRUE(BitBlt(wide.dc, 0, 0, 2, 1, fiveFiveFive.dc, 0, 0, SRCCOPY));
    ASSERT_TRUE(StretchBlt(wide.dc, 2, 0, 2, 1, fiveFiveFive.dc, 1, 0, 1, 1, SRCCOPY));
    EXPECT_EQ(Pixel(wide.bits, 0, 4), 0xFFFFFFu);
    EXPECT_EQ(Pixel(wide.bits, 1, 4), 0x848484u);
    EXPECT_EQ(Pixel(wide.bits, 3, 4), 0x848484u);
    EXPECT_EQ(GetPixel(fiveFiveFive.dc, 0, 0), RGB(255, 255, 255));

    Canvas fiveSixFive(1, 1, 16, BI_BITFIELDS);
    EXPECT_EQ(SetPixel(fiveSixFive.dc, 0, 0, 0x9933CC), 0x9C30CEu);
    EXPECT_EQ(GetPixel(fiveSixFive.dc, 0, 0), 0x9C30CEu);
}

TEST(RasterOperations, ColoursMatchAnEightBitTableFromTheMiddleOfTheirStep) {
    // A 6 x 6 x 6 cube; each channel is taken to (c & ~7) + 4 before the search.
    Info info = MakeInfo(3, 1, 8);
    for (uint32_t i = 0; i < 216; ++i)
        info.colors[i] = (i / 36 * 51) << 16 | (i / 6 % 6 * 51) << 8 | (i % 6 * 51);
    Canvas indexed(info), source(1, 1, 32);
    const COLORREF between = RGB(230, 226, 15), matched = RGB(204, 204, 0);
    EXPECT_EQ(SetPixel(indexed.dc, 0, 0, between), matched);
    EXPECT_EQ(indexed.bits[0], 4 * 36 + 4 * 6);
    SetPixel(source.dc, 0, 0, between);
    ASSERT_TRUE(BitBlt(indexed.dc, 1, 0, 1, 1, source.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(indexed.dc, 1, 0), matched);
    HBRUSH brush = CreateSolidBrush(between);
    RECT last{2, 0, 3, 1};
    EXPECT_TRUE(FillRect(indexed.dc, &last, brush));
    DeleteObject(brush);
    EXPECT_EQ(GetPixel(indexed.dc, 2, 0), matched);
}

// Red 128..135 and green 80..87 are taken to 132 and 84, halfway between two entries 10
// apart: entries 1 (127) and 2 (137) for red, 3 (89) and 4 (79) for green. The first of
// equally near entries is the answer on every path into an 8-bit image, whichever is
// brighter, and whether or not the image is large enough to search a colour once.
TEST(RasterOperations, EightBitTargetsTakeTheFirstOfEquallyNearEntries) {
    Info table = MakeInfo(64, -64, 8);
    const uint32_t entries[] = {0xFFFFFF, 0x7F0000, 0x890000, 0x005900, 0x004F00};
    std::memcpy(table.colors, entries, sizeof entries);
    // Even columns red, odd ones green, the low bits of each changing down the rows.
    auto paint = [](Canvas& source, int width, int height) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                SetPixel(source.dc, x, y,
                         x % 2 == 0 ? RGB(128 + y % 8, 0, 0) : RGB(0, 80 + y % 8, 0));
    };
    auto expectTies = [](const Canvas& target, int width, int height, const char* path) {
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                wrong += target.bits[y * 64 + x] != (x % 2 == 0 ? 1 : 3);
        EXPECT_EQ(wrong, 0) << path;
    };
    for (int size : {2, 64}) {
        Canvas wide(MakeInfo(size, -size, 32)), fiveFiveFive(MakeInfo(size, -size, 16)),
            fiveSixFive(MakeInfo(size, -size, 16, BI_BITFIELDS));
        for (Canvas* source : {&wide, &fiveFiveFive, &fiveSixFive}) {
            paint(*source, size, size);
            Canvas copied(table), stretched(table);
            ASSERT_TRUE(BitBlt(copied.dc, 0, 0, size, size, source->dc, 0, 0, SRCCOPY));
            expectTies(copied, size, size, "BitBlt");
            // Twice as tall, so that it samples rather than copies.
            ASSERT_TRUE(StretchBlt(stretched.dc, 0, 0, size, 2 * size, source->dc, 0, 0, size, size,
                                   SRCCOPY));
            expectTies(stretched, size, std::min(2 * size, 64), "StretchBlt");
        }
        std::vector<uint32_t> bits(static_cast<size_t>(size) * size);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                bits[static_cast<size_t>(y) * size + x] =
                    x % 2 == 0 ? uint32_t(128 + y % 8) << 16 : uint32_t(80 + y % 8) << 8;
        Info info = MakeInfo(size, -size, 32);
        Canvas set(table), drawn(table);
        ASSERT_EQ(SetDIBits(set.dc, set.bitmap, 0, size, bits.data(), info.get(), DIB_RGB_COLORS),
                  size);
        expectTies(set, size, size, "SetDIBits");
        ASSERT_NE(StretchDIBits(drawn.dc, 0, 0, size, size, 0, 0, size, size, bits.data(),
                                info.get(), DIB_RGB_COLORS, SRCCOPY),
                  0);
        expectTies(drawn, size, size, "StretchDIBits");
    }
    // A colour set directly ties the same way.
    Canvas pixel(table);
    EXPECT_EQ(SetPixel(pixel.dc, 0, 0, RGB(131, 0, 0)), RGB(127, 0, 0));
    EXPECT_EQ(SetPixel(pixel.dc, 1, 0, RGB(0, 86, 0)), RGB(0, 89, 0));
}

TEST(RasterOperations, NegativeExtentsCoverTheOriginAndThePixelsBeforeIt) {
    Canvas canvas(64, 50, 32);
    const COLORREF white = RGB(255, 255, 255);
    auto expectPainted = [&](RECT bounds, int count) {
        Painted painted(canvas.dc, 64, 50, white);
        EXPECT_EQ(painted.bounds.left, bounds.left);
        EXPECT_EQ(painted.bounds.top, bounds.top);
        EXPECT_EQ(painted.bounds.right, bounds.right);
        EXPECT_EQ(painted.bounds.bottom, bounds.bottom);
        EXPECT_EQ(painted.count, count);
        PatBlt(canvas.dc, 0, 0, 64, 50, WHITENESS);
    };
    PatBlt(canvas.dc, 0, 0, 64, 50, WHITENESS);
    EXPECT_TRUE(PatBlt(canvas.dc, 40, 40, -6, -5, BLACKNESS)); // x 35..40, y 36..40
    expectPainted(RECT{35, 36, 41, 41}, 30);

    // FillRect and InvertRect take a backwards rectangle as PatBlt's extents.
    HBRUSH black = GetStockObject(BLACK_BRUSH);
    RECT backwards{60, 12, 45, 2};
    EXPECT_TRUE(FillRect(canvas.dc, &backwards, black)); // x 46..60, y 3..12
    expectPainted(RECT{46, 3, 61, 13}, 150);
    RECT inverted{40, 12, 30, 2};
    EXPECT_TRUE(InvertRect(canvas.dc, &inverted)); // x 31..40, y 3..12
    expectPainted(RECT{31, 3, 41, 13}, 100);
    RECT across{10, 2, 5, 4}; // backwards in x only
    EXPECT_TRUE(FillRect(canvas.dc, &across, black));
    expectPainted(RECT{6, 2, 11, 4}, 10);

    // StretchBlt mirrors into x 3..50.
    Canvas source(16, 12, 32);
    PatBlt(source.dc, 0, 0, 16, 12, BLACKNESS);
    EXPECT_TRUE(StretchBlt(canvas.dc, 50, 42, -48, 36, source.dc, 0, 0, 16, 12, SRCCOPY));
    expectPainted(RECT{3, 42, 51, 50}, 48 * 8);
}

TEST(RasterOperations, NegativeSourceExtentsReadTheOriginAndThePixelsBeforeIt) {
    Canvas source(4, 1, 32), target(6, 1, 32);
    for (int i = 0; i < 4; ++i)
        SetPixel(source.dc, i, 0, RGB(10 * (i + 1), 0, 0));
    PatBlt(target.dc, 0, 0, 6, 1, WHITENESS);
    // Source x 3 .. 0, mirrored onto target x 0 .. 3.
    ASSERT_TRUE(StretchBlt(target.dc, 0, 0, 4, 1, source.dc, 3, 0, -4, 1, SRCCOPY));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(GetPixel(target.dc, x, 0), RGB(10 * (4 - x), 0, 0)) << x;
    EXPECT_EQ(GetPixel(target.dc, 4, 0), RGB(255, 255, 255));
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
    ASSERT_TRUE(StretchBlt(target.dc, 7, 0, -8, 1, source.dc, 0, 0, 4, 1, SRCCOPY));
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(GetPixel(target.dc, x, 0), RGB(10 * (3 - x / 2), 0, 0)) << x;
    ASSERT_TRUE(BitBlt(target.dc, -1000000000, 0, 2000000000, 1, source.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(target.dc, 0, 0, 1, 1, 0, 0, 0, SRCCOPY)); // a source is needed
    EXPECT_TRUE(PatBlt(target.dc, 0, 0, 8, 2, BLACKNESS));
    EXPECT_EQ(GetPixel(target.dc, 7, 1), RGB(0, 0, 0));
    EXPECT_FALSE(PatBlt(target.dc, 0, 0, 8, 2, SRCCOPY));
}

// StretchBlt between memory DCs samples the source's own pixels; it equals StretchDIBits of
// the same bits, which samples a copy of them, in every format, under operations that mix in
// the pattern and the destination, mirrored, and through a clip of several rectangles.
TEST(RasterOperations, StretchBetweenMemoryDCsEqualsStretchingTheBits) {
    std::mt19937 random(11);
    auto scramble = [&](uint8_t* bytes, size_t count) {
        for (size_t i = 0; i < count; ++i)
            bytes[i] = static_cast<uint8_t>(random());
    };
    const HBRUSH brush = CreateSolidBrush(RGB(90, 160, 30));
    for (int bits : {8, 16, 24, 32}) {
        Info sourceInfo = MakeInfo(13, -7, bits), targetInfo = MakeInfo(40, -24, bits);
        for (uint32_t i = 0; i < 256; ++i)
            sourceInfo.colors[i] = targetInfo.colors[i] = i * 0x010101u;
        Canvas source(sourceInfo);
        scramble(source.bits, static_cast<size_t>(RowBytes(13, bits)) * 7);
        const size_t size = static_cast<size_t>(RowBytes(40, bits)) * 24;
        for (DWORD rop : {DWORD{SRCCOPY}, DWORD{SRCINVERT}, DWORD{0x00B8074A}}) {
            for (auto [w, h] : {std::pair{29, 17}, std::pair{-29, 17}, std::pair{9, -5}}) {
                Canvas direct(targetInfo), copied(targetInfo);
                scramble(direct.bits, size);
                std::memcpy(copied.bits, direct.bits, size);
                for (HDC dc : {direct.dc, copied.dc}) {
                    SelectObject(dc, brush);
                    IntersectClipRect(dc, 2, 1, 38, 22);
                    ExcludeClipRect(dc, 10, 5, 20, 12);
                }
                const int x = w < 0 ? 35 : 3, y = h < 0 ? 20 : 2;
                ASSERT_TRUE(StretchBlt(direct.dc, x, y, w, h, source.dc, 0, 0, 13, 7, rop));
                ASSERT_NE(StretchDIBits(copied.dc, x, y, w, h, 0, 0, 13, 7, source.bits,
                                        sourceInfo.get(), DIB_RGB_COLORS, rop),
                          0);
                EXPECT_EQ(std::memcmp(direct.bits, copied.bits, size), 0)
                    << bits << " bits, operation " << rop << ", " << w << " x " << h;
                for (HDC dc : {direct.dc, copied.dc})
                    SelectObject(dc, GetStockObject(WHITE_BRUSH));
            }
        }
    }
    DeleteObject(brush);
}

// A large image converted onto an 8-bit target takes the entries that converting it a row
// at a time gives, whatever colours the table repeats.
TEST(RasterOperations, LargeConversionsOntoEightBitsEqualSmallOnes) {
    std::mt19937 random(5);
    Canvas source(96, -64, 32);
    for (size_t i = 0; i < size_t{96} * 64 * 4; ++i)
        source.bits[i] = static_cast<uint8_t>(random());
    Info eight = MakeInfo(96, -64, 8);
    for (uint32_t& color : eight.colors)
        color = random() & 0xE0E0E0u; // coarse, so that entries repeat
    Canvas whole(eight), rows(eight);
    ASSERT_TRUE(BitBlt(whole.dc, 0, 0, 96, 64, source.dc, 0, 0, SRCCOPY));
    for (int y = 0; y < 64; ++y)
        ASSERT_TRUE(BitBlt(rows.dc, 0, y, 96, 1, source.dc, 0, y, SRCCOPY));
    EXPECT_EQ(std::memcmp(whole.bits, rows.bits, size_t{96} * 64), 0);
}

// A blit within one DC reads every source pixel before it is overwritten, whichever way it
// moves and through a clip of several rectangles a row: it equals the same blit from an
// untouched copy.
TEST(RasterOperations, BlitsWithinOneDCEqualBlitsFromACopy) {
    const int w = 21, h = 9;
    std::mt19937 random(7);
    long live = platform::test::LiveGdiObjects();
    for (int bits : {1, 8, 24, 32}) {
        Info info = MakeInfo(w, -h, bits);
        for (int i = 0; i < 256; ++i)
            info.colors[i] = static_cast<uint32_t>(random()) & 0xFFFFFF;
        const size_t size = static_cast<size_t>(RowBytes(w, bits)) * h;
        for (DWORD rop : {SRCCOPY, SRCINVERT, NOTSRCCOPY})
            for (int dy = -2; dy <= 2; dy += 2)
                for (int dx = -3; dx <= 3; dx += 3) {
                    Canvas moved(info), expected(info), original(info);
                    for (size_t i = 0; i < size; ++i)
                        moved.bits[i] = static_cast<uint8_t>(random());
                    std::memcpy(expected.bits, moved.bits, size);
                    std::memcpy(original.bits, moved.bits, size);
                    for (HDC dc : {moved.dc, expected.dc})
                        ExcludeClipRect(dc, 8, 3, 11, 6);
                    ASSERT_TRUE(BitBlt(moved.dc, 3 + dx, 2 + dy, 15, 5, moved.dc, 3, 2, rop));
                    ASSERT_TRUE(BitBlt(expected.dc, 3 + dx, 2 + dy, 15, 5, original.dc, 3, 2, rop));
                    ASSERT_EQ(std::memcmp(moved.bits, expected.bits, size), 0)
                        << bits << " bits, rop " << std::hex << rop << std::dec << ", by " << dx
                        << "," << dy;
                }
    }
    EXPECT_EQ(platform::test::LiveGdiObjects(), live);
}

} // namespace
