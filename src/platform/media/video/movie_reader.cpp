#include "platform/media/video/movie_reader.h"

#include <algorithm>
#include <cstring>

#include "platform/files/path_mapping.h"
#include "platform/media/video/ffmpeg_quiet.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace platform::video {

namespace {

// Frames are numbered in 32 bits by the callers.
constexpr int64_t kMaxFrames = 0x7FFFFFFF;

AVPixelFormat PixelFormatForDepth(int32_t depth) {
    switch (depth) {
    case 15:
        return AV_PIX_FMT_RGB555LE;
    case 16:
        return AV_PIX_FMT_RGB565LE;
    case 24:
        return AV_PIX_FMT_BGR24;
    case 32:
        return AV_PIX_FMT_BGR0;
    default:
        return AV_PIX_FMT_NONE;
    }
}

bool ValidRate(AVRational rate) {
    return rate.num > 0 && rate.den > 0;
}

} // namespace

struct MovieReader::State {
    AVFormatContext* format = nullptr;
    AVCodecContext* decoder = nullptr;
    // The frame last decoded, and the one the decoder fills.
    AVFrame* frame = nullptr;
    AVFrame* scratch = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    AVPixelFormat scalerFrom = AV_PIX_FMT_NONE;
    AVPixelFormat scalerTo = AV_PIX_FMT_NONE;
    // The scaler writes whole vector blocks past a row's last pixel, so it fills these
    // padded rows and only the picture's own bytes are copied to the caller's rows.
    uint8_t* converted = nullptr;
    int convertedStride = 0;
    int stream = -1;
    bool hasSound = false;
    AVRational timeBase = {1, 1};
    int64_t start = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 24;
    bool paletted = false;
    uint32_t palette[256] = {};
    FrameRate rate;
    int64_t frameCount = 0;
    // The frame the next decode gives, and the one `frame` holds (-1: none).
    int64_t next = 0;
    int64_t held = -1;

    ~State() {
        sws_freeContext(scaler);
        av_freep(&converted);
        av_packet_free(&packet);
        av_frame_free(&scratch);
        av_frame_free(&frame);
        avcodec_free_context(&decoder);
        avformat_close_input(&format);
    }

    // The frame number of a stream timestamp, rounded to the nearest frame.
    int64_t FrameOf(int64_t timestamp) const {
        return av_rescale_rnd(timestamp - start, int64_t(timeBase.num) * rate.numerator,
                              int64_t(timeBase.den) * rate.denominator, AV_ROUND_NEAR_INF);
    }

    // The stream timestamp at which frame `n` starts.
    int64_t TimestampOf(int64_t n) const {
        return start + av_rescale_rnd(n, int64_t(timeBase.den) * rate.denominator,
                                      int64_t(timeBase.num) * rate.numerator, AV_ROUND_DOWN);
    }

    bool Open(const char* path);
    int64_t CountFrames();
    // The next decoded frame into `frame`, its number into `held`; false at the end.
    bool DecodeNext();
    bool SeekBefore(int64_t n);
    bool Convert(int32_t depth, uint8_t* topRow, int32_t stride);
};

