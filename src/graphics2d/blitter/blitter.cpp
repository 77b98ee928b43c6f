#include "graphics2d/blitter/blitter.h"

#include <cstring>

#include "graphics2d/blitter/pixel_traits.h"

int CpuHasMMX() {
    return 1;
}

void Blit_MoveRect(const SurfaceBits* bits, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                   int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return;
    const size_t bytes = size_t(width) * size_t(bits->bytesPerPixel);
    // Rows are taken in the order that reads every source row before it is overwritten
    // (by row number, so rows stored bottom-up are no different); memmove keeps a row
    // right when its two spans overlap.
    if (dy > sy) {
        for (int32_t row = height - 1; row >= 0; row--)
            memmove(PixelAddress(bits, dx, dy + row), PixelAddress(bits, sx, sy + row), bytes);
    } else {
        for (int32_t row = 0; row < height; row++)
            memmove(PixelAddress(bits, dx, dy + row), PixelAddress(bits, sx, sy + row), bytes);
    }
}

void Surface_FlipVertical(const SurfaceBits* bits, int32_t x, int32_t y, int32_t widthBytes,
                          int32_t height) {
    for (int32_t top = 0, bottom = height - 1; top < bottom; top++, bottom--) {
        uint8_t* a = bits->pixels + ptrdiff_t(y + top) * bits->signedPitch + x;
        uint8_t* b = bits->pixels + ptrdiff_t(y + bottom) * bits->signedPitch + x;
        for (int32_t i = 0; i < widthBytes; i++) {
            const uint8_t t = a[i];
            a[i] = b[i];
            b[i] = t;
        }
    }
}

int Surface_FindBounds(const SurfaceBits* bits, RECT* bounds) {
    int32_t left = bits->width, top = bits->height, right = -1, bottom = -1;
    const int32_t bpp = bits->bytesPerPixel;
    for (int32_t y = 0; y < bits->height; y++) {
        const uint8_t* row = PixelAddress(bits, 0, y);
        for (int32_t x = 0; x < bits->width; x++) {
            const uint8_t* p = row + ptrdiff_t(x) * bpp;
            uint8_t any = 0;
            for (int32_t b = 0; b < bpp; b++)
                any |= p[b];
            if (!any) continue;
            if (x < left) left = x;
            if (x > right) right = x;
            if (y < top) top = y;
            bottom = y;
        }
    }
    if (right < 0) return 0;
    bounds->left = left;
    bounds->top = top;
    bounds->right = right + 1;
    bounds->bottom = bottom + 1;
    return 1;
}

void Surface_FillBytes(const SurfaceBits* bits, int32_t x, int32_t y, int32_t widthBytes,
                       int32_t height, uint8_t value) {
    if (widthBytes <= 0) return;
    for (int32_t row = 0; row < height; row++)
        memset(bits->pixels + ptrdiff_t(y + row) * bits->signedPitch + x, value,
               size_t(widthBytes));
}

int Surface_IsBlank(const SurfaceBits* bits) {
    const int64_t bytes = int64_t(bits->width) * bits->bytesPerPixel;
    for (int32_t y = 0; y < bits->height; y++) {
        const uint8_t* row = PixelAddress(bits, 0, y);
        uint8_t any = 0;
        for (int64_t i = 0; i < bytes; i++)
            any |= row[i];
        if (any) return 0;
    }
    return 1;
}

void Surface_RemapIndices(const SurfaceBits* bits, int32_t x, int32_t y, int32_t width,
                          int32_t height, const uint8_t* map) {
    for (int32_t row = 0; row < height; row++) {
        uint8_t* p = PixelAddress(bits, x, y + row);
        for (int32_t i = 0; i < width; i++)
            p[i] = map[p[i]];
    }
}
