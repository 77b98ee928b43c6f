// Ternary raster operations, worked bitwise on destination-format pixels: a result bit
// is bit (P * 4 + S * 2 + D) of the operation's code, for the pattern, source and
// destination bits in the same place.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/gdi/bitmaps/pixel_format.h"
#include "platform/user/window_geometry.h"

namespace platform {

// An operation with its pattern folded in: for each source and destination bit pair
// (s, d), the pixel-wide mask of where the result is 1.
struct RopTerms {
    uint32_t term[4]; // by s * 2 + d
};

RopTerms MakeRopTerms(uint8_t rop3, uint32_t pattern);

inline uint32_t ApplyRop(const RopTerms& t, uint32_t s, uint32_t d) {
    return (t.term[3] & s & d) | (t.term[2] & s & ~d) | (t.term[1] & ~s & d) |
           (t.term[0] & ~s & ~d);
}

inline bool RopUsesSource(uint8_t rop3) {
    return ((rop3 >> 2 ^ rop3) & 0x33) != 0;
}
inline bool RopUsesDestination(uint8_t rop3) {
    return ((rop3 >> 1 ^ rop3) & 0x55) != 0;
}

// The binary operations of SetROP2 (R2_BLACK 1 ... R2_WHITE 16) as ternary ones.
uint8_t Rop3FromRop2(int rop2);

// Pixels x0..x1-1 of row `y` of `target` get the operation of the pattern, the source
// (a surface of the target's format, its pixel (sx, sy) under (x0, y); null when the
// operation reads none) and what they hold.
void RopRow(const Surface& target, int y, int x0, int x1, const Surface* source, int sx, int sy,
            uint8_t rop3, const RopTerms& terms);

// `count` pixels of `bytes` bytes each (1 to 4) side by side at `out`: those of `in` at
// `columns`.
void SampleRow(uint8_t* out, const uint8_t* in, const int* columns, int count, int bytes);

// Sixteen bytes of pixels, stored whole.
using PixelQuad = uint32_t __attribute__((vector_size(16)));

// `count` pixels at `out` set to `value`: pixels up to a 16-byte boundary one by one, then 128
// bytes a turn from a register, then the rest: aligned wide stores never straddle a cache line.
template <class Pixel> inline void FillPixels(uint8_t* out, int count, uint32_t value) {
    constexpr int kPerQuad = 16 / sizeof(Pixel);
    const auto pixel = static_cast<Pixel>(value);
    int i = 0;
    for (; i < count && (reinterpret_cast<uintptr_t>(out + i * sizeof(Pixel)) & 15) != 0; ++i)
        std::memcpy(out + i * sizeof(Pixel), &pixel, sizeof(Pixel));
    uint32_t word = sizeof(Pixel) == 2 ? uint32_t{pixel} * 0x00010001u : value;
    const PixelQuad quad = {word, word, word, word};
    for (; i + 8 * kPerQuad <= count; i += 8 * kPerQuad) {
        uint8_t* at = out + i * sizeof(Pixel);
        for (int k = 0; k < 8; ++k)
            std::memcpy(at + 16 * k, &quad, 16);
    }
    for (; i + kPerQuad <= count; i += kPerQuad)
        std::memcpy(out + i * sizeof(Pixel), &quad, 16);
    for (; i < count; ++i)
        std::memcpy(out + i * sizeof(Pixel), &pixel, sizeof(Pixel));
}

// Pixels x0..x1-1 of row `y` set to `pixel`, with the widest stores the format allows.
void SolidRow(const Surface& target, int y, int x0, int x1, uint32_t pixel);
// The same over rows top .. bottom - 1, choosing the stores once.
void SolidRect(const Surface& target, const RECT& area, uint32_t pixel);

} // namespace platform
