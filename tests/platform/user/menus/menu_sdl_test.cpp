// The menus on the SDL display, on SDL's offscreen video driver: the menu bar is presented
// with the window, a popup opens as its own SDL window, and a click there chooses.
#include <gtest/gtest.h>

#include "platform/display/display_backend.h"
#include "platform/display/sdl_test_hooks.h"
#include "platform/gdi/device_context.h"
#include "platform/user/menus/menu_fixture.h"

namespace {

using namespace menu_test;
using platform::MouseEvent;

class MenuSdl : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        platform::SetActiveDisplay(platform::MakeHeadlessDisplay());
        std::unique_ptr<platform::DisplayBackend> display =
            platform::test::MakeOffscreenSdlDisplay();
        ASSERT_NE(display, nullptr);
        platform::SetActiveDisplay(std::move(display));
    }
    void TearDown() override {
        MenuTest::TearDown();
        platform::PumpDisplay();
        platform::SetActiveDisplay(nullptr);
    }
    static void Run() {
        platform::PumpDisplay();
        window_test::Pump();
    }
    // What the window's own DC holds at a point of its client area (negative: above it).
    static uint32_t Drawn(HWND window, int x, int y) {
        POINT at{x, y};
        ClientToScreen(window, &at);
        RECT outer = window_test::WindowRect(window);
        HDC dc = GetWindowDC(window);
        COLORREF color = GetPixel(dc, at.x - outer.left, at.y - outer.top);
        ReleaseDC(window, dc);
        return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
    }
    static uint32_t Presented(HWND window, int x, int y) {
        uint32_t pixel = 0xFFFFFFFF;
        EXPECT_TRUE(platform::test::ReadPresentedPixel(window, x, y, pixel)) << x << "," << y;
        return pixel;
    }
};

TEST_F(MenuSdl, TheBarIsPresentedAPopupGetsItsOwnSdlWindowAndAClickThereChooses) {
    HWND window = MakeWindow();
    Run();
    // The SDL window shows the bar above the client area.
    POINT file = BarItem(window, 0);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    int barX = file.x - origin.x, barY = file.y - origin.y;
    ASSERT_LT(barY, 0);
    int width = 0, height = 0;
    ASSERT_TRUE(platform::test::SdlWindowSize(window, width, height));
    RECT client = window_test::ClientRect(window);
    EXPECT_EQ(width, client.right);
    EXPECT_EQ(height, client.bottom + GetSystemMetrics(SM_CYMENU));
    for (int x : {1, barX, client.right - 2})
        EXPECT_EQ(Presented(window, x, barY), Drawn(window, x, barY)) << x;
    EXPECT_EQ(Presented(window, 1, barY), (GetSysColor(COLOR_MENU) & 0xFF) << 16 |
                                              (GetSysColor(COLOR_MENU) & 0xFF00) |
                                              (GetSysColor(COLOR_MENU) >> 16 & 0xFF));

    Then([&](HWND popup) {
        ASSERT_NE(popup, 0u);
        int popupWidth = 0, popupHeight = 0;
        ASSERT_TRUE(platform::test::SdlWindowSize(popup, popupWidth, popupHeight));
        RECT shown = window_test::WindowRect(popup);
        EXPECT_EQ(popupWidth, shown.right - shown.left);
        EXPECT_EQ(popupHeight, shown.bottom - shown.top);
        RECT open = ItemRect(this->file, 1);
        int x = (open.left + open.right) / 2 - shown.left;
        int y = (open.top + open.bottom) / 2 - shown.top;
        EXPECT_EQ(Presented(popup, x, y), Drawn(popup, x, y));
        EXPECT_TRUE(platform::test::PushSdlMouse(popup, x, y, MouseEvent::Move));
        EXPECT_TRUE(platform::test::PushSdlMouse(popup, x, y, MouseEvent::LeftDown));
        EXPECT_TRUE(platform::test::PushSdlMouse(popup, x, y, MouseEvent::LeftUp));
    });
    ASSERT_TRUE(platform::test::PushSdlMouse(window, barX, barY, MouseEvent::LeftDown));
    ASSERT_TRUE(platform::test::PushSdlMouse(window, barX, barY, MouseEvent::LeftUp));
    Run();
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_OPEN});
    // The popup's SDL window went with it.
    Run();
    EXPECT_EQ(platform::test::OpenPopupWindow(this->file), 0u);
}

TEST_F(MenuSdl, TheUsersMovesAndSizesLeaveTheBarOutOfTheClientArea) {
    HWND window = MakeWindow(100, 80);
    Run();
    POINT before{0, 0};
    ClientToScreen(window, &before);
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(window, platform::test::SdlWindowChange::Resize,
                                                   400, 300));
    Run();
    RECT client = window_test::ClientRect(window);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 300 - GetSystemMetrics(SM_CYMENU));
    // The SDL window's corner is the bar's, one menu row above the client area.
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(window, platform::test::SdlWindowChange::Move,
                                                   150, 120));
    Run();
    POINT after{0, 0};
    ClientToScreen(window, &after);
    EXPECT_EQ(after.x, 150);
    EXPECT_EQ(after.y, 120 + GetSystemMetrics(SM_CYMENU));
    EXPECT_NE(after.y, before.y);
}

TEST_F(MenuSdl, AWindowWhollyOffTheScreenGetsNoSdlWindow) {
    HWND host = Keep(input_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, -100 - 50, -100 - 50, 50,
                                      50, 0, WS_EX_TOOLWINDOW));
    HWND shown = Keep(input_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 50, 50));
    Run();
    int width = 0, height = 0;
    EXPECT_FALSE(platform::test::SdlWindowSize(host, width, height));
    EXPECT_TRUE(platform::test::SdlWindowSize(shown, width, height));
}

} // namespace
