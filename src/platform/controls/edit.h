// "EDIT": a field of text that users type in, select and scroll. Single-line unless
// ES_MULTILINE; a multi-line edit without ES_AUTOHSCROLL wraps at word ends. Line breaks
// are "\r\n" and both characters count as positions. Copy, cut and paste go through the
// clipboard (clipboard_text.h); one change can be undone, and undoing again redoes it.
// Programmatic selection changes tell the parent nothing; every change of the text, by the
// user or by a message, gives EN_CHANGE. Typing and pasting stop, with EN_MAXTEXT, at the
// limit, at the width of a single line without ES_AUTOHSCROLL and at the window's lines in
// a multi-line edit without ES_AUTOVSCROLL. The focused edit shows the system caret; the
// wheel scrolls a multi-line edit three lines a notch, with EN_VSCROLL.
#pragma once

#include "platform/controls/controls.h"

inline constexpr DWORD ES_LEFT = 0x0000;
inline constexpr DWORD ES_CENTER = 0x0001;
inline constexpr DWORD ES_RIGHT = 0x0002;
inline constexpr DWORD ES_MULTILINE = 0x0004;
inline constexpr DWORD ES_UPPERCASE = 0x0008;
inline constexpr DWORD ES_LOWERCASE = 0x0010;
inline constexpr DWORD ES_PASSWORD = 0x0020;
inline constexpr DWORD ES_AUTOVSCROLL = 0x0040;
inline constexpr DWORD ES_AUTOHSCROLL = 0x0080;
inline constexpr DWORD ES_NOHIDESEL = 0x0100;
inline constexpr DWORD ES_READONLY = 0x0800;
// In a dialog, Return goes to a multi-line edit instead of the default button.
inline constexpr DWORD ES_WANTRETURN = 0x1000;

inline constexpr UINT WM_CUT = 0x0300;
inline constexpr UINT WM_COPY = 0x0301;
inline constexpr UINT WM_PASTE = 0x0302;
inline constexpr UINT WM_CLEAR = 0x0303;
inline constexpr UINT WM_UNDO = 0x0304;

inline constexpr UINT EM_GETSEL = 0x00B0;
inline constexpr UINT EM_SETSEL = 0x00B1;
inline constexpr UINT EM_SCROLL = 0x00B5;
inline constexpr UINT EM_LINESCROLL = 0x00B6;
inline constexpr UINT EM_SCROLLCARET = 0x00B7;
inline constexpr UINT EM_GETMODIFY = 0x00B8;
inline constexpr UINT EM_SETMODIFY = 0x00B9;
inline constexpr UINT EM_GETLINECOUNT = 0x00BA;
inline constexpr UINT EM_LINEINDEX = 0x00BB;
inline constexpr UINT EM_LINELENGTH = 0x00C1;
inline constexpr UINT EM_REPLACESEL = 0x00C2;
inline constexpr UINT EM_GETLINE = 0x00C4;
inline constexpr UINT EM_LIMITTEXT = 0x00C5;
inline constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
inline constexpr UINT EM_CANUNDO = 0x00C6;
inline constexpr UINT EM_UNDO = 0x00C7;
inline constexpr UINT EM_LINEFROMCHAR = 0x00C9;
inline constexpr UINT EM_SETTABSTOPS = 0x00CB;
inline constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
inline constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
inline constexpr UINT EM_SETREADONLY = 0x00CF;
inline constexpr UINT EM_GETLIMITTEXT = 0x00D5;

inline constexpr WORD EN_SETFOCUS = 0x0100;
inline constexpr WORD EN_KILLFOCUS = 0x0200;
inline constexpr WORD EN_CHANGE = 0x0300;
inline constexpr WORD EN_MAXTEXT = 0x0501;
inline constexpr WORD EN_HSCROLL = 0x0601;
inline constexpr WORD EN_VSCROLL = 0x0602;

// The limit before EM_LIMITTEXT, and the largest one (EM_LIMITTEXT 0 or -1).
inline constexpr int kEditDefaultLimit = 32767;
inline constexpr int kEditMaximumLimit = 0x7FFFFFFE;

namespace platform {

LRESULT EditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform
