#include "audio/mpeg/synthesis_filter.h"

#include <cmath>
#include <cstring>

namespace {

// The prototype low-pass filter of 512 taps as a sum of cosines; its peak at tap 256 is
// 1.144989014.
double Prototype(int n) {
    static const double kTerms[8] = {0.5,
                                     -std::sqrt(0.9999277960573325),
                                     std::sqrt(0.9924951124314516),
                                     -std::sqrt(0.8832327678591261),
                                     std::sqrt(0.5),
                                     -0.34171220660209656,
                                     0.08663075417280197,
                                     -0.008497290313243866};
    double sum = 0;
    for (int k = 0; k < 8; ++k)
        sum += kTerms[k] * std::cos(k * n * M_PI / 256.0);
    return sum / 4.0;
}

} // namespace

void SynthesisFilter::Setup(int reduction) {
    bands_ = 32 >> reduction;
    const int m = bands_;
    for (int k = 0; k < m; ++k)
        for (int i = 0; i < 2 * m; ++i)
            matrix_[k * 2 * m + i] =
                static_cast<float>(std::cos((m / 2 + i) * (2 * k + 1) * M_PI / (2.0 * m)));
    // Every tap of the full window carries the sign of its 64-tap block; the reduced
    // windows take every second or fourth tap.
    for (int n = 0; n < 16 * m; ++n) {
        int tap = n << reduction;
        double value = Prototype(tap);
        if (((tap >> 6) & 1) != 0) value = -value;
        window_[n] = static_cast<float>(value);
    }
    Reset();
}

void SynthesisFilter::Reset() {
    std::memset(v_, 0, sizeof v_);
    head_[0] = head_[1] = 0;
}

void SynthesisFilter::Run(int channel, const float* subbands, int slots, float* out) {
    const int m = bands_;
    const int width = 2 * m;
    float* ring = v_[channel & 1];
    int head = head_[channel & 1];
    for (int slot = 0; slot < slots; ++slot) {
        head = (head + 15) & 15;
        float* v = ring + head * 64;
        const float* s = subbands + slot * 32;
        for (int i = 0; i < width; ++i)
            v[i] = 0.0f;
        for (int k = 0; k < m; ++k) {
            float sample = s[k];
            if (sample == 0.0f) continue;
            const float* row = matrix_ + k * width;
            for (int i = 0; i < width; ++i)
                v[i] += row[i] * sample;
        }
        if (out == nullptr) continue;
        float* y = out + slot * m;
        for (int j = 0; j < m; ++j)
            y[j] = 0.0f;
        for (int i = 0; i < 8; ++i) {
            const float* even = ring + ((head + 2 * i) & 15) * 64;
            const float* odd = ring + ((head + 2 * i + 1) & 15) * 64 + m;
            const float* w0 = window_ + 2 * m * i;
            const float* w1 = w0 + m;
            for (int j = 0; j < m; ++j)
                y[j] += w0[j] * even[j] + w1[j] * odd[j];
        }
    }
    head_[channel & 1] = head;
}
