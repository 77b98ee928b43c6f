// Copies between surfaces of different formats: every source pixel's colour written in the
// destination's format.
#include <cstring>
#include <type_traits>

#include "graphics2d/blitter/pixel_routines.h"
#include "graphics2d/blitter/pixel_traits.h"

namespace {

// The stored word of a colour in a format deeper than 8 bits. Only black may become the
// key: a colour that packs to 0 at 15 or 16 bits is stored as 1.
template <class D> typename D::Word ConvertedWord(uint32_t colour) {
    const typename D::Word word = D::Pack(colour);
    if constexpr (D::kBytes == 2)
        return word == 0 && (colour & 0xFFFFFF) != 0 ? 1 : word;
    else
        return word;
}

template <class S, class D>
void ConvertRows(const SurfaceBits* destination, int32_t dx, int32_t dy, const SurfaceBits* source,
                 int32_t sx, int32_t sy, int32_t width, int32_t height) {
    if constexpr (std::is_same_v<S, D>) {
        CopyPlainRows(destination, dx, dy, source, sx, sy, width, height);
    } else if constexpr (std::is_same_v<D, Pixel8>) {
        PaletteRecord* palette = destination->palette;
        Palette_BuildInverse(palette);
        const uint8_t* inverse = palette ? palette->inverseTable : nullptr;
        for (int32_t row = 0; row < height; row++) {
            uint8_t* d = PixelAddress(destination, dx, dy + row);
            const uint8_t* s = PixelAddress(source, sx, sy + row);
            for (int32_t i = 0; i < width; i++) {
                const uint32_t colour = S::Unpack(S::Load(s + i * S::kBytes));
                d[i] = NearestIndex(palette, inverse, colour);
            }
        }
    } else if constexpr (std::is_same_v<S, Pixel8>) {
        typename D::Word words[256];
        for (uint32_t i = 0; i < 256; i++)
            words[i] = ConvertedWord<D>(IndexColor(source->palette, i));
        for (int32_t row = 0; row < height; row++) {
            uint8_t* d = PixelAddress(destination, dx, dy + row);
            const uint8_t* s = PixelAddress(source, sx, sy + row);
            for (int32_t i = 0; i < width; i++)
                D::Store(d + i * D::kBytes, words[s[i]]);
        }
    } else {
        for (int32_t row = 0; row < height; row++) {
            uint8_t* d = PixelAddress(destination, dx, dy + row);
            const uint8_t* s = PixelAddress(source, sx, sy + row);
            for (int32_t i = 0; i < width; i++)
                D::Store(d + i * D::kBytes,
                         ConvertedWord<D>(S::Unpack(S::Load(s + i * S::kBytes))));
        }
    }
}

} // namespace

template <class F>
void ConvertCopyOf(const SurfaceBits* destination, int32_t dx, int32_t dy,
                   const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                   int32_t height) {
    switch (destination->formatIndex) {
    case kFormat8:
        ConvertRows<F, Pixel8>(destination, dx, dy, source, sx, sy, width, height);
        break;
    case kFormat15:
        ConvertRows<F, Pixel15>(destination, dx, dy, source, sx, sy, width, height);
        break;
    case kFormat16:
        ConvertRows<F, Pixel16>(destination, dx, dy, source, sx, sy, width, height);
        break;
    case kFormat24:
        ConvertRows<F, Pixel24>(destination, dx, dy, source, sx, sy, width, height);
        break;
    case kFormat32:
        ConvertRows<F, Pixel32>(destination, dx, dy, source, sx, sy, width, height);
        break;
    default:
        break;
    }
}

template void ConvertCopyOf<Pixel8>(const SurfaceBits*, int32_t, int32_t, const SurfaceBits*,
                                    int32_t, int32_t, int32_t, int32_t);
template void ConvertCopyOf<Pixel15>(const SurfaceBits*, int32_t, int32_t, const SurfaceBits*,
                                     int32_t, int32_t, int32_t, int32_t);
template void ConvertCopyOf<Pixel16>(const SurfaceBits*, int32_t, int32_t, const SurfaceBits*,
                                     int32_t, int32_t, int32_t, int32_t);
template void ConvertCopyOf<Pixel24>(const SurfaceBits*, int32_t, int32_t, const SurfaceBits*,
                                     int32_t, int32_t, int32_t, int32_t);
template void ConvertCopyOf<Pixel32>(const SurfaceBits*, int32_t, int32_t, const SurfaceBits*,
                                     int32_t, int32_t, int32_t, int32_t);
