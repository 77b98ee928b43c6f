#include "gl_test_support.h"

namespace {

using gl_test::GlTest;
using gl_test::Wanted;

TEST_F(GlTest, EveryColourDepthGetsTheClosestFormat) {
    HWND window = gl_test::MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
    HDC dc = GetDC(window);
    struct Row {
        BYTE colorBits;
        BYTE depthBits;
        int depthGiven; // 0: no format
    };
    const Row table[] = {
        {15, 16, 16}, {16, 16, 16}, {24, 16, 16}, {32, 16, 16}, {16, 24, 24},
        {32, 24, 24}, {16, 32, 24}, {32, 32, 24}, {24, 0, 16},  {32, 20, 16},
        {32, 21, 24}, {0, 24, 24},  {8, 16, 0},   {4, 24, 0},
    };
    for (const Row& row : table) {
        PIXELFORMATDESCRIPTOR pfd = Wanted(row.colorBits, row.depthBits);
        int format = ChoosePixelFormat(dc, &pfd);
        SCOPED_TRACE(testing::Message() << int(row.colorBits) << " " << int(row.depthBits));
        if (row.depthGiven == 0) {
            EXPECT_EQ(format, 0);
            continue;
        }
        PIXELFORMATDESCRIPTOR given;
        ASSERT_EQ(DescribePixelFormat(dc, format, 40, &given), 2);
        EXPECT_EQ(given.cDepthBits, row.depthGiven);
        EXPECT_EQ(given.cColorBits, 32);
        EXPECT_EQ(given.iPixelType, PFD_TYPE_RGBA);
        EXPECT_EQ(given.cRedShift, 16);
        EXPECT_EQ(given.cAlphaBits, 8);
        EXPECT_EQ(given.dwFlags & 0x25u, 0x25u);
    }
    PIXELFORMATDESCRIPTOR palette = Wanted(32, 24);
    palette.iPixelType = PFD_TYPE_COLORINDEX;
    EXPECT_EQ(ChoosePixelFormat(dc, &palette), 0);
    EXPECT_EQ(ChoosePixelFormat(dc, nullptr), 0);
    EXPECT_EQ(DescribePixelFormat(dc, 0, 0, nullptr), 2);
    PIXELFORMATDESCRIPTOR out;
    EXPECT_EQ(DescribePixelFormat(dc, 3, 40, &out), 0);
    EXPECT_EQ(DescribePixelFormat(dc, 1, 39, &out), 0);
    EXPECT_EQ(ChoosePixelFormat(GetDC(0), &palette), 0); // the screen's DC has no window
    ReleaseDC(window, dc);
    DestroyWindow(window);
}

TEST_F(GlTest, AWindowKeepsItsFirstPixelFormat) {
    HWND window = gl_test::MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
    HDC dc = GetDC(window);
    HDC other = GetDC(window);
    PIXELFORMATDESCRIPTOR pfd = Wanted(16, 16);
    EXPECT_EQ(GetPixelFormat(dc), 0);
    EXPECT_FALSE(wglCreateContext(dc)); // no format yet
    EXPECT_FALSE(SetPixelFormat(dc, 3, &pfd));
    EXPECT_TRUE(SetPixelFormat(dc, 2, &pfd));
    EXPECT_EQ(GetPixelFormat(other), 2); // the window's, whatever its DC
    EXPECT_TRUE(SetPixelFormat(other, 2, &pfd));
    EXPECT_FALSE(SetPixelFormat(other, 1, &pfd));
    EXPECT_EQ(GetPixelFormat(dc), 2);
    ReleaseDC(window, dc);
    ReleaseDC(window, other);
    DestroyWindow(window);
}

TEST_F(GlTest, HooksRefuseFormatsAndContexts) {
    HWND window = gl_test::MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR pfd16 = Wanted(16, 16);
    PIXELFORMATDESCRIPTOR pfd32 = Wanted(32, 16);

    platform::test::SetOpenGLFailures({.only32BitFormats = true});
    EXPECT_EQ(ChoosePixelFormat(dc, &pfd16), 0);
    EXPECT_EQ(ChoosePixelFormat(dc, &pfd32), 2); // the retry at 32 bits keeps the depth

    platform::test::SetOpenGLFailures({.noPixelFormat = true});
    EXPECT_EQ(ChoosePixelFormat(dc, &pfd32), 0);

    platform::test::SetOpenGLFailures({.refusePixelFormat = true});
    EXPECT_FALSE(SetPixelFormat(dc, 2, &pfd32));
    EXPECT_EQ(GetPixelFormat(dc), 0);

    platform::test::SetOpenGLFailures({.noContext = true});
    EXPECT_TRUE(SetPixelFormat(dc, 2, &pfd32));
    EXPECT_EQ(wglCreateContext(dc), 0u);

    platform::test::SetOpenGLFailures({.noFramebuffer = true});
    HGLRC context = wglCreateContext(dc);
    ASSERT_NE(context, 0u);
    EXPECT_FALSE(wglMakeCurrent(dc, context));
    EXPECT_FALSE(SwapBuffers(dc)); // nothing current

    platform::test::SetOpenGLFailures({});
    EXPECT_TRUE(wglMakeCurrent(dc, context));
    EXPECT_TRUE(SwapBuffers(dc));
    EXPECT_TRUE(wglDeleteContext(context));
    ReleaseDC(window, dc);
    DestroyWindow(window);
}

} // namespace
