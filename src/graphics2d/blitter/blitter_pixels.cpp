// Single pixels, fills, mirroring and colour replacement for every format.
#include <type_traits>

#include "graphics2d/blitter/blitter_rows.h"
#include "graphics2d/blitter/pixel_routines.h"
#include "graphics2d/blitter/pixel_traits.h"

namespace {

// The word a colour argument is stored as.
template <class F> typename F::Word StoredWord(const SurfaceBits* bits, uint32_t colour) {
    if constexpr (std::is_same_v<F, Pixel8>)
        return ColorIndex(bits->palette, colour);
    else
        return F::Pack(colour);
}

} // namespace

template <class F> void PutPixelOf(const SurfaceBits* bits, int32_t x, int32_t y, uint32_t colour) {
    uint8_t* p = PixelAddress(bits, x, y);
    // The fourth byte of a 32-bit pixel stays as it was.
    if constexpr (F::kBytes == 4)
        Pixel24::Store(p, F::Pack(colour));
    else
        F::Store(p, StoredWord<F>(bits, colour));
}

template <class F> uint32_t GetPixelOf(const SurfaceBits* bits, int32_t x, int32_t y) {
    const typename F::Word v = F::Load(PixelAddress(bits, x, y));
    if constexpr (std::is_same_v<F, Pixel8>)
        return v;
    else
        return F::Unpack(v);
}

template <class F>
void FillRectOf(const SurfaceBits* bits, int32_t x, int32_t y, int32_t width, int32_t height,
                uint32_t colour) {
    if (width <= 0) return;
    const auto fill = GetBlitRowKernels(F::kFormatIndex)->fill;
    const uint32_t word = StoredWord<F>(bits, colour);
    // Whole-width rows are one span: one fill of it saves the call and the ragged ends of
    // every row. Surfaces hold at most 2^31 - 1 bytes, so its pixels fit the count.
    const int32_t pitch = bits->signedPitch;
    if (height > 1 && int64_t(width) * F::kBytes == (pitch < 0 ? -int64_t(pitch) : pitch)) {
        const int32_t top = pitch < 0 ? y + height - 1 : y;
        fill(PixelAddress(bits, x, top), width * height, word);
        return;
    }
    for (int32_t row = 0; row < height; row++)
        fill(PixelAddress(bits, x, y + row), width, word);
}

template <class F>
void MirrorHorizontalOf(const SurfaceBits* bits, int32_t x, int32_t y, int32_t width,
                        int32_t height) {
    for (int32_t row = 0; row < height; row++) {
        uint8_t* p = PixelAddress(bits, x, y + row);
        for (int32_t i = 0, j = width - 1; i < j; i++, j--) {
            const typename F::Word a = F::Load(p + i * F::kBytes);
            F::Store(p + i * F::kBytes, F::Load(p + j * F::kBytes));
            F::Store(p + j * F::kBytes, a);
        }
    }
}

template <class F>
void ReplaceColorOf(const SurfaceBits* bits, int32_t x, int32_t y, int32_t width, int32_t height,
                    uint32_t newColour, uint32_t oldColour) {
    const typename F::Word to = StoredWord<F>(bits, newColour);
    const typename F::Word from = StoredWord<F>(bits, oldColour);
    for (int32_t row = 0; row < height; row++) {
        uint8_t* p = PixelAddress(bits, x, y + row);
        for (int32_t i = 0; i < width; i++) {
            uint8_t* q = p + i * F::kBytes;
            if ((F::Load(q) & F::kColorBits) == from) F::Store(q, to);
        }
    }
}

#define ZORV_PIXEL_ROUTINES(F)                                                                     \
    template void PutPixelOf<F>(const SurfaceBits*, int32_t, int32_t, uint32_t);                   \
    template uint32_t GetPixelOf<F>(const SurfaceBits*, int32_t, int32_t);                         \
    template void FillRectOf<F>(const SurfaceBits*, int32_t, int32_t, int32_t, int32_t, uint32_t); \
    template void MirrorHorizontalOf<F>(const SurfaceBits*, int32_t, int32_t, int32_t, int32_t);   \
    template void ReplaceColorOf<F>(const SurfaceBits*, int32_t, int32_t, int32_t, int32_t,        \
                                    uint32_t, uint32_t);
ZORV_PIXEL_ROUTINES(Pixel8)
ZORV_PIXEL_ROUTINES(Pixel15)
ZORV_PIXEL_ROUTINES(Pixel16)
ZORV_PIXEL_ROUTINES(Pixel24)
ZORV_PIXEL_ROUTINES(Pixel32)
