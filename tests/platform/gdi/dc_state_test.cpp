#include <gtest/gtest.h>

#include <vector>

#include "platform/display/headless_display.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_test_support.h"
#include "platform/gdi/palettes.h"
#include "platform/gdi/text/font_types.h"
#include "platform/user/test_hooks.h"
#include "platform/user/windows.h"
#include "platform/window_recorder.h"

namespace {

using gdi_test::Canvas;
using gdi_test::Info;
using gdi_test::MakeInfo;

class DcState : public ::testing::Test {
protected:
    void SetUp() override { live_ = platform::test::LiveGdiObjects(); }
    void TearDown() override { EXPECT_EQ(platform::test::LiveGdiObjects(), live_); }
    long live_ = 0;
};

TEST_F(DcState, SaveAndRestoreBringBackObjectsColoursOriginAndClip) {
    Canvas canvas(10, 10, 32);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ white = SelectObject(canvas.dc, red);
    EXPECT_EQ(white, GetStockObject(WHITE_BRUSH));
    int level = SaveDC(canvas.dc);
    EXPECT_EQ(level, 1);
    SelectObject(canvas.dc, GetStockObject(BLACK_BRUSH));
    SetTextColor(canvas.dc, RGB(1, 1, 1));
    SetWindowOrgEx(canvas.dc, 5, 5, nullptr);
    IntersectClipRect(canvas.dc, 5, 5, 7, 7);
    EXPECT_EQ(SaveDC(canvas.dc), 2);
    SetBkMode(canvas.dc, TRANSPARENT);
    EXPECT_TRUE(RestoreDC(canvas.dc, -1));
    EXPECT_EQ(GetBkMode(canvas.dc), OPAQUE);
    RECT box;
    EXPECT_EQ(GetClipBox(canvas.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.right, 7);
    EXPECT_TRUE(PatBlt(canvas.dc, 0, 0, 100, 100, PATCOPY)); // logical: origin 5, 5
    EXPECT_EQ(GetPixel(canvas.dc, 5, 5), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 7, 7), CLR_INVALID); // outside the clip
    EXPECT_TRUE(RestoreDC(canvas.dc, level));
    EXPECT_FALSE(RestoreDC(canvas.dc, level)); // gone with it
    EXPECT_EQ(GetTextColor(canvas.dc), RGB(0, 0, 0));
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_BRUSH), red);
    EXPECT_EQ(GetClipBox(canvas.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 10);
    // The brush was deleted while selected: it stays in use there until deselected.
    EXPECT_TRUE(DeleteObject(red));
    RECT all{0, 0, 10, 10};
    EXPECT_TRUE(PatBlt(canvas.dc, 0, 0, 10, 10, PATCOPY));
    EXPECT_EQ(GetPixel(canvas.dc, 9, 9), RGB(255, 0, 0));
    EXPECT_EQ(SelectObject(canvas.dc, red), 0u);
    EXPECT_EQ(SelectObject(canvas.dc, white), red);
    EXPECT_TRUE(FillRect(canvas.dc, &all, GetStockObject(GRAY_BRUSH)));
    EXPECT_FALSE(SetBkMode(canvas.dc, 3));
    EXPECT_FALSE(SetROP2(canvas.dc, 17));
}

