// The frame arithmetic of the mixer, included by each build of the runs and by the voice's
// own loop for the frames at the ring's end; the anonymous namespace keeps each build's
// copy to its own file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/sound/sound_gain.h"

namespace {

using platform::sound::StereoGain;

template <int BYTES> inline float ReadSample(const uint8_t* at) {
    if constexpr (BYTES == 1) return (static_cast<int>(at[0]) - 128) / 128.0f;
    return static_cast<int16_t>(at[0] | (at[1] << 8)) / 32768.0f;
}

inline float Share(uint64_t position) {
    return static_cast<float>(static_cast<uint32_t>(position)) * (1.0f / 4294967296.0f);
}

// Adds the interpolation of `from` towards `to` by `share` into one output frame. A share
// of 0 leaves the sample as it is, so a buffer at the output's rate plays unchanged.
template <int BYTES, int CHANNELS, bool MONO>
inline void MixFrame(const uint8_t* from, const uint8_t* to, float share, StereoGain gain,
                     float* out) {
    float first = ReadSample<BYTES>(from);
    float left = first + (ReadSample<BYTES>(to) - first) * share;
    float right = left;
    if constexpr (CHANNELS == 2) {
        float second = ReadSample<BYTES>(from + BYTES);
        right = second + (ReadSample<BYTES>(to + BYTES) - second) * share;
        if constexpr (MONO) left = right = (left + right) * 0.5f;
    }
    out[0] += left * gain.left;
    out[1] += right * gain.right;
}

template <int BYTES, int CHANNELS, bool MONO>
uint64_t MixRunPlain(const uint8_t* ring, uint64_t position, uint64_t step, StereoGain gain,
                     float* out, size_t count) {
    constexpr size_t frameBytes = BYTES * CHANNELS;
    for (size_t k = 0; k < count; ++k) {
        const uint8_t* from = ring + (position >> 32) * frameBytes;
        MixFrame<BYTES, CHANNELS, MONO>(from, from + frameBytes, Share(position), gain,
                                        out + 2 * k);
        position += step;
    }
    return position;
}

} // namespace
