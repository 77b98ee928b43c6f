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

TEST_F(MenuBarLoop, DragsGreyItemsAndCommandsOnTheBarItself) {
    HWND window = MakeWindow();
    POINT fileItem = BarItem(window, 0), editItem = BarItem(window, 1), help = BarItem(window, 2);
    // Dragging across the bar switches popups; releasing on an item chooses.
    Then([&](HWND) { headless::MoveMouse(editItem.x, editItem.y); });
    ThenIn(edit, [&] {
        EXPECT_EQ(platform::test::OpenPopupWindow(file), 0u);
        HoverItem(edit, 0);
        Release(Centre(ItemRect(edit, 0)));
    });
    Press(fileItem);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_UNDO});
    // Grey items, separators and submenu items choose nothing.
    Recorder::seen.clear();
    Then([&](HWND) { Release(fileItem); });
    Then([&](HWND) {
        ClickItem(file, 4); // grey
        ClickItem(file, 2); // the separator
        ClickItem(file, 3); // Recent: opens its submenu
    });
    ThenIn(recent, [&] { ClickItem(recent, 1); });
    Press(fileItem);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_TWO});
    // A command on the bar itself is chosen by its release.
    Recorder::seen.clear();
    ThenIn(0, [&] { Release(help); });
    Press(help);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_HELP});
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

TEST_F(MenuBarLoop, KeysWalkTheBarAndItsPopupsAndChoose) {
    MakeWindow();
    // Alt alone selects the first bar item; arrows go along the bar and down into Edit.
    ThenKeys(0, 0, {VK_RIGHT});
    ThenKeys(0, 1, {VK_DOWN});
    ThenKeys(edit, 0, {VK_RETURN});
    headless::KeyDown(VK_MENU);
    headless::KeyUp(VK_MENU);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_UNDO});
    // Arrows skip separators, go into and out of a submenu and round from the top.
    Recorder::seen.clear();
    ThenKeys(0, 0, {VK_DOWN, VK_DOWN, VK_DOWN});
    ThenKeys(file, 3, {VK_RIGHT});
    ThenKeys(recent, 0, {VK_LEFT});
    ThenKeys(file, 3, {VK_UP, VK_UP, VK_UP});
    ThenKeys(file, 5, {VK_RETURN});
    headless::PressKey(VK_F10);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{ID_EXIT});
    // Escape closes the popup, then the bar.
    Recorder::seen.clear();
    ThenKeys(0, 0, {VK_DOWN});
    ThenKeys(file, 0, {VK_ESCAPE});
    ThenKeys(0, 0, {VK_ESCAPE});
    headless::PressKey(VK_F10);
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(MenuBarLoop, AltAndAMnemonicOpenTheBarItemAndALetterChoosesInIt) {
    MakeWindow();
    ThenIn(file, [] {
        headless::KeyUp(VK_MENU);
        headless::TypeText("r"); // Recent opens
    });
    ThenIn(recent, [] { headless::TypeText("t"); });
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
    ThenKeys(0, 0, {VK_DOWN});
    ThenKeys(view, 0, {VK_RETURN});
    headless::PressKey(VK_F10);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{401});
}

} // namespace
