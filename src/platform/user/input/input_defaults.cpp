#include "platform/user/input/cursor.h"
#include "platform/user/input/input_routing.h"
#include "platform/kernel/system_info.h"
#include "platform/user/scroll/scroll_bars.h"

namespace platform {
namespace {

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

LRESULT HitTest(const WindowPtr& window, LPARAM lParam) {
    POINT point{static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam))),
                static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lParam)))};
    std::lock_guard lock(WindowLock());
    return DefaultHitTestLocked(*window, point);
}

WindowPtr ParentOf(const WindowPtr& window) {
    std::lock_guard lock(WindowLock());
    return (window->style & WS_CHILD) ? LiveLocked(window->parent) : nullptr;
}

} // namespace

LRESULT DefaultHitTestLocked(const Window& window, POINT point) {
    RECT outer = ScreenRectLocked(window);
    if (!Contains(outer, point)) return HTNOWHERE;
    RECT client = ScreenClientLocked(window);
    if (Contains(client, point)) return HTCLIENT;
    if ((window.style & WS_CAPTION) == WS_CAPTION && point.y < client.top) {
        LONG top = outer.top + OuterFrame(window.style, window.exStyle);
        int caption =
            GetSystemMetrics((window.exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
        if (point.y >= top && point.y < top + caption) return HTCAPTION;
    }
    if (LRESULT bar = ScrollBarHitTestLocked(window, point)) return bar;
    return HTBORDER;
}

bool DefaultInputMessage(const WindowPtr& window, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT& result) {
    switch (message) {
    case WM_NCHITTEST:
        result = HitTest(window, lParam);
        return true;
    case WM_MOUSEACTIVATE:
    case WM_SETCURSOR:
    case WM_MOUSEWHEEL: {
        // A child lets its parent decide first.
        result = 0;
        if (WindowPtr parent = ParentOf(window)) result = Send(parent, message, wParam, lParam);
        if (message == WM_MOUSEACTIVATE && result == 0) result = MA_ACTIVATE;
        if (message == WM_SETCURSOR && result == 0)
            result = DefaultSetCursor(window->handle, wParam, lParam);
        return true;
    }
    default:
        return false;
    }
}

} // namespace platform
