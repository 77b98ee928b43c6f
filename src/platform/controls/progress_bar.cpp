#include "platform/controls/progress_bar.h"

#include <algorithm>

#include "platform/controls/control_common.h"
#include "platform/controls/control_procedure.h"
#include "platform/controls/label.h"
#include "platform/gdi/controls/draw_edge.h"

namespace platform {

namespace {

struct ProgressState {
    ControlFont font;
    int low = 0;
    int high = 100;
    int position = 0;
    int step = 10;
};

ControlStates<ProgressState>& States() {
    static auto* states = new ControlStates<ProgressState>;
    return *states;
}

int Clamped(const ProgressState& state, int64_t position) {
    if (state.high <= state.low) return state.low;
    return static_cast<int>(std::clamp<int64_t>(position, state.low, state.high));
}

// Sets the position and redraws; the old position.
LRESULT MoveTo(HWND window, ProgressState& state, int64_t position) {
    int old = state.position;
    state.position = Clamped(state, position);
    if (state.position != old) InvalidateRect(window, nullptr, FALSE);
    return old;
}

LRESULT SetRange(HWND window, ProgressState& state, int low, int high) {
    LRESULT old = MAKELONG(state.low, state.high);
    state.low = low;
    state.high = high;
    state.position = Clamped(state, state.position);
    InvalidateRect(window, nullptr, FALSE);
    return old;
}

LRESULT StepIt(HWND window, ProgressState& state) {
    int64_t next = int64_t{state.position} + state.step;
    if (next > state.high || next < state.low) next = state.low;
    return MoveTo(window, state, next);
}

void Paint(HWND window, const ProgressState& state, HDC dc) {
    RECT client = ClientOf(window);
    RECT inner = client;
    DrawEdge(dc, &inner, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    FillRect(dc, &inner, GetSysColorBrush(COLOR_BTNFACE));
    bool vertical = (StyleOf(window) & PBS_VERTICAL) != 0;
    RECT track = Inset(inner, 1, 1);
    LONG length = vertical ? track.bottom - track.top : track.right - track.left;
    if (length <= 0 || state.high <= state.low) return;
    // In doubles: a range of 2^32 times a length of 2^31 does not fit 64 bits.
    auto filled = static_cast<LONG>(length * ((static_cast<double>(state.position) - state.low) /
                                              (static_cast<double>(state.high) - state.low)));
    HBRUSH brush = GetSysColorBrush(COLOR_HIGHLIGHT);
    if (StyleOf(window) & PBS_SMOOTH) {
        RECT bar = track;
        if (vertical)
            bar.top = bar.bottom - filled;
        else
            bar.right = bar.left + filled;
        FillRect(dc, &bar, brush);
        return;
    }
    // Blocks two thirds as long as the bar is thick, a gap of two between them.
    LONG thickness = vertical ? track.right - track.left : track.bottom - track.top;
    LONG block = std::max<LONG>(thickness * 2 / 3, 1);
    for (LONG at = 0; at < filled; at += block + 2) {
        LONG end = std::min(at + block, length);
        RECT bar = vertical ? RECT{track.left, track.bottom - end, track.right, track.bottom - at}
                            : RECT{track.left + at, track.top, track.left + end, track.bottom};
        FillRect(dc, &bar, brush);
    }
}

LRESULT Handle(HWND window, ProgressState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc != 0) Paint(window, state, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_STYLECHANGED:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case PBM_SETRANGE:
        return SetRange(window, state, LOWORD(lParam), HIWORD(lParam));
    case PBM_SETRANGE32:
        return SetRange(window, state, static_cast<int>(wParam), static_cast<int>(lParam));
    case PBM_SETPOS:
        return MoveTo(window, state, static_cast<int>(wParam));
    case PBM_DELTAPOS:
        return MoveTo(window, state, int64_t{state.position} + static_cast<int>(wParam));
    case PBM_SETSTEP: {
        int old = state.step;
        state.step = static_cast<int>(wParam);
        return old;
    }
    case PBM_STEPIT:
        return StepIt(window, state);
    case PBM_GETRANGE:
        if (lParam != 0) *reinterpret_cast<PBRANGE*>(lParam) = PBRANGE{state.low, state.high};
        return wParam ? state.low : state.high;
    case PBM_GETPOS:
        return state.position;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

LRESULT ProgressProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunControl<ProgressState>(States(), Handle, window, message, wParam, lParam);
}

} // namespace platform
