// The mixer rendering one second of 44.1 kHz stereo output from N looping 16-bit mono voices
// at 22.05 kHz (so every frame is interpolated), plain and placed in 3D, beside a plain loop
// doing the same arithmetic on the same samples with nothing around it, and beside OpenAL
// Soft's loopback device mixing the same voices (linear resampling, the same distance law
// and Doppler values) into float stereo. Counters: seconds of output mixed a second for each
// side, and ours over the peer's time.
#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
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

constexpr LONG VOLUME = -300;
constexpr LONG PAN = -800;

// Where voice `v` stands when placed: spread across in front of the listener (x right,
// z forward), coming closer.
D3DVECTOR Position(int v) {
    return {float(v % 5) - 2, 0, 3};
}
constexpr D3DVECTOR VELOCITY{0, 0, -1};

// The mixer with `voices` looping tones, kept in `tones`.
void Populate(Mixer& mixer, int voices, bool placed, std::vector<std::vector<int16_t>>& tones) {
    auto listener = placed ? std::make_shared<ListenerState>() : nullptr;
    for (int v = 0; v < voices; ++v) {
        tones.push_back(Tone(v));
        auto voice = std::make_shared<BufferVoice>(PcmFormat{1, 16, SOURCE_RATE, 2},
                                                   SOURCE_RATE * 2, listener);
        voice->Write(0, reinterpret_cast<const uint8_t*>(tones.back().data()), SOURCE_RATE * 2);
        voice->SetVolume(VOLUME);
        if (placed)
            voice->Edit3d([v](Source3d& source) {
                source.position = Position(v);
                source.velocity = VELOCITY;
            });
        else
            voice->SetPan(PAN);
        voice->Play(true);
        mixer.Add(voice);
    }
}

void Mix(benchmark::State& state, bool placed) {
    const int voices = static_cast<int>(state.range(0));
    Mixer mixer;
    std::vector<std::vector<int16_t>> tones;
    Populate(mixer, voices, placed, tones);
    std::vector<float> ours(OUTPUT_FRAMES * 2), model(OUTPUT_FRAMES * 2);
    std::vector<double> positions(voices, 0.0);
    // One "megaunit" an iteration: the counters read as seconds of output a second.
    bench::SideBySide(
        state, 1000000, "model", [&] { mixer.Render(ours.data(), OUTPUT_FRAMES); },
        [&] { Model(tones, positions, model); });
    benchmark::DoNotOptimize(ours.data());
    benchmark::DoNotOptimize(model.data());
}

