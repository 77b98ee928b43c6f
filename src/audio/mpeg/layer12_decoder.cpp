#include "audio/mpeg/layer12_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Quantisation classes of Layer II: steps, bits per sample (per triplet when grouped).
struct QuantClass {
    int steps;
    int bits;
    bool grouped;
};

constexpr QuantClass kClasses[17] = {
    {3, 5, true},       {5, 7, true},      {7, 3, false},      {9, 10, true},
    {15, 4, false},     {31, 5, false},    {63, 6, false},     {127, 7, false},
    {255, 8, false},    {511, 9, false},   {1023, 10, false},  {2047, 11, false},
    {4095, 12, false},  {8191, 13, false}, {16383, 14, false}, {32767, 15, false},
    {65535, 16, false},
};

// The three samples of every grouped code of 3, 5 and 9 steps, so that a frame's codes
// need no divisions.
struct GroupedCodes {
    uint8_t samples[3][729][3];
    GroupedCodes() {
        constexpr int kSteps[3] = {3, 5, 9};
        for (int g = 0; g < 3; ++g) {
            const int steps = kSteps[g];
            for (int code = 0; code < steps * steps * steps; ++code)
                for (int i = 0, rest = code; i < 3; ++i, rest /= steps)
                    samples[g][code][i] = static_cast<uint8_t>(rest % steps);
        }
    }
};

const uint8_t* GroupedSamples(int steps, int code) {
    static const GroupedCodes codes;
    return codes.samples[steps == 3 ? 0 : steps == 5 ? 1 : 2][code];
}

// A run of subbands sharing an allocation width and its classes (-1: no class).
struct AllocationRun {
    int subbands;
    int bits;
    int8_t classes[16];
};

struct AllocationTable {
    int runs;
    AllocationRun run[4];
};

// Class indexes: 0 → 3 steps, 1 → 5, 2 → 7, 3 → 9, 4 → 15, 5 → 31 … 16 → 65535.
constexpr AllocationRun kHighA = {3, 4, {-1, 0, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}};
constexpr AllocationRun kMiddleA = {8, 4, {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 16}};
constexpr AllocationRun kLowA = {12, 3, {-1, 0, 1, 2, 3, 4, 5, 16}};
constexpr AllocationRun kTopA = {4, 2, {-1, 0, 1, 16}};
constexpr AllocationRun kTopB = {7, 2, {-1, 0, 1, 16}};
constexpr AllocationRun kHighC = {2, 4, {-1, 0, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}};
constexpr AllocationRun kLowC = {6, 3, {-1, 0, 1, 3, 4, 5, 6, 7}};
constexpr AllocationRun kLowD = {10, 3, {-1, 0, 1, 3, 4, 5, 6, 7}};

