// The smoothing filters that soften the edges of a shape copied with BlitTo's smooth flag:
// a destination pixel the shape does not cover, with covered neighbours both across and
// along, is mixed with them.
#pragma once

#include <cstdint>

// Nine colours and coverages, row by row, the pixel itself at index 4.
uint32_t SmoothEdges(const uint32_t* colours, const uint8_t* coverage, uint32_t param);
// As SmoothEdges, black neighbours first counting as the colour param & 0xFFFFFF.
uint32_t SmoothEdgesOverColor(const uint32_t* colours, const uint8_t* coverage, uint32_t param);
