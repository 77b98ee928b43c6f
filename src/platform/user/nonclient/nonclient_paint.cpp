// The frame as DefWindowProcA's WM_NCPAINT draws it: border, edges, caption with its
// buttons, the menu bar and the window's own scroll bars.
#include "platform/gdi/controls/draw_edge.h"
#include "platform/gdi/controls/frame_control.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/text/text_out.h"
#include "platform/user/menus/menu_bar.h"
#include "platform/user/menus/system_menu.h"
#include "platform/user/nonclient/frame_parts.h"
#include "platform/user/nonclient/nonclient.h"
#include "platform/user/scroll/scroll_bars.h"

namespace platform {
namespace {

bool HasArea(const RECT& rect) {
    return rect.right > rect.left && rect.bottom > rect.top;
}

// Draws the outer frame inwards from `rect`, which it leaves inside what it drew.
void DrawOuterFrame(HDC dc, RECT& rect, DWORD style, DWORD exStyle, bool active) {
    bool raised = (exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME));
    if ((style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME)) {
        FrameRect(dc, &rect, GetSysColorBrush(COLOR_WINDOWFRAME));
        rect = RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    }
    if (raised) {
        DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT | BF_ADJUST);
    } else if (exStyle & WS_EX_STATICEDGE) {
        DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
    if (style & WS_THICKFRAME) {
        int width = OuterFrame(style, exStyle) - OuterFrame(style & ~WS_THICKFRAME, exStyle);
        HBRUSH border = GetSysColorBrush(active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER);
        for (int i = 0; i < width; ++i) {
            FrameRect(dc, &rect, border);
            rect = RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
        }
    }
}

void DrawCaption(HDC dc, const FrameParts& parts, const std::string& text, DWORD style, bool active,
                 bool closeDisabled, LRESULT pressed) {
    RECT bar = parts.caption;
    FillRect(dc, &bar, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    RECT line{bar.left, bar.bottom, bar.right, bar.bottom + 1};
    FillRect(dc, &line, GetSysColorBrush(COLOR_BTNFACE));
    RECT textRect{bar.left + 2, bar.top, bar.right - 2, bar.bottom};
    if (HasArea(parts.sysMenu)) textRect.left = parts.sysMenu.right + 2;
    for (const RECT* button : {&parts.minButton, &parts.closeButton})
        if (HasArea(*button) && button->left - 2 < textRect.right)
            textRect.right = button->left - 2;
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    // An empty title (the sound window's, at every start) needs no font: loading the font
    // libraries waits for the first text.
    if (!text.empty())
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
    RECT close = parts.closeButton;
    if (HasArea(close))
        DrawFrameControl(dc, &close, DFC_CAPTION,
                         DFCS_CAPTIONCLOSE | (closeDisabled ? DFCS_INACTIVE : 0) |
                             (pressed == HTCLOSE ? DFCS_PUSHED : 0));
    RECT max = parts.maxButton;
    if (HasArea(max))
        DrawFrameControl(dc, &max, DFC_CAPTION,
                         ((style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX) |
                             ((style & WS_MAXIMIZEBOX) ? 0 : DFCS_INACTIVE) |
                             (pressed == HTMAXBUTTON ? DFCS_PUSHED : 0));
    RECT min = parts.minButton;
    if (HasArea(min))
        DrawFrameControl(dc, &min, DFC_CAPTION,
                         ((style & WS_MINIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN) |
                             ((style & WS_MINIMIZEBOX) ? 0 : DFCS_INACTIVE) |
                             (pressed == HTMINBUTTON ? DFCS_PUSHED : 0));
}

} // namespace

void DrawNonClient(HWND handle) {
    WindowPtr window = LookupWindow(handle);
    if (!window) return;
    FrameParts parts;
    DWORD style;
    DWORD exStyle;
    bool active;
    std::string text;
    {
        std::lock_guard lock(WindowLock());
        parts = FramePartsLocked(*window);
        style = window->style;
        exStyle = window->exStyle;
        active = window->captionActive;
        text = window->text;
    }
    HDC dc = GetWindowDC(handle);
    if (dc == 0) return;
    RECT rect = parts.window;
    DrawOuterFrame(dc, rect, style, exStyle, active);
    if (HasArea(parts.caption))
        DrawCaption(dc, parts, text, style, active, CloseDisabled(handle),
                    PressedCaptionButton(handle));
    if (exStyle & WS_EX_CLIENTEDGE) {
        RECT edge{parts.inner.left - 2, parts.inner.top - 2, parts.inner.right + 2,
                  parts.inner.bottom + 2};
        DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    }
    ReleaseDC(handle, dc);
    PaintMenuBar(handle);
    DrawWindowScrollBars(handle);
}

bool SetCaptionActive(HWND handle, bool active) {
    WindowPtr window = LookupWindow(handle);
    if (!window) return false;
    {
        std::lock_guard lock(WindowLock());
        window->captionActive = active;
    }
    DrawNonClient(handle);
    return true;
}

} // namespace platform
