// Lines drawn with a pen wider than one pixel: every pixel whose centre lies closer than
// half the width to the segment, which gives round caps, and round joins where segments
// of a path meet. A width w covers c - w/2 ... c + (w-1)/2 across a path through pixel c:
// for an even width the pen's centre sits half a pixel up and left of the path.
#pragma once

#include <cstdint>

#include "platform/gdi/shapes/clip_bands.h"
#include "platform/gdi/shapes/thin_line.h"

namespace platform::scan {

// Appends the pixels of segment a-b drawn with a pen `width` wide (width >= 1); a
// segment of one point gives a round dot.
void ScanWideSegment(Point64 a, Point64 b, int64_t width, const ClipBands& clip, SpanList& out);

} // namespace platform::scan
