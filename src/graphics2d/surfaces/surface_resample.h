// The filtered resample behind smooth stretches: a source rectangle scaled over a whole
// target surface by a separable cubic filter, in 24-bit colour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics2d/blitter/pixel_format.h"

// The weights of one destination position: 16.16 fixed-point factors for the source
// positions first .. first + count - 1, summing to about 65536.
struct ResampleTaps {
    int32_t first;
    int32_t count;
    size_t offset; // into ResampleWeights::factors
};

struct ResampleWeights {
    std::vector<ResampleTaps> taps;
    std::vector<int32_t> factors;
};

// The weights for `destinationCount` positions over `sourceCount` (both positive).
ResampleWeights BuildResampleWeights(int32_t destinationCount, int32_t sourceCount);

// Scales (sx, sy, sw, sh) of `source` (inside it) over all of `target`; both addressable.
// False when memory runs out.
bool ResampleSurface(const SurfaceBits& target, const SurfaceBits& source, int32_t sx, int32_t sy,
                     int32_t sw, int32_t sh);
