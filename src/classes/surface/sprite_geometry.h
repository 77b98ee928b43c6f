// Where a sprite's picture lands: its image placed with the hot spot at the position,
// scaled, then turned about the hot spot. Products are clamped to +-2^30 before they
// become integers, so that huge scales or positions give huge rectangles, never
// undefined conversions.
#pragma once

#include <cstdint>

#include "classes/surface/dirty_rect_list.h"

struct SpritePlacement {
    int32_t x = 0;
    int32_t y = 0;
    int32_t hotX = 0;
    int32_t hotY = 0;
    int32_t width = 0;
    int32_t height = 0;
    double scaleX = 1.0;
    double scaleY = 1.0;
    // 0 .. 359.
    int32_t angle = 0;
};

inline constexpr double kCoordinateLimit = 1073741824.0;

// `value` toward zero, within +-2^30; NaN counts as 0.
int32_t ClampToCoordinate(double value);
// Any angle into 0 .. 359, negative ones raised by whole turns.
int32_t NormaliseAngle(int64_t degrees);
DirtyRect ComputeSpriteRect(const SpritePlacement& placement);
