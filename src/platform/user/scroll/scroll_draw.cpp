#include "platform/gdi/controls/draw_edge.h"
#include "platform/gdi/controls/frame_control.h"
#include "platform/gdi/device_context.h"
#include "platform/system/system_info.h"
#include "platform/user/scroll/scroll_bars.h"

namespace platform {
namespace {

// A rectangle across the bar, from `from` to `to` along it.
RECT Along(const RECT& bar, bool vertical, int from, int to) {
    if (vertical) return RECT{bar.left, bar.top + from, bar.right, bar.top + to};
    return RECT{bar.left + from, bar.top, bar.left + to, bar.bottom};
}

} // namespace

void DrawScrollBar(HDC dc, const RECT& rect, bool vertical, const ScrollBarData& data, bool enabled,
                   HBRUSH track) {
    int length = vertical ? rect.bottom - rect.top : rect.right - rect.left;
    int thickness = vertical ? rect.right - rect.left : rect.bottom - rect.top;
    if (length <= 0 || thickness <= 0) return;
    bool active = enabled && !data.disabled && CanScroll(data.values);
    int position = data.dragging ? data.trackPos : data.values.pos;
    ScrollLayout layout =
        LayOut(length, thickness, data.values, active ? position : data.values.min);
    if (!active) layout.thumbSize = 0;

    UINT inactive = active ? 0 : DFCS_INACTIVE;
    RECT up = Along(rect, vertical, 0, layout.arrow);
    RECT down = Along(rect, vertical, length - layout.arrow, length);
    DrawFrameControl(dc, &up, DFC_SCROLL,
                     (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive |
                         (data.pressed == ScrollPart::LineUp ? DFCS_PUSHED | DFCS_FLAT : 0));
    DrawFrameControl(dc, &down, DFC_SCROLL,
                     (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive |
                         (data.pressed == ScrollPart::LineDown ? DFCS_PUSHED | DFCS_FLAT : 0));

    int trackEnd = length - layout.arrow;
    int thumbEnd = layout.thumbStart + layout.thumbSize;
    HBRUSH pushed = GetSysColorBrush(COLOR_3DDKSHADOW);
    if (layout.thumbSize == 0) {
        RECT whole = Along(rect, vertical, layout.arrow, trackEnd);
        FillRect(dc, &whole, track);
        return;
    }
    RECT before = Along(rect, vertical, layout.arrow, layout.thumbStart);
    RECT after = Along(rect, vertical, thumbEnd, trackEnd);
    FillRect(dc, &before, data.pressed == ScrollPart::PageUp ? pushed : track);
    FillRect(dc, &after, data.pressed == ScrollPart::PageDown ? pushed : track);
    RECT thumb = Along(rect, vertical, layout.thumbStart, thumbEnd);
    DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

RECT WindowBarRectLocked(const Window& window, int bar) {
    DWORD style = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    if (bar == SB_CTL || !(window.style & style)) return RECT{0, 0, 0, 0};
    RECT client{window.client.left - window.window.left, window.client.top - window.window.top,
                window.client.right - window.window.left, window.client.bottom - window.window.top};
    if (bar == SB_HORZ)
        return RECT{client.left, client.bottom, client.right,
                    client.bottom + GetSystemMetrics(SM_CYHSCROLL)};
    int width = GetSystemMetrics(SM_CXVSCROLL);
    if (window.exStyle & WS_EX_LEFTSCROLLBAR)
        return RECT{client.left - width, client.top, client.left, client.bottom};
    return RECT{client.right, client.top, client.right + width, client.bottom};
}

void DrawWindowScrollBars(HWND handle) {
    WindowPtr window = LookupWindow(handle);
    if (!window) return;
    RECT rects[2];
    ScrollBarData data[2];
    bool enabled;
    {
        std::lock_guard lock(WindowLock());
        for (int bar : {SB_HORZ, SB_VERT}) {
            rects[bar] = WindowBarRectLocked(*window, bar);
            data[bar] = ScrollBarLocked(*window, bar);
        }
        enabled = !(window->style & WS_DISABLED);
    }
    HDC dc = GetWindowDC(handle);
    if (dc == 0) return;
    HBRUSH track = GetSysColorBrush(COLOR_SCROLLBAR);
    for (int bar : {SB_HORZ, SB_VERT}) {
        if (rects[bar].right > rects[bar].left)
            DrawScrollBar(dc, rects[bar], bar == SB_VERT, data[bar], enabled, track);
    }
    if (rects[SB_HORZ].right > rects[SB_HORZ].left && rects[SB_VERT].right > rects[SB_VERT].left) {
        RECT corner{rects[SB_VERT].left, rects[SB_HORZ].top, rects[SB_VERT].right,
                    rects[SB_HORZ].bottom};
        FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
    }
    ReleaseDC(handle, dc);
}

} // namespace platform
