// A press on a bar is tracked through the capture, not in a loop of its own: the
// application's loop keeps running, and every message it sends may destroy the window,
// so the window is looked up again after each.
#include "platform/user/input/input_routing.h"
#include "platform/user/scroll/scroll_bars.h"

namespace platform {
namespace {

constexpr UINT_PTR kRepeatTimer = 0xFFFA;
constexpr UINT kFirstRepeat = 200;
constexpr UINT kNextRepeat = 50;

struct Tracking {
    HWND window = 0;
    int bar = SB_CTL;
    ScrollPart part = ScrollPart::None;
    bool vertical = false;
    RECT rect{};  // the bar, in the window's client coordinates
    int grab = 0; // where the thumb was taken, from its start
    POINT last{};
};
// Mouse input is handled on the thread that owns the windows; one press at a time.
Tracking tracking;

WORD CodeOf(ScrollPart part) {
    switch (part) {
    case ScrollPart::LineUp:
        return SB_LINEUP;
    case ScrollPart::PageUp:
        return SB_PAGEUP;
    case ScrollPart::PageDown:
        return SB_PAGEDOWN;
    default:
        return SB_LINEDOWN;
    }
}

RECT BarRectLocked(const Window& window, int bar) {
    if (bar == SB_CTL)
        return RECT{0, 0, window.client.right - window.client.left,
                    window.client.bottom - window.client.top};
    RECT rect = WindowBarRectLocked(window, bar);
    LONG dx = window.client.left - window.window.left;
    LONG dy = window.client.top - window.window.top;
    return RECT{rect.left - dx, rect.top - dy, rect.right - dx, rect.bottom - dy};
}

int Length(const Tracking& t) {
    return t.vertical ? t.rect.bottom - t.rect.top : t.rect.right - t.rect.left;
}
int Thickness(const Tracking& t) {
    return t.vertical ? t.rect.right - t.rect.left : t.rect.bottom - t.rect.top;
}
int OffsetAlong(const Tracking& t, POINT point) {
    return t.vertical ? point.y - t.rect.top : point.x - t.rect.left;
}
bool Across(const Tracking& t, POINT point) {
    return t.vertical ? point.x >= t.rect.left && point.x < t.rect.right
                      : point.y >= t.rect.top && point.y < t.rect.bottom;
}

// The part under the point as the bar stands now.
ScrollPart PartUnder(const Tracking& t, POINT point) {
    WindowPtr window = LookupWindow(t.window);
    if (!window || !Across(t, point)) return ScrollPart::None;
    std::lock_guard lock(WindowLock());
    const ScrollBarData& data = ScrollBarLocked(*window, t.bar);
    ScrollLayout layout = LayOut(Length(t), Thickness(t), data.values, data.values.pos);
    return PartAt(layout, OffsetAlong(t, point));
}

void Redraw(HWND window, int bar) {
    if (bar == SB_CTL)
        InvalidateRect(window, nullptr, FALSE);
    else
        DrawWindowScrollBars(window);
}

// Sends the bar's WM_xSCROLL; false when the window died meanwhile.
bool SendScroll(HWND handle, int bar, WORD code, int position) {
    WindowPtr window = LookupWindow(handle);
    if (!window) return false;
    WindowPtr target;
    UINT message;
    {
        std::lock_guard lock(WindowLock());
        target = bar == SB_CTL ? LiveLocked(window->parent) : window;
        message = VerticalLocked(*window, bar) ? WM_VSCROLL : WM_HSCROLL;
    }
    if (target) {
        WPARAM wParam = code | static_cast<WPARAM>(static_cast<WORD>(position)) << 16;
        Send(target, message, wParam, bar == SB_CTL ? static_cast<LPARAM>(handle) : 0);
    }
    return IsWindow(handle) != FALSE;
}

void SetPressed(HWND handle, int bar, ScrollPart pressed) {
    WindowPtr window = LookupWindow(handle);
    if (!window) return;
    {
        std::lock_guard lock(WindowLock());
        ScrollBarData& data = ScrollBarLocked(*window, bar);
        if (data.pressed == pressed) return;
        data.pressed = pressed;
    }
    Redraw(handle, bar);
}

void Repeat(HWND handle, UINT, UINT_PTR id, DWORD) {
    if (tracking.window != handle || tracking.part == ScrollPart::Thumb) {
        KillTimer(handle, id);
        return;
    }
    Tracking t = tracking;
    if (PartUnder(t, t.last) == t.part) {
        if (!SendScroll(handle, t.bar, CodeOf(t.part), 0)) {
            tracking = Tracking{};
            return;
        }
    }
    if (tracking.window == handle) SetTimer(handle, kRepeatTimer, kNextRepeat, Repeat);
}

// Ends the press; `released` by the button (a drag then gives its position), else by
// losing the capture. A window being destroyed hears nothing more.
void EndTracking(bool released) {
    Tracking t = tracking;
    tracking = Tracking{};
    KillTimer(t.window, kRepeatTimer);
    int trackPos = 0;
    bool dying = true;
    if (WindowPtr window = LookupWindow(t.window)) {
        std::lock_guard lock(WindowLock());
        dying = window->destroying;
        ScrollBarData& data = ScrollBarLocked(*window, t.bar);
        trackPos = data.trackPos;
        data.dragging = false;
        data.pressed = ScrollPart::None;
    }
    if (GetCapture() == t.window) ReleaseCapture();
    if (dying || !IsWindow(t.window)) return;
    Redraw(t.window, t.bar);
    if (released && t.part == ScrollPart::Thumb &&
        !SendScroll(t.window, t.bar, SB_THUMBPOSITION, trackPos))
        return;
    SendScroll(t.window, t.bar, SB_ENDSCROLL, 0);
}

void DragThumb(POINT point) {
    WindowPtr window = LookupWindow(tracking.window);
    if (!window) return;
    int position;
    {
        std::lock_guard lock(WindowLock());
        ScrollBarData& data = ScrollBarLocked(*window, tracking.bar);
        ScrollLayout layout =
            LayOut(Length(tracking), Thickness(tracking), data.values, data.trackPos);
        position =
            PositionForThumb(layout, data.values, OffsetAlong(tracking, point) - tracking.grab);
        if (position == data.trackPos) return;
        data.trackPos = position;
    }
    Redraw(tracking.window, tracking.bar);
    if (!SendScroll(tracking.window, tracking.bar, SB_THUMBTRACK, position)) tracking = Tracking{};
}

} // namespace

void BeginScrollTracking(HWND handle, int bar, POINT point) {
    WindowPtr window = LookupWindow(handle);
    if (!window || tracking.window != 0) return;
    Tracking t;
    t.window = handle;
    t.bar = bar;
    t.last = point;
    {
        std::lock_guard lock(WindowLock());
        if (window->style & WS_DISABLED) return;
        ScrollBarData& data = ScrollBarLocked(*window, bar);
        if (data.disabled || !CanScroll(data.values)) return;
        t.vertical = VerticalLocked(*window, bar);
        t.rect = BarRectLocked(*window, bar);
        ScrollLayout layout = LayOut(Length(t), Thickness(t), data.values, data.values.pos);
        int offset = OffsetAlong(t, point);
        t.part = PartAt(layout, offset);
        if (t.part == ScrollPart::None) return;
        t.grab = offset - layout.thumbStart;
        if (t.part == ScrollPart::Thumb) {
            data.dragging = true;
            data.trackPos = data.values.pos;
        }
        data.pressed = t.part;
    }
    tracking = t;
    SetCapture(handle);
    Redraw(handle, bar);
    if (t.part == ScrollPart::Thumb) return;
    if (!SendScroll(handle, bar, CodeOf(t.part), 0)) {
        tracking = Tracking{};
        return;
    }
    if (tracking.window == handle) SetTimer(handle, kRepeatTimer, kFirstRepeat, Repeat);
}

bool ScrollTrackingMessage(HWND handle, UINT message, WPARAM, LPARAM lParam) {
    if (tracking.window == 0 || tracking.window != handle) return false;
    POINT point{static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam))),
                static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lParam)))};
    switch (message) {
    case WM_MOUSEMOVE:
        tracking.last = point;
        if (tracking.part == ScrollPart::Thumb)
            DragThumb(point);
        else
            SetPressed(handle, tracking.bar,
                       PartUnder(tracking, point) == tracking.part ? tracking.part
                                                                   : ScrollPart::None);
        return true;
    case WM_LBUTTONUP:
        EndTracking(true);
        return true;
    case WM_CAPTURECHANGED:
        EndTracking(false);
        return true;
    default:
        return false;
    }
}

} // namespace platform
