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
    static uint32_t Rgb(COLORREF color) {
        return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
    }
    // What the window's own DC holds and what SDL presents at a point of its client area
    // (negative: above it).
    static void ExpectPresented(HWND window, int x, int y) {
        POINT at{x, y};
        ClientToScreen(window, &at);
        RECT outer = window_test::WindowRect(window);
        HDC dc = GetWindowDC(window);
        uint32_t drawn = Rgb(GetPixel(dc, at.x - outer.left, at.y - outer.top));
        ReleaseDC(window, dc);
        uint32_t presented = 0xFFFFFFFF;
        EXPECT_TRUE(platform::test::ReadPresentedPixel(window, x, y, presented));
        EXPECT_EQ(presented, drawn) << x << "," << y;
    }
    static void ExpectSdlSize(HWND window, int width, int height) {
        int sdlWidth = 0, sdlHeight = 0;
        ASSERT_TRUE(platform::test::SdlWindowSize(window, sdlWidth, sdlHeight));
        EXPECT_EQ(sdlWidth, width);
        EXPECT_EQ(sdlHeight, height);
    }
};

TEST_F(MenuSdl, TheBarIsPresentedAPopupGetsItsOwnSdlWindowAndAClickThereChooses) {
    HWND window = MakeWindow();
    Run();
    // The SDL window shows the bar above the client area.
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    POINT item = BarItem(window, 0);
    int barX = item.x - origin.x, barY = item.y - origin.y;
    ASSERT_LT(barY, 0);
    RECT client = window_test::ClientRect(window);
    ExpectSdlSize(window, client.right, client.bottom + GetSystemMetrics(SM_CYMENU));
    for (int x : {1, barX, client.right - 2})
        ExpectPresented(window, x, barY);
    uint32_t edge = 0;
    ASSERT_TRUE(platform::test::ReadPresentedPixel(window, 1, barY, edge));
    EXPECT_EQ(edge, Rgb(GetSysColor(COLOR_MENU)));

    Then([&](HWND popup) {
        ASSERT_NE(popup, 0u);
        RECT shown = window_test::WindowRect(popup);
        ExpectSdlSize(popup, shown.right - shown.left, shown.bottom - shown.top);
        POINT open = Centre(ItemRect(file, 1));
        int x = open.x - shown.left, y = open.y - shown.top;
        ExpectPresented(popup, x, y);
        for (MouseEvent event : {MouseEvent::Move, MouseEvent::LeftDown, MouseEvent::LeftUp})
            EXPECT_TRUE(platform::test::PushSdlMouse(popup, x, y, event));
    });
    ASSERT_TRUE(platform::test::PushSdlMouse(window, barX, barY, MouseEvent::LeftDown));
    ASSERT_TRUE(platform::test::PushSdlMouse(window, barX, barY, MouseEvent::LeftUp));
    Run();
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_OPEN});
    // The popup's SDL window went with it.
    Run();
    EXPECT_EQ(platform::test::OpenPopupWindow(file), 0u);
}

TEST_F(MenuSdl, TheUsersMovesAndSizesLeaveTheBarOutOfTheClientArea) {
    HWND window = MakeWindow();
    Run();
    using platform::test::SdlWindowChange;
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(window, SdlWindowChange::Resize, 400, 300));
    Run();
    RECT client = window_test::ClientRect(window);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 300 - GetSystemMetrics(SM_CYMENU));
    // The SDL window's corner is the bar's, one menu row above the client area.
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(window, SdlWindowChange::Move, 150, 120));
    Run();
    POINT after{0, 0};
    ClientToScreen(window, &after);
    EXPECT_EQ(after.x, 150);
    EXPECT_EQ(after.y, 120 + GetSystemMetrics(SM_CYMENU));
}

TEST_F(MenuSdl, AWindowWhollyOffTheScreenGetsNoSdlWindow) {
    HWND host = Keep(input_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, -150, -150, 50, 50, 0,
                                      WS_EX_TOOLWINDOW));
    HWND shown = Keep(input_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 50, 50));
    Run();
    int width = 0, height = 0;
    EXPECT_FALSE(platform::test::SdlWindowSize(host, width, height));
    EXPECT_TRUE(platform::test::SdlWindowSize(shown, width, height));
}

} // namespace
