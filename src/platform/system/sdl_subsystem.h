// Every part of the player that runs SDL (the display, sound, joysticks, force feedback)
// starts its piece of SDL here, so that SDL never takes over the process's signals.
#pragma once

#include <cstdint>

namespace platform {

// SDL_InitSubSystem for `flags` (SDL_INIT_...), after telling SDL to leave SIGINT and
// SIGTERM alone: they end the player as they would without SDL, instead of becoming an
// SDL_QUIT nobody reads. True when the sub-systems run.
bool StartSdlSubsystem(uint32_t flags);

} // namespace platform
