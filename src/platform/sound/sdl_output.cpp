#include <SDL.h>
#include <alsa/asoundlib.h>

#include <algorithm>

#include "platform/libraries/lazy_library.h"
#include "platform/sound/media_voice.h"
#include "platform/sound/output_backend.h"
#include "platform/system/sdl_subsystem.h"

namespace platform::sound {
namespace {

// ALSA writes its complaints to standard error when no card answers; a player without
// speakers stays quiet instead.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

class SdlOutput : public OutputBackend {
public:
    explicit SdlOutput(SDL_AudioDeviceID device) : device_(device) {}
    ~SdlOutput() override {
        SDL_CloseAudioDevice(device_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    void FollowClock(DWORD, DWORD) override {}

private:
    SDL_AudioDeviceID device_;
};

void Fill(void* mixer, Uint8* stream, int bytes) {
    auto frames = static_cast<size_t>(bytes) / (2 * sizeof(float));
    auto* samples = reinterpret_cast<float*>(stream);
    static_cast<Mixer*>(mixer)->Render(samples, frames);
    // Loud sums are clipped here rather than left to whatever the device does with them.
    for (size_t i = 0; i < frames * 2; ++i)
        samples[i] = std::clamp(samples[i], -1.0f, 1.0f);
}

} // namespace

std::unique_ptr<OutputBackend> OpenSdlOutput(Mixer& mixer) {
    if (Require(LazyLibrary::Alsa)) snd_lib_error_set_handler(&QuietAlsa);
    if (!StartSdlSubsystem(SDL_INIT_AUDIO)) return nullptr;
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(OUTPUT_RATE);
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = &Fill;
    wanted.userdata = &mixer;
    SDL_AudioSpec obtained{};
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    SDL_PauseAudioDevice(device, 0);
    return std::make_unique<SdlOutput>(device);
}

} // namespace platform::sound
