#include "graphics2d/surfaces/packed_dib_surface.h"

#include <cstdint>

#include "graphics2d/palette/palette.h"

namespace {

constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kMaskBytes = 12;
constexpr uint32_t kCompressionRGB = 0;
constexpr uint32_t kCompressionBitFields = 3;

uint32_t ReadU32(const uint8_t* p) {
    return p[0] | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The depth the masks after the header describe at 16 and 32 bits, 0 for any other.
int32_t DepthOfMasks(const uint8_t* masks, uint32_t bitCount) {
    const uint32_t red = ReadU32(masks), green = ReadU32(masks + 4), blue = ReadU32(masks + 8);
    if (bitCount == 32) return red == 0xFF0000 && green == 0xFF00 && blue == 0xFF ? 32 : 0;
    if (blue != 0x1F) return 0;
    if (red == 0x7C00 && green == 0x3E0) return 15;
    if (red == 0xF800 && green == 0x7E0) return 16;
    return 0;
}

} // namespace

cPackedDIBSurface::cPackedDIBSurface(void* dib, size_t dibSize, void* bits, size_t bitsSize,
                                     int makePalette) {
    uint8_t* header = static_cast<uint8_t*>(dib);
    if (!header || dibSize < kInfoHeaderSize) return;
    const int32_t width = int32_t(ReadU32(header + 4));
    const int32_t height = int32_t(ReadU32(header + 8));
    const uint32_t bitCount = uint32_t(header[14] | header[15] << 8);
    const uint32_t compression = ReadU32(header + 16);
    const uint32_t colorsUsed = ReadU32(header + 32);
    if (compression != kCompressionRGB && compression != kCompressionBitFields) return;
    if (width <= 0 || height == 0 || height == INT32_MIN) return;

    int32_t depth = int32_t(bitCount);
    uint32_t colorCount = 0;
    size_t tableBytes = 0;
    if (compression == kCompressionBitFields) {
        if (bitCount != 16 && bitCount != 24 && bitCount != 32) return;
        if (dibSize < kInfoHeaderSize + kMaskBytes) return;
        if (bitCount != 24) depth = DepthOfMasks(header + kInfoHeaderSize, bitCount);
        if (depth == 0) return;
        tableBytes = kMaskBytes;
    } else if (bitCount == 8) {
        colorCount = colorsUsed == 0 || colorsUsed > 256 ? 256 : colorsUsed;
        tableBytes = size_t(colorCount) * 4;
    } else if (bitCount == 16) {
        depth = 15;
    } else if (bitCount != 24 && bitCount != 32) {
        return;
    }
    if (dibSize < kInfoHeaderSize + tableBytes) return;

    const int64_t pitch = SurfacePitch(width, depth);
    const int64_t rows = height < 0 ? -int64_t(height) : height;
    if (pitch > kMaxSurfaceBytes || pitch * rows > kMaxSurfaceBytes) return;
    const size_t rowBytes = size_t(pitch * rows);
    uint8_t* start = static_cast<uint8_t*>(bits);
    if (start) {
        if (bitsSize < rowBytes) return;
    } else {
        if (dibSize - kInfoHeaderSize - tableBytes < rowBytes) return;
        start = header + kInfoHeaderSize + tableBytes;
    }

    if (colorCount && makePalette) {
        RawPalette raw{};
        raw.version = kPaletteVersion;
        raw.count = kPaletteEntryCount;
        Palette_FromColorTable(raw.entries, header + kInfoHeaderSize, colorCount);
        bits_.palette = Palette_AddRef(&raw);
    }
    SetFormat(depth);
    bits_.width = width;
    bits_.height = int32_t(rows);
    bits_.pitch = int32_t(pitch);
    bits_.bottomUp = height > 0;
    bits_.signedPitch = bits_.bottomUp ? -bits_.pitch : bits_.pitch;
    bits_.memoryBlock = start;
    bits_.pixels = bits_.bottomUp ? start + (rows - 1) * pitch : start;
    ResetClipRect();
}

cPackedDIBSurface::~cPackedDIBSurface() {
    bits_.memoryBlock = nullptr;
    bits_.pixels = nullptr;
}
