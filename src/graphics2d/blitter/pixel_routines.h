// Inside the blitter: the twelve routines of a pixel-format table as templates over the
// format traits of pixel_traits.h. Each is defined in the file of its family and built
// there for the five formats; pixel_format.cpp gathers them into the tables.
#pragma once

#include <cstdint>

#include "graphics2d/blitter/pixel_format.h"

template <class F> void PutPixelOf(const SurfaceBits* bits, int32_t x, int32_t y, uint32_t colour);
template <class F> uint32_t GetPixelOf(const SurfaceBits* bits, int32_t x, int32_t y);
template <class F>
void FillRectOf(const SurfaceBits* bits, int32_t x, int32_t y, int32_t width, int32_t height,
                uint32_t colour);
template <class F>
void CopyKeyedOf(const SurfaceBits* destination, int32_t dx, int32_t dy, const SurfaceBits* source,
                 int32_t sx, int32_t sy, int32_t width, int32_t height);
template <class F>
void CopyKeyedOpOf(const SurfaceBits* destination, int32_t dx, int32_t dy,
                   const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width, int32_t height,
                   int32_t op, uint32_t param);
void CopyPlainRows(const SurfaceBits* destination, int32_t dx, int32_t dy,
                   const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                   int32_t height);
template <class F>
void CopyOpOf(const SurfaceBits* destination, int32_t dx, int32_t dy, const SurfaceBits* source,
              int32_t sx, int32_t sy, int32_t width, int32_t height, int32_t op, uint32_t param);
template <class F>
void CopyCallbackKeyedOf(const SurfaceBits* destination, int32_t dx, int32_t dy,
                         const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                         int32_t height, BlitColorFunction function, uintptr_t user);
template <class F>
void CopyCallbackOf(const SurfaceBits* destination, int32_t dx, int32_t dy,
                    const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                    int32_t height, BlitColorFunction function, uintptr_t user);
template <class F>
void MirrorHorizontalOf(const SurfaceBits* bits, int32_t x, int32_t y, int32_t width,
                        int32_t height);
template <class F>
void ReplaceColorOf(const SurfaceBits* bits, int32_t x, int32_t y, int32_t width, int32_t height,
                    uint32_t newColour, uint32_t oldColour);
template <class F>
void ConvertCopyOf(const SurfaceBits* destination, int32_t dx, int32_t dy,
                   const SurfaceBits* source, int32_t sx, int32_t sy, int32_t width,
                   int32_t height);
