#include "platform/media/movie/media.h"

#include <algorithm>
#include <limits>

namespace platform::movie {

namespace {

__extension__ using Int128 = __int128;

int64_t Saturate(Int128 value) {
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    return value > kMax ? kMax : static_cast<int64_t>(value);
}

} // namespace

void Media::ReadSound(int64_t, float* out, size_t frames) {
    std::fill(out, out + frames * 2, 0.0f);
}

void FileMedia::ReadSound(int64_t from, float* out, size_t frames) {
    if (!soundTried_) {
        soundTried_ = true;
        auto decoder = std::make_unique<SoundDecoder>();
        if (decoder->Open(path_)) sound_ = std::move(decoder);
    }
    if (sound_ == nullptr) {
        Media::ReadSound(from, out, frames);
        return;
    }
    sound_->Read(from, out, frames);
}

std::shared_ptr<FileMedia> FileMedia::Open(const std::string& linuxPath) {
    auto media = std::shared_ptr<FileMedia>(new FileMedia);
    if (!media->reader_.OpenLinuxPath(linuxPath.c_str()) || media->reader_.FrameCount() <= 0)
        return nullptr;
    video::FrameRate rate = media->reader_.Rate();
    // Each frame lasts denominator / numerator seconds; the file lasts as long as its frames.
    media->duration_ = Saturate(Int128(media->reader_.FrameCount()) * rate.denominator *
                                kTimeScale / rate.numerator);
    if (media->duration_ <= 0) return nullptr;
    media->path_ = linuxPath;
    return media;
}

int32_t FileMedia::Width() const {
    return reader_.Width();
}

int32_t FileMedia::Height() const {
    return reader_.Height();
}

bool FileMedia::HasSound() const {
    return reader_.HasSound();
}

int64_t FileMedia::FrameAt(int64_t time) const {
    time = std::clamp<int64_t>(time, 0, duration_ - 1);
    video::FrameRate rate = reader_.Rate();
    int64_t frame =
        Saturate(Int128(time) * rate.numerator / (Int128(rate.denominator) * kTimeScale));
    return std::min(frame, reader_.FrameCount() - 1);
}

int64_t FileMedia::TimeOfFrame(int64_t frame) const {
    video::FrameRate rate = reader_.Rate();
    // Rounded up, so that the frame found at the time is this one.
    Int128 scaled = Int128(frame) * rate.denominator * kTimeScale;
    return std::min(duration_, Saturate((scaled + rate.numerator - 1) / rate.numerator));
}

int64_t FileMedia::FrameStart(int64_t time) const {
    return TimeOfFrame(FrameAt(time));
}

int64_t FileMedia::FrameEnd(int64_t time) const {
    return TimeOfFrame(FrameAt(time) + 1);
}

const Picture* FileMedia::PictureAt(int64_t time) {
    int64_t frame = FrameAt(time);
    if (frame == shownFrame_) return &picture_;
    picture_.width = reader_.Width();
    picture_.height = reader_.Height();
    picture_.pixels.assign(static_cast<size_t>(picture_.width) * picture_.height, 0);
    auto* top = reinterpret_cast<uint8_t*>(picture_.pixels.data());
    if (!reader_.ReadFrame(frame, 32, top, picture_.width * 4)) {
        shownFrame_ = -1;
        return nullptr;
    }
    for (uint32_t& pixel : picture_.pixels)
        pixel &= 0x00FFFFFF;
    shownFrame_ = frame;
    return &picture_;
}

bool BuiltMedia::Append(Picture picture, int64_t duration) {
    if (picture.width != width_ || picture.height != height_ || duration < 1 ||
        picture.pixels.size() != static_cast<size_t>(width_) * height_ ||
        duration > std::numeric_limits<int64_t>::max() - duration_)
        return false;
    frames_.push_back({duration_, std::move(picture)});
    duration_ += duration;
    return true;
}

size_t BuiltMedia::FrameAt(int64_t time) const {
    auto after = std::upper_bound(frames_.begin(), frames_.end(), time,
                                  [](int64_t t, const Frame& frame) { return t < frame.start; });
    return after == frames_.begin() ? 0 : static_cast<size_t>(after - frames_.begin()) - 1;
}

const Picture* BuiltMedia::PictureAt(int64_t time) {
    return frames_.empty() ? nullptr : &frames_[FrameAt(time)].picture;
}

int64_t BuiltMedia::FrameStart(int64_t time) const {
    return frames_.empty() ? 0 : frames_[FrameAt(time)].start;
}

int64_t BuiltMedia::FrameEnd(int64_t time) const {
    size_t next = frames_.empty() ? 0 : FrameAt(time) + 1;
    return next < frames_.size() ? frames_[next].start : duration_;
}

} // namespace platform::movie
