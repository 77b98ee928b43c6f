// Modal dialogs made from templates (dialog_templates.h) and answered by a dialog procedure.
//
// The window is made hidden with its controls laid out in dialog units (a quarter of the
// GUI font's average character across, an eighth of its height down), each given that
// font; the procedure then gets WM_INITDIALOG (wParam the first tab stop, lParam the
// caller's value), and a non-zero answer gives that control the focus. The dialog shows,
// centred on the screen under DS_CENTER, its owner disabled, and its loop runs with the
// dialog manager's keyboard until EndDialog. The procedure answers TRUE for what it
// handled; the window's answer is then what it left in DWL_MSGRESULT (SetWindowLongPtrA),
// save for WM_INITDIALOG and the WM_CTLCOLOR* messages, whose answer is its own. What it
// leaves: WM_CLOSE becomes the Cancel button's click (IDCANCEL), DM_GETDEFID names the
// BS_DEFPUSHBUTTON control, and the rest goes to DefWindowProcA. On a display that shows no
// windows (unless tests ask, drawn_dialog.h) a dialog is not made and answers IDCANCEL.
#pragma once

#include <functional>

#include "platform/user/dialogs/dialog_templates.h"
#include "platform/user/messages.h"

inline constexpr UINT WM_INITDIALOG = 0x0110;

// Pointer-sized slots of a dialog window, for Get/SetWindowLongPtrA.
inline constexpr int DWL_MSGRESULT = 0;
inline constexpr int DWL_DLGPROC = 8;
inline constexpr int DWL_USER = 16;

using INT_PTR = intptr_t;
using DLGPROC = INT_PTR (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The template of the number `name` (MAKEINTRESOURCEA). The value given to EndDialog, or -1
// when there is no such template or its window could not be made.
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC procedure,
                        LPARAM initParam);
INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, const DLGTEMPLATEA* dialog, HWND owner,
                                DLGPROC procedure, LPARAM initParam);
// Ends the modal loop of `dialog` once the current message is handled; the first result
// holds. FALSE for a window that is no running dialog.
BOOL EndDialog(HWND dialog, INT_PTR result);
// Dialog units of `dialog` to pixels, in place.
BOOL MapDialogRect(HWND dialog, RECT* rect);

namespace platform::test {

// Called on the dialog's thread with each dialog made from a template once it is shown,
// before its loop takes a message: the place to act as the user. An empty hook removes it.
void SetDialogBoxShownHook(std::function<void(HWND)> hook);

} // namespace platform::test
