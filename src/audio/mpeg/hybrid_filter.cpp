#include "audio/mpeg/hybrid_filter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kAliasCoefficients[8] = {-0.6,   -0.535, -0.33,   -0.185,
                                          -0.095, -0.041, -0.0142, -0.0037};

struct AliasPairs {
    float cs[8];
    float ca[8];
    AliasPairs() {
        for (int i = 0; i < 8; ++i) {
            double root = std::sqrt(1.0 + kAliasCoefficients[i] * kAliasCoefficients[i]);
            cs[i] = static_cast<float>(1.0 / root);
            ca[i] = static_cast<float>(kAliasCoefficients[i] / root);
        }
    }
};

double LongWindow(int type, int i) {
    double sine36 = std::sin(M_PI / 36.0 * (i + 0.5));
    switch (type) {
    case 1:
        if (i < 18) return sine36;
        if (i < 24) return 1.0;
        if (i < 30) return std::sin(M_PI / 12.0 * (i - 18 + 0.5));
        return 0.0;
    case 3:
        if (i < 6) return 0.0;
        if (i < 12) return std::sin(M_PI / 12.0 * (i - 6 + 0.5));
        if (i < 18) return 1.0;
        return sine36;
    default:
        return sine36;
    }
}

void AntiAlias(float* lines, int boundaries) {
    static const AliasPairs pairs;
    for (int sb = 1; sb <= boundaries; ++sb) {
        float* upper = lines + 18 * sb;
        for (int i = 0; i < 8; ++i) {
            float below = upper[-1 - i];
            float above = upper[i];
            upper[-1 - i] = below * pairs.cs[i] - above * pairs.ca[i];
            upper[i] = above * pairs.cs[i] + below * pairs.ca[i];
        }
    }
}

} // namespace

HybridFilter::HybridFilter() {
    for (int k = 0; k < 18; ++k)
        for (int u = 0; u < 18; ++u) {
            int i = u < 9 ? u : 9 + u;
            longKernel_[k][u] =
                static_cast<float>(std::cos(M_PI / 72.0 * (2 * i + 19) * (2 * k + 1)));
        }
    for (int k = 0; k < 18; ++k)
        fast_.scale18[k] = static_cast<float>(0.5 / std::cos(M_PI * (2 * k + 1) / 72.0));
    for (int k = 0; k < 9; ++k)
        fast_.scale9[k] = static_cast<float>(0.5 / std::cos(M_PI * (2 * k + 1) / 36.0));
    for (int k = 0; k < 4; ++k) {
        for (int q = 0; q < 5; ++q)
            fast_.even9[q][k] = static_cast<float>(std::cos(M_PI * 2 * q * (2 * k + 1) / 18.0));
        for (int q = 0; q < 4; ++q)
            fast_.odd9[q][k] =
                static_cast<float>(std::cos(M_PI * (2 * q + 1) * (2 * k + 1) / 18.0));
    }
    for (int type = 0; type < 4; ++type)
        for (int i = 0; i < 36; ++i)
            longWindow_[type][i] = static_cast<float>(LongWindow(type, i));
    for (int k = 0; k < 6; ++k)
        for (int i = 0; i < 12; ++i)
            shortKernel_[k][i] =
                static_cast<float>(std::sin(M_PI / 12.0 * (i + 0.5)) *
                                   std::cos(M_PI / 24.0 * (2 * i + 7) * (2 * k + 1)));
    Reset();
}

void HybridFilter::Reset() {
    std::memset(overlap_, 0, sizeof overlap_);
}

void HybridFilter::Dct9(const float (*in)[kLanes], float (*out)[kLanes]) const {
    // Inputs k and 8 - k meet with the same cosine, of equal sign for even outputs and
    // opposite for odd ones; the middle input counts only in even outputs, as ±1.
    float a[4][kLanes], b[4][kLanes];
    for (int k = 0; k < 4; ++k)
        for (int l = 0; l < kLanes; ++l) {
            a[k][l] = in[k][l] + in[8 - k][l];
            b[k][l] = in[k][l] - in[8 - k][l];
        }
    for (int q = 0; q < 5; ++q) {
        float sum[kLanes];
        for (int l = 0; l < kLanes; ++l)
            sum[l] = (q & 1) != 0 ? -in[4][l] : in[4][l];
        for (int k = 0; k < 4; ++k)
            for (int l = 0; l < kLanes; ++l)
                sum[l] += a[k][l] * fast_.even9[q][k];
        for (int l = 0; l < kLanes; ++l)
            out[2 * q][l] = sum[l];
    }
    for (int q = 0; q < 4; ++q) {
        float sum[kLanes] = {};
        for (int k = 0; k < 4; ++k)
            for (int l = 0; l < kLanes; ++l)
                sum[l] += b[k][l] * fast_.odd9[q][k];
        for (int l = 0; l < kLanes; ++l)
            out[2 * q + 1][l] = sum[l];
    }
}

