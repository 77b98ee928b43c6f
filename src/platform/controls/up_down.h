// "msctls_updown32", made by CreateUpDownControl: two arrows stepping a position within a
// range, usually shown in a buddy window's text.
//
// Each step (a click on an arrow, repeated while held after 200 ms then every 50 ms, with
// the increments of the acceleration table as the seconds pass; Up and Down in the buddy
// under UDS_ARROWKEYS) moves the position, writes it into the buddy with WM_SETTEXT under
// UDS_SETBUDDYINT, and sends WM_VSCROLL (WM_HSCROLL under UDS_HORZ) with SB_THUMBPOSITION
// and the position, lParam the up-down; the release sends SB_ENDSCROLL. The up arrow goes
// toward the upper limit, which may lie below the lower one. UDM_SETPOS tells nobody.
#pragma once

#include "platform/controls/controls.h"

inline constexpr DWORD UDS_WRAP = 0x0001;
inline constexpr DWORD UDS_SETBUDDYINT = 0x0002;
inline constexpr DWORD UDS_ALIGNRIGHT = 0x0004;
inline constexpr DWORD UDS_ALIGNLEFT = 0x0008;
inline constexpr DWORD UDS_AUTOBUDDY = 0x0010;
inline constexpr DWORD UDS_ARROWKEYS = 0x0020;
inline constexpr DWORD UDS_HORZ = 0x0040;
inline constexpr DWORD UDS_NOTHOUSANDS = 0x0080;

// UDM_SETRANGE/GETRANGE: MAKELONG(upper, lower), signed. UDM_SETPOS: the signed low word,
// the old position back. UDM_GETPOS: MAKELONG(position, error); under UDS_SETBUDDYINT the
// buddy's text is read first, and text that is no number in the range is an error.
// UDM_SETACCEL(count, UDACCEL*) refuses an empty table; UDM_GETACCEL(count, UDACCEL*)
// writes at most `count` entries and answers how many there are. UDM_SETBASE takes 10 or
// 16 (hexadecimal text reads "0x" and four digits) and answers the old base, 0 for others.
inline constexpr UINT UDM_SETRANGE = WM_USER + 101;
inline constexpr UINT UDM_GETRANGE = WM_USER + 102;
inline constexpr UINT UDM_SETPOS = WM_USER + 103;
inline constexpr UINT UDM_GETPOS = WM_USER + 104;
inline constexpr UINT UDM_SETBUDDY = WM_USER + 105;
inline constexpr UINT UDM_GETBUDDY = WM_USER + 106;
inline constexpr UINT UDM_SETACCEL = WM_USER + 107;
inline constexpr UINT UDM_GETACCEL = WM_USER + 108;
inline constexpr UINT UDM_SETBASE = WM_USER + 109;
inline constexpr UINT UDM_GETBASE = WM_USER + 110;

struct UDACCEL {
    UINT nSec;
    UINT nInc;
};

// Makes the up-down, then gives it the buddy (UDS_ALIGNLEFT/RIGHT put it beside the buddy,
// which gets narrower), the range and the position.
HWND CreateUpDownControl(DWORD style, int x, int y, int width, int height, HWND parent, int id,
                         HINSTANCE instance, HWND buddy, int upper, int lower, int position);

namespace platform {

LRESULT UpDownProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform
