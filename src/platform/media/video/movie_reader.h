// Movies read through FFmpeg: any file its demuxers and decoders take, old AVI codecs
// included. The reader opens the first video stream, reports its rate as a fraction, its
// frame count, size, depth and palette, and decodes frame n into a DIB of 8, 15, 16, 24 or
// 32 bits. Frames are counted from the stream's start at its rate; asking for a frame that
// is not the next one seeks to the key frame before it and decodes forward from there.
#pragma once

#include <cstdint>
#include <memory>

namespace platform::video {

// Frames per second as numerator / denominator, both above 0.
struct FrameRate {
    int64_t numerator = 0;
    int64_t denominator = 1;
};

class MovieReader {
public:
    MovieReader();
    ~MovieReader();
    MovieReader(const MovieReader&) = delete;
    MovieReader& operator=(const MovieReader&) = delete;

    // A file by its Windows name (Windows-1252, mapped as the file calls map it). False
    // when it cannot be read, holds no video stream, or has no decoder or size.
    bool Open(const char* windowsName);
    // The same for a Linux path.
    bool OpenLinuxPath(const char* path);
    void Close();
    bool IsOpen() const;

    int32_t Width() const;
    int32_t Height() const;
    // The depth the file stores its pictures at: 8 for paletted video, else the coded depth
    // when it is 15, 16, 24 or 32, else 24.
    int32_t Depth() const;
    FrameRate Rate() const;
    int64_t FrameCount() const;
    // The 256 colours (0x00RRGGBB) of paletted video, as of the last decoded frame; null
    // for other video.
    const uint32_t* Palette() const;

    // Frame `frame` (0 .. FrameCount() - 1) into a DIB whose top row starts at `topRow`,
    // `stride` bytes from one row to the next (negative when rows are stored bottom-up).
    // Depth 8 needs paletted video; 16 is 5-6-5, 15 is 5-5-5. False when the frame cannot
    // be had or the depth is not one of 8, 15, 16, 24, 32.
    bool ReadFrame(int64_t frame, int32_t depth, uint8_t* topRow, int32_t stride);

    // Whether the file has a sound track.
    bool HasSound() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace platform::video
