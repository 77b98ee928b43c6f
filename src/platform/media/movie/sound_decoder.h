// A movie file's first sound stream decoded to float stereo frames at the output rate, read
// from any frame on: reads that follow each other decode on, others seek first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform::movie {

class SoundDecoder {
public:
    SoundDecoder();
    ~SoundDecoder();
    SoundDecoder(const SoundDecoder&) = delete;
    SoundDecoder& operator=(const SoundDecoder&) = delete;

    // False when the file has no sound stream we can decode.
    bool Open(const std::string& path);
    // `frames` interleaved stereo frames from frame `from` (counted at the output rate from
    // the stream's start); silence where there is no sound.
    void Read(int64_t from, float* out, size_t frames);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace platform::movie
