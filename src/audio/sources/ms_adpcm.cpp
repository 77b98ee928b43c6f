#include "audio/sources/ms_adpcm.h"

#include <algorithm>

namespace {

constexpr int32_t kAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                     768, 614, 512, 409, 307, 230, 230, 230};
// No real stream's delta comes near this; it keeps hostile ones from overflowing.
constexpr int64_t kDeltaLimit = int64_t(1) << 30;

struct ChannelState {
    int64_t coefficient1 = 0;
    int64_t coefficient2 = 0;
    int64_t delta = 0;
    int32_t sample1 = 0;
    int32_t sample2 = 0;
};

int16_t Le16(const uint8_t* p) {
    return static_cast<int16_t>(uint16_t(p[0] | (p[1] << 8)));
}

void Put16(uint8_t* p, int32_t sample) {
    p[0] = static_cast<uint8_t>(sample & 0xFF);
    p[1] = static_cast<uint8_t>((sample >> 8) & 0xFF);
}

[[gnu::always_inline]] inline int32_t Expand(ChannelState& state, int code) {
    int64_t predicted =
        (state.sample1 * state.coefficient1 + state.sample2 * state.coefficient2) / 256;
    int64_t signedCode = code >= 8 ? code - 16 : code;
    auto sample = static_cast<int32_t>(
        std::clamp<int64_t>(predicted + signedCode * state.delta, -32768, 32767));
    state.sample2 = state.sample1;
    state.sample1 = sample;
    state.delta = std::clamp<int64_t>(kAdaptation[code] * state.delta / 256, 16, kDeltaLimit);
    return sample;
}

// A byte's high nibble is the first channel's code and its low nibble the last one's (the
// same channel in mono); the channel count is a template argument so the loop has no
// division or table of channels. A block's code count is always even.
template <uint32_t Channels>
void DecodeCodes(const ChannelState* state, const uint8_t* codes, uint32_t codeCount,
                 uint8_t* out) {
    // Local copies keep each channel's state in registers across the loop.
    ChannelState first = state[0];
    ChannelState last = state[Channels - 1];
    const uint32_t bytes = codeCount / 2;
    for (uint32_t i = 0; i < bytes; ++i) {
        const uint8_t byte = codes[i];
        Put16(out, Expand(first, byte >> 4));
        Put16(out + 2, Expand(Channels == 1 ? first : last, byte & 0x0F));
        out += 4;
    }
}

} // namespace

uint32_t MsAdpcmSamplesPerBlock(uint16_t blockAlign, uint16_t channels) {
    if (channels == 0 || blockAlign <= 7u * channels) return 0;
    return (blockAlign - 7u * channels) * 8u / (4u * channels) + 2u;
}

uint32_t DecodeMsAdpcm(const MsAdpcmLayout& layout, const uint8_t* input, uint32_t size,
                       uint8_t* output, uint32_t capacity) {
    const uint32_t channels = layout.channels;
    const uint32_t align = layout.blockAlign;
    const uint32_t pairs = static_cast<uint32_t>(layout.coefficients.size() / 2);
    if (channels < 1 || channels > 2 || align <= 7 * channels) return 0;
    const uint32_t samplesPerBlock = MsAdpcmSamplesPerBlock(layout.blockAlign, layout.channels);
    const uint64_t blockBytes = uint64_t(samplesPerBlock) * channels * 2;
    uint32_t written = 0;
    for (uint32_t at = 0; uint64_t(at) + align <= size; at += align) {
        if (written + blockBytes > capacity) break;
        const uint8_t* block = input + at;
        ChannelState state[2];
        for (uint32_t c = 0; c < channels; ++c) {
            uint32_t predictor = block[c];
            if (predictor >= pairs) return written;
            state[c].coefficient1 = layout.coefficients[2 * predictor];
            state[c].coefficient2 = layout.coefficients[2 * predictor + 1];
            state[c].delta = Le16(block + channels + 2 * c);
            state[c].sample1 = Le16(block + 3 * channels + 2 * c);
            state[c].sample2 = Le16(block + 5 * channels + 2 * c);
        }
        uint8_t* out = output + written;
        for (uint32_t c = 0; c < channels; ++c)
            Put16(out + 2 * c, state[c].sample2);
        out += 2 * channels;
        for (uint32_t c = 0; c < channels; ++c)
            Put16(out + 2 * c, state[c].sample1);
        out += 2 * channels;
        const uint8_t* codes = block + 7 * channels;
        const uint32_t codeCount = (samplesPerBlock - 2) * channels;
        if (channels == 1)
            DecodeCodes<1>(state, codes, codeCount, out);
        else
            DecodeCodes<2>(state, codes, codeCount, out);
        written += static_cast<uint32_t>(blockBytes);
    }
    return written;
}
