#include <gtest/gtest.h>

#include "platform/kernel/errors.h"
#include "platform/system/system_info.h"
#include "platform/user/menus/menu_fixture.h"
#include "platform/user/nonclient/frame_parts.h"

namespace {

using namespace menu_test;

class MenuBars : public MenuTest {};

TEST_F(MenuBars, SetMenuAddsTheBarRowAsAdjustWindowRectExCountsIt) {
    HWND window = Keep(input_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 40, 300, 200));
    window_test::Pump();
    RECT before = window_test::ClientRect(window);
    Recorder::seen.clear();
    ASSERT_TRUE(SetMenu(window, MakeBar()));
    EXPECT_EQ(GetMenu(window), bar);
    RECT after = window_test::ClientRect(window);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom - GetSystemMetrics(SM_CYMENU));
    auto sizes = Recorder::Of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(HIWORD(static_cast<DWORD>(sizes[0].lParam)), after.bottom);
    // The window rectangle AdjustWindowRectEx gives for this client area is the window's.
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT adjusted{origin.x, origin.y, origin.x + after.right, origin.y + after.bottom};
    AdjustWindowRectEx(&adjusted, WS_OVERLAPPEDWINDOW, TRUE, 0);
    EXPECT_EQ(window_test::Sides(adjusted), window_test::Sides(window_test::WindowRect(window)));
    // The row answers HTMENU, between the caption and the client area.
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(origin.x + 20, origin.y - 5)),
              HTMENU);
    // Taking the menu off gives the row back and leaves the menu alive.
    Recorder::seen.clear();
    ASSERT_TRUE(SetMenu(window, 0));
    EXPECT_EQ(window_test::ClientRect(window).bottom, before.bottom);
    EXPECT_EQ(Recorder::Of(WM_SIZE).size(), 1u);
    EXPECT_TRUE(IsMenu(bar));
}

TEST_F(MenuBars, ABarTooLongForTheWindowIsCutNotWrapped) {
    HWND window = Keep(input_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 40, 160, 120));
    menus.push_back(CreateMenu());
    for (UINT i = 0; i < 8; ++i)
        AppendMenuA(menus.back(), MF_STRING, 10 + i, "&Long item");
    ASSERT_TRUE(SetMenu(window, menus.back()));
    window_test::Pump();
    // One row, as AdjustWindowRectEx counts it.
    RECT client = window_test::ClientRect(window);
    RECT adjusted{0, 0, client.right, client.bottom};
    AdjustWindowRectEx(&adjusted, WS_OVERLAPPEDWINDOW, TRUE, 0);
    EXPECT_EQ(adjusted.bottom - adjusted.top, 120);
    RECT first{}, last{};
    ASSERT_TRUE(platform::test::MenuBarItemRect(window, 0, first));
    ASSERT_TRUE(platform::test::MenuBarItemRect(window, 7, last));
    EXPECT_EQ(last.top, first.top);
    EXPECT_EQ(last.left, last.right);
    // Nothing of the items is drawn over the frame at the bar's right end.
    headless::Pixels pixels = Shot(window);
    int barRow = Centre(first).y - window_test::WindowRect(window).top;
    for (int x = pixels.width - 4; x < pixels.width; ++x)
        EXPECT_EQ(pixels.At(x, barRow), pixels.At(x, barRow + 40)) << x;
}

TEST_F(MenuBars, AChildOrADeadMenuIsRefused) {
    HWND top = Keep(input_test::Make(WS_OVERLAPPEDWINDOW, 0, 0, 200, 100));
    HWND child = input_test::Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, 0, 77);
    HMENU dead = CreateMenu();
    SetLastError(0);
    EXPECT_FALSE(SetMenu(child, dead));
    EXPECT_EQ(GetLastError(), ERROR_CHILD_WINDOW_MENU);
    EXPECT_EQ(GetDlgCtrlID(child), 77); // its id stays
    EXPECT_EQ(GetMenu(child), 0u);
    DestroyMenu(dead);
    RECT before = window_test::ClientRect(top);
    SetLastError(0);
    EXPECT_FALSE(SetMenu(top, dead));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_MENU_HANDLE);
    EXPECT_EQ(window_test::Sides(window_test::ClientRect(top)), window_test::Sides(before));
    EXPECT_FALSE(SetMenu(0x7FFFFFF0, 0));
    EXPECT_FALSE(DrawMenuBar(0x7FFFFFF0));
}

} // namespace
