// What a software frame hands the polygon set-up and the span routines: the locked target,
// the depth buffer, the lighting style and the per-scanline tables. The software renderer
// owns one and keeps it in step with its own state; the span routines reach it only through
// the current raster, which the renderer sets for the length of a frame.
#pragma once

#include <cstdint>

// One scanline's end of an edge. Words 1 and 2 are u·w and v·w as floats for the
// perspective set-up and 16.16 texels for the affine one; colour words are 16.16.
struct ScanEdge {
    int32_t x;
    union {
        float f;
        int32_t fixed;
    } u, v;
    int32_t z;
    float w;
    int32_t red, green, blue, level;
};
static_assert(sizeof(ScanEdge) == 36);

struct SoftwareRasterState {
    uint8_t* Pixels = nullptr; // the first pixel of the locked target
    int32_t Pitch = 0;         // bytes per target row
    int32_t BitsPerPixel = 0;  // 8, 15, 16, 24 or 32
    int32_t ViewWidth = 0;
    int32_t ViewHeight = 0;
    int32_t* DepthBuffer = nullptr; // 0 is the farthest; a larger value is nearer
    int32_t DepthPitch = 0;         // entries per depth-buffer row
    uint32_t StateBits = 0;         // bit 8: modulated lighting
    int32_t ClippedDraw = 0;        // 1 while a clipped vertex list is drawn
    // One entry per target row; TableRows entries each.
    int32_t* XTableA = nullptr;
    int32_t* XTableB = nullptr;
    ScanEdge* EdgeTableA = nullptr;
    ScanEdge* EdgeTableB = nullptr;
    int32_t TableRows = 0;
};

// The raster of the frame being drawn; null outside frames until a renderer sets it.
SoftwareRasterState* CurrentSoftwareRaster();
void SetCurrentSoftwareRaster(SoftwareRasterState* raster);
