// A temporary view over a packed device-independent bitmap that the caller holds in memory
// (a 40-byte information header, bit-field masks or a colour table, then the rows). It owns
// nothing but the palette it may have registered. Input that cannot be read, or that does
// not fit the buffers given, leaves an empty surface: 0 x 0, depth 0, no pixels, so Lock
// fails and every drawing operation does nothing.
#pragma once

#include <cstddef>

#include "graphics2d/surfaces/surface.h"

class cPackedDIBSurface : public cSurface {
public:
    // `dib` holds `dibSize` bytes. When `bits` is null the rows follow the masks or colour
    // table inside `dib`; otherwise they are the `bitsSize` bytes at `bits`. Read: 8, 16
    // (5-5-5, or the 5-6-5 masks), 24 and 32 bits, plain or with bit-field masks. With
    // `makePalette` an 8-bit bitmap registers its colour table (at most 256 colours) as a
    // shared palette that the surface holds.
    cPackedDIBSurface(void* dib, size_t dibSize, void* bits, size_t bitsSize, int makePalette);
    ~cPackedDIBSurface() override;

    cSurface* MakeInstance(int32_t, int32_t) override { return nullptr; }
    int InitFormat(int32_t) override { return 0; }
};
