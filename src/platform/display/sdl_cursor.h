// The pointer over the SDL windows: the window manager's cursor shown with SDL's system
// cursors, or made of its image (image cursors, and the shapes SDL has none of).
#pragma once

#include <SDL.h>

#include <cstdint>
#include <map>

#include "platform/display/display_backend.h"

namespace platform {

class SdlCursor {
public:
    SdlCursor() = default;
    SdlCursor(const SdlCursor&) = delete;
    SdlCursor& operator=(const SdlCursor&) = delete;
    // Frees the cursors made; SDL must still be running.
    ~SdlCursor();

    // Shows what the window manager wants, changing SDL's cursor only when that changed.
    void Show(const CursorState& state);

private:
    SDL_Cursor* Made(SDL_SystemCursor shape);
    // The cursor of an image, made once per image; null when it has none or SDL fails.
    SDL_Cursor* MadeOfImage(const CursorState& state);

    std::map<SDL_SystemCursor, SDL_Cursor*> made_;
    std::map<uint64_t, SDL_Cursor*> images_; // by the image's serial
    SDL_Cursor* shown_ = nullptr;
    int visible_ = -1;
};

} // namespace platform
