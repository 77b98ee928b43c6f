// The mixer rendering one second of 44.1 kHz stereo output from N looping 16-bit mono voices
// at 22.05 kHz (so every frame is interpolated), plain and placed in 3D, beside a plain loop
// doing the same arithmetic on the same samples with nothing around it. Counters: seconds of
// output mixed a second for each side, and ours over the loop's time.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "platform/sound/buffer_voice.h"
#include "platform/sound/media_voice.h"
#include "side_by_side.h"

namespace {

using namespace platform::sound;

constexpr DWORD SOURCE_RATE = 22050;
constexpr size_t OUTPUT_FRAMES = OUTPUT_RATE;

std::vector<int16_t> Tone(int voice) {
    std::vector<int16_t> samples(SOURCE_RATE);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(8000 * std::sin(0.01 * (voice + 1) * double(i)));
    return samples;
}

// The plain loop: the same conversion, interpolation and gains, over arrays.
void Model(const std::vector<std::vector<int16_t>>& tones, std::vector<double>& positions,
           std::vector<float>& out) {
    std::fill(out.begin(), out.end(), 0.0f);
    const double step = double(SOURCE_RATE) / OUTPUT_RATE;
    for (size_t v = 0; v < tones.size(); ++v) {
        const auto& tone = tones[v];
        double position = positions[v];
        float left = 0.8f, right = 0.6f;
        for (size_t i = 0; i < OUTPUT_FRAMES; ++i) {
            size_t frame = static_cast<size_t>(position);
            size_t next = frame + 1 < tone.size() ? frame + 1 : 0;
            float share = static_cast<float>(position - double(frame));
            float from = tone[frame] / 32768.0f;
            float sample = from + (tone[next] / 32768.0f - from) * share;
            out[2 * i] += sample * left;
            out[2 * i + 1] += sample * right;
            position += step;
            if (position >= double(tone.size())) position -= double(tone.size());
        }
        positions[v] = position;
    }
}

void Mix(benchmark::State& state, bool placed) {
    const int voices = static_cast<int>(state.range(0));
    auto listener = placed ? std::make_shared<ListenerState>() : nullptr;
    Mixer mixer;
    std::vector<std::vector<int16_t>> tones;
    for (int v = 0; v < voices; ++v) {
        tones.push_back(Tone(v));
        auto voice = std::make_shared<BufferVoice>(PcmFormat{1, 16, SOURCE_RATE, 2},
                                                   SOURCE_RATE * 2, listener);
        voice->Write(0, reinterpret_cast<const uint8_t*>(tones.back().data()), SOURCE_RATE * 2);
        voice->SetVolume(-300);
        if (placed)
            voice->Edit3d([v](Source3d& source) {
                source.position = {float(v % 5) - 2, 0, 3};
                source.velocity = {0, 0, -1};
            });
        else
            voice->SetPan(-800);
        voice->Play(true);
        mixer.Add(voice);
    }
    std::vector<float> ours(OUTPUT_FRAMES * 2), model(OUTPUT_FRAMES * 2);
    std::vector<double> positions(voices, 0.0);
    // One "megaunit" an iteration: the counters read as seconds of output a second.
    bench::SideBySide(
        state, 1000000, "model", [&] { mixer.Render(ours.data(), OUTPUT_FRAMES); },
        [&] { Model(tones, positions, model); });
    benchmark::DoNotOptimize(ours.data());
    benchmark::DoNotOptimize(model.data());
}

void BM_MixVoices(benchmark::State& state) {
    Mix(state, false);
}
void BM_MixVoices3d(benchmark::State& state) {
    Mix(state, true);
}

BENCHMARK(BM_MixVoices)->Arg(1)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MixVoices3d)->Arg(1)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);

} // namespace
