#include "platform/directx/dd_objects.h"
#include "platform/gdi/bitmaps/bitmap_object.h"
#include "platform/gdi/dc.h"

namespace platform::ddraw {

DDPIXELFORMAT DescribeFormat(PixelFormat format) {
    DDPIXELFORMAT described{};
    described.dwSize = sizeof(DDPIXELFORMAT);
    described.dwFlags = DDPF_RGB;
    described.dwRGBBitCount = static_cast<DWORD>(BitsPerPixel(format));
    if (format == PixelFormat::Indexed8) {
        described.dwFlags |= DDPF_PALETTEINDEXED8;
        return described;
    }
    DWORD masks[3];
    FormatMasks(format, masks);
    described.dwRBitMask = masks[0];
    described.dwGBitMask = masks[1];
    described.dwBBitMask = masks[2];
    return described;
}

bool UsableDisplayFormat(PixelFormat& format) {
    format = DisplayFormat();
    return format != PixelFormat::Indexed8 && format != PixelFormat::Mono;
}

} // namespace platform::ddraw
