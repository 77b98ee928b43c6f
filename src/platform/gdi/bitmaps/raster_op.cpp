#include "platform/gdi/bitmaps/raster_op.h"

#include <cstdint>
#include <cstring>

namespace platform {
namespace {

uint32_t Spread(int rop3, int bit) {
    return (rop3 >> bit & 1) ? 0xFFFFFFFFu : 0u;
}

template <class Pixel>
void TypedRow(uint8_t* out, const uint8_t* in, int count, const RopTerms& terms) {
    for (int i = 0; i < count; ++i) {
        Pixel d, s = 0;
        std::memcpy(&d, out + i * sizeof(Pixel), sizeof(Pixel));
        if (in) std::memcpy(&s, in + i * sizeof(Pixel), sizeof(Pixel));
        auto result = static_cast<Pixel>(ApplyRop(terms, s, d));
        std::memcpy(out + i * sizeof(Pixel), &result, sizeof(Pixel));
    }
}

template <size_t bytes>
void SampleTyped(uint8_t* out, const uint8_t* in, const int* columns, int count) {
    for (int i = 0; i < count; ++i)
        std::memcpy(out + static_cast<ptrdiff_t>(i) * bytes,
                    in + static_cast<ptrdiff_t>(columns[i]) * bytes, bytes);
}

} // namespace

void SampleRow(uint8_t* out, const uint8_t* in, const int* columns, int count, int bytes) {
    switch (bytes) {
    case 1:
        SampleTyped<1>(out, in, columns, count);
        return;
    case 2:
        SampleTyped<2>(out, in, columns, count);
        return;
    case 3:
        SampleTyped<3>(out, in, columns, count);
        return;
    default:
        SampleTyped<4>(out, in, columns, count);
    }
}

RopTerms MakeRopTerms(uint8_t rop3, uint32_t pattern) {
    RopTerms terms{};
    for (int i = 0; i < 4; ++i)
        terms.term[i] = (pattern & Spread(rop3, 4 + i)) | (~pattern & Spread(rop3, i));
    return terms;
}

uint8_t Rop3FromRop2(int rop2) {
    int table = (rop2 - 1) & 15;
    uint8_t rop3 = 0;
    for (int p = 0; p < 2; ++p)
        for (int s = 0; s < 2; ++s)
            for (int d = 0; d < 2; ++d)
                if (table >> (p * 2 + d) & 1)
                    rop3 |= static_cast<uint8_t>(1 << (p * 4 + s * 2 + d));
    return rop3;
}

void RopRow(const Surface& target, int y, int x0, int x1, const Surface* source, int sx, int sy,
            uint8_t rop3, const RopTerms& terms) {
    int count = x1 - x0;
    if (count <= 0) return;
    int bits = BitsPerPixel(target.format);
    if (!RopUsesSource(rop3)) source = nullptr;
    if (bits >= 8) {
        size_t bytes = static_cast<size_t>(bits / 8);
        uint8_t* out = target.Row(y) + static_cast<ptrdiff_t>(x0) * bytes;
        const uint8_t* in = source ? source->Row(sy) + static_cast<ptrdiff_t>(sx) * bytes : nullptr;
        if (rop3 == 0xCC && in) {
            std::memmove(out, in, bytes * count);
            return;
        }
        if (!source && !RopUsesDestination(rop3)) {
            uint32_t value = terms.term[0];
            switch (bits) {
            case 8:
                std::memset(out, static_cast<int>(value & 0xFF), count);
                return;
            case 16:
                FillPixels<uint16_t>(out, count, value);
                return;
            case 32:
                FillPixels<uint32_t>(out, count, value);
                return;
            default:
                break;
            }
        }
        switch (bits) {
        case 8:
            TypedRow<uint8_t>(out, in, count, terms);
            return;
        case 16:
            TypedRow<uint16_t>(out, in, count, terms);
            return;
        case 32:
            TypedRow<uint32_t>(out, in, count, terms);
            return;
        default:
            break;
        }
    }
    for (int i = 0; i < count; ++i) {
        uint32_t s = source ? ReadPixel(*source, sx + i, sy) : 0;
        WritePixel(target, x0 + i, y, ApplyRop(terms, s, ReadPixel(target, x0 + i, y)));
    }
}

void SolidRow(const Surface& target, int y, int x0, int x1, uint32_t pixel) {
    int count = x1 - x0;
    if (count <= 0) return;
    uint8_t* row = target.Row(y);
    switch (target.format) {
    case PixelFormat::Bgrx32:
        FillPixels<uint32_t>(row + static_cast<ptrdiff_t>(x0) * 4, count, pixel);
        return;
    case PixelFormat::Rgb555:
    case PixelFormat::Rgb565:
        FillPixels<uint16_t>(row + static_cast<ptrdiff_t>(x0) * 2, count, pixel);
        return;
    case PixelFormat::Indexed8:
        std::memset(row + x0, static_cast<int>(pixel & 0xFF), static_cast<size_t>(count));
        return;
    default:
        for (int x = x0; x < x1; ++x)
            WritePixel(target, x, y, pixel);
    }
}

void SolidRect(const Surface& target, const RECT& area, uint32_t pixel) {
    const int count = area.right - area.left;
    if (count <= 0) return;
    auto rows = [&](auto fill) {
        for (LONG y = area.top; y < area.bottom; ++y)
            fill(target.Row(y));
    };
    switch (target.format) {
    case PixelFormat::Bgrx32:
        rows([&](uint8_t* row) {
            FillPixels<uint32_t>(row + static_cast<ptrdiff_t>(area.left) * 4, count, pixel);
        });
        return;
    case PixelFormat::Rgb555:
    case PixelFormat::Rgb565:
        rows([&](uint8_t* row) {
            FillPixels<uint16_t>(row + static_cast<ptrdiff_t>(area.left) * 2, count, pixel);
        });
        return;
    default:
        for (LONG y = area.top; y < area.bottom; ++y)
            SolidRow(target, y, area.left, area.right, pixel);
    }
}

} // namespace platform
