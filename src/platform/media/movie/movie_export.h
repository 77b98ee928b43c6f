// Movies written out through FFmpeg's muxers: flattened into a QuickTime file, or converted
// to DV or AVI. The video is sampled at a steady rate fine enough for every frame boundary
// (at most 60 frames a second; 25 for DV), so a file read back shows the same frames at the
// same times. Sound tracks are written as 16-bit stereo PCM beside the video.
#pragma once

#include <cstdint>
#include <string>

#include "platform/media/movie/movie.h"

namespace platform::movie {

enum class ExportFormat {
    // The codec of the movie's built frames when FFmpeg has its encoder, else Photo-JPEG.
    QuickTime,
    // PAL DV: 720 x 576 at 25 frames a second, the picture letterboxed.
    Dv,
    // Motion JPEG.
    Avi,
};

// Codec four-character codes of built frames, and their qualities.
constexpr uint32_t kCodecCinepak = 0x63766964;   // "cvid"
constexpr uint32_t kCodecGraphics = 0x736D6320;  // "smc "
constexpr uint32_t kCodecAnimation = 0x726C6520; // "rle "
constexpr uint32_t kCodecVideo = 0x72707A61;     // "rpza"
constexpr uint32_t kCodecComponent = 0x79757632; // "yuv2"
constexpr int32_t kQualityLow = 0x100;
constexpr int32_t kQualityNormal = 0x200;
constexpr int32_t kQualityHigh = 0x300;

// Writes the movie to the Windows name (or the Linux path); the movies error it leaves:
// 0, kFileNotFound when the file cannot be made, kBadParameter for a movie without video
// or a picture the encoder refuses.
int32_t ExportMovie(Movie& movie, const char* windowsName, ExportFormat format);
int32_t ExportMovieToLinuxPath(Movie& movie, const std::string& path, ExportFormat format);

} // namespace platform::movie
