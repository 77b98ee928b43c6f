// SDL's keys as the window manager's virtual keys: letter keys by the letter the desktop's
// layout gives them (the key that types "a" is VK_A on any layout), the others by their
// position on the US layout.
#pragma once

#include <SDL.h>

namespace platform {

// 0 for a key without a virtual key. The numeric keypad gives digits while Num Lock is on
// and the navigation keys printed beside them while it is off.
int VirtualKeyFromScancode(SDL_Scancode scancode, bool numLock);
// The same for a key whose layout gives `key` (SDL_GetKeyFromScancode).
int VirtualKeyFromKey(SDL_Scancode scancode, SDL_Keycode key, bool numLock);

} // namespace platform
