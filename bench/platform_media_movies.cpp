// Movies beside FFmpeg alone: 300 frames of 640 x 480 appended one by one and flattened into
// a QuickTime file in the Animation and Cinepak codecs, against the test writer encoding the
// same frames straight through FFmpeg's encoders (each frame is one colour, as the writer
// makes them); and effect frames beside libavfilter's filters for the same operation (the
// box blur, the unsharp mask) over planar frames of the same size.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/movie/effects.h"
#include "platform/media/movie/movie_export.h"
#include "platform/media/video/movie_writer.h"
#include "side_by_side.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

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

// AppendVideoFrame's work (each picture copied in as a frame of its own) and the save after.
void BM_AppendAndSaveAnimation(benchmark::State& state) {
    namespace movie = platform::movie;
    const std::string ours =
        (std::filesystem::temp_directory_path() / "zorv_bench_append_ours.mov").string();
    const std::string theirs =
        (std::filesystem::temp_directory_path() / "zorv_bench_append_ffmpeg.mov").string();
    platform::video::MoviePlan plan;
    plan.codec = platform::video::MovieCodec::QuickTimeRle;
    plan.width = kWidth;
    plan.height = kHeight;
    plan.rateNumerator = 15;
    plan.keyInterval = 12;
    plan.colours = Colours();
    bench::SideBySide(
        state, int64_t(kWidth) * kHeight * kFrames, "ffmpeg",
        [&] {
            auto media = std::make_shared<movie::BuiltMedia>(kWidth, kHeight);
            media->SetCodec(movie::kCodecAnimation, movie::kQualityNormal);
            for (uint32_t colour : plan.colours)
                media->Append(
                    movie::Picture{kWidth, kHeight,
                                   std::vector<uint32_t>(size_t(kWidth) * kHeight, colour)},
                    40);
            movie::Movie built;
            built.InsertMedia(media, 0);
            movie::ExportMovieToLinuxPath(built, ours, movie::ExportFormat::QuickTime);
        },
        [&] { platform::video::WriteMovie(theirs, plan); });
    std::filesystem::remove(ours);
    std::filesystem::remove(theirs);
}
BENCHMARK(BM_AppendAndSaveAnimation)->Unit(benchmark::kMillisecond)->Iterations(2);

constexpr int kEffectFrames = 20;

// A filter graph of libavfilter over planar frames of the bench's size.
class FilterPeer {
public:
    explicit FilterPeer(AVPixelFormat format) {
        graph_ = avfilter_graph_alloc();
        char source[160];
        std::snprintf(source, sizeof source,
                      "video_size=%dx%d:pix_fmt=%d:time_base=1/15:pixel_aspect=1/1", kWidth,
                      kHeight, int(format));
        avfilter_graph_create_filter(&source_, avfilter_get_by_name("buffer"), "in", source,
                                     nullptr, graph_);
        avfilter_graph_create_filter(&sink_, avfilter_get_by_name("buffersink"), "out", nullptr,
                                     nullptr, graph_);
        frame_ = av_frame_alloc();
        frame_->format = format;
        frame_->width = kWidth;
        frame_->height = kHeight;
        av_frame_get_buffer(frame_, 0);
        for (int plane = 0; plane < 3; ++plane)
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    frame_->data[plane][y * frame_->linesize[plane] + x] =
                        uint8_t((x * (plane + 1) + y * 3) & 0xFF);
        out_ = av_frame_alloc();
    }
    // The graph joined up: source, the filters of the description, sink.
    bool Link(const char* description) {
        AVFilterInOut* outputs = avfilter_inout_alloc();
        AVFilterInOut* inputs = avfilter_inout_alloc();
        outputs->name = av_strdup("in");
        outputs->filter_ctx = source_;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = sink_;
        bool linked =
            avfilter_graph_parse_ptr(graph_, description, &inputs, &outputs, nullptr) >= 0 &&
            avfilter_graph_config(graph_, nullptr) >= 0;
        avfilter_inout_free(&inputs);
        avfilter_inout_free(&outputs);
        return linked;
    }
    ~FilterPeer() {
        av_frame_free(&frame_);
        av_frame_free(&out_);
        avfilter_graph_free(&graph_);
    }
    void Run(int frames) {
        for (int i = 0; i < frames; ++i) {
            frame_->pts = i;
            if (av_buffersrc_add_frame_flags(source_, frame_, AV_BUFFERSRC_FLAG_KEEP_REF) < 0)
                return;
            while (av_buffersink_get_frame(sink_, out_) >= 0)
                av_frame_unref(out_);
        }
    }

private:
    AVFilterGraph* graph_ = nullptr;
    AVFilterContext* source_ = nullptr;
    AVFilterContext* sink_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVFrame* out_ = nullptr;
};

void Effect(benchmark::State& state, platform::movie::EffectKind kind,
            const std::vector<double>& values, AVPixelFormat format, const char* peer) {
    namespace movie = platform::movie;
    movie::Picture picture{kWidth, kHeight, std::vector<uint32_t>(size_t(kWidth) * kHeight)};
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            picture.pixels[size_t(y) * kWidth + x] = uint32_t((x * 0x010203 + y * 0x030201));
    movie::Effect effect = movie::MakeEffect(kind, values);
    FilterPeer filter(format);
    if (!filter.Link(peer)) {
        state.SkipWithError("libavfilter has no such filter");
        return;
    }
    bench::SideBySide(
        state, int64_t(kWidth) * kHeight * kEffectFrames, "libavfilter",
        [&] {
            for (int i = 0; i < kEffectFrames; ++i) {
                movie::Picture frame = picture;
                movie::ApplyEffect(effect, i * 40, frame);
                benchmark::DoNotOptimize(frame.pixels.data());
            }
        },
        [&] { filter.Run(kEffectFrames); });
}

// A box of 5 x 5 pixels, divided by its area.
void BM_EffectBlur(benchmark::State& state) {
    Effect(state, platform::movie::EffectKind::Blur, {2, 0}, AV_PIX_FMT_GBRP,
           "boxblur=luma_radius=2:luma_power=1:chroma_radius=2:chroma_power=1");
}
BENCHMARK(BM_EffectBlur)->Unit(benchmark::kMillisecond);

// The unsharp mask over a 5 x 5 box, at an amount of 1.
void BM_EffectSharpen(benchmark::State& state) {
    Effect(state, platform::movie::EffectKind::Sharpen, {2, 1}, AV_PIX_FMT_YUV444P,
           "unsharp=5:5:1:5:5:1");
}
BENCHMARK(BM_EffectSharpen)->Unit(benchmark::kMillisecond);

} // namespace
