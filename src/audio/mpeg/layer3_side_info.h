// Layer III side information: where each granule's part lies in the main data and how it
// is coded.
#pragma once

#include <cstdint>

#include "audio/mpeg/bit_reader.h"
#include "audio/mpeg/mpeg_header.h"

struct GranuleChannel {
    // Bits of the part in the main data, from the first granule's start.
    int64_t startBit = 0;
    int64_t endBit = 0;
    // Values in the big-value region, at most 576.
    int bigValues = 0;
    int globalGain = 0;
    int scalefacCompress = 0;
    // MPEG-2 intensity channel only: the scale of its positions.
    int intensityScale = 0;
    int blockType = 0;
    bool mixed = false;
    int tableSelect[3] = {};
    int subblockGain[3] = {};
    // Lines where regions 1 and 2 begin, at most bigValues.
    int region1Start = 0;
    int region2Start = 0;
    bool preflag = false;
    int scalefacScale = 0;
    int count1Table = 0;
};

struct LayerThreeSideInfo {
    int mainDataBegin = 0;
    int scfsi[2][4] = {};
    // One granule for MPEG-2 and 2.5, two for MPEG-1.
    int granules = 0;
    GranuleChannel gr[2][2];
};

// Reads the side information that follows the header (and its CRC).
void ReadLayerThreeSideInfo(BitReader& reader, const MpegHeader& header, LayerThreeSideInfo& info);
