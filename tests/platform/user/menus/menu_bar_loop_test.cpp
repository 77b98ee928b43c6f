#include <gtest/gtest.h>

#include <optional>

#include "platform/user/menus/menu_fixture.h"

namespace {

using namespace menu_test;

class MenuBarLoop : public MenuTest {};

TEST_F(MenuBarLoop, APressOpensABarItemAndAClickedItemPostsItsCommand) {
    HWND window = MakeWindow();
    POINT fileItem = BarItem(window, 0);
    Then([&](HWND popup) {
        EXPECT_EQ(popup, platform::test::OpenPopupWindow(file));
        EXPECT_TRUE(IsWindowVisible(popup));
        Release(fileItem); // released on the bar, the popup stays open
    });
    Then([&](HWND popup) {
        // The popup lies under its bar item.
        RECT item{};
        platform::test::MenuBarItemRect(window, 0, item);
        RECT placed = window_test::WindowRect(popup);
        EXPECT_EQ(placed.left, item.left);
        EXPECT_EQ(placed.top, item.bottom);
        ClickItem(file, 1);
    });
    Press(fileItem);
    LPARAM lParam = -1;
    EXPECT_EQ(Commands(&lParam), std::vector<WPARAM>{ID_OPEN});
    EXPECT_EQ(lParam, 0);
    // WM_INITMENU for the bar, then WM_INITMENUPOPUP for the popup, before it shows.
    auto inits = Recorder::Of(WM_INITMENUPOPUP);
    ASSERT_EQ(inits.size(), 1u);
    EXPECT_EQ(inits[0].wParam, file);
    EXPECT_EQ(LOWORD(static_cast<DWORD>(inits[0].lParam)), 0);
    EXPECT_EQ(Recorder::Of(WM_INITMENU).size(), 1u);
    EXPECT_EQ(Recorder::Of(WM_EXITMENULOOP).size(), 1u);
    EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(MenuBarLoop, DraggingAcrossTheBarSwitchesPopupsAndReleasingOnAnItemChooses) {
    HWND window = MakeWindow();
    Then([&](HWND) { headless::MoveMouse(BarItem(window, 1).x, BarItem(window, 1).y); });
    Then([&](HWND popup) {
        EXPECT_EQ(popup, platform::test::OpenPopupWindow(edit));
        EXPECT_EQ(platform::test::OpenPopupWindow(file), 0u);
        HoverItem(edit, 0);
        Release(Centre(ItemRect(edit, 0)));
    });
    Press(BarItem(window, 0));
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_UNDO});
}

TEST_F(MenuBarLoop, GreyItemsSeparatorsAndSubmenuItemsChooseNothing) {
    POINT fileItem = BarItem(MakeWindow(), 0);
    Then([&](HWND) { Release(fileItem); });
    Then([&](HWND) {
        ClickItem(file, 4); // grey
        ClickItem(file, 2); // the separator
        ClickItem(file, 3); // Recent: opens its submenu
    });
    Then([&](HWND popup) {
        EXPECT_EQ(popup, platform::test::OpenPopupWindow(recent));
        ClickItem(recent, 1);
    });
    Press(fileItem);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_TWO});
}

TEST_F(MenuBarLoop, APressOnTheOpenItemOrOutsideClosesTheMenuAndGoesNowhere) {
    POINT fileItem = BarItem(MakeWindow(), 0);
    HWND other = Keep(input_test::Make(WS_POPUP | WS_VISIBLE, 600, 400, 50, 50));
    window_test::Pump();
    for (POINT closer : {fileItem, POINT{610, 410}}) {
        Recorder::seen.clear();
        Then([&](HWND) { Release(fileItem); });
        Then([&](HWND) { headless::Click(headless::Button::Left, closer.x, closer.y); });
        Press(fileItem);
        EXPECT_TRUE(Commands().empty());
        EXPECT_EQ(platform::test::OpenPopupWindow(file), 0u);
        for (const window_test::Seen& seen : Recorder::seen)
            EXPECT_FALSE(seen.window == other && seen.message == WM_LBUTTONDOWN);
    }
}