void HybridFilter::LongLanes(const float* lines, int sb0, const float* window,
                             float (*z)[kLanes]) const {
    alignas(16) float x[18][kLanes];
    for (int k = 0; k < 18; ++k)
        for (int l = 0; l < kLanes; ++l)
            x[k][l] = lines[18 * (sb0 + l) + k];
    // The 18 distinct outputs are a DCT-IV of 18 points, t. Inputs scaled by 1 / 2cos make
    // it the sum of neighbours of a DCT-II, c[m] + c[m + 1]; that one's even outputs are a
    // DCT-II of 9 points of folded sums, its odd ones a DCT-IV of 9 points of folded
    // differences, which the same scaling turns into a DCT-II of 9 points again.
    alignas(16) float sums[9][kLanes], differences[9][kLanes];
    for (int k = 0; k < 9; ++k)
        for (int l = 0; l < kLanes; ++l) {
            const float low = x[k][l] * fast_.scale18[k];
            const float high = x[17 - k][l] * fast_.scale18[17 - k];
            sums[k][l] = low + high;
            differences[k][l] = (low - high) * fast_.scale9[k];
        }
    alignas(16) float even[9][kLanes], odd[10][kLanes];
    Dct9(sums, even);
    Dct9(differences, odd);
    alignas(16) float c[19][kLanes];
    for (int l = 0; l < kLanes; ++l) {
        odd[9][l] = 0.0f;
        c[18][l] = 0.0f;
    }
    for (int p = 0; p < 9; ++p)
        for (int l = 0; l < kLanes; ++l) {
            c[2 * p][l] = even[p][l];
            c[2 * p + 1][l] = odd[p][l] + odd[p + 1][l];
        }
    // Outputs 0..8 are t[9..17], outputs 18..26 are -t[8..0].
    alignas(16) float raw[18][kLanes];
    for (int u = 0; u < 9; ++u)
        for (int l = 0; l < kLanes; ++l) {
            raw[u][l] = c[u + 9][l] + c[u + 10][l];
            raw[9 + u][l] = -(c[8 - u][l] + c[9 - u][l]);
        }
    for (int i = 0; i < 9; ++i)
        for (int l = 0; l < kLanes; ++l) {
            z[i][l] = raw[i][l] * window[i];
            z[17 - i][l] = -raw[i][l] * window[17 - i];
            z[18 + i][l] = raw[9 + i][l] * window[18 + i];
            z[35 - i][l] = raw[9 + i][l] * window[35 - i];
        }
}

void HybridFilter::LongLane(const float* x, const float* window, float (*z)[kLanes],
                            int lane) const {
    float raw[18] = {};
    for (int k = 0; k < 18; ++k)
        for (int u = 0; u < 18; ++u)
            raw[u] += longKernel_[k][u] * x[k];
    for (int i = 0; i < 9; ++i) {
        z[i][lane] = raw[i] * window[i];
        z[17 - i][lane] = -raw[i] * window[17 - i];
        z[18 + i][lane] = raw[9 + i] * window[18 + i];
        z[35 - i][lane] = raw[9 + i] * window[35 - i];
    }
}

void HybridFilter::ShortLane(const float* x, float (*z)[kLanes], int lane) const {
    // Three windows of 12, at 6, 12 and 18 of the 36 outputs.
    for (int i = 0; i < 36; ++i)
        z[i][lane] = 0.0f;
    for (int w = 0; w < 3; ++w) {
        float y[12] = {};
        for (int k = 0; k < 6; ++k) {
            const float value = x[3 * k + w];
            for (int i = 0; i < 12; ++i)
                y[i] += shortKernel_[k][i] * value;
        }
        for (int i = 0; i < 12; ++i)
            z[6 + 6 * w + i][lane] += y[i];
    }
}

void HybridFilter::Run(int channel, float* lines, int blockType, bool mixed, int longSubbands,
                       int activeLines, int subbands, float* out) {
    if (blockType != 2)
        AntiAlias(lines, std::min(31, (activeLines + 8 + 17) / 18));
    else if (mixed)
        AntiAlias(lines, longSubbands - 1);
    // The alias butterflies reach 8 lines past a non-zero line.
    int activeSubbands = (activeLines + 8 + 17) / 18;
    if (activeSubbands > subbands) activeSubbands = subbands;
    float(*overlap)[32] = overlap_[channel & 1];
    const float* longWindow = longWindow_[blockType == 2 ? 0 : blockType];
    for (int sb0 = 0; sb0 < subbands; sb0 += kLanes) {
        alignas(16) float z[36][kLanes];
        if (sb0 >= activeSubbands) {
            std::memset(z, 0, sizeof z);
        } else if (blockType != 2 || (mixed && sb0 + kLanes <= longSubbands)) {
            // Lanes past the active subbands hold zero lines and give zeros.
            LongLanes(lines, sb0, longWindow, z);
        } else {
            for (int l = 0; l < kLanes; ++l) {
                const int sb = sb0 + l;
                if (sb >= activeSubbands) {
                    for (int i = 0; i < 36; ++i)
                        z[i][l] = 0.0f;
                } else if (mixed && sb < longSubbands) {
                    LongLane(lines + 18 * sb, longWindow_[0], z, l);
                } else {
                    ShortLane(lines + 18 * sb, z, l);
                }
            }
        }
        // Overlap-add, and every odd sample of every odd subband inverted.
        for (int i = 0; i < 18; ++i) {
            float* keep = overlap[i] + sb0;
            float* row = out + i * 32 + sb0;
            for (int l = 0; l < kLanes; ++l) {
                const float value = z[i][l] + keep[l];
                keep[l] = z[18 + i][l];
                row[l] = (i & l & 1) != 0 ? -value : value;
            }
        }
    }
}

void HybridFilter::Flush(int channel, int subbands, float* out) {
    float(*overlap)[32] = overlap_[channel & 1];
    for (int i = 0; i < 18; ++i)
        for (int sb = 0; sb < subbands; ++sb) {
            out[i * 32 + sb] = (i & sb & 1) != 0 ? -overlap[i][sb] : overlap[i][sb];
            overlap[i][sb] = 0.0f;
        }
}
