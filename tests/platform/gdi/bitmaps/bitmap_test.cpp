#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_test_support.h"
#include "platform/gdi/palettes.h"
#include "platform/system/system_info.h"

namespace {

using gdi_test::Canvas;
using gdi_test::Info;
using gdi_test::MakeInfo;

class Bitmaps : public ::testing::Test {
protected:
    void SetUp() override { live_ = platform::test::LiveGdiObjects(); }
    void TearDown() override {
        EXPECT_EQ(platform::test::LiveGdiObjects(), live_);
        platform::ResetVirtualDisplay();
    }
    long live_ = 0;
};

TEST_F(Bitmaps, DibLayoutsPutRowsWhereTheHeaderSays) {
    Canvas bottomUp(3, 2, 24), topDown(3, -2, 24);
    SetPixel(bottomUp.dc, 0, 0, RGB(1, 2, 3));
    SetPixel(topDown.dc, 0, 0, RGB(1, 2, 3));
    // 3 pixels of 24 bits make 12-byte rows; the bottom-up image starts with its last row.
    EXPECT_EQ(bottomUp.bits[12], 3);
    EXPECT_EQ(bottomUp.bits[13], 2);
    EXPECT_EQ(bottomUp.bits[14], 1);
    EXPECT_EQ(topDown.bits[0], 3);

    // Direct writes and drawing see each other.
    bottomUp.bits[3] = 0x40; // second pixel of the bottom row: blue
    EXPECT_EQ(GetPixel(bottomUp.dc, 1, 1), RGB(0, 0, 0x40));
    RECT all{0, 0, 3, 2};
    FillRect(bottomUp.dc, &all, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(bottomUp.bits[3], 0xFF);
    EXPECT_EQ(bottomUp.bits[9], 0); // the row's padding stays
    EXPECT_EQ(GetPixel(bottomUp.dc, 3, 0), CLR_INVALID);

    DIBSECTION section{};
    ASSERT_EQ(GetObjectA(bottomUp.bitmap, sizeof section, &section), int{sizeof section});
    EXPECT_EQ(section.dsBm.bmBits, bottomUp.bits);
    EXPECT_EQ(section.dsBm.bmWidthBytes, 12);
    EXPECT_EQ(section.dsBmih.biHeight, 2);
    BITMAP bm{};
    EXPECT_EQ(GetObjectA(topDown.bitmap, sizeof bm, &bm), int{sizeof bm});
    EXPECT_EQ(bm.bmBitsPixel, 24);
}

TEST_F(Bitmaps, ColourTablesDecideWhatIndexesShow) {
    Info info = MakeInfo(2, 1, 8);
    info.colors[0] = 0x000000;
    info.colors[1] = 0xFF0000;
    info.colors[2] = 0xFF0000; // the same red again: ties go to the first entry
    Canvas canvas(info);
    EXPECT_EQ(SetPixel(canvas.dc, 0, 0, RGB(250, 10, 0)), RGB(255, 0, 0));
    EXPECT_EQ(canvas.bits[0], 1);
    RGBQUAD green{0, 255, 0, 0};
    EXPECT_EQ(SetDIBColorTable(canvas.dc, 1, 1, &green), 1u);
    EXPECT_EQ(GetPixel(canvas.dc, 0, 0), RGB(0, 255, 0));
    RGBQUAD read[3];
    EXPECT_EQ(GetDIBColorTable(canvas.dc, 254, 3, read), 2u); // clipped to the table
    EXPECT_EQ(SetDIBColorTable(canvas.dc, 256, 1, &green), 0u);

    // DIB_PAL_COLORS tables name entries of the DC's palette when the section is made.
    struct {
        WORD version = 0x300, count = 2;
        PALETTEENTRY entries[2] = {{10, 20, 30, 0}, {40, 50, 60, 0}};
    } logical;
    HPALETTE palette = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&logical));
    HPALETTE oldPalette = SelectPalette(canvas.dc, palette, TRUE);
    Info indexed = MakeInfo(1, 1, 8);
    indexed.header.biClrUsed = 2;
    WORD indexes[2] = {1, 0};
    std::memcpy(indexed.colors, indexes, sizeof indexes);
    void* bits = nullptr;
    HBITMAP made = CreateDIBSection(canvas.dc, indexed.get(), DIB_PAL_COLORS, &bits, 0, 0);
    ASSERT_NE(made, 0u);
    HDC other = CreateCompatibleDC(canvas.dc);
    HGDIOBJ old = SelectObject(other, made);
    EXPECT_EQ(GetPixel(other, 0, 0), RGB(40, 50, 60));
    SelectObject(other, old);
    DeleteDC(other);
    DeleteObject(made);
    SelectPalette(canvas.dc, oldPalette, TRUE);
    DeleteObject(palette);
}

