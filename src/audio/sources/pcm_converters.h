// Converters between the four PCM kinds (8 or 16 bits, mono or stereo), with whole-number
// rate steps: each source frame taken, every `down` frames, is written `up` times.
#pragma once

#include <cstdint>

// Converts `frames` source frames; returns the number of frames written.
using PcmConverter = uint32_t (*)(const uint8_t* source, uint8_t* destination, uint32_t frames,
                                  uint32_t down, uint32_t up);
// The same at equal rates.
using PcmCopier = uint32_t (*)(const uint8_t* source, uint8_t* destination, uint32_t frames);

// Kind of a PCM layout: 8-bit mono 0, 8-bit stereo 1, 16-bit mono 2, 16-bit stereo 3.
int PcmKind(uint16_t bits, uint16_t channels);

// Table index for a conversion between kinds: 3 × source kind plus 0 (same bits, other
// channels), 1 (other bits, mono target) or 2 (other bits, stereo target); 12 + kind for
// same bits and channels (rate steps only). -1 for a kind out of range.
int PcmConverterIndex(int sourceKind, int targetKind);

PcmConverter GetPcmConverter(int index);
PcmCopier GetPcmCopier(int index);
