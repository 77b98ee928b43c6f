#include "platform/controls/trackbar_layout.h"

#include <algorithm>

namespace platform {

int TrackbarLayout::PixelOf(int position) const {
    int start = Margin();
    int span = std::max(length - 2 * Margin() - 1, 0);
    if (high <= low) return start;
    int64_t offset = (int64_t{std::clamp(position, low, high)} - low) * span;
    return start + static_cast<int>((offset + (int64_t{high} - low) / 2) / (int64_t{high} - low));
}

int TrackbarLayout::PositionAt(int pixel) const {
    int span = std::max(length - 2 * Margin() - 1, 0);
    if (high <= low || span == 0) return low;
    int64_t offset = std::clamp(pixel - Margin(), 0, span);
    int64_t range = int64_t{high} - low;
    return static_cast<int>(low + (offset * range + span / 2) / span);
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
