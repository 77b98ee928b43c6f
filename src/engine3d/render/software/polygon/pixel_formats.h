// Target pixel formats of the software spans and the number conversions they share. Texels
// are stored in the target's own format; packed pixels are lit and blended as 8-bit
// channels with their low bits zero and packed again from their top bits.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#if defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace software_raster {

// Screen and texel coordinates beyond this are off any target; keeping them here keeps the
// 16.16 walks inside 64-bit arithmetic and their results inside 32 bits.
constexpr float kCoordinateLimit = 32767.0f;

// Nearest integer, ties to even; NaN counts as 0, huge values stop at the limit.
inline int32_t RoundCoordinate(float f) {
    if (!(f == f)) return 0;
    if (f > kCoordinateLimit) f = kCoordinateLimit;
    if (f < -kCoordinateLimit) f = -kCoordinateLimit;
    return int32_t(std::nearbyint(f));
}

// Toward zero, with RoundCoordinate's limits.
inline int32_t TruncateCoordinate(float f) {
    if (!(f == f)) return 0;
    if (f > kCoordinateLimit) f = kCoordinateLimit;
    if (f < -kCoordinateLimit) f = -kCoordinateLimit;
    return int32_t(f);
}

// The depth value of a reciprocal depth: w × 2^23 truncated, saturated to 32 bits.
inline int32_t DepthOf(float w) {
    const double z = double(w) * 8388608.0;
    if (!(z == z)) return 0;
    if (z >= 2147483647.0) return INT32_MAX;
    if (z <= -2147483648.0) return INT32_MIN;
    return int32_t(z);
}

inline int32_t Saturate32(int64_t v) {
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : int32_t(v);
}

// A rounded texel coordinate: ties to even; NaN and values beyond 64 bits give the lowest
// 64-bit value, which masks and clamps keep inside the texture.
inline int64_t RoundTexel(float f) {
    return std::lrint(f);
}

struct Rgb {
    int32_t r, g, b;
};

// Colour in COLORREF order 0x00BBGGRR.
inline Rgb FromColorRef(uint32_t c) {
    return {int32_t(c & 0xFF), int32_t((c >> 8) & 0xFF), int32_t((c >> 16) & 0xFF)};
}

template <int Depth> struct PixelFormat;

template <> struct PixelFormat<32> {
    static constexpr int kBytes = 4;
    static Rgb Read(const uint8_t* p) { return {p[2], p[1], p[0]}; }
    static void Write(uint8_t* p, Rgb c) {
        p[0] = uint8_t(c.b);
        p[1] = uint8_t(c.g);
        p[2] = uint8_t(c.r);
    }
    static uint32_t Key(const uint8_t* p) { return uint32_t(p[0]) | p[1] << 8 | p[2] << 16; }
    static uint32_t PackKey(uint32_t colorRef) {
        const Rgb c = FromColorRef(colorRef);
        return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | uint32_t(c.b);
    }
    static void CopyTexel(uint8_t* p, const uint8_t* t) { std::memcpy(p, t, 4); }
};

template <> struct PixelFormat<24> {
    static constexpr int kBytes = 3;
    static Rgb Read(const uint8_t* p) { return {p[2], p[1], p[0]}; }
    static void Write(uint8_t* p, Rgb c) {
        p[0] = uint8_t(c.b);
        p[1] = uint8_t(c.g);
        p[2] = uint8_t(c.r);
    }
    static uint32_t Key(const uint8_t* p) { return uint32_t(p[0]) | p[1] << 8 | p[2] << 16; }
    static uint32_t PackKey(uint32_t colorRef) { return PixelFormat<32>::PackKey(colorRef); }
    static void CopyTexel(uint8_t* p, const uint8_t* t) { std::memcpy(p, t, 3); }
};

inline uint16_t Load16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

inline void Store16(uint8_t* p, uint16_t v) {
    std::memcpy(p, &v, 2);
}

template <> struct PixelFormat<16> {
    static constexpr int kBytes = 2;
    static Rgb Unpack(uint32_t p) {
        return {int32_t((p >> 8) & 0xF8), int32_t((p >> 3) & 0xFC), int32_t((p << 3) & 0xF8)};
    }
    static uint16_t Pack(Rgb c) {
        return uint16_t((c.r & 0xF8) << 8 | (c.g & 0xFC) << 3 | (c.b & 0xF8) >> 3);
    }
    static Rgb Read(const uint8_t* p) { return Unpack(Load16(p)); }
    static void Write(uint8_t* p, Rgb c) { Store16(p, Pack(c)); }
    static uint32_t Key(const uint8_t* p) { return Load16(p); }
    static uint32_t PackKey(uint32_t colorRef) { return Pack(FromColorRef(colorRef)); }
    static void CopyTexel(uint8_t* p, const uint8_t* t) { std::memcpy(p, t, 2); }
};

template <> struct PixelFormat<15> {
    static constexpr int kBytes = 2;
    static Rgb Unpack(uint32_t p) {
        return {int32_t((p >> 7) & 0xF8), int32_t((p >> 2) & 0xF8), int32_t((p << 3) & 0xF8)};
    }
    static uint16_t Pack(Rgb c) {
        return uint16_t((c.r & 0xF8) << 7 | (c.g & 0xF8) << 2 | (c.b & 0xF8) >> 3);
    }
    static Rgb Read(const uint8_t* p) { return Unpack(Load16(p)); }
    static void Write(uint8_t* p, Rgb c) { Store16(p, Pack(c)); }
    static uint32_t Key(const uint8_t* p) { return Load16(p); }
    static uint32_t PackKey(uint32_t colorRef) { return Pack(FromColorRef(colorRef)); }
    static void CopyTexel(uint8_t* p, const uint8_t* t) { std::memcpy(p, t, 2); }
};

template <> struct PixelFormat<8> {
    static constexpr int kBytes = 1;
    static void CopyTexel(uint8_t* p, const uint8_t* t) { *p = *t; }
};

// Bytes per pixel of a depth; 0 for depths no routine draws.
inline int BytesPerPixel(int depth) {
    switch (depth) {
    case 8:
        return 1;
    case 15:
    case 16:
        return 2;
    case 24:
        return 3;
    case 32:
        return 4;
    default:
        return 0;
    }
}

// (c · a + dst · (255 − a)) >> 8 per channel: the weights add up to 255.
inline Rgb Blend(Rgb c, Rgb dst, int32_t a) {
    return {(c.r * a + dst.r * (255 - a)) >> 8, (c.g * a + dst.g * (255 - a)) >> 8,
            (c.b * a + dst.b * (255 - a)) >> 8};
}

} // namespace software_raster
