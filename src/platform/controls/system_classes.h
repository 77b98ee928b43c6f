// The window classes of the standard controls, which exist before anything registers a
// class, as Windows' own do.
#pragma once

#include <vector>

#include "platform/user/window_class.h"

namespace platform {

std::vector<WNDCLASSA> SystemWindowClasses();

} // namespace platform
