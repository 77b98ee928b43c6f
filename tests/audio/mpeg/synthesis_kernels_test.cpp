// Both builds of the synthesis loops give the same samples, slot after slot, at every rate.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "audio/mpeg/synthesis_kernels.h"

TEST(SynthesisKernelsTest, BothBuildsGiveTheSameSamples) {
    if (!__builtin_cpu_supports("avx2")) GTEST_SKIP() << "no AVX2 on this processor";
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::vector<float> subbands(36 * 32), window(512), coefficients(32);
    for (float& v : subbands)
        v = value(random);
    for (float& v : window)
        v = value(random);
    for (int half = 1; half <= 16; half *= 2)
        for (int n = 0; n < half; ++n)
            coefficients[half + n] =
                static_cast<float>(0.5 / std::cos((2 * n + 1) * M_PI / (4.0 * half)));
    for (int reduction = 0; reduction < 3; ++reduction) {
        alignas(32) float rings[2][16 * 64] = {};
        std::vector<float> out[2];
        int heads[2] = {};
        const SynthesisKernels* sets[2] = {&kSynthesisKernelsBaseline, &kSynthesisKernelsAvx2};
        for (int s = 0; s < 2; ++s) {
            out[s].assign(36 * 32, 0.0f);
            // Two calls, so that the second reads V vectors the first left in the ring.
            for (int call = 0; call < 2; ++call)
                heads[s] = sets[s]->slots[reduction](subbands.data(), 18, rings[s], heads[s],
                                                     window.data(), coefficients.data(),
                                                     out[s].data() + call * 18 * (32 >> reduction));
        }
        EXPECT_EQ(heads[0], heads[1]);
        EXPECT_EQ(out[0], out[1]) << "reduction " << reduction;
    }
}