TEST_F(DcState, ClipRectanglesAndRegionsCombine) {
    Canvas canvas(20, 20, 32);
    EXPECT_EQ(ExcludeClipRect(canvas.dc, 5, 5, 10, 10), COMPLEXREGION);
    RECT all{0, 0, 20, 20};
    FillRect(canvas.dc, &all, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetPixel(canvas.dc, 4, 4), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(canvas.dc, 5, 5), CLR_INVALID);
    EXPECT_EQ(SelectClipRgn(canvas.dc, 0), SIMPLEREGION);
    EXPECT_EQ(GetPixel(canvas.dc, 5, 5), RGB(0, 0, 0));

    // ExtCreateRegion: the OR of its rectangles, and a count its size cannot hold refused.
    struct {
        RGNDATAHEADER header{32, RDH_RECTANGLES, 2, 32, {0, 0, 0, 0}};
        RECT rects[2] = {{0, 0, 2, 2}, {1, 1, 4, 3}};
    } data;
    HRGN region = ExtCreateRegion(nullptr, sizeof data, reinterpret_cast<RGNDATA*>(&data));
    ASSERT_NE(region, 0u);
    HRGN expected = CreateRectRgn(0, 0, 2, 2);
    HRGN second = CreateRectRgn(1, 1, 4, 3);
    CombineRgn(expected, expected, second, RGN_OR);
    EXPECT_TRUE(EqualRgn(region, expected));
    data.header.nCount = 3;
    EXPECT_EQ(ExtCreateRegion(nullptr, sizeof data, reinterpret_cast<RGNDATA*>(&data)), 0u);
    data.header.nCount = 0x10000001; // times 16 wraps in 32 bits
    EXPECT_EQ(ExtCreateRegion(nullptr, sizeof data, reinterpret_cast<RGNDATA*>(&data)), 0u);

    EXPECT_EQ(SelectObject(canvas.dc, region), static_cast<HGDIOBJ>(COMPLEXREGION));
    PatBlt(canvas.dc, 0, 0, 20, 20, WHITENESS);
    EXPECT_EQ(GetPixel(canvas.dc, 3, 2), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(canvas.dc, 3, 0), CLR_INVALID);
    for (HRGN r : {region, expected, second})
        DeleteObject(r);
}

TEST_F(DcState, PaletteColoursResolveThroughTheSelectedPalette) {
    struct {
        WORD version = 0x300, count = 3;
        PALETTEENTRY entries[3] = {{0, 0, 0, 0}, {200, 0, 0, 0}, {0, 0, 0, 0}};
    } logical;
    HPALETTE palette = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&logical));
    ASSERT_NE(palette, 0u);
    EXPECT_EQ(GetNearestPaletteIndex(palette, RGB(1, 1, 1)), 0u); // ties: the first one
    Info info = MakeInfo(4, 1, 8);
    info.colors[1] = 0xC80000;
    Canvas indexed(info), direct(4, 1, 32);
    for (HDC dc : {indexed.dc, direct.dc})
        EXPECT_EQ(SelectPalette(dc, palette, TRUE), GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(SetPixel(direct.dc, 0, 0, PALETTEINDEX(1)), RGB(200, 0, 0));
    EXPECT_EQ(SetPixel(direct.dc, 1, 0, PALETTERGB(190, 10, 0)), RGB(190, 10, 0));
    EXPECT_EQ(SetPixel(direct.dc, 2, 0, 0x05102030u), 0x102030u); // other high bytes: RGB
    SetPixel(indexed.dc, 0, 0, PALETTERGB(190, 10, 0));
    EXPECT_EQ(indexed.bits[0], 1);
    // Black, however named, lands on the table's first black entry.
    indexed.bits[1] = 7;
    SetPixel(indexed.dc, 1, 0, PALETTEINDEX(2));
    EXPECT_EQ(indexed.bits[1], 0);
    EXPECT_EQ(RealizePalette(indexed.dc), 0u);
    PALETTEENTRY system[4];
    EXPECT_EQ(GetSystemPaletteEntries(indexed.dc, 0, 4, system), 0u);
    PALETTEENTRY changed{1, 2, 3, 0};
    EXPECT_EQ(SetPaletteEntries(palette, 2, 5, &changed), 1u);
    PALETTEENTRY read[3];
    EXPECT_EQ(GetPaletteEntries(palette, 0, 3, read), 3u);
    EXPECT_EQ(read[2].peBlue, 3);
    WORD count = 0;
    EXPECT_EQ(GetObjectA(palette, sizeof count, &count), 2);
    EXPECT_EQ(count, 3);
    for (HDC dc : {indexed.dc, direct.dc})
        SelectPalette(dc, GetStockObject(DEFAULT_PALETTE), TRUE);
    DeleteObject(palette);
    logical.count = 0;
    EXPECT_EQ(CreatePalette(reinterpret_cast<const LOGPALETTE*>(&logical)), 0u);
}

