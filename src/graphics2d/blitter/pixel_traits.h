// Inside the blitter: how each pixel format is loaded, stored, packed from a colour and
// unpacked to one. Pixels are read and written through memcpy or single bytes, because
// rows of caller memory (packed bitmaps) need not be aligned.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "graphics2d/blitter/pixel_format.h"
#include "graphics2d/palette/palette.h"

static_assert(std::endian::native == std::endian::little,
              "pixel words are stored in the processor's order");

inline uint16_t LoadU16(const uint8_t* p) {
    uint16_t v;
    memcpy(&v, p, 2);
    return v;
}
inline void StoreU16(uint8_t* p, uint16_t v) {
    memcpy(p, &v, 2);
}
inline uint32_t LoadU32(const uint8_t* p) {
    uint32_t v;
    memcpy(&v, p, 4);
    return v;
}
inline void StoreU32(uint8_t* p, uint32_t v) {
    memcpy(p, &v, 4);
}

// 0x00BBGGRR <-> 0x00RRGGBB.
inline uint32_t SwapRedBlue(uint32_t c) {
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

inline uint8_t* PixelAddress(const SurfaceBits* bits, int32_t x, int32_t y) {
    return bits->pixels + ptrdiff_t(y) * bits->signedPitch + ptrdiff_t(x) * bits->bytesPerPixel;
}

// The colour of an index through a palette; black without one.
inline uint32_t IndexColor(const PaletteRecord* palette, uint32_t index) {
    return palette ? PaletteEntryColor(palette->entries[index & 0xFF]) : 0;
}
// The nearest index of a 0x00BBGGRR colour through the palette's inverse table, whose
// empty cells are searched and filled on first use. Black is always index 0, the key,
// whatever dark entry shares its cell.
inline uint8_t NearestIndex(PaletteRecord* palette, const uint8_t* inverse, uint32_t colour) {
    if (colour == 0) return 0;
    const uint8_t cached = inverse ? inverse[PaletteInverseCell(colour)] : 0;
    return cached ? cached : uint8_t(Palette_ColorToIndex(palette, colour));
}
// The index an 8-bit surface stores for a colour argument.
inline uint8_t ColorIndex(PaletteRecord* palette, uint32_t colour) {
    if (colour & kColorIsIndex) return uint8_t(colour);
    return NearestIndex(palette, palette ? palette->inverseTable : nullptr, colour & 0xFFFFFF);
}

// Each format: Word holds one pixel; Pack turns a 0x00BBGGRR colour into the stored word,
// Unpack the other way (low bits of narrow channels 0, a fourth byte dropped).
struct Pixel8 {
    using Word = uint8_t;
    static constexpr int32_t kFormatIndex = kFormat8;
    static constexpr int32_t kBytes = 1;
    static constexpr Word kColorBits = 0xFF;
    static Word Load(const uint8_t* p) { return *p; }
    static void Store(uint8_t* p, Word v) { *p = v; }
};

template <int GreenBits> struct Pixel16Bit {
    using Word = uint16_t;
    static constexpr int32_t kFormatIndex = GreenBits == 5 ? kFormat15 : kFormat16;
    static constexpr int32_t kBytes = 2;
    static constexpr int kRedShift = 5 + GreenBits;
    static constexpr uint32_t kGreenMax = (1u << GreenBits) - 1;
    static constexpr Word kColorBits = Word((1u << (10 + GreenBits)) - 1);
    static Word Load(const uint8_t* p) { return LoadU16(p); }
    static void Store(uint8_t* p, Word v) { StoreU16(p, v); }
    static Word Pack(uint32_t c) {
        return Word((c & 0xF8) << (kRedShift - 3) | (c >> (16 - GreenBits) & kGreenMax) << 5 |
                    (c >> 19 & 0x1F));
    }
    static uint32_t Unpack(Word p) {
        return (p >> kRedShift & 0x1F) << 3 | (p >> 5 & kGreenMax) << (16 - GreenBits) |
               uint32_t(p & 0x1F) << 19;
    }
};
using Pixel15 = Pixel16Bit<5>;
using Pixel16 = Pixel16Bit<6>;

struct Pixel24 {
    using Word = uint32_t;
    static constexpr int32_t kFormatIndex = kFormat24;
    static constexpr int32_t kBytes = 3;
    static constexpr Word kColorBits = 0xFFFFFF;
    static Word Load(const uint8_t* p) { return p[0] | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16; }
    static void Store(uint8_t* p, Word v) {
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        p[2] = uint8_t(v >> 16);
    }
    static Word Pack(uint32_t c) { return SwapRedBlue(c); }
    static uint32_t Unpack(Word p) { return SwapRedBlue(p); }
};

struct Pixel32 {
    using Word = uint32_t;
    static constexpr int32_t kFormatIndex = kFormat32;
    static constexpr int32_t kBytes = 4;
    static constexpr Word kColorBits = 0xFFFFFF;
    static Word Load(const uint8_t* p) { return LoadU32(p); }
    static void Store(uint8_t* p, Word v) { StoreU32(p, v); }
    static Word Pack(uint32_t c) { return SwapRedBlue(c); }
    static uint32_t Unpack(Word p) { return SwapRedBlue(p); }
};

// The key of the colour-keyed copies: a pixel whose stored value is 0.
template <class F> inline bool IsKeyPixel(const uint8_t* p) {
    if constexpr (F::kBytes == 3)
        return (p[0] | p[1] | p[2]) == 0;
    else
        return F::Load(p) == 0;
}
