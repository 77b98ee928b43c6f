// The items of a menu: inserting, changing, removing and reading them.
#include <algorithm>
#include <cstring>

#include "platform/kernel/errors.h"
#include "platform/user/menus/menu_table.h"
#include "platform/user/menus/system_menu.h"
#include "platform/user/nonclient/nonclient.h"

namespace platform {
namespace {

// The item the flags describe; false with the error set when its submenu cannot be used.
bool MakeItemLocked(HMENU menu, UINT flags, UINT_PTR newItem, LPCSTR text, MenuItem& item) {
    item.flags = flags & MENU_ITEM_BITS & ~MF_HILITE;
    if (flags & MF_SEPARATOR) {
        item.flags &= ~MF_POPUP;
        item.id = static_cast<UINT>(newItem);
        return true;
    }
    item.text = text != nullptr ? text : "";
    if (!(flags & MF_POPUP)) {
        item.id = static_cast<UINT>(newItem);
        return true;
    }
    HMENU submenu = static_cast<HMENU>(newItem);
    if (LookupMenuLocked(submenu) == nullptr) return false;
    // A menu inside itself would make every search and every drawing endless.
    if (MenuReachesLocked(submenu, menu)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    item.submenu = submenu;
    return true;
}

BOOL TakeOut(HMENU menu, UINT position, UINT flags) {
    std::lock_guard lock(MenuLock());
    ItemPlace place = FindItemLocked(menu, position, flags);
    if (place.menu == nullptr) return FALSE;
    // A popup item's submenu is only detached: its owner keeps it to insert again.
    place.menu->items.erase(place.menu->items.begin() + static_cast<ptrdiff_t>(place.index));
    return TRUE;
}

} // namespace
} // namespace platform

using platform::FindItemLocked;
using platform::ItemPlace;
using platform::MenuItem;
using platform::MenuLock;

BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR newItem, LPCSTR text) {
    std::lock_guard lock(MenuLock());
    platform::MenuRecord* target = platform::LookupMenuLocked(menu);
    if (target == nullptr) return FALSE;
    size_t index = target->items.size();
    if (flags & MF_BYPOSITION) {
        index = std::min<size_t>(position, target->items.size());
    } else if (position != static_cast<UINT>(-1)) {
        ItemPlace place = FindItemLocked(menu, position, flags);
        if (place.menu == nullptr) return FALSE;
        target = place.menu;
        index = place.index;
    }
    MenuItem item;
    if (!platform::MakeItemLocked(target->handle, flags, newItem, text, item)) return FALSE;
    target->items.insert(target->items.begin() + static_cast<ptrdiff_t>(index), std::move(item));
    return TRUE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR newItem, LPCSTR text) {
    return InsertMenuA(menu, static_cast<UINT>(-1), flags | MF_BYPOSITION, newItem, text);
}

BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR newItem, LPCSTR text) {
    std::lock_guard lock(MenuLock());
    ItemPlace place = FindItemLocked(menu, position, flags);
    if (place.menu == nullptr) return FALSE;
    MenuItem item;
    if (!platform::MakeItemLocked(place.menu->handle, flags, newItem, text, item)) return FALSE;
    // A submenu the item opened is detached, as DeleteMenu does.
    place.menu->items[place.index] = std::move(item);
    return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
    return platform::TakeOut(menu, position, flags);
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
    return platform::TakeOut(menu, position, flags);
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
    std::lock_guard lock(MenuLock());
    ItemPlace place = FindItemLocked(menu, item, flags);
    if (place.menu == nullptr) return static_cast<DWORD>(-1);
    MenuItem& found = place.menu->items[place.index];
    DWORD previous = found.flags & MF_CHECKED;
    found.flags = (found.flags & ~MF_CHECKED) | (flags & MF_CHECKED);
    return previous;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags) {
    BOOL previous;
    {
        std::lock_guard lock(MenuLock());
        ItemPlace place = FindItemLocked(menu, item, flags);
        if (place.menu == nullptr) return -1;
        MenuItem& found = place.menu->items[place.index];
        constexpr UINT kBits = MF_GRAYED | MF_DISABLED;
        previous = static_cast<BOOL>(found.flags & kBits);
        found.flags = (found.flags & ~kBits) | (flags & kBits);
    }
    // A system menu's close command is the close button's state.
    if (HWND window = platform::SystemMenuWindow(menu)) platform::DrawNonClient(window);
    return previous;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
    std::lock_guard lock(MenuLock());
    ItemPlace from = FindItemLocked(menu, first, flags);
    ItemPlace to = FindItemLocked(menu, last, flags);
    if (from.menu == nullptr || to.menu == nullptr) return FALSE;
    if (from.menu != to.menu) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ItemPlace checked = FindItemLocked(menu, check, flags);
    size_t low = std::min(from.index, to.index);
    size_t high = std::max(from.index, to.index);
    for (size_t i = low; i <= high; ++i) {
        MenuItem& item = from.menu->items[i];
        if (item.flags & MF_SEPARATOR) continue;
        if (checked.menu == from.menu && checked.index == i)
            item.flags |= MF_CHECKED | platform::MENU_RADIO_CHECK;
        else
            item.flags &= ~(MF_CHECKED | platform::MENU_RADIO_CHECK);
    }
    return TRUE;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    std::lock_guard lock(MenuLock());
    ItemPlace place = FindItemLocked(menu, item, flags);
    if (place.menu == nullptr) return static_cast<UINT>(-1);
    const MenuItem& found = place.menu->items[place.index];
    if (!(found.flags & MF_POPUP)) return found.flags;
    platform::MenuRecord* submenu = platform::LookupMenuLocked(found.submenu);
    size_t count = submenu != nullptr ? std::min<size_t>(submenu->items.size(), 0xFF) : 0;
    return static_cast<UINT>(count << 8) | (found.flags & 0xFF);
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int maxCount, UINT flags) {
    std::lock_guard lock(MenuLock());
    ItemPlace place = FindItemLocked(menu, item, flags);
    if (place.menu == nullptr) return 0;
    const std::string& text = place.menu->items[place.index].text;
    if (buffer == nullptr || maxCount <= 0) return static_cast<int>(text.size());
    size_t count = std::min(text.size(), static_cast<size_t>(maxCount) - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

int GetMenuItemCount(HMENU menu) {
    std::lock_guard lock(MenuLock());
    platform::MenuRecord* record = platform::LookupMenuLocked(menu);
    return record != nullptr ? static_cast<int>(record->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
    std::lock_guard lock(MenuLock());
    ItemPlace place = FindItemLocked(menu, static_cast<UINT>(position), MF_BYPOSITION);
    if (place.menu == nullptr || position < 0) return static_cast<UINT>(-1);
    const MenuItem& item = place.menu->items[place.index];
    return (item.flags & MF_POPUP) ? static_cast<UINT>(-1) : item.id;
}

HMENU GetSubMenu(HMENU menu, int position) {
    std::lock_guard lock(MenuLock());
    if (position < 0) return 0;
    ItemPlace place = FindItemLocked(menu, static_cast<UINT>(position), MF_BYPOSITION);
    if (place.menu == nullptr) return 0;
    const MenuItem& item = place.menu->items[place.index];
    return (item.flags & MF_POPUP) ? item.submenu : 0;
}
