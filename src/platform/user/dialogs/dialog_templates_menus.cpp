#include <utility>

#include "platform/kernel/errors.h"
#include "platform/user/dialogs/dialog_templates.h"
#include "platform/user/menus/menus.h"

namespace platform {

namespace {

struct NumberedMenu {
    UINT id;
    std::vector<MenuTemplateItem> items;
};

const std::vector<NumberedMenu>& Menus() {
    // The set-up dialog's context menus, one pop-up each, by the tree item they serve.
    static const auto* menus = new std::vector<NumberedMenu>{
        // A player.
        {28000,
         {{"Sous-Menu",
           0,
           {
               {"Supprimer Joueur", 28102, {}},
               {"Nouvelle commande...", 28103, {}},
           }}}},
        // A command.
        {28001,
         {{"Sous-Menu",
           0,
           {
               {"Supprimer Commande ", 28114, {}},
           }}}},
        // A device group.
        {28002,
         {{"Sous-Menu",
           0,
           {
               {"Nouvelle entr\xE9"
                "e...",
                28109,
                {}},
           }}}},
        // A binding.
        {28003,
         {{"Sous-Menu",
           0,
           {
               {"Supprimer Valeur", 28110, {}},
               {"Nouvelle condition Joystick", 28111, {}},
               {"Nouvelle condition Souris", 28112, {}},
               {"Nouvelle condition Clavier", 28113, {}},
           }}}},
        // A condition.
        {28004,
         {{"Sous-Menu",
           0,
           {
               {"Supprimer Condition", 28107, {}},
           }}}},
        // No item.
        {28005,
         {{"Sous-Menu",
           0,
           {
               {"Nouveau Joueur", 28108, {}},
           }}}},
    };
    return *menus;
}

bool Fill(HMENU menu, const std::vector<MenuTemplateItem>& items) {
    for (const MenuTemplateItem& item : items) {
        if (item.text == nullptr) {
            if (!AppendMenuA(menu, MF_SEPARATOR, 0, nullptr)) return false;
        } else if (!item.popup.empty()) {
            HMENU popup = CreatePopupMenu();
            if (popup == 0) return false;
            if (!Fill(popup, item.popup) ||
                !AppendMenuA(menu, MF_POPUP, static_cast<UINT_PTR>(popup), item.text)) {
                DestroyMenu(popup);
                return false;
            }
        } else if (!AppendMenuA(menu, MF_STRING, item.id, item.text)) {
            return false;
        }
    }
    return true;
}

} // namespace

const std::vector<MenuTemplateItem>* FindMenuTemplate(UINT id) {
    for (const NumberedMenu& numbered : Menus())
        if (numbered.id == id) return &numbered.items;
    return nullptr;
}

} // namespace platform

HMENU LoadMenuA(HINSTANCE, LPCSTR name) {
    auto number = reinterpret_cast<uintptr_t>(name);
    const std::vector<MenuTemplateItem>* items =
        number <= 0xFFFF ? platform::FindMenuTemplate(static_cast<UINT>(number)) : nullptr;
    if (items == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    HMENU menu = CreateMenu();
    if (menu == 0) return 0;
    if (!platform::Fill(menu, *items)) {
        DestroyMenu(menu);
        return 0;
    }
    return menu;
}
