#include "platform/gdi/bitmaps/dib_info.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>

namespace platform {
namespace {

constexpr DWORD kInfoHeaderSize = 40;

DWORD ReadDword(const uint8_t* p) {
    return p[0] | DWORD{p[1]} << 8 | DWORD{p[2]} << 16 | DWORD{p[3]} << 24;
}

bool FormatFromMasks(int bits, const DWORD masks[3], PixelFormat& format) {
    if (bits == 16 && masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F) {
        format = PixelFormat::Rgb555;
        return true;
    }
    if (bits == 16 && masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F) {
        format = PixelFormat::Rgb565;
        return true;
    }
    if (bits == 32 && masks[0] == 0xFF0000 && masks[1] == 0x00FF00 && masks[2] == 0x0000FF) {
        format = PixelFormat::Bgrx32;
        return true;
    }
    return false;
}

} // namespace

bool ReadDibInfo(const BITMAPINFO* info, UINT usage, const std::vector<uint32_t>& palette,
                 DibLayout& layout) {
    if (!info || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS)) return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    // Only the header sizes Windows defines: the table's place follows from it.
    const DWORD sizes[] = {40, 52, 56, 64, 108, 124};
    if (std::find(std::begin(sizes), std::end(sizes), h.biSize) == std::end(sizes) ||
        h.biPlanes != 1 || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == std::numeric_limits<LONG>::min())
        return false;
    int bits = h.biBitCount;
    const auto* base = reinterpret_cast<const uint8_t*>(info);
    const uint8_t* colors = base + h.biSize;
    switch (bits) {
    case 1:
        layout.format = PixelFormat::Mono;
        break;
    case 8:
        layout.format = PixelFormat::Indexed8;
        break;
    case 16:
        layout.format = PixelFormat::Rgb555;
        break;
    case 24:
        layout.format = PixelFormat::Bgr24;
        break;
    case 32:
        layout.format = PixelFormat::Bgrx32;
        break;
    default:
        return false;
    }
    if (h.biCompression == BI_BITFIELDS) {
        if (bits != 16 && bits != 32) return false;
        // A bare info header has the masks after it; larger headers hold them.
        const uint8_t* at = base + kInfoHeaderSize;
        DWORD masks[3] = {ReadDword(at), ReadDword(at + 4), ReadDword(at + 8)};
        if (!FormatFromMasks(bits, masks, layout.format)) return false;
        if (h.biSize == kInfoHeaderSize) colors += 12;
    } else if (h.biCompression != BI_RGB) {
        return false;
    }
    layout.compression = h.biCompression;
    layout.table.clear();
    if (bits <= 8) {
        DWORD most = DWORD{1} << bits;
        DWORD used = h.biClrUsed == 0 ? most : h.biClrUsed;
        if (used > most) return false;
        layout.table.assign(most, 0);
        for (DWORD i = 0; i < used; ++i) {
            if (usage == DIB_PAL_COLORS) {
                WORD index = static_cast<WORD>(colors[2 * i] | colors[2 * i + 1] << 8);
                if (!palette.empty()) layout.table[i] = palette[index < palette.size() ? index : 0];
            } else {
                const uint8_t* q = colors + 4 * static_cast<size_t>(i);
                layout.table[i] = uint32_t{q[2]} << 16 | uint32_t{q[1]} << 8 | q[0];
            }
        }
    }
    layout.width = h.biWidth;
    layout.bottomUp = h.biHeight > 0;
    layout.height = layout.bottomUp ? h.biHeight : -h.biHeight;
    layout.stride = RowBytes(layout.width, bits, 4);
    // A row of up to 2^31 - 1 pixels of 32 bits times as many rows would pass 2^63: the
    // product is only formed when it fits.
    constexpr int64_t kMostBytes = std::numeric_limits<int32_t>::max();
    if (layout.stride > kMostBytes / layout.height) return false;
    layout.bytes = layout.stride * layout.height;
    return true;
}

Surface DibSurface(const DibLayout& layout, const void* bits) {
    Surface s;
    s.width = layout.width;
    s.height = layout.height;
    s.format = layout.format;
    s.table = layout.table.data();
    s.tableSize = static_cast<int>(layout.table.size());
    auto* start = static_cast<uint8_t*>(const_cast<void*>(bits));
    s.pitch = layout.bottomUp ? -static_cast<ptrdiff_t>(layout.stride)
                              : static_cast<ptrdiff_t>(layout.stride);
    s.bits = start + (layout.bottomUp ? (layout.height - 1) * layout.stride : 0);
    return s;
}

} // namespace platform
