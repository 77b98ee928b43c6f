// The mixer: adds every voice into the output's float stereo frames. It runs on the
// output's thread (or, for the paced outputs under the test clock, on the thread moving
// the clock), takes each voice's own short lock while it mixes that voice and calls out
// to nothing.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

namespace platform::sound {

class MixVoice {
public:
    virtual ~MixVoice() = default;
    // Adds `frames` stereo frames of the voice into `out`, moving its cursor on.
    virtual void MixInto(float* out, size_t frames) = 0;
};

class Mixer {
public:
    void Add(std::shared_ptr<MixVoice> voice);
    void Remove(const MixVoice* voice);
    // Overwrites `frames` interleaved stereo frames with the sum of the voices.
    void Render(float* out, size_t frames);

private:
    std::mutex listLock_;
    std::vector<std::shared_ptr<MixVoice>> voices_;
    // Only the rendering thread uses this copy of the list, so that voices can come and go
    // while it mixes.
    std::mutex renderLock_;
    std::vector<std::shared_ptr<MixVoice>> rendering_;
};

} // namespace platform::sound
