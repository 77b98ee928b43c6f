#include "blitter_reference.h"

#include <algorithm>

namespace blitter_reference {

namespace {

int32_t BytesOf(int32_t formatIndex) {
    static const int32_t bytes[kFormatCount] = {1, 2, 2, 3, 4};
    return bytes[formatIndex];
}

// Where red, green and blue lie in the stored word of each format deeper than 8 bits.
struct Field {
    int shift;
    int width;
};
const Field kFields[kFormatCount][3] = {{},
                                        {{10, 5}, {5, 5}, {0, 5}},
                                        {{11, 5}, {5, 6}, {0, 5}},
                                        {{16, 8}, {8, 8}, {0, 8}},
                                        {{16, 8}, {8, 8}, {0, 8}}};

// Applies `op(source, destination, maximum)` to each channel of two words.
template <class Op> uint32_t PerChannel(int32_t formatIndex, uint32_t s, uint32_t d, Op op) {
    uint32_t word = 0;
    for (const Field& field : kFields[formatIndex]) {
        const uint32_t max = (1u << field.width) - 1;
        word |= op(s >> field.shift & max, d >> field.shift & max, max) << field.shift;
    }
    return word;
}

uint32_t Weight(uint32_t weight) {
    return std::min<uint32_t>(weight, 128);
}

uint32_t Blend(int32_t formatIndex, uint32_t s, uint32_t d, uint32_t a) {
    return PerChannel(formatIndex, s, d, [a](uint32_t x, uint32_t y, uint32_t) {
        return (x * (128 - a) + y * a) >> 7;
    });
}

uint32_t Add(int32_t formatIndex, uint32_t s, uint32_t d) {
    return PerChannel(formatIndex, s, d,
                      [](uint32_t x, uint32_t y, uint32_t max) { return std::min(x + y, max); });
}

uint32_t NearestIndex(PaletteRecord* palette, uint32_t colour) {
    return colour == 0 ? 0 : Palette_ColorToIndex(palette, colour);
}

} // namespace

TestImage::TestImage(int32_t formatIndex, int32_t width, int32_t height, bool bottomUp,
                     int32_t misalign, PaletteRecord* palette)
    : bits{}, misalign_(misalign) {
    static const int32_t depths[kFormatCount] = {8, 15, 16, 24, 32};
    bits.width = width;
    bits.height = height;
    bits.clipRight = width;
    bits.clipBottom = height;
    bits.depth = depths[formatIndex];
    bits.formatIndex = formatIndex;
    bits.palette = palette;
    bits.bytesPerPixel = BytesOf(formatIndex);
    bits.pitch = (bits.bytesPerPixel * width + 3) / 4 * 4;
    bits.bottomUp = bottomUp;
    bits.formatOps = GetPixelFormatOps(formatIndex);
    buffer_.assign(size_t(bits.pitch) * height + misalign, 0);
    Point();
}

TestImage::TestImage(const TestImage& other)
    : bits(other.bits), buffer_(other.buffer_), misalign_(other.misalign_) {
    Point();
}

void TestImage::Point() {
    uint8_t* start = buffer_.data() + misalign_;
    bits.memoryBlock = start;
    bits.signedPitch = bits.bottomUp ? -bits.pitch : bits.pitch;
    bits.pixels = bits.bottomUp ? start + ptrdiff_t(bits.height - 1) * bits.pitch : start;
}

uint32_t TestImage::Word(int32_t x, int32_t y) const {
    const uint8_t* p = bits.pixels + ptrdiff_t(y) * bits.signedPitch + x * bits.bytesPerPixel;
    uint32_t word = 0;
    for (int32_t i = 0; i < bits.bytesPerPixel; i++)
        word |= uint32_t(p[i]) << (8 * i);
    return word;
}

void TestImage::SetWord(int32_t x, int32_t y, uint32_t word) {
    uint8_t* p = bits.pixels + ptrdiff_t(y) * bits.signedPitch + x * bits.bytesPerPixel;
    for (int32_t i = 0; i < bits.bytesPerPixel; i++)
        p[i] = uint8_t(word >> (8 * i));
}

void TestImage::Randomize(std::mt19937& rng, int keyPercent) {
    std::uniform_int_distribution<int> percent(0, 99);
    const uint32_t mask = bits.formatIndex == kFormat15 ? 0x7FFF
                          : bits.bytesPerPixel == 4     ? 0xFFFFFFFF
                                                        : (1u << (8 * bits.bytesPerPixel)) - 1;
    for (int32_t y = 0; y < bits.height; y++)
        for (int32_t x = 0; x < bits.width; x++) {
            const int roll = percent(rng);
            uint32_t word = rng() & mask;
            if (roll < keyPercent)
                word = 0;
            else if (roll < 2 * keyPercent)
                word = 1u << (rng() % (8 * bits.bytesPerPixel)) & mask;
            SetWord(x, y, word);
        }
}

uint32_t ColorBits(int32_t formatIndex) {
    return formatIndex == kFormat8
               ? 0xFF
               : PerChannel(formatIndex, 0, 0, [](auto, auto, auto max) { return max; });
}

uint32_t Pack(int32_t formatIndex, uint32_t colour) {
    uint32_t word = 0;
    for (int c = 0; c < 3; c++) {
        const Field& field = kFields[formatIndex][c];
        word |= (colour >> (8 * c) & 255) >> (8 - field.width) << field.shift;
    }
    return word;
}

uint32_t Unpack(int32_t formatIndex, uint32_t word) {
    uint32_t colour = 0;
    for (int c = 0; c < 3; c++) {
        const Field& field = kFields[formatIndex][c];
        colour |= (word >> field.shift & ((1u << field.width) - 1)) << (8 - field.width) << (8 * c);
    }
    return colour;
}

uint32_t ColorOf(const SurfaceBits& bits, uint32_t word) {
    if (bits.formatIndex != kFormat8) return Unpack(bits.formatIndex, word);
    return bits.palette ? PaletteEntryColor(bits.palette->entries[word]) : 0;
}

uint32_t ConvertedWord(const SurfaceBits& bits, uint32_t colour) {
    if (bits.formatIndex == kFormat8) return NearestIndex(bits.palette, colour);
    const uint32_t word = Pack(bits.formatIndex, colour);
    return word == 0 && colour != 0 ? 1 : word;
}

uint32_t Operate(const SurfaceBits& destination, const SurfaceBits& source, int32_t op,
                 uint32_t param, uint32_t s, uint32_t d) {
    const int32_t f = destination.formatIndex;
    if (f == kFormat8 && (op == kBlitOpBlend || op == kBlitOpTint || op == kBlitOpAdd)) {
        const uint32_t cs = ColorOf(source, s);
        uint32_t cd = ColorOf(destination, d);
        // Colours are 0x00BBGGRR: as 24-bit words they have the same three byte channels.
        if (op == kBlitOpAdd) return NearestIndex(destination.palette, Add(kFormat24, cs, cd));
        if (op == kBlitOpTint && d == 0) cd = param & 0xFFFFFF;
        const uint32_t a = Weight(op == kBlitOpTint ? param >> 24 : param);
        return NearestIndex(destination.palette, Blend(kFormat24, cs, cd, a));
    }
    switch (op) {
    case kBlitOpBlend:
        return Blend(f, s, d, Weight(param));
    case kBlitOpInvert:
        return s ^ ColorBits(f);
    case kBlitOpXor:
        return s ^ d;
    case kBlitOpAnd:
        return s & d;
    case kBlitOpOr:
        return s | d;
    case kBlitOpTint:
        return Blend(f, s, d != 0 ? d : Pack(f, param & 0xFFFFFF), Weight(param >> 24));
    case kBlitOpMaskOut:
        return d & ~s;
    case kBlitOpAdd:
        return Add(f, s, d);
    default:
        return s;
    }
}

void Copy(TestImage& destination, int32_t dx, int32_t dy, const TestImage& source, int32_t sx,
          int32_t sy, int32_t width, int32_t height, bool keyed, int32_t op, uint32_t param) {
    for (int32_t y = 0; y < height; y++)
        for (int32_t x = 0; x < width; x++) {
            const uint32_t s = source.Word(sx + x, sy + y);
            if (keyed && s == 0) continue;
            const uint32_t d = destination.Word(dx + x, dy + y);
            destination.SetWord(dx + x, dy + y,
                                Operate(destination.bits, source.bits, op, param, s, d));
        }
}

void Convert(TestImage& destination, int32_t dx, int32_t dy, const TestImage& source, int32_t sx,
             int32_t sy, int32_t width, int32_t height) {
    const bool same = destination.bits.formatIndex == source.bits.formatIndex;
    for (int32_t y = 0; y < height; y++)
        for (int32_t x = 0; x < width; x++) {
            const uint32_t s = source.Word(sx + x, sy + y);
            destination.SetWord(dx + x, dy + y,
                                same ? s
                                     : ConvertedWord(destination.bits, ColorOf(source.bits, s)));
        }
}

namespace {

int32_t SourceOf(int32_t i, int32_t destinationSize, int32_t sourceSize) {
    const uint64_t step = (uint64_t(destinationSize) << 16) / uint64_t(sourceSize);
    for (int32_t j = 0; j < sourceSize; j++)
        if ((uint64_t(j) + 1) * step >> 16 > uint64_t(i)) return j;
    return sourceSize - 1;
}

} // namespace

void Stretch(TestImage& destination, int32_t dx, int32_t dy, const TestImage& source, int32_t sx,
             int32_t sy, int32_t destinationWidth, int32_t destinationHeight, int32_t sourceWidth,
             int32_t sourceHeight) {
    for (int32_t y = 0; y < destinationHeight; y++) {
        const int32_t row = SourceOf(y, destinationHeight, sourceHeight);
        for (int32_t x = 0; x < destinationWidth; x++)
            destination.SetWord(
                dx + x, dy + y,
                source.Word(sx + SourceOf(x, destinationWidth, sourceWidth), sy + row));
    }
}

} // namespace blitter_reference
