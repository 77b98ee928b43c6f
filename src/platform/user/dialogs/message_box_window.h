// The message box as a window of the layer's own (message_box.h tells how it behaves).
// Internal to the platform layer.
#pragma once

#include <functional>
#include <string>

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"

namespace platform {

// The button the box starts with: MB_DEFBUTTON1 to 3, the first for one it lacks. 0 for
// a type it does not know.
int MessageBoxDefaultAnswer(UINT type);

// Shows the box, calls `shown` (when set) with its window, and runs its loop until it is
// answered. 0 when its window could not be made, so the caller reports it another way.
int RunMessageBoxWindow(HWND owner, const std::string& text, const std::string& caption, UINT type,
                        const std::function<void(HWND)>& shown);

} // namespace platform
