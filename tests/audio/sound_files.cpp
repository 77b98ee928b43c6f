#include "audio/sound_files.h"

#include <cmath>
#include <cstring>

namespace audio_test {

void PutLe16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutLe32(Bytes& out, uint32_t value) {
    PutLe16(out, value & 0xFFFF);
    PutLe16(out, value >> 16);
}

void PutBe16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void PutBe32(Bytes& out, uint32_t value) {
    PutBe16(out, value >> 16);
    PutBe16(out, value & 0xFFFF);
}

void PutChunk(Bytes& out, const char* id, const Bytes& body, bool pad) {
    out.insert(out.end(), id, id + 4);
    PutLe32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (pad && body.size() % 2 != 0) out.push_back(0);
}

Bytes PcmFormatChunk(uint16_t channels, uint32_t rate, uint16_t bits) {
    Bytes body;
    uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    PutLe16(body, 1);
    PutLe16(body, channels);
    PutLe32(body, rate);
    PutLe32(body, rate * align);
    PutLe16(body, align);
    PutLe16(body, bits);
    Bytes chunk;
    PutChunk(chunk, "fmt ", body);
    return chunk;
}

Bytes Riff(const Bytes& chunks) {
    Bytes out = {'R', 'I', 'F', 'F'};
    PutLe32(out, static_cast<uint32_t>(chunks.size() + 4));
    out.insert(out.end(), {'W', 'A', 'V', 'E'});
    out.insert(out.end(), chunks.begin(), chunks.end());
    return out;
}

Bytes PcmWav(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& data) {
    Bytes chunks = PcmFormatChunk(channels, rate, bits);
    PutChunk(chunks, "data", data);
    return Riff(chunks);
}

Bytes AdpcmFormatBody(uint16_t channels, uint32_t rate, uint16_t blockAlign) {
    static const int16_t kCoefficients[7][2] = {{256, 0}, {512, -256}, {0, 0},     {192, 64},
                                                {240, 0}, {460, -208}, {392, -232}};
    uint32_t samplesPerBlock = (blockAlign - 7u * channels) * 8u / (4u * channels) + 2u;
    Bytes body;
    PutLe16(body, 2);
    PutLe16(body, channels);
    PutLe32(body, rate);
    PutLe32(body, rate * blockAlign / samplesPerBlock);
    PutLe16(body, blockAlign);
    PutLe16(body, 4);
    PutLe16(body, 32);
    PutLe16(body, samplesPerBlock);
    PutLe16(body, 7);
    for (const auto& pair : kCoefficients) {
        PutLe16(body, static_cast<uint16_t>(pair[0]));
        PutLe16(body, static_cast<uint16_t>(pair[1]));
    }
    return body;
}

Bytes Aiff(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& samples,
           const char* compression) {
    uint32_t frames = static_cast<uint32_t>(samples.size() / (channels * bits / 8));
    Bytes common;
    PutBe16(common, channels);
    PutBe32(common, frames);
    PutBe16(common, bits);
    // The rate as an 80-bit extended float.
    int exponent = 0;
    double mantissa = std::frexp(double(rate), &exponent);
    PutBe16(common, static_cast<uint32_t>(16383 + exponent - 1));
    uint64_t bitsOf = static_cast<uint64_t>(std::ldexp(mantissa, 64));
    PutBe32(common, static_cast<uint32_t>(bitsOf >> 32));
    PutBe32(common, static_cast<uint32_t>(bitsOf));
    if (compression != nullptr) {
        common.insert(common.end(), compression, compression + 4);
        common.insert(common.end(), {0, 0});
    }
    Bytes form;
    form.insert(form.end(), {'F', 'O', 'R', 'M', 0, 0, 0, 0});
    const char* type = compression != nullptr ? "AIFC" : "AIFF";
    form.insert(form.end(), type, type + 4);
    auto chunk = [&](const char* id, const Bytes& body) {
        form.insert(form.end(), id, id + 4);
        PutBe32(form, static_cast<uint32_t>(body.size()));
        form.insert(form.end(), body.begin(), body.end());
        if (body.size() % 2 != 0) form.push_back(0);
    };
    chunk("COMM", common);
    Bytes sound(8, 0);
    sound.insert(sound.end(), samples.begin(), samples.end());
    chunk("SSND", sound);
    uint32_t size = static_cast<uint32_t>(form.size() - 8);
    form[4] = static_cast<uint8_t>(size >> 24);
    form[5] = static_cast<uint8_t>(size >> 16);
    form[6] = static_cast<uint8_t>(size >> 8);
    form[7] = static_cast<uint8_t>(size);
    return form;
}

Bytes Noise(size_t size, uint32_t seed) {
    Bytes out(size);
    uint32_t state = seed * 2654435761u + 1;
    for (auto& byte : out) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(state >> 16);
    }
    return out;
}

std::vector<int16_t> NoiseSamples(uint32_t frames, uint32_t seed) {
    Bytes noise = Noise(size_t(frames) * 2, seed);
    std::vector<int16_t> samples(frames);
    for (uint32_t i = 0; i < frames; ++i)
        samples[i] = static_cast<int16_t>((noise[2 * i] | (noise[2 * i + 1] << 8)) | 1);
    return samples;
}

Bytes MonoWav(const std::vector<int16_t>& samples, uint32_t rate) {
    Bytes data;
    for (int16_t s : samples)
        PutLe16(data, static_cast<uint16_t>(s));
    return PcmWav(1, rate, 16, data);
}

} // namespace audio_test
