#include "platform/user/nonclient/frame_parts.h"

#include "platform/system/system_info.h"
#include "platform/user/scroll/scroll_bars.h"

namespace platform {
namespace {

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

// The sizing edge or corner at a point of the outer frame.
LRESULT SizingEdge(const FrameParts& parts, POINT point) {
    // A corner reaches along each side as far as the caption is high, as users expect to
    // grab it there.
    int corner = parts.frame + GetSystemMetrics(SM_CYCAPTION);
    const RECT& w = parts.window;
    bool left = point.x < w.left + corner;
    bool right = point.x >= w.right - corner;
    bool top = point.y < w.top + corner;
    bool bottom = point.y >= w.bottom - corner;
    if (point.y < w.top + parts.frame) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    if (point.y >= w.bottom - parts.frame)
        return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    if (point.x < w.left + parts.frame) return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
    return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
}

} // namespace

FrameParts FramePartsLocked(const Window& window) {
    FrameParts parts;
    parts.window = RECT{0, 0, window.window.right - window.window.left,
                        window.window.bottom - window.window.top};
    parts.frame = OuterFrame(window.style, window.exStyle);
    parts.sizing = (window.style & WS_THICKFRAME) && !(window.style & (WS_MINIMIZE | WS_MAXIMIZE));
    int top = parts.frame;
    int left = parts.frame;
    int right = parts.window.right - parts.frame;
    if ((window.style & WS_CAPTION) == WS_CAPTION) {
        bool tool = (window.exStyle & WS_EX_TOOLWINDOW) != 0;
        int height = GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION);
        // The caption's last line is the frame's, under the bar.
        parts.caption = RECT{left, top, right, top + height - 1};
        top += height;
        if (window.style & WS_SYSMENU) {
            int button = height - 1 - 4;
            int width = button + 2;
            int y = parts.caption.top + 2;
            parts.closeButton = RECT{right - 2 - width, y, right - 2, y + button};
            if (!tool && (window.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
                int x = parts.closeButton.left - 2;
                parts.maxButton = RECT{x - width, y, x, y + button};
                parts.minButton = RECT{x - 2 * width, y, x - width, y + button};
            }
            if (!tool)
                parts.sysMenu =
                    RECT{left, parts.caption.top, left + height - 1, parts.caption.bottom};
        }
    }
    if (window.parent == 0 && window.id != 0) {
        parts.menuBar = RECT{left, top, right, top + GetSystemMetrics(SM_CYMENU)};
    }
    RECT client{window.client.left - window.window.left, window.client.top - window.window.top,
                window.client.right - window.window.left, window.client.bottom - window.window.top};
    parts.inner = client;
    RECT vertical = WindowBarRectLocked(window, SB_VERT);
    RECT horizontal = WindowBarRectLocked(window, SB_HORZ);
    if (vertical.right > vertical.left) {
        if (vertical.left < parts.inner.left) parts.inner.left = vertical.left;
        if (vertical.right > parts.inner.right) parts.inner.right = vertical.right;
    }
    if (horizontal.bottom > horizontal.top) parts.inner.bottom = horizontal.bottom;
    return parts;
}

LRESULT FrameHitTestLocked(const Window& window, POINT point) {
    FrameParts parts = FramePartsLocked(window);
    if (!Contains(parts.window, point)) return HTNOWHERE;
    RECT client{window.client.left - window.window.left, window.client.top - window.window.top,
                window.client.right - window.window.left, window.client.bottom - window.window.top};
    if (Contains(client, point)) return HTCLIENT;
    RECT insideFrame{parts.frame, parts.frame, parts.window.right - parts.frame,
                     parts.window.bottom - parts.frame};
    if (!Contains(insideFrame, point)) return parts.sizing ? SizingEdge(parts, point) : HTBORDER;
    if (Contains(parts.closeButton, point)) return HTCLOSE;
    if (Contains(parts.maxButton, point)) return HTMAXBUTTON;
    if (Contains(parts.minButton, point)) return HTMINBUTTON;
    if (Contains(parts.sysMenu, point)) return HTSYSMENU;
    if (point.y >= parts.caption.top && point.y <= parts.caption.bottom &&
        parts.caption.right > parts.caption.left)
        return HTCAPTION;
    if (Contains(parts.menuBar, point)) return HTMENU;
    RECT vertical = WindowBarRectLocked(window, SB_VERT);
    if (Contains(vertical, point)) return HTVSCROLL;
    if (Contains(WindowBarRectLocked(window, SB_HORZ), point)) return HTHSCROLL;
    return HTBORDER;
}

} // namespace platform
