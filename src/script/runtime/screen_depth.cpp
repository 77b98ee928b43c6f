#include "script/runtime/screen_depth.h"

#include "platform/gdi/screen_dc.h"

int32_t GetScreenDepth() {
    HDC dc = GetDC(0);
    if (dc == 0) return 8;
    int32_t depth = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    if (depth == 16) {
        // A 5-5-5 display drops the lowest bit of green.
        COLORREF saved = GetPixel(dc, 0, 0);
        SetPixel(dc, 0, 0, 0x400);
        if (GetPixel(dc, 0, 0) == 0) depth = 15;
        SetPixel(dc, 0, 0, saved);
    }
    ReleaseDC(0, dc);
    return depth;
}
