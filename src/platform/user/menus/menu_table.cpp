#include "platform/user/menus/menu_table.h"

#include <algorithm>
#include <unordered_map>

#include "platform/kernel/errors.h"

namespace platform {
namespace {

// Menu handles are numbered apart from window and GDI handles, so that a handle of the
// wrong kind names no menu.
constexpr HMENU FIRST_MENU_HANDLE = 0x00A00000;
constexpr HMENU LAST_MENU_HANDLE = 0x00AFFFFF;

struct MenuTable {
    std::mutex lock;
    std::unordered_map<HMENU, MenuRecord> menus;
    HMENU next = FIRST_MENU_HANDLE;
};

// Outlives static destructors, as the window table does.
MenuTable& Table() {
    static auto* table = new MenuTable;
    return *table;
}

HMENU NewMenu(bool bar) {
    MenuTable& table = Table();
    std::lock_guard lock(table.lock);
    // Handles are not reused while a free one is left, so that a stale handle stays dead.
    for (HMENU tried = 0; tried <= LAST_MENU_HANDLE - FIRST_MENU_HANDLE; ++tried) {
        HMENU handle = table.next;
        table.next = handle == LAST_MENU_HANDLE ? FIRST_MENU_HANDLE : handle + 1;
        if (table.menus.count(handle) != 0) continue;
        MenuRecord& record = table.menus[handle];
        record.handle = handle;
        record.bar = bar;
        return handle;
    }
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
}

bool FindByCommandLocked(MenuRecord& menu, UINT id, ItemPlace& place, int depth) {
    // Insertion refuses cycles; the depth bound keeps a search finite whatever happens.
    if (depth > 64) return false;
    for (size_t i = 0; i < menu.items.size(); ++i) {
        MenuItem& item = menu.items[i];
        if (item.flags & MF_POPUP) {
            auto found = Table().menus.find(item.submenu);
            if (found != Table().menus.end() &&
                FindByCommandLocked(found->second, id, place, depth + 1))
                return true;
        } else if (item.id == id) {
            place = ItemPlace{&menu, i};
            return true;
        }
    }
    return false;
}

void DestroyLocked(HMENU handle, int depth) {
    auto found = Table().menus.find(handle);
    if (found == Table().menus.end() || depth > 64) return;
    std::vector<MenuItem> items = std::move(found->second.items);
    Table().menus.erase(found);
    for (const MenuItem& item : items)
        if (item.flags & MF_POPUP) DestroyLocked(item.submenu, depth + 1);
}

} // namespace

std::mutex& MenuLock() {
    return Table().lock;
}

MenuRecord* LookupMenuLocked(HMENU menu) {
    auto found = Table().menus.find(menu);
    if (found == Table().menus.end()) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return nullptr;
    }
    return &found->second;
}

ItemPlace FindItemLocked(HMENU handle, UINT item, UINT flags) {
    MenuRecord* menu = LookupMenuLocked(handle);
    if (menu == nullptr) return ItemPlace{};
    ItemPlace place;
    if (flags & MF_BYPOSITION) {
        if (item < menu->items.size()) place = ItemPlace{menu, item};
    } else {
        FindByCommandLocked(*menu, item, place, 0);
    }
    if (place.menu == nullptr) SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return place;
}

bool MenuReachesLocked(HMENU from, HMENU target) {
    std::vector<HMENU> pending{from};
    std::vector<HMENU> seen;
    while (!pending.empty()) {
        HMENU menu = pending.back();
        pending.pop_back();
        if (menu == target) return true;
        if (std::find(seen.begin(), seen.end(), menu) != seen.end()) continue;
        seen.push_back(menu);
        auto found = Table().menus.find(menu);
        if (found == Table().menus.end()) continue;
        for (const MenuItem& item : found->second.items)
            if (item.flags & MF_POPUP) pending.push_back(item.submenu);
    }
    return false;
}

std::vector<MenuItem> MenuItemsOf(HMENU handle) {
    std::lock_guard lock(MenuLock());
    auto found = Table().menus.find(handle);
    return found == Table().menus.end() ? std::vector<MenuItem>{} : found->second.items;
}

bool MenuExists(HMENU handle) {
    std::lock_guard lock(MenuLock());
    return Table().menus.count(handle) != 0;
}

} // namespace platform

HMENU CreateMenu() {
    return platform::NewMenu(true);
}

HMENU CreatePopupMenu() {
    return platform::NewMenu(false);
}

BOOL DestroyMenu(HMENU menu) {
    std::lock_guard lock(platform::MenuLock());
    if (platform::LookupMenuLocked(menu) == nullptr) return FALSE;
    platform::DestroyLocked(menu, 0);
    return TRUE;
}

BOOL IsMenu(HMENU menu) {
    return platform::MenuExists(menu) ? TRUE : FALSE;
}
