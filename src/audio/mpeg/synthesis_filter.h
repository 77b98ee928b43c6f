// The polyphase synthesis filter bank: 32 subband samples a time slot become 32 output
// samples, or 16 and 8 at half and quarter rate from the lowest 16 and 8 subbands, which
// gives the full-rate output's lower band at the lower rate.
#pragma once

#include <cstdint>

class SynthesisFilter {
public:
    static constexpr int kSlots = 36;

    // Tables for a reduction of 0, 1 or 2; clears the state.
    void Setup(int reduction);
    void Reset();
    // `subbands`: slots × 32 samples of one channel (slot-major); `out` receives
    // slots × (32 >> reduction) samples, or nothing when null (the state still moves on).
    void Run(int channel, const float* subbands, int slots, float* out);

private:
    int bands_ = 32;
    int reduction_ = 0;
    alignas(32) float window_[512] = {};
    alignas(32) float coefficients_[32] = {};
    // Per channel the last 16 V vectors (2 × bands values each) and which is newest.
    alignas(32) float v_[2][16 * 64] = {};
    int head_[2] = {};
};
