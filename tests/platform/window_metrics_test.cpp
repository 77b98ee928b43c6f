#include <gtest/gtest.h>

#include "platform/system_info.h"
#include "window_recorder.h"

namespace {

using window_test::Sides;

struct FrameCase {
    DWORD style;
    DWORD exStyle;
    BOOL menu;
    std::vector<LONG> expected; // the window rectangle of the client rectangle 0, 0, 100, 50
};

TEST(WindowMetrics, AdjustWindowRectExAddsTheClassicFrames) {
    const FrameCase cases[] = {
        {WS_POPUP, 0, FALSE, {0, 0, 100, 50}},
        {WS_BORDER, 0, FALSE, {-1, -1, 101, 51}},
        {WS_DLGFRAME, 0, FALSE, {-3, -3, 103, 53}},
        {WS_CAPTION, 0, FALSE, {-3, -22, 103, 53}},
        {WS_CAPTION | WS_THICKFRAME, 0, FALSE, {-4, -23, 104, 54}},
        {WS_OVERLAPPEDWINDOW, 0, TRUE, {-4, -42, 104, 54}},
        {WS_THICKFRAME, 0, FALSE, {-3, -3, 103, 53}},
        {WS_CAPTION, WS_EX_TOOLWINDOW, FALSE, {-3, -18, 103, 53}},
        {WS_POPUP | WS_BORDER, WS_EX_CLIENTEDGE, FALSE, {-3, -3, 103, 53}},
        {WS_POPUP, WS_EX_DLGMODALFRAME, FALSE, {-3, -3, 103, 53}},
        {WS_POPUP, WS_EX_STATICEDGE, FALSE, {-1, -1, 101, 51}},
        {WS_CHILD, WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE, FALSE, {-2, -2, 102, 52}},
        // Scroll bars belong to the client side and are not added.
        {WS_POPUP | WS_VSCROLL | WS_HSCROLL, 0, FALSE, {0, 0, 100, 50}},
        // The window styles of the top-level Window class.
        {0x82880000, 0x10001, FALSE, {-3, -3, 103, 53}},
        {0x82C80000, 0, FALSE, {-3, -22, 103, 53}},
        {0x82880000 | WS_THICKFRAME, 0x10001, FALSE, {-4, -4, 104, 54}},
    };
    for (const FrameCase& c : cases) {
        RECT rect{0, 0, 100, 50};
        ASSERT_TRUE(AdjustWindowRectEx(&rect, c.style, c.menu, c.exStyle));
        EXPECT_EQ(Sides(rect), c.expected) << std::hex << c.style << " " << c.exStyle;
    }
    EXPECT_FALSE(AdjustWindowRectEx(nullptr, 0, FALSE, 0));
}

TEST(WindowMetrics, WindowsLayOutTheFramesAdjustWindowRectExComputes) {
    window_test::Recorder::Reset();
    const std::pair<DWORD, DWORD> styles[] = {
        {WS_OVERLAPPEDWINDOW, 0},
        {WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE},
        {WS_POPUP | WS_DLGFRAME, WS_EX_DLGMODALFRAME},
        {WS_POPUP | WS_BORDER | WS_VSCROLL | WS_HSCROLL, 0},
    };
    for (const auto& [style, exStyle] : styles) {
        RECT rect{0, 0, 200, 120};
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
        HWND window = window_test::Make(style, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                                        0, exStyle);
        ASSERT_NE(window, 0u);
        RECT client = window_test::ClientRect(window);
        bool scrolls = style & WS_VSCROLL;
        EXPECT_EQ(client.right, scrolls ? 200 - 16 : 200) << std::hex << style;
        EXPECT_EQ(client.bottom, scrolls ? 120 - 16 : 120) << std::hex << style;
        DestroyWindow(window);
    }
}

TEST(WindowMetrics, SystemMetricsFollowTheDisplay) {
    ASSERT_TRUE(platform::SetVirtualDisplay(800, 600, 16));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), 600);
    EXPECT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), 0);
    // Maximised windows fill the display, so they follow it too.
    HWND window = window_test::Make(WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
    ShowWindow(window, SW_MAXIMIZE);
    EXPECT_EQ(Sides(window_test::ClientRect(window)),
              (std::vector<LONG>{0, 0, 800, GetSystemMetrics(SM_CYFULLSCREEN)}));
    DestroyWindow(window);
    platform::ResetVirtualDisplay();
}

} // namespace
