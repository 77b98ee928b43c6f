// What a DirectSound object shares with its buffers: the listener, the primary buffer's
// format and the voices to silence when the object goes.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sound/buffer_voice.h"
#include "platform/sound/direct_sound.h"

namespace platform::sound {

class PrimaryBuffer;

struct DirectSoundState {
    std::mutex lock;
    std::shared_ptr<ListenerState> listener = std::make_shared<ListenerState>();
    WAVEFORMATEX primaryFormat{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
    // Counted by its holders; it clears this when it goes.
    PrimaryBuffer* primary = nullptr;
    std::vector<std::weak_ptr<BufferVoice>> voices;
    bool released = false;
};

// DSERR_INVALIDPARAM unless `apply` is DS3D_IMMEDIATE.
inline bool Immediate(DWORD apply) {
    return apply == DS3D_IMMEDIATE;
}
bool Finite(D3DVALUE x, D3DVALUE y, D3DVALUE z);

HRESULT CreatePrimaryBuffer(const std::shared_ptr<DirectSoundState>& state, DWORD flags,
                            IDirectSoundBuffer** buffer);
HRESULT CreateSecondaryBuffer(const std::shared_ptr<DirectSoundState>& state,
                              const DSBUFFERDESC& desc, IDirectSoundBuffer** buffer);

} // namespace platform::sound
