// The inside of a polygon whose corners are pixel centres: a pixel is in when its centre
// is inside by the fill mode; a centre exactly on a left or top edge is in, on a right or
// bottom edge out, so polygons that share an edge share no pixel.
#pragma once

#include <span>

#include "platform/gdi/shapes/clip_bands.h"
#include "platform/gdi/shapes/thin_line.h"

namespace platform {

// SetPolyFillMode's ALTERNATE and WINDING.
enum class PolyFillMode { Alternate = 1, Winding = 2 };

namespace scan {

// Appends the inside's runs to `out`, in normal form when `out` starts empty.
void ScanPolygonFill(std::span<const Point64> points, PolyFillMode mode, const ClipBands& clip,
                     SpanList& out);

} // namespace scan
} // namespace platform
