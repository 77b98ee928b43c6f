// Where a trackbar's channel, thumb and ticks lie, and the position under a point.
// Everything is worked out along the trackbar ("along": x for a horizontal one, y for a
// vertical one) and across it, then turned into client rectangles.
#pragma once

#include "platform/user/window_geometry.h"

namespace platform {

struct TrackbarLayout {
    bool vertical = false;
    bool ticksBefore = false; // above (left of) the channel
    bool ticksAfter = false;  // below (right of) it
    int length = 0;           // the client's extent along
    int thumbLength = 0;      // the thumb's extent across
    int low = 0;
    int high = 0;

    int ThumbBreadth() const { return thumbLength / 2 + 1; }
    int Margin() const { return ThumbBreadth() / 2 + 3; }
    int ThumbTop() const { return ticksBefore ? 8 : 4; }
    // The coordinate along of a position's centre.
    int PixelOf(int position) const;
    // The position nearest a coordinate along, within the range.
    int PositionAt(int pixel) const;
    RECT Channel() const;
    RECT Thumb(int position) const;
    RECT Oriented(int alongStart, int acrossStart, int alongEnd, int acrossEnd) const;
};

} // namespace platform
