// The system menus of windows, as the frame reads them. Internal to the platform layer.
#pragma once

#include "platform/user/menus/menus.h"

namespace platform {

// Whether the window's close command is greyed or disabled in its system menu.
bool CloseDisabled(HWND window);
// The window whose system menu `menu` is, or 0.
HWND SystemMenuWindow(HMENU menu);

} // namespace platform
