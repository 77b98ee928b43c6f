// Nearest-pixel scaling. Rows and columns are driven by the source: a 16.16 accumulator
// gains the step (destination size / source size) per source pixel and gives one
// destination pixel per whole unit, so enlarging repeats pixels and shrinking skips them;
// destination pixels that the rounding of the step leaves repeat the last source pixel.
#include <cstring>

#include "graphics2d/blitter/blitter.h"
#include "graphics2d/blitter/blitter_rows.h"
#include "graphics2d/blitter/pixel_traits.h"

namespace {

constexpr uint64_t kUnit = 0x10000;
// Destination columns whose source offsets are worked out at once (on the stack).
constexpr int32_t kColumnChunk = 1024;

uint64_t StretchStep(int32_t destinationSize, int32_t sourceSize) {
    return (uint64_t(destinationSize) << 16) / uint64_t(sourceSize);
}

// Source byte offsets of destination columns first .. first + count - 1. Column i takes
// the first source column j whose accumulated steps (j + 1) x step reach (i + 1) units:
// j = ceil((i + 1) x unit / step) - 1, found for each next column by a running remainder.
void ColumnOffsets(uint32_t* offsets, int32_t first, int32_t count, int32_t sourceWidth,
                   uint64_t step, int32_t bytesPerPixel) {
    const uint32_t last = uint32_t(sourceWidth - 1) * uint32_t(bytesPerPixel);
    if (step == 0) {
        for (int32_t i = 0; i < count; i++)
            offsets[i] = last;
        return;
    }
    const uint64_t target = (uint64_t(first) + 1) * kUnit;
    uint64_t reached = (target + step - 1) / step; // j + 1 for the first column
    int64_t remainder = int64_t(reached * step - target);
    const uint64_t whole = kUnit / step;
    const int64_t part = int64_t(kUnit % step);
    for (int32_t i = 0; i < count; i++) {
        offsets[i] = reached > uint64_t(sourceWidth)
                         ? last
                         : uint32_t(reached - 1) * uint32_t(bytesPerPixel);
        reached += whole;
        remainder -= part;
        if (remainder < 0) {
            reached++;
            remainder += int64_t(step);
        }
    }
}

template <int32_t B>
void GatherRow(uint8_t* d, const uint8_t* s, const uint32_t* offsets, int32_t n) {
    int32_t i = 0;
    if constexpr (B == 2) {
        // Pairs of 16-bit pixels stored as one word: half the stores, which otherwise wait
        // behind the scattered loads.
        for (; i + 2 <= n; i += 2)
            StoreU32(d + 2 * i, uint32_t(LoadU16(s + offsets[i])) |
                                    uint32_t(LoadU16(s + offsets[i + 1])) << 16);
    }
    for (; i < n; i++) {
        if constexpr (B == 1)
            d[i] = s[offsets[i]];
        else if constexpr (B == 2)
            StoreU16(d + 2 * i, LoadU16(s + offsets[i]));
        else if constexpr (B == 4)
            StoreU32(d + 4 * i, LoadU32(s + offsets[i]));
        else
            memcpy(d + B * i, s + offsets[i], B);
    }
}

using GatherFunction = void (*)(uint8_t*, const uint8_t*, const uint32_t*, int32_t);

GatherFunction GatherFor(int32_t bytesPerPixel) {
    switch (bytesPerPixel) {
    case 1:
        return GatherRow<1>;
    case 2:
        return GatherRow<2>;
    case 3:
        return GatherRow<3>;
    case 4:
        return GatherRow<4>;
    default:
        return nullptr;
    }
}

} // namespace

void Blit_Stretch(const SurfaceBits* destination, int32_t dx, int32_t dy, const SurfaceBits* source,
                  int32_t sx, int32_t sy, int32_t destinationWidth, int32_t destinationHeight,
                  int32_t sourceWidth, int32_t sourceHeight) {
    if (destinationWidth <= 0 || destinationHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    const int32_t bpp = destination->bytesPerPixel;
    const GatherFunction gather = GatherFor(bpp);
    if (!gather || source->bytesPerPixel != bpp) return;
    const uint64_t columnStep = StretchStep(destinationWidth, sourceWidth);
    const uint64_t rowStep = StretchStep(destinationHeight, sourceHeight);
    const auto copy = GetBlitRowKernels(destination->formatIndex)->copy;
    uint32_t offsets[kColumnChunk];
    for (int32_t column = 0; column < destinationWidth; column += kColumnChunk) {
        const int32_t count =
            destinationWidth - column < kColumnChunk ? destinationWidth - column : kColumnChunk;
        ColumnOffsets(offsets, column, count, sourceWidth, columnStep, bpp);
        const size_t bytes = size_t(count) * size_t(bpp);
        // A source row gives as many destination rows as its accumulator holds units: the
        // first gathered, the others copied from the row above.
        int32_t produced = 0;
        uint64_t accumulator = rowStep;
        for (int32_t row = 0; row < sourceHeight && produced < destinationHeight; row++) {
            const uint8_t* s = PixelAddress(source, sx, sy + row);
            for (bool first = true; accumulator >= kUnit && produced < destinationHeight;
                 accumulator -= kUnit, produced++, first = false) {
                uint8_t* d = PixelAddress(destination, dx + column, dy + produced);
                if (first)
                    gather(d, s, offsets, count);
                else
                    copy(d, PixelAddress(destination, dx + column, dy + produced - 1), bytes);
            }
            accumulator += rowStep;
        }
        const uint8_t* last = PixelAddress(source, sx, sy + sourceHeight - 1);
        for (; produced < destinationHeight; produced++)
            gather(PixelAddress(destination, dx + column, dy + produced), last, offsets, count);
    }
}
