// Rectangle copies between two surfaces of one format: plain, colour-keyed, with an
// operation and through a caller's colour function.
#include <cstring>
#include <type_traits>

#include "graphics2d/blitter/blitter_rows.h"
#include "graphics2d/blitter/pixel_routines.h"
#include "graphics2d/blitter/pixel_traits.h"

namespace {

bool HasPixelRoutine(int32_t op) {
    return op >= 1 && op < kBlitOpCount && op != kBlitOpGdi;
}

bool IsChannelOp(int32_t op) {
    return op == kBlitOpBlend || op == kBlitOpTint || op == kBlitOpAdd;
}

// The destination weight of a blend: 0 keeps the source, 128 the destination.
uint32_t BlendWeight(int32_t op, uint32_t param) {
    const uint32_t weight = op == kBlitOpTint ? param >> 24 : param;
    return weight > 128 ? 128 : weight;
}

template <class F> RowOpParams MakeRowOpParams(int32_t op, uint32_t param) {
    RowOpParams params{};
    params.destinationWeight = BlendWeight(op, param);
    params.sourceWeight = 128 - params.destinationWeight;
    if constexpr (!std::is_same_v<F, Pixel8>) {
        if (op == kBlitOpTint) params.tintWord = F::Pack(param & 0xFFFFFF);
    }
    return params;
}

uint32_t MixColors(uint32_t s, uint32_t d, uint32_t ws, uint32_t wd) {
    const uint32_t redBlue = ((s & 0xFF00FF) * ws + (d & 0xFF00FF) * wd) >> 7 & 0xFF00FF;
    const uint32_t green = ((s & 0xFF00) * ws + (d & 0xFF00) * wd) >> 7 & 0xFF00;
    return redBlue | green;
}

// Per channel, limited to 255: an overflow bit above a channel becomes a full channel.
uint32_t AddColors(uint32_t s, uint32_t d) {
    uint32_t redBlue = (s & 0xFF00FF) + (d & 0xFF00FF);
    const uint32_t redBlueOver = redBlue & 0x1000100;
    redBlue = (redBlue | (redBlueOver - (redBlueOver >> 8))) & 0xFF00FF;
    uint32_t green = (s & 0xFF00) + (d & 0xFF00);
    const uint32_t greenOver = green & 0x10000;
    green = (green | (greenOver - (greenOver >> 8))) & 0xFF00;
    return redBlue | green;
}

// The per-channel operations of 8-bit surfaces: both indices' palette colours are
// combined and the result turned back into the nearest destination index, through the
// destination palette's inverse table (built here when missing).
struct PaletteOpSetup {
    uint32_t sourceColors[256];
    uint32_t destinationColors[256];
    PaletteRecord* palette;
    const uint8_t* inverse;
    uint32_t sourceWeight;
    uint32_t destinationWeight;
    uint32_t tint;
};

// In two passes over chunks of a row: the colours first, then their indices, so that the
// lookups of the inverse table overlap. Everything the loops read besides the pixels and
// tables is held in locals, which the byte stores cannot be taken to change.
template <int32_t Op, bool Keyed>
void PaletteOpRows(const PaletteOpSetup& setup, const SurfaceBits* destination, int32_t dx,
                   int32_t dy, const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                   int32_t height) {
    constexpr int32_t kChunk = 256;
    uint32_t colours[kChunk];
    const uint32_t* const sourceColors = setup.sourceColors;
    const uint32_t* const destinationColors = setup.destinationColors;
    PaletteRecord* const palette = setup.palette;
    const uint8_t* const inverse = setup.inverse;
    const uint32_t ws = setup.sourceWeight, wd = setup.destinationWeight, tint = setup.tint;
    for (int32_t row = 0; row < height; row++) {
        uint8_t* d = PixelAddress(destination, dx, dy + row);
        const uint8_t* s = PixelAddress(source, sx, sy + row);
        for (int32_t done = 0; done < width; done += kChunk) {
            const int32_t count = width - done < kChunk ? width - done : kChunk;
            for (int32_t i = 0; i < count; i++) {
                const uint32_t sc = sourceColors[s[done + i]];
                const uint8_t di = d[done + i];
                if constexpr (Op == kBlitOpAdd) {
                    colours[i] = AddColors(sc, destinationColors[di]);
                } else {
                    const uint32_t dc = Op == kBlitOpTint && di == 0 ? tint : destinationColors[di];
                    colours[i] = MixColors(sc, dc, ws, wd);
                }
            }
            if (!inverse) {
                for (int32_t i = 0; i < count; i++) {
                    if (Keyed && s[done + i] == 0) continue;
                    d[done + i] = NearestIndex(palette, inverse, colours[i]);
                }
                continue;
            }
            // The cells in a loop of their own, which vectorises; the lookups then wait
            // only on the table.
            uint16_t cells[kChunk];
            for (int32_t i = 0; i < count; i++)
                cells[i] = uint16_t(PaletteInverseCell(colours[i]));
            for (int32_t i = 0; i < count; i++) {
                if (Keyed && s[done + i] == 0) continue;
                const uint8_t cached = inverse[cells[i]];
                d[done + i] = cached != 0 && colours[i] != 0
                                  ? cached
                                  : NearestIndex(palette, inverse, colours[i]);
            }
        }
    }
}

// Large areas: the result of every pair of source and destination index is worked out once,
// which costs as much as 65,536 pixels done one by one, and each pixel then is one lookup.
constexpr int64_t kPairTableArea = 4 * 65536;

template <int32_t Op, bool Keyed>
void PairTableRows(const PaletteOpSetup& setup, const SurfaceBits* destination, int32_t dx,
                   int32_t dy, const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                   int32_t height) {
    uint8_t results[256 * 256];
    const uint32_t* const destinationColors = setup.destinationColors;
    PaletteRecord* const palette = setup.palette;
    const uint8_t* const inverse = setup.inverse;
    const uint32_t ws = setup.sourceWeight, wd = setup.destinationWeight, tint = setup.tint;
    for (uint32_t si = Keyed ? 1 : 0; si < 256; si++) {
        const uint32_t sc = setup.sourceColors[si];
        uint8_t* const row = results + si * 256;
        for (uint32_t di = 0; di < 256; di++) {
            uint32_t colour;
            if constexpr (Op == kBlitOpAdd) {
                colour = AddColors(sc, destinationColors[di]);
            } else {
                const uint32_t dc = Op == kBlitOpTint && di == 0 ? tint : destinationColors[di];
                colour = MixColors(sc, dc, ws, wd);
            }
            row[di] = NearestIndex(palette, inverse, colour);
        }
    }
    for (int32_t y = 0; y < height; y++) {
        uint8_t* d = PixelAddress(destination, dx, dy + y);
        const uint8_t* s = PixelAddress(source, sx, sy + y);
        for (int32_t i = 0; i < width; i++) {
            if (Keyed && s[i] == 0) continue;
            d[i] = results[uint32_t(s[i]) << 8 | d[i]];
        }
    }
}

template <int32_t Op, bool Keyed>
void PaletteOpArea(const PaletteOpSetup& setup, const SurfaceBits* destination, int32_t dx,
                   int32_t dy, const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                   int32_t height) {
    if (int64_t(width) * height >= kPairTableArea)
        PairTableRows<Op, Keyed>(setup, destination, dx, dy, source, sx, sy, width, height);
    else
        PaletteOpRows<Op, Keyed>(setup, destination, dx, dy, source, sx, sy, width, height);
}

template <bool Keyed>
void PaletteChannelOp(const SurfaceBits* destination, int32_t dx, int32_t dy,
                      const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                      int32_t height, int32_t op, uint32_t param) {
    PaletteOpSetup setup;
    setup.palette = destination->palette;
    for (uint32_t i = 0; i < 256; i++) {
        setup.sourceColors[i] = IndexColor(source->palette, i);
        setup.destinationColors[i] = IndexColor(setup.palette, i);
    }
    Palette_BuildInverse(setup.palette);
    setup.inverse = setup.palette ? setup.palette->inverseTable : nullptr;
    setup.destinationWeight = BlendWeight(op, param);
    setup.sourceWeight = 128 - setup.destinationWeight;
    setup.tint = param & 0xFFFFFF;
    if (op == kBlitOpAdd)
        PaletteOpArea<kBlitOpAdd, Keyed>(setup, destination, dx, dy, source, sx, sy, width, height);
    else if (op == kBlitOpTint)
        PaletteOpArea<kBlitOpTint, Keyed>(setup, destination, dx, dy, source, sx, sy, width,
                                          height);
    else
        PaletteOpArea<kBlitOpBlend, Keyed>(setup, destination, dx, dy, source, sx, sy, width,
                                           height);
}

template <class F>
void CallbackRows(const SurfaceBits* destination, int32_t dx, int32_t dy, const SurfaceBits* source,
                  int32_t sx, int32_t sy, int32_t width, int32_t height, BlitColorFunction function,
                  uintptr_t user, bool keyed) {
    for (int32_t row = 0; row < height; row++) {
        uint8_t* d = PixelAddress(destination, dx, dy + row);
        const uint8_t* s = PixelAddress(source, sx, sy + row);
        for (int32_t i = 0; i < width; i++, d += F::kBytes, s += F::kBytes) {
            if (keyed && IsKeyPixel<F>(s)) continue;
            if constexpr (std::is_same_v<F, Pixel8>) {
                const uint32_t colour = function(IndexColor(destination->palette, *d),
                                                 IndexColor(source->palette, *s), user);
                *d = ColorIndex(destination->palette, colour & 0xFFFFFF);
            } else {
                F::Store(d, F::Pack(function(F::Unpack(F::Load(d)), F::Unpack(F::Load(s)), user)));
            }
        }
    }
}

} // namespace

