// The object behind a bitmap handle. Its pixels are zero-filled when made and stay at
// one address for the bitmap's life, so a DIB section's caller may write them directly.
#pragma once

#include <memory>
#include <vector>

#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/pixel_format.h"
#include "platform/gdi/gdi_object.h"

namespace platform {

class Bitmap : public GdiObject {
public:
    GdiKind Kind() const override { return GdiKind::Bitmap; }

    // Null when the pixels would pass 2^31 - 1 bytes or cannot be had. `rowAlign` is 4
    // for DIBs and 2 for device-dependent bitmaps.
    static std::shared_ptr<Bitmap> Make(int width, int height, PixelFormat format,
                                        std::vector<uint32_t> table, bool bottomUp, int rowAlign);

    // Needs `lock`.
    Surface View() const;

    std::mutex lock; // over the pixels and the table while drawing
    int width = 0;
    int height = 0;
    PixelFormat format = PixelFormat::Bgrx32;
    std::vector<uint32_t> table;
    bool bottomUp = false;
    bool dib = false;
    DWORD compression = 0;
    int64_t stride = 0;
    int64_t bytes = 0;
    std::unique_ptr<uint8_t[]> pixels;
    // The memory DC it is selected into, 0 for none.
    HDC selectedInto = 0;
};

std::shared_ptr<Bitmap> LookupBitmap(HBITMAP bitmap);

// The pixel masks of a 16- or 32-bit format, red, green, blue.
void FormatMasks(PixelFormat format, DWORD masks[3]);

} // namespace platform
