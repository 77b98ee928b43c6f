#include "platform/media/movie/sound_decoder.h"

#include <algorithm>
#include <vector>

#include "platform/media/video/ffmpeg_quiet.h"
#include "platform/sound/media_voice.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace platform::movie {

namespace {

constexpr int64_t kRate = sound::OUTPUT_RATE;
// A read this far past what is decoded seeks instead of decoding its way there.
constexpr int64_t kFarAhead = kRate * 2;

} // namespace

struct SoundDecoder::State {
    AVFormatContext* format = nullptr;
    AVCodecContext* decoder = nullptr;
    SwrContext* resampler = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    AVRational timeBase{1, 1};
    // Decoded frames not yet read, the first at frame `pendingStart`.
    std::vector<float> pending;
    int64_t pendingStart = 0;
    bool started = false;
    bool ended = false;

    ~State() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&resampler);
        avcodec_free_context(&decoder);
        avformat_close_input(&format);
    }

    bool Open(const std::string& path) {
        if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return false;
        if (avformat_find_stream_info(format, nullptr) < 0) return false;
        stream = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        if (stream < 0) return false;
        AVStream* s = format->streams[stream];
        const AVCodec* codec = avcodec_find_decoder(s->codecpar->codec_id);
        if (codec == nullptr) return false;
        decoder = avcodec_alloc_context3(codec);
        if (decoder == nullptr || avcodec_parameters_to_context(decoder, s->codecpar) < 0 ||
            avcodec_open2(decoder, codec, nullptr) < 0 || decoder->sample_rate <= 0)
            return false;
        timeBase = s->time_base;
        packet = av_packet_alloc();
        frame = av_frame_alloc();
        return packet != nullptr && frame != nullptr && Reset();
    }

    bool Reset() {
        swr_free(&resampler);
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        if (swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_FLT, int(kRate),
                                &decoder->ch_layout, decoder->sample_fmt, decoder->sample_rate, 0,
                                nullptr) < 0)
            return false;
        return swr_init(resampler) >= 0;
    }

    void Seek(int64_t to) {
        int64_t stamp = av_rescale_q(to, AVRational{1, int(kRate)}, timeBase);
        av_seek_frame(format, stream, stamp, AVSEEK_FLAG_BACKWARD);
        avcodec_flush_buffers(decoder);
        Reset();
        pending.clear();
        started = false;
        ended = false;
    }

    // One more decoded frame onto `pending`; false at the end.
    bool DecodeMore() {
        while (!ended) {
            int got = avcodec_receive_frame(decoder, frame);
            if (got == 0) {
                int room = swr_get_out_samples(resampler, frame->nb_samples);
                if (room <= 0) continue;
                std::vector<float> out(size_t(room) * 2);
                auto* to = reinterpret_cast<uint8_t*>(out.data());
                int made = swr_convert(resampler, &to, room,
                                       const_cast<const uint8_t**>(frame->extended_data),
                                       frame->nb_samples);
                if (made <= 0) continue;
                if (!started) {
                    int64_t stamp = frame->best_effort_timestamp;
                    pendingStart = stamp == AV_NOPTS_VALUE
                                       ? 0
                                       : av_rescale_q(stamp, timeBase, AVRational{1, int(kRate)});
                    started = true;
                }
                pending.insert(pending.end(), out.begin(), out.begin() + size_t(made) * 2);
                return true;
            }
            if (got != AVERROR(EAGAIN)) {
                ended = true;
                break;
            }
            int read = av_read_frame(format, packet);
            if (read < 0) {
                avcodec_send_packet(decoder, nullptr);
                continue;
            }
            if (packet->stream_index == stream) avcodec_send_packet(decoder, packet);
            av_packet_unref(packet);
        }
        return false;
    }

    void Read(int64_t from, float* out, size_t frames) {
        std::fill(out, out + frames * 2, 0.0f);
        int64_t held = int64_t(pending.size() / 2);
        bool outside = !started || from < pendingStart || from > pendingStart + held + kFarAhead;
        if (outside && (started || from > 0)) Seek(from);
        if (!started && !DecodeMore()) return;
        if (from < pendingStart) return;
        while (pendingStart + int64_t(pending.size() / 2) < from + int64_t(frames) &&
               DecodeMore()) {
            // Frames before the read are dropped as they come, keeping `pending` short.
            int64_t drop = std::min<int64_t>(from - pendingStart, int64_t(pending.size() / 2));
            if (drop > 0) {
                pending.erase(pending.begin(), pending.begin() + drop * 2);
                pendingStart += drop;
            }
        }
        int64_t skip = from - pendingStart;
        int64_t have = int64_t(pending.size() / 2) - skip;
        if (skip < 0 || have <= 0) return;
        int64_t n = std::min<int64_t>(have, int64_t(frames));
        std::copy_n(pending.begin() + skip * 2, n * 2, out);
        pending.erase(pending.begin(), pending.begin() + (skip + n) * 2);
        pendingStart = from + n;
    }
};

SoundDecoder::SoundDecoder() = default;
SoundDecoder::~SoundDecoder() = default;

bool SoundDecoder::Open(const std::string& path) {
    // Before any State: even its destructor calls FFmpeg.
    if (!video::StartFfmpeg()) return false;
    auto state = std::make_unique<State>();
    if (!state->Open(path)) return false;
    state_ = std::move(state);
    return true;
}

void SoundDecoder::Read(int64_t from, float* out, size_t frames) {
    if (state_ == nullptr) {
        std::fill(out, out + frames * 2, 0.0f);
        return;
    }
    state_->Read(from, out, frames);
}

} // namespace platform::movie
