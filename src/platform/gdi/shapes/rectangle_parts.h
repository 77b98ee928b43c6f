// Rectangle's figure as rectangles rather than spans, for the pens whose outline is itself
// made of rectangles: the interior and at most four sides, the same pixels the scan
// converter gives (scan_converter.h), so a device can fill them a rectangle at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/gdi/shapes/scan_converter.h"

namespace platform {

// Logical pixels left .. right - 1 by top .. bottom - 1; 64 bits, so that a pen's reach
// beyond 32-bit coordinates is kept until the clip cuts it.
struct Rect64 {
    int64_t left = 0, top = 0, right = 0, bottom = 0;

    bool Empty() const { return right <= left || bottom <= top; }
};

struct RectangleParts {
    Rect64 interior;                 // for the brush; empty when not filled
    std::array<Rect64, 4> outline{}; // for the pen; `sides` of them, sharing no pixel
    size_t sides = 0;
};

// False when the outline is not rectangles (a pen of four pixels or more has round
// corners): the caller then scans the figure.
bool SplitRectangle(const RECT& box, const ScanPen& pen, bool filled, RectangleParts& parts);

} // namespace platform
