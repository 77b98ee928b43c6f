#include "graphics2d/formats/image_format_handler.h"

#include <algorithm>
#include <cstring>

#include "foundation/memory/memory_helpers.h"
#include "platform/kernel/string_table.h"

namespace {

// Colour-table cells not yet looked up. Index 253 itself is stored as this value too, so
// a cell holding it is looked up again on every use, still answering 253.
constexpr uint8_t kUnresolved = 0xFD;
constexpr uint32_t kColorTableSize = 65536;

uint16_t Load16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void Store16(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

uint32_t Pack555(uint32_t r, uint32_t g, uint32_t b) {
    return (r & 0xF8) << 7 | (g & 0xF8) << 2 | b >> 3;
}

uint32_t Pack565(uint32_t r, uint32_t g, uint32_t b) {
    return (r & 0xF8) << 8 | (g & 0xFC) << 3 | b >> 3;
}

// Red, green and blue of a 5-5-5 (depth 15) or 5-6-5 pixel, the low bits zero.
struct Rgb {
    uint32_t r, g, b;
};

Rgb Unpack16(int depth, uint32_t v) {
    if (depth == 15) return {(v >> 7) & 0xF8, (v >> 2) & 0xF8, (v << 3) & 0xFF};
    return {(v >> 8) & 0xF8, (v >> 3) & 0xFC, (v << 3) & 0xFF};
}

bool SameColors(const ImagePalette* a, const ImagePalette* b, int count) {
    for (int i = 0; i < count; i++) {
        const PaletteEntry& x = a->entries[i];
        const PaletteEntry& y = b->entries[i];
        if (x.red != y.red || x.green != y.green || x.blue != y.blue) return false;
    }
    return true;
}

// Copies the header and the entries a palette declares; the rest of the record is cleared.
void CopyPalette(ImagePalette* dest, const ImagePalette* src) {
    std::memset(dest, 0, sizeof(ImagePalette));
    std::memcpy(dest, src, 4 + size_t{src->count} * 4);
}

} // namespace

CImageFormatHandler::~CImageFormatHandler() {
    MemFree(&palette_);
    FreeConversionTables();
    MemFree(&target_);
}

void CImageFormatHandler::Release() {
    delete this;
}

int CImageFormatHandler::GetName(HINSTANCE module, char* buffer, int size) {
    if (buffer == nullptr || nameId_ == 0) return 0;
    return LoadStringA(module, nameId_, buffer, size);
}

int CImageFormatHandler::GetDescription(HINSTANCE module, char* buffer, int size) {
    if (buffer == nullptr || descriptionId_ == 0) return 0;
    return LoadStringA(module, descriptionId_, buffer, size);
}

int CImageFormatHandler::GetExtension(HINSTANCE module, char* buffer, int size) {
    if (buffer == nullptr || extensionId_ == 0) return 0;
    return LoadStringA(module, extensionId_, buffer, size);
}

uint32_t CImageFormatHandler::GetWriteDepths() {
    return kWriteDepthsAll;
}
void CImageFormatHandler::SetQuality(int) {}
int CImageFormatHandler::IsStillFormat() {
    return 0;
}
int CImageFormatHandler::IsAnimationFormat() {
    return 0;
}
int CImageFormatHandler::CanWriteImage() {
    return 0;
}
int CImageFormatHandler::CanWriteAnimation() {
    return 0;
}

ImageResult CImageFormatHandler::WriteImage(COutStream&, const uint8_t*, int32_t, int32_t, int,
                                            int32_t, const ImagePalette*, uint32_t) {
    return kImageNotSupported;
}

void CImageFormatHandler::EndRead(CInStream&) {}
void CImageFormatHandler::EndWrite(COutStream&) {}
int32_t CImageFormatHandler::GetWidth() {
    return width_;
}
int32_t CImageFormatHandler::GetHeight() {
    return height_;
}
int32_t CImageFormatHandler::GetPitch() {
    return pitch_;
}
int CImageFormatHandler::GetDepth() {
    return depth_;
}

uint64_t CImageFormatHandler::GetImageSize() {
    return static_cast<uint64_t>(std::max(pitch_, 0)) * static_cast<uint64_t>(std::max(height_, 0));
}

ImagePalette* CImageFormatHandler::GetPalette() {
    return palette_;
}
int CImageFormatHandler::HasAlpha() {
    return hasAlpha_;
}
int CImageFormatHandler::CanSeekFrames() {
    return 0;
}
int CImageFormatHandler::GetFrameCount() {
    return frameCount_;
}
int CImageFormatHandler::GetCurrentFrame() {
    return currentFrame_;
}

void CImageFormatHandler::GetFrameRect(RECT* rect) {
    rect->left = 0;
    rect->top = 0;
    rect->right = width_;
    rect->bottom = height_;
}

const void* CImageFormatHandler::GetUserData() {
    return nullptr;
}
uint32_t CImageFormatHandler::GetUserDataSize() {
    return 0;
}
uint32_t CImageFormatHandler::GetTotalTime() {
    return totalTime_;
}
uint32_t CImageFormatHandler::GetFrameDelay(int) {
    return frameDelay_;
}
uint32_t CImageFormatHandler::GetAnimOption1() {
    return 1;
}
uint32_t CImageFormatHandler::GetAnimOption2() {
    return 0;
}
void CImageFormatHandler::RewindFrames() {}

ImageResult CImageFormatHandler::BeginWrite(COutStream&, int32_t, int32_t, int, int, uint32_t,
                                            uint32_t, uint32_t, const void*, uint32_t) {
    return kImageNotSupported;
}

ImageResult CImageFormatHandler::WriteFrame(COutStream&, const uint8_t*, const uint8_t*, int32_t,
                                            int32_t, int32_t, int, const ImagePalette*, uint32_t,
                                            uint32_t) {
    return kImageNotSupported;
}

void CImageFormatHandler::EndWriteFrames(COutStream&, uint32_t) {}

int CImageFormatHandler::ByteReader::Fill() {
    uint32_t got = 0;
    stream_.ReadCounted(buffer_, sizeof(buffer_), &got);
    cursor_ = buffer_;
    end_ = buffer_ + got;
    return got != 0;
}

int CImageFormatHandler::ByteReader::BytesAcrossFills(void* dest, uint32_t count) {
    auto* out = static_cast<uint8_t*>(dest);
    while (count > 0) {
        if (cursor_ == end_ && !Fill()) return 0;
        uint32_t take = std::min(count, static_cast<uint32_t>(end_ - cursor_));
        std::memcpy(out, cursor_, take);
        cursor_ += take;
        out += take;
        count -= take;
    }
    return 1;
}

int CImageFormatHandler::ComputeRowBytes() {
    if (width_ <= 0 || height_ <= 0) return 0;
    int64_t width = width_;
    int64_t rowBytes;
    switch (depth_) {
    case 1:
        rowBytes = ((width + 15) & ~int64_t{15}) / 8;
        break;
    case 4:
        rowBytes = ((width + 1) & ~int64_t{1}) / 2;
        break;
    case 15:
    case 16:
        rowBytes = width * 2;
        break;
    case 24:
        rowBytes = width * 3;
        break;
    case 32:
        rowBytes = width * 4;
        break;
    default:
        rowBytes = width;
        break;
    }
    if (static_cast<uint64_t>(rowBytes) * static_cast<uint64_t>(height_) > kMaxImageBytes) return 0;
    bytesPerPixel_ = (depth_ + 1) / 8;
    rowBytes_ = static_cast<int32_t>(rowBytes);
    return 1;
}

int CImageFormatHandler::AllocPalette(int count) {
    if (palette_ == nullptr) {
        if (!MemCalloc(sizeof(ImagePalette), &palette_)) return 0;
        palette_->version = kPaletteVersion;
    } else {
        std::memset(palette_->entries, 0, sizeof(palette_->entries));
    }
    palette_->count = static_cast<uint16_t>(std::clamp(count, 0, 256));
    return 1;
}

int CImageFormatHandler::FindNearestEntry(const ImagePalette* palette, int red, int green,
                                          int blue) {
    uint32_t colour = static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 |
                      static_cast<uint32_t>(blue) << 16;
    return static_cast<int>(Palette_FindNearest(palette->entries, palette->count, colour));
}

void CImageFormatHandler::FreeConversionTables() {
    MemFree(&sourceCopy_);
    MemFree(&indexMap_);
    MemFree(&colorTable_);
}

ImageResult CImageFormatHandler::SetOutputFormat(int depth, const ImagePalette* palette) {
    if (depth == 15 || depth == 16 || depth == 24 || depth == 32) {
        outputDepth_ = depth;
        outputBytesPerPixel_ = (depth + 1) / 8;
        MemFree(&target_);
        return PrepareTables();
    }
    if (depth != 8 || palette == nullptr || palette->count > 256) return kImageBadArgument;
    outputDepth_ = 8;
    outputBytesPerPixel_ = 1;
    if (depth_ == 8 && palette == palette_) {
        FreeConversionTables();
        conversionNeeded_ = 0;
        return kImageOk;
    }
    if (target_ == nullptr) {
        if (!MemAlloc(sizeof(ImagePalette), &target_)) return kImageNoMemory;
        CopyPalette(target_, palette);
        targetChanged_ = 1;
    } else if (std::memcmp(target_, palette, 4 + size_t{palette->count} * 4) != 0) {
        CopyPalette(target_, palette);
        targetChanged_ = 1;
    }
    return PrepareTables();
}

ImageResult CImageFormatHandler::PrepareTables() {
    conversionNeeded_ = outputDepth_ != depth_;
    if (outputDepth_ != 8 || target_ == nullptr) return kImageOk;
    if (depth_ <= 8) {
        if (palette_ == nullptr) return kImageOk;
        return PrepareIndexMap();
    }
    if (colorTable_ == nullptr) {
        if (!MemAlloc(kColorTableSize, &colorTable_)) return kImageNoMemory;
        targetChanged_ = 1;
    }
    if (targetChanged_) {
        std::memset(colorTable_, kUnresolved, kColorTableSize);
        for (int i = 0; i < target_->count; i++) {
            const PaletteEntry& e = target_->entries[i];
            colorTable_[Pack565(e.red, e.green, e.blue)] = static_cast<uint8_t>(i);
        }
        targetChanged_ = 0;
    }
    return kImageOk;
}

ImageResult CImageFormatHandler::PrepareIndexMap() {
    if (sourceCopy_ != nullptr && indexMap_ != nullptr && !targetChanged_ &&
        sourceCopy_->count == palette_->count &&
        SameColors(sourceCopy_, palette_, palette_->count)) {
        conversionNeeded_ = 1;
        return kImageOk;
    }
    targetChanged_ = 0;
    // The target begins with every colour of the image: indexes stay as they are. (A target
    // with fewer entries than the image is mapped, so no index can point past its end.)
    if (palette_->count < target_->count && SameColors(palette_, target_, palette_->count)) {
        MemFree(&sourceCopy_);
        MemFree(&indexMap_);
        return kImageOk;
    }
    if (sourceCopy_ == nullptr && !MemAlloc(sizeof(ImagePalette), &sourceCopy_))
        return kImageNoMemory;
    if (indexMap_ == nullptr && !MemAlloc(256, &indexMap_)) return kImageNoMemory;
    CopyPalette(sourceCopy_, palette_);
    for (int i = 0; i < 256; i++) {
        const PaletteEntry& e = palette_->entries[i];
        indexMap_[i] = static_cast<uint8_t>(FindNearestEntry(target_, e.red, e.green, e.blue));
    }
    conversionNeeded_ = 1;
    return kImageOk;
}

uint8_t CImageFormatHandler::ColorTableLookup(uint32_t key, uint32_t red, uint32_t green,
                                              uint32_t blue) {
    uint8_t index = colorTable_[key];
    if (index == kUnresolved) {
        index = static_cast<uint8_t>(FindNearestEntry(
            target_, static_cast<int>(red), static_cast<int>(green), static_cast<int>(blue)));
        colorTable_[key] = index;
    }
    return index;
}

void CImageFormatHandler::ConvertRow(uint8_t* dest, const uint8_t* src, int count) {
    static const ImagePalette kNoPalette = {};
    const ImagePalette* palette = palette_ != nullptr ? palette_ : &kNoPalette;
    int inBytes = (depth_ + 1) / 8;
    switch (outputDepth_) {
    case 8:
        if (depth_ <= 8) {
            if (indexMap_ == nullptr) {
                std::memcpy(dest, src, static_cast<size_t>(count));
            } else {
                for (int x = 0; x < count; x++)
                    dest[x] = indexMap_[src[x]];
            }
            return;
        }
        if (colorTable_ == nullptr) return;
        for (int x = 0; x < count; x++, src += inBytes) {
            if (depth_ == 15 || depth_ == 16) {
                uint32_t p = Load16(src);
                uint32_t key = depth_ == 16 ? p : (p & 0x7FE0) << 1 | (p & 0x1F);
                dest[x] = ColorTableLookup(key, (key >> 11) << 3, ((key >> 5) & 0x3F) << 2,
                                           (key & 0x1F) << 3);
            } else {
                dest[x] = ColorTableLookup(Pack565(src[2], src[1], src[0]), src[2], src[1], src[0]);
            }
        }
        return;
    case 15:
    case 16:
        for (int x = 0; x < count; x++, src += inBytes, dest += 2) {
            uint32_t value;
            if (depth_ <= 8) {
                const PaletteEntry& e = palette->entries[*src];
                value = outputDepth_ == 15 ? Pack555(e.red, e.green, e.blue)
                                           : Pack565(e.red, e.green, e.blue);
            } else if (depth_ == outputDepth_) {
                value = Load16(src);
            } else if (depth_ == 16) {
                uint32_t p = Load16(src);
                value = (p >> 1 & 0x7FE0) | (p & 0x1F);
            } else if (depth_ == 15) {
                uint32_t p = Load16(src);
                value = (p & 0xFFE0) << 1 | (p & 0x1F);
            } else {
                value = outputDepth_ == 15 ? Pack555(src[2], src[1], src[0])
                                           : Pack565(src[2], src[1], src[0]);
            }
            Store16(dest, value);
        }
        return;
    case 24:
    case 32: {
        int outBytes = outputDepth_ / 8;
        if (depth_ == outputDepth_) {
            std::memcpy(dest, src, static_cast<size_t>(count) * static_cast<size_t>(outBytes));
            return;
        }
        for (int x = 0; x < count; x++, src += inBytes, dest += outBytes) {
            if (depth_ <= 8) {
                const PaletteEntry& e = palette->entries[*src];
                dest[0] = e.blue;
                dest[1] = e.green;
                dest[2] = e.red;
            } else if (depth_ >= 24) {
                dest[0] = src[0];
                dest[1] = src[1];
                dest[2] = src[2];
            } else {
                Rgb c = Unpack16(depth_, Load16(src));
                dest[0] = static_cast<uint8_t>(c.b);
                dest[1] = static_cast<uint8_t>(c.g);
                dest[2] = static_cast<uint8_t>(c.r);
            }
        }
        return;
    }
    default:
        return;
    }
}
