// The clip of a scan: a list of rectangles kept as horizontal bands, each with the sorted
// runs of x it lets through. Shapes ask it which rows to compute and hand it each run
// they find, so their cost follows the clipped pixels, not their coordinates.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdi/shapes/span_list.h"
#include "platform/user/window_geometry.h"

namespace platform {

class ClipBands {
public:
    // Rectangles are half-open and may overlap; empty ones let nothing through.
    explicit ClipBands(std::span<const RECT> rects);

    bool Empty() const { return bands_.empty(); }
    // The smallest rectangle holding every clipped pixel (zeros when empty).
    const RECT& Bounds() const { return bounds_; }

    // Appends to `out` the pixels x0 .. x1 - 1 of row y that the clip lets through.
    void Emit(int64_t y, int64_t x0, int64_t x1, SpanList& out) const {
        if (!rectangle_) {
            EmitBanded(y, x0, x1, out);
            return;
        }
        // A rectangular clip, the common case, cuts the run to its bounds.
        if (y < bounds_.top || y >= bounds_.bottom) return;
        int64_t left = std::max<int64_t>(x0, bounds_.left);
        int64_t right = std::min<int64_t>(x1, bounds_.right);
        if (left < right)
            out.push_back(Span{static_cast<int32_t>(y), static_cast<int32_t>(left),
                               static_cast<int32_t>(right)});
    }

private:
    struct Band {
        int32_t top;
        int32_t bottom;
        std::vector<std::pair<int32_t, int32_t>> runs;
    };

    void EmitBanded(int64_t y, int64_t x0, int64_t x1, SpanList& out) const;

    std::vector<Band> bands_;
    RECT bounds_{0, 0, 0, 0};
    bool rectangle_ = false; // one band of one run
};

} // namespace platform
