#include "platform/user/scroll/scroll_layout.h"

#include <algorithm>
#include <cstdint>

namespace platform {
namespace {

// The smallest thumb the user can still grab.
constexpr int kMinThumb = 8;

} // namespace

int LastPosition(const ScrollValues& values) {
    int64_t last = int64_t{values.max} - std::max<int64_t>(int64_t{values.page} - 1, 0);
    return static_cast<int>(std::max<int64_t>(last, values.min));
}

bool CanScroll(const ScrollValues& values) {
    return int64_t{values.min} <
           int64_t{values.max} - std::max<int64_t>(int64_t{values.page} - 1, 0);
}

ScrollLayout LayOut(int length, int thickness, const ScrollValues& values, int position) {
    ScrollLayout layout;
    layout.length = std::max(length, 0);
    layout.arrow = std::min(thickness, layout.length / 2);
    int track = layout.length - 2 * layout.arrow;
    if (!CanScroll(values) || track <= 0) return layout;
    int64_t range = int64_t{values.max} - values.min + 1;
    int64_t thumb = values.page == 0 ? thickness : track * int64_t{values.page} / range;
    thumb = std::max<int64_t>(thumb, std::min(kMinThumb, thickness));
    if (thumb >= track) return layout;
    int64_t span = int64_t{LastPosition(values)} - values.min;
    int64_t clamped = std::clamp<int64_t>(position, values.min, LastPosition(values));
    layout.thumbSize = static_cast<int>(thumb);
    layout.thumbStart =
        layout.arrow + static_cast<int>((track - thumb) * (clamped - values.min) / span);
    return layout;
}

ScrollPart PartAt(const ScrollLayout& layout, int offset) {
    if (offset < 0 || offset >= layout.length) return ScrollPart::None;
    if (offset < layout.arrow) return ScrollPart::LineUp;
    if (offset >= layout.length - layout.arrow) return ScrollPart::LineDown;
    if (layout.thumbSize == 0) return ScrollPart::None;
    if (offset < layout.thumbStart) return ScrollPart::PageUp;
    if (offset >= layout.thumbStart + layout.thumbSize) return ScrollPart::PageDown;
    return ScrollPart::Thumb;
}

int PositionForThumb(const ScrollLayout& layout, const ScrollValues& values, int thumbStart) {
    int free = layout.length - 2 * layout.arrow - layout.thumbSize;
    if (free <= 0) return values.min;
    int64_t offset = std::clamp(thumbStart - layout.arrow, 0, free);
    int64_t span = int64_t{LastPosition(values)} - values.min;
    // Rounded to the nearest position, so the thumb lands where it was let go.
    return static_cast<int>(values.min + (offset * span + free / 2) / free);
}

} // namespace platform
