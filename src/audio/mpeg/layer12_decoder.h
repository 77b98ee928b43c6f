// Layers I and II: bit allocation, scale factors and the samples of each subband,
// dequantised into the subband samples of the synthesis.
#pragma once

#include "audio/mpeg/bit_reader.h"
#include "audio/mpeg/mpeg_header.h"

class LayerOneTwoDecoder {
public:
    void Reset() {}
    // One Layer I frame: 12 slots × 32 subbands per channel at out[ch].
    void DecodeLayer1(BitReader& reader, const MpegHeader& header, float* const out[2]);
    // One Layer II frame: 36 slots.
    void DecodeLayer2(BitReader& reader, const MpegHeader& header, float* const out[2]);
};
