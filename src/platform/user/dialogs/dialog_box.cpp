#include "platform/user/dialogs/dialog_box.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "platform/controls/button.h"
#include "platform/controls/controls.h"
#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/controls/dialogs/drawn_dialog.h"
#include "platform/display/display_backend.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/errors.h"
#include "platform/user/dialogs/message_box.h"
#include "platform/user/dialogs/modal_session.h"
#include "platform/user/dialogs/msg_filter_hook.h"
#include "platform/user/input/cursor.h"
#include "platform/user/window_geometry.h"
#include "platform/user/windows.h"

namespace platform {
namespace {

constexpr char kDialogClass[] = "#32770";
constexpr int kDialogExtra = DWL_USER + static_cast<int>(sizeof(LONG_PTR));

struct RunningDialog {
    HWND window = 0;
    bool ended = false;
    INT_PTR result = 0;
};

std::function<void(HWND)>& ShownHook() {
    static auto* hook = new std::function<void(HWND)>;
    return *hook;
}

// The dialogs whose loops run on this thread, the innermost last.
std::vector<RunningDialog*>& Running() {
    thread_local std::vector<RunningDialog*> running;
    return running;
}

RunningDialog* FindRunning(HWND window) {
    for (RunningDialog* dialog : Running())
        if (dialog->window == window && window != 0) return dialog;
    return nullptr;
}

// The messages whose answer is the dialog procedure's own rather than DWL_MSGRESULT.
bool AnswersDirectly(UINT message) {
    return message == WM_INITDIALOG || (message >= WM_CTLCOLORMSGBOX && message <= 0x0138);
}

HWND DefaultButton(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != 0;
         child = GetWindow(child, GW_HWNDNEXT))
        if (SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) return child;
    return 0;
}

LRESULT DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto procedure = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(window, DWL_DLGPROC));
    if (procedure != nullptr) {
        INT_PTR answer = procedure(window, message, wParam, lParam);
        if (answer != 0) {
            if (AnswersDirectly(message)) return answer;
            return IsWindow(window) ? GetWindowLongPtrA(window, DWL_MSGRESULT) : 0;
        }
        if (!IsWindow(window)) return 0;
    }
    switch (message) {
    case WM_CLOSE: {
        HWND cancel = GetDlgItem(window, IDCANCEL);
        if (cancel == 0 || IsWindowEnabled(cancel))
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         static_cast<LPARAM>(cancel));
        return 0;
    }
    case DM_GETDEFID: {
        HWND button = DefaultButton(window);
        return button != 0 ? MAKELONG(GetDlgCtrlID(button), DC_HASDEFID) : 0;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool RegisterDialogClass() {
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = DialogProcedure;
        windowClass.cbWndExtra = kDialogExtra;
        windowClass.hbrBackground = static_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.hCursor = LoadCursorA(0, IDC_ARROW);
        windowClass.lpszClassName = kDialogClass;
        return RegisterClassA(&windowClass) != 0;
    }();
    return registered;
}

// The GUI font's average character: the width of the alphabet over 52, rounded, and the
// height.
SIZE BaseUnits() {
    static const SIZE units = [] {
        SIZE size{6, 13};
        HDC dc = CreateCompatibleDC(0);
        if (dc == 0) return size;
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        SIZE extent{};
        TEXTMETRICA metrics{};
        if (GetTextExtentPoint32A(dc, alphabet, 52, &extent) && GetTextMetricsA(dc, &metrics))
            size = SIZE{std::max<LONG>((extent.cx / 26 + 1) / 2, 1),
                        std::max<LONG>(metrics.tmHeight, 1)};
        SelectObject(dc, old);
        DeleteDC(dc);
        return size;
    }();
    return units;
}

RECT ToPixels(int x, int y, int cx, int cy) {
    SIZE base = BaseUnits();
    return RECT{x * base.cx / 4, y * base.cy / 8, (x + cx) * base.cx / 4, (y + cy) * base.cy / 8};
}

// Read from the styles: the dialog is still hidden when WM_INITDIALOG names it.
HWND FirstTabStop(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != 0;
         child = GetWindow(child, GW_HWNDNEXT)) {
        auto style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) return child;
    }
    return 0;
}

