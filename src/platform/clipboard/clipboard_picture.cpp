#include "platform/clipboard/clipboard_picture.h"

#include <png.h>

#include <cstring>

#include "platform/clipboard/clipboard.h"
#include "platform/clipboard/clipboard_dib.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/memory.h"
#include "platform/libraries/lazy_library.h"

namespace platform {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

uint32_t ReadDword(const uint8_t* p) {
    return p[0] | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

void WriteDword(uint8_t* p, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(value >> (8 * i));
}

// Bytes of each row of a 24-bit bitmap: whole pixels, padded to four bytes.
size_t RowBytes24(uint32_t width) {
    return (size_t{width} * 3 + 3) & ~size_t{3};
}

HGLOBAL CopyBlock(const uint8_t* bytes, size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    auto* target = static_cast<uint8_t*>(GlobalLock(block));
    if (target == nullptr) {
        GlobalFree(block);
        return 0;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(block);
    return block;
}

// A 24-bit bottom-up packed bitmap, transparent pixels shown over white.
HGLOBAL DibFromPng(const std::vector<uint8_t>& file) {
    if (!Require(LazyLibrary::Png)) return 0;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return 0;
    if (image.width == 0 || image.height == 0 ||
        int64_t{image.width} * image.height > kMaxDesktopPicturePixels) {
        png_image_free(&image);
        return 0;
    }
    image.format = PNG_FORMAT_BGR;
    const size_t stride = RowBytes24(image.width);
    std::vector<uint8_t> dib(kInfoHeaderSize + stride * image.height);
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, dib.data() + kInfoHeaderSize,
                               -static_cast<png_int_32>(stride), nullptr)) {
        png_image_free(&image);
        return 0;
    }
    uint8_t* header = dib.data();
    WriteDword(header, kInfoHeaderSize);
    WriteDword(header + 4, image.width);
    WriteDword(header + 8, image.height);
    header[12] = 1;  // planes
    header[14] = 24; // bits per pixel
    WriteDword(header + 20, uint32_t(stride * image.height));
    return CopyBlock(dib.data(), dib.size());
}

// A BMP file is a packed bitmap behind a file header.
HGLOBAL DibFromBmp(const std::vector<uint8_t>& file) {
    const uint8_t* packed = file.data() + kFileHeaderSize;
    const size_t size = file.size() - kFileHeaderSize;
    int32_t width = 0, height = 0, depth = 0;
    if (!PackedDibShape(packed, size, width, height, depth)) return 0;
    if (int64_t{width} * (height < 0 ? -int64_t{height} : height) > kMaxDesktopPicturePixels)
        return 0;
    return CopyBlock(packed, size);
}

} // namespace

std::vector<uint8_t> PngFromPackedDib(HGLOBAL dib) {
    if (!Require(LazyLibrary::Png)) return {};
    // Any depth the clipboard holds, read back as 32 bits, rows bottom first.
    HBITMAP bitmap = BitmapFromPackedDib(dib);
    if (bitmap == 0) return {};
    HGLOBAL wide = PackedDibFromBitmap(bitmap);
    DeleteObject(bitmap);
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(wide));
    if (bytes == nullptr) {
        GlobalFree(wide);
        return {};
    }
    const uint32_t width = ReadDword(bytes + 4);
    const uint32_t height = ReadDword(bytes + 8);
    std::vector<uint8_t> rows(size_t{width} * height * 3);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* from = bytes + kInfoHeaderSize + size_t{height - 1 - y} * width * 4;
        uint8_t* to = rows.data() + size_t{y} * width * 3;
        for (uint32_t x = 0; x < width; ++x)
            std::memcpy(to + 3 * x, from + 4 * x, 3);
    }
    GlobalUnlock(wide);
    GlobalFree(wide);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_BGR;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rows.data(), 0, nullptr)) return {};
    std::vector<uint8_t> png(size);
    if (!png_image_write_to_memory(&image, png.data(), &size, 0, rows.data(), 0, nullptr))
        return {};
    png.resize(size);
    return png;
}

HGLOBAL PackedDibFromPicture(const std::vector<uint8_t>& file) {
    static constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() >= sizeof kPngSignature &&
        std::memcmp(file.data(), kPngSignature, sizeof kPngSignature) == 0)
        return DibFromPng(file);
    if (file.size() > kFileHeaderSize && file[0] == 'B' && file[1] == 'M') return DibFromBmp(file);
    return 0;
}

} // namespace platform
