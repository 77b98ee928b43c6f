// Scroll bars: a window's own bars (SB_HORZ, SB_VERT, in its frame when WS_HSCROLL /
// WS_VSCROLL is set) and the "SCROLLBAR" control (SB_CTL), with Windows' names and values.
//
// A bar keeps a range, a page and a position; the position always lies in
// [min, max - max(page - 1, 0)]. The bar never moves itself: a click or a drag sends
// WM_HSCROLL / WM_VSCROLL (to the window for its own bars, lParam 0; to the control's
// parent, lParam the control) and the owner answers with SetScrollPos or SetScrollInfo,
// which send nothing. Only a dragged thumb follows the pointer until it is let go.
#pragma once

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"

inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
inline constexpr int SB_CTL = 2;

// WM_HSCROLL / WM_VSCROLL: the code in the low word of wParam, a thumb position in the
// high word.
inline constexpr UINT WM_HSCROLL = 0x0114;
inline constexpr UINT WM_VSCROLL = 0x0115;
inline constexpr UINT WM_CTLCOLORSCROLLBAR = 0x0137;
inline constexpr WORD SB_LINEUP = 0;
inline constexpr WORD SB_LINELEFT = 0;
inline constexpr WORD SB_LINEDOWN = 1;
inline constexpr WORD SB_LINERIGHT = 1;
inline constexpr WORD SB_PAGEUP = 2;
inline constexpr WORD SB_PAGELEFT = 2;
inline constexpr WORD SB_PAGEDOWN = 3;
inline constexpr WORD SB_PAGERIGHT = 3;
inline constexpr WORD SB_THUMBPOSITION = 4;
inline constexpr WORD SB_THUMBTRACK = 5;
inline constexpr WORD SB_TOP = 6;
inline constexpr WORD SB_LEFT = 6;
inline constexpr WORD SB_BOTTOM = 7;
inline constexpr WORD SB_RIGHT = 7;
inline constexpr WORD SB_ENDSCROLL = 8;

// "SCROLLBAR" styles: horizontal unless SBS_VERT.
inline constexpr DWORD SBS_HORZ = 0x0000;
inline constexpr DWORD SBS_VERT = 0x0001;

inline constexpr UINT SIF_RANGE = 0x0001;
inline constexpr UINT SIF_PAGE = 0x0002;
inline constexpr UINT SIF_POS = 0x0004;
inline constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
inline constexpr UINT SIF_TRACKPOS = 0x0010;
inline constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

inline constexpr LRESULT HTHSCROLL = 6;
inline constexpr LRESULT HTVSCROLL = 7;

struct SCROLLINFO {
    UINT cbSize; // sizeof(SCROLLINFO)
    UINT fMask;
    int nMin;
    int nMax;
    UINT nPage;
    int nPos;
    int nTrackPos;
};
using LPSCROLLINFO = SCROLLINFO*;
using LPCSCROLLINFO = const SCROLLINFO*;

// Sets what fMask names; the page is kept within [0, max - min + 1] and the position
// within its range. A bar that cannot scroll (min >= max - max(page - 1, 0)) is disabled
// with SIF_DISABLENOSCROLL; otherwise a window's bar then disappears (WS_xSCROLL goes and
// the client area grows), and a change of range or page that makes it useful shows it.
// Returns the new position; 0 with the error set for a bad window, bar or size.
int SetScrollInfo(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw);
// Fills what fMask names; nTrackPos is the dragged thumb's position while a drag goes
// on, else the position. FALSE for a bad window, bar or size, or an empty mask.
BOOL GetScrollInfo(HWND window, int bar, LPSCROLLINFO info);
// Returns the previous position.
int SetScrollPos(HWND window, int bar, int position, BOOL redraw);
int GetScrollPos(HWND window, int bar);
