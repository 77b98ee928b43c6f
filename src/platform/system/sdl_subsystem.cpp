#include "platform/system/sdl_subsystem.h"

#include <SDL.h>

#include "platform/libraries/lazy_library.h"

namespace platform {

bool StartSdlSubsystem(uint32_t flags) {
    if (!Require(LazyLibrary::Sdl2)) return false;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return SDL_InitSubSystem(flags) == 0;
}

} // namespace platform
