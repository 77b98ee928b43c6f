#include "platform/gdi/bitmaps/pixel_format.h"

#include <cstring>

namespace platform {

int BitsPerPixel(PixelFormat format) {
    switch (format) {
    case PixelFormat::Mono:
        return 1;
    case PixelFormat::Indexed8:
        return 8;
    case PixelFormat::Rgb555:
    case PixelFormat::Rgb565:
        return 16;
    case PixelFormat::Bgr24:
        return 24;
    case PixelFormat::Bgrx32:
        return 32;
    }
    return 32;
}

int64_t RowBytes(int64_t width, int bits, int align) {
    int64_t bytes = (width * bits + 7) / 8;
    return (bytes + align - 1) / align * align;
}

uint32_t ReadPixel(const Surface& surface, int x, int y) {
    const uint8_t* row = surface.Row(y);
    switch (surface.format) {
    case PixelFormat::Mono:
        return row[x >> 3] >> (7 - (x & 7)) & 1u;
    case PixelFormat::Indexed8:
        return row[x];
    case PixelFormat::Rgb555:
    case PixelFormat::Rgb565: {
        const uint8_t* p = row + 2 * static_cast<ptrdiff_t>(x);
        return p[0] | uint32_t{p[1]} << 8;
    }
    case PixelFormat::Bgr24: {
        const uint8_t* p = row + 3 * static_cast<ptrdiff_t>(x);
        return p[0] | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
    }
    case PixelFormat::Bgrx32: {
        uint32_t value;
        std::memcpy(&value, row + 4 * static_cast<ptrdiff_t>(x), 4);
        return value;
    }
    }
    return 0;
}

void WritePixel(const Surface& surface, int x, int y, uint32_t pixel) {
    uint8_t* row = surface.Row(y);
    switch (surface.format) {
    case PixelFormat::Mono: {
        uint8_t bit = static_cast<uint8_t>(0x80u >> (x & 7));
        row[x >> 3] = static_cast<uint8_t>((pixel & 1u) ? row[x >> 3] | bit : row[x >> 3] & ~bit);
        return;
    }
    case PixelFormat::Indexed8:
        row[x] = static_cast<uint8_t>(pixel);
        return;
    case PixelFormat::Rgb555:
    case PixelFormat::Rgb565: {
        uint8_t* p = row + 2 * static_cast<ptrdiff_t>(x);
        p[0] = static_cast<uint8_t>(pixel);
        p[1] = static_cast<uint8_t>(pixel >> 8);
        return;
    }
    case PixelFormat::Bgr24: {
        uint8_t* p = row + 3 * static_cast<ptrdiff_t>(x);
        p[0] = static_cast<uint8_t>(pixel);
        p[1] = static_cast<uint8_t>(pixel >> 8);
        p[2] = static_cast<uint8_t>(pixel >> 16);
        return;
    }
    case PixelFormat::Bgrx32:
        std::memcpy(row + 4 * static_cast<ptrdiff_t>(x), &pixel, 4);
        return;
    }
}

int NearestEntry(const uint32_t* table, int count, uint32_t rgb) {
    int best = 0;
    int64_t bestDistance = INT64_MAX;
    for (int i = 0; i < count; ++i) {
        int dr = static_cast<int>(table[i] >> 16 & 0xFF) - static_cast<int>(rgb >> 16 & 0xFF);
        int dg = static_cast<int>(table[i] >> 8 & 0xFF) - static_cast<int>(rgb >> 8 & 0xFF);
        int db = static_cast<int>(table[i] & 0xFF) - static_cast<int>(rgb & 0xFF);
        int64_t distance = int64_t{dr} * dr + int64_t{dg} * dg + int64_t{db} * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

namespace {

// A channel of 5 or 6 bits as 8: the top bits repeat in the low ones, so that the
// channel's maximum is 255.
uint32_t Widen(uint32_t value, int bits) {
    return (value << (8 - bits) | value >> (2 * bits - 8)) & 0xFFu;
}

// Colours are matched to a colour table at the middle of their 8-level step.
uint32_t Reduced(uint32_t rgb) {
    return (rgb & 0xF8F8F8u) + 0x040404u;
}

} // namespace

COLORREF PixelToColor(const Surface& surface, uint32_t pixel) {
    switch (surface.format) {
    case PixelFormat::Mono:
    case PixelFormat::Indexed8:
        if (static_cast<int>(pixel) >= surface.tableSize) return 0;
        return SwapRedBlue(surface.table[pixel] & 0x00FFFFFFu);
    case PixelFormat::Rgb555:
        return Widen(pixel >> 10 & 31, 5) | Widen(pixel >> 5 & 31, 5) << 8 |
               Widen(pixel & 31, 5) << 16;
    case PixelFormat::Rgb565:
        return Widen(pixel >> 11 & 31, 5) | Widen(pixel >> 5 & 63, 6) << 8 |
               Widen(pixel & 31, 5) << 16;
    case PixelFormat::Bgr24:
    case PixelFormat::Bgrx32:
        return SwapRedBlue(pixel & 0x00FFFFFFu);
    }
    return 0;
}

uint32_t ColorToPixel(const Surface& surface, COLORREF color) {
    uint32_t r = color & 0xFF, g = color >> 8 & 0xFF, b = color >> 16 & 0xFF;
    switch (surface.format) {
    case PixelFormat::Mono:
        if (surface.tableSize == 0) return 0;
        return static_cast<uint32_t>(
            NearestEntry(surface.table, surface.tableSize, SwapRedBlue(color & 0x00FFFFFFu)));
    case PixelFormat::Indexed8:
        if (surface.tableSize == 0) return 0;
        return static_cast<uint32_t>(NearestEntry(surface.table, surface.tableSize,
                                                  Reduced(SwapRedBlue(color & 0x00FFFFFFu))));
    case PixelFormat::Rgb555:
        return (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
    case PixelFormat::Rgb565:
        return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
    case PixelFormat::Bgr24:
    case PixelFormat::Bgrx32:
        return r << 16 | g << 8 | b;
    }
    return 0;
}

} // namespace platform
