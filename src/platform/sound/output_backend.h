// The output back ends: where the mixer's 44.1 kHz float stereo frames go.
#pragma once

#include <memory>
#include <string>

#include "platform/kernel/win_types.h"
#include "platform/sound/mixer.h"

namespace platform::sound {

class OutputBackend {
public:
    // Closes the output, waiting for a running callback.
    virtual ~OutputBackend() = default;
    // The test clock, moving on from `from`, reached `now`: a paced output plays the frames
    // up to it (from `from` when it counted on the real clock before).
    virtual void FollowClock(DWORD from, DWORD now) = 0;
};

// SDL's default audio device; null when there is none (and nothing printed).
std::unique_ptr<OutputBackend> OpenSdlOutput(Mixer& mixer);
// Frames taken as the clock goes: into nothing for an empty `wavPath`, else into that
// 16-bit stereo WAV file (null when it cannot be created).
std::unique_ptr<OutputBackend> OpenPacedOutput(Mixer& mixer, const std::string& wavPath);

} // namespace platform::sound
