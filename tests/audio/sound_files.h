// Sound files built byte by byte for the audio tests (and the fuzz seeds): RIFF WAVE with
// any chunks around "fmt " and "data", AIFF and AIFC.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace audio_test {

using Bytes = std::vector<uint8_t>;

void PutLe16(Bytes& out, uint32_t value);
void PutLe32(Bytes& out, uint32_t value);
void PutBe16(Bytes& out, uint32_t value);
void PutBe32(Bytes& out, uint32_t value);

// A chunk: id, little-endian size, body, and a pad byte after an odd body when `pad`.
void PutChunk(Bytes& out, const char* id, const Bytes& body, bool pad = true);
Bytes PcmFormatChunk(uint16_t channels, uint32_t rate, uint16_t bits);
// RIFF WAVE around chunks already put; the RIFF size covers them.
Bytes Riff(const Bytes& chunks);
Bytes PcmWav(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& data);

// An MS ADPCM "fmt " body with the seven standard coefficient pairs.
Bytes AdpcmFormatBody(uint16_t channels, uint32_t rate, uint16_t blockAlign);

// AIFF ("AIFF") or AIFC with `compression`, samples already big-endian and signed.
Bytes Aiff(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& samples,
           const char* compression = nullptr);

// Deterministic noise.
Bytes Noise(size_t size, uint32_t seed);

// 16-bit mono samples of noise, none of them 0, so that the played part of an output is found
// after its leading silence.
std::vector<int16_t> NoiseSamples(uint32_t frames, uint32_t seed);
// A 16-bit mono PCM WAVE of the samples.
Bytes MonoWav(const std::vector<int16_t>& samples, uint32_t rate);

} // namespace audio_test
