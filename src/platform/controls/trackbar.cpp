#include "platform/controls/trackbar.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/controls/control_common.h"
#include "platform/controls/control_procedure.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/label.h"
#include "platform/controls/static_text.h"
#include "platform/controls/trackbar_layout.h"
#include "platform/gdi/controls/draw_edge.h"
#include "platform/gdi/controls/focus_rect.h"

namespace platform {

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeat = 200;
constexpr UINT kNextRepeats = 50;
constexpr int kDefaultThumbLength = 21;
// A frequency that would make more automatic ticks than this makes none: a range of 2^32
// ticked every 1 would otherwise fill the memory.
constexpr int64_t kMaxAutoTicks = 10000;

enum class Tracking { None, Thumb, Page };

struct TrackbarState {
    ControlFont font;
    int low = 0;
    int high = 100;
    int position = 0;
    int selStart = 0;
    int selEnd = 0;
    int lineSize = 1;
    int pageSize = 20;
    int frequency = 1;
    bool autoTicks = true; // TBM_CLEARTICS drops them until the next TBM_SETTICFREQ
    int fixedThumbLength = kDefaultThumbLength;
    std::vector<int> ticks;
    bool focused = false;
    Tracking tracking = Tracking::None;
    bool repeating = false;
    int dragOffset = 0;
    int pointer = 0;   // the pointer along the trackbar while paging
    WORD pageCode = 0; // the way a held page click goes
    HWND tip = 0;
};

ControlStates<TrackbarState>& States() {
    static auto* states = new ControlStates<TrackbarState>;
    return *states;
}

bool Vertical(DWORD style) {
    return (style & TBS_VERT) != 0;
}

TrackbarLayout LayoutOf(HWND window, const TrackbarState& state) {
    DWORD style = StyleOf(window);
    RECT client = ClientOf(window);
    TrackbarLayout layout;
    layout.vertical = Vertical(style);
    bool ticks = !(style & TBS_NOTICKS);
    layout.ticksBefore = ticks && (style & (TBS_TOP | TBS_BOTH));
    layout.ticksAfter = ticks && (!(style & TBS_TOP) || (style & TBS_BOTH));
    layout.length = layout.vertical ? client.bottom : client.right;
    int across = layout.vertical ? client.right : client.bottom;
    int room = across - layout.ThumbTop() - (layout.ticksAfter ? 6 : 4);
    layout.thumbLength = (style & TBS_FIXEDLENGTH) ? state.fixedThumbLength
                                                   : std::clamp(room, 6, kDefaultThumbLength);
    layout.low = state.low;
    layout.high = state.high;
    return layout;
}

// The ticks between the ends, in order: those set and, under TBS_AUTOTICKS, one every
// `frequency` from the minimum.
std::vector<int> TicksOf(HWND window, const TrackbarState& state) {
    std::vector<int> ticks = state.ticks;
    if ((StyleOf(window) & TBS_AUTOTICKS) && state.autoTicks && state.frequency > 0 &&
        (int64_t{state.high} - state.low) / state.frequency <= kMaxAutoTicks) {
        for (int64_t at = int64_t{state.low} + state.frequency; at < state.high;
             at += state.frequency)
            ticks.push_back(static_cast<int>(at));
    }
    std::sort(ticks.begin(), ticks.end());
    ticks.erase(std::unique(ticks.begin(), ticks.end()), ticks.end());
    return ticks;
}

int Clamped(const TrackbarState& state, int64_t position) {
    return static_cast<int>(
        std::clamp<int64_t>(position, state.low, std::max(state.low, state.high)));
}

void Redraw(HWND window, WPARAM redraw = TRUE) {
    if (redraw) InvalidateRect(window, nullptr, FALSE);
}

// Tells the parent; false when the trackbar died meanwhile.
bool Notify(HWND window, const TrackbarState& state, WORD code) {
    HWND parent = GetParent(window);
    bool thumb = code == TB_THUMBTRACK || code == TB_THUMBPOSITION;
    if (parent != 0)
        SendMessageA(parent, Vertical(StyleOf(window)) ? WM_VSCROLL : WM_HSCROLL,
                     MAKEWPARAM(code, thumb ? state.position : 0), static_cast<LPARAM>(window));
    return IsWindow(window);
}

void DrawTicks(HDC dc, const TrackbarLayout& layout, const std::vector<int>& values) {
    HBRUSH ink = GetSysColorBrush(COLOR_BTNTEXT);
    for (int value : values) {
        int at = layout.PixelOf(value);
        if (layout.ticksBefore) {
            RECT tick = layout.Oriented(at, layout.ThumbTop() - 5, at + 1, layout.ThumbTop() - 2);
            FillRect(dc, &tick, ink);
        }
        if (layout.ticksAfter) {
            int start = layout.ThumbTop() + layout.thumbLength + 2;
            RECT tick = layout.Oriented(at, start, at + 1, start + 3);
            FillRect(dc, &tick, ink);
        }
    }
}

void Paint(HWND window, const TrackbarState& state, HDC dc) {
    HBRUSH brush = ParentColor(window, WM_CTLCOLORSTATIC, dc);
    if (!IsWindow(window)) return;
    DWORD style = StyleOf(window);
    RECT client = ClientOf(window);
    FillRect(dc, &client, brush);
    TrackbarLayout layout = LayoutOf(window, state);
    RECT channel = layout.Channel();
    DrawEdge(dc, &channel, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillRect(dc, &channel, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    if ((style & TBS_ENABLESELRANGE) && state.selEnd > state.selStart) {
        RECT selection = layout.vertical ? RECT{channel.left, layout.PixelOf(state.selStart),
                                                channel.right, layout.PixelOf(state.selEnd) + 1}
                                         : RECT{layout.PixelOf(state.selStart), channel.top,
                                                layout.PixelOf(state.selEnd) + 1, channel.bottom};
        FillRect(dc, &selection, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    if (!(style & TBS_NOTICKS)) {
        std::vector<int> values = TicksOf(window, state);
        values.push_back(state.low);
        values.push_back(state.high);
        DrawTicks(dc, layout, values);
    }
    if (!(style & TBS_NOTHUMB)) {
        RECT thumb = layout.Thumb(state.position);
        DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
    if (state.focused) DrawFocusRect(dc, &client);
}

// The position beside the dragged thumb, in a small popup of its own.
void ShowTip(HWND window, TrackbarState& state) {
    if (!(StyleOf(window) & TBS_TOOLTIPS)) return;
    TrackbarLayout layout = LayoutOf(window, state);
    RECT thumb = layout.Thumb(state.position);
    POINT at =
        layout.vertical ? POINT{thumb.left - 34, thumb.top} : POINT{thumb.left, thumb.top - 20};
    ClientToScreen(window, &at);
    std::string text = std::to_string(state.position);
    if (state.tip == 0 || !IsWindow(state.tip)) {
        state.tip = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", text.c_str(),
                                    WS_POPUP | WS_BORDER | SS_CENTER, at.x, at.y, 32, 18, window, 0,
                                    0, nullptr);
        if (state.tip != 0) ShowWindow(state.tip, SW_SHOWNA);
        return;
    }
    SetWindowTextA(state.tip, text.c_str());
    SetWindowPos(state.tip, 0, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void StopTracking(HWND window, TrackbarState& state) {
    if (state.tracking == Tracking::Page) KillTimer(window, kRepeatTimer);
    state.tracking = Tracking::None;
    state.repeating = false;
    if (state.tip != 0) {
        HWND tip = state.tip;
        state.tip = 0;
        DestroyWindow(tip);
    }
}

// One page toward the pointer, while the thumb has not reached it.
void PageStep(HWND window, TrackbarState& state) {
    TrackbarLayout layout = LayoutOf(window, state);
    RECT thumb = layout.Thumb(state.position);
    int start = layout.vertical ? thumb.top : thumb.left;
    int end = layout.vertical ? thumb.bottom : thumb.right;
    WORD code = state.pointer < start ? TB_PAGEUP : state.pointer >= end ? TB_PAGEDOWN : 0xFFFF;
    if (code == 0xFFFF || (state.pageCode != 0xFFFF && code != state.pageCode)) return;
    state.pageCode = code;
    int64_t step = code == TB_PAGEUP ? -int64_t{state.pageSize} : int64_t{state.pageSize};
    state.position = Clamped(state, state.position + step);
    Redraw(window);
    Notify(window, state, code);
}

void Press(HWND window, TrackbarState& state, LPARAM lParam) {
    SetFocus(window);
    if (!IsWindow(window)) return;
    TrackbarLayout layout = LayoutOf(window, state);
    auto x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    int along = layout.vertical ? y : x;
    SetCapture(window);
    if (!(StyleOf(window) & TBS_NOTHUMB) && Contains(layout.Thumb(state.position), x, y)) {
        state.tracking = Tracking::Thumb;
        state.dragOffset = along - layout.PixelOf(state.position);
        ShowTip(window, state);
        return;
    }
    state.tracking = Tracking::Page;
    state.pointer = along;
    state.pageCode = 0xFFFF;
    SetTimer(window, kRepeatTimer, kFirstRepeat, nullptr);
    PageStep(window, state);
}

void Drag(HWND window, TrackbarState& state, LPARAM lParam) {
    TrackbarLayout layout = LayoutOf(window, state);
    int along =
        layout.vertical ? static_cast<short>(HIWORD(lParam)) : static_cast<short>(LOWORD(lParam));
    if (state.tracking == Tracking::Page) {
        state.pointer = along;
        return;
    }
    int position = layout.PositionAt(along - state.dragOffset);
    if (position == state.position) return;
    state.position = position;
    Redraw(window);
    ShowTip(window, state);
    Notify(window, state, TB_THUMBTRACK);
}

void Release(HWND window, TrackbarState& state) {
    Tracking was = state.tracking;
    if (was == Tracking::None) return;
    StopTracking(window, state);
    ReleaseCapture();
    if (!IsWindow(window)) return;
    if (was == Tracking::Thumb && !Notify(window, state, TB_THUMBPOSITION)) return;
    Notify(window, state, TB_ENDTRACK);
}

bool KeyCode(WPARAM key, WORD& code) {
    switch (key) {
    case VK_LEFT:
    case VK_UP:
        code = TB_LINEUP;
        return true;
    case VK_RIGHT:
    case VK_DOWN:
        code = TB_LINEDOWN;
        return true;
    case VK_PRIOR:
        code = TB_PAGEUP;
        return true;
    case VK_NEXT:
        code = TB_PAGEDOWN;
        return true;
    case VK_HOME:
        code = TB_TOP;
        return true;
    case VK_END:
        code = TB_BOTTOM;
        return true;
    default:
        return false;
    }
}

void KeyDown(HWND window, TrackbarState& state, WPARAM key) {
    WORD code = 0;
    if (!KeyCode(key, code)) return;
    int64_t position = state.position;
    switch (code) {
    case TB_LINEUP:
        position -= state.lineSize;
        break;
    case TB_LINEDOWN:
        position += state.lineSize;
        break;
    case TB_PAGEUP:
        position -= state.pageSize;
        break;
    case TB_PAGEDOWN:
        position += state.pageSize;
        break;
    case TB_TOP:
        position = state.low;
        break;
    default:
        position = state.high;
        break;
    }
    state.position = Clamped(state, position);
    Redraw(window);
    Notify(window, state, code);
}

void SetRange(HWND window, TrackbarState& state, int64_t low, int64_t high, WPARAM redraw) {
    state.low = static_cast<int>(low);
    state.high = static_cast<int>(high);
    state.position = Clamped(state, state.position);
    Redraw(window, redraw);
}

LRESULT TicMessage(HWND window, TrackbarState& state, UINT message, WPARAM wParam) {
    std::vector<int> ticks = TicksOf(window, state);
    if (wParam >= ticks.size()) return -1;
    if (message == TBM_GETTIC) return ticks[wParam];
    return LayoutOf(window, state).PixelOf(ticks[wParam]);
}

LRESULT RectMessage(HWND window, const TrackbarState& state, UINT message, LPARAM lParam) {
    if (lParam == 0) return 0;
    TrackbarLayout layout = LayoutOf(window, state);
    *reinterpret_cast<RECT*>(lParam) =
        message == TBM_GETTHUMBRECT ? layout.Thumb(state.position) : layout.Channel();
    return 0;
}

LRESULT Setting(HWND window, TrackbarState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case TBM_SETPOS:
        state.position = Clamped(state, static_cast<int>(lParam));
        Redraw(window, wParam);
        return 0;
    case TBM_SETRANGE:
        SetRange(window, state, static_cast<short>(LOWORD(lParam)),
                 static_cast<short>(HIWORD(lParam)), wParam);
        return 0;
    case TBM_SETRANGEMIN:
        SetRange(window, state, static_cast<int>(lParam), state.high, wParam);
        return 0;
    case TBM_SETRANGEMAX:
        SetRange(window, state, state.low, static_cast<int>(lParam), wParam);
        return 0;
    case TBM_SETTIC: {
        auto at = static_cast<int>(lParam);
        if (at < state.low || at > state.high) return FALSE;
        state.ticks.push_back(at);
        Redraw(window);
        return TRUE;
    }
    case TBM_CLEARTICS:
        state.ticks.clear();
        state.autoTicks = false;
        Redraw(window, wParam);
        return 0;
    case TBM_SETSEL:
        state.selStart = static_cast<short>(LOWORD(lParam));
        state.selEnd = static_cast<short>(HIWORD(lParam));
        Redraw(window, wParam);
        return 0;
    case TBM_SETSELSTART:
    case TBM_SETSELEND:
        (message == TBM_SETSELSTART ? state.selStart : state.selEnd) = static_cast<int>(lParam);
        Redraw(window, wParam);
        return 0;
    case TBM_CLEARSEL:
        state.selStart = state.selEnd = 0;
        Redraw(window, wParam);
        return 0;
    case TBM_SETTICFREQ:
        state.frequency = static_cast<int>(wParam);
        state.autoTicks = true;
        Redraw(window);
        return 0;
    case TBM_SETPAGESIZE:
    case TBM_SETLINESIZE: {
        int& size = message == TBM_SETPAGESIZE ? state.pageSize : state.lineSize;
        int old = size;
        size = static_cast<int>(lParam);
        return old;
    }
    case TBM_SETTHUMBLENGTH:
        state.fixedThumbLength = std::clamp(static_cast<int>(wParam), 1, 0x7FFF);
        Redraw(window);
        return 0;
    default:
        return 0;
    }
}

LRESULT Handle(HWND window, TrackbarState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc != 0) Paint(window, state, dc);
        if (IsWindow(window)) EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
        if (state.tracking == Tracking::None) Press(window, state, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (state.tracking != Tracking::None) Drag(window, state, lParam);
        return 0;
    case WM_LBUTTONUP:
        Release(window, state);
        return 0;
    case WM_TIMER:
        if (wParam == kRepeatTimer && state.tracking == Tracking::Page) {
            if (!state.repeating) {
                state.repeating = true;
                SetTimer(window, kRepeatTimer, kNextRepeats, nullptr);
            }
            PageStep(window, state);
        }
        return 0;
    case WM_CAPTURECHANGED:
        StopTracking(window, state);
        Redraw(window);
        return 0;
    case WM_KEYDOWN:
        KeyDown(window, state, wParam);
        return 0;
    case WM_KEYUP: {
        WORD code = 0;
        if (KeyCode(wParam, code)) Notify(window, state, TB_ENDTRACK);
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        state.focused = message == WM_SETFOCUS;
        Redraw(window);
        return 0;
    case WM_ENABLE:
    case WM_STYLECHANGED:
    case WM_SIZE:
        Redraw(window);
        return 0;
    case WM_DESTROY:
        StopTracking(window, state);
        break;
    case TBM_GETPOS:
        return state.position;
    case TBM_GETRANGEMIN:
        return state.low;
    case TBM_GETRANGEMAX:
        return state.high;
    case TBM_GETTIC:
    case TBM_GETTICPOS:
        return TicMessage(window, state, message, wParam);
    case TBM_GETNUMTICS:
        if (StyleOf(window) & TBS_NOTICKS) return 0;
        return static_cast<LRESULT>(TicksOf(window, state).size() + 2);
    case TBM_GETSELSTART:
        return state.selStart;
    case TBM_GETSELEND:
        return state.selEnd;
    case TBM_GETPAGESIZE:
        return state.pageSize;
    case TBM_GETLINESIZE:
        return state.lineSize;
    case TBM_GETTHUMBLENGTH:
        return LayoutOf(window, state).thumbLength;
    case TBM_GETTHUMBRECT:
    case TBM_GETCHANNELRECT:
        return RectMessage(window, state, message, lParam);
    default:
        if (message >= TBM_SETTIC && message <= TBM_SETTHUMBLENGTH)
            return Setting(window, state, message, wParam, lParam);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

LRESULT TrackbarProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunControl<TrackbarState>(States(), Handle, window, message, wParam, lParam);
}

} // namespace platform