// A loopback device rendering float stereo at the mixer's rate, with one looping source a
// tone. OpenAL's frame is right-handed (z towards the listener's back), so z flips.
class AlScene {
public:
    AlScene(const std::vector<std::vector<int16_t>>& tones, bool placed) {
        device_ = alcLoopbackOpenDeviceSOFT(nullptr);
        if (!device_ ||
            !alcIsRenderFormatSupportedSOFT(device_, OUTPUT_RATE, ALC_STEREO_SOFT, ALC_FLOAT_SOFT))
            return;
        const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                     ALC_STEREO_SOFT,
                                     ALC_FORMAT_TYPE_SOFT,
                                     ALC_FLOAT_SOFT,
                                     ALC_FREQUENCY,
                                     ALCint(OUTPUT_RATE),
                                     ALC_HRTF_SOFT,
                                     ALC_FALSE,
                                     ALC_MONO_SOURCES,
                                     ALCint(tones.size()),
                                     0};
        context_ = alcCreateContext(device_, attributes);
        if (!context_ || !alcMakeContextCurrent(context_)) return;
        alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
        alDopplerFactor(DS3D_DEFAULTDOPPLERFACTOR);
        alSpeedOfSound(SPEED_OF_SOUND);
        const ALfloat orientation[] = {0, 0, -1, 0, 1, 0};
        alListenerfv(AL_ORIENTATION, orientation);
        const ALint resampler = LinearResampler();
        buffers_.resize(tones.size());
        sources_.resize(tones.size());
        alGenBuffers(ALsizei(tones.size()), buffers_.data());
        alGenSources(ALsizei(tones.size()), sources_.data());
        for (size_t v = 0; v < tones.size(); ++v) {
            alBufferData(buffers_[v], AL_FORMAT_MONO16, tones[v].data(),
                         ALsizei(tones[v].size() * 2), SOURCE_RATE);
            const ALuint source = sources_[v];
            alSourcei(source, AL_BUFFER, ALint(buffers_[v]));
            alSourcei(source, AL_LOOPING, AL_TRUE);
            alSourcef(source, AL_GAIN, VolumeGain(VOLUME));
            if (resampler >= 0) alSourcei(source, AL_SOURCE_RESAMPLER_SOFT, resampler);
            if (placed) {
                const D3DVECTOR at = Position(int(v));
                alSource3f(source, AL_POSITION, at.x, at.y, -at.z);
                alSource3f(source, AL_VELOCITY, VELOCITY.x, VELOCITY.y, -VELOCITY.z);
                alSourcef(source, AL_REFERENCE_DISTANCE, DS3D_DEFAULTMINDISTANCE);
                alSourcef(source, AL_MAX_DISTANCE, DS3D_DEFAULTMAXDISTANCE);
                alSourcef(source, AL_ROLLOFF_FACTOR, DS3D_DEFAULTROLLOFFFACTOR);
            } else {
                // Panned to the left, no distance at all.
                alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
                alSourcef(source, AL_ROLLOFF_FACTOR, 0);
                alSource3f(source, AL_POSITION, -0.5f, 0, -1);
            }
        }
        alSourcePlayv(ALsizei(sources_.size()), sources_.data());
        ready_ = alGetError() == AL_NO_ERROR;
    }
    ~AlScene() {
        if (context_) {
            alSourceStopv(ALsizei(sources_.size()), sources_.data());
            alDeleteSources(ALsizei(sources_.size()), sources_.data());
            alDeleteBuffers(ALsizei(buffers_.size()), buffers_.data());
            alcMakeContextCurrent(nullptr);
            alcDestroyContext(context_);
        }
        if (device_) alcCloseDevice(device_);
    }
    AlScene(const AlScene&) = delete;
    AlScene& operator=(const AlScene&) = delete;

    bool Ready() const { return ready_; }
    void Render(float* out, size_t frames) { alcRenderSamplesSOFT(device_, out, ALCsizei(frames)); }

private:
    static ALint LinearResampler() {
        if (!alIsExtensionPresent("AL_SOFT_source_resampler")) return -1;
        const ALint count = alGetInteger(AL_NUM_RESAMPLERS_SOFT);
        for (ALint i = 0; i < count; ++i)
            if (std::strcmp(alGetStringiSOFT(AL_RESAMPLER_NAME_SOFT, i), "Linear") == 0) return i;
        return -1;
    }

    ALCdevice* device_ = nullptr;
    ALCcontext* context_ = nullptr;
    std::vector<ALuint> buffers_, sources_;
    bool ready_ = false;
};

void MixBesideOpenAl(benchmark::State& state, bool placed) {
    const int voices = static_cast<int>(state.range(0));
    Mixer mixer;
    std::vector<std::vector<int16_t>> tones;
    Populate(mixer, voices, placed, tones);
    AlScene scene(tones, placed);
    if (!scene.Ready()) {
        state.SkipWithError("no OpenAL loopback device");
        return;
    }
    std::vector<float> ours(OUTPUT_FRAMES * 2), theirs(OUTPUT_FRAMES * 2);
    bench::SideBySide(
        state, 1000000, "openal",
        [&] {
            mixer.Render(ours.data(), OUTPUT_FRAMES);
            benchmark::DoNotOptimize(ours.data());
            benchmark::ClobberMemory();
        },
        [&] {
            scene.Render(theirs.data(), OUTPUT_FRAMES);
            benchmark::DoNotOptimize(theirs.data());
            benchmark::ClobberMemory();
        });
}

void BM_MixVoices(benchmark::State& state) {
    Mix(state, false);
}
void BM_MixVoices3d(benchmark::State& state) {
    Mix(state, true);
}

BENCHMARK(BM_MixVoices)->Arg(1)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MixVoices3d)->Arg(1)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);

void BM_MixVoicesOpenAl(benchmark::State& state) {
    MixBesideOpenAl(state, false);
}
void BM_MixVoices3dOpenAl(benchmark::State& state) {
    MixBesideOpenAl(state, true);
}

BENCHMARK(BM_MixVoicesOpenAl)->Arg(1)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MixVoices3dOpenAl)->Arg(1)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);

} // namespace
