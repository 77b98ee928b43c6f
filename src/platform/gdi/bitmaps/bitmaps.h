// Bitmaps: DIB sections (memory the caller may write directly), bitmaps compatible with
// a DC, monochrome bitmaps, and the calls moving device-independent pixels in and out.
// Every BITMAPINFO a caller gives is checked (header size, planes, bit count,
// compression, colours used, rows) before anything is read past its header; images
// whose bits would pass 2^31 - 1 bytes are refused.
#pragma once

#include "platform/gdi/gdi_objects.h"

using HBITMAP = HGDIOBJ;

inline constexpr DWORD BI_RGB = 0;
inline constexpr DWORD BI_RLE8 = 1;
inline constexpr DWORD BI_RLE4 = 2;
inline constexpr DWORD BI_BITFIELDS = 3;

inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr UINT DIB_PAL_COLORS = 1;

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight; // negative: rows top first
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

// The header, then the colour table: RGBQUADs, WORD palette indexes under
// DIB_PAL_COLORS, or three DWORD masks under BI_BITFIELDS.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3];
    HANDLE dshSection;
    DWORD dsOffset;
};

// 1, 8, 16, 24 or 32 bits; 16 bits are 5-5-5 under BI_RGB, BI_BITFIELDS
// takes 5-5-5 or 5-6-5 masks (and 8-8-8 at 32 bits). The bits are zero, stay where they
// are while the bitmap lives, and are written to `bits`. Section handles are refused.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
// The DC's format: the selected bitmap's for a memory DC, the display's otherwise.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// One plane; 1, 16, 24 or 32 bits per pixel, rows of `bits` rounded to 2 bytes.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);

// The colour table of the DIB section selected into a memory DC; entries written/read.
UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colors);
UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors);

// Rows `start` .. `start + lines - 1`, counted from the bottom of the image, in the
// format `info` asks for. Without `bits`: fills in the header's size of image (and a
// zero bit count's whole format). The number of rows, 0 on failure.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits,
              const BITMAPINFO* info, UINT usage);
// A DIB drawn stretched: the source y is counted from the image's bottom row, for a
// top-down image too. The image's height as its header gives it (negative for a top-down
// image under every raster operation but SRCCOPY, which answers it positive), 0 on
// failure.
int StretchDIBits(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY,
                  int sourceWidth, int sourceHeight, const void* bits, const BITMAPINFO* info,
                  UINT usage, DWORD rop);
