// Pixels in memory as device contexts draw on them: a surface is {memory, signed pitch,
// size, format}. Colour tables and 32-bit pixels hold 0x00RRGGBB (an RGBQUAD read as a
// little-endian DWORD); COLORREFs are 0x00BBGGRR.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gdi/screen_dc.h"

namespace platform {

enum class PixelFormat : uint8_t {
    Mono,     // 1 bit, most significant bit first, two-entry colour table
    Indexed8, // colour table
    Rgb555,
    Rgb565,
    Bgr24,
    Bgrx32,
};

int BitsPerPixel(PixelFormat format);

// Bytes of a row of `width` pixels of `bits` bits, rounded up to `align` bytes.
int64_t RowBytes(int64_t width, int bits, int align);

struct Surface {
    uint8_t* bits = nullptr; // the top row
    ptrdiff_t pitch = 0;     // from a row to the one below it; negative when bottom-up
    int width = 0;
    int height = 0;
    PixelFormat format = PixelFormat::Bgrx32;
    const uint32_t* table = nullptr;
    int tableSize = 0;

    uint8_t* Row(int y) const { return bits + static_cast<ptrdiff_t>(y) * pitch; }
};

uint32_t ReadPixel(const Surface& surface, int x, int y);
void WritePixel(const Surface& surface, int x, int y, uint32_t pixel);

// 0x00BBGGRR <-> 0x00RRGGBB.
inline uint32_t SwapRedBlue(uint32_t value) {
    return (value & 0xFFu) << 16 | (value & 0xFF00u) | (value >> 16 & 0xFFu);
}

// The entry nearest `rgb` (0x00RRGGBB) by squared distance; of equals, the first one.
int NearestEntry(const uint32_t* table, int count, uint32_t rgb);

// What a pixel shows and the pixel nearest a colour (both 0x00BBGGRR, no flags). 5- and
// 6-bit channels widen with their top bits repeated; an 8-bit table is searched with each
// channel taken to the middle of its 8-level step, (c & ~7) + 4.
COLORREF PixelToColor(const Surface& surface, uint32_t pixel);
uint32_t ColorToPixel(const Surface& surface, COLORREF color);

} // namespace platform
