// Memory DCs on DIB sections for the GDI tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/dc_state.h"

namespace gdi_test {

// A BITMAPINFO with room for 256 colours (or the three masks).
struct Info {
    BITMAPINFOHEADER header{};
    uint32_t colors[256]{};

    const BITMAPINFO* get() const { return reinterpret_cast<const BITMAPINFO*>(this); }
    BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

// Bytes of a DIB row.
inline int RowBytes(int width, int bits) {
    return (width * bits + 31) / 32 * 4;
}

inline Info MakeInfo(int width, int height, int bits, DWORD compression = BI_RGB) {
    Info info;
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = compression;
    if (bits == 16 && compression == BI_BITFIELDS) {
        info.colors[0] = 0xF800;
        info.colors[1] = 0x07E0;
        info.colors[2] = 0x001F;
    }
    return info;
}

// A DIB section selected into its own memory DC; both go when it does.
struct Canvas {
    HDC dc = 0;
    HBITMAP bitmap = 0;
    HGDIOBJ old = 0;
    uint8_t* bits = nullptr;

    explicit Canvas(const Info& info) {
        dc = CreateCompatibleDC(0);
        void* memory = nullptr;
        bitmap = CreateDIBSection(dc, info.get(), DIB_RGB_COLORS, &memory, 0, 0);
        bits = static_cast<uint8_t*>(memory);
        old = SelectObject(dc, bitmap);
    }
    Canvas(int width, int height, int bits, DWORD compression = BI_RGB)
        : Canvas(MakeInfo(width, height, bits, compression)) {}
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
};

// The bounds of the pixels of (0, 0) .. (width, height) that are not `background`, and
// how many there are.
struct Painted {
    RECT bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    int count = 0;

    Painted(HDC dc, int width, int height, COLORREF background) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (GetPixel(dc, x, y) == background) continue;
                ++count;
                bounds =
                    RECT{std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                         std::max<LONG>(bounds.right, x + 1), std::max<LONG>(bounds.bottom, y + 1)};
            }
        }
    }
};

} // namespace gdi_test