TEST_F(MenuBarLoop, ACommandOnTheBarItselfIsChosenByItsRelease) {
    POINT help = BarItem(MakeWindow(), 2);
    Then([&](HWND popup) {
        EXPECT_EQ(popup, 0u);
        Release(help);
    });
    Press(help);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_HELP});
}

// Alt alone or F10 selects the first bar item; then at each wait the open popup (none: 0)
// and the selected item are checked and the keys pressed.
struct KeyStep {
    const HMENU* open; // the fixture menu that should be open, or none
    int selected;
    std::vector<int> keys;
};
struct KeyCase {
    const char* what;
    bool altAlone;
    std::vector<KeyStep> steps;
    std::vector<WPARAM> chosen;
};

TEST_F(MenuBarLoop, KeysWalkTheBarAndPopupsAndChoose) {
    const KeyCase cases[] = {
        {"arrows along the bar, down into Edit, return",
         true,
         {{nullptr, 0, {VK_RIGHT}}, {nullptr, 1, {VK_DOWN}}, {&edit, 0, {VK_RETURN}}},
         {ID_UNDO}},
        {"past separators, into and out of a submenu, round from the top",
         false,
         {{nullptr, 0, {VK_DOWN, VK_DOWN, VK_DOWN}},
          {&file, 3, {VK_RIGHT}},
          {&recent, 0, {VK_LEFT}},
          {&file, 3, {VK_UP, VK_UP, VK_UP}},
          {&file, 5, {VK_RETURN}}},
         {ID_EXIT}},
        {"escape closes the popup, then the bar",
         false,
         {{nullptr, 0, {VK_DOWN}}, {&file, 0, {VK_ESCAPE}}, {nullptr, 0, {VK_ESCAPE}}},
         {}},
    };
    MakeWindow();
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder::seen.clear();
        for (const KeyStep& step : c.steps) {
            Then([&](HWND popup) {
                EXPECT_EQ(popup, step.open ? platform::test::OpenPopupWindow(*step.open) : 0u);
                EXPECT_EQ(platform::test::SelectedMenuItem(), step.selected);
                for (int key : step.keys)
                    headless::PressKey(key);
            });
        }
        if (c.altAlone) {
            headless::KeyDown(VK_MENU);
            headless::KeyUp(VK_MENU);
        } else {
            headless::PressKey(VK_F10);
        }
        EXPECT_EQ(Commands(), c.chosen);
        EXPECT_EQ(GetCapture(), 0u);
    }
}

TEST_F(MenuBarLoop, AltAndAMnemonicOpenTheBarItemAndALetterChoosesInIt) {
    MakeWindow();
    Then([&](HWND popup) {
        EXPECT_EQ(popup, platform::test::OpenPopupWindow(file));
        headless::KeyUp(VK_MENU);
        headless::TypeText("r"); // Recent opens
    });
    Then([&](HWND popup) {
        EXPECT_EQ(popup, platform::test::OpenPopupWindow(recent));
        headless::TypeText("t");
    });
    headless::KeyDown(VK_MENU);
    headless::PressKey('F');
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_TWO});
    // Alt and the mnemonic of a command on the bar posts it at once.
    Recorder::seen.clear();
    headless::KeyDown(VK_MENU);
    headless::PressKey('H');
    headless::KeyUp(VK_MENU);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_HELP});
}

TEST_F(MenuBarLoop, WhatTheOwnerAddsInWmInitMenuIsThereAtOnce) {
    MakeWindow();
    HMENU view = CreatePopupMenu();
    AppendMenuA(view, MF_STRING, 401, "&Zoom");
    Recorder::answer = [&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_INITMENU && GetMenuItemCount(bar) == 3)
            InsertMenuA(bar, 0, MF_BYPOSITION | MF_POPUP, view, "&View");
        return std::nullopt;
    };
    Then([&](HWND) { headless::PressKey(VK_DOWN); });
    Then([&](HWND popup) {
        EXPECT_EQ(popup, platform::test::OpenPopupWindow(view));
        headless::PressKey(VK_RETURN);
    });
    headless::PressKey(VK_F10);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{401});
}

} // namespace
