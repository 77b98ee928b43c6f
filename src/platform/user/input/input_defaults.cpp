#include "platform/system/system_info.h"
#include "platform/user/input/cursor.h"
#include "platform/user/input/input_routing.h"
#include "platform/user/nonclient/frame_parts.h"

namespace platform {
namespace {

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
    return FrameHitTestLocked(window, POINT{point.x - outer.left, point.y - outer.top});
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
