// On the SDL display the desktop draws a window's frame, but the menu bar lies in our own
// frame: the SDL window shows it above the client area, and what the user does there and
// to the SDL window's size and place is told in our terms.
#include <gtest/gtest.h>

#include "platform/display/display_backend.h"
#include "platform/display/sdl_test_hooks.h"
#include "platform/user/input/input_fixture.h"
#include "platform/user/menus/menus.h"
#include "platform/user/nonclient/frame_parts.h"

namespace {

using input_test::Make;
using input_test::Recorder;
using platform::MouseEvent;
using platform::test::SdlWindowChange;

class SdlMenuBar : public input_test::InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        platform::SetActiveDisplay(platform::MakeHeadlessDisplay());
        std::unique_ptr<platform::DisplayBackend> display =
            platform::test::MakeOffscreenSdlDisplay();
        ASSERT_NE(display, nullptr);
        platform::SetActiveDisplay(std::move(display));
    }
    void TearDown() override {
        InputTest::TearDown();
        if (bar != 0) DestroyMenu(bar);
        platform::PumpDisplay();
        platform::SetActiveDisplay(nullptr);
    }
    static void Run() {
        platform::PumpDisplay();
        window_test::Pump();
    }
    HMENU bar = 0;
};

TEST_F(SdlMenuBar, TheSdlWindowShowsTheMenuBarAboveTheClientArea) {
    HWND window = Keep(Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 320, 240));
    bar = CreateMenu();
    AppendMenuA(bar, MF_STRING, 100, "File");
    ASSERT_TRUE(SetMenu(window, bar));
    Run();
    RECT client{}, outer{};
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    POINT corner{0, 0};
    ClientToScreen(window, &corner);
    int width = 0, height = 0;
    ASSERT_TRUE(platform::test::SdlWindowSize(window, width, height));
    int above = height - client.bottom;
    EXPECT_EQ(width, client.right);
    EXPECT_GT(above, 10);
    EXPECT_LT(above, corner.y - outer.top);

    // The pointer over the top rows is over the menu bar.
    Recorder::seen.clear();
    ASSERT_TRUE(platform::test::PushSdlMouse(window, 20, above / 2, MouseEvent::Move));
    ASSERT_TRUE(platform::test::PushSdlMouse(window, 20, above + 5, MouseEvent::Move));
    Run();
    ASSERT_EQ(Recorder::Of(WM_NCMOUSEMOVE).size(), 1u);
    EXPECT_EQ(Recorder::Of(WM_NCMOUSEMOVE)[0].wParam, WPARAM(HTMENU));
    ASSERT_EQ(Recorder::Of(WM_MOUSEMOVE).size(), 1u);
    EXPECT_EQ(Recorder::Of(WM_MOUSEMOVE)[0].lParam, MAKELPARAM(20, 5));

    // The user's size and place of the SDL window include the bar; ours do not.
    ASSERT_TRUE(
        platform::test::PushSdlWindowEvent(window, SdlWindowChange::Resize, 300, 200 + above));
    ASSERT_TRUE(platform::test::PushSdlWindowEvent(window, SdlWindowChange::Move, 40, 50));
    Run();
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    corner = POINT{0, 0};
    ClientToScreen(window, &corner);
    EXPECT_EQ(corner.x, 40);
    EXPECT_EQ(corner.y, 50 + above);
}

} // namespace
