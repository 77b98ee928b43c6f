// A set of pixels kept as non-overlapping rectangles: update regions, clip regions and
// window shapes. Rectangles are half-open (right and bottom excluded) and never empty.
#pragma once

#include <vector>

#include "platform/user/window_geometry.h"

namespace platform {

class Region {
public:
    Region() = default;
    explicit Region(const RECT& rect);

    bool Empty() const { return rects_.empty(); }
    const std::vector<RECT>& Rects() const { return rects_; }
    // The smallest rectangle holding the region; all zeros when empty.
    RECT Bounds() const;
    bool Contains(LONG x, LONG y) const;
    bool Intersects(const RECT& rect) const;
    // Whether the pixels make up one rectangle, however they are split.
    bool IsRectangle() const;

    void Clear() { rects_.clear(); }
    void Add(const RECT& rect);
    void Add(const Region& other);
    void Subtract(const RECT& rect);
    void Subtract(const Region& other);
    void Intersect(const RECT& rect);
    void Intersect(const Region& other);
    void Offset(LONG dx, LONG dy);

private:
    std::vector<RECT> rects_;
};

bool operator==(const Region& a, const Region& b);

// True when the rectangle holds no pixel.
bool IsEmptyRect(const RECT& rect);
// The common part of two rectangles; all zeros when they do not meet.
RECT IntersectRects(const RECT& a, const RECT& b);

} // namespace platform
