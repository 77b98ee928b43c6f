// SDL's key positions as the window manager's virtual keys, on the US layout.
#pragma once

#include <SDL.h>

namespace platform {

// 0 for a key without a virtual key. The numeric keypad gives digits while Num Lock is on
// and the navigation keys printed beside them while it is off.
int VirtualKeyFromScancode(SDL_Scancode scancode, bool numLock);

} // namespace platform
