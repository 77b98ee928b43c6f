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
        // Released on the bar, the popup stays open.
        headless::ReleaseMouse(headless::Button::Left, fileItem.x, fileItem.y);
    });
    Then([&](HWND popup) {
        EXPECT_NE(popup, 0u);
        // The popup lies under its bar item.
        RECT placed = window_test::WindowRect(popup);
        RECT item{};
        platform::test::MenuBarItemRect(window, 0, item);
        EXPECT_EQ(placed.left, item.left);
        EXPECT_EQ(placed.top, item.bottom);
        ClickItem(file, 1);
    });
    headless::PressMouse(headless::Button::Left, fileItem.x, fileItem.y);
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
    POINT fileItem = BarItem(window, 0);
    POINT editItem = BarItem(window, 1);
    Then([&](HWND) { headless::MoveMouse(editItem.x, editItem.y); });
    Then([&](HWND popup) {
        EXPECT_EQ(popup, platform::test::OpenPopupWindow(edit));
        EXPECT_EQ(platform::test::OpenPopupWindow(file), 0u);
        POINT undo = Centre(ItemRect(edit, 0));
        headless::MoveMouse(undo.x, undo.y);
        headless::ReleaseMouse(headless::Button::Left, undo.x, undo.y);
    });
    headless::PressMouse(headless::Button::Left, fileItem.x, fileItem.y);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_UNDO});
}

TEST_F(MenuBarLoop, GreyItemsSeparatorsAndSubmenuItemsChooseNothing) {
    HWND window = MakeWindow();
    POINT fileItem = BarItem(window, 0);
    Then([&](HWND) { headless::ReleaseMouse(headless::Button::Left, fileItem.x, fileItem.y); });
    Then([&](HWND) {
        ClickItem(file, 4); // grey
        ClickItem(file, 2); // the separator
        ClickItem(file, 3); // Recent: opens its submenu
    });
    Then([&](HWND popup) {
        EXPECT_EQ(popup, platform::test::OpenPopupWindow(recent));
        ClickItem(recent, 1);
    });
    headless::PressMouse(headless::Button::Left, fileItem.x, fileItem.y);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_TWO});
}

TEST_F(MenuBarLoop, APressOnTheOpenItemOrOutsideClosesTheMenu) {
    HWND window = MakeWindow();
    HWND other = Keep(input_test::Make(WS_POPUP | WS_VISIBLE, 600, 400, 50, 50));
    window_test::Pump();
    POINT fileItem = BarItem(window, 0);
    Then([&](HWND) { headless::ReleaseMouse(headless::Button::Left, fileItem.x, fileItem.y); });
    Then([&](HWND) { headless::Click(headless::Button::Left, fileItem.x, fileItem.y); });
    headless::PressMouse(headless::Button::Left, fileItem.x, fileItem.y);
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(platform::test::OpenPopupWindow(file), 0u);

    Then([&](HWND) { headless::ReleaseMouse(headless::Button::Left, fileItem.x, fileItem.y); });
    Then([&](HWND) { headless::Click(headless::Button::Left, 610, 410); });
    Recorder::seen.clear();
    headless::PressMouse(headless::Button::Left, fileItem.x, fileItem.y);
    EXPECT_TRUE(Commands().empty());
    // The press that closed the menu went nowhere.
    for (const window_test::Seen& seen : Recorder::seen)
        EXPECT_FALSE(seen.window == other && seen.message == WM_LBUTTONDOWN);
}

TEST_F(MenuBarLoop, ACommandOnTheBarItselfIsChosenByItsRelease) {
    HWND window = MakeWindow();
    POINT help = BarItem(window, 2);
    Then([&](HWND popup) {
        EXPECT_EQ(popup, 0u);
        headless::ReleaseMouse(headless::Button::Left, help.x, help.y);
    });
    headless::PressMouse(headless::Button::Left, help.x, help.y);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_HELP});
}

TEST_F(MenuBarLoop, AltAloneThenArrowsAndReturnChooseByKeys) {
    MakeWindow();
    Then([&](HWND popup) {
        EXPECT_EQ(popup, 0u); // the first bar item selected, nothing open
        EXPECT_EQ(platform::test::SelectedMenuItem(), 0);
        headless::PressKey(VK_RIGHT);
    });
    Then([&](HWND) {
        EXPECT_EQ(platform::test::SelectedMenuItem(), 1);
        headless::PressKey(VK_DOWN);
    });
    Then([&](HWND popup) {
        EXPECT_EQ(popup, platform::test::OpenPopupWindow(edit));
        EXPECT_EQ(platform::test::SelectedMenuItem(), 0);
        headless::PressKey(VK_RETURN);
    });
    headless::KeyDown(VK_MENU);
    headless::KeyUp(VK_MENU);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_UNDO});
}

TEST_F(MenuBarLoop, ArrowsSkipSeparatorsAndWalkIntoAndOutOfSubmenus) {
    MakeWindow();
    Then([&](HWND) {
        headless::PressKey(VK_DOWN); // opens File on New
        headless::PressKey(VK_DOWN); // Open
        headless::PressKey(VK_DOWN); // past the separator to Recent
    });
    Then([&](HWND) {
        EXPECT_EQ(platform::test::SelectedMenuItem(), 3);
        headless::PressKey(VK_RIGHT);
    });
    Then([&](HWND popup) {
        EXPECT_EQ(popup, platform::test::OpenPopupWindow(recent));
        headless::PressKey(VK_LEFT); // back to File, Recent still selected
    });
    Then([&](HWND popup) {
        EXPECT_EQ(popup, platform::test::OpenPopupWindow(file));
        EXPECT_EQ(platform::test::SelectedMenuItem(), 3);
        headless::PressKey(VK_UP); // Open, past the separator
        headless::PressKey(VK_UP); // New
        headless::PressKey(VK_UP); // round to Exit
    });
    Then([&](HWND) {
        EXPECT_EQ(platform::test::SelectedMenuItem(), 5);
        headless::PressKey(VK_RETURN);
    });
    headless::PressKey(VK_F10);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_EXIT});
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

TEST_F(MenuBarLoop, EscapeClosesThePopupThenTheBar) {
    MakeWindow();
    Then([&](HWND) { headless::PressKey(VK_DOWN); });
    Then([&](HWND popup) {
        EXPECT_NE(popup, 0u);
        headless::PressKey(VK_ESCAPE);
    });
    Then([&](HWND popup) {
        EXPECT_EQ(popup, 0u);
        EXPECT_EQ(platform::test::SelectedMenuItem(), 0);
        headless::PressKey(VK_ESCAPE);
    });
    headless::PressKey(VK_F10);
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(GetCapture(), 0u);
}

} // namespace
