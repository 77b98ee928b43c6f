#include "audio/mpeg/synthesis_kernels.h"

#include "audio/mpeg/synthesis_loops.h"

const SynthesisKernels kSynthesisKernelsBaseline = kKernels;

const SynthesisKernels& GetSynthesisKernels() {
    static const SynthesisKernels& kernels =
        __builtin_cpu_supports("avx2") ? kSynthesisKernelsAvx2 : kSynthesisKernelsBaseline;
    return kernels;
}
