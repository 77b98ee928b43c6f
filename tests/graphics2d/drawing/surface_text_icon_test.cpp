#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text/font_types.h"

namespace {

class SurfaceTextIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::Install();
        RegisterSurfaceThread();
    }
    void TearDown() override { UnregisterSurfaceThread(); }

    static int CountNot(SurfaceHandle& h, uint32_t background) {
        int count = 0;
        for (int32_t y = 0; y < h.GetHeight(); y++)
            for (int32_t x = 0; x < h.GetWidth(); x++) {
                uint32_t c = 0;
                h.GetPixel(x, y, &c);
                count += c != background;
            }
        return count;
    }
};

TEST_F(SurfaceTextIconTest, TextMeasuresAndDrawsAtEveryDepth) {
    const HFONT font = GetStockObject(DEFAULT_GUI_FONT);
    for (int32_t depth : {8, 16, 24, 32}) {
        SurfaceHandle s;
        s.Create(80, 20, GetPrototypeForDepth(depth));
        s.FillRectAll(0xFFFFFF);
        RECT measured{0, 0, 80, 20};
        ASSERT_GT(s.DrawText("Hello", 5, &measured, DT_CALCRECT | DT_SINGLELINE, 0, font, 0, 0, 0,
                             0, 0, 0, 0),
                  0);
        EXPECT_GT(measured.right, 10);
        EXPECT_LT(measured.right, 60);
        uint32_t background = 0;
        s.GetPixel(0, 0, &background);
        EXPECT_EQ(CountNot(s, background), 0) << "measuring draws nothing";
        const RECT clip{0, 0, 80, 20};
        ASSERT_EQ(s.TextOut("Hello", 5, 2, 2, 0, &clip, 0, font, 0, 0, 0, 0), 1) << depth;
        EXPECT_GT(CountNot(s, background), 10) << depth << " bits";
    }
}

TEST_F(SurfaceTextIconTest, BlackTextThroughTheKeyedTemporaryIsKept) {
    const HFONT font = GetStockObject(DEFAULT_GUI_FONT);
    SurfaceHandle s;
    s.Create(60, 20, GetPrototypeForDepth(8));
    s.FillRectAll(0xFFFFFF);
    uint32_t white = 0;
    s.GetPixel(0, 0, &white);
    RECT rect{0, 0, 60, 20};
    // An operation sends the text through a temporary whose black is the key.
    ASSERT_GT(s.DrawText("Hello", 5, &rect, DT_SINGLELINE, 0, font, 0, kBlitOpBlend, 0, 0, 0, 0, 0),
              0);
    int dark = 0;
    for (int32_t y = 0; y < 20; y++)
        for (int32_t x = 0; x < 60; x++) {
            uint32_t c = 0;
            s.GetPixel(x, y, &c);
            dark += (c & 0xFF) < 0x40;
        }
    EXPECT_GT(dark, 10) << "black text must not vanish as the key";
}

TEST_F(SurfaceTextIconTest, IconsAreCentredAndShrunkKeepingTheirShape) {
    struct Case {
        int32_t width, height;
        RECT drawn; // where the picture lands on a 32 x 32 icon
    };
    const Case cases[] = {{16, 16, {8, 8, 24, 24}}, {64, 32, {0, 8, 32, 24}}};
    for (const Case& c : cases) {
        SurfaceHandle s;
        s.Create(c.width, c.height, GetPrototypeForDepth(32));
        s.FillRectAll(0x0000FF);
        const HICON icon = MakeIconFromSurface(&s, 32, 32, 0x00FF00, nullptr);
        ASSERT_NE(icon, 0u);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        EXPECT_TRUE(info.fIcon);
        // The mask: 1 (transparent) outside the picture, 0 inside.
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[2];
        } maskInfo{};
        maskInfo.header = {sizeof(BITMAPINFOHEADER), 32, -32, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
        uint8_t mask[32 * 4] = {};
        const HDC screen = GetDC(0);
        ASSERT_EQ(GetDIBits(screen, info.hbmMask, 0, 32, mask,
                            reinterpret_cast<BITMAPINFO*>(&maskInfo), DIB_RGB_COLORS),
                  32);
        ReleaseDC(0, screen);
        for (int32_t y = 0; y < 32; y++)
            for (int32_t x = 0; x < 32; x++) {
                const bool inside = x >= c.drawn.left && x < c.drawn.right && y >= c.drawn.top &&
                                    y < c.drawn.bottom;
                const bool transparent = mask[y * 4 + x / 8] & (0x80 >> (x % 8));
                EXPECT_EQ(transparent, !inside)
                    << c.width << "x" << c.height << " at " << x << "," << y;
            }
        DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DestroyIcon(icon);
    }
    POINT hot{3, 4};
    SurfaceHandle s;
    s.Create(8, 8, GetPrototypeForDepth(32));
    const HICON cursor = MakeIconFromSurface(&s, 0, 0, 0, &hot);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 3u);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DestroyIcon(cursor);
}

} // namespace
