#include <cstring>

#include "platform/gdi/bitmaps/bitmap_object.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/palette_object.h"

namespace {

// Copies `record` into the caller's buffer, at most `size` bytes; the bytes written, or
// the record's size for a null buffer.
template <class T> int Give(const T& record, int size, void* buffer) {
    if (!buffer) return static_cast<int>(sizeof(T));
    if (size <= 0) return 0;
    int bytes = std::min(size, static_cast<int>(sizeof(T)));
    std::memcpy(buffer, &record, static_cast<size_t>(bytes));
    return bytes;
}

int BitmapObject(platform::Bitmap& bitmap, int size, void* buffer) {
    std::lock_guard guard(bitmap.lock);
    BITMAP bm{};
    bm.bmWidth = bitmap.width;
    bm.bmHeight = bitmap.height;
    bm.bmWidthBytes = static_cast<LONG>(bitmap.stride);
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<WORD>(platform::BitsPerPixel(bitmap.format));
    bm.bmBits = bitmap.dib ? bitmap.pixels.get() : nullptr;
    if (!bitmap.dib || size < static_cast<int>(sizeof(DIBSECTION))) return Give(bm, size, buffer);
    DIBSECTION ds{};
    ds.dsBm = bm;
    ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
    ds.dsBmih.biWidth = bitmap.width;
    ds.dsBmih.biHeight = bitmap.bottomUp ? bitmap.height : -bitmap.height;
    ds.dsBmih.biPlanes = 1;
    ds.dsBmih.biBitCount = bm.bmBitsPixel;
    ds.dsBmih.biCompression = bitmap.compression;
    ds.dsBmih.biSizeImage = static_cast<DWORD>(bitmap.bytes);
    ds.dsBmih.biClrUsed = static_cast<DWORD>(bitmap.table.size());
    if (bitmap.compression == BI_BITFIELDS) platform::FormatMasks(bitmap.format, ds.dsBitfields);
    return Give(ds, size, buffer);
}

} // namespace

int GetObjectA(HGDIOBJ handle, int size, void* buffer) {
    auto object = platform::LookupObjectAs<platform::GdiObject>(handle);
    if (!object) return 0;
    switch (object->Kind()) {
    case platform::GdiKind::Pen: {
        const auto& pen = static_cast<const platform::Pen&>(*object);
        return Give(LOGPEN{static_cast<UINT>(pen.style), POINT{pen.width, 0}, pen.color}, size,
                    buffer);
    }
    case platform::GdiKind::Brush: {
        const auto& brush = static_cast<const platform::Brush&>(*object);
        return Give(LOGBRUSH{brush.isNull ? BS_NULL : BS_SOLID, brush.color, 0}, size, buffer);
    }
    case platform::GdiKind::Font:
        return Give(static_cast<const platform::Font&>(*object).logFont, size, buffer);
    case platform::GdiKind::Palette: {
        auto& palette = static_cast<platform::Palette&>(*object);
        std::lock_guard guard(palette.lock);
        return Give(static_cast<WORD>(palette.entries.size()), size, buffer);
    }
    case platform::GdiKind::Bitmap:
        return BitmapObject(static_cast<platform::Bitmap&>(*object), size, buffer);
    default:
        return 0;
    }
}

DWORD GetObjectType(HGDIOBJ handle) {
    if (auto dc = platform::LookupObjectAs<platform::DeviceContext>(handle))
        return dc->kind == platform::DcKind::Memory ? OBJ_MEMDC : OBJ_DC;
    auto object = platform::LookupObjectAs<platform::GdiObject>(handle);
    return object ? static_cast<DWORD>(object->Kind()) : 0;
}
