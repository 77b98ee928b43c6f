// On a real X server (Xvfb in CI): contexts come from SDL on the sdl display, and a frame
// reaches the SDL window with the child window drawn over it.
#include <cstdlib>
#include <string>

#include "gl_test_support.h"
#include "platform/display/display_backend.h"
#include "platform/display/sdl_test_hooks.h"
#include "platform/gdi/gdi_objects.h"

namespace {

using gl_test::Gl;

TEST(OpenGLOnScreen, TheFrameShowsWithTheChildOverIt) {
    // A desktop's DISPLAY alone does not put tests on screen: .ci/run names the driver
    // when it starts Xvfb for this test.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (std::getenv("DISPLAY") == nullptr || driver == nullptr || std::string(driver) != "x11")
        GTEST_SKIP() << "runs under an X server with SDL_VIDEODRIVER=x11 (.ci/run starts Xvfb)";
    if (std::string(platform::test::OpenGLProviderName()) != "")
        GTEST_SKIP() << "another test of this process chose where contexts come from";
    setenv("ZORV_DISPLAY", "sdl", 1);
    platform::SetActiveDisplay(nullptr);
    ASSERT_EQ(platform::ActiveDisplay().Name(), "sdl");

    Gl gl;
    HWND window = gl_test::MakeWindow(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, 64, 48);
    HWND child = gl_test::MakeWindow(WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, window);
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR pfd = gl_test::Wanted(32, 24);
    ASSERT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd));
    HGLRC context = wglCreateContext(dc);
    ASSERT_NE(context, 0u);
    EXPECT_STREQ(platform::test::OpenGLProviderName(), "sdl");
    ASSERT_TRUE(wglMakeCurrent(dc, context));

    HDC childDC = GetDC(child);
    RECT inside{0, 0, 20, 20};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(childDC, &inside, blue);
    gl.ClearColor(1, 0, 0, 1);
    gl.Clear(gl_test::COLOR_BUFFER_BIT);
    ASSERT_TRUE(SwapBuffers(dc));
    platform::PumpDisplay();

    uint32_t pixel = 0;
    ASSERT_TRUE(platform::test::ReadPresentedPixel(window, 5, 5, pixel));
    EXPECT_EQ(pixel, 0xFF0000u);
    ASSERT_TRUE(platform::test::ReadPresentedPixel(window, 15, 15, pixel));
    EXPECT_EQ(pixel, 0x0000FFu);

    wglMakeCurrent(0, 0);
    wglDeleteContext(context);
    DeleteObject(blue);
    ReleaseDC(child, childDC);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    platform::PumpDisplay();
}

} // namespace
