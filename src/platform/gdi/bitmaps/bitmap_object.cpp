#include "platform/gdi/bitmaps/bitmap_object.h"

#include <limits>
#include <new>

namespace platform {

std::shared_ptr<Bitmap> Bitmap::Make(int width, int height, PixelFormat format,
                                     std::vector<uint32_t> table, bool bottomUp, int rowAlign) {
    if (width <= 0 || height <= 0) return nullptr;
    int64_t stride = RowBytes(width, BitsPerPixel(format), rowAlign);
    int64_t bytes = stride * height;
    if (bytes > std::numeric_limits<int32_t>::max()) return nullptr;
    auto bitmap = std::make_shared<Bitmap>();
    bitmap->pixels.reset(new (std::nothrow) uint8_t[static_cast<size_t>(bytes)]());
    if (!bitmap->pixels) return nullptr;
    bitmap->width = width;
    bitmap->height = height;
    bitmap->format = format;
    bitmap->table = std::move(table);
    bitmap->bottomUp = bottomUp;
    bitmap->stride = stride;
    bitmap->bytes = bytes;
    return bitmap;
}

Surface Bitmap::View() const {
    Surface s;
    s.width = width;
    s.height = height;
    s.format = format;
    s.table = table.data();
    s.tableSize = static_cast<int>(table.size());
    s.pitch = bottomUp ? -static_cast<ptrdiff_t>(stride) : static_cast<ptrdiff_t>(stride);
    s.bits = pixels.get() + (bottomUp ? (height - 1) * stride : 0);
    return s;
}

std::shared_ptr<Bitmap> LookupBitmap(HBITMAP bitmap) {
    return LookupObjectAs<Bitmap>(bitmap);
}

void FormatMasks(PixelFormat format, DWORD masks[3]) {
    switch (format) {
    case PixelFormat::Rgb555:
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
        return;
    case PixelFormat::Rgb565:
        masks[0] = 0xF800;
        masks[1] = 0x07E0;
        masks[2] = 0x001F;
        return;
    case PixelFormat::Bgr24:
    case PixelFormat::Bgrx32:
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
        return;
    default:
        masks[0] = masks[1] = masks[2] = 0;
        return;
    }
}

} // namespace platform
