#include "platform/gdi/shapes/ellipse_spans.h"

#include <algorithm>
#include <cmath>

namespace platform::scan {
namespace {

constexpr int64_t kSmall = int64_t{1} << 32;

} // namespace

EllipseRows::EllipseRows(int64_t left, int64_t top, int64_t right, int64_t bottom)
    : top_(top), width_(right - left), height_(bottom - top), centerX2_(Int128(left) + right),
      centerY2_(Int128(top) + bottom) {}

bool EllipseRows::Row(int64_t y, int64_t& x0, int64_t& x1) const {
    if (Empty()) return false;
    // In doubled units the pixel centre is (2x + 1, 2y + 1) and the semi-axes are the
    // box's width and height; the centre is inside when
    // dx^2 height^2 + dy^2 width^2 <= width^2 height^2.
    Int128 dy = 2 * Int128(y) + 1 - centerY2_;
    Int128 height2 = Int128(height_) * height_;
    if (dy * dy > height2) return false;
    UInt128 room = UInt128(height2 - dy * dy);
    int64_t reach = 0;
    if (width_ < kSmall && height_ < kSmall) {
        // Boxes under 2^32 pixels a side: every square fits 64 bits and every product of two
        // 128, so the exact test needs no wider arithmetic and a double estimates well.
        auto room64 = static_cast<uint64_t>(room);
        UInt128 limit =
            UInt128(static_cast<uint64_t>(width_) * static_cast<uint64_t>(width_)) * room64;
        auto fits = [&](int64_t dx) {
            uint64_t scaled = static_cast<uint64_t>(dx) * static_cast<uint64_t>(height_);
            return UInt128(scaled) * scaled <= limit;
        };
        double estimate = static_cast<double>(width_) * std::sqrt(static_cast<double>(room64)) /
                          static_cast<double>(height_);
        reach = estimate >= static_cast<double>(width_)
                    ? width_
                    : static_cast<int64_t>(std::max(estimate, 0.0));
        while (reach > 0 && !fits(reach))
            --reach;
        while (reach < width_ && fits(reach + 1))
            ++reach;
    } else {
        UInt128 width2 = UInt128(Int128(width_) * width_);
        auto fits = [&](int64_t dx) {
            UInt128 scaled = UInt128(dx) * UInt128(height_);
            return CompareProducts(scaled, scaled, width2, room) <= 0;
        };
        long double estimate = static_cast<long double>(width_) *
                               std::sqrt(static_cast<long double>(room)) /
                               static_cast<long double>(height_);
        reach = estimate >= static_cast<long double>(width_)
                    ? width_
                    : static_cast<int64_t>(std::max(estimate, 0.0L));
        while (reach > 0 && !fits(reach))
            --reach;
        while (reach < width_ && fits(reach + 1))
            ++reach;
    }
    // Pixel x is in when |2x + 1 - centreX2| <= reach.
    x0 = static_cast<int64_t>(CeilDiv(centerX2_ - reach - 1, 2));
    x1 = static_cast<int64_t>(FloorDiv(centerX2_ + reach - 1, 2)) + 1;
    return x0 < x1;
}

} // namespace platform::scan
