// A top-level window's menu bar: setting it, and drawing it in the non-client area.
#include "platform/user/menus/menu_bar.h"

#include "platform/gdi/device_context.h"
#include "platform/kernel/errors.h"
#include "platform/user/menus/menu_layout.h"
#include "platform/user/menus/menu_loop.h"
#include "platform/user/nonclient/frame_parts.h"
#include "platform/user/window_table.h"

namespace platform {

bool MenuBarLayout(HWND handle, HMENU& menu, RECT& bar, std::vector<RECT>& boxes) {
    WindowPtr window = LookupWindow(handle);
    if (!window) return false;
    {
        std::lock_guard lock(WindowLock());
        if (window->parent != 0 || window->id == 0) return false;
        menu = static_cast<HMENU>(window->id);
        bar = FramePartsLocked(*window).menuBar;
    }
    if (bar.right <= bar.left || bar.bottom <= bar.top) return false;
    boxes = LayOutBar(MenuItemsOf(menu), bar);
    return true;
}

HWND TopLevelOf(HWND window) {
    while (window != 0 && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
        HWND parent = GetParent(window);
        if (parent == 0) break;
        window = parent;
    }
    return window;
}

void PaintMenuBar(HWND handle) {
    HMENU menu = 0;
    RECT bar{};
    std::vector<RECT> boxes;
    if (!MenuBarLayout(handle, menu, bar, boxes)) return;
    HDC dc = GetWindowDC(handle);
    if (dc == 0) return;
    int selected = -1;
    bool open = false;
    BarHighlight(handle, selected, open);
    DrawBar(dc, bar, MenuItemsOf(menu), boxes, selected, open);
    ReleaseDC(handle, dc);
}

} // namespace platform

BOOL SetMenu(HWND handle, HMENU menu) {
    platform::WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return FALSE;
    if (menu != 0 && !platform::MenuExists(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    {
        std::lock_guard lock(platform::WindowLock());
        // A child's id is its control id, not a menu.
        if (window->style & WS_CHILD) {
            SetLastError(ERROR_CHILD_WINDOW_MENU);
            return FALSE;
        }
        window->id = menu;
    }
    // The bar's row comes or goes: the client area follows, with WM_SIZE.
    SetWindowPos(handle, 0, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

HMENU GetMenu(HWND handle) {
    platform::WindowPtr window = platform::LookupWindow(handle);
    if (!window) return 0;
    std::lock_guard lock(platform::WindowLock());
    if (window->style & WS_CHILD) return 0;
    return static_cast<HMENU>(window->id);
}

BOOL DrawMenuBar(HWND handle) {
    platform::WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return FALSE;
    platform::PaintMenuBar(handle);
    return TRUE;
}