HWND Create(const DLGTEMPLATEA& dialog, HWND owner, DLGPROC procedure) {
    RECT client = ToPixels(dialog.x, dialog.y, dialog.cx, dialog.cy);
    DWORD style = dialog.style & ~(WS_VISIBLE | DS_CENTER | DS_SETFONT | DS_MODALFRAME);
    RECT outer{0, 0, client.right - client.left, client.bottom - client.top};
    AdjustWindowRectEx(&outer, style, FALSE, dialog.exStyle);
    LONG width = outer.right - outer.left, height = outer.bottom - outer.top;
    POINT at{client.left, client.top};
    if (dialog.style & DS_CENTER) {
        at = ModalPlacement(0, width, height);
    } else if (owner != 0) {
        ClientToScreen(owner, &at);
    }
    HWND window = CreateWindowExA(dialog.exStyle, kDialogClass, dialog.caption, style, at.x, at.y,
                                  width, height, owner, 0, 0, nullptr);
    if (window == 0) return 0;
    SetWindowLongPtrA(window, DWL_DLGPROC, reinterpret_cast<LONG_PTR>(procedure));
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    SendMessageA(window, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    for (const DLGITEMTEMPLATEA& item : dialog.items) {
        RECT place = ToPixels(item.x, item.y, item.cx, item.cy);
        HWND control = CreateWindowExA(item.exStyle, item.className, item.text,
                                       WS_CHILD | WS_VISIBLE | item.style, place.left, place.top,
                                       place.right - place.left, place.bottom - place.top, window,
                                       static_cast<HMENU>(item.id), 0, nullptr);
        if (control == 0) {
            DestroyWindow(window);
            return 0;
        }
        SendMessageA(control, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    }
    return window;
}

} // namespace

} // namespace platform

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC procedure,
                        LPARAM initParam) {
    auto number = reinterpret_cast<uintptr_t>(name);
    const DLGTEMPLATEA* dialog =
        number <= 0xFFFF ? platform::FindDialogTemplate(static_cast<UINT>(number)) : nullptr;
    if (dialog == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return -1;
    }
    return DialogBoxIndirectParamA(instance, dialog, owner, procedure, initParam);
}

INT_PTR DialogBoxIndirectParamA(HINSTANCE, const DLGTEMPLATEA* dialog, HWND owner,
                                DLGPROC procedure, LPARAM initParam) {
    using namespace platform;
    if (dialog == nullptr || !RegisterDialogClass()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    // Where nobody would see or drive it, a dialog is answered at once as if cancelled, as
    // a message box is answered with its default button, so that unattended runs go on.
    if (!DrawsDialogs() && !ActiveDisplay().AnswersDialogs()) return IDCANCEL;
    HWND ownerTop = ModalOwner(owner);
    RunningDialog running;
    Running().push_back(&running);
    struct Unlist {
        RunningDialog* dialog;
        ~Unlist() {
            auto& list = Running();
            list.erase(std::remove(list.begin(), list.end(), dialog), list.end());
        }
    } unlist{&running};
    ModalSession session(running.window, ownerTop);
    running.window = Create(*dialog, ownerTop, procedure);
    if (running.window == 0) return -1;
    HWND first = FirstTabStop(running.window);
    LRESULT focus =
        SendMessageA(running.window, WM_INITDIALOG, static_cast<WPARAM>(first), initParam);
    if (!IsWindow(running.window)) {
        running.window = 0;
        return running.ended ? running.result : -1;
    }
    // The focus goes where WM_INITDIALOG put it, or to the first tab stop; showing the
    // window must not take it back.
    HWND wanted = focus != 0 ? first : GetFocus();
    if (!running.ended) {
        session.Shown();
        session.DisableOwner();
        ShowWindow(running.window, SW_SHOWNORMAL);
        SetFocus(wanted != 0 && IsChild(running.window, wanted) ? wanted : running.window);
        UpdateWindow(running.window);
        std::function<void(HWND)> shown = ShownHook();
        if (shown && IsWindow(running.window)) shown(running.window);
    }
    MSG msg;
    bool closedForNobody = false;
    while (!running.ended) {
        BOOL got = GetMessageA(&msg, 0, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) session.RepostQuit(static_cast<int>(msg.wParam));
            break;
        }
        if (OfferToMessageFilters(MSGF_DIALOGBOX, msg)) continue;
        if (!IsWindow(running.window) || !IsDialogMessageA(running.window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!IsWindow(running.window)) break;
        // The steps that drove a dialog nobody sees are over: it is closed as its user
        // would, once, so that the run does not wait for ever.
        if (!closedForNobody && !running.ended && !DrawsDialogs() &&
            !ActiveDisplay().AnswersDialogs()) {
            closedForNobody = true;
            PostMessageA(running.window, WM_CLOSE, 0, 0);
        }
    }
    session.End();
    return running.result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    platform::RunningDialog* running = platform::FindRunning(dialog);
    if (running == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!running->ended) {
        running->ended = true;
        running->result = result;
        // Wakes the loop should it be waiting.
        PostMessageA(dialog, WM_NULL, 0, 0);
    }
    return TRUE;
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
    if (rect == nullptr || !IsWindow(dialog)) return FALSE;
    *rect = platform::ToPixels(rect->left, rect->top, rect->right - rect->left,
                               rect->bottom - rect->top);
    return TRUE;
}

namespace platform::test {

void SetDialogBoxShownHook(std::function<void(HWND)> hook) {
    ShownHook() = std::move(hook);
}

} // namespace platform::test
