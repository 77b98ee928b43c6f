// Window properties: pointer-sized values stored under a name on a window.
//
// A name is a text (compared without regard to case) or an atom (MAKEINTATOM); a text
// and the atom of the same text name the same property. Storing under a text holds a
// reference to its global atom until the property is removed.
#pragma once

#include <cstdint>

#include "platform/user/hwnd.h"
#include "platform/kernel/win_types.h"

// Replaces the value when the property exists. FALSE with ERROR_INVALID_WINDOW_HANDLE
// for a null window, ERROR_INVALID_PARAMETER for a name that is no valid text or atom.
BOOL SetPropA(HWND window, LPCSTR name, uintptr_t data);
// 0 when the window has no such property.
uintptr_t GetPropA(HWND window, LPCSTR name);
// Removes the property and returns its value; 0 when there was none.
uintptr_t RemovePropA(HWND window, LPCSTR name);

namespace platform {

// Drops every property of a window that is being destroyed.
void ForgetWindowProperties(HWND window);

} // namespace platform
