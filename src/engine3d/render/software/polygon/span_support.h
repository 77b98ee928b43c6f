// What the span routines of the software polygon share: the raster they may draw into,
// the texture they read and the cut of a span to the target's columns.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine3d/render/software/polygon/pixel_formats.h"
#include "engine3d/render/software/raster_state.h"
#include "engine3d/scene/materials/texture.h"

namespace software_raster {

// The current raster when a routine of the depth can draw into it: pixels of that size,
// and a depth buffer when the routine tests depth. A material prepared for another depth
// than the frame's target draws nothing rather than write pixels of the wrong size.
inline SoftwareRasterState* RasterFor(int depth, bool needsDepth) {
    SoftwareRasterState* raster = CurrentSoftwareRaster();
    if (raster == nullptr || raster->Pixels == nullptr || raster->ViewWidth <= 0 ||
        raster->ViewHeight <= 0 || BytesPerPixel(raster->BitsPerPixel) != BytesPerPixel(depth))
        return nullptr;
    if (needsDepth && raster->DepthBuffer == nullptr) return nullptr;
    return raster;
}

// Texture slot 0 when its texels can be read as pixels of the depth.
inline const LTexture* TextureFor(const LTexture* t, int depth) {
    if (t == nullptr || t->pixels == nullptr || t->width == 0 || t->height == 0 ||
        t->width > LTexture::kMaxSide || t->height > LTexture::kMaxSide ||
        BytesPerPixel(int(t->bitsPerPixel)) != BytesPerPixel(depth) ||
        t->pitch < t->width * uint32_t(BytesPerPixel(depth)))
        return nullptr;
    return t;
}

// A span of n pixels from column x, cut to [0, width): skipped is how many pixels were
// cut on the left, for the caller to advance its values by.
struct SpanCut {
    int32_t x = 0;
    int32_t n = 0;
    int32_t skipped = 0;
};

inline SpanCut CutSpan(int32_t x, int32_t n, int32_t width) {
    SpanCut cut{x, n, 0};
    if (cut.x < 0) {
        cut.skipped = -cut.x;
        cut.n -= cut.skipped;
        cut.x = 0;
    }
    cut.n = std::min(cut.n, width - cut.x);
    return cut;
}

} // namespace software_raster
