#include "platform/gdi/bitmaps/bitmaps.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/bitmaps/bitmap_object.h"
#include "platform/gdi/bitmaps/dib_info.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/memory_device.h"
#include "platform/gdi/raster_device.h"
#include "platform/kernel/errors.h"

namespace {

using platform::Bitmap;
using platform::DibLayout;
using platform::PixelFormat;

std::vector<uint32_t> SelectedPalette(HDC dc) {
    platform::DrawContext context;
    if (!platform::GetDrawContext(dc, context)) return {};
    return context.palette;
}

// The bitmap a memory DC has selected.
std::shared_ptr<Bitmap> SelectedBitmap(HDC handle) {
    std::shared_ptr<platform::DeviceContext> dc = platform::LookupDC(handle);
    if (!dc || dc->kind != platform::DcKind::Memory) return nullptr;
    return std::static_pointer_cast<platform::MemoryDevice>(dc->device)->Selected();
}

HBITMAP Register(std::shared_ptr<Bitmap> bitmap) {
    if (!bitmap) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    return platform::RegisterObject(std::move(bitmap));
}

// A table for a format of `bits` bits read out of a bitmap of another format: black and
// white, or a 6 x 6 x 6 cube and a grey ramp.
std::vector<uint32_t> ReadBackTable(int bits) {
    if (bits == 1) return {0x000000u, 0xFFFFFFu};
    std::vector<uint32_t> table;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                table.push_back(uint32_t(r * 51) << 16 | uint32_t(g * 51) << 8 | uint32_t(b * 51));
    for (int i = 0; table.size() < 256; ++i) {
        uint32_t v = static_cast<uint32_t>(i * 255 / 39);
        table.push_back(v << 16 | v << 8 | v);
    }
    return table;
}

platform::BlitColors MonoColors(const std::vector<uint32_t>& table) {
    platform::BlitColors colors;
    if (table.size() >= 2) {
        colors.text = platform::SwapRedBlue(table[0]);
        colors.background = platform::SwapRedBlue(table[1]);
        colors.sourceBackground = colors.background;
    }
    return colors;
}

// Surface rows of `surface` from `first` on, `count` of them.
platform::Surface Rows(const platform::Surface& surface, int first, int count) {
    platform::Surface part = surface;
    part.bits = surface.Row(first);
    part.height = count;
    return part;
}

// Scan line `scan` (from the bottom of a bottom-up image of `height` rows, from the top
// otherwise) as a row from the top.
int RowOfScan(const DibLayout& layout, int64_t scan) {
    return static_cast<int>(layout.bottomUp ? layout.height - 1 - scan : scan);
}

} // namespace

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD) {
    if (bits) *bits = nullptr;
    DibLayout layout;
    std::vector<uint32_t> palette;
    if (usage == DIB_PAL_COLORS) palette = SelectedPalette(dc);
    if (section != 0 || (usage == DIB_PAL_COLORS && palette.empty()) ||
        !platform::ReadDibInfo(info, usage, palette, layout)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto bitmap =
        Bitmap::Make(layout.width, layout.height, layout.format, layout.table, layout.bottomUp, 4);
    if (bitmap) {
        bitmap->dib = true;
        bitmap->compression = layout.compression;
        if (bits) *bits = bitmap->pixels.get();
    }
    return Register(std::move(bitmap));
}

HBITMAP CreateCompatibleBitmap(HDC handle, int width, int height) {
    std::shared_ptr<platform::DeviceContext> dc = platform::LookupDC(handle);
    if (!dc || width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    PixelFormat format = dc->device->Format();
    std::vector<uint32_t> table = dc->device->ColorTable();
    if (format == PixelFormat::Mono) table = {0x000000u, 0xFFFFFFu};
    return Register(
        Bitmap::Make(std::max(width, 1), std::max(height, 1), format, std::move(table), false, 2));
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    PixelFormat format;
    switch (bitsPerPixel) {
    case 1:
        format = PixelFormat::Mono;
        break;
    case 16:
        format = PixelFormat::Rgb565;
        break;
    case 24:
        format = PixelFormat::Bgr24;
        break;
    case 32:
        format = PixelFormat::Bgrx32;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (planes != 1 || width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::vector<uint32_t> table;
    if (format == PixelFormat::Mono) table = {0x000000u, 0xFFFFFFu};
    auto bitmap =
        Bitmap::Make(std::max(width, 1), std::max(height, 1), format, std::move(table), false, 2);
    if (bitmap && bits && width > 0 && height > 0)
        std::memcpy(bitmap->pixels.get(), bits, static_cast<size_t>(bitmap->bytes));
    return Register(std::move(bitmap));
}

UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colors) {
    std::shared_ptr<Bitmap> bitmap = SelectedBitmap(dc);
    if (!bitmap || !colors || !bitmap->dib) return 0;
    std::lock_guard guard(bitmap->lock);
    size_t size = bitmap->table.size();
    if (start >= size) return 0;
    UINT done = static_cast<UINT>(std::min<size_t>(count, size - start));
    for (UINT i = 0; i < done; ++i)
        bitmap->table[start + i] = uint32_t{colors[i].rgbRed} << 16 |
                                   uint32_t{colors[i].rgbGreen} << 8 | colors[i].rgbBlue;
    return done;
}

UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors) {
    std::shared_ptr<Bitmap> bitmap = SelectedBitmap(dc);
    if (!bitmap || !colors || !bitmap->dib) return 0;
    std::lock_guard guard(bitmap->lock);
    size_t size = bitmap->table.size();
    if (start >= size) return 0;
    UINT done = static_cast<UINT>(std::min<size_t>(count, size - start));
    for (UINT i = 0; i < done; ++i) {
        uint32_t c = bitmap->table[start + i];
        colors[i] =
            RGBQUAD{static_cast<BYTE>(c), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c >> 16), 0};
    }
    return done;
}

int GetDIBits(HDC dc, HBITMAP handle, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage) {
    std::shared_ptr<Bitmap> bitmap = platform::LookupBitmap(handle);
    if (!bitmap || !platform::LookupDC(dc) || !info ||
        info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER))
        return 0;
    std::lock_guard guard(bitmap->lock);
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biBitCount == 0) {
        h.biWidth = bitmap->width;
        h.biHeight = bitmap->height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<WORD>(platform::BitsPerPixel(bitmap->format));
        h.biCompression = bitmap->format == PixelFormat::Rgb565 ? BI_BITFIELDS : BI_RGB;
        h.biSizeImage = static_cast<DWORD>(bitmap->bytes);
        return 1;
    }
    h.biClrUsed = 0;
    DibLayout layout;
    if (!platform::ReadDibInfo(info, DIB_RGB_COLORS, {}, layout)) return 0;
    if (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS) return 0;
    int bitsOut = h.biBitCount;
    if (bitsOut <= 8)
        layout.table = platform::BitsPerPixel(bitmap->format) == bitsOut ? bitmap->table
                                                                         : ReadBackTable(bitsOut);
    auto* colors = reinterpret_cast<uint8_t*>(info) + h.biSize;
    if (h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER)) {
        DWORD masks[3];
        platform::FormatMasks(layout.format, masks);
        std::memcpy(colors, masks, sizeof masks);
    }
    if (bitsOut <= 8 && usage == DIB_RGB_COLORS) {
        for (size_t i = 0; i < layout.table.size(); ++i) {
            uint32_t c = layout.table[i];
            uint8_t quad[4] = {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8),
                               static_cast<uint8_t>(c >> 16), 0};
            std::memcpy(colors + 4 * i, quad, 4);
        }
    }
    h.biSizeImage = static_cast<DWORD>(layout.bytes);
    if (!bits) return layout.height;
    int64_t first = start;
    int64_t last = std::min<int64_t>(int64_t{start} + lines, layout.height);
    if (first >= last) return 0;
    // The caller's buffer holds the scan lines first .. last - 1 only.
    DibLayout part = layout;
    part.height = static_cast<int>(last - first);
    platform::Surface out = platform::DibSurface(part, bits);
    platform::Surface from = bitmap->View();
    int copied = 0;
    for (int64_t scan = first; scan < last; ++scan) {
        // The image's rows sit at the bitmap's top-left corner.
        int row = RowOfScan(layout, scan);
        if (row >= bitmap->height) continue;
        int bufferRow = static_cast<int>(part.bottomUp ? last - 1 - scan : scan - first);
        platform::Surface target = Rows(out, bufferRow, 1);
        target.width = std::min(layout.width, bitmap->width);
        platform::ConvertPixels(from, 0, row, target, MonoColors(bitmap->table));
        ++copied;
    }
    return copied;
}

