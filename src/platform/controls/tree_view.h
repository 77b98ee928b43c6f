// "SysTreeView32": a hierarchy of labelled items, each with a value of the caller's, whose
// parents open and close.
//
// Items are named by handles of the control's own (never 0; TVI_ROOT stands for the top).
// A click selects the item of its row (the label's with no TVS_FULLROWSELECT), a click on
// a parent's button or a double click opens or closes it; Up, Down, Home, End, Page Up and
// Page Down move the selection over the shown rows, + and - open and close, Right opens a
// closed parent or goes to the first child, Left closes an open one or goes to the parent.
// The parent hears WM_NOTIFY: TVN_SELCHANGEDA after every change of the selection (the
// action TVC_BYMOUSE, TVC_BYKEYBOARD or TVC_UNKNOWN for messages and deletions),
// TVN_DELETEITEMA for every item removed, children before their parent, NM_DBLCLK (a
// non-zero answer keeps the item as it is) and NM_RCLICK. The vertical window scroll bar
// shows while the rows do not all fit.
#pragma once

#include <cstdint>

#include "platform/controls/controls.h"

using HTREEITEM = uint32_t;

inline constexpr char WC_TREEVIEWA[] = "SysTreeView32";

inline constexpr DWORD TVS_HASBUTTONS = 0x0001;
inline constexpr DWORD TVS_HASLINES = 0x0002;
inline constexpr DWORD TVS_LINESATROOT = 0x0004;
inline constexpr DWORD TVS_FULLROWSELECT = 0x1000;

inline constexpr HTREEITEM TVI_ROOT = 0xFFFF0000u;
inline constexpr HTREEITEM TVI_FIRST = 0xFFFF0001u;
inline constexpr HTREEITEM TVI_LAST = 0xFFFF0002u;

inline constexpr UINT TV_FIRST = 0x1100;
// lParam a TVINSERTSTRUCTA; hInsertAfter TVI_FIRST, TVI_LAST or a child of hParent. The new
// item's handle, 0 when the parent or the place is no item.
inline constexpr UINT TVM_INSERTITEMA = TV_FIRST + 0;
// lParam the item, or TVI_ROOT (or 0) for every item; FALSE for no item.
inline constexpr UINT TVM_DELETEITEM = TV_FIRST + 1;
// wParam TVE_COLLAPSE, TVE_EXPAND or TVE_TOGGLE, lParam the item; FALSE when it has no
// children or the code is unknown.
inline constexpr UINT TVM_EXPAND = TV_FIRST + 2;
// lParam a RECT whose first bytes hold the item; wParam TRUE for the label alone. FALSE
// when the item is hidden under a closed parent.
inline constexpr UINT TVM_GETITEMRECT = TV_FIRST + 4;
inline constexpr UINT TVM_GETCOUNT = TV_FIRST + 5;
// wParam a TVGN_ code, lParam the item it starts from; 0 when there is none.
inline constexpr UINT TVM_GETNEXTITEM = TV_FIRST + 10;
// wParam TVGN_CARET, lParam the item (0 for none): its parents open and it is shown.
inline constexpr UINT TVM_SELECTITEM = TV_FIRST + 11;
// lParam a TVITEMA whose hItem and mask say what to read or change.
inline constexpr UINT TVM_GETITEMA = TV_FIRST + 12;
inline constexpr UINT TVM_SETITEMA = TV_FIRST + 13;
// lParam a TVHITTESTINFO with the client point; the item there (flags say where), or 0.
inline constexpr UINT TVM_HITTEST = TV_FIRST + 17;
// lParam the item: its parents open and the rows scroll to show it.
inline constexpr UINT TVM_ENSUREVISIBLE = TV_FIRST + 20;

inline constexpr UINT TVE_COLLAPSE = 0x0001;
inline constexpr UINT TVE_EXPAND = 0x0002;
inline constexpr UINT TVE_TOGGLE = 0x0003;

inline constexpr UINT TVGN_ROOT = 0x0000;
inline constexpr UINT TVGN_NEXT = 0x0001;
inline constexpr UINT TVGN_PREVIOUS = 0x0002;
inline constexpr UINT TVGN_PARENT = 0x0003;
inline constexpr UINT TVGN_CHILD = 0x0004;
inline constexpr UINT TVGN_CARET = 0x0009;

inline constexpr UINT TVIF_TEXT = 0x0001;
inline constexpr UINT TVIF_PARAM = 0x0004;
inline constexpr UINT TVIF_STATE = 0x0008;
inline constexpr UINT TVIF_HANDLE = 0x0010;
inline constexpr UINT TVIF_CHILDREN = 0x0040;

inline constexpr UINT TVIS_SELECTED = 0x0002;
inline constexpr UINT TVIS_EXPANDED = 0x0020;

inline constexpr UINT TVHT_NOWHERE = 0x0001;
inline constexpr UINT TVHT_ONITEMLABEL = 0x0004;
inline constexpr UINT TVHT_ONITEMINDENT = 0x0008;
inline constexpr UINT TVHT_ONITEMBUTTON = 0x0010;
inline constexpr UINT TVHT_ONITEMRIGHT = 0x0020;
inline constexpr UINT TVHT_ABOVE = 0x0100;
inline constexpr UINT TVHT_BELOW = 0x0200;
inline constexpr UINT TVHT_TORIGHT = 0x0400;
inline constexpr UINT TVHT_TOLEFT = 0x0800;

inline constexpr UINT TVC_UNKNOWN = 0x0000;
inline constexpr UINT TVC_BYMOUSE = 0x0001;
inline constexpr UINT TVC_BYKEYBOARD = 0x0002;

inline constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);
inline constexpr UINT NM_RCLICK = static_cast<UINT>(-5);
inline constexpr UINT TVN_SELCHANGEDA = static_cast<UINT>(-402);
inline constexpr UINT TVN_DELETEITEMA = static_cast<UINT>(-409);

struct TVITEMA {
    UINT mask;
    HTREEITEM hItem;
    UINT state;
    UINT stateMask;
    // Read: at most cchTextMax bytes with the terminating zero are written here.
    LPSTR pszText;
    int cchTextMax;
    int iImage;
    int iSelectedImage;
    int cChildren;
    LPARAM lParam;
};

struct TVINSERTSTRUCTA {
    HTREEITEM hParent;
    HTREEITEM hInsertAfter;
    TVITEMA item;
};

// Sent with TVN_SELCHANGEDA (itemOld and itemNew: handle, state and lParam) and
// TVN_DELETEITEMA (itemOld).
struct NMTREEVIEWA {
    NMHDR hdr;
    UINT action;
    TVITEMA itemOld;
    TVITEMA itemNew;
    POINT ptDrag;
};

struct TVHITTESTINFO {
    POINT pt;
    UINT flags;
    HTREEITEM hItem;
};

namespace platform {

LRESULT TreeViewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform
