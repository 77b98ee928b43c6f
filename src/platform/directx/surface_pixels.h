// The memory of a DirectDraw surface and the DCs that draw on it. Internal to directx/.
#pragma once

#include <memory>
#include <mutex>

#include "platform/gdi/bitmaps/pixel_format.h"
#include "platform/user/window_geometry.h"

namespace platform::ddraw {

// Rows of 4-byte multiples, top first, zero-filled when made. The address stays until a
// flip exchanges the memory of two surfaces.
struct Pixels {
    std::mutex lock; // over the memory while a DC draws or a flip exchanges it
    int width = 0;
    int height = 0;
    PixelFormat format = PixelFormat::Bgrx32;
    ptrdiff_t pitch = 0;
    std::unique_ptr<uint8_t[]> bits;

    // Needs `lock` unless the caller alone uses the memory.
    Surface View() const { return Surface{bits.get(), pitch, width, height, format, nullptr, 0}; }
};

// Null when the memory would pass 2^31 - 1 bytes or cannot be had.
std::shared_ptr<Pixels> MakePixels(int width, int height, PixelFormat format);

// A DC of kind Surface drawing on `pixels`, clipped to them; 0 when the handle table is
// full. CloseSurfaceDC frees it.
HDC OpenSurfaceDC(std::shared_ptr<Pixels> pixels);
void CloseSurfaceDC(HDC dc);

// `pixel` (a value of the surface's format) over `area`, cut to the surface.
void FillPixels(Pixels& pixels, RECT area, uint32_t pixel);

} // namespace platform::ddraw
