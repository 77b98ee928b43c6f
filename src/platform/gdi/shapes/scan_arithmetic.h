// Exact integer arithmetic for the scan converter. Shapes take 32-bit coordinates and pen
// widths; the tests that decide whether a pixel centre lies inside a figure multiply
// squares of their differences, which needs up to about 140 bits. Every decision is made
// exactly, so a figure's pixels never depend on rounding, its size or the platform.
#pragma once

#include <cstdint>

namespace platform::scan {

__extension__ using Int128 = __int128;
__extension__ using UInt128 = unsigned __int128;

inline UInt128 Magnitude(Int128 value) {
    return value < 0 ? UInt128(0) - UInt128(value) : UInt128(value);
}

inline bool FitsInt64(Int128 value) {
    return value == static_cast<int64_t>(value);
}

// floor(n / d) and ceil(n / d) for d > 0; 128-bit division only when 64 bits do not do.
inline Int128 FloorDiv(Int128 n, Int128 d) {
    if (FitsInt64(n) && FitsInt64(d)) {
        int64_t a = static_cast<int64_t>(n), b = static_cast<int64_t>(d);
        int64_t q = a / b;
        return (a % b != 0 && a < 0) ? q - 1 : q;
    }
    Int128 q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

inline Int128 CeilDiv(Int128 n, Int128 d) {
    if (FitsInt64(n) && FitsInt64(d)) {
        int64_t a = static_cast<int64_t>(n), b = static_cast<int64_t>(d);
        int64_t q = a / b;
        return (a % b != 0 && a > 0) ? q + 1 : q;
    }
    Int128 q = n / d;
    return (n % d != 0 && n > 0) ? q + 1 : q;
}

// A nearby floating value, for estimates that exact tests then settle.
inline double Approximate(Int128 value) {
    return FitsInt64(value) ? static_cast<double>(static_cast<int64_t>(value))
                            : static_cast<double>(value);
}

// Compares a * b with c * d; answers -1, 0 or 1.
int CompareProducts(UInt128 a, UInt128 b, UInt128 c, UInt128 d);

inline Int128 Clamp(Int128 value, Int128 low, Int128 high) {
    return value < low ? low : (value > high ? high : value);
}

} // namespace platform::scan
