#include <gtest/gtest.h>

#include <string>

#include "platform/display/headless_display.h"
#include "platform/user/input/input.h"
#include "platform/user/menus/menu_test_hooks.h"
#include "platform/user/window_geometry.h"
#include "platform/user/windows.h"
#include "script/script_runner.h"

namespace {

std::string TitleOf(HWND window) {
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
}

// Without an active window, the popup menu is owned by a hidden host window outside the
// desktop, which takes the chosen command to OnSelectItem.
TEST(MenuClass, APopupOpenedWithNoActiveWindowHasItsOwnHostThatTakesTheCommand) {
    std::string ownerTitle;
    RECT ownerRect{};
    bool chosen = false;
    platform::test::SetMenuWaitHook([&](HWND popup) {
        if (popup == 0 || chosen) return;
        chosen = true;
        HWND owner = GetWindow(popup, GW_OWNER);
        ownerTitle = TitleOf(owner);
        GetWindowRect(owner, &ownerRect);
        for (int key : {VK_DOWN, VK_DOWN, VK_RETURN})
            platform::headless::PressKey(key);
    });
    script_test::ScriptRunner runner;
    script_test::ScriptResult result = runner.Run(R"(m = New Menu();
a = m.InsertItem("First");
b = m.InsertItem("Second");
Function Chosen(source, index, id) {
    Print("chosen", source == m, index, id == b);
}
m.OnSelectItem = Chosen;
Print(UiActive(), m.OpenPopupMenu(200, 150, Menu.ALIGN_LEFT));
RunPending();
)");
    platform::test::SetMenuWaitHook(nullptr);
    ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_TRUE(chosen);
    EXPECT_EQ(result.output, "0 1\nchosen 1 1 1\n");
    EXPECT_EQ(ownerTitle, "Zorv Popup");
    EXPECT_LT(ownerRect.right, 0);
    EXPECT_LT(ownerRect.bottom, 0);
}

} // namespace
