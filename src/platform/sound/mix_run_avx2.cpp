// The 16-bit runs for processors with AVX2: eight frames a round, their samples gathered
// from the ring and interpolated side by side, with the plain loop's operations in its
// order, so the sums are the same bits. Everything from elsewhere is included before the
// target switch, so only the loops of this file carry AVX2 code.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "platform/sound/mix_run.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC target("avx2")
#endif

#include "platform/sound/mix_run_loops.h"

namespace {

struct Lanes {
    __m256i frame;
    __m256 share;
};

// The eight positions `position` + `offsets`: their frames (the high halves) and their
// shares (the low halves as floats). A low half is converted as its two 16-bit halves,
// which are exact, so their sum is rounded once, as the plain loop's conversion is.
inline Lanes Split(uint64_t position, __m256i offsets0, __m256i offsets1) {
    const __m256i base = _mm256_set1_epi64x(static_cast<long long>(position));
    const __m256i byHalf = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
    const __m256i first = _mm256_permutevar8x32_epi32(_mm256_add_epi64(base, offsets0), byHalf);
    const __m256i last = _mm256_permutevar8x32_epi32(_mm256_add_epi64(base, offsets1), byHalf);
    const __m256i low = _mm256_permute2x128_si256(first, last, 0x20);
    const __m256i high = _mm256_permute2x128_si256(first, last, 0x31);
    const __m256 lowBits = _mm256_cvtepi32_ps(_mm256_and_si256(low, _mm256_set1_epi32(0xFFFF)));
    const __m256 highBits =
        _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_srli_epi32(low, 16)), _mm256_set1_ps(65536.0f));
    return {high,
            _mm256_mul_ps(_mm256_add_ps(highBits, lowBits), _mm256_set1_ps(1.0f / 4294967296.0f))};
}

// The low and the high 16-bit sample of each lane, as the plain loop reads them.
inline __m256 LowSample(__m256i pairs) {
    return _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_srai_epi32(_mm256_slli_epi32(pairs, 16), 16)),
                         _mm256_set1_ps(1.0f / 32768.0f));
}
inline __m256 HighSample(__m256i pairs) {
    return _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_srai_epi32(pairs, 16)),
                         _mm256_set1_ps(1.0f / 32768.0f));
}

inline __m256 Interpolate(__m256 from, __m256 to, __m256 share) {
    return _mm256_add_ps(from, _mm256_mul_ps(_mm256_sub_ps(to, from), share));
}

// Adds the left and right values of eight frames into sixteen interleaved floats.
inline void AddInterleaved(__m256 left, __m256 right, float* out) {
    const __m256 low = _mm256_unpacklo_ps(left, right);
    const __m256 high = _mm256_unpackhi_ps(left, right);
    _mm256_storeu_ps(out,
                     _mm256_add_ps(_mm256_loadu_ps(out), _mm256_permute2f128_ps(low, high, 0x20)));
    _mm256_storeu_ps(
        out + 8, _mm256_add_ps(_mm256_loadu_ps(out + 8), _mm256_permute2f128_ps(low, high, 0x31)));
}

template <int CHANNELS, bool MONO>
uint64_t MixRun16(const uint8_t* ring, uint64_t position, uint64_t step, StereoGain gain,
                  float* out, size_t count) {
    const auto s = static_cast<long long>(step);
    const __m256i offsets0 = _mm256_setr_epi64x(0, s, 2 * s, 3 * s);
    const __m256i offsets1 = _mm256_add_epi64(offsets0, _mm256_set1_epi64x(4 * s));
    const __m256 gainLeft = _mm256_set1_ps(gain.left);
    const __m256 gainRight = _mm256_set1_ps(gain.right);
    const auto* samples = reinterpret_cast<const int*>(ring);
    size_t k = 0;
    for (; k + 8 <= count; k += 8) {
        const Lanes lanes = Split(position, offsets0, offsets1);
        __m256 left, right;
        if constexpr (CHANNELS == 1) {
            // Each frame's sample and the next one's, side by side in the ring.
            const __m256i pairs = _mm256_i32gather_epi32(samples, lanes.frame, 2);
            left = right = Interpolate(LowSample(pairs), HighSample(pairs), lanes.share);
        } else {
            const __m256i from = _mm256_i32gather_epi32(samples, lanes.frame, 4);
            const __m256i to = _mm256_i32gather_epi32(samples + 1, lanes.frame, 4);
            left = Interpolate(LowSample(from), LowSample(to), lanes.share);
            right = Interpolate(HighSample(from), HighSample(to), lanes.share);
            if constexpr (MONO)
                left = right = _mm256_mul_ps(_mm256_add_ps(left, right), _mm256_set1_ps(0.5f));
        }
        AddInterleaved(_mm256_mul_ps(left, gainLeft), _mm256_mul_ps(right, gainRight), out + 2 * k);
        position += 8 * step;
    }
    return MixRunPlain<2, CHANNELS, MONO>(ring, position, step, gain, out + 2 * k, count - k);
}

} // namespace

namespace platform::sound {

MixRunFn GetAvx2MixRun16(int channels, bool mono) {
    if (channels == 1) return MixRun16<1, false>;
    return mono ? MixRun16<2, true> : MixRun16<2, false>;
}

} // namespace platform::sound

#if defined(__clang__)
#pragma clang attribute pop
#endif
