#include "platform/media/video/movie_writer.h"

#include <cmath>
#include <cstring>

#include "platform/media/video/ffmpeg_quiet.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace platform::video {

namespace {

constexpr int kToneRate = 22050;

struct Codec {
    AVCodecID id;
    AVPixelFormat format;
};

Codec CodecOf(MovieCodec codec) {
    switch (codec) {
    case MovieCodec::Raw8:
        return {AV_CODEC_ID_RAWVIDEO, AV_PIX_FMT_PAL8};
    case MovieCodec::Msvideo1:
        return {AV_CODEC_ID_MSVIDEO1, AV_PIX_FMT_RGB555LE};
    case MovieCodec::Cinepak:
        return {AV_CODEC_ID_CINEPAK, AV_PIX_FMT_RGB24};
    case MovieCodec::Mjpeg:
        return {AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P};
    case MovieCodec::QuickTimeRle:
        return {AV_CODEC_ID_QTRLE, AV_PIX_FMT_RGB24};
    case MovieCodec::Raw24:
        break;
    }
    return {AV_CODEC_ID_RAWVIDEO, AV_PIX_FMT_BGR24};
}

// What the writer holds; everything is freed on the way out.
struct Writer {
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    AVFrame* frame = nullptr;
    AVFrame* sound = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;

    ~Writer() {
        sws_freeContext(scaler);
        av_packet_free(&packet);
        av_frame_free(&sound);
        av_frame_free(&frame);
        avcodec_free_context(&audio);
        avcodec_free_context(&video);
        if (format != nullptr && (format->oformat->flags & AVFMT_NOFILE) == 0)
            avio_closep(&format->pb);
        avformat_free_context(format);
    }

    // Sends `input` (null: the end) and writes every packet that comes out.
    bool Encode(AVCodecContext* encoder, AVStream* stream, AVFrame* input) {
        if (avcodec_send_frame(encoder, input) < 0) return false;
        for (;;) {
            int got = avcodec_receive_packet(encoder, packet);
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
            if (got < 0) return false;
            av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (av_interleaved_write_frame(format, packet) < 0) return false;
        }
    }
};

// The frame filled with one colour.
bool Paint(Writer& w, const MoviePlan& plan, size_t index) {
    if (av_frame_make_writable(w.frame) < 0) return false;
    if (plan.codec == MovieCodec::Raw8) {
        for (int y = 0; y < plan.height; ++y)
            std::memset(w.frame->data[0] + y * w.frame->linesize[0], int(index & 0xFF),
                        size_t(plan.width));
        auto* palette = reinterpret_cast<uint32_t*>(w.frame->data[1]);
        for (size_t i = 0; i < 256; ++i)
            palette[i] = 0xFF000000u | (i < plan.colours.size() ? plan.colours[i] : 0);
        return true;
    }
    std::vector<uint8_t> bgr(size_t(plan.width) * 3 * size_t(plan.height));
    uint32_t colour = plan.colours[index];
    for (size_t i = 0; i < bgr.size(); i += 3) {
        bgr[i] = uint8_t(colour);
        bgr[i + 1] = uint8_t(colour >> 8);
        bgr[i + 2] = uint8_t(colour >> 16);
    }
    const uint8_t* planes[4] = {bgr.data(), nullptr, nullptr, nullptr};
    int strides[4] = {plan.width * 3, 0, 0, 0};
    return sws_scale(w.scaler, planes, strides, 0, plan.height, w.frame->data, w.frame->linesize) ==
           plan.height;
}

std::string OpenVideo(Writer& w, const MoviePlan& plan) {
    Codec codec = CodecOf(plan.codec);
    const AVCodec* encoder = avcodec_find_encoder(codec.id);
    if (encoder == nullptr) return "no encoder";
    w.videoStream = avformat_new_stream(w.format, nullptr);
    w.video = avcodec_alloc_context3(encoder);
    if (w.videoStream == nullptr || w.video == nullptr) return "out of memory";
    w.video->width = plan.width;
    w.video->height = plan.height;
    w.video->pix_fmt = codec.format;
    w.video->time_base = AVRational{plan.rateDenominator, plan.rateNumerator};
    w.video->framerate = AVRational{plan.rateNumerator, plan.rateDenominator};
    w.video->gop_size = plan.keyInterval;
    w.video->keyint_min = plan.keyInterval;
    w.video->strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;
    if (plan.codec == MovieCodec::Mjpeg) {
        w.video->qmin = 1;
        w.video->qmax = 3;
        w.video->flags |= AV_CODEC_FLAG_QSCALE;
        w.video->global_quality = FF_QP2LAMBDA * 2;
    }
    if (w.format->oformat->flags & AVFMT_GLOBALHEADER)
        w.video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(w.video, encoder, nullptr) < 0) return "the video encoder refused";
    if (avcodec_parameters_from_context(w.videoStream->codecpar, w.video) < 0)
        return "no parameters";
    w.videoStream->time_base = w.video->time_base;
    w.videoStream->avg_frame_rate = w.video->framerate;
    w.frame = av_frame_alloc();
    if (w.frame == nullptr) return "out of memory";
    w.frame->format = codec.format;
    w.frame->width = plan.width;
    w.frame->height = plan.height;
    if (av_frame_get_buffer(w.frame, 0) < 0) return "out of memory";
    if (plan.codec != MovieCodec::Raw8) {
        w.scaler =
            sws_getContext(plan.width, plan.height, AV_PIX_FMT_BGR24, plan.width, plan.height,
                           codec.format, SWS_POINT | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
        if (w.scaler == nullptr) return "no conversion";
    }
    return {};
}

std::string OpenAudio(Writer& w) {
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
    if (encoder == nullptr) return "no sound encoder";
    w.audioStream = avformat_new_stream(w.format, nullptr);
    w.audio = avcodec_alloc_context3(encoder);
    if (w.audioStream == nullptr || w.audio == nullptr) return "out of memory";
    w.audio->sample_fmt = AV_SAMPLE_FMT_S16;
    w.audio->sample_rate = kToneRate;
    av_channel_layout_default(&w.audio->ch_layout, 1);
    w.audio->time_base = AVRational{1, kToneRate};
    if (avcodec_open2(w.audio, encoder, nullptr) < 0) return "the sound encoder refused";
    if (avcodec_parameters_from_context(w.audioStream->codecpar, w.audio) < 0)
        return "no parameters";
    w.audioStream->time_base = w.audio->time_base;
    w.sound = av_frame_alloc();
    if (w.sound == nullptr) return "out of memory";
    w.sound->format = AV_SAMPLE_FMT_S16;
    w.sound->sample_rate = kToneRate;
    av_channel_layout_default(&w.sound->ch_layout, 1);
    w.sound->nb_samples = kToneRate / 10;
    if (av_frame_get_buffer(w.sound, 0) < 0) return "out of memory";
    return {};
}

} // namespace

