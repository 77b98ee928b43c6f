// Layer III granules: scale factors, Huffman values, requantisation, stereo processing and
// the hybrid filter bank, into subband samples for the synthesis.
#pragma once

#include <cstdint>

#include "audio/mpeg/hybrid_filter.h"
#include "audio/mpeg/layer3_bands.h"
#include "audio/mpeg/layer3_side_info.h"
#include "audio/mpeg/mpeg_header.h"

class LayerThreeDecoder {
public:
    LayerThreeDecoder();

    // Clears the overlap of the filter bank and the kept scale factors.
    void Reset();
    // Decodes granule `gr` of a frame from `mainData` (padded, `mainBits` long), into
    // 18 slots × 32 subbands per channel at `out[ch]`, over the first `subbands` subbands.
    void DecodeGranule(const uint8_t* mainData, int64_t mainBits, const MpegHeader& header,
                       const LayerThreeSideInfo& info, int gr, int subbands, float* const out[2]);
    // A granule without a frame: the overlap passes on as output and is cleared.
    void FlushGranule(int channels, int subbands, float* const out[2]);

    // The 576-line equaliser: line gains and the gains of the 192 short-block lines.
    void SetLineGains(const float* longGains, const float* shortGains);
    void ClearLineGains() { equaliserOn_ = false; }

private:
    struct ChannelScales {
        // Long bands 0..21 and short bands 0..12 × 3 windows; the last band of each stays 0.
        int longFactors[22];
        int shortFactors[13][3];
        // The largest value each scale factor could take (MPEG-2 intensity positions).
        int longMax[22];
        int shortMax[13][3];
    };

    void ReadScalesMpeg1(BitReader& reader, const GranuleChannel& g, const int* scfsi, int gr,
                         ChannelScales& scales);
    void ReadScalesMpeg2(BitReader& reader, const GranuleChannel& g, bool intensityChannel,
                         ChannelScales& scales);
    // Returns the count of lines up to the last one that may be non-zero.
    int ReadValues(BitReader& reader, const GranuleChannel& g, float* lines);
    void Requantise(const GranuleChannel& g, const ChannelScales& scales, bool mpeg1, float* lines);
    void Stereo(const MpegHeader& header, const GranuleChannel& right, int rightCount);
    void Reorder(const GranuleChannel& g, float* lines);

    const LayerThreeBands* bands_ = nullptr;
    ChannelScales scales_[2];
    alignas(32) float lines_[2][576];
    int lineCount_[2] = {};
    HybridFilter hybrid_;
    bool equaliserOn_ = false;
    float longGains_[576];
    float shortGains_[192];
};
