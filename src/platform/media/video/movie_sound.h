// The sound track of a movie, decoded through FFmpeg and resampled to float stereo frames
// at the output rate of the media voices, read forward from any position.
#pragma once

#include <cstdint>
#include <memory>

namespace platform::video {

class MovieSound {
public:
    MovieSound();
    ~MovieSound();
    MovieSound(const MovieSound&) = delete;
    MovieSound& operator=(const MovieSound&) = delete;

    // The first sound stream of a file by its Linux path; false when there is none or it
    // has no decoder.
    bool OpenLinuxPath(const char* path);
    void Close();
    bool IsOpen() const;

    // The next frames read from `milliseconds` into the track.
    bool Seek(int64_t milliseconds);
    // Up to `frames` interleaved stereo frames at `rate` per second (the rate given to the
    // first Read holds for the whole track); fewer only at the end of the track.
    int64_t Read(float* stereo, int64_t frames, int32_t rate);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace platform::video
