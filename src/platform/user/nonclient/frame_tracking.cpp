// A press on the frame (the caption to move the window, a sizing edge, a caption button)
// is tracked through the capture, as a scroll bar's is: the application's loop keeps
// running during the drag, and every message sent may destroy the window, so the window
// is looked up again after each.
#include <algorithm>

#include "platform/user/input/input_routing.h"
#include "platform/user/menus/system_menu.h"
#include "platform/user/nonclient/frame_parts.h"
#include "platform/user/nonclient/nonclient.h"
#include "platform/user/sys_commands.h"

namespace platform {
namespace {

enum class Drag { None, Move, Size, Button };

struct FrameTracking {
    HWND window = 0;
    Drag drag = Drag::None;
    LRESULT hit = HTNOWHERE; // the edge or button taken
    POINT start{};           // the press, on the screen
    RECT startRect{};        // the window then, in its parent's client coordinates
    POINT parentOrigin{};    // the parent's client area on the screen (0, 0 at the top)
    bool pressed = false;    // a button looks pressed while the pointer stays on it
};
// Mouse input is handled on the thread that owns the windows; one press at a time.
FrameTracking tracking;

bool IsSizingEdge(LRESULT hit) {
    return hit >= HTLEFT && hit <= HTBOTTOMRIGHT;
}

// The button's command as the window stands now: a minimised or maximised window's
// button of that state restores it.
WPARAM CommandOf(LRESULT hit, DWORD style) {
    if (hit == HTCLOSE) return SC_CLOSE;
    if (hit == HTMINBUTTON) return (style & WS_MINIMIZE) ? SC_RESTORE : SC_MINIMIZE;
    return (style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE;
}

// Whether the button answers presses: a box the style lacks is drawn greyed, as is a
// close command greyed in the system menu.
bool ButtonLive(HWND handle, LRESULT hit, DWORD style) {
    if (hit == HTCLOSE) return !CloseDisabled(handle);
    return (style & (hit == HTMINBUTTON ? WS_MINIMIZEBOX : WS_MAXIMIZEBOX)) != 0;
}

// Whether a screen point lies on the button of the window as it stands now.
bool OnButton(const Window& window, LRESULT button, POINT point) {
    RECT outer = ScreenRectLocked(window);
    return FrameHitTestLocked(window, POINT{point.x - outer.left, point.y - outer.top}) == button;
}

void SetButtonPressed(HWND handle, bool pressed) {
    if (tracking.pressed == pressed) return;
    tracking.pressed = pressed;
    DrawNonClient(handle);
}

// The window's rectangle with the dragged edges moved by the pointer's travel; an edge
// never passes the opposite one.
RECT SizedRect(POINT point) {
    int64_t dx = int64_t{point.x} - tracking.start.x;
    int64_t dy = int64_t{point.y} - tracking.start.y;
    const RECT& from = tracking.startRect;
    int64_t left = from.left, top = from.top, right = from.right, bottom = from.bottom;
    LRESULT hit = tracking.hit;
    if (hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT) left = std::min(left + dx, right);
    if (hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT)
        right = std::max(right + dx, left);
    if (hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT) top = std::min(top + dy, bottom);
    if (hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT)
        bottom = std::max(bottom + dy, top);
    return RECT{Clamp32(left), Clamp32(top), Clamp32(right), Clamp32(bottom)};
}

// After a message was sent: false, and the press forgotten, when the window died; false
// also when the handler ended the press itself.
bool StillTracking(HWND handle) {
    if (tracking.window != handle) return false;
    if (IsWindow(handle)) return true;
    tracking = FrameTracking{};
    return false;
}

void Move(HWND handle, POINT point) {
    int64_t x = int64_t{tracking.startRect.left} + point.x - tracking.start.x;
    int64_t y = int64_t{tracking.startRect.top} + point.y - tracking.start.y;
    SetWindowPos(handle, 0, Clamp32(x), Clamp32(y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    StillTracking(handle);
}

// WM_SIZING with the rectangle on the screen, which the procedure may change; the window
// then takes what it left there.
void Size(HWND handle, POINT point) {
    RECT rect = SizedRect(point);
    const POINT& origin = tracking.parentOrigin;
    RECT onScreen{Clamp32(int64_t{rect.left} + origin.x), Clamp32(int64_t{rect.top} + origin.y),
                  Clamp32(int64_t{rect.right} + origin.x),
                  Clamp32(int64_t{rect.bottom} + origin.y)};
    SendMessageA(handle, WM_SIZING, static_cast<WPARAM>(tracking.hit - HTLEFT) + WMSZ_LEFT,
                 reinterpret_cast<LPARAM>(&onScreen));
    if (!StillTracking(handle)) return;
    int64_t left = int64_t{onScreen.left} - origin.x;
    int64_t top = int64_t{onScreen.top} - origin.y;
    SetWindowPos(handle, 0, Clamp32(left), Clamp32(top),
                 Clamp32(std::max<int64_t>(int64_t{onScreen.right} - onScreen.left, 0)),
                 Clamp32(std::max<int64_t>(int64_t{onScreen.bottom} - onScreen.top, 0)),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    StillTracking(handle);
}

// Ends the press; `released` by the button (a caption button then sends its command if
// the pointer is still on it), else by losing the capture.
void EndTracking(bool released, POINT point) {
    FrameTracking t = tracking;
    tracking = FrameTracking{};
    if (GetCapture() == t.window) ReleaseCapture();
    if (t.drag != Drag::Button) return;
    WindowPtr window = LookupWindow(t.window);
    if (!window) return;
    DWORD style;
    bool on;
    {
        std::lock_guard lock(WindowLock());
        if (window->destroying) return;
        style = window->style;
        on = OnButton(*window, t.hit, point);
    }
    if (t.pressed) DrawNonClient(t.window);
    if (released && on)
        SendMessageA(t.window, WM_SYSCOMMAND, CommandOf(t.hit, style),
                     MAKELPARAM(point.x, point.y));
}

} // namespace

void BeginFrameTracking(HWND handle, LRESULT hit, POINT point) {
    // A press whose window died or lost the capture unheard is over.
    if (tracking.window != 0 && IsWindow(tracking.window) && GetCapture() == tracking.window)
        return;
    tracking = FrameTracking{};
    WindowPtr window = LookupWindow(handle);
    if (!window) return;
    FrameTracking t;
    t.window = handle;
    t.hit = hit;
    t.start = point;
    DWORD style;
    {
        std::lock_guard lock(WindowLock());
        style = window->style;
        if (style & WS_DISABLED) return;
        t.startRect = window->window;
        if (WindowPtr parent = window->parent ? LookupWindowLocked(window->parent) : nullptr)
            t.parentOrigin = ClientOriginLocked(*parent);
    }
    if (hit == HTCAPTION) {
        if (style & WS_MAXIMIZE) return;
        t.drag = Drag::Move;
    } else if (IsSizingEdge(hit)) {
        t.drag = Drag::Size;
    } else if (hit == HTCLOSE || hit == HTMINBUTTON || hit == HTMAXBUTTON) {
        if (!ButtonLive(handle, hit, style)) return;
        t.drag = Drag::Button;
    } else {
        return;
    }
    tracking = t;
    SetCapture(handle);
    if (t.drag == Drag::Button) SetButtonPressed(handle, true);
}

bool FrameTrackingMessage(HWND handle, UINT message, LPARAM lParam) {
    if (tracking.window == 0 || tracking.window != handle) return false;
    POINT point{static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam))),
                static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lParam)))};
    // The capture's messages come in client coordinates, which move with the window.
    if (message != WM_CAPTURECHANGED) {
        WindowPtr window = LookupWindow(handle);
        if (!window) {
            tracking = FrameTracking{};
            return true;
        }
        std::lock_guard lock(WindowLock());
        POINT origin = ClientOriginLocked(*window);
        point = POINT{Clamp32(int64_t{point.x} + origin.x), Clamp32(int64_t{point.y} + origin.y)};
    }
    switch (message) {
    case WM_MOUSEMOVE:
        if (tracking.drag == Drag::Move) {
            Move(handle, point);
        } else if (tracking.drag == Drag::Size) {
            Size(handle, point);
        } else {
            bool on = false;
            if (WindowPtr window = LookupWindow(handle)) {
                std::lock_guard lock(WindowLock());
                on = OnButton(*window, tracking.hit, point);
            }
            SetButtonPressed(handle, on);
        }
        return true;
    case WM_LBUTTONUP:
        EndTracking(true, point);
        return true;
    case WM_CAPTURECHANGED:
        EndTracking(false, point);
        return true;
    default:
        return false;
    }
}

LRESULT PressedCaptionButton(HWND handle) {
    bool pressed = tracking.window == handle && tracking.drag == Drag::Button && tracking.pressed;
    return pressed ? tracking.hit : HTNOWHERE;
}

} // namespace platform
