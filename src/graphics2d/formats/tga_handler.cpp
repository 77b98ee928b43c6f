#include "graphics2d/formats/tga_handler.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/memory/memory_helpers.h"

namespace {

constexpr uint8_t kTopLeftOrigin = 0x20;

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

bool IsKnownType(int type) {
    return type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
}

// count copies of one pixel of N bytes.
template <size_t N> void Repeat(uint8_t* out, const uint8_t* pixel, int32_t count) {
    for (int32_t i = 0; i < count; i++, out += N)
        std::memcpy(out, pixel, N);
}

bool IsTrueColorDepth(int depth) {
    return depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

} // namespace

CTGAHandler::CTGAHandler() {
    nameId_ = 3804;
    extensionId_ = 3904;
    descriptionId_ = 3704;
}

CImageFormatHandler* CTGAHandler::NewInstance() {
    return new (std::nothrow) CTGAHandler;
}

int CTGAHandler::CanRead(CInStream& stream, uint32_t magic) {
    int type = (magic >> 16) & 0xFF;
    if (!IsKnownType(type)) return 0;
    uint8_t header[kHeaderSize];
    if (stream.Read(header, sizeof(header)) != kResultOk) return 0;
    if (Get16(header + 12) == 0 || Get16(header + 14) == 0) return 0;
    switch (type & 7) {
    case 1:
        return header[1] == 1 && Get16(header + 3) + Get16(header + 5) <= 256;
    case 2:
        return IsTrueColorDepth(header[16]);
    default:
        return header[16] == 8;
    }
}

ImageResult CTGAHandler::Open(CInStream& stream) {
    dataOffset_ = 0;
    hasAlpha_ = 0;
    if (stream.Read(header_, sizeof(header_)) != kResultOk) return kImageBadHeader;
    width_ = Get16(header_ + 12);
    height_ = Get16(header_ + 14);
    if (width_ == 0 || height_ == 0) return kImageBadHeader;
    stream.Seek(header_[0], 1);

    int type = header_[2];
    int pixelDepth = header_[16];
    int first = Get16(header_ + 3);
    int length = Get16(header_ + 5);
    rle_ = type >= 9;
    switch (type) {
    case 1:
    case 9:
        if (header_[1] != 1 || first + length > 256) return kImageBadHeader;
        // Indexes wider than a byte would not fit the 256-entry palette.
        if (pixelDepth != 8) return kImageUnsupportedVariant;
        depth_ = 8;
        fileBytes_ = 1;
        break;
    case 2:
    case 10:
        if (!IsTrueColorDepth(pixelDepth)) return kImageBadHeader;
        // 16-bit pixels are 5-5-5 with an attribute bit on top.
        depth_ = pixelDepth == 16 ? 15 : pixelDepth;
        fileBytes_ = (pixelDepth + 1) / 8;
        hasAlpha_ = pixelDepth == 32 && (header_[17] & 0x0F) == 8;
        break;
    case 3:
    case 11:
        if (pixelDepth != 8) return kImageBadHeader;
        depth_ = 24;
        fileBytes_ = 1;
        break;
    default:
        return kImageBadHeader;
    }
    if (!ComputeRowBytes()) return kImageUnsupportedVariant;
    pitch_ = rowBytes_;
    if (header_[1] == 1) {
        if (ImageResult result = ReadColorMap(stream)) return result;
    }
    dataOffset_ = stream.Tell();
    return kImageOk;
}

ImageResult CTGAHandler::ReadColorMap(CInStream& stream) {
    int first = Get16(header_ + 3);
    int length = Get16(header_ + 5);
    int entryBytes = (header_[7] + 1) / 8;
    if (entryBytes < 1 || entryBytes > 4) return kImageBadHeader;
    if (depth_ != 8) {
        stream.Seek(length * entryBytes, 1);
        return kImageOk;
    }
    if (!AllocPalette(256)) return kImageNoMemory;
    for (int i = first; i < first + length; i++) {
        uint8_t e[4];
        if (stream.Read(e, static_cast<uint32_t>(entryBytes)) != kResultOk) return kImageBadHeader;
        PaletteEntry& entry = palette_->entries[i];
        if (entryBytes == 1) {
            entry = {e[0], e[0], e[0], 0};
        } else if (entryBytes == 2) {
            uint32_t v = Get16(e);
            entry = {static_cast<uint8_t>((v >> 10 & 0x1F) << 3),
                     static_cast<uint8_t>((v >> 5 & 0x1F) << 3),
                     static_cast<uint8_t>((v & 0x1F) << 3), 0};
        } else {
            entry = {e[2], e[1], e[0], 0};
        }
    }
    return kImageOk;
}

int CTGAHandler::DecodePackets(ByteReader& input, uint8_t* row) {
    const size_t bytes = static_cast<size_t>(fileBytes_);
    for (int32_t x = 0; x < width_;) {
        if (packetLeft_ == 0) {
            uint8_t packet;
            if (!input.Byte(&packet)) return 0;
            packetIsRun_ = packet & 0x80;
            packetLeft_ = (packet & 0x7F) + 1;
            if (packetIsRun_ && !input.Bytes(held_, static_cast<uint32_t>(bytes))) return 0;
        }
        int32_t count = std::min(packetLeft_, width_ - x);
        uint8_t* out = row + static_cast<size_t>(x) * bytes;
        if (!packetIsRun_) {
            if (!input.Bytes(out, static_cast<uint32_t>(count * fileBytes_))) return 0;
        } else {
            switch (bytes) {
            case 1:
                std::memset(out, held_[0], static_cast<size_t>(count));
                break;
            case 2:
                Repeat<2>(out, held_, count);
                break;
            case 3:
                Repeat<3>(out, held_, count);
                break;
            default:
                Repeat<4>(out, held_, count);
                break;
            }
        }
        packetLeft_ -= count;
        x += count;
    }
    return 1;
}

void CTGAHandler::ExpandRow(uint8_t* row) {
    if ((header_[2] & 7) == 3) {
        for (int32_t x = width_ - 1; x >= 0; x--) {
            uint8_t grey = row[x];
            row[x * 3] = grey;
            row[x * 3 + 1] = grey;
            row[x * 3 + 2] = grey;
        }
    } else if (depth_ == 15) {
        for (int32_t x = 0; x < width_; x++)
            row[x * 2 + 1] &= 0x7F;
    }
}

ImageResult CTGAHandler::ReadFrame(CInStream& stream, uint8_t* dest, int32_t pitch, uint8_t* mask) {
    if (dataOffset_ == 0) return kImageNotOpen;
    stream.Seek(static_cast<int32_t>(dataOffset_), 0);
    uint8_t* row = nullptr;
    if (!MemAlloc(static_cast<size_t>(rowBytes_) + 16, &row)) return kImageNoMemory;
    packetLeft_ = 0;
    packetIsRun_ = 0;
    const bool topDown = (header_[17] & kTopLeftOrigin) != 0;
    const bool withMask = mask != nullptr && hasAlpha_;
    const uint32_t fileRowBytes = static_cast<uint32_t>(width_) * static_cast<uint32_t>(fileBytes_);
    ByteReader input(stream);
    ImageResult result = kImageOk;
    for (int32_t r = 0; r < height_; r++) {
        if (!(rle_ ? DecodePackets(input, row) : input.Bytes(row, fileRowBytes))) {
            result = kImageDataError;
            break;
        }
        int32_t y = topDown ? r : height_ - 1 - r;
        if (withMask) {
            uint8_t* maskRow = mask + static_cast<ptrdiff_t>(y) * width_;
            for (int32_t x = 0; x < width_; x++)
                maskRow[x] = row[x * 4 + 3];
        }
        ExpandRow(row);
        uint8_t* out = dest + static_cast<ptrdiff_t>(y) * pitch;
        if (NeedsConversion()) {
            ConvertRow(out, row, width_);
        } else {
            std::memcpy(out, row, static_cast<size_t>(rowBytes_));
        }
    }
    MemFree(&row);
    return result;
}
