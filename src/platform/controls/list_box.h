// "LISTBOX": a column of texts of one height to choose from. One item is chosen at a time
// unless LBS_MULTIPLESEL (a click or Space toggles an item) or LBS_EXTENDEDSEL (Shift
// extends from the anchor, Ctrl toggles); LBS_NOSEL shows the items only. With LBS_SORT
// added texts take their place in case-blind Windows-1252 order. Without
// LBS_NOINTEGRALHEIGHT the box shrinks to show whole items. Programmatic selection tells
// the parent nothing; the user's gives LBN_SELCHANGE with LBS_NOTIFY, and a press that
// loses the pointer to another window before its button goes up gives LBN_SELCANCEL (what
// it chose stays chosen). The wheel scrolls three items a notch.
#pragma once

#include "platform/controls/controls.h"

inline constexpr DWORD LBS_NOTIFY = 0x0001;
inline constexpr DWORD LBS_SORT = 0x0002;
inline constexpr DWORD LBS_MULTIPLESEL = 0x0008;
inline constexpr DWORD LBS_USETABSTOPS = 0x0080;
inline constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
inline constexpr DWORD LBS_EXTENDEDSEL = 0x0800;
inline constexpr DWORD LBS_DISABLENOSCROLL = 0x1000;
inline constexpr DWORD LBS_NOSEL = 0x4000;

inline constexpr UINT LB_ADDSTRING = 0x0180;
inline constexpr UINT LB_INSERTSTRING = 0x0181;
inline constexpr UINT LB_DELETESTRING = 0x0182;
inline constexpr UINT LB_RESETCONTENT = 0x0184;
inline constexpr UINT LB_SETSEL = 0x0185;
inline constexpr UINT LB_SETCURSEL = 0x0186;
inline constexpr UINT LB_GETSEL = 0x0187;
inline constexpr UINT LB_GETCURSEL = 0x0188;
inline constexpr UINT LB_GETTEXT = 0x0189;
inline constexpr UINT LB_GETTEXTLEN = 0x018A;
inline constexpr UINT LB_GETCOUNT = 0x018B;
inline constexpr UINT LB_SELECTSTRING = 0x018C;
inline constexpr UINT LB_GETTOPINDEX = 0x018E;
inline constexpr UINT LB_FINDSTRING = 0x018F;
inline constexpr UINT LB_GETSELCOUNT = 0x0190;
inline constexpr UINT LB_GETSELITEMS = 0x0191;
inline constexpr UINT LB_SETTABSTOPS = 0x0192;
inline constexpr UINT LB_GETHORIZONTALEXTENT = 0x0193;
inline constexpr UINT LB_SETHORIZONTALEXTENT = 0x0194;
inline constexpr UINT LB_SETTOPINDEX = 0x0197;
inline constexpr UINT LB_GETITEMRECT = 0x0198;
inline constexpr UINT LB_GETITEMDATA = 0x0199;
inline constexpr UINT LB_SETITEMDATA = 0x019A;
inline constexpr UINT LB_SELITEMRANGE = 0x019B;
inline constexpr UINT LB_SETCARETINDEX = 0x019E;
inline constexpr UINT LB_GETCARETINDEX = 0x019F;
inline constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
inline constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
inline constexpr UINT LB_FINDSTRINGEXACT = 0x01A2;
inline constexpr UINT LB_ITEMFROMPOINT = 0x01A9;

inline constexpr LRESULT LB_OKAY = 0;
inline constexpr LRESULT LB_ERR = -1;

inline constexpr WORD LBN_SELCHANGE = 1;
inline constexpr WORD LBN_DBLCLK = 2;
inline constexpr WORD LBN_SELCANCEL = 3;
inline constexpr WORD LBN_SETFOCUS = 4;
inline constexpr WORD LBN_KILLFOCUS = 5;

namespace platform {

LRESULT ListBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The window a list asks for its colours in place of its parent: a combo box's dropped
// list, whose owner is the top-level window, asks the combo box's parent.
void SetListBoxColorSource(HWND list, HWND source);

} // namespace platform
