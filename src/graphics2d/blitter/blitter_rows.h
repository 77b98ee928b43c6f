// Inside the blitter: the row loops of fills, copies and copies with an operation, one set
// per pixel format. They are written for the compiler to vectorise and built twice, for
// the x86-64 baseline and for processors with AVX2; GetBlitRowKernels picks the set once.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics2d/blitter/pixel_format.h"

// What an operation row needs beside the pixels: the source and destination weights of the
// blends (they add up to 128) and the tint colour as a stored pixel word.
struct RowOpParams {
    uint32_t sourceWeight;
    uint32_t destinationWeight;
    uint32_t tintWord;
};

// n pixels from `s` combined into `d`.
using RowOp = void (*)(uint8_t* d, const uint8_t* s, int32_t n, const RowOpParams& params);

struct BlitRowKernels {
    // n bytes of a row; the two spans may overlap.
    void (*copy)(uint8_t* d, const uint8_t* s, size_t n);
    // Rows of `bytes` each from two areas that do not overlap.
    void (*copyRows)(uint8_t* d, ptrdiff_t dPitch, const uint8_t* s, ptrdiff_t sPitch, size_t bytes,
                     int32_t height);
    // n pixels of the stored word.
    void (*fill)(uint8_t* d, int32_t n, uint32_t word);
    // Source pixels other than the key replace the destination.
    void (*keyed)(uint8_t* d, const uint8_t* s, int32_t n);
    // Indexed by operation code; null where the format has no row for it (codes 0 and 7,
    // and at 8 bits the per-channel operations, which go through the palette). The tint
    // row replaces black destination pixels by the tint before blending.
    RowOp op[kBlitOpCount];
    // The operation only where the source is not the key.
    void (*keyedOp)(uint8_t* d, const uint8_t* s, int32_t n, int32_t op, const RowOpParams& params);
};

// The kernels of a format index, 0 to 4.
const BlitRowKernels* GetBlitRowKernels(int32_t formatIndex);

// The two builds of the kernels.
extern const BlitRowKernels kBlitRowKernelsBaseline[kFormatCount];
extern const BlitRowKernels kBlitRowKernelsAvx2[kFormatCount];
