// The hybrid filter bank of Layer III: alias reduction, the IMDCT of the four block types
// with overlap-add, and the frequency inversion, from 576 lines to 18 slots of 32 subbands.
#pragma once

#include <cstdint>

class HybridFilter {
public:
    HybridFilter();

    void Reset();
    // `lines` in subband order (short blocks window-interleaved); writes out[slot * 32 + sb]
    // for 18 slots and the first `subbands` subbands. `longSubbands` of a mixed block are
    // transformed as long blocks of type 0; `activeLines` bounds the non-zero lines.
    void Run(int channel, float* lines, int blockType, bool mixed, int longSubbands,
             int activeLines, int subbands, float* out);
    // The overlap as the output of a granule without data, then cleared.
    void Flush(int channel, int subbands, float* out);

private:
    // Subbands go through the transform four at a time, one per vector lane, so that the
    // sums, the overlap and the output rows are all contiguous.
    static constexpr int kLanes = 4;

    // A DCT-II of 9 points per lane.
    void Dct9(const float (*in)[kLanes], float (*out)[kLanes]) const;
    void LongLanes(const float* lines, int sb0, const float* window, float (*z)[kLanes]) const;
    void LongLane(const float* x, const float* window, float (*z)[kLanes], int lane) const;
    void ShortLane(const float* x, float (*z)[kLanes], int lane) const;

    // The 36-point transform has 18 distinct outputs (the others repeat them, negated in the
    // first half): row k holds the cosines of X[k] for outputs 0..8 and 18..26.
    alignas(32) float longKernel_[18][18];
    alignas(32) float longWindow_[4][36];
    // The factored form of the same transform, for whole groups of long blocks.
    struct {
        float scale18[18];
        float scale9[9];
        float even9[5][4];
        float odd9[4][4];
    } fast_;
    // 6 rows of 12 values for one short window, windowed.
    alignas(32) float shortKernel_[6][12];
    // Per channel, the second half of the last transform: [slot][subband].
    alignas(32) float overlap_[2][18][32];
};
