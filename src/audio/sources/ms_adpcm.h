// The Microsoft ADPCM block decoder: per block and channel a 7-byte header (predictor
// index, initial delta, two samples), then 4-bit codes, high nibble first, channels
// interleaved.
#pragma once

#include <cstdint>
#include <vector>

struct MsAdpcmLayout {
    uint16_t channels = 1;
    uint16_t blockAlign = 0;
    // Coefficient pairs from the format's extra bytes.
    std::vector<int16_t> coefficients;
};

// Samples per block of each channel for a block align, 0 when the align cannot hold a
// block header.
uint32_t MsAdpcmSamplesPerBlock(uint16_t blockAlign, uint16_t channels);

// Decodes the whole blocks of `input` into 16-bit samples; returns the bytes written. A
// block whose predictor index has no coefficient pair ends the decoding; nothing is ever
// written past `capacity`.
uint32_t DecodeMsAdpcm(const MsAdpcmLayout& layout, const uint8_t* input, uint32_t size,
                       uint8_t* output, uint32_t capacity);
