#include "platform/controls/button.h"

#include "platform/controls/control_common.h"
#include "platform/controls/control_procedure.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/label.h"
#include "platform/gdi/controls/draw_edge.h"
#include "platform/gdi/controls/focus_rect.h"
#include "platform/gdi/controls/frame_control.h"

namespace platform {

namespace {

constexpr int kBoxSize = 13;
constexpr int kBoxGap = 4;

struct ButtonState {
    ControlFont font;
    WPARAM check = BST_UNCHECKED;
    bool pushed = false;
    bool focused = false;
    bool mouseTracking = false;
    bool spaceDown = false;
    // A notified double click: its release clicks nothing.
    bool swallowRelease = false;
};

ControlStates<ButtonState>& States() {
    static auto* states = new ControlStates<ButtonState>;
    return *states;
}

DWORD TypeOf(DWORD style) {
    return style & BS_TYPEMASK;
}

bool IsCheckType(DWORD type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
           type == BS_AUTO3STATE;
}

bool IsRadioType(DWORD type) {
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool IsThreeState(DWORD type) {
    return type == BS_3STATE || type == BS_AUTO3STATE;
}

UINT HorizontalFormat(DWORD style, UINT fallback) {
    switch (style & BS_CENTER) {
    case BS_LEFT:
        return DT_LEFT;
    case BS_RIGHT:
        return DT_RIGHT;
    case BS_CENTER:
        return DT_CENTER;
    default:
        return fallback;
    }
}

UINT VerticalFormat(DWORD style) {
    switch (style & BS_VCENTER) {
    case BS_TOP:
        return DT_TOP;
    case BS_BOTTOM:
        return DT_BOTTOM;
    default:
        return DT_VCENTER;
    }
}

UINT LineFormat(DWORD style) {
    return (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
}

void SendDrawItem(HWND window, const ButtonState& state, HDC dc, UINT action) {
    UINT itemState = (state.pushed ? ODS_SELECTED : 0) | (state.focused ? ODS_FOCUS : 0) |
                     (IsWindowEnabled(window) ? 0 : ODS_DISABLED);
    DRAWITEMSTRUCT item{ODT_BUTTON, static_cast<UINT>(GetDlgCtrlID(window)),
                        0,          action,
                        itemState,  window,
                        dc,         ClientOf(window),
                        0};
    HWND parent = GetParent(window);
    if (parent != 0) SendMessageA(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

// Owner-drawn buttons hear of presses and focus changes at once, through a window DC.
void OwnerDrawNow(HWND window, const ButtonState& state, UINT action) {
    HDC dc = GetDC(window);
    if (dc == 0) return;
    SendDrawItem(window, state, dc, action);
    ReleaseDC(window, dc);
}

void DrawPush(HWND window, const ButtonState& state, HDC dc, DWORD style) {
    // Asked as the parent expects to be, but a push button keeps the button colours.
    ParentColor(window, WM_CTLCOLORBTN, dc);
    if (!IsWindow(window)) return;
    bool enabled = IsWindowEnabled(window);
    RECT face = ClientOf(window);
    // A default or pressed button gets the black frame; a pressed one is flat inside it.
    if (TypeOf(style) == BS_DEFPUSHBUTTON || state.pushed) {
        FrameRect(dc, &face, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        face = Inset(face, 1, 1);
    }
    RECT focus = Inset(face, 3, 3);
    if (state.pushed) {
        FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
        FrameRect(dc, &face, GetSysColorBrush(COLOR_BTNSHADOW));
        face = Inset(face, 1, 1);
    } else {
        DrawFrameControl(dc, &face, DFC_BUTTON,
                         DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (enabled ? 0 : DFCS_INACTIVE));
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    RECT area = state.pushed ? Moved(face, 1, 1) : face;
    DrawLabel(dc, TextOf(window), area,
              HorizontalFormat(style, DT_CENTER) | VerticalFormat(style) | LineFormat(style),
              enabled, true);
    if (state.focused) DrawFocusRect(dc, &focus);
}

void DrawCheck(HWND window, const ButtonState& state, HDC dc, DWORD style) {
    HBRUSH brush = ParentColor(window, WM_CTLCOLORSTATIC, dc);
    if (!IsWindow(window)) return;
    bool enabled = IsWindowEnabled(window);
    RECT client = ClientOf(window);
    FillRect(dc, &client, brush);
    DWORD type = TypeOf(style);
    bool leftText = (style & BS_LEFTTEXT) != 0;
    LONG boxLeft = leftText ? client.right - kBoxSize : client.left;
    LONG boxTop = client.top + (client.bottom - client.top - kBoxSize) / 2;
    if ((style & BS_VCENTER) == BS_TOP) boxTop = client.top;
    if ((style & BS_VCENTER) == BS_BOTTOM) boxTop = client.bottom - kBoxSize;
    RECT box{boxLeft, boxTop, boxLeft + kBoxSize, boxTop + kBoxSize};
    UINT part = IsRadioType(type)                                        ? DFCS_BUTTONRADIO
                : IsThreeState(type) && state.check == BST_INDETERMINATE ? DFCS_BUTTON3STATE
                                                                         : DFCS_BUTTONCHECK;
    DrawFrameControl(dc, &box, DFC_BUTTON,
                     part | (state.check != BST_UNCHECKED ? DFCS_CHECKED : 0) |
                         (state.pushed ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
    RECT area = client;
    if (leftText)
        area.right -= kBoxSize + kBoxGap;
    else
        area.left += kBoxSize + kBoxGap;
    std::string text = TextOf(window);
    UINT format = HorizontalFormat(style, DT_LEFT) | VerticalFormat(style) | LineFormat(style);
    DrawLabel(dc, text, area, format, enabled, true);
    if (state.focused && !text.empty()) {
        RECT focus = Inset(LabelBounds(dc, text, area, format), -1, -1);
        DrawFocusRect(dc, &focus);
    }
}

// Frame and caption only: what lies inside stays as the parent painted it.
void DrawGroupBox(HWND window, HDC dc, DWORD style) {
    HBRUSH brush = ParentColor(window, WM_CTLCOLORSTATIC, dc);
    if (!IsWindow(window)) return;
    RECT client = ClientOf(window);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    RECT frame = client;
    frame.top += metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    std::string text = TextOf(window);
    if (text.empty()) return;
    RECT area = Inset(client, 9, 0);
    area.bottom = area.top + metrics.tmHeight;
    UINT format = HorizontalFormat(style, DT_LEFT) | DT_SINGLELINE;
    RECT caption = Inset(LabelBounds(dc, text, area, format), -2, 0);
    FillRect(dc, &caption, brush);
    DrawLabel(dc, text, area, format, IsWindowEnabled(window), false);
}

void Paint(HWND window, const ButtonState& state, HDC dc) {
    DWORD style = StyleOf(window);
    DWORD type = TypeOf(style);
    if (type == BS_OWNERDRAW) {
        SendDrawItem(window, state, dc, ODA_DRAWENTIRE);
        return;
    }
    HGDIOBJ oldFont = state.font.Select(dc);
    if (type == BS_GROUPBOX)
        DrawGroupBox(window, dc, style);
    else if (IsCheckType(type) || IsRadioType(type))
        DrawCheck(window, state, dc, style);
    else
        DrawPush(window, state, dc, style);
    if (IsWindow(window)) SelectObject(dc, oldFont);
}

void SetPushed(HWND window, ButtonState& state, bool pushed) {
    if (state.pushed == pushed) return;
    state.pushed = pushed;
    if (TypeOf(StyleOf(window)) == BS_OWNERDRAW)
        OwnerDrawNow(window, state, ODA_SELECT);
    else
        InvalidateRect(window, nullptr, FALSE);
}

void SetCheck(HWND window, ButtonState& state, WPARAM check) {
    DWORD type = TypeOf(StyleOf(window));
    if (!IsCheckType(type) && !IsRadioType(type)) return;
    if (check > BST_INDETERMINATE) return;
    if (check == BST_INDETERMINATE && !IsThreeState(type)) check = BST_CHECKED;
    if (state.check == check) return;
    state.check = check;
    InvalidateRect(window, nullptr, FALSE);
}

// The automatic radio buttons of the window's group, itself left out.
void UncheckGroup(HWND window) {
    HWND first = window;
    for (HWND sibling = window; sibling != 0; sibling = GetWindow(sibling, GW_HWNDPREV)) {
        first = sibling;
        if (StyleOf(sibling) & WS_GROUP) break;
    }
    for (HWND sibling = first; sibling != 0; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        DWORD style = StyleOf(sibling);
        if (sibling != first && (style & WS_GROUP)) break;
        if (sibling != window && States().Find(sibling) && TypeOf(style) == BS_AUTORADIOBUTTON)
            SendMessageA(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

void Click(HWND window, ButtonState& state) {
    switch (TypeOf(StyleOf(window))) {
    case BS_AUTOCHECKBOX:
        SetCheck(window, state, state.check == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED);
        break;
    case BS_AUTO3STATE:
        SetCheck(window, state, (state.check + 1) % 3);
        break;
    case BS_AUTORADIOBUTTON:
        SetCheck(window, state, BST_CHECKED);
        UncheckGroup(window);
        if (!IsWindow(window)) return;
        break;
    default:
        break;
    }
    NotifyParent(window, BN_CLICKED);
}

void Press(HWND window, ButtonState& state, bool notifyDouble) {
    SetFocus(window);
    if (!IsWindow(window)) return;
    SetCapture(window);
    state.mouseTracking = true;
    SetPushed(window, state, true);
    if (notifyDouble && IsWindow(window)) {
        state.swallowRelease = true;
        NotifyParent(window, BN_DBLCLK);
    }
}

void Release(HWND window, ButtonState& state, LPARAM lParam) {
    if (!state.mouseTracking) return;
    bool click = PointInClient(window, lParam) && !state.swallowRelease;
    state.mouseTracking = false;
    state.swallowRelease = false;
    ReleaseCapture();
    if (!IsWindow(window)) return;
    SetPushed(window, state, false);
    if (click && IsWindow(window)) Click(window, state);
}

void FocusChanged(HWND window, ButtonState& state, bool focused) {
    state.focused = focused;
    if (!focused) {
        state.spaceDown = false;
        if (state.mouseTracking) {
            state.mouseTracking = false;
            state.swallowRelease = false;
            if (GetCapture() == window) ReleaseCapture();
        }
        if (!IsWindow(window)) return;
        SetPushed(window, state, false);
    }
    if (!IsWindow(window)) return;
    if (TypeOf(StyleOf(window)) == BS_OWNERDRAW)
        OwnerDrawNow(window, state, ODA_FOCUS);
    else
        InvalidateRect(window, nullptr, FALSE);
    if (IsWindow(window) && (StyleOf(window) & BS_NOTIFY))
        NotifyParent(window, focused ? BN_SETFOCUS : BN_KILLFOCUS);
}

LRESULT ButtonDialogCode(DWORD style) {
    switch (TypeOf(style)) {
    case BS_PUSHBUTTON:
        return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_DEFPUSHBUTTON:
        return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX:
        return DLGC_STATIC;
    default:
        return DLGC_BUTTON;
    }
}

LRESULT Handle(HWND window, ButtonState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD style = StyleOf(window);
    bool groupBox = TypeOf(style) == BS_GROUPBOX;
    switch (message) {
    case WM_GETDLGCODE:
        return ButtonDialogCode(style);
    case WM_NCHITTEST:
        if (groupBox) return HTTRANSPARENT;
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
    case WM_LBUTTONDBLCLK:
        if (!groupBox) Press(window, state, message == WM_LBUTTONDBLCLK && (style & BS_NOTIFY));
        return 0;
    case WM_MOUSEMOVE:
        if (state.mouseTracking) SetPushed(window, state, PointInClient(window, lParam));
        return 0;
    case WM_LBUTTONUP:
        Release(window, state, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        if (state.mouseTracking) {
            state.mouseTracking = false;
            state.swallowRelease = false;
            SetPushed(window, state, false);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && !groupBox && !state.spaceDown) {
            state.spaceDown = true;
            SetPushed(window, state, true);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && state.spaceDown) {
            state.spaceDown = false;
            SetPushed(window, state, false);
            if (IsWindow(window)) Click(window, state);
        }
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        FocusChanged(window, state, message == WM_SETFOCUS);
        return 0;
    case WM_ENABLE:
    case WM_STYLECHANGED:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    case BM_GETCHECK:
        return static_cast<LRESULT>(state.check);
    case BM_SETCHECK:
        SetCheck(window, state, wParam);
        return 0;
    case BM_GETSTATE:
        return static_cast<LRESULT>(state.check | (state.pushed ? BST_PUSHED : 0) |
                                    (state.focused ? BST_FOCUS : 0));
    case BM_SETSTATE:
        SetPushed(window, state, wParam != 0);
        return 0;
    case BM_CLICK:
        if (!groupBox) Click(window, state);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

LRESULT ButtonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunControl<ButtonState>(States(), Handle, window, message, wParam, lParam);
}

} // namespace platform