void CopyPlainRows(const SurfaceBits* destination, int32_t dx, int32_t dy,
                   const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                   int32_t height) {
    if (width <= 0 || height <= 0) return;
    const size_t bytes = size_t(width) * size_t(source->bytesPerPixel);
    const BlitRowKernels* kernels = GetBlitRowKernels(source->formatIndex);
    uint8_t* d = PixelAddress(destination, dx, dy);
    const uint8_t* s = PixelAddress(source, sx, sy);
    const ptrdiff_t dPitch = destination->signedPitch, sPitch = source->signedPitch;
    const ptrdiff_t dLast = ptrdiff_t(height - 1) * dPitch, sLast = ptrdiff_t(height - 1) * sPitch;
    uint8_t* dLow = dPitch < 0 ? d + dLast : d;
    uint8_t* dHigh = (dPitch < 0 ? d : d + dLast) + bytes;
    const uint8_t* sLow = sPitch < 0 ? s + sLast : s;
    const uint8_t* sHigh = (sPitch < 0 ? s : s + sLast) + bytes;
    if (dHigh > sLow && sHigh > dLow) {
        // Overlapping areas of one surface: row by row, each row as memmove takes it.
        for (int32_t row = 0; row < height; row++, d += dPitch, s += sPitch)
            kernels->copy(d, s, bytes);
        return;
    }
    // Whole-width rows of two surfaces laid out alike are one span in each; one call of the
    // C library copies that much faster than row by row.
    if (dPitch == sPitch && size_t(sHigh - sLow) == bytes * size_t(height)) {
        memcpy(dLow, sLow, bytes * size_t(height));
        return;
    }
    kernels->copyRows(d, dPitch, s, sPitch, bytes, height);
}

