#include "graphics2d/formats/pcx_handler.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/memory/memory_helpers.h"

namespace {

constexpr uint8_t kManufacturer = 0x0A;
constexpr uint32_t kHeaderSize = 128;
constexpr uint32_t kPaletteSize = 768;

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

} // namespace

CPCXHandler::CPCXHandler() {
    nameId_ = 3802;
    extensionId_ = 3902;
    descriptionId_ = 3702;
}

CImageFormatHandler* CPCXHandler::NewInstance() {
    return new (std::nothrow) CPCXHandler;
}

int CPCXHandler::CanRead(CInStream&, uint32_t magic) {
    return (magic & 0xFF) == kManufacturer;
}

ImageResult CPCXHandler::Open(CInStream& stream) {
    dataOffset_ = 0;
    uint32_t start = stream.Tell();
    uint8_t header[kHeaderSize];
    if (stream.Read(header, sizeof(header)) != kResultOk || header[0] != kManufacturer) {
        return kImageBadHeader;
    }
    int bits = header[3];
    int planes = header[65];
    int32_t width = int32_t{Get16(header + 8)} - Get16(header + 4) + 1;
    int32_t height = int32_t{Get16(header + 10)} - Get16(header + 6) + 1;
    int32_t bytesPerLine = Get16(header + 66);
    if (bits * planes < 8) return kImageBelow8Bits;
    if (bits != 8 || (planes != 1 && planes != 3)) return kImageUnsupportedVariant;
    if (width < 1 || height < 1 || bytesPerLine < width) return kImageUnsupportedVariant;
    if (static_cast<uint64_t>(planes) * static_cast<uint64_t>(bytesPerLine) *
            static_cast<uint64_t>(height) >
        kMaxImageBytes) {
        return kImageUnsupportedVariant;
    }
    width_ = width;
    height_ = height;
    depth_ = bits * planes;
    if (!ComputeRowBytes()) return kImageUnsupportedVariant;
    planes_ = planes;
    bytesPerLine_ = bytesPerLine;
    pitch_ = planes * bytesPerLine;
    encoded_ = header[2] != 0;

    if (depth_ == 8) {
        // The palette is the last 768 bytes of the file, whatever precedes them.
        uint8_t table[kPaletteSize];
        if (stream.GetLength() < uint64_t{start} + kHeaderSize + kPaletteSize)
            return kImageBadHeader;
        if (!AllocPalette(256)) return kImageNoMemory;
        stream.Seek(-static_cast<int32_t>(kPaletteSize), 2);
        if (stream.Read(table, sizeof(table)) != kResultOk) return kImageBadHeader;
        for (int i = 0; i < 256; i++) {
            palette_->entries[i] = {table[i * 3], table[i * 3 + 1], table[i * 3 + 2], 0};
        }
    }
    dataOffset_ = start + kHeaderSize;
    return kImageOk;
}

ImageResult CPCXHandler::ReadFrame(CInStream& stream, uint8_t* dest, int32_t pitch, uint8_t*) {
    if (dataOffset_ == 0) return kImageNotOpen;
    stream.Seek(static_cast<int32_t>(dataOffset_), 0);
    const int32_t lineBytes = planes_ * bytesPerLine_;
    uint8_t* line = nullptr;
    uint8_t* pixels = nullptr;
    if (!MemAlloc(static_cast<size_t>(lineBytes) + 16, &line) ||
        (planes_ > 1 && !MemAlloc(static_cast<size_t>(lineBytes) + 16, &pixels))) {
        MemFree(&line);
        return kImageNoMemory;
    }
    ByteReader input(stream);
    ImageResult result = kImageOk;
    for (int32_t y = 0; y < height_ && result == kImageOk; y++) {
        std::memset(line, 0, static_cast<size_t>(lineBytes));
        if (encoded_) {
            for (int32_t at = 0; at < lineBytes;) {
                uint8_t value;
                if (!input.Byte(&value)) {
                    result = kImageDataError;
                    break;
                }
                if ((value & 0xC0) != 0xC0) {
                    line[at++] = value;
                    continue;
                }
                int32_t count = std::min<int32_t>(value & 0x3F, lineBytes - at);
                if (!input.Byte(&value)) {
                    result = kImageDataError;
                    break;
                }
                std::memset(line + at, value, static_cast<size_t>(count));
                at += count;
            }
        } else if (!input.Bytes(line, static_cast<uint32_t>(lineBytes))) {
            result = kImageDataError;
        }
        if (result != kImageOk) break;

        const uint8_t* row = line;
        if (planes_ == 3) {
            const uint8_t* red = line;
            const uint8_t* green = line + bytesPerLine_;
            const uint8_t* blue = line + 2 * bytesPerLine_;
            for (int32_t x = 0; x < width_; x++) {
                pixels[x * 3] = blue[x];
                pixels[x * 3 + 1] = green[x];
                pixels[x * 3 + 2] = red[x];
            }
            row = pixels;
        }
        uint8_t* out = dest + static_cast<ptrdiff_t>(y) * pitch;
        if (NeedsConversion()) {
            ConvertRow(out, row, width_);
        } else {
            std::memcpy(out, row, static_cast<size_t>(rowBytes_));
        }
    }
    MemFree(&pixels);
    MemFree(&line);
    return result;
}
