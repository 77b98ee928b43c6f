// Small movies written through FFmpeg's encoders, each frame one plain colour, with an
// optional sine tone: the media of the tests, the fuzz seeds and the examples' generator.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform::video {

enum class MovieCodec {
    Raw24,        // uncompressed 24-bit
    Raw8,         // uncompressed 8-bit with a palette of the frames' colours
    Msvideo1,     // 16-bit
    Cinepak,      // 24-bit, lossy
    Mjpeg,        // 24-bit, lossy
    QuickTimeRle, // 24-bit run lengths; wants a .mov name
};

struct MoviePlan {
    MovieCodec codec = MovieCodec::Raw24;
    int32_t width = 32;
    int32_t height = 24;
    // Frames per second as a fraction.
    int32_t rateNumerator = 15;
    int32_t rateDenominator = 1;
    // One 0xRRGGBB colour per frame; Raw8 takes at most 256 different ones.
    std::vector<uint32_t> colours;
    // A sine tone of this frequency on a 22050 Hz mono track as long as the video; 0: none.
    int32_t toneHz = 0;
    // Frames from one key frame to the next.
    int32_t keyInterval = 4;
};

// Writes the movie to `linuxPath` (the container from its extension: .avi or .mov). An
// empty text on success, else what went wrong.
std::string WriteMovie(const std::string& linuxPath, const MoviePlan& plan);

} // namespace platform::video
