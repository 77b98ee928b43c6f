#include "graphics2d/formats/png_handler.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "foundation/memory/memory_helpers.h"
#include "graphics2d/formats/png_glue.h"
#include "platform/libraries/lazy_library.h"

namespace {

constexpr int kHandlerNumber = 6;
constexpr uint8_t kSignature[8] = {137, 'P', 'N', 'G', 13, 10, 26, 10};

} // namespace

CPNGHandler::CPNGHandler() {
    nameId_ = 3800 + kHandlerNumber;
    extensionId_ = 3900 + kHandlerNumber;
    descriptionId_ = 3700 + kHandlerNumber;
}

CPNGHandler::~CPNGHandler() {
    DestroyRead();
}

CImageFormatHandler* CPNGHandler::NewInstance() {
    return new (std::nothrow) CPNGHandler;
}

uint32_t CPNGHandler::GetFormatId() {
    return MakeFormatId('P', 'N', 'G', ' ');
}

uint32_t CPNGHandler::GetWriteDepths() {
    return kWriteDepth8 | kWriteDepth24;
}

int CPNGHandler::CanRead(CInStream&, uint32_t magic) {
    return std::memcmp(&magic, kSignature, 4) == 0;
}

void CPNGHandler::DestroyRead() {
    if (png_ != nullptr) png_destroy_read_struct(&png_, &info_, &endInfo_);
    png_ = nullptr;
    info_ = endInfo_ = nullptr;
}

ImageResult CPNGHandler::Open(CInStream& stream) {
    DestroyRead();
    // A palette of an image opened before must not pass for this one's.
    MemFree(&palette_);
    uint8_t signature[8];
    if (stream.Read(signature, sizeof signature) != kResultOk) return kImageBadHeader;
    if (std::memcmp(signature, kSignature, sizeof signature) != 0) return kImageBadHeader;
    if (!platform::Require(platform::LazyLibrary::Png)) return kImageNotSupported;

    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (png_ == nullptr) return kImageNoMemory;
    info_ = png_create_info_struct(png_);
    endInfo_ = png_create_info_struct(png_);
    if (info_ == nullptr || endInfo_ == nullptr) {
        DestroyRead();
        return kImageNoMemory;
    }
    PngHeader header;
    if (ImageResult result = PngReadHeader(png_, info_, stream, &header)) {
        DestroyRead();
        return result;
    }
    // libpng's own limits keep both sides below a million pixels; the picture as a whole
    // is held to the common limit before anything of its size is allocated.
    width_ = static_cast<int32_t>(header.width);
    height_ = static_cast<int32_t>(header.height);
    depth_ = 8 * header.channels;
    if (!ComputeRowBytes()) {
        DestroyRead();
        return kImageUnsupportedVariant;
    }
    pitch_ = rowBytes_;
    hasAlpha_ = 0;
    if (header.paletteCount > 0) {
        if (!AllocPalette(header.paletteCount)) {
            DestroyRead();
            return kImageNoMemory;
        }
        for (int i = 0; i < header.paletteCount; i++)
            palette_->entries[i] = {header.palette[i].red, header.palette[i].green,
                                    header.palette[i].blue, 0};
    }
    return kImageOk;
}

ImageResult CPNGHandler::ReadFrame(CInStream& stream, uint8_t* dest, int32_t pitch, uint8_t*) {
    if (png_ == nullptr || info_ == nullptr || endInfo_ == nullptr) return kImageNotOpen;
    png_bytep* rows = nullptr;
    uint8_t* image = nullptr;
    const bool convert = NeedsConversion();
    if (!MemAlloc(sizeof(png_bytep) * height_, &rows) ||
        (convert && !MemAlloc(static_cast<size_t>(rowBytes_) * height_, &image))) {
        MemFree(&rows);
        DestroyRead();
        return kImageNoMemory;
    }
    for (int32_t y = 0; y < height_; y++)
        rows[y] = convert ? image + static_cast<size_t>(y) * rowBytes_
                          : dest + static_cast<ptrdiff_t>(y) * pitch;
    ImageResult result = PngReadRows(png_, stream, rows);
    if (result == kImageOk) {
        // The pixels are complete; damaged chunks after them cost nothing.
        PngReadEnd(png_, endInfo_);
        if (convert) {
            for (int32_t y = 0; y < height_; y++)
                ConvertRow(dest + static_cast<ptrdiff_t>(y) * pitch, rows[y], width_);
        }
    }
    MemFree(&image);
    MemFree(&rows);
    DestroyRead();
    return result;
}

ImageResult CPNGHandler::WriteImage(COutStream& stream, const uint8_t* pixels, int32_t width,
                                    int32_t height, int depth, int32_t pitch,
                                    const ImagePalette* palette, uint32_t) {
    if (pixels == nullptr || width <= 0 || height <= 0) return kImageBadArgument;
    if (depth != 8 && depth != 24) return kImageBadWriteDepth;
    if (depth == 8 && palette == nullptr) return kImagePaletteMissing;
    if (!platform::Require(platform::LazyLibrary::Png)) return kImageNotSupported;
    png_color colors[256];
    if (depth == 8) {
        for (int i = 0; i < 256; i++)
            colors[i] = {palette->entries[i].red, palette->entries[i].green,
                         palette->entries[i].blue};
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (png == nullptr) return kImageNoMemory;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return kImageNoMemory;
    }
    ImageResult result = PngWrite(png, info, stream, {pixels, width, height, pitch, depth, colors});
    png_destroy_write_struct(&png, &info);
    return result;
}
