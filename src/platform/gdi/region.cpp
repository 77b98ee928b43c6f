#include "platform/gdi/region.h"

#include <algorithm>
#include <limits>

namespace platform {
namespace {

// The parts of `rect` outside `cut`, at most four bands.
void AppendOutside(const RECT& rect, const RECT& cut, std::vector<RECT>& out) {
    RECT common = IntersectRects(rect, cut);
    if (IsEmptyRect(common)) {
        out.push_back(rect);
        return;
    }
    if (rect.top < common.top) out.push_back(RECT{rect.left, rect.top, rect.right, common.top});
    if (common.bottom < rect.bottom)
        out.push_back(RECT{rect.left, common.bottom, rect.right, rect.bottom});
    if (rect.left < common.left)
        out.push_back(RECT{rect.left, common.top, common.left, common.bottom});
    if (common.right < rect.right)
        out.push_back(RECT{common.right, common.top, rect.right, common.bottom});
}

LONG Shift(LONG value, LONG by) {
    int64_t moved = int64_t{value} + by;
    return static_cast<LONG>(std::clamp<int64_t>(moved, std::numeric_limits<LONG>::min(),
                                                 std::numeric_limits<LONG>::max()));
}

} // namespace

bool IsEmptyRect(const RECT& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

RECT IntersectRects(const RECT& a, const RECT& b) {
    RECT common{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    return IsEmptyRect(common) ? RECT{0, 0, 0, 0} : common;
}

Region::Region(const RECT& rect) {
    Add(rect);
}

RECT Region::Bounds() const {
    if (rects_.empty()) return RECT{0, 0, 0, 0};
    RECT bounds = rects_.front();
    for (const RECT& r : rects_) {
        bounds.left = std::min(bounds.left, r.left);
        bounds.top = std::min(bounds.top, r.top);
        bounds.right = std::max(bounds.right, r.right);
        bounds.bottom = std::max(bounds.bottom, r.bottom);
    }
    return bounds;
}

bool Region::Contains(LONG x, LONG y) const {
    return std::any_of(rects_.begin(), rects_.end(), [x, y](const RECT& r) {
        return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    });
}

bool Region::Intersects(const RECT& rect) const {
    return std::any_of(rects_.begin(), rects_.end(),
                       [&rect](const RECT& r) { return !IsEmptyRect(IntersectRects(r, rect)); });
}

bool Region::IsRectangle() const {
    if (rects_.empty()) return false;
    RECT bounds = Bounds();
    int64_t area = 0;
    for (const RECT& r : rects_)
        area += (int64_t{r.right} - r.left) * (int64_t{r.bottom} - r.top);
    return area == (int64_t{bounds.right} - bounds.left) * (int64_t{bounds.bottom} - bounds.top);
}

void Region::Add(const RECT& rect) {
    if (IsEmptyRect(rect)) return;
    // Only the parts not covered yet join, so the rectangles never overlap.
    std::vector<RECT> pieces{rect};
    for (const RECT& have : rects_) {
        std::vector<RECT> left;
        for (const RECT& piece : pieces)
            AppendOutside(piece, have, left);
        pieces.swap(left);
        if (pieces.empty()) return;
    }
    rects_.insert(rects_.end(), pieces.begin(), pieces.end());
}

void Region::Add(const Region& other) {
    for (const RECT& r : other.rects_)
        Add(r);
}

void Region::Subtract(const RECT& rect) {
    if (IsEmptyRect(rect)) return;
    std::vector<RECT> kept;
    for (const RECT& r : rects_)
        AppendOutside(r, rect, kept);
    rects_.swap(kept);
}

void Region::Subtract(const Region& other) {
    for (const RECT& r : other.rects_)
        Subtract(r);
}

void Region::Intersect(const RECT& rect) {
    std::vector<RECT> kept;
    for (const RECT& r : rects_) {
        RECT common = IntersectRects(r, rect);
        if (!IsEmptyRect(common)) kept.push_back(common);
    }
    rects_.swap(kept);
}

void Region::Intersect(const Region& other) {
    std::vector<RECT> kept;
    for (const RECT& r : rects_) {
        for (const RECT& o : other.rects_) {
            RECT common = IntersectRects(r, o);
            if (!IsEmptyRect(common)) kept.push_back(common);
        }
    }
    rects_.swap(kept);
}

void Region::Offset(LONG dx, LONG dy) {
    std::vector<RECT> moved;
    for (const RECT& r : rects_) {
        RECT m{Shift(r.left, dx), Shift(r.top, dy), Shift(r.right, dx), Shift(r.bottom, dy)};
        if (!IsEmptyRect(m)) moved.push_back(m);
    }
    rects_.swap(moved);
}

bool operator==(const Region& a, const Region& b) {
    Region onlyA = a;
    onlyA.Subtract(b);
    Region onlyB = b;
    onlyB.Subtract(a);
    return onlyA.Empty() && onlyB.Empty();
}

} // namespace platform
