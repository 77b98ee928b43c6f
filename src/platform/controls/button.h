// "BUTTON": push buttons, check boxes, radio buttons, group boxes and owner-drawn buttons.
//
// A release of the left button inside (or Space let go while the button has the focus)
// clicks it: an automatic check box or radio button changes its check first (an automatic
// radio button unchecks the automatic radio buttons of its group, the siblings from the
// last WS_GROUP before it to the next), then the parent hears BN_CLICKED. With BS_NOTIFY a
// double click gives BN_DBLCLK instead of a second click, and focus changes give
// BN_SETFOCUS and BN_KILLFOCUS. BM_SETCHECK changes the check without a word to the parent.
// A click focuses every button but a group box, which the pointer passes through.
#pragma once

#include "platform/controls/controls.h"

inline constexpr DWORD BS_PUSHBUTTON = 0x0000;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
inline constexpr DWORD BS_CHECKBOX = 0x0002;
inline constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
inline constexpr DWORD BS_RADIOBUTTON = 0x0004;
inline constexpr DWORD BS_3STATE = 0x0005;
inline constexpr DWORD BS_AUTO3STATE = 0x0006;
inline constexpr DWORD BS_GROUPBOX = 0x0007;
inline constexpr DWORD BS_USERBUTTON = 0x0008;
inline constexpr DWORD BS_AUTORADIOBUTTON = 0x0009;
inline constexpr DWORD BS_OWNERDRAW = 0x000B;
inline constexpr DWORD BS_TYPEMASK = 0x000F;
inline constexpr DWORD BS_LEFTTEXT = 0x0020;
inline constexpr DWORD BS_LEFT = 0x0100;
inline constexpr DWORD BS_RIGHT = 0x0200;
inline constexpr DWORD BS_CENTER = 0x0300;
inline constexpr DWORD BS_TOP = 0x0400;
inline constexpr DWORD BS_BOTTOM = 0x0800;
inline constexpr DWORD BS_VCENTER = 0x0C00;
inline constexpr DWORD BS_MULTILINE = 0x2000;
inline constexpr DWORD BS_NOTIFY = 0x4000;

inline constexpr UINT BM_GETCHECK = 0x00F0;
inline constexpr UINT BM_SETCHECK = 0x00F1;
inline constexpr UINT BM_GETSTATE = 0x00F2;
inline constexpr UINT BM_SETSTATE = 0x00F3;
inline constexpr UINT BM_CLICK = 0x00F5;

inline constexpr WPARAM BST_UNCHECKED = 0x0000;
inline constexpr WPARAM BST_CHECKED = 0x0001;
inline constexpr WPARAM BST_INDETERMINATE = 0x0002;
inline constexpr WPARAM BST_PUSHED = 0x0004;
inline constexpr WPARAM BST_FOCUS = 0x0008;

inline constexpr WORD BN_CLICKED = 0;
inline constexpr WORD BN_DBLCLK = 5;
inline constexpr WORD BN_SETFOCUS = 6;
inline constexpr WORD BN_KILLFOCUS = 7;

namespace platform {

LRESULT ButtonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform
