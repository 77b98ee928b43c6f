// Window handles and window-message parameters, shared by every header that talks to
// windows. Window handles are 32-bit values like every other handle; message
// parameters are pointer-sized because callers pass addresses through them.
#pragma once

#include <cstdint>

using HWND = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

namespace platform {

// Window handles from here up belong to the layer's own dialogs that have no window
// of the window manager (folder pickers); the window manager never hands them out.
inline constexpr HWND FIRST_PICKER_WINDOW = 0xFFFF0000u;

} // namespace platform

// Handles of the user-interface objects a window refers to (menus, icons, cursors,
// brushes): 32-bit values like window handles.
using HMENU = uint32_t;
using HICON = uint32_t;
using HCURSOR = uint32_t;
using HBRUSH = uint32_t;
