#include "platform/controls/trackbar_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace platform {

int TrackbarLayout::PixelOf(int position) const {
    int start = Margin();
    int span = std::max(length - 2 * Margin() - 1, 0);
    if (high <= low) return start;
    // In doubles: a range of 2^32 times a span of 2^31 does not fit 64 bits.
    double share = (static_cast<double>(std::clamp(position, low, high)) - low) /
                   (static_cast<double>(high) - low);
    return start + static_cast<int>(std::lround(share * span));
}

int TrackbarLayout::PositionAt(int pixel) const {
    int span = std::max(length - 2 * Margin() - 1, 0);
    if (high <= low || span == 0) return low;
    double share = static_cast<double>(std::clamp(pixel - Margin(), 0, span)) / span;
    return static_cast<int>(std::clamp<int64_t>(
        std::llround(low + share * (static_cast<double>(high) - low)), low, high));
}

RECT TrackbarLayout::Oriented(int alongStart, int acrossStart, int alongEnd, int acrossEnd) const {
    if (vertical) return RECT{acrossStart, alongStart, acrossEnd, alongEnd};
    return RECT{alongStart, acrossStart, alongEnd, acrossEnd};
}

RECT TrackbarLayout::Channel() const {
    int across = ThumbTop() + thumbLength / 2 - 3;
    return Oriented(Margin() - 1, across, length - Margin() + 1, across + 6);
}

RECT TrackbarLayout::Thumb(int position) const {
    int centre = PixelOf(position);
    int half = ThumbBreadth() / 2;
    return Oriented(centre - half, ThumbTop(), centre - half + ThumbBreadth(),
                    ThumbTop() + thumbLength);
}

} // namespace platform
