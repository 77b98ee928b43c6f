// What happens to a block's subband samples on their way out: channel conversion, gain
// and the 32-band equaliser before the filter bank, then 16-bit or float samples
// interleaved by channel.
#pragma once

#include <cstdint>

#include "audio/mpeg/synthesis_filter.h"

class OutputStage {
public:
    // `channels` 0 (the source's), 1, 2 or -2 (two from any source); reduction 0..2.
    void Setup(int sourceChannels, int channels, int reduction, int bytesPerSample);
    int OutputChannels() const { return outputChannels_; }
    int Reduction() const { return reduction_; }
    // Bytes of one block of 1152 samples per channel at full rate.
    int BlockBytes() const { return (bytesPerSample_ * outputChannels_ * 1152) >> reduction_; }
    void ResetSynthesis() { synthesis_.Reset(); }

    void SetGain(float gain) { gain_ = gain; }
    // Nine factors; null or the neutral matrix switches it off.
    void SetMatrix(const float* matrix);
    // 32 subband gains as at full rate; all 1.0 switch the equaliser off.
    void SetBandGains(const float* gains);

    // Runs a block (36 slots × 32 subbands per source channel) into `out`, or only through
    // the filter bank when `out` is null. The subband samples are changed.
    void Synthesise(float* const subbands[2], uint8_t* out);

private:
    int sourceChannels_ = 2;
    int outputChannels_ = 2;
    int reduction_ = 0;
    int bytesPerSample_ = 2;
    bool mix_ = false;
    bool duplicate_ = false;
    float gain_ = 1.0f;
    bool matrixOn_ = false;
    float matrix_[9] = {};
    bool bandsOn_ = false;
    float bandGains_[32] = {};
    SynthesisFilter synthesis_;
    alignas(32) float samples_[2][1152];
    alignas(32) uint8_t staging_[2 * 4 * 1152];
};
