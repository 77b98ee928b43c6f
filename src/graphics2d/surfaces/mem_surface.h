// The library's general off-screen surface: pixels in its own zero-filled heap block, rows
// top-down and padded to 4 bytes. The constructor makes a prototype; a usable surface comes
// from a prototype's MakeInstance after InitFormat has fixed the format.
#pragma once

#include "graphics2d/surfaces/surface.h"

class cMemSurface : public cSurface {
public:
    cMemSurface() = default;
    ~cMemSurface() override;

    // Null for a negative size, a block over kMaxSurfaceBytes or no memory.
    cSurface* MakeInstance(int32_t width, int32_t height) override;
    // New zero-filled pixels and a whole-surface clip rectangle; on failure (as for
    // MakeInstance) 0, keeping the old pixels and size.
    int Resize(int32_t width, int32_t height) override;
    int ReadPixels(HANDLE file) override;
    int WritePixels(HANDLE file) override;

private:
    // Allocates a zero-filled block for the size; 0 on failure.
    static int AllocatePixels(int32_t width, int32_t height, int32_t depth, int32_t* pitch,
                              uint8_t** block, uint8_t** pixels);
};
