// What the window manager calls of the menus: painting a window's menu bar, and the
// mouse and keys that start the menu loop from DefWindowProcA. Internal to the platform
// layer.
#pragma once

#include <vector>

#include "platform/user/hwnd.h"
#include "platform/user/menus/menus.h"

namespace platform {

// Draws the menu bar row of a top-level window that has a menu, through a window DC.
void PaintMenuBar(HWND window);

// The bar's row and its items, in window coordinates; false when the window has no bar.
bool MenuBarLayout(HWND window, HMENU& menu, RECT& bar, std::vector<RECT>& boxes);

// The top-level window a window lies in: the one that may have a menu bar.
HWND TopLevelOf(HWND window);

// WM_NCLBUTTONDOWN on HTMENU: the loop runs with the item under the screen point open.
void TrackMenuBar(HWND window, POINT screen);
// DefWindowProcA's system keys: Alt alone or F10 selects the bar's first item, Alt and a
// letter opens the item with that mnemonic. True when the key was taken.
bool MenuBarKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform
