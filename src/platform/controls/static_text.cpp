#include "platform/controls/static_text.h"

#include "platform/controls/control_common.h"
#include "platform/controls/control_procedure.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/label.h"
#include "platform/gdi/controls/draw_edge.h"

namespace platform {

namespace {

struct StaticState {
    ControlFont font;
};

ControlStates<StaticState>& States() {
    static auto* states = new ControlStates<StaticState>;
    return *states;
}

// The colour of the black, grey and white rectangles and frames.
int ShapeColor(DWORD type) {
    switch (type) {
    case SS_BLACKRECT:
    case SS_BLACKFRAME:
        return COLOR_3DDKSHADOW;
    case SS_GRAYRECT:
    case SS_GRAYFRAME:
        return COLOR_BTNSHADOW;
    default:
        return COLOR_BTNHIGHLIGHT;
    }
}

bool IsTextType(DWORD type) {
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE ||
           type == SS_LEFTNOWORDWRAP;
}

void DrawText(HWND window, const StaticState& state, HDC dc, DWORD style, RECT area) {
    HBRUSH brush = ParentColor(window, WM_CTLCOLORSTATIC, dc);
    if (!IsWindow(window)) return;
    DWORD type = style & SS_TYPEMASK;
    FillRect(dc, &area, brush);
    UINT format = DT_EXPANDTABS | (style & SS_NOPREFIX ? DT_NOPREFIX : 0);
    if (type == SS_CENTER)
        format |= DT_CENTER | DT_WORDBREAK;
    else if (type == SS_RIGHT)
        format |= DT_RIGHT | DT_WORDBREAK;
    else if (type == SS_LEFT)
        format |= DT_WORDBREAK;
    else
        format |= DT_SINGLELINE;
    HGDIOBJ oldFont = state.font.Select(dc);
    std::string text = TextOf(window);
    int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    DrawLabel(dc, text, area, format, IsWindowEnabled(window), false);
    RestoreDC(dc, saved);
    SelectObject(dc, oldFont);
}

void Paint(HWND window, const StaticState& state, HDC dc) {
    DWORD style = StyleOf(window);
    DWORD type = style & SS_TYPEMASK;
    RECT area = ClientOf(window);
    if (style & SS_SUNKEN) DrawEdge(dc, &area, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    switch (type) {
    case SS_BLACKRECT:
    case SS_GRAYRECT:
    case SS_WHITERECT:
        FillRect(dc, &area, GetSysColorBrush(ShapeColor(type)));
        return;
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME:
        FrameRect(dc, &area, GetSysColorBrush(ShapeColor(type)));
        return;
    case SS_ETCHEDFRAME:
        DrawEdge(dc, &area, EDGE_ETCHED, BF_RECT);
        return;
    case SS_ETCHEDHORZ:
        DrawEdge(dc, &area, EDGE_ETCHED, BF_TOP);
        return;
    case SS_ETCHEDVERT:
        DrawEdge(dc, &area, EDGE_ETCHED, BF_LEFT);
        return;
    default:
        if (IsTextType(type)) DrawText(window, state, dc, style, area);
        return;
    }
}

LRESULT Handle(HWND window, StaticState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD style = StyleOf(window);
    bool notify = (style & SS_NOTIFY) != 0;
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_NCHITTEST:
        if (!notify) return HTTRANSPARENT;
        break;
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
        if (notify) NotifyParent(window, STN_CLICKED);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (notify) NotifyParent(window, STN_DBLCLK);
        return 0;
    case WM_ENABLE:
        InvalidateRect(window, nullptr, FALSE);
        if (notify) NotifyParent(window, wParam ? STN_ENABLE : STN_DISABLE);
        return 0;
    case WM_STYLECHANGED:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

LRESULT StaticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunControl<StaticState>(States(), Handle, window, message, wParam, lParam);
}

} // namespace platform
