// Menus: menu bars of top-level windows and popup menus, with submenus to any depth.
//
// A menu is a handle of the layer's own menu table holding an ordered list of items (a text
// item with a command id, a popup item opening a submenu, or a separator) and their states.
// An item is named either by its position (MF_BYPOSITION) or by its command id (MF_BYCOMMAND,
// searched depth-first through the submenus). A window's menu bar lies in its non-client area
// between the caption and the client area; a click on it, or TrackPopupMenu, runs the menu
// loop, which ends by sending WM_COMMAND(id, 0) to the owner window (or returning the id with
// TPM_RETURNCMD).
#pragma once

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"
#include "platform/user/window_geometry.h"

// Item flags of InsertMenuA, AppendMenuA and ModifyMenuA, and states of GetMenuState.
inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_BYPOSITION = 0x0400;
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_MENUBARBREAK = 0x0020;
inline constexpr UINT MF_MENUBREAK = 0x0040;
inline constexpr UINT MF_HILITE = 0x0080;
inline constexpr UINT MF_SEPARATOR = 0x0800;

// TrackPopupMenu flags.
inline constexpr UINT TPM_LEFTBUTTON = 0x0000;
inline constexpr UINT TPM_RIGHTBUTTON = 0x0002;
inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_CENTERALIGN = 0x0004;
inline constexpr UINT TPM_RIGHTALIGN = 0x0008;
inline constexpr UINT TPM_TOPALIGN = 0x0000;
inline constexpr UINT TPM_VCENTERALIGN = 0x0010;
inline constexpr UINT TPM_BOTTOMALIGN = 0x0020;
inline constexpr UINT TPM_NONOTIFY = 0x0080;
inline constexpr UINT TPM_RETURNCMD = 0x0100;

// Messages of the menu loop, sent to the owner window.
inline constexpr UINT WM_INITMENU = 0x0116;
inline constexpr UINT WM_INITMENUPOPUP = 0x0117;
inline constexpr UINT WM_MENUSELECT = 0x011F;
inline constexpr UINT WM_ENTERMENULOOP = 0x0211;
inline constexpr UINT WM_EXITMENULOOP = 0x0212;
inline constexpr UINT WM_CONTEXTMENU = 0x007B;

// Errors of the menu calls.
inline constexpr DWORD ERROR_INVALID_MENU_HANDLE = 1401;
inline constexpr DWORD ERROR_CHILD_WINDOW_MENU = 1436;
inline constexpr DWORD ERROR_POPUP_ALREADY_ACTIVE = 1446;
inline constexpr DWORD ERROR_MENU_ITEM_NOT_FOUND = 1456;

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and, recursively, the submenus its popup items open; FALSE for a menu
// destroyed already.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);

// newItem is the command id, or the submenu's HMENU with MF_POPUP. A position past the end,
// or (UINT)-1, appends.
BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR newItem, LPCSTR text);
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR newItem, LPCSTR text);
BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR newItem, LPCSTR text);
// Both take the item out; a submenu it opens is detached, never destroyed, so that its
// owner may insert it again.
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);

// Answer the previous state, or (DWORD)-1 when the item does not exist.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
// The previous MF_GRAYED and MF_DISABLED bits, or -1 when the item does not exist.
BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);
BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
// The item's state bits (MF_CHECKED, MF_GRAYED, MF_DISABLED, MF_POPUP, MF_SEPARATOR,
// MF_HILITE); for a popup item the submenu's item count in the high byte. (UINT)-1 when the
// item does not exist.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
// Copies at most maxCount - 1 characters and answers their count; with a null buffer or a
// count of 0, answers the text's length.
int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int maxCount, UINT flags);
int GetMenuItemCount(HMENU menu);
// (UINT)-1 for a popup item, a separator's id for a separator.
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);

// The window's system menu, made at the first call, holding the SC_ commands of its frame;
// it is never shown, but greying its SC_CLOSE item greys the close button and drops every
// close request (the button, Alt+F4, the desktop's). With `revert`, the menu goes back to
// its first state and 0 is answered.
HMENU GetSystemMenu(HWND window, BOOL revert);

BOOL SetMenu(HWND window, HMENU menu);
HMENU GetMenu(HWND window);
BOOL DrawMenuBar(HWND window);

// Runs the menu loop for a popup menu at screen point (x, y) aligned as the flags say; the
// chosen item's WM_COMMAND goes to the owner, or its id is answered with TPM_RETURNCMD.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                    const RECT* ignored);
