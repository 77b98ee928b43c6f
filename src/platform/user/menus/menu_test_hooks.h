// Hooks for tests of the menu loop: where the open popups and their items are, and a
// call while the loop waits, where a test does what the user would.
#pragma once

#include <functional>

#include "platform/user/menus/menus.h"

namespace platform::test {

// Called on the loop's thread each time the loop has nothing left to do and would wait,
// with the innermost popup window (0 while only the menu bar is selected). An empty hook
// removes it.
void SetMenuWaitHook(std::function<void(HWND popup)> hook);

// The window showing `menu` in the running loop, or 0.
HWND OpenPopupWindow(HMENU menu);
// Where an item of an open popup lies on the screen; false when the menu is not open.
bool OpenMenuItemRect(HMENU menu, int position, RECT& screen);
// Where an item of a window's menu bar lies on the screen; false when it has none.
bool MenuBarItemRect(HWND window, int position, RECT& screen);
// The item selected in the innermost open popup (or the menu bar), -1 for none.
int SelectedMenuItem();

} // namespace platform::test
