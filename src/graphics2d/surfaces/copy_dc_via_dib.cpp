#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/palettes.h"
#include "platform/user/messages.h"

namespace {

// A memory DC holding a bitmap, both gone with it.
struct MemoryPicture {
    HDC dc = 0;
    HBITMAP bitmap = 0;
    HGDIOBJ previous = 0;
    ~MemoryPicture() {
        if (previous) SelectObject(dc, previous);
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
    }
};

} // namespace

int CopyDCViaDIB(HDC source, HDC destination, int32_t sx, int32_t sy, int32_t dx, int32_t dy,
                 int32_t sourceWidth, int32_t sourceHeight, int32_t destinationWidth,
                 int32_t destinationHeight, int32_t pumpMessages, int32_t keepAspect) {
    if (pumpMessages) {
        MSG msg;
        while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (sourceWidth <= 0 || sourceHeight <= 0) return 0;
    int32_t outWidth = destinationWidth, outHeight = destinationHeight;
    if (keepAspect) {
        const double scale = std::min(double(destinationWidth) / sourceWidth,
                                      double(destinationHeight) / sourceHeight);
        outWidth = int32_t(sourceWidth * scale);
        outHeight = int32_t(sourceHeight * scale);
    }
    MemoryPicture copy;
    copy.dc = CreateCompatibleDC(source);
    copy.bitmap = copy.dc ? CreateCompatibleBitmap(source, sourceWidth, sourceHeight) : 0;
    copy.previous = copy.bitmap ? SelectObject(copy.dc, copy.bitmap) : 0;
    if (!copy.previous || !BitBlt(copy.dc, 0, 0, sourceWidth, sourceHeight, source, 0, 0, SRCCOPY))
        return 0;

    alignas(BITMAPINFO) uint8_t block[1068] = {};
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(block);
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = sourceWidth;
    info->bmiHeader.biHeight = sourceHeight;
    info->bmiHeader.biPlanes = WORD(GetDeviceCaps(source, PLANES));
    info->bmiHeader.biBitCount = WORD(GetDeviceCaps(source, BITSPIXEL));
    // GetDIBits reads a bitmap that no DC holds.
    SelectObject(copy.dc, copy.previous);
    copy.previous = 0;
    if (!GetDIBits(copy.dc, copy.bitmap, 0, UINT(sourceHeight), nullptr, info, DIB_RGB_COLORS))
        return 0;
    std::vector<uint8_t> bits(info->bmiHeader.biSizeImage);
    if (bits.empty() ||
        !GetDIBits(copy.dc, copy.bitmap, 0, UINT(sourceHeight), bits.data(), info, DIB_RGB_COLORS))
        return 0;

    HPALETTE palette = 0, previousPalette = 0;
    const int bitCount = info->bmiHeader.biBitCount;
    if (bitCount <= 8) {
        const uint32_t count = 1u << bitCount;
        std::vector<uint8_t> logicalBlock(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
        LOGPALETTE* logical = reinterpret_cast<LOGPALETTE*>(logicalBlock.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = WORD(count);
        for (uint32_t i = 0; i < count; i++) {
            const RGBQUAD& c = info->bmiColors[i];
            logical->palPalEntry[i] = {c.rgbRed, c.rgbGreen, c.rgbBlue, 0};
        }
        palette = CreatePalette(logical);
        if (palette) {
            previousPalette = SelectPalette(destination, palette, TRUE);
            RealizePalette(destination);
        }
    }
    const int drawn = StretchDIBits(destination, dx, dy, outWidth, outHeight, sx, -sy, sourceWidth,
                                    sourceHeight, bits.data(), info, DIB_RGB_COLORS, SRCCOPY);
    // The palette goes back out of the destination and away: nothing of the call outlives it.
    if (palette) {
        SelectPalette(destination, previousPalette, TRUE);
        DeleteObject(palette);
    }
    return drawn ? 1 : 0;
}
