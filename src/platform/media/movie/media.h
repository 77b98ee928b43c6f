// What a track's segments show: a movie file read through the movie reader, or a medium
// built frame by frame. Media times are in the movie time scale (600 units a second).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/movie/sound_decoder.h"
#include "platform/media/video/movie_reader.h"

namespace platform::movie {

constexpr int64_t kTimeScale = 600;

// A picture of 0x00RRGGBB pixels, rows top down.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

class Media {
public:
    virtual ~Media() = default;
    virtual int64_t Duration() const = 0;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    virtual bool HasVideo() const = 0;
    virtual bool HasSound() const = 0;
    // The picture showing at `time` (clipped to the medium). Null when there is none.
    virtual const Picture* PictureAt(int64_t time) = 0;
    // Where the frame showing at `time` (inside the medium) begins and ends.
    virtual int64_t FrameStart(int64_t time) const = 0;
    virtual int64_t FrameEnd(int64_t time) const = 0;
    // The codec (a four-character code) and quality files of these frames are written with;
    // 0 when the medium has none of its own.
    virtual uint32_t Codec() const { return 0; }
    virtual int32_t Quality() const { return 0; }
    // `frames` stereo frames of its sound from frame `from` (at the sound output's rate from
    // the medium's start); silence for media without sound.
    virtual void ReadSound(int64_t from, float* out, size_t frames);
};

class FileMedia final : public Media {
public:
    // Null when the file cannot be read or holds no video we can decode.
    static std::shared_ptr<FileMedia> Open(const std::string& linuxPath);

    int64_t Duration() const override { return duration_; }
    int32_t Width() const override;
    int32_t Height() const override;
    bool HasVideo() const override { return true; }
    bool HasSound() const override;
    const Picture* PictureAt(int64_t time) override;
    int64_t FrameStart(int64_t time) const override;
    int64_t FrameEnd(int64_t time) const override;
    void ReadSound(int64_t from, float* out, size_t frames) override;
    const std::string& Path() const { return path_; }

private:
    int64_t FrameAt(int64_t time) const;
    int64_t TimeOfFrame(int64_t frame) const;

    video::MovieReader reader_;
    // Opened at the first read of the sound.
    std::unique_ptr<SoundDecoder> sound_;
    bool soundTried_ = false;
    std::string path_;
    int64_t duration_ = 0;
    int64_t shownFrame_ = -1;
    Picture picture_;
};

// Frames appended one by one, each shown for its own duration.
class BuiltMedia final : public Media {
public:
    BuiltMedia(int32_t width, int32_t height) : width_(width), height_(height) {}

    // False (nothing added) for a picture of another size or a duration below 1.
    bool Append(Picture picture, int64_t duration);
    size_t FrameCount() const { return frames_.size(); }
    uint32_t Codec() const override { return codec_; }
    int32_t Quality() const override { return quality_; }
    void SetCodec(uint32_t codec, int32_t quality) {
        codec_ = codec;
        quality_ = quality;
    }

    int64_t Duration() const override { return duration_; }
    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    bool HasVideo() const override { return true; }
    bool HasSound() const override { return false; }
    const Picture* PictureAt(int64_t time) override;
    int64_t FrameStart(int64_t time) const override;
    int64_t FrameEnd(int64_t time) const override;

private:
    struct Frame {
        int64_t start;
        Picture picture;
    };
    size_t FrameAt(int64_t time) const;

    int32_t width_;
    int32_t height_;
    int64_t duration_ = 0;
    std::vector<Frame> frames_;
    uint32_t codec_ = 0;
    int32_t quality_ = 0;
};

} // namespace platform::movie
