#include "graphics2d/blitter/blitter_rows.h"

#include "graphics2d/blitter/blitter_row_loops.h"

const BlitRowKernels kBlitRowKernelsBaseline[kFormatCount] = {
    kKernels[0], kKernels[1], kKernels[2], kKernels[3], kKernels[4],
};

const BlitRowKernels* GetBlitRowKernels(int32_t formatIndex) {
    static const BlitRowKernels* const kernels =
        __builtin_cpu_supports("avx2") ? kBlitRowKernelsAvx2 : kBlitRowKernelsBaseline;
    return &kernels[formatIndex];
}
