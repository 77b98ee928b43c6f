// Movies come from files anywhere: any bytes either open as no movie, or as one whose
// size, count and rate are sane and whose first and last frames decode (or fail) at every
// depth without touching memory outside the picture. A sound track reads from its start
// and after a seek, never more frames than asked for.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/media/video/movie_reader.h"
#include "platform/media/video/movie_sound.h"

namespace {

const std::string& InputPath() {
    static const std::string path = [] {
        std::error_code error;
        auto folder = std::filesystem::temp_directory_path(error) / "zorv_fuzz_movie_reader";
        std::filesystem::create_directories(folder, error);
        // Fuzzing jobs run side by side: each its own file.
        return (folder / ("input" + std::to_string(std::random_device()()) + ".avi")).string();
    }();
    return path;
}

void Decode(platform::video::MovieReader& reader, int64_t frame, int32_t depth, bool bottomUp) {
    const int32_t width = reader.Width();
    const int32_t height = reader.Height();
    const int32_t stride = ((width * ((depth + 7) / 8) + 3) / 4) * 4;
    // A guard row on either side catches writes outside the picture.
    std::vector<uint8_t> bits(size_t(stride) * size_t(height + 2), 0x5A);
    uint8_t* top = bits.data() + stride + (bottomUp ? size_t(stride) * size_t(height - 1) : 0);
    reader.ReadFrame(frame, depth, top, bottomUp ? -stride : stride);
    for (int32_t i = 0; i < stride; ++i)
        if (bits[size_t(i)] != 0x5A || bits[bits.size() - 1 - size_t(i)] != 0x5A) std::abort();
}

void ReadSound() {
    platform::video::MovieSound sound;
    if (!sound.OpenLinuxPath(InputPath().c_str())) return;
    constexpr int64_t kFrames = 4096;
    // A guard frame after those asked for catches writes past them.
    std::vector<float> frames((kFrames + 1) * 2, 7.0f);
    for (int round = 0; round < 2; ++round) {
        for (int chunk = 0; chunk < 8; ++chunk) {
            int64_t read = sound.Read(frames.data(), kFrames, 44100);
            if (read < 0 || read > kFrames) std::abort();
            if (frames[kFrames * 2] != 7.0f || frames[kFrames * 2 + 1] != 7.0f) std::abort();
            if (read < kFrames) break;
        }
        sound.Seek(250);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        std::ofstream out(InputPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    ReadSound();
    platform::video::MovieReader reader;
    if (!reader.OpenLinuxPath(InputPath().c_str())) return 0;
    const int64_t count = reader.FrameCount();
    const platform::video::FrameRate rate = reader.Rate();
    if (reader.Width() <= 0 || reader.Height() <= 0 || count <= 0 || rate.numerator <= 0 ||
        rate.denominator <= 0)
        std::abort();
    // Big pictures are the decoders' business, not the reader's.
    if (int64_t(reader.Width()) * reader.Height() > 1024 * 1024) return 0;
    const int32_t depth = reader.Depth();
    Decode(reader, 0, 32, false);
    Decode(reader, count - 1, depth, true);
    Decode(reader, count / 2, 16, false);
    Decode(reader, 0, depth == 8 ? 8 : 24, true);
    return 0;
}
