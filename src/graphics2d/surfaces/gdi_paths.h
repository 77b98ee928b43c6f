// What the surface classes living on GDI share: the raster operation of a copy through a
// device context, the origin a surface applies to its DC, and a window taken to full
// screen and back.
#pragma once

#include <cstdint>

#include "graphics2d/surfaces/surface.h"

// `param` for op 7 (the GDI raster operation), SRCCOPY for every other op.
uint32_t GdiRasterOp(int32_t op, uint32_t param);
// The window origin a surface with one applies to its device context; (0, 0) otherwise.
POINT SurfaceOrigin(cSurface& surface);

// A window's place and style before full screen, and the switch both ways.
struct SavedWindow {
    RECT rect{};
    LONG style = 0;
};
// The rectangle of `window` (none: nothing), for Enter's first call.
void RememberWindowRect(HWND window, SavedWindow& saved);
// Saves the style when `first`, then makes the window a popup over the whole new mode.
void MakeWindowFullScreen(HWND window, int32_t width, int32_t height, bool first,
                          SavedWindow& saved);
void RestoreWindow(HWND window, const SavedWindow& saved);