template <class F>
void CopyKeyedOf(const SurfaceBits* destination, int32_t dx, int32_t dy, const SurfaceBits* source,
                 int32_t sx, int32_t sy, int32_t width, int32_t height) {
    const auto keyed = GetBlitRowKernels(F::kFormatIndex)->keyed;
    for (int32_t row = 0; row < height; row++)
        keyed(PixelAddress(destination, dx, dy + row), PixelAddress(source, sx, sy + row), width);
}

template <class F>
void CopyKeyedOpOf(const SurfaceBits* destination, int32_t dx, int32_t dy,
                   const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width, int32_t height,
                   int32_t op, uint32_t param) {
    if (!HasPixelRoutine(op)) return;
    if (std::is_same_v<F, Pixel8> && IsChannelOp(op)) {
        PaletteChannelOp<true>(destination, dx, dy, source, sx, sy, width, height, op, param);
        return;
    }
    const auto keyedOp = GetBlitRowKernels(F::kFormatIndex)->keyedOp;
    const RowOpParams params = MakeRowOpParams<F>(op, param);
    for (int32_t row = 0; row < height; row++)
        keyedOp(PixelAddress(destination, dx, dy + row), PixelAddress(source, sx, sy + row), width,
                op, params);
}

template <class F>
void CopyOpOf(const SurfaceBits* destination, int32_t dx, int32_t dy, const SurfaceBits* source,
              int32_t sx, int32_t sy, int32_t width, int32_t height, int32_t op, uint32_t param) {
    // The tint needs the key to tell which pixels to tint: without it nothing changes.
    if (!HasPixelRoutine(op) || op == kBlitOpTint) return;
    if (std::is_same_v<F, Pixel8> && IsChannelOp(op)) {
        PaletteChannelOp<false>(destination, dx, dy, source, sx, sy, width, height, op, param);
        return;
    }
    const RowOp rowOp = GetBlitRowKernels(F::kFormatIndex)->op[op];
    const RowOpParams params = MakeRowOpParams<F>(op, param);
    for (int32_t row = 0; row < height; row++)
        rowOp(PixelAddress(destination, dx, dy + row), PixelAddress(source, sx, sy + row), width,
              params);
}

