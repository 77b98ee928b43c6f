// The menu records and their table. Internal to the platform layer.
//
// One lock guards the table and every record. It is never held while anything of the
// window manager runs: the menu loop and the drawing take copies of what they show.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/user/menus/menus.h"

namespace platform {

// The item's kind and state bits, as GetMenuState answers them, with the radio mark
// CheckMenuRadioItem gives.
inline constexpr UINT MENU_RADIO_CHECK = 0x0200;
// The bits an item keeps of the flags it is made with.
inline constexpr UINT MENU_ITEM_BITS = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP |
                                       MF_MENUBARBREAK | MF_MENUBREAK | MF_HILITE | MF_SEPARATOR |
                                       MENU_RADIO_CHECK;

struct MenuItem {
    UINT flags = 0;
    UINT id = 0;       // the command, or 0 for a popup item
    HMENU submenu = 0; // the menu a popup item opens
    std::string text;  // Windows-1252, with its '&' mnemonic and '\t' part
};

struct MenuRecord {
    HMENU handle = 0;
    bool bar = false; // made by CreateMenu
    std::vector<MenuItem> items;
};

std::mutex& MenuLock();
// The live record of a handle, or null with ERROR_INVALID_MENU_HANDLE.
MenuRecord* LookupMenuLocked(HMENU menu);

// Where an item lies: its menu and its index there.
struct ItemPlace {
    MenuRecord* menu = nullptr;
    size_t index = 0;
};
// The item `item` names by position in `menu`, or by command in it and, depth first,
// its submenus; no menu when there is none (ERROR_MENU_ITEM_NOT_FOUND).
ItemPlace FindItemLocked(HMENU menu, UINT item, UINT flags);

// Whether `target` is `from` or lies somewhere below it.
bool MenuReachesLocked(HMENU from, HMENU target);

// A copy of a menu's items, empty when the menu does not exist.
std::vector<MenuItem> MenuItemsOf(HMENU menu);
bool MenuExists(HMENU menu);

} // namespace platform
