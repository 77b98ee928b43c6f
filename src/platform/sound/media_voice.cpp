#include "platform/sound/media_voice.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sound/sound_gain.h"
#include "platform/sound/sound_system.h"

namespace platform::sound {
namespace {

// About six minutes: more than any producer keeps ahead.
constexpr DWORD MAX_CAPACITY = 1u << 24;

class MediaVoice : public MixVoice {
public:
    explicit MediaVoice(DWORD capacity) : ring_(size_t{capacity} * 2) {}

    void MixInto(float* out, size_t frames) override {
        std::lock_guard lock(lock_);
        if (paused_) return;
        StereoGain pan = PanGains(pan_);
        float volume = VolumeGain(volume_);
        size_t capacity = ring_.size() / 2;
        size_t taking = std::min<size_t>(frames, queued_);
        for (size_t i = 0; i < taking; ++i) {
            out[2 * i] += ring_[2 * head_] * pan.left * volume;
            out[2 * i + 1] += ring_[2 * head_ + 1] * pan.right * volume;
            head_ = (head_ + 1) % capacity;
        }
        queued_ -= taking;
        played_ += taking;
    }

    DWORD Write(const float* stereo, DWORD frames) {
        std::lock_guard lock(lock_);
        if (ended_) return 0;
        size_t capacity = ring_.size() / 2;
        size_t taking = std::min<size_t>(frames, capacity - queued_);
        size_t tail = (head_ + queued_) % capacity;
        for (size_t i = 0; i < taking; ++i) {
            ring_[2 * tail] = stereo[2 * i];
            ring_[2 * tail + 1] = stereo[2 * i + 1];
            tail = (tail + 1) % capacity;
        }
        queued_ += taking;
        return static_cast<DWORD>(taking);
    }

    void End() {
        std::lock_guard lock(lock_);
        ended_ = true;
    }
    void SetVolume(LONG volume) {
        std::lock_guard lock(lock_);
        volume_ = volume;
    }
    void SetPan(LONG pan) {
        std::lock_guard lock(lock_);
        pan_ = pan;
    }
    void Pause(bool paused) {
        std::lock_guard lock(lock_);
        paused_ = paused;
    }
    DWORD Queued() {
        std::lock_guard lock(lock_);
        return static_cast<DWORD>(queued_);
    }
    uint64_t Played() {
        std::lock_guard lock(lock_);
        return played_;
    }
    bool Ended() {
        std::lock_guard lock(lock_);
        return ended_ && queued_ == 0;
    }

private:
    std::mutex lock_;
    std::vector<float> ring_;
    size_t head_ = 0;
    size_t queued_ = 0;
    uint64_t played_ = 0;
    bool ended_ = false;
    bool paused_ = false;
    LONG volume_ = 0;
    LONG pan_ = 0;
};

std::mutex tableLock;
std::map<DWORD, std::shared_ptr<MediaVoice>> voices;
DWORD lastHandle = 0;

std::shared_ptr<MediaVoice> Find(DWORD handle) {
    std::lock_guard lock(tableLock);
    auto found = voices.find(handle);
    return found == voices.end() ? nullptr : found->second;
}

} // namespace

DWORD OpenMediaVoice(DWORD capacityFrames) {
    if (capacityFrames == 0 || capacityFrames > MAX_CAPACITY || !HasOutput()) return 0;
    auto voice = std::make_shared<MediaVoice>(capacityFrames);
    DWORD handle;
    {
        std::lock_guard lock(tableLock);
        do {
            ++lastHandle;
        } while (lastHandle == 0 || voices.count(lastHandle));
        handle = lastHandle;
        voices[handle] = voice;
    }
    TheMixer().Add(voice);
    return handle;
}

void CloseMediaVoice(DWORD handle) {
    std::shared_ptr<MediaVoice> voice;
    {
        std::lock_guard lock(tableLock);
        auto found = voices.find(handle);
        if (found == voices.end()) return;
        voice = found->second;
        voices.erase(found);
    }
    TheMixer().Remove(voice.get());
}

DWORD WriteMediaVoice(DWORD handle, const float* stereo, DWORD frames) {
    auto voice = Find(handle);
    return voice && stereo ? voice->Write(stereo, frames) : 0;
}

void EndMediaVoice(DWORD handle) {
    if (auto voice = Find(handle)) voice->End();
}

void SetMediaVoiceVolume(DWORD handle, LONG volume) {
    if (auto voice = Find(handle)) voice->SetVolume(volume);
}

void SetMediaVoicePan(DWORD handle, LONG pan) {
    if (auto voice = Find(handle)) voice->SetPan(pan);
}

void PauseMediaVoice(DWORD handle, bool paused) {
    if (auto voice = Find(handle)) voice->Pause(paused);
}

DWORD MediaVoiceQueuedFrames(DWORD handle) {
    auto voice = Find(handle);
    return voice ? voice->Queued() : 0;
}

uint64_t MediaVoicePlayedFrames(DWORD handle) {
    auto voice = Find(handle);
    return voice ? voice->Played() : 0;
}

bool MediaVoiceEnded(DWORD handle) {
    auto voice = Find(handle);
    return !voice || voice->Ended();
}

} // namespace platform::sound