TEST_F(Bitmaps, CallersBitmapInfoIsCheckedBeforeUse) {
    HDC dc = CreateCompatibleDC(0);
    void* bits = reinterpret_cast<void*>(1);
    auto refused = [&](Info info, UINT usage = DIB_RGB_COLORS) {
        HBITMAP made = CreateDIBSection(dc, info.get(), usage, &bits, 0, 0);
        if (made) DeleteObject(made);
        return made == 0 && bits == nullptr;
    };
    EXPECT_TRUE(refused(MakeInfo(4, 4, 7)));
    EXPECT_TRUE(refused(MakeInfo(0, 4, 32)));
    EXPECT_TRUE(refused(MakeInfo(4, 0, 32)));
    Info planes = MakeInfo(4, 4, 32);
    planes.header.biPlanes = 2;
    EXPECT_TRUE(refused(planes));
    Info header = MakeInfo(4, 4, 32);
    header.header.biSize = 12;
    EXPECT_TRUE(refused(header));
    Info colours = MakeInfo(4, 4, 8);
    colours.header.biClrUsed = 257;
    EXPECT_TRUE(refused(colours));
    EXPECT_TRUE(refused(MakeInfo(4, 4, 8, BI_RLE8)));
    Info masks = MakeInfo(4, 4, 16, BI_BITFIELDS);
    masks.colors[0] = 0xF000;
    EXPECT_TRUE(refused(masks));
    EXPECT_TRUE(refused(MakeInfo(1 << 16, 1 << 15, 32))); // 2^33 bytes
    EXPECT_TRUE(refused(MakeInfo(4, -2147483647 - 1, 32)));
    EXPECT_TRUE(refused(MakeInfo(4, 4, 32), 7));
    EXPECT_FALSE(refused(MakeInfo(4, 4, 16, BI_BITFIELDS)));
    EXPECT_EQ(CreateDIBSection(dc, nullptr, DIB_RGB_COLORS, &bits, 0, 0), 0u);
    DeleteDC(dc);
}

