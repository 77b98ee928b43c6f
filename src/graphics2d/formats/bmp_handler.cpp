#include "graphics2d/formats/bmp_handler.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "foundation/memory/memory_helpers.h"

namespace {

constexpr uint16_t kFileTag = 0x4D42; // "BM"
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitFields = 3;

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Get32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void Put16(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* p, uint32_t value) {
    Put16(p, value);
    Put16(p + 2, value >> 16);
}

// Bytes of one stored row: padded to a multiple of 4.
uint64_t Stride(int64_t width, uint32_t bitsPerPixel) {
    return (static_cast<uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
}

} // namespace

CBMPHandler::CBMPHandler() {
    nameId_ = 3801;
    extensionId_ = 3901;
    descriptionId_ = 3701;
}

CImageFormatHandler* CBMPHandler::NewInstance() {
    return new (std::nothrow) CBMPHandler;
}

int CBMPHandler::CanRead(CInStream& stream, uint32_t magic) {
    if ((magic & 0xFFFF) != kFileTag) return magic == kCoreHeaderSize || magic == kInfoHeaderSize;
    uint32_t start = stream.Tell();
    uint32_t headerSize = 0;
    if (stream.Seek(static_cast<int32_t>(kFileHeaderSize), 1) != start + kFileHeaderSize) return 0;
    if (stream.ReadLong(&headerSize) != kResultOk) return 0;
    return headerSize == kCoreHeaderSize || headerSize == kInfoHeaderSize;
}

ImageResult CBMPHandler::Open(CInStream& stream) {
    compression_ = kCompressionNone;
    dataOffset_ = 0;
    topDown_ = 0;
    uint32_t start = stream.Tell();
    uint32_t headerSize = 0;
    if (stream.ReadLong(&headerSize) != kResultOk) return kImageBadHeader;
    bool fileHeader = (headerSize & 0xFFFF) == kFileTag;
    uint32_t pixelOffset = 0;
    if (fileHeader) {
        uint8_t rest[10];
        if (stream.Read(rest, sizeof(rest)) != kResultOk) return kImageBadHeader;
        pixelOffset = Get32(rest + 6);
        if (stream.ReadLong(&headerSize) != kResultOk) return kImageBadHeader;
    }
    ImageResult result = kImageBadHeader;
    if (headerSize == kCoreHeaderSize) result = ReadCoreHeader(stream);
    if (headerSize == kInfoHeaderSize) result = ReadInfoHeader(stream);
    if (result != kImageOk) return result;

    uint32_t offset = stream.Tell();
    // Writers may put the pixels elsewhere than right after the colour table (a gap, or a
    // table shorter than the colour count says): the file header knows.
    uint64_t declared = uint64_t{start} + pixelOffset;
    if (fileHeader && pixelOffset >= kFileHeaderSize + headerSize &&
        declared < stream.GetLength()) {
        offset = static_cast<uint32_t>(declared);
    }
    dataOffset_ = offset;
    return kImageOk;
}

ImageResult CBMPHandler::CheckSize(uint32_t bitsPerPixel) {
    uint64_t stride = Stride(width_, bitsPerPixel);
    if (stride * static_cast<uint64_t>(height_) > kMaxImageBytes || !ComputeRowBytes()) {
        return kImageUnsupportedVariant;
    }
    pitch_ = static_cast<int32_t>(stride);
    return kImageOk;
}

ImageResult CBMPHandler::ReadCoreHeader(CInStream& stream) {
    uint8_t header[8];
    if (stream.Read(header, sizeof(header)) != kResultOk) return kImageBadHeader;
    width_ = Get16(header);
    height_ = Get16(header + 2);
    uint16_t planes = Get16(header + 4);
    uint16_t bits = Get16(header + 6);
    if (width_ == 0 || height_ == 0) return kImageBadHeader;
    if (planes != 1) return kImageUnsupportedVariant;
    if (bits < 8) return kImageBelow8Bits;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return kImageUnsupportedVariant;
    depth_ = bits == 16 ? 15 : bits;
    if (ImageResult result = CheckSize(bits)) return result;
    if (bits == 8) {
        uint8_t table[256 * 3];
        if (!AllocPalette(256)) return kImageNoMemory;
        if (stream.Read(table, sizeof(table)) != kResultOk) return kImageBadHeader;
        for (int i = 0; i < 256; i++) {
            palette_->entries[i] = {table[i * 3 + 2], table[i * 3 + 1], table[i * 3], 0};
        }
    }
    return kImageOk;
}

ImageResult CBMPHandler::ReadInfoHeader(CInStream& stream) {
    uint8_t header[kInfoHeaderSize - 4];
    if (stream.Read(header, sizeof(header)) != kResultOk) return kImageBadHeader;
    int32_t width = static_cast<int32_t>(Get32(header));
    int32_t height = static_cast<int32_t>(Get32(header + 4));
    uint16_t planes = Get16(header + 8);
    uint16_t bits = Get16(header + 10);
    uint32_t compression = Get32(header + 12);
    uint32_t colorsUsed = Get32(header + 28);
    if (width <= 0 || height == 0 || height == INT32_MIN) return kImageBadHeader;
    if (height < 0) {
        topDown_ = 1;
        height = -height;
    }
    width_ = width;
    height_ = height;
    if (planes != 1) return kImageUnsupportedVariant;
    if (bits < 8 || compression == kCompressionRle4) return kImageBelow8Bits;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return kImageUnsupportedVariant;
    if (compression != kCompressionNone && compression != kCompressionRle8 &&
        compression != kCompressionBitFields) {
        return kImageUnsupportedVariant;
    }
    if (compression == kCompressionRle8 && bits != 8) return kImageUnsupportedVariant;
    compression_ = compression;
    depth_ = bits;

    if (bits == 8) {
        if (!AllocPalette(256)) return kImageNoMemory;
        uint64_t count = colorsUsed == 0 ? 256 : colorsUsed;
        uint32_t taken = static_cast<uint32_t>(std::min<uint64_t>(count, 256));
        uint8_t table[256 * 4];
        if (stream.Read(table, taken * 4) != kResultOk) return kImageBadHeader;
        for (uint32_t i = 0; i < taken; i++) {
            palette_->entries[i] = {table[i * 4 + 2], table[i * 4 + 1], table[i * 4],
                                    table[i * 4 + 3]};
        }
        uint64_t skipped = (count - taken) * 4;
        if (skipped > 0) {
            uint64_t end = uint64_t{stream.Tell()} + skipped;
            if (end > stream.GetLength() || skipped > INT32_MAX) return kImageBadHeader;
            stream.Seek(static_cast<int32_t>(skipped), 1);
        }
    } else if (compression == kCompressionBitFields) {
        uint8_t masks[12];
        if (stream.Read(masks, sizeof(masks)) != kResultOk) return kImageBadHeader;
        uint32_t red = Get32(masks), green = Get32(masks + 4), blue = Get32(masks + 8);
        if (bits == 16) {
            if (red == 0x7C00 && green == 0x03E0 && blue == 0x001F) {
                depth_ = 15;
            } else if (red != 0xF800 || green != 0x07E0 || blue != 0x001F) {
                return kImageUnsupportedVariant;
            }
        } else if (bits == 32 && (red != 0xFF0000 || green != 0xFF00 || blue != 0xFF)) {
            return kImageUnsupportedVariant;
        }
    } else if (bits == 16) {
        depth_ = 15;
    }
    return CheckSize(bits);
}

void CBMPHandler::PlaceRow(uint8_t* dest, int32_t pitch, int32_t y, const uint8_t* row) {
    int32_t target = topDown_ ? y : height_ - 1 - y;
    uint8_t* out = dest + static_cast<ptrdiff_t>(target) * pitch;
    if (NeedsConversion()) {
        ConvertRow(out, row, width_);
    } else {
        std::memcpy(out, row, static_cast<size_t>(rowBytes_));
    }
}

ImageResult CBMPHandler::ReadFrame(CInStream& stream, uint8_t* dest, int32_t pitch, uint8_t*) {
    if (dataOffset_ == 0) return kImageNotOpen;
    stream.Seek(static_cast<int32_t>(dataOffset_), 0);
    uint8_t* row = nullptr;
    if (!MemCalloc(static_cast<size_t>(pitch_) + 16, &row)) return kImageNoMemory;
    ImageResult result = kImageOk;
    if (compression_ == kCompressionRle8) {
        result = DecodeRle8(stream, row, dest, pitch);
    } else {
        for (int32_t y = 0; y < height_; y++) {
            if (stream.Read(row, static_cast<uint32_t>(pitch_)) != kResultOk) {
                result = kImageDataError;
                break;
            }
            PlaceRow(dest, pitch, y, row);
        }
    }
    MemFree(&row);
    return result;
}

// Runs, literals and deltas are clipped to the row and the picture: what lies outside is
// read and dropped.
ImageResult CBMPHandler::DecodeRle8(CInStream& stream, uint8_t* row, uint8_t* dest, int32_t pitch) {
    ByteReader input(stream);
    const int32_t width = width_;
    int32_t x = 0;
    int32_t y = 0;
    uint8_t literal[256];
    while (y < height_) {
        uint8_t code[2];
        if (!input.Bytes(code, 2)) return kImageDataError;
        if (code[0] != 0) {
            int32_t count = std::min<int32_t>(code[0], width - x);
            std::memset(row + x, code[1], static_cast<size_t>(count));
            x += count;
            continue;
        }
        switch (code[1]) {
        case 0:
            PlaceRow(dest, pitch, y++, row);
            std::memset(row, 0, static_cast<size_t>(width));
            x = 0;
            break;
        case 1:
            PlaceRow(dest, pitch, y, row);
            return kImageOk;
        case 2: {
            uint8_t delta[2];
            if (!input.Bytes(delta, 2)) return kImageDataError;
            x = std::min<int32_t>(x + delta[0], width);
            if (delta[1] == 0) break;
            PlaceRow(dest, pitch, y, row);
            std::memset(row, 0, static_cast<size_t>(width));
            int32_t next = y + delta[1];
            for (y++; y < next && y < height_; y++)
                PlaceRow(dest, pitch, y, row);
            break;
        }
        default: {
            uint32_t count = code[1];
            if (!input.Bytes(literal, count + (count & 1))) return kImageDataError;
            int32_t kept = std::min<int32_t>(static_cast<int32_t>(count), width - x);
            std::memcpy(row + x, literal, static_cast<size_t>(kept));
            x += kept;
            break;
        }
        }
    }
    return kImageOk;
}

ImageResult CBMPHandler::WriteImage(COutStream& stream, const uint8_t* pixels, int32_t width,
                                    int32_t height, int depth, int32_t pitch,
                                    const ImagePalette* palette, uint32_t) {
    if (pixels == nullptr || width <= 0 || height <= 0) return kImageBadArgument;
    if (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32) {
        return kImageBadWriteDepth;
    }
    uint32_t bits = depth == 15 ? 16 : static_cast<uint32_t>(depth);
    uint64_t stride = Stride(width, bits);
    if (stride * static_cast<uint64_t>(height) > kMaxImageBytes) return kImageBadArgument;
    if (depth == 8 && (palette == nullptr || palette->count < 256)) return kImagePaletteMissing;

    uint32_t headerBytes =
        kFileHeaderSize + kInfoHeaderSize + (depth == 8 ? 1024 : 0) + (depth == 16 ? 12 : 0);
    uint32_t imageBytes = static_cast<uint32_t>(stride * static_cast<uint64_t>(height));
    uint8_t header[kFileHeaderSize + kInfoHeaderSize + 1024] = {};
    Put16(header, kFileTag);
    Put32(header + 2, headerBytes + imageBytes);
    Put32(header + 10, headerBytes);
    uint8_t* info = header + kFileHeaderSize;
    Put32(info, kInfoHeaderSize);
    Put32(info + 4, static_cast<uint32_t>(width));
    Put32(info + 8, static_cast<uint32_t>(height));
    Put16(info + 12, 1);
    Put16(info + 14, bits);
    Put32(info + 16, depth == 16 ? kCompressionBitFields : kCompressionNone);
    Put32(info + 20, imageBytes);
    uint8_t* table = info + kInfoHeaderSize;
    if (depth == 8) {
        for (int i = 0; i < 256; i++) {
            const PaletteEntry& e = palette->entries[i];
            table[i * 4] = e.blue;
            table[i * 4 + 1] = e.green;
            table[i * 4 + 2] = e.red;
        }
    } else if (depth == 16) {
        Put32(table, 0xF800);
        Put32(table + 4, 0x07E0);
        Put32(table + 8, 0x001F);
    }
    if (stream.Write(header, headerBytes) != kResultOk) return kImageWriteError;

    uint8_t* row = nullptr;
    if (!MemAlloc(static_cast<size_t>(stride), &row)) return kImageNoMemory;
    size_t taken = std::min<size_t>(static_cast<size_t>(stride),
                                    static_cast<size_t>(std::abs(int64_t{pitch})));
    std::memset(row + taken, 0, static_cast<size_t>(stride) - taken);
    ImageResult result = kImageOk;
    for (int32_t y = height - 1; y >= 0; y--) {
        std::memcpy(row, pixels + static_cast<ptrdiff_t>(y) * pitch, taken);
        if (stream.Write(row, static_cast<uint32_t>(stride)) != kResultOk) {
            result = kImageWriteError;
            break;
        }
    }
    MemFree(&row);
    return result;
}
