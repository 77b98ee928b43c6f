#include "platform/user/menus/system_menu.h"

#include <mutex>
#include <unordered_map>

#include "platform/user/menus/menu_table.h"
#include "platform/user/nonclient/nonclient.h"
#include "platform/user/windows.h"

namespace platform {
namespace {

struct SystemMenus {
    std::mutex lock;
    std::unordered_map<HWND, HMENU> byWindow;
};

// Outlives static destructors, as the menu table does.
SystemMenus& State() {
    static auto* state = new SystemMenus;
    return *state;
}

HMENU MakeSystemMenu() {
    HMENU menu = CreatePopupMenu();
    if (menu == 0) return 0;
    AppendMenuA(menu, MF_STRING, SC_RESTORE, "&Restore");
    AppendMenuA(menu, MF_STRING, SC_MOVE, "&Move");
    AppendMenuA(menu, MF_STRING, SC_SIZE, "&Size");
    AppendMenuA(menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
    AppendMenuA(menu, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
    return menu;
}

HMENU Find(HWND window) {
    std::lock_guard lock(State().lock);
    auto found = State().byWindow.find(window);
    return found == State().byWindow.end() ? 0 : found->second;
}

} // namespace

bool CloseDisabled(HWND window) {
    HMENU menu = Find(window);
    if (menu == 0) return false;
    UINT state = GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED));
}

HWND SystemMenuWindow(HMENU menu) {
    if (menu == 0) return 0;
    std::lock_guard lock(State().lock);
    for (const auto& [window, held] : State().byWindow)
        if (held == menu) return window;
    return 0;
}

} // namespace platform

HMENU GetSystemMenu(HWND window, BOOL revert) {
    if (!IsWindow(window)) return 0;
    platform::SystemMenus& state = platform::State();
    HMENU old = 0;
    {
        std::lock_guard lock(state.lock);
        auto found = state.byWindow.find(window);
        if (found != state.byWindow.end() && platform::MenuExists(found->second)) {
            if (!revert) return found->second;
            old = found->second;
        }
        state.byWindow.erase(window);
    }
    if (old != 0) {
        DestroyMenu(old);
        // The close button comes back as it was.
        platform::DrawNonClient(window);
    }
    if (revert) return 0;
    HMENU made = platform::MakeSystemMenu();
    std::lock_guard lock(state.lock);
    state.byWindow[window] = made;
    return made;
}
