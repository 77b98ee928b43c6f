#include "platform/directx/direct3d/texels.h"

#include <bit>
#include <cstring>

namespace platform::d3d {
namespace {

// One channel's place in a pixel.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(uint32_t m) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        bits = std::popcount(m);
    }
    // The channel as 8 bits; `none` when the format lacks it.
    uint32_t Widen(uint32_t pixel, uint32_t none) const {
        if (bits == 0) return none;
        uint32_t value = (pixel & mask) >> shift;
        if (bits >= 8) return value >> (bits - 8);
        uint32_t wide = 0;
        for (int filled = 0; filled < 8; filled += bits)
            wide = (wide << bits) | value;
        return (wide >> (((8 + bits - 1) / bits) * bits - 8)) & 0xFF;
    }
    uint32_t Narrow(uint32_t value) const {
        if (bits == 0) return 0;
        uint32_t narrow = bits >= 8 ? value << (bits - 8) : value >> (8 - bits);
        return (narrow << shift) & mask;
    }
};

uint32_t Bytes(const DDPIXELFORMAT& format) {
    return (format.dwRGBBitCount + 7) / 8;
}

uint32_t ReadPixel(const uint8_t* at, uint32_t bytes) {
    uint32_t pixel = 0;
    for (uint32_t i = 0; i < bytes; ++i)
        pixel |= uint32_t(at[i]) << (8 * i);
    return pixel;
}

} // namespace

void ToRGBA(const uint8_t* pixels, long pitch, uint32_t width, uint32_t height,
            const DDPIXELFORMAT& format, const DDCOLORKEY* key, uint32_t* out) {
    const Channel red(format.dwRBitMask), green(format.dwGBitMask), blue(format.dwBBitMask);
    const Channel alpha((format.dwFlags & DDPF_ALPHAPIXELS) ? format.dwRGBAlphaBitMask : 0);
    const uint32_t bytes = Bytes(format);
    const uint32_t colourMask = format.dwRBitMask | format.dwGBitMask | format.dwBBitMask;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = pixels + long(y) * pitch;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t pixel = ReadPixel(row + x * bytes, bytes);
            uint32_t a = alpha.Widen(pixel, 0xFF);
            if (key != nullptr) {
                const uint32_t colour = pixel & colourMask;
                if (colour >= (key->dwColorSpaceLowValue & colourMask) &&
                    colour <= (key->dwColorSpaceHighValue & colourMask))
                    a = 0;
            }
            *out++ = red.Widen(pixel, 0) | green.Widen(pixel, 0) << 8 | blue.Widen(pixel, 0) << 16 |
                     a << 24;
        }
    }
}

void FromRGBA(const uint32_t* in, uint32_t width, uint32_t height, const DDPIXELFORMAT& format,
              uint8_t* pixels, long pitch) {
    const Channel red(format.dwRBitMask), green(format.dwGBitMask), blue(format.dwBBitMask);
    const uint32_t bytes = Bytes(format);
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = pixels + long(y) * pitch;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t word = *in++;
            const uint32_t pixel = red.Narrow(word & 0xFF) | green.Narrow(word >> 8 & 0xFF) |
                                   blue.Narrow(word >> 16 & 0xFF);
            for (uint32_t i = 0; i < bytes; ++i)
                row[x * bytes + i] = uint8_t(pixel >> (8 * i));
        }
    }
}

} // namespace platform::d3d