int SetDIBits(HDC dc, HBITMAP handle, UINT start, UINT lines, const void* bits,
              const BITMAPINFO* info, UINT usage) {
    std::shared_ptr<Bitmap> bitmap = platform::LookupBitmap(handle);
    DibLayout layout;
    if (!bitmap || !bits ||
        !platform::ReadDibInfo(
            info, usage, usage == DIB_PAL_COLORS ? SelectedPalette(dc) : std::vector<uint32_t>{},
            layout))
        return 0;
    std::lock_guard guard(bitmap->lock);
    int64_t first = start;
    int64_t last = std::min<int64_t>(int64_t{start} + lines, layout.height);
    if (first >= last) return 0;
    // The caller's buffer holds the scan lines first .. last - 1 only.
    DibLayout part = layout;
    part.height = static_cast<int>(last - first);
    platform::Surface in = platform::DibSurface(part, bits);
    platform::Surface to = bitmap->View();
    int copied = 0;
    for (int64_t scan = first; scan < last; ++scan) {
        int row = RowOfScan(layout, scan);
        if (row >= bitmap->height) continue;
        int bufferRow = static_cast<int>(part.bottomUp ? last - 1 - scan : scan - first);
        platform::Surface target = Rows(to, row, 1);
        target.width = std::min(layout.width, bitmap->width);
        platform::ConvertPixels(in, 0, bufferRow, target, MonoColors(layout.table));
        ++copied;
    }
    return copied;
}
