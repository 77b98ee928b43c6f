// A full-screen picture on a screen of another size: where the X server cannot switch to
// the size a program asked for, its window covers the desktop and the picture is scaled
// to fit, its aspect kept, centred between black bars.
#pragma once

#include <SDL.h>

#include "platform/display/display_backend.h"

namespace platform {

// Where a picture of `width` x `height` lands on a screen of `screenWidth` x
// `screenHeight`: as large as fits with its aspect kept, centred.
SDL_Rect FittedRect(int width, int height, int screenWidth, int screenHeight);

// Draws `shown` (framebuffer coordinates, within the view) over the whole surface as
// FittedRect places it, with black bars around; false when SDL refuses.
bool PresentFitted(const FramebufferView& view, const RECT& shown, SDL_Surface* surface);

// The point of the picture that a point of the screen shows, kept within the picture.
POINT PicturePoint(const SDL_Rect& fitted, int width, int height, int x, int y);

} // namespace platform
