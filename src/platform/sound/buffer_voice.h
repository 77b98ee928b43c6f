// The voice behind a secondary buffer: a ring of PCM bytes in the buffer's format and a
// play cursor that moves at the buffer's frequency (times the Doppler shift of a 3D
// buffer) as the mixer takes frames from it.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sound/mixer.h"
#include "platform/sound/sound_3d.h"

namespace platform::sound {

struct PcmFormat {
    WORD channels;
    WORD bits;
    DWORD rate;
    WORD blockAlign;
};

// A DirectSound object's listener, read by the mixer for each 3D voice of that object.
struct ListenerState {
    std::mutex lock;
    Listener3d values;
};

class BufferVoice : public MixVoice {
public:
    // `bytes` is a whole number of frames, at least one. `listener` is null for a buffer
    // without 3D.
    BufferVoice(PcmFormat format, DWORD bytes, std::shared_ptr<ListenerState> listener);

    void MixInto(float* out, size_t frames) override;

    const PcmFormat& Format() const { return format_; }
    DWORD Bytes() const { return static_cast<DWORD>(ring_.size()); }

    // The play cursor, and the first byte the mixer will not read before moving on.
    void GetCursors(DWORD* play, DWORD* write);
    bool IsPlaying();
    bool IsLooping();
    void Play(bool looping);
    void Stop();
    // `bytes` inside the ring; rounded down to a frame.
    void SetCursor(DWORD bytes);
    // Copies between the ring and the caller; the range lies inside the ring.
    void Read(DWORD offset, uint8_t* to, DWORD count);
    void Write(DWORD offset, const uint8_t* from, DWORD count);
    void SetVolume(LONG volume);
    void SetPan(LONG pan);
    // 0 plays at the format's rate.
    void SetFrequency(DWORD frequency);
    template <class Edit> void Edit3d(Edit edit) {
        std::lock_guard lock(lock_);
        edit(source_);
    }

private:
    const PcmFormat format_;
    const std::shared_ptr<ListenerState> listener_;
    const size_t frames_;
    std::mutex lock_;
    std::vector<uint8_t> ring_;
    // Frames in 32.32 fixed point, so that a buffer at the output's rate plays its samples
    // unchanged.
    uint64_t position_ = 0;
    bool playing_ = false;
    bool looping_ = false;
    LONG volume_ = 0;
    LONG pan_ = 0;
    DWORD frequency_ = 0;
    Source3d source_;
};

} // namespace platform::sound