template <class F>
void CopyCallbackKeyedOf(const SurfaceBits* destination, int32_t dx, int32_t dy,
                         const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                         int32_t height, BlitColorFunction function, uintptr_t user) {
    CallbackRows<F>(destination, dx, dy, source, sx, sy, width, height, function, user, true);
}

template <class F>
void CopyCallbackOf(const SurfaceBits* destination, int32_t dx, int32_t dy,
                    const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                    int32_t height, BlitColorFunction function, uintptr_t user) {
    CallbackRows<F>(destination, dx, dy, source, sx, sy, width, height, function, user, false);
}

#define ZORV_COPY_ROUTINES(F)                                                                      \
    template void CopyKeyedOf<F>(const SurfaceBits*, int32_t, int32_t, const SurfaceBits*,         \
                                 int32_t, int32_t, int32_t, int32_t);                              \
    template void CopyKeyedOpOf<F>(const SurfaceBits*, int32_t, int32_t, const SurfaceBits*,       \
                                   int32_t, int32_t, int32_t, int32_t, int32_t, uint32_t);         \
    template void CopyOpOf<F>(const SurfaceBits*, int32_t, int32_t, const SurfaceBits*, int32_t,   \
                              int32_t, int32_t, int32_t, int32_t, uint32_t);                       \
    template void CopyCallbackKeyedOf<F>(const SurfaceBits*, int32_t, int32_t, const SurfaceBits*, \
                                         int32_t, int32_t, int32_t, int32_t, BlitColorFunction,    \
                                         uintptr_t);                                               \
    template void CopyCallbackOf<F>(const SurfaceBits*, int32_t, int32_t, const SurfaceBits*,      \
                                    int32_t, int32_t, int32_t, int32_t, BlitColorFunction,         \
                                    uintptr_t);
ZORV_COPY_ROUTINES(Pixel8)
ZORV_COPY_ROUTINES(Pixel15)
ZORV_COPY_ROUTINES(Pixel16)
ZORV_COPY_ROUTINES(Pixel24)
ZORV_COPY_ROUTINES(Pixel32)
