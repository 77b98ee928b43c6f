// The row loops again, for processors with AVX2: twice the vector width for the blends and
// the additions. Everything the loops call from elsewhere is included before the target
// switch, so only the loops of this file carry AVX2 code.
#include <cstdint>
#include <cstring>

#include "graphics2d/blitter/blitter_rows.h"
#include "graphics2d/blitter/pixel_traits.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC target("avx2")
#endif

#define ZORV_ROW_LOOPS_AVX2
#include "graphics2d/blitter/blitter_row_loops.h"

const BlitRowKernels kBlitRowKernelsAvx2[kFormatCount] = {
    kKernels[0], kKernels[1], kKernels[2], kKernels[3], kKernels[4],
};

#if defined(__clang__)
#pragma clang attribute pop
#endif
