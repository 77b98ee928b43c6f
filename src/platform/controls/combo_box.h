// "COMBOBOX": a field above a list of choices. CBS_SIMPLE shows an edit with the list
// always beneath it; CBS_DROPDOWN (and a style with no type) an edit whose list drops
// below in a popup; CBS_DROPDOWNLIST a drawn field showing the chosen item. The height
// given at creation includes the dropped list; the window is as high as its field. The
// list opens by a click on the button, F4 or Alt+Down and closes on a choice, Escape or
// a click elsewhere; a press on its scroll bar scrolls it and leaves it open. The wheel
// scrolls the open list and moves the choice in the closed field. The colour messages of the field
// and the list reach the combo box's parent. CB_SETCURSEL and the other messages tell the parent
// nothing.
#pragma once

#include "platform/controls/controls.h"

inline constexpr DWORD CBS_SIMPLE = 0x0001;
inline constexpr DWORD CBS_DROPDOWN = 0x0002;
inline constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
inline constexpr DWORD CBS_AUTOHSCROLL = 0x0040;
inline constexpr DWORD CBS_SORT = 0x0100;
inline constexpr DWORD CBS_NOINTEGRALHEIGHT = 0x0400;
inline constexpr DWORD CBS_DISABLENOSCROLL = 0x0800;

inline constexpr UINT CB_LIMITTEXT = 0x0141;
inline constexpr UINT CB_ADDSTRING = 0x0143;
inline constexpr UINT CB_DELETESTRING = 0x0144;
inline constexpr UINT CB_GETCOUNT = 0x0146;
inline constexpr UINT CB_GETCURSEL = 0x0147;
inline constexpr UINT CB_GETLBTEXT = 0x0148;
inline constexpr UINT CB_GETLBTEXTLEN = 0x0149;
inline constexpr UINT CB_INSERTSTRING = 0x014A;
inline constexpr UINT CB_RESETCONTENT = 0x014B;
inline constexpr UINT CB_FINDSTRING = 0x014C;
inline constexpr UINT CB_SELECTSTRING = 0x014D;
inline constexpr UINT CB_SETCURSEL = 0x014E;
inline constexpr UINT CB_SHOWDROPDOWN = 0x014F;
inline constexpr UINT CB_GETITEMDATA = 0x0150;
inline constexpr UINT CB_SETITEMDATA = 0x0151;
inline constexpr UINT CB_SETITEMHEIGHT = 0x0153;
inline constexpr UINT CB_GETITEMHEIGHT = 0x0154;
inline constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
inline constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
inline constexpr UINT CB_GETTOPINDEX = 0x015B;
inline constexpr UINT CB_SETTOPINDEX = 0x015C;
inline constexpr UINT CB_GETHORIZONTALEXTENT = 0x015D;
inline constexpr UINT CB_SETHORIZONTALEXTENT = 0x015E;
inline constexpr UINT CB_GETDROPPEDWIDTH = 0x015F;
inline constexpr UINT CB_SETDROPPEDWIDTH = 0x0160;

inline constexpr LRESULT CB_OKAY = 0;
inline constexpr LRESULT CB_ERR = -1;

inline constexpr WORD CBN_SELCHANGE = 1;
inline constexpr WORD CBN_DBLCLK = 2;
inline constexpr WORD CBN_SETFOCUS = 3;
inline constexpr WORD CBN_KILLFOCUS = 4;
inline constexpr WORD CBN_EDITCHANGE = 5;
inline constexpr WORD CBN_DROPDOWN = 7;
inline constexpr WORD CBN_CLOSEUP = 8;

// The ids of a combo box's own edit and list.
inline constexpr UINT kComboEditId = 1001;
inline constexpr UINT kComboListId = 1000;

namespace platform {

LRESULT ComboBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform
