#include "platform/sound/buffer_voice.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/sound/media_voice.h"
#include "platform/sound/mix_run.h"
#include "platform/sound/mix_run_loops.h"

namespace platform::sound {
namespace {

constexpr double ONE = 4294967296.0;

} // namespace

BufferVoice::BufferVoice(PcmFormat format, DWORD bytes, std::shared_ptr<ListenerState> listener)
    : format_(format), listener_(std::move(listener)), frames_(bytes / format.blockAlign),
      ring_(bytes, format.bits == 8 ? 0x80 : 0) {}

namespace {

struct Cursor {
    uint64_t position;
    uint64_t step;
    size_t frames;
    bool looping;
    bool playing;
};

// One loop for each layout, so that the sample reading is decided once a round. Frames
// whose next frame is simply the following one are mixed in runs (mix_run.h) with no test
// of the ring's end; only the frames at the end take the checks here.
template <int BYTES, int CHANNELS, bool MONO>
void MixFrames(const uint8_t* ring, Cursor& cursor, StereoGain gain, float* out, size_t count) {
    static const MixRunFn mixRun = GetMixRun(BYTES, CHANNELS, MONO);
    constexpr size_t frameBytes = BYTES * CHANNELS;
    const uint64_t end = static_cast<uint64_t>(cursor.frames) << 32;
    const uint64_t lastFrame = static_cast<uint64_t>(cursor.frames - 1) << 32;
    size_t i = 0;
    while (i < count) {
        if (cursor.position < lastFrame) {
            size_t run = count - i;
            if (cursor.step != 0)
                run = static_cast<size_t>(
                    std::min<uint64_t>(run, (lastFrame - 1 - cursor.position) / cursor.step + 1));
            cursor.position = mixRun(ring, cursor.position, cursor.step, gain, out + 2 * i, run);
            i += run;
        } else {
            size_t frame = cursor.position >> 32;
            size_t next = frame + 1 < cursor.frames ? frame + 1 : (cursor.looping ? 0 : frame);
            MixFrame<BYTES, CHANNELS, MONO>(ring + frame * frameBytes, ring + next * frameBytes,
                                            Share(cursor.position), gain, out + 2 * i);
            cursor.position += cursor.step;
            ++i;
        }
        if (cursor.position >= end) {
            if (!cursor.looping) {
                cursor.playing = false;
                cursor.position = 0;
                return;
            }
            cursor.position %= end;
        }
    }
}

template <int BYTES>
void MixLayout(int channels, bool mono, const uint8_t* ring, Cursor& cursor, StereoGain gain,
               float* out, size_t count) {
    if (channels == 1)
        MixFrames<BYTES, 1, false>(ring, cursor, gain, out, count);
    else if (mono)
        MixFrames<BYTES, 2, true>(ring, cursor, gain, out, count);
    else
        MixFrames<BYTES, 2, false>(ring, cursor, gain, out, count);
}

} // namespace

void BufferVoice::MixInto(float* out, size_t frames) {
    Listener3d listener;
    if (listener_) {
        std::lock_guard lock(listener_->lock);
        listener = listener_->values;
    }
    std::lock_guard lock(lock_);
    if (!playing_) return;
    StereoGain gain = PanGains(pan_);
    float ratio = 1.0f;
    if (listener_) {
        Placement3d placed = Place3d(listener, source_);
        gain = placed.gain;
        ratio = placed.frequencyRatio;
    }
    float volume = VolumeGain(volume_);
    gain.left *= volume;
    gain.right *= volume;
    double frequency = (frequency_ ? frequency_ : format_.rate) * static_cast<double>(ratio);
    Cursor cursor{position_, static_cast<uint64_t>(std::llround(frequency * ONE / OUTPUT_RATE)),
                  frames_, looping_, true};
    bool mono = listener_ != nullptr;
    if (format_.bits == 8)
        MixLayout<1>(format_.channels, mono, ring_.data(), cursor, gain, out, frames);
    else
        MixLayout<2>(format_.channels, mono, ring_.data(), cursor, gain, out, frames);
    position_ = cursor.position;
    playing_ = cursor.playing;
}

void BufferVoice::GetCursors(DWORD* play, DWORD* write) {
    std::lock_guard lock(lock_);
    size_t frame = position_ >> 32;
    size_t ahead = playing_ ? (frame + 2) % frames_ : frame;
    if (play) *play = static_cast<DWORD>(frame * format_.blockAlign);
    if (write) *write = static_cast<DWORD>(ahead * format_.blockAlign);
}

bool BufferVoice::IsPlaying() {
    std::lock_guard lock(lock_);
    return playing_;
}

bool BufferVoice::IsLooping() {
    std::lock_guard lock(lock_);
    return playing_ && looping_;
}

void BufferVoice::Play(bool looping) {
    std::lock_guard lock(lock_);
    playing_ = true;
    looping_ = looping;
}

void BufferVoice::Stop() {
    std::lock_guard lock(lock_);
    playing_ = false;
}

void BufferVoice::SetCursor(DWORD bytes) {
    std::lock_guard lock(lock_);
    position_ = static_cast<uint64_t>(bytes / format_.blockAlign) << 32;
}

void BufferVoice::Read(DWORD offset, uint8_t* to, DWORD count) {
    std::lock_guard lock(lock_);
    std::memcpy(to, ring_.data() + offset, count);
}

void BufferVoice::Write(DWORD offset, const uint8_t* from, DWORD count) {
    std::lock_guard lock(lock_);
    std::memcpy(ring_.data() + offset, from, count);
}

void BufferVoice::SetVolume(LONG volume) {
    std::lock_guard lock(lock_);
    volume_ = volume;
}

void BufferVoice::SetPan(LONG pan) {
    std::lock_guard lock(lock_);
    pan_ = pan;
}

void BufferVoice::SetFrequency(DWORD frequency) {
    std::lock_guard lock(lock_);
    frequency_ = frequency;
}

} // namespace platform::sound
