// Shared set-up of the menu tests: a frozen clock, a window with a menu bar, and a script of
// what the user does, one step each time the open menu waits.
#pragma once

#include <deque>
#include <functional>

#include "platform/display/headless_display.h"
#include "platform/kernel/test_hooks.h"
#include "platform/user/input/input_fixture.h"
#include "platform/user/menus/menu_test_hooks.h"
#include "platform/user/menus/menus.h"

namespace menu_test {

namespace headless = platform::headless;
using window_test::Recorder;

enum : UINT {
    ID_NEW = 101,
    ID_OPEN = 102,
    ID_EXIT = 103,
    ID_GREY = 104,
    ID_ONE = 111,
    ID_TWO = 112,
    ID_UNDO = 201,
    ID_HELP = 301,
};

inline POINT Centre(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// A loop nobody ends would wait for ever; under the frozen clock it runs the clock on to
// this timer instead, which fails the test and ends the menu.
inline void Watchdog(HWND, UINT, UINT_PTR, DWORD) {
    ADD_FAILURE() << "a menu was left waiting";
    for (int i = 0; i < 3; ++i)
        headless::PressKey(VK_ESCAPE);
}

class MenuTest : public input_test::InputTest {
protected:
    void SetUp() override {
        headless::Install();
        InputTest::SetUp();
        platform::test::FreezeClock(1000);
        watchdog = SetTimer(0, 0, 600000, Watchdog);
        headless::SetMenuWaitHook([this](HWND popup) {
            if (steps.empty()) return;
            auto step = std::move(steps.front());
            steps.pop_front();
            step(popup);
        });
    }
    void TearDown() override {
        headless::SetMenuWaitHook(nullptr);
        KillTimer(0, watchdog);
        EXPECT_TRUE(steps.empty()) << steps.size() << " steps were left";
        for (HMENU menu : menus)
            DestroyMenu(menu);
        InputTest::TearDown();
    }

    // File: New, Open, a separator, Recent > (One, Two), Grey (greyed), Exit; Edit: Undo;
    // and Help, a command on the bar itself.
    HMENU MakeBar() {
        bar = CreateMenu();
        file = CreatePopupMenu();
        recent = CreatePopupMenu();
        edit = CreatePopupMenu();
        AppendMenuA(recent, MF_STRING, ID_ONE, "&One");
        AppendMenuA(recent, MF_STRING, ID_TWO, "&Two");
        AppendMenuA(file, MF_STRING, ID_NEW, "&New\tCtrl+N");
        AppendMenuA(file, MF_STRING | MF_CHECKED, ID_OPEN, "&Open...");
        AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(file, MF_POPUP, recent, "&Recent");
        AppendMenuA(file, MF_STRING | MF_GRAYED, ID_GREY, "&Grey");
        AppendMenuA(file, MF_STRING, ID_EXIT, "E&xit");
        AppendMenuA(edit, MF_STRING, ID_UNDO, "&Undo");
        AppendMenuA(bar, MF_POPUP, file, "&File");
        AppendMenuA(bar, MF_POPUP, edit, "&Edit");
        AppendMenuA(bar, MF_STRING, ID_HELP, "&Help");
        menus.push_back(bar);
        return bar;
    }
    // A framed window with the bar above, active, and nothing heard yet.
    HWND MakeWindow(int x = 100, int y = 80) {
        HWND made = Keep(
            input_test::Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 320, 200, 0, 0, 0, "Menus"));
        if (bar == 0) MakeBar();
        SetMenu(made, bar);
        window_test::Pump();
        SetActiveWindow(made);
        window_test::Pump();
        Recorder::seen.clear();
        return made;
    }

    void Then(std::function<void(HWND)> step) { steps.push_back(std::move(step)); }
    // A step that finds `open`'s popup shown (none: 0), then acts.
    void ThenIn(HMENU open, std::function<void()> act) {
        Then([=](HWND popup) {
            EXPECT_EQ(popup, open != 0 ? platform::test::OpenPopupWindow(open) : 0u);
            act();
        });
    }
    // ... with item `selected` of the innermost menu highlighted, then presses the keys.
    void ThenKeys(HMENU open, int selected, std::vector<int> keys) {
        ThenIn(open, [=] {
            EXPECT_EQ(platform::test::SelectedMenuItem(), selected);
            for (int key : keys)
                headless::PressKey(key);
        });
    }

    static RECT ItemRect(HMENU menu, int position) {
        RECT rect{};
        EXPECT_TRUE(platform::test::OpenMenuItemRect(menu, position, rect)) << position;
        return rect;
    }
    static void ClickItem(HMENU menu, int position,
                          headless::Button button = headless::Button::Left) {
        POINT at = Centre(ItemRect(menu, position));
        headless::Click(button, at.x, at.y);
    }
    static void HoverItem(HMENU menu, int position) {
        POINT at = Centre(ItemRect(menu, position));
        headless::MoveMouse(at.x, at.y);
    }
    static POINT BarItem(HWND window, int position) {
        RECT rect{};
        EXPECT_TRUE(platform::test::MenuBarItemRect(window, position, rect)) << position;
        return Centre(rect);
    }
    static void Press(POINT at) { headless::PressMouse(headless::Button::Left, at.x, at.y); }
    static void Release(POINT at) { headless::ReleaseMouse(headless::Button::Left, at.x, at.y); }
    static headless::Pixels Shot(HWND window) {
        headless::Pixels pixels;
        EXPECT_TRUE(headless::ReadWholePixels(window, pixels));
        return pixels;
    }
    // The commands the window heard, after dispatching what is queued.
    static std::vector<WPARAM> Commands(LPARAM* lastLParam = nullptr) {
        window_test::Pump();
        std::vector<WPARAM> ids;
        for (const window_test::Seen& seen : Recorder::Of(WM_COMMAND)) {
            ids.push_back(seen.wParam);
            if (lastLParam) *lastLParam = seen.lParam;
        }
        return ids;
    }

    std::deque<std::function<void(HWND)>> steps;
    UINT_PTR watchdog = 0;
    std::vector<HMENU> menus;
    HMENU bar = 0, file = 0, recent = 0, edit = 0;
};

} // namespace menu_test
