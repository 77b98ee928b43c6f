// The movie reader beside FFmpeg alone on the same 640 x 480 files, written when the
// benchmark starts: frames in order into a DIB of 16 and 32 bits (FFmpeg decoding into its
// own frames), and catching up 100 frames after a seek to a key frame.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/media/video/movie_reader.h"
#include "platform/media/video/movie_writer.h"
#include "side_by_side.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;
constexpr int kFrames = 240;
constexpr int kKeyInterval = 120;

// Motion JPEG for the frames in order; Microsoft Video 1, whose key frames lie far apart,
// for the catching up.
std::string WriteBenchMovie(platform::video::MovieCodec codec, const char* name) {
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    platform::video::MoviePlan plan;
    plan.codec = codec;
    plan.width = kWidth;
    plan.height = kHeight;
    plan.rateNumerator = 25;
    plan.keyInterval = kKeyInterval;
    for (int i = 0; i < kFrames; ++i)
        plan.colours.push_back(uint32_t(i * 0x010305) & 0xFFFFFF);
    platform::video::WriteMovie(path, plan);
    return path;
}

const std::string& MoviePath() {
    static const std::string path =
        WriteBenchMovie(platform::video::MovieCodec::Mjpeg, "zorv_bench_mjpeg.avi");
    return path;
}

const std::string& SparseKeysPath() {
    static const std::string path =
        WriteBenchMovie(platform::video::MovieCodec::Msvideo1, "zorv_bench_cram.avi");
    return path;
}

// FFmpeg alone: the file's video stream decoded into its own frames.
class Peer {
public:
    explicit Peer(const std::string& path) {
        avformat_open_input(&format_, path.c_str(), nullptr, nullptr);
        avformat_find_stream_info(format_, nullptr);
        stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        const AVCodecParameters* parameters = format_->streams[stream_]->codecpar;
        const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
        decoder_ = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(decoder_, parameters);
        decoder_->thread_count = 1;
        avcodec_open2(decoder_, codec, nullptr);
        frame_ = av_frame_alloc();
        packet_ = av_packet_alloc();
    }
    ~Peer() {
        av_packet_free(&packet_);
        av_frame_free(&frame_);
        avcodec_free_context(&decoder_);
        avformat_close_input(&format_);
    }

    // The next frame; at the end, the first again.
    void Next() {
        for (;;) {
            if (avcodec_receive_frame(decoder_, frame_) == 0) return;
            if (av_read_frame(format_, packet_) < 0) {
                Rewind(0);
                continue;
            }
            if (packet_->stream_index == stream_) avcodec_send_packet(decoder_, packet_);
            av_packet_unref(packet_);
        }
    }
    // The key frame before `frame` (timestamps count frames in AVI files), then decoding
    // up to the frame.
    void SeekTo(int64_t frame) {
        Rewind(frame);
        do {
            Next();
        } while (frame_->best_effort_timestamp < frame);
    }
    void Rewind(int64_t timestamp) {
        av_seek_frame(format_, stream_, timestamp, AVSEEK_FLAG_BACKWARD);
        avcodec_flush_buffers(decoder_);
    }

private:
    AVFormatContext* format_ = nullptr;
    AVCodecContext* decoder_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    int stream_ = 0;
};

void BM_FramesInOrder(benchmark::State& state) {
    const auto depth = int32_t(state.range(0));
    platform::video::MovieReader reader;
    if (!reader.OpenLinuxPath(MoviePath().c_str())) {
        state.SkipWithError("no movie");
        return;
    }
    const int32_t stride = ((kWidth * depth / 8 + 3) / 4) * 4;
    std::vector<uint8_t> bits(size_t(stride) * kHeight);
    Peer peer(MoviePath());
    int64_t frame = 0;
    bench::SideBySide(
        state, int64_t(kWidth) * kHeight, "ffmpeg",
        [&] {
            reader.ReadFrame(frame, depth, bits.data(), stride);
            frame = (frame + 1) % kFrames;
        },
        [&] { peer.Next(); });
}
BENCHMARK(BM_FramesInOrder)->Arg(16)->Arg(32);

void BM_CatchUpAfterSeek(benchmark::State& state) {
    platform::video::MovieReader reader;
    if (!reader.OpenLinuxPath(SparseKeysPath().c_str())) {
        state.SkipWithError("no movie");
        return;
    }
    std::vector<uint8_t> bits(size_t(kWidth) * 2 * kHeight);
    Peer peer(SparseKeysPath());
    // Frames 100 and 99 in turn: each lies before the last one read, so each is a seek to
    // the key frame before it and the frames from there decoded; FFmpeg alone does the same.
    int64_t target = 100;
    bench::SideBySide(
        state, int64_t(kWidth) * kHeight * 100, "ffmpeg",
        [&] {
            reader.ReadFrame(target, 16, bits.data(), kWidth * 2);
            target = target == 100 ? 99 : 100;
        },
        [&] { peer.SeekTo(target == 100 ? 99 : 100); });
}
BENCHMARK(BM_CatchUpAfterSeek);

} // namespace
