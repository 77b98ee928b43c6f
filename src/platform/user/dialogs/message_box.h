// Message boxes. On a display a person sees, a box is a window of the layer's own, modal to
// its owner, that keeps every window's messages flowing until it is answered. Without
// one, a box is written as "caption: text" (UTF-8) to standard error and answered at once
// with its default button. Tests record the boxes and choose the answers instead
// (test_hooks.h), or have them shown as windows (message_box_test_hooks.h).
#pragma once

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"

inline constexpr UINT MB_OK = 0x00;
inline constexpr UINT MB_OKCANCEL = 0x01;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x02;
inline constexpr UINT MB_YESNOCANCEL = 0x03;
inline constexpr UINT MB_YESNO = 0x04;
inline constexpr UINT MB_RETRYCANCEL = 0x05;
inline constexpr UINT MB_CANCELTRYCONTINUE = 0x06;
inline constexpr UINT MB_TYPEMASK = 0x0F;
inline constexpr UINT MB_ICONMASK = 0xF0;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
// The default button, counted from the left; one the box does not have means the first.
inline constexpr UINT MB_DEFBUTTON1 = 0x000;
inline constexpr UINT MB_DEFBUTTON2 = 0x100;
inline constexpr UINT MB_DEFBUTTON3 = 0x200;
inline constexpr UINT MB_DEFBUTTON4 = 0x300;
inline constexpr UINT MB_DEFMASK = 0xF00;
// Either keeps the box above every window that is not topmost itself.
inline constexpr UINT MB_SYSTEMMODAL = 0x1000;
inline constexpr UINT MB_TOPMOST = 0x40000;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDTRYAGAIN = 10;
inline constexpr int IDCONTINUE = 11;

// Texts are Windows-1252; a null text is empty, a null caption "Error". Returns the
// button chosen, or 0 with ERROR_INVALID_MSGBOX_STYLE for a button set it does not know.
//
// The window: the owner's top-level window (one of the calling thread's; another is
// ignored) is disabled while the box is up and enabled and activated again after. The
// box answers a click on a button, Return or Space (the button with the focus, at first
// the default one), Escape and the close button (Cancel where the box has one, OK for
// MB_OK, else nothing) and the first letter of Yes, No, Abort, Retry, Ignore, Try Again
// and Continue; Tab, Shift+Tab and the arrows move the focus. A WM_QUIT taken meanwhile
// ends the box (Cancel where it has one, else its default button) and is posted again. A
// box opened while another is up runs its own loop; its window is gone by the time
// MessageBoxA returns or an exception leaves it.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
