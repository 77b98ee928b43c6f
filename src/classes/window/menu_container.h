// What holds a menu: a Window shows one in its menu bar, and a Menu holds its submenus.
// The Menu class is one too, and answers its menu handle.
#pragma once

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"

class CInterpretor;

class CMenuContainer {
public:
    CMenuContainer() = default;
    virtual ~CMenuContainer();
    CMenuContainer(const CMenuContainer&) = delete;
    CMenuContainer& operator=(const CMenuContainer&) = delete;

    // Keeps `menu` as the menu held (a Window also shows it in its menu bar).
    virtual void AttachMenu(CMenuContainer* menu);
    // Lets go of `menu` when it is the one held (a Window also clears its menu bar).
    virtual void DetachMenu(CMenuContainer* menu);
    // The menu handle of a Menu; 0 for containers that are no menus.
    virtual HMENU GetMenuHandle() const;

    CMenuContainer* menuHeld = nullptr;
};

// The menus' part of a Window's WM_COMMAND: 1 when a menu item took the command (the
// window then answers 0). The Menu class sets it when it is registered; null: no menus.
using MenuCommandHandler = int (*)(CInterpretor& interpreter, WPARAM wParam, LPARAM lParam);
void SetMenuCommandHandler(MenuCommandHandler handler);
MenuCommandHandler GetMenuCommandHandler();