bool MovieReader::State::Open(const char* path) {
    // A movie is a file: playlists and references inside it reach no network.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    int opened = avformat_open_input(&format, path, nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) return false;
    if (avformat_find_stream_info(format, nullptr) < 0) return false;
    stream = -1;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream* s = format->streams[i];
        if (s->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) hasSound = true;
        if (stream < 0 && s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            (s->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0)
            stream = int(i);
    }
    if (stream < 0) return false;
    AVStream* video = format->streams[stream];
    const AVCodecParameters* parameters = video->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    if (codec == nullptr) return false;
    decoder = avcodec_alloc_context3(codec);
    if (decoder == nullptr || avcodec_parameters_to_context(decoder, parameters) < 0) return false;
    decoder->thread_count = 1;
    if (avcodec_open2(decoder, codec, nullptr) < 0) return false;
    frame = av_frame_alloc();
    scratch = av_frame_alloc();
    packet = av_packet_alloc();
    if (frame == nullptr || scratch == nullptr || packet == nullptr) return false;

    width = parameters->width;
    height = parameters->height;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
    AVRational r = ValidRate(video->avg_frame_rate) ? video->avg_frame_rate : video->r_frame_rate;
    if (!ValidRate(r)) return false;
    rate.numerator = r.num;
    rate.denominator = r.den;
    timeBase = video->time_base;
    if (!ValidRate(timeBase)) return false;
    start = video->start_time != AV_NOPTS_VALUE ? video->start_time : 0;
    paletted = decoder->pix_fmt == AV_PIX_FMT_PAL8 || (parameters->format == AV_PIX_FMT_PAL8);
    int coded = parameters->bits_per_coded_sample;
    if (paletted)
        depth = 8;
    else if (coded == 15 || coded == 16 || coded == 24 || coded == 32)
        depth = coded;
    else
        depth = 24;

    if (video->nb_frames > 0) {
        frameCount = video->nb_frames;
    } else if (video->duration != AV_NOPTS_VALUE && video->duration > 0) {
        frameCount = FrameOf(start + video->duration);
    } else {
        frameCount = CountFrames();
    }
    if (frameCount <= 0) return false;
    if (frameCount > kMaxFrames) frameCount = kMaxFrames;
    next = 0;
    held = -1;
    // The first frame proves the stream decodes, and brings the palette with it.
    return DecodeNext();
}

int64_t MovieReader::State::CountFrames() {
    int64_t count = 0;
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == stream) ++count;
        av_packet_unref(packet);
    }
    av_seek_frame(format, stream, start, AVSEEK_FLAG_BACKWARD);
    return count;
}

bool MovieReader::State::DecodeNext() {
    for (;;) {
        int got = avcodec_receive_frame(decoder, scratch);
        if (got == 0) {
            av_frame_unref(frame);
            av_frame_move_ref(frame, scratch);
            int64_t stamp = frame->best_effort_timestamp;
            // A frame without its own time follows the last.
            held = stamp != AV_NOPTS_VALUE ? FrameOf(stamp) : held + 1;
            next = held + 1;
            if (frame->format == AV_PIX_FMT_PAL8 && frame->data[1] != nullptr) {
                // Containers hand the palette over with the first packet only; after a seek
                // the decoder's is empty (zero alpha too), and the one kept stays.
                const auto* colours = reinterpret_cast<const uint32_t*>(frame->data[1]);
                if (std::any_of(colours, colours + 256, [](uint32_t c) { return c != 0; })) {
                    for (int i = 0; i < 256; ++i)
                        palette[i] = colours[i] & 0xFFFFFFu;
                }
            }
            return true;
        }
        if (got != AVERROR(EAGAIN)) return false;
        // One packet of the stream to the decoder; at the end of the file the decoder is
        // drained, and gives its last frames before the end.
        for (;;) {
            if (av_read_frame(format, packet) < 0) {
                avcodec_send_packet(decoder, nullptr);
                break;
            }
            bool ours = packet->stream_index == stream;
            int answer = ours ? avcodec_send_packet(decoder, packet) : 0;
            av_packet_unref(packet);
            if (!ours) continue;
            if (answer < 0 && answer != AVERROR(EAGAIN) && answer != AVERROR_INVALIDDATA)
                return false;
            break;
        }
    }
}

