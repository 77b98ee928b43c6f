#include "platform/sound/buffer_voice.h"

#include <cmath>
#include <cstring>

#include "platform/sound/media_voice.h"

namespace platform::sound {
namespace {

constexpr double ONE = 4294967296.0;

} // namespace

BufferVoice::BufferVoice(PcmFormat format, DWORD bytes, std::shared_ptr<ListenerState> listener)
    : format_(format), listener_(std::move(listener)), frames_(bytes / format.blockAlign),
      ring_(bytes, format.bits == 8 ? 0x80 : 0) {}

float BufferVoice::Sample(size_t frame, int channel) const {
    size_t at = frame * format_.blockAlign + static_cast<size_t>(channel) * (format_.bits / 8);
    if (format_.bits == 8) return (static_cast<int>(ring_[at]) - 128) / 128.0f;
    auto value = static_cast<int16_t>(ring_[at] | (ring_[at + 1] << 8));
    return value / 32768.0f;
}

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
    auto step = static_cast<uint64_t>(std::llround(frequency * ONE / OUTPUT_RATE));
    uint64_t end = static_cast<uint64_t>(frames_) << 32;
    bool stereo = format_.channels == 2;
    bool mono = !stereo || listener_;
    for (size_t i = 0; i < frames; ++i) {
        size_t frame = position_ >> 32;
        size_t next = frame + 1 < frames_ ? frame + 1 : (looping_ ? 0 : frame);
        float share = static_cast<float>((position_ & 0xFFFFFFFFu) / ONE);
        auto at = [&](int channel) {
            float from = Sample(frame, channel);
            if (share == 0.0f) return from;
            return from + (Sample(next, channel) - from) * share;
        };
        float left = at(0);
        float right = stereo ? at(1) : left;
        if (mono && stereo) left = right = (left + right) * 0.5f;
        out[2 * i] += left * gain.left;
        out[2 * i + 1] += right * gain.right;
        position_ += step;
        if (position_ >= end) {
            if (!looping_) {
                playing_ = false;
                position_ = 0;
                return;
            }
            position_ %= end;
        }
    }
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
