// The rectangles of a surface changed since it was last copied to its window. They are
// kept disjoint by merging overlapping ones, and bounded: past kDirtyRectCapacity the whole
// list collapses into its bounding box, so one frame never costs more than that many blits.
#pragma once

#include <cstdint>
#include <memory>

// Right and bottom exclusive.
struct DirtyRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

inline constexpr int32_t kDirtyRectCapacity = 1024;

// Overlap with strict edges: rectangles that only touch along an edge do not overlap.
inline bool RectsOverlap(const DirtyRect& a, const DirtyRect& b) {
    return a.left < b.right && a.right > b.left && a.top < b.bottom && a.bottom > b.top;
}

class DirtyRectList {
public:
    // Adds `rect` (corners in any order), merging it with every stored rectangle it
    // overlaps; one already covered adds nothing. When the array cannot be allocated the
    // rectangle is dropped.
    void Add(DirtyRect rect);
    // Frees the array.
    void Clear();
    int32_t GetCount() const { return count_; }
    // Null until the first Add after a Clear.
    const DirtyRect* GetRects() const { return rects_.get(); }

private:
    std::unique_ptr<DirtyRect[]> rects_;
    int32_t count_ = 0;
};
