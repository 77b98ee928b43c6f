#include "platform/kernel/errors.h"
#include "platform/system/system_info.h"
#include "platform/user/input/input_routing.h"
#include "platform/user/window_table.h"

namespace {

using platform::ShowTarget;
using platform::Window;
using platform::WindowPtr;

// Where minimised top-level windows go, out of sight, and the size they keep there; a
// minimised child keeps that width.
constexpr LONG kMinimizedAway = -32000;
constexpr LONG kMinimizedWidth = 160;
constexpr LONG kMinimizedHeight = 24;

// The area a maximised window fills: its parent's client area, or the screen.
RECT MaximizeArea(const Window& window) {
    if (window.parent != 0) {
        if (WindowPtr parent = platform::LookupWindowLocked(window.parent)) {
            const RECT& client = parent->client;
            return platform::RectAt(0, 0, int64_t{client.right} - client.left,
                                    int64_t{client.bottom} - client.top);
        }
    }
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

RECT MaximizedRect(const Window& window) {
    RECT area = MaximizeArea(window);
    int frame = platform::OuterFrame(window.style, window.exStyle);
    return RECT{area.left - frame, area.top - frame, platform::Clamp32(int64_t{area.right} + frame),
                platform::Clamp32(int64_t{area.bottom} + frame)};
}

RECT MinimizedRect(const Window& window) {
    if (window.parent == 0) {
        return RECT{kMinimizedAway, kMinimizedAway, kMinimizedAway + kMinimizedWidth,
                    kMinimizedAway + kMinimizedHeight};
    }
    // A child shrinks to its caption bar, at its parent's bottom left.
    bool tool = (window.exStyle & WS_EX_TOOLWINDOW) != 0;
    LONG height = 2 * platform::OuterFrame(window.style, window.exStyle) +
                  GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION);
    RECT area = MaximizeArea(window);
    return RECT{0, area.bottom - height, kMinimizedWidth, area.bottom};
}

} // namespace

namespace platform {

BOOL SetShowState(const WindowPtr& window, ShowTarget target, bool visible, bool raise) {
    DWORD style;
    bool topLevel;
    {
        std::lock_guard lock(WindowLock());
        style = window->style;
        topLevel = window->parent == 0;
    }
    bool wasVisible = (style & WS_VISIBLE) != 0;
    bool minimized = (style & WS_MINIMIZE) != 0;
    bool maximized = (style & WS_MAXIMIZE) != 0;
    if (target == ShowTarget::Restore && !minimized && !maximized) target = ShowTarget::Keep;
    if ((target == ShowTarget::Minimize && minimized) ||
        (target == ShowTarget::Maximize && maximized))
        target = ShowTarget::Keep;
    if (target == ShowTarget::Keep && visible == wasVisible) return wasVisible ? TRUE : FALSE;

    if (visible != wasVisible) {
        Send(window, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
        std::lock_guard lock(WindowLock());
        if (window->dead) return wasVisible ? TRUE : FALSE;
        style = window->style;
    }

    RECT rect{};
    DWORD newStyle = style & ~(WS_MINIMIZE | WS_MAXIMIZE);
    {
        std::lock_guard lock(WindowLock());
        if (target == ShowTarget::Restore && minimized && window->restoreToMaximized)
            target = ShowTarget::Maximize;
        switch (target) {
        case ShowTarget::Minimize:
            window->restoreToMaximized = maximized;
            rect = MinimizedRect(*window);
            window->minPosition = POINT{rect.left, rect.top};
            newStyle |= WS_MINIMIZE;
            break;
        case ShowTarget::Maximize:
            window->restoreToMaximized = false;
            rect = MaximizedRect(*window);
            window->maxPosition = POINT{rect.left, rect.top};
            newStyle |= WS_MAXIMIZE;
            break;
        case ShowTarget::Restore:
            window->restoreToMaximized = false;
            rect = window->normal;
            break;
        case ShowTarget::Keep:
            rect = window->window;
            newStyle = style;
            break;
        }
    }
    UINT flags = visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
    if (!raise || !topLevel) flags |= SWP_NOZORDER | SWP_NOACTIVATE;
    if (target == ShowTarget::Keep)
        flags |= SWP_NOMOVE | SWP_NOSIZE;
    else
        flags |= SWP_FRAMECHANGED;
    ChangeWindowPos(window, HWND_TOP, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, flags, newStyle);
    if (topLevel && visible && raise) ActivateShownWindow(window);
    if (topLevel && wasVisible && !visible) ReleaseInputFrom(window);
    return wasVisible ? TRUE : FALSE;
}

} // namespace platform

BOOL ShowWindow(HWND handle, int command) {
    WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return FALSE;
    bool visible;
    {
        std::lock_guard lock(platform::WindowLock());
        visible = (window->style & WS_VISIBLE) != 0;
    }
    switch (command) {
    case SW_HIDE:
        return platform::SetShowState(window, ShowTarget::Keep, false, false);
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
        return platform::SetShowState(window, ShowTarget::Restore, true, true);
    case SW_SHOWNOACTIVATE:
        return platform::SetShowState(window, ShowTarget::Restore, true, false);
    case SW_SHOWMINIMIZED:
        return platform::SetShowState(window, ShowTarget::Minimize, true, true);
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
        return platform::SetShowState(window, ShowTarget::Minimize, true, false);
    case SW_SHOWMAXIMIZED:
        return platform::SetShowState(window, ShowTarget::Maximize, true, true);
    case SW_SHOW:
        return platform::SetShowState(window, ShowTarget::Keep, true, !visible);
    case SW_SHOWNA:
        return platform::SetShowState(window, ShowTarget::Keep, true, false);
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}

BOOL IsWindowVisible(HWND handle) {
    std::lock_guard lock(platform::WindowLock());
    for (WindowPtr window = platform::LookupWindowLocked(handle); window;
         window = window->parent ? platform::LookupWindowLocked(window->parent) : nullptr) {
        if (!(window->style & WS_VISIBLE)) return FALSE;
        if (window->parent == 0) return TRUE;
    }
    return FALSE;
}

namespace {

bool HasStyle(HWND handle, DWORD bits) {
    WindowPtr window = platform::LookupWindow(handle);
    if (!window) return false;
    std::lock_guard lock(platform::WindowLock());
    return (window->style & bits) != 0;
}

} // namespace

BOOL IsIconic(HWND handle) {
    return HasStyle(handle, WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND handle) {
    return HasStyle(handle, WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND handle) {
    WindowPtr window = platform::LookupWindow(handle);
    if (!window) return FALSE;
    std::lock_guard lock(platform::WindowLock());
    return (window->style & WS_DISABLED) ? FALSE : TRUE;
}

BOOL EnableWindow(HWND handle, BOOL enable) {
    WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return FALSE;
    bool wasDisabled;
    bool loseFocus = false;
    {
        std::lock_guard lock(platform::WindowLock());
        wasDisabled = (window->style & WS_DISABLED) != 0;
        if (wasDisabled == !enable) return wasDisabled ? TRUE : FALSE;
        if (enable) {
            window->style &= ~WS_DISABLED;
        } else {
            window->style |= WS_DISABLED;
            // A disabled window, or one inside it, cannot keep the keyboard; the active
            // window stays active.
            HWND focus = platform::InputStateLocked().focus;
            loseFocus =
                focus != 0 && (focus == handle || platform::IsDescendantLocked(handle, focus));
        }
    }
    if (loseFocus) platform::MoveFocus(nullptr);
    platform::Send(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled ? TRUE : FALSE;
}
