#include "platform/sound/mixer.h"

#include <algorithm>

namespace platform::sound {

void Mixer::Add(std::shared_ptr<MixVoice> voice) {
    std::lock_guard lock(listLock_);
    voices_.push_back(std::move(voice));
}

void Mixer::Remove(const MixVoice* voice) {
    std::lock_guard lock(listLock_);
    std::erase_if(voices_, [voice](const auto& held) { return held.get() == voice; });
}

void Mixer::Render(float* out, size_t frames) {
    std::lock_guard render(renderLock_);
    {
        std::lock_guard lock(listLock_);
        rendering_ = voices_;
    }
    std::fill(out, out + frames * 2, 0.0f);
    for (auto& voice : rendering_)
        voice->MixInto(out, frames);
    rendering_.clear();
}

} // namespace platform::sound
