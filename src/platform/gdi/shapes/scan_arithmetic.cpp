#include "platform/gdi/shapes/scan_arithmetic.h"

namespace platform::scan {
namespace {

struct UInt256 {
    UInt128 high;
    UInt128 low;
};

UInt256 Multiply(UInt128 a, UInt128 b) {
    const UInt128 mask = ~uint64_t{0};
    UInt128 a0 = a & mask, a1 = a >> 64, b0 = b & mask, b1 = b >> 64;
    UInt128 low = a0 * b0;
    UInt128 middle1 = a1 * b0;
    UInt128 middle2 = a0 * b1;
    UInt128 high = a1 * b1;
    UInt128 carry = (low >> 64) + (middle1 & mask) + (middle2 & mask);
    low = (low & mask) | (carry << 64);
    high += (middle1 >> 64) + (middle2 >> 64) + (carry >> 64);
    return UInt256{high, low};
}

} // namespace

int CompareProducts(UInt128 a, UInt128 b, UInt128 c, UInt128 d) {
    const UInt128 small = UInt128(1) << 63;
    if (a < small && b < small && c < small && d < small) {
        UInt128 left = a * b, right = c * d;
        return left < right ? -1 : (left > right ? 1 : 0);
    }
    UInt256 left = Multiply(a, b), right = Multiply(c, d);
    if (left.high != right.high) return left.high < right.high ? -1 : 1;
    if (left.low != right.low) return left.low < right.low ? -1 : 1;
    return 0;
}

} // namespace platform::scan
