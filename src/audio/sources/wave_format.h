// The wave format of PCM data as sounds and buffers describe it, and the checks that a
// format read from a file must pass before anything is sized from it.
#pragma once

#include <cstdint>

struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t extraSize = 0;
};

inline constexpr uint16_t kWaveFormatPcm = 1;
inline constexpr uint16_t kWaveFormatMsAdpcm = 2;

// The result of a source's Open for data it refuses.
inline constexpr int kSourceBadFormat = 7;

// PCM of 8 or 16 bits, 1 or 2 channels, 100 to 200000 Hz, whose block align and bytes per
// second agree with them.
bool IsPlayablePcm(const WaveFormat& format);

// A PCM format of the given shape with its block align and bytes per second.
WaveFormat MakePcmFormat(uint16_t channels, uint32_t rate, uint16_t bits);

// 1.2 seconds of the format, rounded down to whole frames.
uint64_t StreamBufferSize(const WaveFormat& format);
