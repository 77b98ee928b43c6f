// The chunk walk of RIFF WAVE files, shared by the source factory's test and the WAV
// source. Offsets are 64-bit and every step moves forward, so a hostile size ends the walk
// at the end of the data instead of wrapping; the pad byte after an odd-sized chunk is
// skipped unless no plausible chunk follows it (some writers leave it out).
#pragma once

#include <cstdint>
#include <functional>

class CInStream;

constexpr uint32_t FourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

struct RiffChunk {
    uint32_t id = 0;
    uint32_t size = 0;
    // Stream offset of the chunk's first data byte.
    uint64_t offset = 0;
};

// False when the stream is no RIFF WAVE file. `visit` sees each chunk header with the
// stream at its data and returns false to stop the walk.
bool WalkRiffWave(CInStream& stream, const std::function<bool(const RiffChunk&)>& visit);

// Four bytes that could be a chunk id: printable ASCII.
bool IsPlausibleChunkId(const uint8_t id[4]);
