// What starts the menu loop: TrackPopupMenu, a press on a menu bar, and the keys of a
// window with a menu bar.
#include "platform/kernel/cp1252.h"
#include "platform/kernel/errors.h"
#include "platform/kernel/threads.h"
#include "platform/user/input/input.h"
#include "platform/user/menus/menu_bar.h"
#include "platform/user/menus/menu_layout.h"
#include "platform/user/menus/menu_loop.h"
#include "platform/user/messages.h"
#include "platform/user/windows.h"

namespace platform {
namespace {

// Alt went down and nothing else since: its release opens the menu bar.
thread_local bool altAlone = false;

void RunBar(HWND window, int item, bool open, bool pressed) {
    MenuLoopStart start;
    start.owner = window;
    start.bar = true;
    start.barItem = item;
    start.openBarItem = open;
    start.pressed = pressed;
    MenuLoopResult result;
    if (RunMenuLoop(start, result) && result.chosen && IsWindow(window))
        PostMessageA(window, WM_COMMAND, result.id, 0);
}

int FirstSelectable(const std::vector<MenuItem>& items) {
    for (size_t i = 0; i < items.size(); ++i)
        if (!(items[i].flags & MF_SEPARATOR)) return static_cast<int>(i);
    return -1;
}

} // namespace

void TrackMenuBar(HWND window, POINT screen) {
    HMENU menu = 0;
    RECT bar{};
    std::vector<RECT> boxes;
    if (!MenuBarLayout(window, menu, bar, boxes)) return;
    RECT outer{};
    GetWindowRect(window, &outer);
    int item = ItemAt(boxes, POINT{screen.x - outer.left, screen.y - outer.top});
    if (item < 0 || (MenuItemsOf(menu)[static_cast<size_t>(item)].flags & MF_SEPARATOR)) return;
    RunBar(window, item, true, true);
}

bool MenuBarKey(HWND focus, UINT message, WPARAM wParam, LPARAM lParam) {
    constexpr LPARAM kRepeat = LPARAM{1} << 30;
    bool altUp = message == WM_SYSKEYUP && wParam == VK_MENU;
    bool wasAlone = altAlone;
    if (message == WM_SYSKEYDOWN) {
        if (wParam != VK_MENU)
            altAlone = false;
        else if (!(lParam & kRepeat))
            altAlone = true;
    }
    if (altUp) altAlone = false;
    bool f10 = message == WM_SYSKEYDOWN && wParam == VK_F10;
    if (!(altUp && wasAlone) && !f10 && message != WM_SYSCHAR) return false;

    HWND window = TopLevelOf(focus);
    HMENU menu = 0;
    RECT bar{};
    std::vector<RECT> boxes;
    if (!MenuBarLayout(window, menu, bar, boxes)) return false;
    std::vector<MenuItem> items = MenuItemsOf(menu);
    if (message != WM_SYSCHAR) {
        int first = FirstSelectable(items);
        if (first >= 0) RunBar(window, first, false, false);
        return true;
    }
    unsigned char wanted = Cp1252ToUpper(static_cast<unsigned char>(wParam));
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuItem& item = items[i];
        if ((item.flags & MF_SEPARATOR) || Mnemonic(item.text) != wanted) continue;
        if (item.flags & MF_POPUP) {
            RunBar(window, static_cast<int>(i), true, false);
        } else if (!(item.flags & (MF_GRAYED | MF_DISABLED))) {
            PostMessageA(window, WM_COMMAND, item.id, 0);
        }
        return true;
    }
    return false;
}

} // namespace platform

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    if (!platform::MenuExists(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    if (!IsWindow(owner) || GetWindowThreadProcessId(owner, nullptr) != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    platform::MenuLoopStart start;
    start.owner = owner;
    start.flags = flags;
    start.popup = menu;
    start.at = POINT{x, y};
    platform::MenuLoopResult result;
    if (!platform::RunMenuLoop(start, result) || !result.chosen) return FALSE;
    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(result.id);
    if (!(flags & TPM_NONOTIFY) && IsWindow(owner)) PostMessageA(owner, WM_COMMAND, result.id, 0);
    return TRUE;
}
