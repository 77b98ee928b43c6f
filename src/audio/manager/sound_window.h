// The sound layer's own window. DirectSound binds its object to a window; a device started
// without one (the interpreter's own sounds) is bound to this one: visible, 10 x 10, a tool
// window off the screen, so nobody sees it, and it hands any activation on to the window
// after it.
#pragma once

#include "platform/user/hwnd.h"

// Registers "SoundMgr_SoundClass" on first use and makes the window; 0 when it cannot.
HWND CreateSoundWindow();
