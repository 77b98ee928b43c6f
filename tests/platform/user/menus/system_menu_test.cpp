#include <gtest/gtest.h>

#include "platform/user/menus/menu_fixture.h"
#include "platform/user/nonclient/frame_parts.h"

namespace {

using namespace menu_test;

class SystemMenu : public MenuTest {};

TEST_F(SystemMenu, AGreyedCloseGreysTheButtonAndDropsEveryCloseRequestTillEnabledOrReverted) {
    for (bool revert : {false, true}) {
        SCOPED_TRACE(revert ? "reverted" : "enabled");
        HWND window = Keep(input_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 240, 160));
        window_test::Pump();
        SetActiveWindow(window);
        window_test::Pump();
        HMENU system = GetSystemMenu(window, FALSE);
        ASSERT_NE(system, 0u);
        EXPECT_EQ(GetSystemMenu(window, FALSE), system);
        headless::Pixels before = Shot(window);
        EXPECT_EQ(EnableMenuItem(system, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
        headless::Pixels after = Shot(window);
        // The close button alone is drawn again, greyed.
        RECT button = [&] {
            std::lock_guard lock(platform::WindowLock());
            return platform::FramePartsLocked(*platform::LookupWindowLocked(window)).closeButton;
        }();
        int changed = 0;
        for (int y = 0; y < before.height; ++y) {
            for (int x = 0; x < before.width; ++x) {
                if (before.At(x, y) == after.At(x, y)) continue;
                ++changed;
                EXPECT_TRUE(x >= button.left && x < button.right && y >= button.top &&
                            y < button.bottom)
                    << x << "," << y;
            }
        }
        EXPECT_GT(changed, 0);

        Recorder::seen.clear();
        headless::RequestClose(window);
        window_test::Pump();
        headless::KeyDown(VK_MENU);
        headless::PressKey(VK_F1 + 3);
        headless::KeyUp(VK_MENU);
        window_test::Pump();
        SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(IsWindow(window));
        EXPECT_TRUE(Recorder::Of(WM_CLOSE).empty());
        // The desktop's request and Alt+F4 are turned away before the window hears them, so
        // a procedure that handles SC_CLOSE itself is not asked; a sent SC_CLOSE still
        // reaches it, and DefWindowProcA drops it.
        EXPECT_EQ(Recorder::Of(WM_SYSCOMMAND).size(), 1u);

        if (revert) { // a fresh menu, its close enabled
            EXPECT_EQ(GetSystemMenu(window, TRUE), 0u);
            EXPECT_FALSE(IsMenu(system));
            system = GetSystemMenu(window, FALSE);
            EXPECT_EQ(GetMenuState(system, SC_CLOSE, MF_BYCOMMAND), MF_ENABLED);
        } else {
            EnableMenuItem(system, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
        }
        headless::RequestClose(window);
        window_test::Pump();
        EXPECT_EQ(Recorder::Of(WM_CLOSE).size(), 1u);
        EXPECT_FALSE(IsWindow(window));
    }
    EXPECT_EQ(GetSystemMenu(0x7FFFFFF0, FALSE), 0u);
}

} // namespace
