// Block transfers under ternary raster operations: the high word's low byte of a raster
// operation code is its truth table (bit P * 4 + S * 2 + D). The pattern is the DC's
// brush; the source is converted to the destination's format first (a monochrome
// source shows the destination DC's text and background colours; a colour source drawn
// on a monochrome target is 1 where it has the source DC's background colour).
#pragma once

#include "platform/gdi/gdi_objects.h"

inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD SRCPAINT = 0x00EE0086;
inline constexpr DWORD SRCAND = 0x008800C6;
inline constexpr DWORD SRCINVERT = 0x00660046;
inline constexpr DWORD SRCERASE = 0x00440328;
inline constexpr DWORD NOTSRCCOPY = 0x00330008;
inline constexpr DWORD NOTSRCERASE = 0x001100A6;
inline constexpr DWORD MERGECOPY = 0x00C000CA;
inline constexpr DWORD MERGEPAINT = 0x00BB0226;
inline constexpr DWORD PATCOPY = 0x00F00021;
inline constexpr DWORD PATPAINT = 0x00FB0A09;
inline constexpr DWORD PATINVERT = 0x005A0049;
inline constexpr DWORD DSTINVERT = 0x00550009;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;

// FALSE for a dead DC, or a missing source DC when the operation reads one.
BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
            DWORD rop);
// Samples the source pixel under each destination pixel's centre (COLORONCOLOR,
// whatever the stretch mode); extents of opposite signs mirror. A negative extent covers
// the pixels before the origin and the origin's own (`extent_box.h`), in every blit.
BOOL StretchBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, DWORD rop);
// Operations reading no source only.
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