constexpr AllocationTable kTableA = {4, {kHighA, kMiddleA, kLowA, kTopA}};
constexpr AllocationTable kTableB = {4, {kHighA, kMiddleA, kLowA, kTopB}};
constexpr AllocationTable kTableC = {2, {kHighC, kLowC, {}, {}}};
constexpr AllocationTable kTableD = {2, {kHighC, kLowD, {}, {}}};
constexpr AllocationTable kTableLsf = {
    3,
    {{4, 4, {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
     {7, 3, {-1, 0, 1, 3, 4, 5, 6, 7}},
     {19, 2, {-1, 0, 1, 3}},
     {}}};

struct Factors {
    float scale[64];
    Factors() {
        for (int i = 0; i < 63; ++i)
            scale[i] = static_cast<float>(2.0 * std::pow(2.0, -i / 3.0));
        scale[63] = 0.0f;
    }
};

const float* ScaleFactors() {
    static const Factors factors;
    return factors.scale;
}

const AllocationTable& ChooseTable(const MpegHeader& header) {
    if (header.version != kMpeg1) return kTableLsf;
    int perChannel = header.BitRate() / 1000 / header.Channels();
    int rate = header.SampleRate();
    if (perChannel <= 48) return rate == 32000 ? kTableD : kTableC;
    if (rate == 48000 || perChannel <= 80) return kTableA;
    return kTableB;
}

int JointBound(const MpegHeader& header, int limit) {
    if (header.mode == kModeJoint) return std::min(4 * (header.modeExtension + 1), limit);
    return limit;
}

} // namespace

void LayerOneTwoDecoder::DecodeLayer1(BitReader& reader, const MpegHeader& header,
                                      float* const out[2]) {
    const float* scale = ScaleFactors();
    const int channels = header.Channels();
    const int bound = channels == 1 ? 32 : JointBound(header, 32);
    int allocation[2][32] = {};
    float factor[2][32] = {};
    for (int sb = 0; sb < 32; ++sb)
        for (int ch = 0; ch < channels; ++ch) {
            if (sb < bound || ch == 0) allocation[ch][sb] = static_cast<int>(reader.Read(4));
            if (sb >= bound) allocation[ch][sb] = allocation[0][sb];
        }
    for (int sb = 0; sb < 32; ++sb)
        for (int ch = 0; ch < channels; ++ch)
            if (allocation[ch][sb] != 0) factor[ch][sb] = scale[reader.Read(6)];
    for (int slot = 0; slot < 12; ++slot) {
        for (int sb = 0; sb < 32; ++sb) {
            // Above the bound one sample serves both channels.
            float shared = 0.0f;
            for (int ch = 0; ch < channels; ++ch) {
                const int a = allocation[ch][sb];
                float value = 0.0f;
                if (a != 0) {
                    if (sb < bound || ch == 0) {
                        int sample = static_cast<int>(reader.Read(a + 1));
                        shared = static_cast<float>(sample - (1 << a) + 1) * 2.0f /
                                 static_cast<float>((2 << a) - 1);
                    }
                    value = shared * factor[ch][sb];
                }
                out[ch][slot * 32 + sb] = value;
            }
        }
    }
}

void LayerOneTwoDecoder::DecodeLayer2(BitReader& reader, const MpegHeader& header,
                                      float* const out[2]) {
    const float* scale = ScaleFactors();
    const int channels = header.Channels();
    const AllocationTable& table = ChooseTable(header);
    const AllocationRun* runOf[32] = {};
    int limit = 0;
    for (int r = 0; r < table.runs; ++r)
        for (int i = 0; i < table.run[r].subbands && limit < 32; ++i)
            runOf[limit++] = &table.run[r];
    const int bound = channels == 1 ? limit : JointBound(header, limit);
    int classOf[2][32];
    for (int ch = 0; ch < 2; ++ch)
        std::fill(classOf[ch], classOf[ch] + 32, -1);
    for (int sb = 0; sb < limit; ++sb)
        for (int ch = 0; ch < channels; ++ch) {
            if (sb < bound || ch == 0)
                classOf[ch][sb] = runOf[sb]->classes[reader.Read(runOf[sb]->bits)];
            else
                classOf[ch][sb] = classOf[0][sb];
        }
    int selection[2][32] = {};
    for (int sb = 0; sb < limit; ++sb)
        for (int ch = 0; ch < channels; ++ch)
            if (classOf[ch][sb] >= 0) selection[ch][sb] = static_cast<int>(reader.Read(2));
    float factor[2][32][3] = {};
    for (int sb = 0; sb < limit; ++sb)
        for (int ch = 0; ch < channels; ++ch) {
            if (classOf[ch][sb] < 0) continue;
            float* f = factor[ch][sb];
            switch (selection[ch][sb]) {
            case 0:
                f[0] = scale[reader.Read(6)];
                f[1] = scale[reader.Read(6)];
                f[2] = scale[reader.Read(6)];
                break;
            case 1:
                f[0] = f[1] = scale[reader.Read(6)];
                f[2] = scale[reader.Read(6)];
                break;
            case 2:
                f[0] = f[1] = f[2] = scale[reader.Read(6)];
                break;
            default:
                f[0] = scale[reader.Read(6)];
                f[1] = f[2] = scale[reader.Read(6)];
                break;
            }
        }
    for (int ch = 0; ch < channels; ++ch)
        std::fill(out[ch], out[ch] + 36 * 32, 0.0f);
    for (int granule = 0; granule < 12; ++granule) {
        const int part = granule / 4;
        for (int sb = 0; sb < limit; ++sb) {
            float values[3] = {};
            for (int ch = 0; ch < channels; ++ch) {
                const int c = classOf[ch][sb];
                if (c < 0) continue;
                const QuantClass& q = kClasses[c];
                if (sb < bound || ch == 0) {
                    int samples[3];
                    if (q.grouped) {
                        int code = static_cast<int>(reader.Read(q.bits));
                        code = std::min(code, q.steps * q.steps * q.steps - 1);
                        const uint8_t* grouped = GroupedSamples(q.steps, code);
                        for (int i = 0; i < 3; ++i)
                            samples[i] = grouped[i];
                    } else {
                        for (int& s : samples)
                            s = static_cast<int>(reader.Read(q.bits));
                    }
                    const float step = 2.0f / static_cast<float>(q.steps);
                    const float middle = static_cast<float>(q.steps - 1) * 0.5f;
                    for (int i = 0; i < 3; ++i)
                        values[i] = (static_cast<float>(samples[i]) - middle) * step;
                }
                for (int i = 0; i < 3; ++i)
                    out[ch][(granule * 3 + i) * 32 + sb] = values[i] * factor[ch][sb][part];
            }
        }
    }
}
