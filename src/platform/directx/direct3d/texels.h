// Pixels of DirectDraw surfaces in the formats the layer offers, to and from the 8-8-8-8
// words OpenGL takes (red in the lowest byte). Internal to direct3d/.
#pragma once

#include <cstdint>

#include "platform/directx/direct3d/d3d_types.h"

namespace platform::d3d {

// Rows of `width` pixels of `format`, `pitch` bytes apart, into `out` (width x height words,
// rows in the same order). Channels are widened by repeating their high bits; a format
// without alpha is opaque. With a key, pixels whose colour lies within its range get
// alpha 0, so that an alpha test above 0 leaves them out.
void ToRGBA(const uint8_t* pixels, long pitch, uint32_t width, uint32_t height,
            const DDPIXELFORMAT& format, const DDCOLORKEY* key, uint32_t* out);

// The other way, for a render target: `in` holds width x height words, rows in the order
// `pixels` takes them.
void FromRGBA(const uint32_t* in, uint32_t width, uint32_t height, const DDPIXELFORMAT& format,
              uint8_t* pixels, long pitch);

} // namespace platform::d3d
