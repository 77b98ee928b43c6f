#include <gtest/gtest.h>

#include "platform/display/headless_display.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_test_support.h"
#include "platform/kernel/test_hooks.h"
#include "platform/system/system_info.h"
#include "platform/user/windows.h"
#include "platform/window_recorder.h"

namespace {

using gdi_test::Canvas;

constexpr COLORREF kRed = RGB(200, 0, 0);
constexpr COLORREF kGreen = RGB(0, 200, 0);
constexpr COLORREF kBlue = RGB(0, 0, 200);

class ScreenRead : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::Install();
        ASSERT_TRUE(platform::SetVirtualDisplay(640, 480, 32));
        live_ = platform::test::LiveGdiObjects();
        screen_ = GetDC(0);
    }
    void TearDown() override {
        ReleaseDC(0, screen_);
        for (HWND window : windows_)
            DestroyWindow(window);
        platform::ResetVirtualDisplay();
        EXPECT_EQ(platform::test::LiveGdiObjects(), live_);
    }

    // A shown popup whose client area is all `color`.
    HWND Window(int x, int y, int w, int h, COLORREF color, DWORD style = 0) {
        const char* name = window_test::Class("ScreenRead", DefWindowProcA, 0);
        HWND window = CreateWindowExA(0, name, "", WS_POPUP | WS_VISIBLE | style, x, y, w, h, 0, 0,
                                      0, nullptr);
        windows_.push_back(window);
        Fill(window, color);
        return window;
    }
    static void Fill(HWND window, COLORREF color) {
        HDC dc = GetDC(window);
        RECT all{0, 0, 1000, 1000};
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        ReleaseDC(window, dc);
    }
    // The screen's pixel read through a blit into memory, as a capture reads it.
    COLORREF Captured(int x, int y) {
        Canvas canvas(1, 1, 32);
        EXPECT_TRUE(BitBlt(canvas.dc, 0, 0, 1, 1, screen_, x, y, SRCCOPY));
        return GetPixel(canvas.dc, 0, 0);
    }

    HDC screen_ = 0;
    std::vector<HWND> windows_;
    long live_ = 0;
};

TEST_F(ScreenRead, DrawnPixelsElseTheTopmostWindowElseTheDesktop) {
    const COLORREF desktop = GetSysColor(COLOR_BACKGROUND);
    HWND lower = Window(10, 10, 40, 30, kRed);
    HWND upper = Window(30, 20, 40, 30, kGreen, WS_BORDER);
    EXPECT_EQ(SetPixel(screen_, 12, 12, kBlue), kBlue);

    Canvas canvas(80, 60, 32);
    ASSERT_TRUE(BitBlt(canvas.dc, 0, 0, 80, 60, screen_, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(canvas.dc, 5, 5), desktop);
    EXPECT_EQ(GetPixel(canvas.dc, 15, 15), kRed);
    EXPECT_EQ(GetPixel(canvas.dc, 12, 12), kBlue);        // drawn over a window
    EXPECT_EQ(GetPixel(canvas.dc, 40, 25), kGreen);       // the upper window where both lie
    EXPECT_EQ(GetPixel(canvas.dc, 30, 20), RGB(0, 0, 0)); // its frame, never painted
    EXPECT_EQ(GetPixel(canvas.dc, 75, 55), desktop);

    HDC frame = GetWindowDC(upper);
    SetPixel(frame, 0, 0, RGB(1, 2, 3));
    ReleaseDC(upper, frame);
    EXPECT_EQ(Captured(30, 20), RGB(1, 2, 3));

    // The windows are read when the screen is, not when it was last drawn on.
    ShowWindow(upper, SW_HIDE);
    EXPECT_EQ(GetPixel(screen_, 40, 25), kRed);
    MoveWindow(lower, 100, 100, 40, 30, FALSE);
    EXPECT_EQ(Captured(15, 15), desktop);
    EXPECT_EQ(Captured(105, 105), kRed);
    EXPECT_EQ(Captured(12, 12), kBlue);
}

TEST_F(ScreenRead, DrawingOnTheScreenSeesTheWindowsAndKeepsOnlyWhatItWrote) {
    HWND window = Window(0, 0, 20, 20, kRed);
    // A raster operation works on the window's pixels under it.
    ASSERT_TRUE(PatBlt(screen_, 0, 0, 2, 2, DSTINVERT));
    EXPECT_EQ(Captured(1, 1), RGB(55, 255, 255));

    // The inside of an outline is not the screen's: it follows the window.
    RECT box{4, 4, 12, 12};
    HBRUSH brush = CreateSolidBrush(kBlue);
    FrameRect(screen_, &box, brush);
    DeleteObject(brush);
    Fill(window, kGreen);
    EXPECT_EQ(Captured(4, 4), kBlue);
    EXPECT_EQ(Captured(11, 8), kBlue);
    EXPECT_EQ(Captured(8, 8), kGreen);
    EXPECT_EQ(Captured(1, 1), RGB(55, 255, 255));
}

TEST_F(ScreenRead, WindowsAndDesktopReadInTheDisplaysFormat) {
    ASSERT_TRUE(platform::SetVirtualDisplay(640, 480, 16));
    Window(0, 0, 20, 20, RGB(0xFF, 0x87, 0x0F));
    // 5-6-5, widened with the top bits repeated.
    EXPECT_EQ(GetPixel(screen_, 5, 5), RGB(0xFF, 0x86, 0x08));
    EXPECT_EQ(Captured(5, 5), RGB(0xFF, 0x86, 0x08));
    EXPECT_EQ(Captured(300, 300), RGB(0x39, 0x6D, 0xA5)); // the desktop
    EXPECT_EQ(GetPixel(screen_, 640, 0), CLR_INVALID);
}

} // namespace
