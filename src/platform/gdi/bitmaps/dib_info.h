// A caller's BITMAPINFO, checked and read: what its pixels look like in memory.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/pixel_format.h"

namespace platform {

struct DibLayout {
    int width = 0;
    int height = 0; // rows, positive
    bool bottomUp = true;
    PixelFormat format = PixelFormat::Bgrx32;
    DWORD compression = BI_RGB;
    int64_t stride = 0; // 4-byte rows
    int64_t bytes = 0;
    std::vector<uint32_t> table; // 0x00RRGGBB, 2^bits entries for 1 and 8 bits
};

// False for a header, bit count, compression, masks, colour count, usage or size out of
// range. DIB_PAL_COLORS tables name entries of `palette` (0x00RRGGBB).
bool ReadDibInfo(const BITMAPINFO* info, UINT usage, const std::vector<uint32_t>& palette,
                 DibLayout& layout);

// A surface over a caller's bits laid out as `layout` describes.
Surface DibSurface(const DibLayout& layout, const void* bits);

} // namespace platform
