#include <algorithm>
#include <cstring>

#include "platform/controls/controls.h"
#include "platform/user/input/input_routing.h"
#include "platform/user/menus/menu_bar.h"
#include "platform/user/menus/system_menu.h"
#include "platform/user/nonclient/frame_parts.h"
#include "platform/user/nonclient/nonclient.h"
#include "platform/user/paint/paint_hooks.h"
#include "platform/user/scroll/scroll_bars.h"
#include "platform/user/window_table.h"

namespace {

using platform::WindowPtr;

LRESULT SetText(const WindowPtr& window, LPCSTR text) {
    std::lock_guard lock(platform::WindowLock());
    window->text = text != nullptr ? text : "";
    return TRUE;
}

// Copies at most `size` - 1 bytes and a terminating zero; the number of bytes copied.
LRESULT GetText(const WindowPtr& window, WPARAM size, LPSTR buffer) {
    if (size == 0 || buffer == nullptr) return 0;
    std::lock_guard lock(platform::WindowLock());
    size_t count = std::min<size_t>(window->text.size(), size - 1);
    std::memcpy(buffer, window->text.data(), count);
    buffer[count] = '\0';
    return static_cast<LRESULT>(count);
}

LRESULT CalcSize(const WindowPtr& window, WPARAM wParam, LPARAM lParam) {
    if (lParam == 0) return 0;
    RECT* rect = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                        : reinterpret_cast<RECT*>(lParam);
    RECT insets;
    {
        std::lock_guard lock(platform::WindowLock());
        bool menu = window->parent == 0 && window->id != 0;
        insets = platform::FrameInsets(window->style, window->exStyle, menu, true);
    }
    int64_t left = int64_t{rect->left} + insets.left;
    int64_t top = int64_t{rect->top} + insets.top;
    int64_t right = std::max(left, int64_t{rect->right} - insets.right);
    int64_t bottom = std::max(top, int64_t{rect->bottom} - insets.bottom);
    *rect = RECT{platform::Clamp32(left), platform::Clamp32(top), platform::Clamp32(right),
                 platform::Clamp32(bottom)};
    return 0;
}

// The client area moved or changed size: WM_MOVE with its new place, WM_SIZE with its
// new size and the window's state.
LRESULT PositionChanged(const WindowPtr& window, const WINDOWPOS* position) {
    if (position == nullptr) return 0;
    RECT client;
    DWORD style;
    {
        std::lock_guard lock(platform::WindowLock());
        client = window->client;
        style = window->style;
    }
    if (!(position->flags & SWP_NOCLIENTMOVE))
        platform::Send(window, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
    if (!(position->flags & SWP_NOCLIENTSIZE)) {
        WPARAM kind = (style & WS_MINIMIZE)   ? SIZE_MINIMIZED
                      : (style & WS_MAXIMIZE) ? SIZE_MAXIMIZED
                                              : SIZE_RESTORED;
        platform::Send(window, WM_SIZE, kind,
                       MAKELPARAM(client.right - client.left, client.bottom - client.top));
    }
    return 0;
}

LRESULT SystemCommand(HWND handle, const WindowPtr& window, WPARAM command) {
    switch (command & 0xFFF0) {
    case SC_CLOSE:
        // A greyed close command drops every request: the button, Alt+F4, the desktop's.
        if (!platform::CloseDisabled(handle)) platform::Send(window, WM_CLOSE);
        return 0;
    case SC_MINIMIZE:
        ShowWindow(handle, SW_MINIMIZE);
        return 0;
    case SC_MAXIMIZE:
        ShowWindow(handle, SW_MAXIMIZE);
        return 0;
    case SC_RESTORE:
        ShowWindow(handle, SW_RESTORE);
        return 0;
    default:
        return 0;
    }
}

// Alt+F4 closes the top-level window, unless its class has no close command.
LRESULT SystemKey(const WindowPtr& window, WPARAM key, LPARAM lParam) {
    constexpr WPARAM kF4 = VK_F1 + 3;
    constexpr LPARAM kAltDown = LPARAM{1} << 29;
    if (key != kF4 || !(lParam & kAltDown)) return 0;
    WindowPtr top;
    {
        std::lock_guard lock(platform::WindowLock());
        top = platform::TopLevelLocked(window);
        if (top && (top->windowClass->style & CS_NOCLOSE)) top = nullptr;
    }
    if (top && !platform::CloseDisabled(top->handle))
        platform::Send(top, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}

} // namespace

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return 0;
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (create != nullptr && create->lpszName != nullptr) SetText(window, create->lpszName);
        return TRUE;
    }
    case WM_NCCALCSIZE:
        return CalcSize(window, wParam, lParam);
    case WM_SETTEXT:
        return SetText(window, reinterpret_cast<LPCSTR>(lParam));
    case WM_GETTEXT:
        return GetText(window, wParam, reinterpret_cast<LPSTR>(lParam));
    case WM_GETTEXTLENGTH: {
        std::lock_guard lock(platform::WindowLock());
        return static_cast<LRESULT>(window->text.size());
    }
    case WM_SETICON:
    case WM_GETICON: {
        if (wParam > ICON_BIG) return 0;
        std::lock_guard lock(platform::WindowLock());
        HICON previous = window->icons[wParam];
        if (message == WM_SETICON) window->icons[wParam] = static_cast<HICON>(lParam);
        return static_cast<LRESULT>(previous);
    }
    case WM_WINDOWPOSCHANGED:
        return PositionChanged(window, reinterpret_cast<const WINDOWPOS*>(lParam));
    case WM_CLOSE:
        DestroyWindow(handle);
        return 0;
    case WM_SYSCOMMAND:
        return SystemCommand(handle, window, wParam);
    case WM_SYSKEYDOWN:
        if (platform::MenuBarKey(handle, message, wParam, lParam)) return 0;
        return SystemKey(window, wParam, lParam);
    case WM_SYSKEYUP:
    case WM_SYSCHAR: {
        if (platform::MenuBarKey(handle, message, wParam, lParam)) return 0;
        LRESULT result = 0;
        platform::DefaultInputMessage(window, message, wParam, lParam, result);
        return result;
    }
    case WM_PAINT:
        return platform::DefaultPaint(handle);
    case WM_NCPAINT:
        platform::DrawNonClient(handle);
        return 0;
    case WM_NCACTIVATE:
        platform::SetCaptionActive(handle, wParam != FALSE);
        return TRUE;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTMENU) {
            platform::TrackMenuBar(
                handle, POINT{static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam))),
                              static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lParam)))});
            return 0;
        }
        if (wParam == HTHSCROLL || wParam == HTVSCROLL) {
            POINT point{static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam))),
                        static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lParam)))};
            ScreenToClient(handle, &point);
            platform::BeginScrollTracking(handle, wParam == HTHSCROLL ? SB_HORZ : SB_VERT, point);
            return 0;
        }
        platform::BeginFrameTracking(
            handle, static_cast<LRESULT>(wParam),
            POINT{static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam))),
                  static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lParam)))});
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (!platform::FrameTrackingMessage(handle, message, lParam))
            platform::ScrollTrackingMessage(handle, message, wParam, lParam);
        return 0;
    case WM_ERASEBKGND:
        return platform::DefaultEraseBackground(handle, static_cast<HDC>(wParam));
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return static_cast<LRESULT>(
            platform::DefaultControlColor(message, static_cast<HDC>(wParam)));
    default: {
        LRESULT result = 0;
        platform::DefaultInputMessage(window, message, wParam, lParam, result);
        return result;
    }
    }
}
