// Writing movies beside FFmpeg alone: 300 frames of 640 x 480 flattened into a QuickTime
// file in the Animation and Cinepak codecs, against the test writer encoding the same frames
// straight through FFmpeg's encoders. Each frame is one colour, as the writer makes them.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/movie/movie_export.h"
#include "platform/media/video/movie_writer.h"
#include "side_by_side.h"

namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;
constexpr int kFrames = 300;

std::vector<uint32_t> Colours() {
    std::vector<uint32_t> colours;
    for (int i = 0; i < kFrames; ++i)
        colours.push_back(uint32_t(i * 0x010305) & 0xFFFFFF);
    return colours;
}

// The frames as a built movie of 15 frames a second (40 units each).
std::unique_ptr<platform::movie::Movie> BuiltMovie(uint32_t codec) {
    namespace movie = platform::movie;
    auto media = std::make_shared<movie::BuiltMedia>(kWidth, kHeight);
    media->SetCodec(codec, movie::kQualityNormal);
    for (uint32_t colour : Colours())
        media->Append(movie::Picture{kWidth, kHeight,
                                     std::vector<uint32_t>(size_t(kWidth) * kHeight, colour)},
                      40);
    auto built = std::make_unique<movie::Movie>();
    built->InsertMedia(media, 0);
    return built;
}

void Save(benchmark::State& state, uint32_t codec, platform::video::MovieCodec peerCodec) {
    const auto folder = std::filesystem::temp_directory_path();
    const std::string ours = (folder / "zorv_bench_movie_ours.mov").string();
    const std::string theirs = (folder / "zorv_bench_movie_ffmpeg.mov").string();
    std::unique_ptr<platform::movie::Movie> movie = BuiltMovie(codec);
    platform::video::MoviePlan plan;
    plan.codec = peerCodec;
    plan.width = kWidth;
    plan.height = kHeight;
    plan.rateNumerator = 15;
    plan.keyInterval = 12;
    plan.colours = Colours();
    bench::SideBySide(
        state, int64_t(kWidth) * kHeight * kFrames, "ffmpeg",
        [&] {
            platform::movie::ExportMovieToLinuxPath(*movie, ours,
                                                    platform::movie::ExportFormat::QuickTime);
        },
        [&] { platform::video::WriteMovie(theirs, plan); });
    std::filesystem::remove(ours);
    std::filesystem::remove(theirs);
}

void BM_SaveAnimation(benchmark::State& state) {
    Save(state, platform::movie::kCodecAnimation, platform::video::MovieCodec::QuickTimeRle);
}
BENCHMARK(BM_SaveAnimation)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_SaveCinepak(benchmark::State& state) {
    Save(state, platform::movie::kCodecCinepak, platform::video::MovieCodec::Cinepak);
}
BENCHMARK(BM_SaveCinepak)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
