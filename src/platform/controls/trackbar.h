// "msctls_trackbar32": a thumb on a channel choosing a position in a range, with ticks.
//
// The trackbar moves its own thumb and tells the parent with WM_HSCROLL (WM_VSCROLL when
// TBS_VERT), the TB_ code in the low word (the position in the high word for
// TB_THUMBTRACK and TB_THUMBPOSITION), lParam the trackbar. A click on the channel pages
// toward the pointer and repeats while held (after 200 ms, then every 50 ms) until the
// thumb reaches it; dragging the thumb gives TB_THUMBTRACK per move, then
// TB_THUMBPOSITION; each action ends with TB_ENDTRACK. Keys: arrows by a line (left and up
// lower the position), Page Up/Down by a page, Home and End to the ends. TBM_SETPOS and
// the other messages tell the parent nothing.
#pragma once

#include "platform/controls/controls.h"

inline constexpr DWORD TBS_AUTOTICKS = 0x0001;
inline constexpr DWORD TBS_VERT = 0x0002;
inline constexpr DWORD TBS_HORZ = 0x0000;
inline constexpr DWORD TBS_TOP = 0x0004;
inline constexpr DWORD TBS_BOTTOM = 0x0000;
inline constexpr DWORD TBS_LEFT = 0x0004;
inline constexpr DWORD TBS_RIGHT = 0x0000;
inline constexpr DWORD TBS_BOTH = 0x0008;
inline constexpr DWORD TBS_NOTICKS = 0x0010;
inline constexpr DWORD TBS_ENABLESELRANGE = 0x0020;
inline constexpr DWORD TBS_FIXEDLENGTH = 0x0040;
inline constexpr DWORD TBS_NOTHUMB = 0x0080;
inline constexpr DWORD TBS_TOOLTIPS = 0x0100;

// TBM_SETRANGE takes the minimum and maximum as the signed halves of lParam;
// TBM_SETRANGEMIN/MAX, TBM_SETPOS, TBM_SETSELSTART/END and TBM_SETTIC a whole lParam.
// TBM_GETNUMTICS counts both ends (0 under TBS_NOTICKS); TBM_GETTIC and TBM_GETTICPOS
// index the ticks between them and answer -1 out of range.
inline constexpr UINT TBM_GETPOS = WM_USER;
inline constexpr UINT TBM_GETRANGEMIN = WM_USER + 1;
inline constexpr UINT TBM_GETRANGEMAX = WM_USER + 2;
inline constexpr UINT TBM_GETTIC = WM_USER + 3;
inline constexpr UINT TBM_SETTIC = WM_USER + 4;
inline constexpr UINT TBM_SETPOS = WM_USER + 5;
inline constexpr UINT TBM_SETRANGE = WM_USER + 6;
inline constexpr UINT TBM_SETRANGEMIN = WM_USER + 7;
inline constexpr UINT TBM_SETRANGEMAX = WM_USER + 8;
inline constexpr UINT TBM_CLEARTICS = WM_USER + 9;
inline constexpr UINT TBM_SETSEL = WM_USER + 10;
inline constexpr UINT TBM_SETSELSTART = WM_USER + 11;
inline constexpr UINT TBM_SETSELEND = WM_USER + 12;
inline constexpr UINT TBM_GETTICPOS = WM_USER + 15;
inline constexpr UINT TBM_GETNUMTICS = WM_USER + 16;
inline constexpr UINT TBM_GETSELSTART = WM_USER + 17;
inline constexpr UINT TBM_GETSELEND = WM_USER + 18;
inline constexpr UINT TBM_CLEARSEL = WM_USER + 19;
inline constexpr UINT TBM_SETTICFREQ = WM_USER + 20;
inline constexpr UINT TBM_SETPAGESIZE = WM_USER + 21;
inline constexpr UINT TBM_GETPAGESIZE = WM_USER + 22;
inline constexpr UINT TBM_SETLINESIZE = WM_USER + 23;
inline constexpr UINT TBM_GETLINESIZE = WM_USER + 24;
inline constexpr UINT TBM_GETTHUMBRECT = WM_USER + 25;
inline constexpr UINT TBM_GETCHANNELRECT = WM_USER + 26;
inline constexpr UINT TBM_SETTHUMBLENGTH = WM_USER + 27;
inline constexpr UINT TBM_GETTHUMBLENGTH = WM_USER + 28;

inline constexpr WORD TB_LINEUP = 0;
inline constexpr WORD TB_LINEDOWN = 1;
inline constexpr WORD TB_PAGEUP = 2;
inline constexpr WORD TB_PAGEDOWN = 3;
inline constexpr WORD TB_THUMBPOSITION = 4;
inline constexpr WORD TB_THUMBTRACK = 5;
inline constexpr WORD TB_TOP = 6;
inline constexpr WORD TB_BOTTOM = 7;
inline constexpr WORD TB_ENDTRACK = 8;

namespace platform {

LRESULT TrackbarProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform
