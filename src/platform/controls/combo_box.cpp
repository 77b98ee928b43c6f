#include "platform/controls/combo_box.h"

#include <algorithm>
#include <string>

#include "platform/controls/control_common.h"
#include "platform/controls/control_procedure.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/edit.h"
#include "platform/controls/label.h"
#include "platform/controls/list_box.h"
#include "platform/gdi/controls/draw_edge.h"
#include "platform/gdi/controls/focus_rect.h"
#include "platform/gdi/controls/frame_control.h"
#include "platform/system/system_info.h"
#include "platform/user/window_props.h"

namespace platform {

namespace {

constexpr int kEdge = 2;
constexpr int kF4 = VK_F1 + 3;

bool Inside(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

struct ComboState {
    ControlFont font;
    DWORD type = CBS_DROPDOWN;
    HWND edit = 0;
    HWND list = 0;
    WNDPROC editProcedure = nullptr;
    WNDPROC listProcedure = nullptr;
    int fieldHeight = 0;
    int listHeight = 0;
    int droppedWidth = 0;
    bool dropped = false;
    bool focused = false;
    bool filling = false; // the field's text is being set from the list
    int chosenOnDrop = -1;
    int wheelRest = 0;
};

// The combo box a dropped list belongs to; the list's owner is the top-level window.
constexpr const char* kDroppedListOf = "ZorvDroppedListOf";

ControlStates<ComboState>& States() {
    static auto* states = new ControlStates<ComboState>;
    return *states;
}

LRESULT ToList(const ComboState& state, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return IsWindow(state.list) ? SendMessageA(state.list, message, wParam, lParam) : CB_ERR;
}

int ButtonWidth() {
    return GetSystemMetrics(SM_CXVSCROLL);
}

RECT ButtonRect(HWND window) {
    RECT client = ClientOf(window);
    return RECT{client.right - kEdge - ButtonWidth(), kEdge, client.right - kEdge,
                client.bottom - kEdge};
}

std::string ItemText(const ComboState& state, int index) {
    LRESULT length = ToList(state, LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length < 0) return "";
    std::string text(static_cast<size_t>(length) + 1, '\0');
    ToList(state, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

// Shows the chosen item in the field.
void ShowChoice(HWND window, ComboState& state) {
    auto chosen = static_cast<int>(ToList(state, LB_GETCURSEL));
    if (state.edit != 0 && IsWindow(state.edit)) {
        std::string text = chosen >= 0 ? ItemText(state, chosen) : std::string();
        state.filling = true;
        SetWindowTextA(state.edit, text.c_str());
        state.filling = false;
        SendMessageA(state.edit, EM_SETSEL, 0, static_cast<LPARAM>(-1));
    }
    InvalidateRect(window, nullptr, TRUE);
}

bool Notify(HWND window, WORD code) {
    return NotifyParent(window, code);
}

// Closes the dropped list; with `choose` the highlighted item becomes the choice,
// otherwise the one before the list opened comes back. False when the window died.
bool Close(HWND window, ComboState& state, bool choose) {
    if (!state.dropped) return true;
    state.dropped = false;
    if (IsWindow(state.list)) ShowWindow(state.list, SW_HIDE);
    if (GetCapture() == window) ReleaseCapture();
    auto chosen = static_cast<int>(ToList(state, LB_GETCURSEL));
    if (!choose && chosen != state.chosenOnDrop) {
        ToList(state, LB_SETCURSEL, static_cast<WPARAM>(state.chosenOnDrop));
        chosen = state.chosenOnDrop;
    }
    InvalidateRect(window, nullptr, TRUE);
    if (!Notify(window, CBN_CLOSEUP)) return false;
    if (chosen == state.chosenOnDrop) return true;
    ShowChoice(window, state);
    return IsWindow(window) && Notify(window, CBN_SELCHANGE);
}

bool Open(HWND window, ComboState& state) {
    if (state.dropped || state.type == CBS_SIMPLE || !IsWindow(state.list)) return true;
    if (!Notify(window, CBN_DROPDOWN) || !IsWindow(state.list)) return false;
    RECT frame{};
    GetWindowRect(window, &frame);
    int width = std::max(state.droppedWidth, static_cast<int>(frame.right - frame.left));
    int itemHeight = static_cast<int>(ToList(state, LB_GETITEMHEIGHT));
    int height = std::max(state.listHeight, itemHeight + 2);
    SetWindowPos(state.list, HWND_TOPMOST, frame.left, frame.bottom, width, height,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    state.chosenOnDrop = static_cast<int>(ToList(state, LB_GETCURSEL));
    if (state.chosenOnDrop >= 0)
        ToList(state, LB_SETTOPINDEX, static_cast<WPARAM>(state.chosenOnDrop));
    state.dropped = true;
    SetCapture(window);
    InvalidateRect(window, nullptr, TRUE);
    return true;
}

// Moves the choice by `step` items in the closed field, telling the parent.
bool Move(HWND window, ComboState& state, int step) {
    auto count = static_cast<int>(ToList(state, LB_GETCOUNT));
    if (count <= 0) return true;
    auto chosen = static_cast<int>(ToList(state, LB_GETCURSEL));
    int to = std::clamp(chosen < 0 ? 0 : chosen + step, 0, count - 1);
    if (to == chosen) return true;
    ToList(state, LB_SETCURSEL, static_cast<WPARAM>(to));
    if (state.dropped) return true;
    ShowChoice(window, state);
    return IsWindow(window) && Notify(window, CBN_SELCHANGE);
}

// The keys the combo box takes from its field; false for the others.
bool Key(HWND window, ComboState& state, UINT message, int key) {
    bool alt = message == WM_SYSKEYDOWN;
    if (key == kF4 || (alt && (key == VK_DOWN || key == VK_UP))) {
        if (state.dropped)
            Close(window, state, true);
        else
            Open(window, state);
        return true;
    }
    if (alt || state.type == CBS_SIMPLE) {
        if (state.type == CBS_SIMPLE && (key == VK_UP || key == VK_DOWN)) {
            Move(window, state, key == VK_UP ? -1 : 1);
            return true;
        }
        return false;
    }
    switch (key) {
    case VK_UP:
    case VK_DOWN:
        Move(window, state, key == VK_UP ? -1 : 1);
        return true;
    case VK_RETURN:
    case VK_ESCAPE:
        if (!state.dropped) return false;
        Close(window, state, key == VK_RETURN);
        return true;
    default:
        return false;
    }
}

// Without its combo box (it went first) the edit still answers as an edit, so that it
// drops its own state when it goes.
LRESULT EditHook(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND combo = GetParent(edit);
    std::shared_ptr<ComboState> state = States().Find(combo);
    if (!state || state->editProcedure == nullptr)
        return EditProcedure(edit, message, wParam, lParam);
    WNDPROC original = state->editProcedure;
    if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) &&
        Key(combo, *state, message, static_cast<int>(wParam)))
        return 0;
    if (message == WM_CHAR && state->dropped && (wParam == 13 || wParam == 27)) return 0;
    return CallWindowProcA(original, edit, message, wParam, lParam);
}

// The dropped list gives the pointer back to its combo box when a press on its scroll bar
// ends; without its combo box it answers as a list.
LRESULT ListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    auto combo = static_cast<HWND>(GetPropA(list, kDroppedListOf));
    std::shared_ptr<ComboState> state = States().Find(combo);
    if (!state || state->listProcedure == nullptr || state->list != list)
        return ListBoxProcedure(list, message, wParam, lParam);
    LRESULT result = CallWindowProcA(state->listProcedure, list, message, wParam, lParam);
    if (message == WM_LBUTTONUP && state->dropped && IsWindow(combo) && GetCapture() == 0)
        SetCapture(combo);
    return result;
}

int FieldHeight(HWND window, ComboState& state) {
    HDC dc = GetDC(window);
    TEXTMETRICA metrics{};
    if (dc != 0) {
        HGDIOBJ old = state.font.Select(dc);
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(window, dc);
    }
    return static_cast<int>(metrics.tmHeight) + 2 * kEdge + 4;
}

void Place(HWND window, ComboState& state) {
    RECT client = ClientOf(window);
    int width = static_cast<int>(client.right);
    int button = state.type == CBS_SIMPLE ? 0 : ButtonWidth();
    if (state.edit != 0)
        MoveWindow(state.edit, kEdge + 1, kEdge + 1, std::max(width - 2 * kEdge - button - 2, 0),
                   std::max(state.fieldHeight - 2 * kEdge - 2, 0), TRUE);
    if (state.type == CBS_SIMPLE && state.list != 0)
        MoveWindow(state.list, 0, state.fieldHeight, width, std::max(state.listHeight, 0), TRUE);
}

bool Create(HWND window, ComboState& state, const CREATESTRUCTA& create) {
    DWORD style = static_cast<DWORD>(create.style);
    state.type = style & 3;
    if (state.type == 0) state.type = CBS_DROPDOWN;
    state.fieldHeight = FieldHeight(window, state);
    state.listHeight = std::max(create.cy - state.fieldHeight, 0);
    DWORD listStyle = WS_VSCROLL | WS_BORDER | (style & CBS_SORT ? LBS_SORT : 0) |
                      (style & CBS_NOINTEGRALHEIGHT ? LBS_NOINTEGRALHEIGHT : 0) |
                      (style & CBS_DISABLENOSCROLL ? LBS_DISABLENOSCROLL : 0);
    if (state.type == CBS_SIMPLE) {
        state.list = CreateWindowExA(
            0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY | listStyle, 0, state.fieldHeight,
            create.cx, state.listHeight, window, kComboListId, 0, nullptr);
    } else {
        // The dropped list is a popup, above every window; it never takes the focus or
        // the pointer, which the combo box keeps while it is open.
        state.list = CreateWindowExA(WS_EX_TOPMOST, "LISTBOX", "", WS_POPUP | listStyle, 0, 0,
                                     create.cx, state.listHeight, window, 0, 0, nullptr);
        SetListBoxColorSource(state.list, GetParent(window));
        if (state.list != 0) {
            SetPropA(state.list, kDroppedListOf, static_cast<uintptr_t>(window));
            state.listProcedure = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(state.list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListHook)));
        }
        SetWindowPos(window, 0, 0, 0, create.cx, state.fieldHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (state.list == 0 || !IsWindow(window)) return false;
    if (state.type != CBS_DROPDOWNLIST) {
        DWORD editStyle = WS_CHILD | WS_VISIBLE | (style & CBS_AUTOHSCROLL ? ES_AUTOHSCROLL : 0);
        state.edit = CreateWindowExA(0, "EDIT", create.lpszName, editStyle, 0, 0, 0, 0, window,
                                     kComboEditId, 0, nullptr);
        if (state.edit == 0) return false;
        state.editProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(state.edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditHook)));
    }
    Place(window, state);
    return true;
}

void Paint(HWND window, ComboState& state, HDC dc) {
    RECT field{0, 0, ClientOf(window).right, state.fieldHeight};
    UINT colorMessage = state.type == CBS_DROPDOWNLIST ? WM_CTLCOLORLISTBOX : WM_CTLCOLOREDIT;
    HBRUSH brush = ParentColor(window, colorMessage, dc);
    if (!IsWindow(window)) return;
    DrawEdge(dc, &field, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillRect(dc, &field, brush);
    if (state.type != CBS_SIMPLE) {
        RECT button = ButtonRect(window);
        button.bottom = state.fieldHeight - kEdge;
        UINT look = DFCS_SCROLLCOMBOBOX | (state.dropped ? DFCS_PUSHED : 0) |
                    (IsWindowEnabled(window) ? 0 : DFCS_INACTIVE);
        DrawFrameControl(dc, &button, DFC_SCROLL, look);
        field.right = button.left;
    }
    if (state.type != CBS_DROPDOWNLIST) return;
    auto chosen = static_cast<int>(ToList(state, LB_GETCURSEL));
    std::string text = chosen >= 0 ? ItemText(state, chosen) : std::string();
    RECT inner{field.left + 1, field.top + 1, field.right - 1, field.bottom - 1};
    HGDIOBJ oldFont = state.font.Select(dc);
    SetBkMode(dc, TRANSPARENT);
    if (state.focused && !state.dropped) {
        FillRect(dc, &inner, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    if (!IsWindowEnabled(window)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &inner,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (state.focused && !state.dropped) DrawFocusRect(dc, &inner);
    SelectObject(dc, oldFont);
}

// A pointer message while the list is open, the combo box holding the capture.
void DroppedMouse(HWND window, ComboState& state, UINT message, LPARAM lParam) {
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    POINT inList = at;
    ClientToScreen(window, &inList);
    ScreenToClient(state.list, &inList);
    LRESULT hit = ToList(state, LB_ITEMFROMPOINT, 0, MAKELPARAM(inList.x, inList.y));
    bool overItem = hit >= 0 && HIWORD(hit) == 0;
    if (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN) {
        if (overItem) ToList(state, LB_SETCURSEL, LOWORD(hit));
        if (message == WM_LBUTTONDOWN && !overItem) {
            RECT listFrame{};
            GetWindowRect(state.list, &listFrame);
            POINT screen = at;
            ClientToScreen(window, &screen);
            if (!Inside(listFrame, screen)) {
                Close(window, state, false);
                return;
            }
            // The list's own scroll bar takes the pointer until its button goes up.
            LPARAM where = MAKELPARAM(screen.x, screen.y);
            LRESULT part = SendMessageA(state.list, WM_NCHITTEST, 0, where);
            if ((part == HTVSCROLL || part == HTHSCROLL) && IsWindow(state.list))
                SendMessageA(state.list, WM_NCLBUTTONDOWN, static_cast<WPARAM>(part), where);
        }
        return;
    }
    if (message == WM_LBUTTONUP && overItem) Close(window, state, true);
}

LRESULT Command(HWND window, ComboState& state, WPARAM wParam, LPARAM lParam) {
    auto from = static_cast<HWND>(lParam);
    WORD code = HIWORD(wParam);
    if (from == state.edit && state.edit != 0) {
        if (code == EN_CHANGE && !state.filling) Notify(window, CBN_EDITCHANGE);
        if (code == EN_SETFOCUS) Notify(window, CBN_SETFOCUS);
        if (code == EN_KILLFOCUS && Close(window, state, false)) Notify(window, CBN_KILLFOCUS);
        return 0;
    }
    if (from == state.list && state.type == CBS_SIMPLE) {
        if (code == LBN_SELCHANGE) {
            ShowChoice(window, state);
            if (IsWindow(window)) Notify(window, CBN_SELCHANGE);
        }
        if (code == LBN_DBLCLK) Notify(window, CBN_DBLCLK);
    }
    return 0;
}

LRESULT Handle(HWND window, ComboState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return Create(window, state, *reinterpret_cast<const CREATESTRUCTA*>(lParam)) ? 0 : -1;
    case WM_DESTROY:
        // The dropped list belongs to the top-level window, so it goes with the combo box.
        state.dropped = false;
        if (state.type != CBS_SIMPLE && IsWindow(state.list)) DestroyWindow(state.list);
        state.list = 0;
        return 0;
    case WM_SIZE:
        Place(window, state);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc != 0) Paint(window, state, dc);
        if (IsWindow(window)) EndPaint(window, &paint);
        return 0;
    }
    case WM_ENABLE:
        if (state.edit != 0) EnableWindow(state.edit, static_cast<BOOL>(wParam));
        if (state.type == CBS_SIMPLE) EnableWindow(state.list, static_cast<BOOL>(wParam));
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC: {
        HWND parent = GetParent(window);
        return parent != 0 ? SendMessageA(parent, message, wParam, lParam) : 0;
    }
    case WM_COMMAND:
        return Command(window, state, wParam, lParam);
    case WM_GETDLGCODE: {
        // Return and Escape close an open list rather than the dialog.
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        bool closing = state.dropped && key != nullptr && key->message == WM_KEYDOWN &&
                       (key->wParam == VK_RETURN || key->wParam == VK_ESCAPE);
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (closing ? DLGC_WANTALLKEYS : 0);
    }
    case WM_SETFOCUS:
        if (state.edit != 0) {
            SetFocus(state.edit);
            return 0;
        }
        state.focused = true;
        InvalidateRect(window, nullptr, TRUE);
        Notify(window, CBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        if (state.edit != 0) return 0;
        state.focused = false;
        InvalidateRect(window, nullptr, TRUE);
        if (Close(window, state, false)) Notify(window, CBN_KILLFOCUS);
        return 0;
    case WM_CAPTURECHANGED: {
        auto to = static_cast<HWND>(lParam);
        if (state.dropped && to != window && to != state.list) Close(window, state, false);
        return 0;
    }
    case WM_MOUSEWHEEL: {
        if (state.dropped) return ToList(state, message, wParam, lParam);
        state.wheelRest += static_cast<short>(HIWORD(wParam));
        int notches = state.wheelRest / WHEEL_DELTA;
        state.wheelRest -= notches * WHEEL_DELTA;
        if (notches != 0) Move(window, state, -notches);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: {
        if (state.dropped) {
            DroppedMouse(window, state, message == WM_LBUTTONDBLCLK ? WM_LBUTTONDOWN : message,
                         lParam);
            return 0;
        }
        if (message != WM_LBUTTONDOWN && message != WM_LBUTTONDBLCLK) return 0;
        SetFocus(state.edit != 0 ? state.edit : window);
        if (!IsWindow(window)) return 0;
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        RECT button = ButtonRect(window);
        if (state.type == CBS_DROPDOWNLIST || Inside(button, at)) Open(window, state);
        return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (Key(window, state, message, static_cast<int>(wParam))) return 0;
        break;
    case WM_SETTEXT:
        if (state.edit != 0) return SendMessageA(state.edit, message, wParam, lParam);
        {
            LRESULT found = ToList(state, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), lParam);
            if (found < 0) return CB_ERR;
            ToList(state, LB_SETCURSEL, static_cast<WPARAM>(found));
            InvalidateRect(window, nullptr, TRUE);
            return TRUE;
        }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: {
        if (state.edit != 0) return SendMessageA(state.edit, message, wParam, lParam);
        auto chosen = static_cast<int>(ToList(state, LB_GETCURSEL));
        std::string text = chosen >= 0 ? ItemText(state, chosen) : std::string();
        if (message == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
        auto size = static_cast<size_t>(std::min<WPARAM>(wParam, 0x7FFFFFFF));
        if (size == 0 || lParam == 0) return 0;
        size_t count = std::min(size - 1, text.size());
        auto* buffer = reinterpret_cast<char*>(lParam);
        text.copy(buffer, count);
        buffer[count] = '\0';
        return static_cast<LRESULT>(count);
    }
    case CB_ADDSTRING:
        return ToList(state, LB_ADDSTRING, wParam, lParam);
    case CB_INSERTSTRING:
        return ToList(state, LB_INSERTSTRING, wParam, lParam);
    case CB_DELETESTRING:
        return ToList(state, LB_DELETESTRING, wParam, lParam);
    case CB_RESETCONTENT:
        ToList(state, LB_RESETCONTENT);
        InvalidateRect(window, nullptr, TRUE);
        return CB_OKAY;
    case CB_GETCOUNT:
        return ToList(state, LB_GETCOUNT);
    case CB_GETCURSEL:
        return ToList(state, LB_GETCURSEL);
    case CB_SETCURSEL: {
        LRESULT result = ToList(state, LB_SETCURSEL, wParam);
        ShowChoice(window, state);
        return result;
    }
    case CB_FINDSTRING:
        return ToList(state, LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT:
        return ToList(state, LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_SELECTSTRING: {
        LRESULT result = ToList(state, LB_SELECTSTRING, wParam, lParam);
        if (result >= 0) ShowChoice(window, state);
        return result;
    }
    case CB_GETITEMDATA:
        return ToList(state, LB_GETITEMDATA, wParam);
    case CB_SETITEMDATA:
        return ToList(state, LB_SETITEMDATA, wParam, lParam);
    case CB_GETTOPINDEX:
        return ToList(state, LB_GETTOPINDEX);
    case CB_SETTOPINDEX:
        return ToList(state, LB_SETTOPINDEX, wParam);
    case CB_GETHORIZONTALEXTENT:
        return ToList(state, LB_GETHORIZONTALEXTENT);
    case CB_SETHORIZONTALEXTENT:
        return ToList(state, LB_SETHORIZONTALEXTENT, wParam);
    case CB_GETLBTEXTLEN:
        return ToList(state, LB_GETTEXTLEN, wParam);
    case CB_GETLBTEXT:
        return ToList(state, LB_GETTEXT, wParam, lParam);
    case CB_GETITEMHEIGHT:
        if (static_cast<int>(wParam) == -1) return state.fieldHeight;
        return ToList(state, LB_GETITEMHEIGHT);
    case CB_SETITEMHEIGHT: {
        int height = static_cast<short>(LOWORD(lParam));
        if (static_cast<int>(wParam) != -1) return ToList(state, LB_SETITEMHEIGHT, 0, lParam);
        if (height <= 0) return CB_ERR;
        state.fieldHeight = height;
        if (state.type != CBS_SIMPLE) {
            RECT frame{};
            GetWindowRect(window, &frame);
            SetWindowPos(window, 0, 0, 0, frame.right - frame.left, height,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        Place(window, state);
        InvalidateRect(window, nullptr, TRUE);
        return CB_OKAY;
    }
    case CB_GETDROPPEDSTATE:
        return state.dropped;
    case CB_LIMITTEXT:
        if (state.edit == 0) return CB_ERR;
        SendMessageA(state.edit, EM_LIMITTEXT, wParam, 0);
        return TRUE;
    case CB_SHOWDROPDOWN:
        if (wParam)
            Open(window, state);
        else
            Close(window, state, false);
        return TRUE;
    case CB_GETDROPPEDWIDTH: {
        RECT frame{};
        GetWindowRect(window, &frame);
        return std::max(state.droppedWidth, static_cast<int>(frame.right - frame.left));
    }
    case CB_SETDROPPEDWIDTH: {
        RECT frame{};
        GetWindowRect(window, &frame);
        state.droppedWidth = std::max(static_cast<int>(wParam), 0);
        return std::max(state.droppedWidth, static_cast<int>(frame.right - frame.left));
    }
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

LRESULT ComboBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = RunControl<ComboState>(States(), Handle, window, message, wParam, lParam);
    // The field and the list draw with the combo box's font.
    if (message == WM_SETFONT)
        if (std::shared_ptr<ComboState> state = States().Find(window)) {
            if (state->edit != 0) SendMessageA(state->edit, message, wParam, lParam);
            if (state->list != 0) SendMessageA(state->list, message, wParam, lParam);
        }
    return result;
}

} // namespace platform
