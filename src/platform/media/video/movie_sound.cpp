#include "platform/media/video/movie_sound.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/media/video/ffmpeg_quiet.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace platform::video {

struct MovieSound::State {
    AVFormatContext* format = nullptr;
    AVCodecContext* decoder = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwrContext* resampler = nullptr;
    int stream = -1;
    int32_t rate = 0;
    bool drained = false;
    // After a seek: the first frame decoded may start before the wanted time, and the
    // frames up to it are dropped.
    bool afterSeek = false;
    int64_t seekMs = 0;
    // Resampled frames not yet handed out.
    std::vector<float> pending;
    size_t pendingAt = 0;

    ~State() {
        swr_free(&resampler);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&decoder);
        avformat_close_input(&format);
    }

    bool Open(const char* path);
    bool MakeResampler(int32_t outputRate);
    // More frames into `pending`; false at the end of the track.
    bool Produce();
    void Append(const uint8_t** data, int count);
    void DropBeforeSeek();
};

void MovieSound::State::DropBeforeSeek() {
    afterSeek = false;
    int64_t timestamp = frame->best_effort_timestamp;
    if (timestamp == AV_NOPTS_VALUE) return;
    AVStream* s = format->streams[stream];
    int64_t start = s->start_time != AV_NOPTS_VALUE ? s->start_time : 0;
    int64_t frameMs = av_rescale_q(timestamp - start, s->time_base, {1, 1000});
    if (frameMs < seekMs) swr_drop_output(resampler, int((seekMs - frameMs) * rate / 1000));
}

bool MovieSound::State::Open(const char* path) {
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    int opened = avformat_open_input(&format, path, nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) return false;
    if (avformat_find_stream_info(format, nullptr) < 0) return false;
    stream = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (stream < 0) return false;
    const AVCodecParameters* parameters = format->streams[stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    if (codec == nullptr) return false;
    decoder = avcodec_alloc_context3(codec);
    if (decoder == nullptr || avcodec_parameters_to_context(decoder, parameters) < 0) return false;
    decoder->thread_count = 1;
    if (avcodec_open2(decoder, codec, nullptr) < 0) return false;
    if (decoder->sample_rate <= 0 || decoder->ch_layout.nb_channels <= 0) return false;
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (int(i) != stream) format->streams[i]->discard = AVDISCARD_ALL;
    frame = av_frame_alloc();
    packet = av_packet_alloc();
    return frame != nullptr && packet != nullptr;
}

bool MovieSound::State::MakeResampler(int32_t outputRate) {
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_FLT, outputRate, &decoder->ch_layout,
                            decoder->sample_fmt, decoder->sample_rate, 0, nullptr) < 0)
        return false;
    if (swr_init(resampler) < 0) {
        swr_free(&resampler);
        return false;
    }
    rate = outputRate;
    return true;
}

void MovieSound::State::Append(const uint8_t** data, int count) {
    int room = swr_get_out_samples(resampler, count);
    if (room <= 0) return;
    size_t old = pending.size();
    pending.resize(old + size_t(room) * 2);
    uint8_t* out = reinterpret_cast<uint8_t*>(pending.data() + old);
    int made = swr_convert(resampler, &out, room, data, count);
    pending.resize(old + size_t(std::max(made, 0)) * 2);
}

bool MovieSound::State::Produce() {
    while (!drained) {
        int received = avcodec_receive_frame(decoder, frame);
        if (received == 0) {
            if (afterSeek) DropBeforeSeek();
            // A frame whose format changed midway cannot go through this resampler.
            if (frame->format == decoder->sample_fmt)
                Append(const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
            av_frame_unref(frame);
            return true;
        }
        if (received == AVERROR_EOF) {
            drained = true;
            Append(nullptr, 0);
            return true;
        }
        if (received != AVERROR(EAGAIN)) {
            drained = true;
            return true;
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

MovieSound::MovieSound() = default;
MovieSound::~MovieSound() = default;

bool MovieSound::OpenLinuxPath(const char* path) {
    // Before any State: even its destructor calls FFmpeg.
    if (!StartFfmpeg()) return false;
    state_ = std::make_unique<State>();
    if (!state_->Open(path)) {
        state_.reset();
        return false;
    }
    return true;
}

void MovieSound::Close() {
    state_.reset();
}

bool MovieSound::IsOpen() const {
    return state_ != nullptr;
}

bool MovieSound::Seek(int64_t milliseconds) {
    if (state_ == nullptr) return false;
    State& s = *state_;
    milliseconds = std::max<int64_t>(milliseconds, 0);
    AVStream* stream = s.format->streams[s.stream];
    int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    int64_t target = start + av_rescale_q(milliseconds, {1, 1000}, stream->time_base);
    if (av_seek_frame(s.format, s.stream, target, AVSEEK_FLAG_BACKWARD) < 0 &&
        av_seek_frame(s.format, s.stream, start, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(s.decoder);
    s.drained = false;
    s.pending.clear();
    s.pendingAt = 0;
    if (s.resampler != nullptr) swr_init(s.resampler);
    s.seekMs = milliseconds;
    s.afterSeek = true;
    return true;
}

int64_t MovieSound::Read(float* stereo, int64_t frames, int32_t rate) {
    if (state_ == nullptr || frames <= 0 || rate <= 0) return 0;
    State& s = *state_;
    if (s.resampler == nullptr && !s.MakeResampler(rate)) return 0;
    int64_t given = 0;
    while (given < frames) {
        size_t available = (s.pending.size() - s.pendingAt) / 2;
        if (available == 0) {
            s.pending.clear();
            s.pendingAt = 0;
            if (!s.Produce()) break;
            continue;
        }
        size_t take = size_t(std::min<int64_t>(int64_t(available), frames - given));
        std::memcpy(stereo + given * 2, s.pending.data() + s.pendingAt, take * 2 * sizeof(float));
        s.pendingAt += take * 2;
        given += take;
    }
    return given;
}

} // namespace platform::video
