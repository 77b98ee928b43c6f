#include <cstring>

#include "gl_test_support.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text/text_out.h"

namespace {

using gl_test::Gl;
using gl_test::GlTest;

// The bounds of the white pixels of a window's client area.
RECT WhiteBounds(HDC dc, int width, int height) {
    RECT bounds{width, height, -1, -1};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (GetPixel(dc, x, y) != RGB(255, 255, 255)) continue;
            bounds.left = std::min<LONG>(bounds.left, x);
            bounds.top = std::min<LONG>(bounds.top, y);
            bounds.right = std::max<LONG>(bounds.right, x + 1);
            bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
        }
    }
    return bounds;
}

TEST_F(GlTest, FontBitmapsDrawTheGlyphsOfTheSelectedFontOnTheBaseLine) {
    Gl gl;
    HDC dc = 0;
    HGLRC context = 0;
    HWND window = OpenWindow(64, 40, dc, context);
    LOGFONTA font{};
    font.lfHeight = -20;
    font.lfQuality = NONANTIALIASED_QUALITY;
    std::strcpy(font.lfFaceName, "DejaVu Sans");
    HFONT handle = CreateFontIndirectA(&font);
    HGDIOBJ old = SelectObject(dc, handle);
    ASSERT_TRUE(wglUseFontBitmapsA(dc, 0, 256, 1000));
    EXPECT_TRUE(gl.IsList(1000));
    EXPECT_TRUE(gl.IsList(1255));
    EXPECT_FALSE(gl.IsList(1256));
    EXPECT_FALSE(wglUseFontBitmapsA(dc, 200, 57, 2000)); // past character 255

    gl.ClearColor(0, 0, 0, 1);
    gl.Clear(gl_test::COLOR_BUFFER_BIT);
    gl.Color3f(1, 1, 1);
    // Identity matrices: the raster position in normalised coordinates, the base line at
    // y = 30 from the top.
    gl.RasterPos2f(-1.0f + 2.0f * 10 / 64, 1.0f - 2.0f * 30 / 40);
    gl.ListBase(1000);
    gl.CallLists(2, gl_test::UNSIGNED_BYTE, "T_");
    ASSERT_TRUE(SwapBuffers(dc));

    // "T" stands on the base line from near the pen; "_" is drawn after T's advance, below
    // the base line.
    RECT bounds = WhiteBounds(dc, 64, 40);
    EXPECT_GE(bounds.left, 10);
    EXPECT_LE(bounds.left, 12);
    EXPECT_GE(bounds.top, 12);
    EXPECT_LE(bounds.top, 18);
    EXPECT_GT(bounds.bottom, 30); // the underscore
    EXPECT_LE(bounds.bottom, 36);
    SIZE extent{};
    GetTextExtentPoint32A(dc, "T", 1, &extent);
    EXPECT_GE(bounds.right, 10 + extent.cx); // past the T's advance

    SelectObject(dc, old);
    DeleteObject(handle);
    EXPECT_TRUE(wglDeleteContext(context));
    EXPECT_FALSE(wglUseFontBitmapsA(dc, 0, 1, 1000)); // no context current
    ReleaseDC(window, dc);
    DestroyWindow(window);
}

} // namespace
