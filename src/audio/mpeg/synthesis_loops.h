// Inside the synthesis filter: the DCT and the windowing of its time slots. The window runs
// on vectors of eight floats, spelled out so that it is vectorised at any optimisation level
// (one AVX register, or two SSE ones in the baseline build). Included by the baseline and the
// AVX2 build of the kernels; the anonymous namespace keeps each build's copy to its own file.
#pragma once

#include <cstring>

#include "audio/mpeg/synthesis_kernels.h"

namespace {

// Only ever a local: passed or returned, it would depend on the build's ABI.
using Lanes = float __attribute__((vector_size(32)));

// X[k] = Σ x[n] cos(π(2n + 1)k / 2N), split into halves of sums and scaled differences.
template <int N>
[[gnu::always_inline]] inline void Dct(const float* x, float* out, const float* coefficients) {
    if constexpr (N == 1) {
        out[0] = x[0];
    } else {
        constexpr int kHalf = N / 2;
        float sums[kHalf], differences[kHalf], even[kHalf], odd[kHalf];
        const float* c = coefficients + kHalf;
        if constexpr (kHalf % 8 == 0) {
            for (int n = 0; n < kHalf; n += 8) {
                Lanes low, high, scale;
                std::memcpy(&low, x + n, sizeof low);
                std::memcpy(&high, x + N - 8 - n, sizeof high);
                std::memcpy(&scale, c + n, sizeof scale);
                high = __builtin_shufflevector(high, high, 7, 6, 5, 4, 3, 2, 1, 0);
                const Lanes sum = low + high;
                const Lanes difference = (low - high) * scale;
                std::memcpy(sums + n, &sum, sizeof sum);
                std::memcpy(differences + n, &difference, sizeof difference);
            }
        } else {
            for (int n = 0; n < kHalf; ++n) {
                sums[n] = x[n] + x[N - 1 - n];
                differences[n] = (x[n] - x[N - 1 - n]) * c[n];
            }
        }
        Dct<kHalf>(sums, even, coefficients);
        Dct<kHalf>(differences, odd, coefficients);
        for (int k = 0; k < kHalf; ++k)
            out[2 * k] = even[k];
        for (int k = 0; k < kHalf - 1; ++k)
            out[2 * k + 1] = odd[k] + odd[k + 1];
        out[N - 1] = odd[kHalf - 1];
    }
}

// One time slot of M bands: the new V vector (2M values) from the DCT, then M outputs from
// the window over the last 16 V vectors.
template <int M>
int RunSlots(const float* subbands, int slots, float* ring, int head, const float* window,
             const float* coefficients, float* out) {
    for (int slot = 0; slot < slots; ++slot) {
        head = (head + 15) & 15;
        float* v = ring + head * 64;
        float x[M];
        Dct<M>(subbands + slot * 32, x, coefficients);
        // V[i] = Σ cos((M/2 + i)(2k + 1)π / 2M) S[k], from the DCT's values by symmetry.
        if constexpr (M % 16 == 0) {
            // The same copies, eight at a time: x's halves go in order or reversed, negated
            // but for the first; the last two overlap on V[3M/2] = -x[0].
            constexpr int kHalf = M / 2;
            for (int n = 0; n < kHalf; n += 8) {
                Lanes low, high;
                std::memcpy(&low, x + n, sizeof low);
                std::memcpy(&high, x + kHalf + n, sizeof high);
                const Lanes lowBack = -__builtin_shufflevector(low, low, 7, 6, 5, 4, 3, 2, 1, 0);
                const Lanes highBack =
                    -__builtin_shufflevector(high, high, 7, 6, 5, 4, 3, 2, 1, 0);
                const Lanes lowNegated = -low;
                std::memcpy(v + n, &high, sizeof high);
                std::memcpy(v + M - 7 - n, &highBack, sizeof highBack);
                std::memcpy(v + 3 * kHalf - 7 - n, &lowBack, sizeof lowBack);
                std::memcpy(v + 3 * kHalf + n, &lowNegated, sizeof lowNegated);
            }
            v[kHalf] = 0.0f;
        } else {
            for (int i = 0; i < M / 2; ++i)
                v[i] = x[M / 2 + i];
            v[M / 2] = 0.0f;
            for (int i = M / 2 + 1; i <= M; ++i)
                v[i] = -x[3 * M / 2 - i];
            for (int i = M + 1; i < 2 * M; ++i)
                v[i] = -x[i - 3 * M / 2 < 0 ? 3 * M / 2 - i : i - 3 * M / 2];
        }
        if (out == nullptr) continue;
        // All M outputs side by side, so that their sums are independent chains the
        // processor runs in parallel and stay in registers.
        constexpr int kVectors = M / 8;
        Lanes y[kVectors] = {};
        for (int i = 0; i < 8; ++i) {
            const float* w0 = window + 2 * M * i;
            const float* w1 = w0 + M;
            const float* e = ring + ((head + 2 * i) & 15) * 64;
            const float* o = ring + ((head + 2 * i + 1) & 15) * 64 + M;
            // Unrolled, so that the sums stay in registers.
#pragma GCC unroll 4
            for (int v = 0; v < kVectors; ++v) {
                Lanes a, b, c, d;
                std::memcpy(&a, w0 + 8 * v, sizeof a);
                std::memcpy(&b, e + 8 * v, sizeof b);
                std::memcpy(&c, w1 + 8 * v, sizeof c);
                std::memcpy(&d, o + 8 * v, sizeof d);
                y[v] += a * b + c * d;
            }
        }
        std::memcpy(out + slot * M, y, sizeof y);
    }
    return head;
}

constexpr SynthesisKernels kKernels = {{&RunSlots<32>, &RunSlots<16>, &RunSlots<8>}};

} // namespace
