// Scale-factor band boundaries of Layer III, in lines, for the nine sampling frequencies.
#pragma once

#include <cstdint>

struct LayerThreeBands {
    // 22 long bands: band b covers lines longStart[b] .. longStart[b + 1] - 1.
    int16_t longStart[23];
    // 13 short bands of one window, in lines of that window (0 .. 192).
    int16_t shortStart[14];
};

// `version` 0..2 and the header's sample-rate index 0..2.
const LayerThreeBands& GetLayerThreeBands(int version, int rateIndex);
