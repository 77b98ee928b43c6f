// What the player's windows show on the screen, for reads of the screen's DC. Other
// programs' pixels cannot be read on Linux, so where no window of the player lies the
// screen shows the desktop's colour. Internal to the platform layer.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/user/window_geometry.h"

namespace platform {

// `out` becomes `area`'s pixels (screen coordinates, rows top first, 0x00RRGGBB): each the
// pixel of the topmost visible top-level window there (frame and client alike, cut to
// its shape), else `background`. Takes the window and framebuffer locks; the cost follows
// the area and the number of windows, never the screen's size.
void ComposeWindows(const RECT& area, uint32_t background, std::vector<uint32_t>& out);

} // namespace platform
