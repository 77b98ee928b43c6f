#include "audio/mpeg/output_stage.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr float kNeutralMatrix[9] = {1, 0, 1, 0, 1, 1, 0.5f, 0.5f, 1};

int16_t ToShort(float value) {
    // Truncated toward zero, as the samples have always come out; clamped without branches.
    return static_cast<int16_t>(std::min(std::max(value, -32768.0f), 32767.0f));
}

} // namespace

void OutputStage::Setup(int sourceChannels, int channels, int reduction, int bytesPerSample) {
    sourceChannels_ = sourceChannels;
    reduction_ = std::clamp(reduction, 0, 2);
    bytesPerSample_ = bytesPerSample;
    mix_ = false;
    duplicate_ = false;
    if (channels == 0) {
        outputChannels_ = sourceChannels;
    } else if (channels == -2) {
        outputChannels_ = 2;
        duplicate_ = true;
        mix_ = sourceChannels == 2;
    } else {
        outputChannels_ = channels == 1 ? 1 : 2;
        mix_ = outputChannels_ == 1 && sourceChannels == 2;
        duplicate_ = outputChannels_ == 2 && sourceChannels == 1;
    }
    gain_ = 1.0f;
    matrixOn_ = false;
    bandsOn_ = false;
    synthesis_.Setup(reduction_);
}

void OutputStage::SetMatrix(const float* matrix) {
    matrixOn_ = matrix != nullptr && !std::equal(matrix, matrix + 9, kNeutralMatrix);
    if (matrixOn_) std::copy(matrix, matrix + 9, matrix_);
}

void OutputStage::SetBandGains(const float* gains) {
    const int bands = 32 >> reduction_;
    const int group = 1 << reduction_;
    bool neutral = true;
    for (int b = 0; b < bands; ++b) {
        float sum = 0;
        for (int i = 0; i < group; ++i)
            sum += gains[b * group + i];
        bandGains_[b] = sum / static_cast<float>(group);
        neutral = neutral && bandGains_[b] == 1.0f;
    }
    bandsOn_ = !neutral;
}

void OutputStage::Synthesise(float* const subbands[2], uint8_t* out) {
    const int bands = 32 >> reduction_;
    float* left = subbands[0];
    float* right = subbands[1];
    int synthesised = sourceChannels_;
    if (mix_) {
        float a = 0.5f, b = 0.5f;
        if (matrixOn_) a = matrix_[6], b = matrix_[7];
        for (int i = 0; i < 1152; ++i)
            left[i] = a * left[i] + b * right[i];
        synthesised = 1;
    } else if (sourceChannels_ == 2 && matrixOn_) {
        for (int i = 0; i < 1152; ++i) {
            float l = left[i], r = right[i];
            left[i] = matrix_[0] * l + matrix_[1] * r;
            right[i] = matrix_[3] * l + matrix_[4] * r;
        }
    } else if (sourceChannels_ == 1 && matrixOn_ && !duplicate_) {
        for (int i = 0; i < 1152; ++i)
            left[i] *= matrix_[8];
    }
    for (int ch = 0; ch < synthesised; ++ch) {
        float* s = subbands[ch];
        if (gain_ != 1.0f)
            for (int i = 0; i < 1152; ++i)
                s[i] *= gain_;
        if (bandsOn_)
            for (int slot = 0; slot < 36; ++slot)
                for (int b = 0; b < bands; ++b)
                    s[slot * 32 + b] *= bandGains_[b];
        synthesis_.Run(ch, s, 36, out == nullptr ? nullptr : samples_[ch]);
    }
    if (out == nullptr) return;
    const int count = 1152 >> reduction_;
    const float scale = bytesPerSample_ == 2 ? 32768.0f : 1.0f;
    float gains[2] = {scale, scale};
    if (duplicate_ && matrixOn_) gains[0] *= matrix_[2], gains[1] *= matrix_[5];
    const float* channels[2] = {samples_[0], samples_[synthesised == 2 ? 1 : 0]};
    // The caller's buffer may have any alignment: samples are made here and copied.
    if (bytesPerSample_ == 2) {
        auto* p = reinterpret_cast<int16_t*>(staging_);
        if (outputChannels_ == 1) {
            for (int i = 0; i < count; ++i)
                p[i] = ToShort(channels[0][i] * gains[0]);
        } else {
            for (int i = 0; i < count; ++i) {
                p[2 * i] = ToShort(channels[0][i] * gains[0]);
                p[2 * i + 1] = ToShort(channels[1][i] * gains[1]);
            }
        }
    } else {
        auto* p = reinterpret_cast<float*>(staging_);
        if (outputChannels_ == 1) {
            for (int i = 0; i < count; ++i)
                p[i] = channels[0][i] * gains[0];
        } else {
            for (int i = 0; i < count; ++i) {
                p[2 * i] = channels[0][i] * gains[0];
                p[2 * i + 1] = channels[1][i] * gains[1];
            }
        }
    }
    std::memcpy(out, staging_, static_cast<size_t>(BlockBytes()));
}
