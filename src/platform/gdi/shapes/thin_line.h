// One-pixel lines as GDI draws them with a thin pen: one pixel per step along the major
// axis, the last pixel left out so that joined segments meet without overlap.
#pragma once

#include <cstdint>

#include "platform/gdi/shapes/clip_bands.h"

namespace platform::scan {

struct Point64 {
    int64_t x;
    int64_t y;

    friend bool operator==(const Point64&, const Point64&) = default;
};

// Appends the pixels from `from` towards `to`, `to` itself excluded. A point exactly
// halfway between two pixels goes to the one with the smaller coordinate, which gives the
// same pixels whichever way the segment is drawn.
void ScanThinSegment(Point64 from, Point64 to, const ClipBands& clip, SpanList& out);

} // namespace platform::scan
