// The synthesis filter's time-slot loops, built for the x86-64 baseline and again for
// processors with AVX2; GetSynthesisKernels picks the set once.
#pragma once

// Runs `slots` time slots of one channel through the DCT into the ring of V vectors from
// `head` on and, unless `out` is null, the window; returns the new head.
using SynthesisSlots = int (*)(const float* subbands, int slots, float* ring, int head,
                               const float* window, const float* coefficients, float* out);

struct SynthesisKernels {
    // By reduction: 32, 16 and 8 bands.
    SynthesisSlots slots[3];
};

const SynthesisKernels& GetSynthesisKernels();

extern const SynthesisKernels kSynthesisKernelsBaseline;
extern const SynthesisKernels kSynthesisKernelsAvx2;
