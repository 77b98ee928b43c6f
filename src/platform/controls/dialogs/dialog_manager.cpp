#include "platform/controls/dialogs/dialog_manager.h"

#include <vector>

#include "platform/controls/button.h"
#include "platform/controls/edit.h"
#include "platform/kernel/cp1252.h"
#include "platform/user/dialogs/message_box.h"
#include "platform/user/input/input.h"
#include "platform/user/input/keyboard_state.h"

namespace {

DWORD Style(HWND window) {
    return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
}

bool Usable(HWND window) {
    return IsWindowVisible(window) && IsWindowEnabled(window);
}

std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != 0;
         child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// The child of `dialog` that holds `window` (itself when it is one); 0 when none does.
HWND ControlOf(HWND dialog, HWND window) {
    while (window != 0) {
        HWND parent = GetParent(window);
        if (parent == dialog) return window;
        window = parent;
    }
    return 0;
}

LRESULT DialogCode(HWND control, MSG* message) {
    if (control == 0) return 0;
    return SendMessageA(control, WM_GETDLGCODE, message ? message->wParam : 0,
                        reinterpret_cast<LPARAM>(message));
}

void Focus(HWND control) {
    if (control == 0) return;
    SetFocus(control);
    // Reaching an edit by the keyboard selects its text, ready to be typed over.
    if (DialogCode(control, nullptr) & DLGC_HASSETSEL) SendMessageA(control, EM_SETSEL, 0, -1);
}

void Command(HWND dialog, int id, HWND control) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, 0), static_cast<LPARAM>(control));
}

// The button Return presses: the focused push button, else the dialog's default one.
void PressDefault(HWND dialog, HWND focused) {
    if (focused != 0 &&
        (DialogCode(focused, nullptr) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        if (IsWindowEnabled(focused)) Command(dialog, GetDlgCtrlID(focused), focused);
        return;
    }
    LRESULT answer = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    int id = HIWORD(static_cast<DWORD>(answer)) == DC_HASDEFID ? LOWORD(static_cast<DWORD>(answer))
                                                               : IDOK;
    HWND button = GetDlgItem(dialog, id);
    if (button != 0 && !IsWindowEnabled(button)) return;
    Command(dialog, id, button);
}

// The control whose '&' marks `letter`; a static text passes the choice on to the next
// control that takes the focus.
HWND MnemonicControl(HWND dialog, unsigned char letter) {
    unsigned char wanted = platform::Cp1252ToUpper(letter);
    std::vector<HWND> children = Children(dialog);
    for (size_t i = 0; i < children.size(); ++i) {
        if (!Usable(children[i])) continue;
        char text[256] = {};
        GetWindowTextA(children[i], text, sizeof text);
        bool marked = false;
        for (size_t k = 0; text[k] != '\0' && text[k + 1] != '\0'; ++k) {
            if (text[k] != '&') continue;
            if (text[k + 1] == '&') {
                ++k;
                continue;
            }
            marked = platform::Cp1252ToUpper(static_cast<unsigned char>(text[k + 1])) == wanted;
            break;
        }
        if (!marked) continue;
        if (!(DialogCode(children[i], nullptr) & DLGC_STATIC)) return children[i];
        for (size_t j = i + 1; j < children.size(); ++j)
            if (Usable(children[j]) && (Style(children[j]) & WS_TABSTOP)) return children[j];
        return 0;
    }
    return 0;
}

void ChooseMnemonic(HWND control) {
    LRESULT code = DialogCode(control, nullptr);
    Focus(control);
    if (code & DLGC_BUTTON) SendMessageA(control, BM_CLICK, 0, 0);
}

} // namespace

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    std::vector<HWND> children = Children(dialog);
    size_t count = children.size();
    if (count == 0) return 0;
    size_t start = count;
    HWND from = ControlOf(dialog, control);
    for (size_t i = 0; i < count; ++i)
        if (children[i] == from) start = i;
    for (size_t step = 1; step <= count; ++step) {
        size_t i = start == count
                       ? (previous ? count - step : step - 1)
                       : (previous ? (start + count - step) % count : (start + step) % count);
        if (Usable(children[i]) && (Style(children[i]) & WS_TABSTOP)) return children[i];
    }
    return 0;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
    std::vector<HWND> children = Children(dialog);
    HWND from = ControlOf(dialog, control);
    size_t at = children.size();
    for (size_t i = 0; i < children.size(); ++i)
        if (children[i] == from) at = i;
    if (at == children.size()) return 0;
    // The group runs from the last WS_GROUP at or before the control to the next one.
    size_t first = at;
    while (first > 0 && !(Style(children[first]) & WS_GROUP))
        --first;
    size_t end = at + 1;
    while (end < children.size() && !(Style(children[end]) & WS_GROUP))
        ++end;
    size_t size = end - first;
    for (size_t step = 1; step < size; ++step) {
        size_t i =
            first + (previous ? (at - first + size - step) % size : (at - first + step) % size);
        if (Usable(children[i])) return children[i];
    }
    return from;
}