TEST_F(Bitmaps, GetDIBitsQueriesSizesAndReadsBackAsTheDisplayShows) {
    ASSERT_TRUE(platform::SetVirtualDisplay(800, 600, 16));
    HDC screen = GetDC(0);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 8);
    HGDIOBJ old = SelectObject(memory, bitmap);
    EXPECT_EQ(SetPixel(memory, 0, 0, RGB(0xFF, 0x87, 0x0F)), RGB(0xFF, 0x86, 0x08));
    SetPixel(memory, 1, 7, RGB(1, 2, 3));
    SelectObject(memory, old);

    Info info = MakeInfo(100, 8, 24);
    ASSERT_GT(GetDIBits(memory, bitmap, 0, 8, nullptr, info.get(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(info.header.biSizeImage, 300u * 8);
    std::vector<uint8_t> bits(info.header.biSizeImage);
    EXPECT_EQ(GetDIBits(memory, bitmap, 0, 8, bits.data(), info.get(), DIB_RGB_COLORS), 8);
    uint8_t* top = bits.data() + 300 * 7; // bottom-up: the top row is the last
    EXPECT_EQ(top[0], 0x08);
    EXPECT_EQ(top[1], 0x86); // 5-6-5 widened with the top bits repeated
    EXPECT_EQ(top[2], 0xFF);
    EXPECT_EQ(bits[3], 0); // (1, 7) of 1, 2, 3 keeps nothing at 5-6-5

    // Only some rows: the buffer holds those.
    std::vector<uint8_t> one(300);
    EXPECT_EQ(GetDIBits(memory, bitmap, 7, 5, one.data(), info.get(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(one[2], 0xFF);

    // And written back with SetDIBits.
    top[2] = 0;
    EXPECT_EQ(SetDIBits(memory, bitmap, 0, 8, bits.data(), info.get(), DIB_RGB_COLORS), 8);
    SelectObject(memory, bitmap);
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(0, 0x86, 0x08));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(0, screen);
}

TEST_F(Bitmaps, StretchDIBitsCountsTheSourceFromTheBottomAndMirrors) {
    // A 2 x 3 bottom-up image: rows from the bottom 10, 20, 30 in red.
    Info info = MakeInfo(2, 3, 32);
    uint32_t bits[6] = {0x0A0000, 0x0A0000, 0x140000, 0x150000, 0x1E0000, 0x1F0000};
    Canvas target(2, 3, 32);
    ASSERT_EQ(
        StretchDIBits(target.dc, 0, 0, 2, 3, 0, 0, 2, 3, bits, info.get(), DIB_RGB_COLORS, SRCCOPY),
        3);
    EXPECT_EQ(GetPixel(target.dc, 0, 0), RGB(30, 0, 0));
    EXPECT_EQ(GetPixel(target.dc, 0, 2), RGB(10, 0, 0));
    // Source y 1 from the bottom, one row: the middle row.
    StretchDIBits(target.dc, 0, 0, 2, 1, 0, 1, 2, 1, bits, info.get(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(GetPixel(target.dc, 1, 0), RGB(21, 0, 0));
    // Mirrored across.
    StretchDIBits(target.dc, 1, 0, -2, 3, 0, 0, 2, 3, bits, info.get(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(GetPixel(target.dc, 0, 0), RGB(31, 0, 0));
    EXPECT_EQ(GetPixel(target.dc, 1, 0), RGB(30, 0, 0));
    EXPECT_EQ(
        StretchDIBits(target.dc, 0, 0, 2, 3, 0, 0, 2, 3, bits, nullptr, DIB_RGB_COLORS, SRCCOPY),
        0);
}

TEST_F(Bitmaps, StretchDIBitsAnswersTheImagesSignedHeightAndCountsFromItsBottom) {
    std::vector<uint32_t> wide(20 * 15, 0x102030);
    Canvas target(60, 30, 32);
    EXPECT_EQ(StretchDIBits(target.dc, 0, 0, 40, 30, 0, 0, 20, 15, wide.data(),
                            MakeInfo(20, 15, 32).get(), DIB_RGB_COLORS, SRCCOPY),
              15);
    EXPECT_EQ(GetPixel(target.dc, 39, 29), RGB(0x10, 0x20, 0x30));

    // Top-down: rows from the top 30, 20, 10 in red; the source's y still counts from the
    // bottom row.
    Info topDown = MakeInfo(2, -3, 32);
    const uint32_t rows[6] = {0x1E0000, 0x1E0000, 0x140000, 0x140000, 0x0A0000, 0x0A0000};
    EXPECT_EQ(StretchDIBits(target.dc, 0, 0, 2, 1, 0, 0, 2, 1, rows, topDown.get(), DIB_RGB_COLORS,
                            SRCCOPY),
              3);
    EXPECT_EQ(GetPixel(target.dc, 0, 0), RGB(10, 0, 0));
    const uint32_t four[8] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                              0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    EXPECT_EQ(StretchDIBits(target.dc, 0, 0, 2, 4, 0, 0, 2, 4, four, MakeInfo(2, -4, 32).get(),
                            DIB_RGB_COLORS, SRCAND),
              -4);

    // Negative extents cover the origin and the pixels before it: x and y 49..50 and 9..10.
    PatBlt(target.dc, 0, 0, 60, 30, WHITENESS);
    std::vector<uint32_t> black(16, 0);
    EXPECT_EQ(StretchDIBits(target.dc, 50, 10, -2, -2, 2, 3, -2, -2, black.data(),
                            MakeInfo(4, 4, 32).get(), DIB_RGB_COLORS, SRCCOPY),
              4);
    gdi_test::Painted painted(target.dc, 60, 30, RGB(255, 255, 255));
    EXPECT_EQ(painted.count, 4);
    EXPECT_EQ(painted.bounds.left, 49);
    EXPECT_EQ(painted.bounds.top, 9);
    EXPECT_EQ(painted.bounds.right, 51);
    EXPECT_EQ(painted.bounds.bottom, 11);
}

// A 4 x 4 image drawn whole, as a 3 x 3 part and with both extents negative: a top-down one
// answers 4 under SRCCOPY and -4 under SRCAND, a bottom-up one 4 under both.
TEST_F(Bitmaps, StretchDIBitsAnswersATopDownImagesHeightSignedByTheRasterOperation) {
    const std::vector<uint32_t> white(16, 0xFFFFFF);
    struct Call {
        int x, y, width, height, sourceX, sourceY, sourceWidth, sourceHeight;
    };
    const Call calls[] = {
        {0, 0, 4, 4, 0, 0, 4, 4}, {0, 0, 3, 3, 1, 1, 3, 3}, {3, 3, -4, -4, 3, 3, -4, -4}};
    for (int height : {-4, 4}) {
        Info info = MakeInfo(4, height, 32);
        for (DWORD rop : {SRCCOPY, SRCAND}) {
            const int expected = height < 0 && rop == SRCAND ? -4 : 4;
            for (const Call& c : calls) {
                Canvas target(8, 8, 32);
                EXPECT_EQ(StretchDIBits(target.dc, c.x, c.y, c.width, c.height, c.sourceX,
                                        c.sourceY, c.sourceWidth, c.sourceHeight, white.data(),
                                        info.get(), DIB_RGB_COLORS, rop),
                          expected)
                    << height << " " << std::hex << rop << " " << c.width;
            }
        }
    }
}

TEST_F(Bitmaps, BitmapsGoIntoOneMemoryDCAtATime) {
    HDC a = CreateCompatibleDC(0), b = CreateCompatibleDC(0);
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
    HGDIOBJ first = SelectObject(a, bitmap);
    EXPECT_NE(first, 0u);
    EXPECT_EQ(SelectObject(b, bitmap), 0u);
    HDC window = GetDC(0);
    EXPECT_EQ(SelectObject(window, bitmap), 0u); // no bitmaps in display DCs
    ReleaseDC(0, window);
    // Deleted while selected: the DC keeps drawing on it until it lets it go.
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(SetPixel(a, 7, 7, RGB(9, 9, 9)), RGB(9, 9, 9));
    EXPECT_EQ(SelectObject(a, bitmap), 0u);
    EXPECT_EQ(SelectObject(a, first), bitmap);
    DeleteDC(a);
    DeleteDC(b);
}

} // namespace
