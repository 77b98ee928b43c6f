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
        for (int u = 0; u < 24; ++u) {
            int i = u < 9 ? u : 9 + u;
            longKernel_[k][u] =
                u < 18 ? static_cast<float>(std::cos(M_PI / 72.0 * (2 * i + 19) * (2 * k + 1)))
                       : 0.0f;
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

void HybridFilter::Run(int channel, float* lines, int blockType, bool mixed, int longSubbands,
                       int activeLines, int subbands, float* out) {
    if (blockType != 2)
        AntiAlias(lines, std::min(31, (activeLines + 8 + 17) / 18));
    else if (mixed)
        AntiAlias(lines, longSubbands - 1);
    // The alias butterflies reach 8 lines past a non-zero line.
    int activeSubbands = (activeLines + 8 + 17) / 18;
    if (activeSubbands > subbands) activeSubbands = subbands;
    float(*overlap)[18] = overlap_[channel & 1];
    for (int sb = 0; sb < subbands; ++sb) {
        alignas(32) float z[36];
        const float* x = lines + 18 * sb;
        if (sb >= activeSubbands) {
            std::memset(z, 0, sizeof z);
        } else if (blockType != 2 || (mixed && sb < longSubbands)) {
            const float* window = longWindow_[blockType == 2 ? 0 : blockType];
            // Eight outputs at a time, so that their sums stay in registers.
            alignas(32) float raw[24];
            for (int u0 = 0; u0 < 24; u0 += 8) {
                float sum[8] = {};
                for (int k = 0; k < 18; ++k) {
                    const float value = x[k];
                    const float* row = longKernel_[k] + u0;
                    for (int j = 0; j < 8; ++j)
                        sum[j] += row[j] * value;
                }
                for (int j = 0; j < 8; ++j)
                    raw[u0 + j] = sum[j];
            }
            for (int i = 0; i < 9; ++i) {
                z[i] = raw[i] * window[i];
                z[17 - i] = -raw[i] * window[17 - i];
                z[18 + i] = raw[9 + i] * window[18 + i];
                z[35 - i] = raw[9 + i] * window[35 - i];
            }
        } else {
            // Three windows of 12, at 6, 12 and 18 of the 36 outputs.
            std::memset(z, 0, sizeof z);
            for (int w = 0; w < 3; ++w) {
                float y[12] = {};
                for (int k = 0; k < 6; ++k) {
                    const float value = x[3 * k + w];
                    for (int i = 0; i < 12; ++i)
                        y[i] += shortKernel_[k][i] * value;
                }
                for (int i = 0; i < 12; ++i)
                    z[6 + 6 * w + i] += y[i];
            }
        }
        float* keep = overlap[sb];
        const float sign = (sb & 1) != 0 ? -1.0f : 1.0f;
        for (int i = 0; i < 18; ++i) {
            float value = z[i] + keep[i];
            keep[i] = z[18 + i];
            out[i * 32 + sb] = (i & 1) != 0 ? value * sign : value;
        }
    }
}

void HybridFilter::Flush(int channel, int subbands, float* out) {
    float(*overlap)[18] = overlap_[channel & 1];
    for (int sb = 0; sb < subbands; ++sb) {
        const float sign = (sb & 1) != 0 ? -1.0f : 1.0f;
        for (int i = 0; i < 18; ++i) {
            out[i * 32 + sb] = (i & 1) != 0 ? overlap[sb][i] * sign : overlap[sb][i];
            overlap[sb][i] = 0.0f;
        }
    }
}
