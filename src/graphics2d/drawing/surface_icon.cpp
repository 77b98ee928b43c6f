#include <algorithm>
#include <vector>

#include "graphics2d/drawing/surface_handle.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/device_context.h"
#include "platform/system/system_info.h"

HICON MakeIconFromSurface(SurfaceHandle* handle, int32_t width, int32_t height,
                          uint32_t transparent, const POINT* hotSpot) {
    if (!handle || !handle->IsValid()) return 0;
    if (width <= 0) width = GetSystemMetrics(SM_CXICON);
    if (height <= 0) height = GetSystemMetrics(SM_CYICON);
    SurfaceHandle* prototype = nullptr;
    PickSurfaceType(&prototype, 24, kPickMemory, kPickModeGDI);
    SurfaceHandle picture;
    if (!prototype || !picture.Create(width, height, prototype)) return 0;
    picture.FillRectAll(transparent);

    // Centred; shrunk to fit with its proportions when it is larger, in whole pixels.
    const int64_t sw = handle->GetWidth(), sh = handle->GetHeight();
    int64_t w = sw, h = sh;
    if (sw > width || sh > height) {
        if (sw * 256 / width <= sh * 256 / height) {
            h = height;
            w = sw * height / sh;
        } else {
            w = width;
            h = sh * width / sw;
        }
        w = std::max<int64_t>(w, 1);
        h = std::max<int64_t>(h, 1);
    }
    const int32_t x = int32_t((width - w) / 2), y = int32_t((height - h) / 2);
    POINT origin{};
    handle->GetOrigin(&origin);
    if (w == sw && h == sh)
        handle->Blit(&picture, x, y, origin.x, origin.y, int32_t(w), int32_t(h), 0, 0, 0, 0);
    else
        handle->StretchBlit(&picture, x, y, int32_t(w), int32_t(h), origin.x, origin.y, int32_t(sw),
                            int32_t(sh), 0, 0, 0, 0);

    std::vector<uint8_t> dib(size_t(picture.GetPackedDIBSize()));
    if (!picture.ExportDIB(dib.data(), dib.size(), nullptr, 0, 0)) return 0;
    const uint8_t* rows = dib.data() + GetDIBInfoSize(24);
    const int64_t stride = GetDIBStride(width, 24);
    // The AND mask: top row first, highest bit first, 1 where the colour is transparent.
    const int64_t maskStride = (int64_t(width) + 15) / 16 * 2;
    std::vector<uint8_t> mask(size_t(maskStride * height), 0);
    for (int32_t row = 0; row < height; row++) {
        const uint8_t* pixel = rows + (height - 1 - row) * stride; // bottom-up
        for (int32_t column = 0; column < width; column++, pixel += 3) {
            const uint32_t colour = pixel[2] | uint32_t(pixel[1]) << 8 | uint32_t(pixel[0]) << 16;
            if (colour == (transparent & 0xFFFFFF))
                mask[size_t(row * maskStride + column / 8)] |= uint8_t(0x80 >> (column % 8));
        }
    }
    const HBITMAP maskBitmap = CreateBitmap(width, height, 1, 1, mask.data());
    if (!maskBitmap) return 0;
    const HDC screen = GetDC(0);
    const HBITMAP colourBitmap = CreateCompatibleBitmap(screen, width, height);
    if (colourBitmap)
        SetDIBits(screen, colourBitmap, 0, UINT(height), rows,
                  reinterpret_cast<const BITMAPINFO*>(dib.data()), DIB_RGB_COLORS);
    ICONINFO info{};
    info.fIcon = hotSpot ? FALSE : TRUE;
    info.xHotspot = hotSpot ? DWORD(hotSpot->x) : 0;
    info.yHotspot = hotSpot ? DWORD(hotSpot->y) : 0;
    info.hbmMask = maskBitmap;
    info.hbmColor = colourBitmap;
    const HICON icon = CreateIconIndirect(&info);
    DeleteObject(maskBitmap);
    if (colourBitmap) DeleteObject(colourBitmap);
    ReleaseDC(0, screen);
    return icon;
}
