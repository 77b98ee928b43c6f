#include <cstring>
#include <vector>

#include "gl_test_support.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gl/offscreen.h"
#include "platform/kernel/kernel_objects.h"

namespace {

using gl_test::Gl;
using gl_test::GlTest;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

TEST_F(GlTest, SwapBuffersPutsTheFrameUnderTheChildWindows) {
    Gl gl;
    HDC dc = 0;
    HGLRC context = 0;
    HWND window = OpenWindow(64, 48, dc, context);
    HWND child = gl_test::MakeWindow(WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, window);
    HDC childDC = GetDC(child);
    RECT inside{0, 0, 20, 20};
    HBRUSH blue = CreateSolidBrush(kBlue);
    FillRect(childDC, &inside, blue);

    gl.ClearColor(1, 0, 0, 1);
    gl.Clear(gl_test::COLOR_BUFFER_BIT);
    gl.Clear(1); // an error of the caller's own drawing is no failure of the swap
    ASSERT_TRUE(SwapBuffers(dc));
    EXPECT_EQ(GetPixel(dc, 0, 0), kRed);
    EXPECT_EQ(GetPixel(dc, 63, 47), kRed);
    EXPECT_EQ(GetPixel(dc, 9, 9), kRed);
    EXPECT_EQ(GetPixel(dc, 30, 30), kRed);
    EXPECT_EQ(GetPixel(childDC, 0, 0), kBlue);
    EXPECT_EQ(GetPixel(childDC, 19, 19), kBlue);

    // A larger client area gets a frame of its size at the next wglMakeCurrent.
    SetWindowPos(window, 0, 0, 0, 100, 70, SWP_NOZORDER | SWP_NOMOVE);
    ASSERT_TRUE(wglMakeCurrent(dc, context));
    gl.ClearColor(0, 1, 0, 1);
    gl.Clear(gl_test::COLOR_BUFFER_BIT);
    ASSERT_TRUE(SwapBuffers(dc));
    EXPECT_EQ(GetPixel(dc, 99, 69), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(childDC, 5, 5), kBlue);

    // Another window's DC is not where the context draws.
    HWND other = gl_test::MakeWindow(WS_POPUP | WS_VISIBLE, 200, 0, 10, 10);
    HDC otherDC = GetDC(other);
    EXPECT_FALSE(SwapBuffers(otherDC));
    EXPECT_FALSE(wglMakeCurrent(otherDC, context)); // no pixel format there

    ReleaseDC(other, otherDC);
    DestroyWindow(other);
    DeleteObject(blue);
    ReleaseDC(child, childDC);
    EXPECT_TRUE(wglDeleteContext(context));
    ReleaseDC(window, dc);
    DestroyWindow(window);
}

TEST_F(GlTest, SharedListsAndDeletedContexts) {
    Gl gl;
    HDC dc = 0;
    HGLRC first = 0;
    HWND window = OpenWindow(16, 16, dc, first);
    HGLRC second = wglCreateContext(dc);
    ASSERT_NE(second, 0u);
    EXPECT_TRUE(wglShareLists(first, second));

    gl.NewList(7, gl_test::COMPILE);
    gl.ClearColor(0, 0, 1, 1);
    gl.EndList();
    ASSERT_TRUE(gl.IsList(7));
    ASSERT_TRUE(wglMakeCurrent(dc, second));
    EXPECT_TRUE(gl.IsList(7));
    // The shared context draws into the window as well.
    gl.Clear(gl_test::COLOR_BUFFER_BIT);
    ASSERT_TRUE(SwapBuffers(dc));

    // A third, unshared, sees none of them.
    HGLRC third = wglCreateContext(dc);
    ASSERT_TRUE(wglMakeCurrent(dc, third));
    EXPECT_FALSE(gl.IsList(7));

    // Deleting the current context leaves none current; its handle is gone.
    size_t before = platform::CountObjects();
    EXPECT_TRUE(wglDeleteContext(third));
    EXPECT_EQ(platform::CountObjects(), before - 1);
    EXPECT_FALSE(SwapBuffers(dc));
    EXPECT_FALSE(wglMakeCurrent(dc, third));
    EXPECT_FALSE(wglDeleteContext(third));
    EXPECT_FALSE(wglShareLists(first, third));

    // The lists live while one context sharing them does.
    EXPECT_TRUE(wglDeleteContext(first));
    ASSERT_TRUE(wglMakeCurrent(dc, second));
    EXPECT_TRUE(gl.IsList(7));
    EXPECT_TRUE(wglDeleteContext(second));
    ReleaseDC(window, dc);
    DestroyWindow(window);
}

TEST_F(GlTest, OffscreenFramesReadBackInEveryDepth) {
    Gl gl;
    HDC dc = 0;
    HGLRC context = 0;
    HWND window = OpenWindow(16, 16, dc, context);
    ASSERT_TRUE(platform::MakeCurrentOffscreen(context, 3, 2));
    gl.ClearColor(1.0f, 0.5f, 0.25f, 1);
    gl.Clear(gl_test::COLOR_BUFFER_BIT);

    std::vector<uint32_t> wide(3 * 2 + 1, 0xDEADBEEF);
    ASSERT_TRUE(platform::ReadOffscreenFrame(wide.data(), 12, 32));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(wide[size_t(i)], 0x00FF8040u) << i;
    EXPECT_EQ(wide[6], 0xDEADBEEFu); // nothing written past the frame

    std::vector<uint8_t> bytes(2 * 10, 0xAA); // rows padded to 10 bytes
    ASSERT_TRUE(platform::ReadOffscreenFrame(bytes.data(), 10, 24));
    EXPECT_EQ(bytes[0], 0x40);
    EXPECT_EQ(bytes[1], 0x80);
    EXPECT_EQ(bytes[2], 0xFF);
    EXPECT_EQ(bytes[9], 0xAA);
    EXPECT_EQ(bytes[18], 0xFF);

    std::vector<uint16_t> words(3 * 2);
    ASSERT_TRUE(platform::ReadOffscreenFrame(words.data(), 6, 16));
    EXPECT_EQ(words[5], uint16_t(0xF800 | 0x80 >> 2 << 5 | 0x40 >> 3));
    EXPECT_FALSE(platform::ReadOffscreenFrame(words.data(), 6, 8));

    // Back to the window: the offscreen frame is no longer read, the window's is swapped.
    ASSERT_TRUE(wglMakeCurrent(dc, context));
    EXPECT_FALSE(platform::ReadOffscreenFrame(wide.data(), 12, 32));
    EXPECT_TRUE(SwapBuffers(dc));
    EXPECT_FALSE(platform::MakeCurrentOffscreen(context, 0, 5));
    EXPECT_TRUE(wglDeleteContext(context));
    EXPECT_FALSE(platform::MakeCurrentOffscreen(context, 4, 4));
    ReleaseDC(window, dc);
    DestroyWindow(window);
}

} // namespace
