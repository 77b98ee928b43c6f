#include "classes/window/menu_container.h"

namespace {

MenuCommandHandler menuCommandHandler = nullptr;

} // namespace

CMenuContainer::~CMenuContainer() = default;

void CMenuContainer::AttachMenu(CMenuContainer* menu) {
    menuHeld = menu;
}

void CMenuContainer::DetachMenu(CMenuContainer* menu) {
    if (menuHeld == menu) menuHeld = nullptr;
}

HMENU CMenuContainer::GetMenuHandle() const {
    return 0;
}

void SetMenuCommandHandler(MenuCommandHandler handler) {
    menuCommandHandler = handler;
}

MenuCommandHandler GetMenuCommandHandler() {
    return menuCommandHandler;
}
