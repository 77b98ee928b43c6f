// The "SCROLLBAR" control: one bar filling its client area, its WM_xSCROLL going to the
// parent.
#include "platform/user/input/input_routing.h"
#include "platform/user/scroll/scroll_bars.h"

namespace platform {
namespace {

LRESULT Paint(HWND handle) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(handle, &paint);
    if (dc == 0) return 0;
    WindowPtr window = LookupWindow(handle);
    if (window) {
        WindowPtr parent;
        {
            std::lock_guard lock(WindowLock());
            parent = LiveLocked(window->parent);
        }
        HBRUSH brush = parent ? static_cast<HBRUSH>(Send(parent, WM_CTLCOLORSCROLLBAR, dc,
                                                         static_cast<LPARAM>(handle)))
                              : 0;
        if (brush == 0) brush = GetSysColorBrush(COLOR_SCROLLBAR);
        RECT rect{};
        ScrollBarData data;
        bool vertical = false;
        bool enabled = false;
        bool alive = false;
        {
            std::lock_guard lock(WindowLock());
            if (!window->dead) {
                alive = true;
                rect = RECT{0, 0, window->client.right - window->client.left,
                            window->client.bottom - window->client.top};
                data = ScrollBarLocked(*window, SB_CTL);
                vertical = VerticalLocked(*window, SB_CTL);
                enabled = !(window->style & WS_DISABLED);
            }
        }
        if (alive) DrawScrollBar(dc, rect, vertical, data, enabled, brush);
    }
    EndPaint(handle, &paint);
    return 0;
}

// A key on the focused control: the code, then SB_ENDSCROLL.
void Key(HWND handle, WPARAM key) {
    WORD code;
    switch (key) {
    case VK_UP:
    case VK_LEFT:
        code = SB_LINEUP;
        break;
    case VK_DOWN:
    case VK_RIGHT:
        code = SB_LINEDOWN;
        break;
    case VK_PRIOR:
        code = SB_PAGEUP;
        break;
    case VK_NEXT:
        code = SB_PAGEDOWN;
        break;
    case VK_HOME:
        code = SB_TOP;
        break;
    case VK_END:
        code = SB_BOTTOM;
        break;
    default:
        return;
    }
    WindowPtr window = LookupWindow(handle);
    if (!window) return;
    WindowPtr parent;
    UINT message;
    {
        std::lock_guard lock(WindowLock());
        parent = LiveLocked(window->parent);
        message = VerticalLocked(*window, SB_CTL) ? WM_VSCROLL : WM_HSCROLL;
    }
    if (!parent) return;
    Send(parent, message, code, static_cast<LPARAM>(handle));
    if (IsWindow(handle)) Send(parent, message, SB_ENDSCROLL, static_cast<LPARAM>(handle));
}

LRESULT ScrollBarProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        return Paint(handle);
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (GetWindowLongA(handle, GWL_STYLE) & WS_TABSTOP) SetFocus(handle);
        if (!IsWindow(handle)) return 0;
        POINT point{static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam))),
                    static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lParam)))};
        BeginScrollTracking(handle, SB_CTL, point);
        return 0;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (ScrollTrackingMessage(handle, message, wParam, lParam)) return 0;
        return DefWindowProcA(handle, message, wParam, lParam);
    case WM_KEYDOWN:
        Key(handle, wParam);
        return 0;
    case WM_ENABLE:
        InvalidateRect(handle, nullptr, FALSE);
        return 0;
    default:
        return DefWindowProcA(handle, message, wParam, lParam);
    }
}

} // namespace

void RegisterScrollBarClass() {
    [[maybe_unused]] static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = ScrollBarProcedure;
        windowClass.lpszClassName = SCROLLBAR_CLASS;
        return RegisterClassA(&windowClass) != 0;
    }();
}

bool IsScrollBarControlLocked(const Window& window) {
    return window.windowClass && window.windowClass->procedure == ScrollBarProcedure;
}

} // namespace platform