bool MovieReader::State::SeekBefore(int64_t n) {
    if (av_seek_frame(format, stream, TimestampOf(n), AVSEEK_FLAG_BACKWARD) < 0 &&
        av_seek_frame(format, stream, start, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(decoder);
    held = -1;
    next = -1;
    return true;
}

bool MovieReader::State::Convert(int32_t targetDepth, uint8_t* topRow, int32_t stride) {
    AVPixelFormat from = AVPixelFormat(frame->format);
    if (frame->width != width || frame->height != height) return false;
    if (targetDepth == 8) {
        if (from != AV_PIX_FMT_PAL8) return false;
        for (int32_t y = 0; y < height; ++y)
            std::memcpy(topRow + int64_t(y) * stride,
                        frame->data[0] + int64_t(y) * frame->linesize[0], size_t(width));
        return true;
    }
    AVPixelFormat to = PixelFormatForDepth(targetDepth);
    if (to == AV_PIX_FMT_NONE) return false;
    if (scaler == nullptr || scalerFrom != from || scalerTo != to) {
        sws_freeContext(scaler);
        scaler = sws_getContext(width, height, from, width, height, to,
                                SWS_POINT | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr,
                                nullptr);
        scalerFrom = from;
        scalerTo = to;
        if (scaler == nullptr) return false;
    }
    const int32_t rowBytes = width * ((targetDepth + 7) / 8);
    if (converted == nullptr) {
        convertedStride = (width * 4 + 63) / 64 * 64 + 64;
        converted = static_cast<uint8_t*>(av_malloc(size_t(convertedStride) * size_t(height)));
        if (converted == nullptr) return false;
    }
    uint8_t* planes[4] = {converted, nullptr, nullptr, nullptr};
    int strides[4] = {convertedStride, 0, 0, 0};
    const uint8_t* sources[4] = {frame->data[0], frame->data[1], frame->data[2], frame->data[3]};
    uint32_t colours[256];
    if (from == AV_PIX_FMT_PAL8) {
        for (int i = 0; i < 256; ++i)
            colours[i] = 0xFF000000u | palette[i];
        sources[1] = reinterpret_cast<const uint8_t*>(colours);
    }
    if (sws_scale(scaler, sources, frame->linesize, 0, height, planes, strides) != height)
        return false;
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(topRow + int64_t(y) * stride, converted + int64_t(y) * convertedStride,
                    size_t(rowBytes));
    return true;
}

MovieReader::MovieReader() = default;
MovieReader::~MovieReader() = default;

bool MovieReader::Open(const char* windowsName) {
    MappedPath mapped;
    if (windowsName == nullptr || !MapWindowsPath(windowsName, mapped)) return false;
    return OpenLinuxPath(mapped.linuxPath.c_str());
}

bool MovieReader::OpenLinuxPath(const char* path) {
    Close();
    // Before any State: even its destructor calls FFmpeg.
    if (!StartFfmpeg()) return false;
    auto state = std::make_unique<State>();
    if (!state->Open(path)) return false;
    state_ = std::move(state);
    return true;
}

void MovieReader::Close() {
    state_.reset();
}

bool MovieReader::IsOpen() const {
    return state_ != nullptr;
}

int32_t MovieReader::Width() const {
    return state_ ? state_->width : 0;
}

int32_t MovieReader::Height() const {
    return state_ ? state_->height : 0;
}

int32_t MovieReader::Depth() const {
    return state_ ? state_->depth : 0;
}

FrameRate MovieReader::Rate() const {
    return state_ ? state_->rate : FrameRate{};
}

int64_t MovieReader::FrameCount() const {
    return state_ ? state_->frameCount : 0;
}

const uint32_t* MovieReader::Palette() const {
    return state_ && state_->paletted ? state_->palette : nullptr;
}

bool MovieReader::HasSound() const {
    return state_ && state_->hasSound;
}

bool MovieReader::ReadFrame(int64_t n, int32_t depth, uint8_t* topRow, int32_t stride) {
    if (!state_ || n < 0 || n >= state_->frameCount || topRow == nullptr) return false;
    State& s = *state_;
    if (s.held != n) {
        if (n != s.next) {
            if (!s.SeekBefore(n) || !s.DecodeNext()) return false;
            // A container without an index may land past the frame: start again from the
            // beginning.
            if (s.held > n && (!s.SeekBefore(0) || !s.DecodeNext())) return false;
        }
        // Past the end the last frame stays: the count may be an estimate from the length.
        while (s.held < n && s.DecodeNext()) {}
        if (s.held < 0) return false;
    }
    return s.Convert(depth, topRow, stride);
}

} // namespace platform::video
