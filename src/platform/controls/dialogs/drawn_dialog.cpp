#include "platform/controls/dialogs/drawn_dialog.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/controls/dialogs/dialog_manager.h"
#include "platform/display/display_backend.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/user/dialogs/modal_session.h"
#include "platform/user/dialogs/msg_filter_hook.h"
#include "platform/user/input/input.h"
#include "platform/user/window_geometry.h"
#include "platform/user/windows.h"

namespace platform {
namespace {

constexpr DWORD DIALOG_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr char DIALOG_CLASS[] = "ZorvDialog";

struct DialogState {
    HWND window = 0;
    DialogContent* content = nullptr;
    int answer = 0;
};

using Dialogs = ModalWindows<DialogState>;

struct Hooks {
    std::mutex lock;
    bool draw = false;
    std::function<void(HWND)> shown;
};

Hooks& TheHooks() {
    static auto* hooks = new Hooks;
    return *hooks;
}

LRESULT DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE && !Dialogs::Take(window, lParam)) return FALSE;
    DialogState* state = Dialogs::Find(window);
    if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = 0;
    if (message != WM_NCDESTROY && message != WM_DESTROY &&
        state->content->Message(window, message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_COMMAND:
        state->content->Command(window, LOWORD(static_cast<DWORD>(wParam)),
                                HIWORD(static_cast<DWORD>(wParam)), static_cast<HWND>(lParam));
        return 0;
    case DM_GETDEFID:
        return MAKELONG(IDOK, DC_HASDEFID);
    case WM_CLOSE:
        state->content->Command(window, IDCANCEL, 0, 0);
        return 0;
    case WM_DESTROY:
        if (state->answer == 0) state->answer = IDCANCEL;
        return 0;
    case WM_NCDESTROY:
        state->window = 0;
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool RegisterDialogClass() {
    static const bool registered = RegisterModalClass(DIALOG_CLASS, DialogProcedure);
    return registered;
}

} // namespace

void EndDrawnDialog(HWND dialog, int answer) {
    DialogState* state = Dialogs::Find(dialog);
    if (state != nullptr && state->answer == 0) state->answer = answer;
}

HWND AddControl(HWND dialog, const char* className, const char* text, DWORD style, int id, int x,
                int y, int width, int height, DWORD exStyle) {
    HWND control = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y,
                                   width, height, dialog, static_cast<HMENU>(id), 0, nullptr);
    if (control != 0)
        SendMessageA(control, WM_SETFONT, static_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                     FALSE);
    return control;
}

bool DrawsDialogs() {
    {
        std::lock_guard guard(TheHooks().lock);
        if (TheHooks().draw) return true;
    }
    return ActiveDisplay().ShowsWindows();
}

int RunDrawnDialog(HWND owner, const std::string& title, int width, int height,
                   DialogContent& content) {
    if (!RegisterDialogClass()) return 0;
    DialogState state;
    state.content = &content;
    HWND ownerTop = ModalOwner(owner);
    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, DIALOG_STYLE, FALSE, 0);
    LONG outerWidth = outer.right - outer.left;
    LONG outerHeight = outer.bottom - outer.top;
    POINT at = ModalPlacement(ownerTop, outerWidth, outerHeight);

    Dialogs::Open open(state);
    ModalSession session(state.window, ownerTop);
    if (CreateWindowExA(0, DIALOG_CLASS, title.c_str(), DIALOG_STYLE, at.x, at.y, outerWidth,
                        outerHeight, ownerTop, 0, 0, &state) == 0 ||
        state.window == 0)
        return 0;
    content.Create(state.window);
    session.Shown();
    session.DisableOwner();
    ShowWindow(state.window, SW_SHOWNORMAL);
    HWND first = content.InitialFocus(state.window);
    SetFocus(first != 0 ? first : GetNextDlgTabItem(state.window, 0, FALSE));
    UpdateWindow(state.window);
    std::function<void(HWND)> shown;
    {
        std::lock_guard guard(TheHooks().lock);
        shown = TheHooks().shown;
    }
    if (shown && state.window != 0) shown(state.window);

    MSG msg;
    while (state.answer == 0) {
        BOOL got = GetMessageA(&msg, 0, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) session.RepostQuit(static_cast<int>(msg.wParam));
            state.answer = IDCANCEL;
            break;
        }
        if (OfferToMessageFilters(MSGF_DIALOGBOX, msg)) continue;
        if (state.window == 0 || !IsDialogMessageA(state.window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    session.End();
    return state.answer;
}

} // namespace platform

namespace platform::test {

void DrawDialogsAsWindows(bool draw) {
    std::lock_guard guard(TheHooks().lock);
    TheHooks().draw = draw;
}

void SetDrawnDialogShownHook(std::function<void(HWND)> hook) {
    std::lock_guard guard(TheHooks().lock);
    TheHooks().shown = std::move(hook);
}

} // namespace platform::test
