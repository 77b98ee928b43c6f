// Format-independent pixel routines beside the per-format tables of pixel_format.h. Every
// routine takes coordinates already clipped by the caller, works on addressable pixels and
// allocates nothing.
#pragma once

#include <cstdint>

#include "graphics2d/blitter/pixel_format.h"
#include "platform/user/window_geometry.h"

// 1: every x86-64 processor has the 64-bit vector unit the surfaces' flag bit 0 names.
int CpuHasMMX();

// Copies a rectangle inside one surface; the two areas may overlap.
void Blit_MoveRect(const SurfaceBits* bits, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                   int32_t width, int32_t height);
// Scales the source rectangle over the destination rectangle by repeating or skipping
// pixels and rows (no filtering). Both surfaces have the same format; nothing happens when
// any size is not positive. Writes nothing outside the destination rectangle, and every
// pixel of it.
void Blit_Stretch(const SurfaceBits* destination, int32_t dx, int32_t dy, const SurfaceBits* source,
                  int32_t sx, int32_t sy, int32_t destinationWidth, int32_t destinationHeight,
                  int32_t sourceWidth, int32_t sourceHeight);
// Exchanges rows in place, height / 2 pairs; `widthBytes` bytes from byte column x (x
// counted in bytes).
void Surface_FlipVertical(const SurfaceBits* bits, int32_t x, int32_t y, int32_t widthBytes,
                          int32_t height);
// The smallest rectangle (right and bottom exclusive) holding every pixel that is not 0;
// 0 with the rectangle untouched when there is none.
int Surface_FindBounds(const SurfaceBits* bits, RECT* bounds);
// Stores the byte value over `widthBytes` bytes of `height` rows from byte column x.
void Surface_FillBytes(const SurfaceBits* bits, int32_t x, int32_t y, int32_t widthBytes,
                       int32_t height, uint8_t value);
// 1 when every byte of every row (width x bytes per pixel) is 0.
int Surface_IsBlank(const SurfaceBits* bits);
// Replaces each 8-bit pixel p of the rectangle by map[p].
void Surface_RemapIndices(const SurfaceBits* bits, int32_t x, int32_t y, int32_t width,
                          int32_t height, const uint8_t* map);
