#include "platform/clipboard/clipboard_dib.h"

#include <cstring>
#include <vector>

#include "platform/clipboard/clipboard.h"
#include "platform/gdi/bitmaps/dib_info.h"
#include "platform/gdi/dc_state.h"
#include "platform/kernel/memory.h"

namespace platform {
namespace {

constexpr size_t kInfoHeaderSize = 40;

uint32_t ReadDword(const uint8_t* p) {
    return p[0] | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// Bytes of header and colour table (or masks), or 0 when they do not fit in `size`.
size_t InfoBytes(const uint8_t* block, size_t size) {
    if (size < kInfoHeaderSize) return 0;
    const uint32_t headerSize = ReadDword(block);
    if (headerSize < kInfoHeaderSize || headerSize > size) return 0;
    const uint32_t bitCount = uint32_t(block[14]) | uint32_t(block[15]) << 8;
    const uint32_t compression = ReadDword(block + 16);
    const uint32_t colorsUsed = ReadDword(block + 32);
    uint64_t table = 0;
    if (bitCount <= 8) {
        const uint64_t most = uint64_t{1} << bitCount;
        if (colorsUsed > most) return 0;
        table = 4 * (colorsUsed == 0 ? most : colorsUsed);
    } else if (compression == BI_BITFIELDS && headerSize == kInfoHeaderSize) {
        table = 12;
    }
    // The masks of a bare header are read even when a larger header holds them.
    const uint64_t total = headerSize + table;
    if (total > size || (compression == BI_BITFIELDS && size < kInfoHeaderSize + 12)) return 0;
    return size_t(total);
}

// The layout and the offset of the rows of a packed bitmap lying wholly within the block.
bool ReadPackedDib(const uint8_t* block, size_t size, DibLayout& layout, size_t& rowsAt) {
    rowsAt = InfoBytes(block, size);
    if (rowsAt == 0) return false;
    // The header is copied out: the block need not be aligned for BITMAPINFO.
    std::vector<uint8_t> info(rowsAt + sizeof(BITMAPINFO));
    std::memcpy(info.data(), block, rowsAt);
    if (!ReadDibInfo(reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, {}, layout))
        return false;
    return uint64_t(layout.bytes) <= size - rowsAt;
}

} // namespace

HBITMAP BitmapFromPackedDib(HGLOBAL dib) {
    const auto* block = static_cast<const uint8_t*>(GlobalLock(dib));
    if (block == nullptr) return 0;
    const size_t size = GlobalSize(dib);
    DibLayout layout;
    size_t rowsAt = 0;
    HBITMAP bitmap = 0;
    if (ReadPackedDib(block, size, layout, rowsAt)) {
        std::vector<uint8_t> info(rowsAt + sizeof(BITMAPINFO));
        std::memcpy(info.data(), block, rowsAt);
        void* bits = nullptr;
        bitmap = CreateDIBSection(0, reinterpret_cast<const BITMAPINFO*>(info.data()),
                                  DIB_RGB_COLORS, &bits, 0, 0);
        if (bitmap != 0 && bits != nullptr) std::memcpy(bits, block + rowsAt, size_t(layout.bytes));
    }
    GlobalUnlock(dib);
    return bitmap;
}

HGLOBAL PackedDibFromBitmap(HBITMAP bitmap) {
    BITMAP shape{};
    if (GetObjectA(bitmap, sizeof shape, &shape) == 0 || shape.bmWidth <= 0 || shape.bmHeight <= 0)
        return 0;
    const uint64_t rows = uint64_t(shape.bmWidth) * 4 * uint64_t(shape.bmHeight);
    if (rows > 0x7FFFFFFF) return 0;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, kInfoHeaderSize + size_t(rows));
    auto* bytes = static_cast<uint8_t*>(GlobalLock(block));
    if (bytes == nullptr) {
        GlobalFree(block);
        return 0;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = kInfoHeaderSize;
    info.bmiHeader.biWidth = shape.bmWidth;
    info.bmiHeader.biHeight = shape.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = DWORD(rows);
    HDC dc = CreateCompatibleDC(0);
    const int lines = GetDIBits(dc, bitmap, 0, UINT(shape.bmHeight), bytes + kInfoHeaderSize, &info,
                                DIB_RGB_COLORS);
    DeleteDC(dc);
    std::memcpy(bytes, &info.bmiHeader, kInfoHeaderSize);
    GlobalUnlock(block);
    if (lines != shape.bmHeight) {
        GlobalFree(block);
        return 0;
    }
    return block;
}

bool PackedDibShape(const void* block, size_t size, int32_t& width, int32_t& height,
                    int32_t& depth) {
    DibLayout layout;
    size_t rowsAt = 0;
    if (block == nullptr ||
        !ReadPackedDib(static_cast<const uint8_t*>(block), size, layout, rowsAt))
        return false;
    width = layout.width;
    height = layout.bottomUp ? layout.height : -layout.height;
    switch (layout.format) {
    case PixelFormat::Rgb555:
        depth = 15;
        break;
    case PixelFormat::Rgb565:
        depth = 16;
        break;
    case PixelFormat::Bgr24:
        depth = 24;
        break;
    case PixelFormat::Bgrx32:
        depth = 32;
        break;
    default:
        depth = 8;
        break;
    }
    return true;
}

} // namespace platform
