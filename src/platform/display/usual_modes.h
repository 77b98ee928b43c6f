// The screen sizes programs of the system's time expect to find, offered by the displays
// that show a picture of any size: the headless one keeps it in memory, and the SDL one
// scales it onto the desktop where the X server cannot switch to that size.
#pragma once

#include <vector>

#include "platform/display/display_backend.h"

namespace platform {

// Appends the usual modes at 16 and 32 bits per pixel, at `frequency`, that are not in
// `modes` yet and fit within `maxWidth` x `maxHeight`.
void AddUsualModes(std::vector<DisplayMode>& modes, int frequency, int maxWidth, int maxHeight);

} // namespace platform
