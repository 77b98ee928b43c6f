#include <algorithm>
#include <cstdint>

#include "platform/kernel/errors.h"
#include "platform/user/scroll/scroll_bars.h"

namespace platform {

ScrollBarData& ScrollBarLocked(Window& window, int bar) {
    if (!window.scrollBars) {
        window.scrollBars = std::make_shared<ScrollBars>();
        window.scrollBars->bars[SB_HORZ].values.max = 100;
        window.scrollBars->bars[SB_VERT].values.max = 100;
    }
    return window.scrollBars->bars[bar];
}

bool VerticalLocked(const Window& window, int bar) {
    return bar == SB_CTL ? (window.style & SBS_VERT) != 0 : bar == SB_VERT;
}

} // namespace platform

namespace {

using platform::WindowPtr;

DWORD BarStyle(int bar) {
    return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
}

// The window whose bar is meant, with the error set when there is none.
WindowPtr BarWindow(HWND handle, int bar) {
    WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return nullptr;
    if (bar < SB_HORZ || bar > SB_CTL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard lock(platform::WindowLock());
    if (bar == SB_CTL && !platform::IsScrollBarControlLocked(*window)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return window;
}

void Redraw(const WindowPtr& window, int bar) {
    if (bar == SB_CTL)
        InvalidateRect(window->handle, nullptr, FALSE);
    else
        platform::DrawWindowScrollBars(window->handle);
}

// Shows or hides a window's bar as its usefulness asks; true when the style changed,
// which recomputes the frame (and redraws it).
bool ShowAsNeeded(const WindowPtr& window, int bar, bool show) {
    {
        std::lock_guard lock(platform::WindowLock());
        DWORD style = window->style;
        DWORD wanted = show ? style | BarStyle(bar) : style & ~BarStyle(bar);
        if (wanted == style) return false;
        window->style = wanted;
    }
    SetWindowPos(window->handle, 0, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

} // namespace

int SetScrollInfo(HWND handle, int bar, LPCSCROLLINFO info, BOOL redraw) {
    if (info == nullptr || info->cbSize != sizeof(SCROLLINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WindowPtr window = BarWindow(handle, bar);
    if (!window) return 0;
    int position;
    bool usable;
    bool sized = (info->fMask & (SIF_RANGE | SIF_PAGE)) != 0;
    {
        std::lock_guard lock(platform::WindowLock());
        platform::ScrollBarData& data = platform::ScrollBarLocked(*window, bar);
        platform::ScrollValues& values = data.values;
        if (info->fMask & SIF_RANGE) {
            values.min = info->nMin;
            values.max = std::max(info->nMin, info->nMax);
        }
        if (info->fMask & SIF_PAGE) values.page = info->nPage;
        int64_t span = int64_t{values.max} - values.min + 1;
        values.page = static_cast<unsigned>(std::min<int64_t>(values.page, span));
        if (info->fMask & SIF_POS) values.pos = info->nPos;
        values.pos = std::clamp(values.pos, values.min, platform::LastPosition(values));
        position = values.pos;
        usable = platform::CanScroll(values);
        if (usable)
            data.disabled = false;
        else if (info->fMask & SIF_DISABLENOSCROLL)
            data.disabled = true;
    }
    if (bar != SB_CTL && (sized || !usable)) {
        bool show = usable || (info->fMask & SIF_DISABLENOSCROLL);
        if (ShowAsNeeded(window, bar, show)) return position;
    }
    if (redraw) Redraw(window, bar);
    return position;
}

BOOL GetScrollInfo(HWND handle, int bar, LPSCROLLINFO info) {
    if (info == nullptr || info->cbSize != sizeof(SCROLLINFO) || !(info->fMask & SIF_ALL)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WindowPtr window = BarWindow(handle, bar);
    if (!window) return FALSE;
    std::lock_guard lock(platform::WindowLock());
    const platform::ScrollBarData& data = platform::ScrollBarLocked(*window, bar);
    if (info->fMask & SIF_RANGE) {
        info->nMin = data.values.min;
        info->nMax = data.values.max;
    }
    if (info->fMask & SIF_PAGE) info->nPage = data.values.page;
    if (info->fMask & SIF_POS) info->nPos = data.values.pos;
    if (info->fMask & SIF_TRACKPOS)
        info->nTrackPos = data.dragging ? data.trackPos : data.values.pos;
    return TRUE;
}

int SetScrollPos(HWND handle, int bar, int position, BOOL redraw) {
    WindowPtr window = BarWindow(handle, bar);
    if (!window) return 0;
    int previous;
    {
        std::lock_guard lock(platform::WindowLock());
        previous = platform::ScrollBarLocked(*window, bar).values.pos;
    }
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, position, 0};
    SetScrollInfo(handle, bar, &info, redraw);
    return previous;
}

int GetScrollPos(HWND handle, int bar) {
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 0, 0};
    return GetScrollInfo(handle, bar, &info) ? info.nPos : 0;
}
