#include <cstring>

#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_objects.h"

namespace {

constexpr int32_t kCachedColours = 29;
// Entry 25 has no system colour and keeps what it holds.
constexpr int32_t kUnusedEntry = 25;

struct SysColorCache {
    uint32_t colours[kCachedColours] = {};
    bool filled = false;
};

SysColorCache& Cache() {
    static SysColorCache cache;
    return cache;
}

// At 15 and 16 bits a colour shows with fewer bits: the colours are drawn and read back,
// so the cache holds what the screen really shows. False leaves the colours as they are.
bool ReadBackThroughScreen(uint32_t* colours) {
    const HDC screen = GetDC(0);
    if (!screen) return false;
    const int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    bool done = false;
    if (depth == 15 || depth == 16) {
        const HDC dc = CreateCompatibleDC(screen);
        const HBITMAP bitmap = dc ? CreateCompatibleBitmap(screen, 100, 8) : 0;
        const HGDIOBJ previous = bitmap ? SelectObject(dc, bitmap) : 0;
        if (previous) {
            for (int32_t i = 0; i < kCachedColours; i++)
                SetPixel(dc, i, 0, colours[i]);
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            info.bmiHeader.biWidth = 100;
            info.bmiHeader.biHeight = 8;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 24;
            uint8_t rows[300 * 8];
            SelectObject(dc, previous);
            if (GetDIBits(dc, bitmap, 0, 8, rows, &info, DIB_RGB_COLORS) == 8) {
                // Bottom-up: the top row is the last.
                const uint8_t* top = rows + 7 * 300;
                for (int32_t i = 0; i < kCachedColours; i++)
                    colours[i] =
                        top[3 * i + 2] | uint32_t(top[3 * i + 1]) << 8 | uint32_t(top[3 * i]) << 16;
                done = true;
            }
        }
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
    }
    ReleaseDC(0, screen);
    return done;
}

void Fill(SysColorCache& cache) {
    uint32_t colours[kCachedColours];
    std::memcpy(colours, cache.colours, sizeof colours);
    for (int32_t i = 0; i < kCachedColours; i++)
        if (i != kUnusedEntry) colours[i] = GetSysColor(i);
    ReadBackThroughScreen(colours);
    std::memcpy(cache.colours, colours, sizeof colours);
    cache.filled = true;
}

} // namespace

uint32_t GetCachedSysColor(int32_t index) {
    SysColorCache& cache = Cache();
    if (!cache.filled) Fill(cache);
    if (index < 0 || index >= kCachedColours) return GetSysColor(index);
    return cache.colours[index];
}

void RefreshSysColorCache() {
    if (Cache().filled) Fill(Cache());
}
