// The icons of the SDL windows: each shows its window's icon (WM_SETICON's, else its
// class's) once the window has one.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <map>

#include "platform/display/sdl_window_set.h"

namespace platform {

class SdlWindowIcons {
public:
    // Gives each shown SDL window its window's icon when that changed.
    void Sync(const SdlWindowSet& windows);

private:
    struct Shown {
        SDL_Window* sdl;
        uint64_t serial;
    };
    std::map<HWND, Shown> shown_;
};

} // namespace platform
