// The pixels an origin and extents of either sign cover in the blits and the rectangle
// fills: x .. x + width - 1 for a positive width, x + width + 1 .. x for a negative one,
// the origin's own pixel included; the same for y.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/user/window_geometry.h"

namespace platform {

inline RECT ExtentBox(int64_t x, int64_t y, int64_t width, int64_t height) {
    auto clamp = [](int64_t v) {
        return static_cast<LONG>(std::clamp<int64_t>(v, std::numeric_limits<LONG>::min(),
                                                     std::numeric_limits<LONG>::max()));
    };
    int64_t left = width < 0 ? x + width + 1 : x, right = width < 0 ? x + 1 : x + width;
    int64_t top = height < 0 ? y + height + 1 : y, bottom = height < 0 ? y + 1 : y + height;
    return RECT{clamp(left), clamp(top), clamp(right), clamp(bottom)};
}

} // namespace platform
