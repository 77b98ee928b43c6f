// The pixels of an ellipse: those whose centres lie in the ellipse inscribed in a box of
// pixel edges, boundary included. A box (l, t, r, b) gives pixels l .. r-1 and t .. b-1.
#pragma once

#include <cstdint>

#include "platform/gdi/shapes/scan_arithmetic.h"

namespace platform::scan {

class EllipseRows {
public:
    EllipseRows(int64_t left, int64_t top, int64_t right, int64_t bottom);

    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    int64_t Top() const { return top_; }
    int64_t Bottom() const { return top_ + height_; }

    // Pixels x0 .. x1 - 1 of row y; false when the row holds none.
    bool Row(int64_t y, int64_t& x0, int64_t& x1) const;

private:
    int64_t top_;
    int64_t width_;
    int64_t height_;
    Int128 centerX2_; // the centre in doubled units
    Int128 centerY2_;
};

} // namespace platform::scan