std::string WriteMovie(const std::string& linuxPath, const MoviePlan& plan) {
    if (!StartFfmpeg()) return "FFmpeg's libraries are not installed";
    if (plan.colours.empty() || plan.width <= 0 || plan.height <= 0 || plan.rateNumerator <= 0 ||
        plan.rateDenominator <= 0)
        return "nothing to write";
    Writer w;
    if (avformat_alloc_output_context2(&w.format, nullptr, nullptr, linuxPath.c_str()) < 0)
        return "no container for the name";
    std::string error = OpenVideo(w, plan);
    if (error.empty() && plan.toneHz > 0) error = OpenAudio(w);
    if (!error.empty()) return error;
    w.packet = av_packet_alloc();
    if (w.packet == nullptr) return "out of memory";
    if (avio_open(&w.format->pb, linuxPath.c_str(), AVIO_FLAG_WRITE) < 0) return "cannot create";
    if (avformat_write_header(w.format, nullptr) < 0) return "no header";

    int64_t samplesWritten = 0;
    for (size_t i = 0; i < plan.colours.size(); ++i) {
        if (!Paint(w, plan, i)) return "cannot paint";
        w.frame->pts = int64_t(i);
        if (!w.Encode(w.video, w.videoStream, w.frame)) return "the video encoder failed";
        // Sound up to the end of this frame.
        int64_t until =
            av_rescale(int64_t(i + 1) * plan.rateDenominator, kToneRate, plan.rateNumerator);
        while (w.audio != nullptr && samplesWritten < until) {
            if (av_frame_make_writable(w.sound) < 0) return "out of memory";
            auto* samples = reinterpret_cast<int16_t*>(w.sound->data[0]);
            for (int s = 0; s < w.sound->nb_samples; ++s) {
                double t = double(samplesWritten + s) / kToneRate;
                samples[s] = int16_t(std::lround(12000.0 * std::sin(2 * M_PI * plan.toneHz * t)));
            }
            w.sound->pts = samplesWritten;
            if (!w.Encode(w.audio, w.audioStream, w.sound)) return "the sound encoder failed";
            samplesWritten += w.sound->nb_samples;
        }
    }
    if (!w.Encode(w.video, w.videoStream, nullptr)) return "the video encoder failed";
    if (w.audio != nullptr && !w.Encode(w.audio, w.audioStream, nullptr))
        return "the sound encoder failed";
    if (av_write_trailer(w.format) < 0) return "no trailer";
    return {};
}

} // namespace platform::video
