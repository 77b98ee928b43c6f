// Full screen on an X server without a window manager: SDL asks the manager to make a
// window full screen and, with nobody to answer, takes the window for full screen while X
// keeps it where it stood. The window is put over its screen here instead.
#pragma once

#include <SDL.h>

namespace platform {

// Where `sdl` is an X window that does not cover its screen, moves it over all of it and
// raises it. Nothing on other drivers, or where the window covers it already.
void CoverScreenOnX(SDL_Window* sdl);

} // namespace platform