TEST_F(DcState, ObjectsDescribeThemselvesAndStockOnesStay) {
    for (int i = 0; i <= DEFAULT_GUI_FONT; ++i) {
        HGDIOBJ stock = GetStockObject(i);
        EXPECT_EQ(stock == 0, i == 9) << i;
        if (stock) {
            EXPECT_TRUE(DeleteObject(stock));
        }
    }
    LOGFONTA gui{};
    ASSERT_EQ(GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui), int{sizeof gui});
    EXPECT_STREQ(gui.lfFaceName, "MS Shell Dlg");
    EXPECT_EQ(gui.lfHeight, -11);
    HPEN pen = CreatePen(PS_INSIDEFRAME, 0, RGB(1, 2, 3));
    LOGPEN logPen{};
    EXPECT_EQ(GetObjectA(pen, sizeof logPen, &logPen), int{sizeof logPen});
    EXPECT_EQ(logPen.lopnWidth.x, 1);
    EXPECT_EQ(GetObjectType(pen), OBJ_PEN);
    EXPECT_EQ(CreatePen(3, 1, 0), 0u);
    HDC dc = CreateCompatibleDC(0);
    EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);
    EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
    // A deleted font is refused: the DC keeps its own.
    HFONT font = GetCurrentObject(dc, OBJ_FONT);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(SelectObject(dc, pen), 0u);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetDeviceCaps(dc, RASTERCAPS) & (RC_BITBLT | RC_STRETCHBLT | RC_PALETTE),
              RC_BITBLT | RC_STRETCHBLT);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(GetObjectA(pen, sizeof logPen, &logPen), 0);
}

TEST_F(DcState, RectanglesFillFrameAndInvert) {
    Canvas canvas(6, 6, 16, BI_BITFIELDS);
    RECT box{1, 1, 5, 5};
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    EXPECT_TRUE(FrameRect(canvas.dc, &box, brush));
    EXPECT_EQ(GetPixel(canvas.dc, 1, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(canvas.dc, 4, 2), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(canvas.dc, 2, 2), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 5, 5), RGB(0, 0, 0));
    EXPECT_TRUE(InvertRect(canvas.dc, &box));
    EXPECT_EQ(GetPixel(canvas.dc, 2, 2), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(canvas.dc, 1, 1), RGB(255, 255, 0));
    DeleteObject(brush);
    EXPECT_FALSE(FrameRect(canvas.dc, &box, brush));
}

TEST_F(DcState, WindowAndScreenDCsBlitAndReadBack) {
    platform::headless::Install();
    const char* name = window_test::Class("GdiBlit", DefWindowProcA, 0);
    HWND window =
        CreateWindowExA(0, name, "", WS_POPUP | WS_VISIBLE, 0, 0, 16, 16, 0, 0, 0, nullptr);
    HDC dc = GetDC(window);
    Canvas canvas(4, 4, 32);
    RECT all{0, 0, 4, 4};
    HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
    FillRect(canvas.dc, &all, brush);
    ASSERT_TRUE(BitBlt(dc, 2, 3, 4, 4, canvas.dc, 0, 0, SRCCOPY));
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(platform::test::ReadWindowPixels(window, pixels, width, height));
    EXPECT_EQ(pixels[3 * width + 2], 0x0A141Eu);
    EXPECT_EQ(pixels[2 * width + 2], 0u);
    // And from the window back into memory.
    PatBlt(canvas.dc, 0, 0, 4, 4, BLACKNESS);
    ASSERT_TRUE(BitBlt(canvas.dc, 0, 0, 4, 4, dc, 3, 4, SRCCOPY));
    EXPECT_EQ(GetPixel(canvas.dc, 2, 2), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(canvas.dc, 3, 3), RGB(0, 0, 0));

    HDC screen = GetDC(0);
    ASSERT_TRUE(BitBlt(screen, 100, 100, 4, 4, canvas.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(screen, 102, 102), RGB(10, 20, 30));
    ReleaseDC(0, screen);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    DeleteObject(brush);
}

} // namespace
