// The synthesis loops again, for processors with AVX2: eight window taps a vector. Sums
// keep their order, so both builds give the same samples.
#include "audio/mpeg/synthesis_kernels.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC target("avx2")
#endif

#include "audio/mpeg/synthesis_loops.h"

const SynthesisKernels kSynthesisKernelsAvx2 = kKernels;

#if defined(__clang__)
#pragma clang attribute pop
#endif
