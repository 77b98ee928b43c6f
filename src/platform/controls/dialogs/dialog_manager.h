// The dialog manager: the keyboard of a window holding controls. IsDialogMessageA gives
// Tab and Shift+Tab to the next and previous WS_TABSTOP control, the arrows to the
// controls of the focused one's group (WS_GROUP starts a group; an automatic radio button
// reached so is clicked), Return to the default button and Escape to IDCANCEL, unless the
// focused control asks for those keys itself through WM_GETDLGCODE. Letters after Alt, or
// alone when the focused control takes no characters, choose the control whose text has
// them after '&' (a static text hands the choice to the control after it).
#pragma once

#include "platform/user/messages.h"
#include "platform/user/windows.h"

inline constexpr UINT WM_GETDLGCODE = 0x0087;
inline constexpr UINT WM_NEXTDLGCTL = 0x0028;
inline constexpr UINT DM_GETDEFID = 0x0400;
inline constexpr UINT DM_SETDEFID = 0x0401;
inline constexpr WORD DC_HASDEFID = 0x534B;

// What a control answers to WM_GETDLGCODE.
inline constexpr LRESULT DLGC_WANTARROWS = 0x0001;
inline constexpr LRESULT DLGC_WANTTAB = 0x0002;
inline constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
inline constexpr LRESULT DLGC_WANTMESSAGE = 0x0004;
inline constexpr LRESULT DLGC_HASSETSEL = 0x0008;
inline constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
inline constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
inline constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
inline constexpr LRESULT DLGC_WANTCHARS = 0x0080;
inline constexpr LRESULT DLGC_STATIC = 0x0100;
inline constexpr LRESULT DLGC_BUTTON = 0x2000;

// TRUE when `message` was for `dialog` or one of its descendants, and was handled or
// dispatched; FALSE leaves it to the caller.
BOOL IsDialogMessageA(HWND dialog, MSG* message);
// The next (previous) visible, enabled WS_TABSTOP child of `dialog` after `control`,
// wrapping; the first one for a `control` of 0. 0 when there is none.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
// The next (previous) visible, enabled control of `control`'s group, wrapping within it.
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
UINT GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