BOOL IsDialogMessageA(HWND dialog, MSG* message) {
    if (message == nullptr || dialog == 0 || !IsWindow(dialog)) return FALSE;
    if (message->hwnd != dialog && !IsChild(dialog, message->hwnd)) return FALSE;
    HWND focused = GetFocus();
    if (focused != dialog && !IsChild(dialog, focused)) focused = 0;
    LRESULT code = DialogCode(focused, message);
    // The edit inside a combo box speaks for itself and for its combo box.
    HWND control = ControlOf(dialog, focused);
    if (control != 0 && control != focused) code |= DialogCode(control, message);
    bool wantsAll = (code & DLGC_WANTALLKEYS) != 0;
    if (message->message == WM_KEYDOWN && !wantsAll) {
        bool shift = GetKeyState(VK_SHIFT) < 0;
        switch (message->wParam) {
        case VK_TAB:
            if (code & DLGC_WANTTAB) break;
            Focus(GetNextDlgTabItem(dialog, focused, shift));
            return TRUE;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            if ((code & DLGC_WANTARROWS) || focused == 0) break;
            bool back = message->wParam == VK_LEFT || message->wParam == VK_UP;
            HWND next = GetNextDlgGroupItem(dialog, focused, back);
            if (next == 0 || next == ControlOf(dialog, focused)) return TRUE;
            Focus(next);
            if ((DialogCode(next, nullptr) & DLGC_RADIOBUTTON) &&
                (Style(next) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                SendMessageA(next, BM_CLICK, 0, 0);
            return TRUE;
        }
        case VK_RETURN:
            PressDefault(dialog, focused);
            return TRUE;
        case VK_ESCAPE:
            Command(dialog, IDCANCEL, GetDlgItem(dialog, IDCANCEL));
            return TRUE;
        default:
            break;
        }
    }
    bool alt = message->message == WM_SYSCHAR;
    if ((alt || (message->message == WM_CHAR && !(code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)))) &&
        message->wParam > ' ') {
        HWND chosen = MnemonicControl(dialog, static_cast<unsigned char>(message->wParam));
        if (chosen != 0) {
            ChooseMnemonic(chosen);
            return TRUE;
        }
        if (alt) return TRUE;
    }
    TranslateMessage(message);
    DispatchMessageA(message);
    return TRUE;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    HWND item = GetDlgItem(dialog, id);
    return item != 0 && SetWindowTextA(item, text);
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size) {
    HWND item = GetDlgItem(dialog, id);
    if (item == 0) {
        if (text != nullptr && size > 0) text[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(item, text, size));
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND item = GetDlgItem(dialog, id);
    return item != 0 ? SendMessageA(item, message, wParam, lParam) : 0;
}
