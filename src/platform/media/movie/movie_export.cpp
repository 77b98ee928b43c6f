#include "platform/media/movie/movie_export.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>
#include <vector>

#include "platform/files/path_mapping.h"
#include "platform/media/video/ffmpeg_quiet.h"
#include "platform/sound/media_voice.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace platform::movie {

namespace {

const AVChannelLayout kStereo = AV_CHANNEL_LAYOUT_STEREO;

// The finest sampling written: 60 frames a second.
constexpr int64_t kFinestStep = kTimeScale / 60;
// DV's 25 frames a second.
constexpr int64_t kDvStep = kTimeScale / 25;
constexpr int32_t kDvWidth = 720;
constexpr int32_t kDvHeight = 576;
// DV carries its sound at 48 kHz; the other files at the rate movies play their sound at.
constexpr int32_t kDvSoundRate = 48000;
// More frames than this are not walked to find the sampling, nor written.
constexpr int64_t kMostFrames = 1 << 20;

struct Target {
    AVCodecID id;
    AVPixelFormat format;
    uint32_t tag;
    const char* container;
};

Target TargetFor(ExportFormat format, uint32_t codec) {
    switch (format) {
    case ExportFormat::Avi:
        return {AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 0, "avi"};
    case ExportFormat::Dv:
        return {AV_CODEC_ID_DVVIDEO, AV_PIX_FMT_YUV420P, 0, "dv"};
    case ExportFormat::QuickTime:
        break;
    }
    switch (codec) {
    case kCodecAnimation:
        return {AV_CODEC_ID_QTRLE, AV_PIX_FMT_RGB24, 0, "mov"};
    case kCodecCinepak:
        return {AV_CODEC_ID_CINEPAK, AV_PIX_FMT_RGB24, 0, "mov"};
    case kCodecGraphics:
        return {AV_CODEC_ID_SMC, AV_PIX_FMT_PAL8, 0, "mov"};
    case kCodecVideo:
        return {AV_CODEC_ID_RPZA, AV_PIX_FMT_RGB555LE, 0, "mov"};
    case kCodecComponent:
        return {AV_CODEC_ID_RAWVIDEO, AV_PIX_FMT_YUYV422, MKTAG('y', 'u', 'v', '2'), "mov"};
    default:
        return {AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 0, "mov"};
    }
}

// The codec and quality of the first built frames the movie shows; 0 when none.
uint32_t BuiltCodec(const Movie& movie, int32_t* quality) {
    for (const Segment& segment : movie.VideoTrack().Segments()) {
        if (segment.media && segment.media->Codec() != 0) {
            *quality = segment.media->Quality();
            return segment.media->Codec();
        }
    }
    *quality = kQualityNormal;
    return 0;
}

// A step that every frame boundary of the movie falls on, no finer than 60 a second.
int64_t SampleStep(const Movie& movie) {
    int64_t step = 0;
    int64_t position = 0;
    int64_t walked = 0;
    for (const Segment& segment : movie.VideoTrack().Segments()) {
        if (segment.media) {
            int64_t end = segment.mediaStart + segment.duration;
            for (int64_t t = segment.mediaStart; t < end && walked < kMostFrames; ++walked) {
                int64_t next = std::max(segment.media->FrameEnd(t), t + 1);
                if (next < end) step = std::gcd(step, position + next - segment.mediaStart);
                t = next;
            }
        }
        position += segment.duration;
        step = std::gcd(step, position);
    }
    return std::max(step, kFinestStep);
}

// The palette of 8-bit codecs: a cube of 6 levels a channel.
uint32_t CubeColour(int index) {
    static constexpr uint32_t kLevels[6] = {0, 51, 102, 153, 204, 255};
    return kLevels[index / 36] << 16 | kLevels[index / 6 % 6] << 8 | kLevels[index % 6];
}

uint8_t CubeIndex(uint32_t rgb) {
    auto level = [](uint32_t v) { return (v + 25) / 51; };
    return uint8_t(level(rgb >> 16 & 0xFF) * 36 + level(rgb >> 8 & 0xFF) * 6 + level(rgb & 0xFF));
}

struct Writer {
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    // The sound track as 16-bit stereo PCM, when the movie has one.
    AVCodecContext* sound = nullptr;
    AVStream* soundStream = nullptr;
    AVFrame* soundFrame = nullptr;
    int64_t soundWritten = 0;
    bool opened = false;

    ~Writer() {
        sws_freeContext(scaler);
        av_packet_free(&packet);
        av_frame_free(&frame);
        av_frame_free(&soundFrame);
        avcodec_free_context(&video);
        avcodec_free_context(&sound);
        if (format != nullptr && (format->oformat->flags & AVFMT_NOFILE) == 0)
            avio_closep(&format->pb);
        avformat_free_context(format);
    }

    bool Encode(AVFrame* input) { return Encode(video, stream, input); }

    bool Encode(AVCodecContext* codec, AVStream* into, AVFrame* input) {
        if (avcodec_send_frame(codec, input) < 0) return false;
        for (;;) {
            int got = avcodec_receive_packet(codec, packet);
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
            if (got < 0) return false;
            av_packet_rescale_ts(packet, codec->time_base, into->time_base);
            packet->stream_index = into->index;
            if (av_interleaved_write_frame(format, packet) < 0) return false;
        }
    }
};

bool OpenSoundEncoder(Writer& w, int32_t rate) {
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
    if (encoder == nullptr) return false;
    w.soundStream = avformat_new_stream(w.format, nullptr);
    w.sound = avcodec_alloc_context3(encoder);
    w.soundFrame = av_frame_alloc();
    if (w.soundStream == nullptr || w.sound == nullptr || w.soundFrame == nullptr) return false;
    w.sound->sample_fmt = AV_SAMPLE_FMT_S16;
    w.sound->sample_rate = rate;
    w.sound->time_base = AVRational{1, rate};
    if (av_channel_layout_copy(&w.sound->ch_layout, &kStereo) < 0) return false;
    if (avcodec_open2(w.sound, encoder, nullptr) < 0) return false;
    if (avcodec_parameters_from_context(w.soundStream->codecpar, w.sound) < 0) return false;
    w.soundStream->time_base = w.sound->time_base;
    return true;
}

// The movie's sound from the last frame written up to frame `until` (at the file's rate),
// resampled along a straight line from the movies' output rate when the two differ.
bool WriteSound(Writer& w, const Movie& movie, int64_t until) {
    constexpr int64_t kChunk = 4096;
    const int32_t rate = w.sound->sample_rate;
    const double step = double(sound::OUTPUT_RATE) / rate;
    std::vector<float> source;
    while (w.soundWritten < until) {
        int64_t frames = std::min(kChunk, until - w.soundWritten);
        double from = double(w.soundWritten) * step;
        auto low = int64_t(from);
        auto count = size_t(std::ceil(double(frames) * step)) + 2;
        source.resize(count * 2);
        movie.ReadSound(low, source.data(), count);
        av_frame_unref(w.soundFrame);
        w.soundFrame->format = AV_SAMPLE_FMT_S16;
        w.soundFrame->sample_rate = rate;
        w.soundFrame->nb_samples = int(frames);
        if (av_channel_layout_copy(&w.soundFrame->ch_layout, &kStereo) < 0 ||
            av_frame_get_buffer(w.soundFrame, 0) < 0)
            return false;
        auto* samples = reinterpret_cast<int16_t*>(w.soundFrame->data[0]);
        for (int64_t i = 0; i < frames; ++i) {
            double at = double(w.soundWritten + i) * step - double(low);
            auto whole = std::min(size_t(at), count - 2);
            auto part = float(at - double(whole));
            for (size_t channel = 0; channel < 2; ++channel) {
                float a = source[whole * 2 + channel];
                float b = source[(whole + 1) * 2 + channel];
                float value = std::clamp(a + (b - a) * part, -1.0f, 1.0f);
                samples[i * 2 + int64_t(channel)] = int16_t(std::lrint(value * 32767.0f));
            }
        }
        w.soundFrame->pts = w.soundWritten;
        if (!w.Encode(w.sound, w.soundStream, w.soundFrame)) return false;
        w.soundWritten += frames;
    }
    return true;
}

bool OpenEncoder(Writer& w, const Target& target, int32_t width, int32_t height, int64_t step,
                 int32_t quality) {
    const AVCodec* encoder = avcodec_find_encoder(target.id);
    if (encoder == nullptr) return false;
    w.stream = avformat_new_stream(w.format, nullptr);
    w.video = avcodec_alloc_context3(encoder);
    if (w.stream == nullptr || w.video == nullptr) return false;
    int64_t divisor = std::gcd(step, kTimeScale);
    w.video->width = width;
    w.video->height = height;
    w.video->pix_fmt = target.format;
    w.video->time_base = AVRational{int(step / divisor), int(kTimeScale / divisor)};
    w.video->framerate = AVRational{int(kTimeScale / divisor), int(step / divisor)};
    w.video->gop_size = 12;
    w.video->strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;
    if (target.tag != 0) w.video->codec_tag = target.tag;
    if (target.id == AV_CODEC_ID_MJPEG) {
        // Lower scales keep more: the three qualities as 10, 5 and 2.
        int scale = quality == kQualityLow ? 10 : quality == kQualityHigh ? 2 : 5;
        w.video->flags |= AV_CODEC_FLAG_QSCALE;
        w.video->global_quality = FF_QP2LAMBDA * scale;
        w.video->qmin = 1;
        w.video->qmax = scale;
    }
    if (w.format->oformat->flags & AVFMT_GLOBALHEADER)
        w.video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(w.video, encoder, nullptr) < 0) return false;
    if (avcodec_parameters_from_context(w.stream->codecpar, w.video) < 0) return false;
    if (target.tag != 0) w.stream->codecpar->codec_tag = target.tag;
    w.stream->time_base = w.video->time_base;
    w.stream->avg_frame_rate = w.video->framerate;
    w.frame = av_frame_alloc();
    w.packet = av_packet_alloc();
    if (w.frame == nullptr || w.packet == nullptr) return false;
    w.frame->format = target.format;
    w.frame->width = width;
    w.frame->height = height;
    if (av_frame_get_buffer(w.frame, 0) < 0) return false;
    if (target.format != AV_PIX_FMT_PAL8) {
        w.scaler = sws_getContext(width, height, AV_PIX_FMT_BGR0, width, height, target.format,
                                  SWS_POINT | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
        if (w.scaler == nullptr) return false;
    }
    return true;
}

// The picture (or black, for none) stretched over the box of the canvas.
void Compose(const Picture* picture, std::vector<uint32_t>& canvas, int32_t width, int32_t boxX,
             int32_t boxY, int32_t boxWidth, int32_t boxHeight) {
    std::fill(canvas.begin(), canvas.end(), 0);
    if (picture == nullptr || picture->width < 1 || picture->height < 1) return;
    for (int32_t y = 0; y < boxHeight; ++y) {
        const uint32_t* row = picture->pixels.data() +
                              size_t(int64_t(y) * picture->height / boxHeight) * picture->width;
        uint32_t* out = canvas.data() + size_t(boxY + y) * width + boxX;
        for (int32_t x = 0; x < boxWidth; ++x)
            out[x] = row[int64_t(x) * picture->width / boxWidth];
    }
}

bool Fill(Writer& w, const std::vector<uint32_t>& canvas, int32_t width, int32_t height) {
    if (av_frame_make_writable(w.frame) < 0) return false;
    if (w.scaler == nullptr) {
        auto* palette = reinterpret_cast<uint32_t*>(w.frame->data[1]);
        for (int i = 0; i < 256; ++i)
            palette[i] = 0xFF000000u | (i < 216 ? CubeColour(i) : 0);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                w.frame->data[0][y * w.frame->linesize[0] + x] =
                    CubeIndex(canvas[size_t(y) * width + x]);
        return true;
    }
    const uint8_t* planes[4] = {reinterpret_cast<const uint8_t*>(canvas.data()), nullptr, nullptr,
                                nullptr};
    int strides[4] = {width * 4, 0, 0, 0};
    return sws_scale(w.scaler, planes, strides, 0, height, w.frame->data, w.frame->linesize) ==
           height;
}

} // namespace

int32_t ExportMovie(Movie& movie, const char* windowsName, ExportFormat format) {
    MappedPath mapped;
    if (windowsName == nullptr || !MapWindowsPath(windowsName, mapped)) {
        SetMoviesError(kFileNotFound);
        return kFileNotFound;
    }
    return ExportMovieToLinuxPath(movie, mapped.linuxPath, format);
}

int32_t ExportMovieToLinuxPath(Movie& movie, const std::string& path, ExportFormat format) {
    auto fail = [](int32_t error) {
        SetMoviesError(error);
        return error;
    };
    if (!video::StartFfmpeg()) return fail(kBadParameter);
    if (!movie.HasVideoTrack() || movie.Duration() <= 0 || movie.NativeWidth() < 1 ||
        movie.NativeHeight() < 1)
        return fail(kBadParameter);
    int32_t quality = kQualityNormal;
    Target target = TargetFor(format, BuiltCodec(movie, &quality));
    int32_t width = movie.NativeWidth();
    int32_t height = movie.NativeHeight();
    int32_t boxX = 0, boxY = 0, boxWidth = width, boxHeight = height;
    int64_t step = SampleStep(movie);
    if (format == ExportFormat::Dv) {
        // Letterboxed: the whole picture at its own shape, black around it.
        boxWidth = kDvWidth;
        boxHeight = int32_t(int64_t(kDvWidth) * height / width);
        if (boxHeight > kDvHeight) {
            boxHeight = kDvHeight;
            boxWidth = int32_t(int64_t(kDvHeight) * width / height);
        }
        boxWidth = std::max(boxWidth, 1);
        boxHeight = std::max(boxHeight, 1);
        boxX = (kDvWidth - boxWidth) / 2;
        boxY = (kDvHeight - boxHeight) / 2;
        width = kDvWidth;
        height = kDvHeight;
        step = kDvStep;
    }
    const int32_t soundRate =
        format == ExportFormat::Dv ? kDvSoundRate : int32_t(sound::OUTPUT_RATE);
    auto w = std::make_unique<Writer>();
    auto open = [&](const Target& chosen) {
        return avformat_alloc_output_context2(&w->format, nullptr, chosen.container,
                                              path.c_str()) >= 0 &&
               OpenEncoder(*w, chosen, width, height, step, quality) &&
               (!movie.HasSoundTrack() || OpenSoundEncoder(*w, soundRate));
    };
    if (!open(target)) {
        // Some codecs take only some sizes (Cinepak multiples of 4): Photo-JPEG takes any.
        Target jpeg = TargetFor(ExportFormat::QuickTime, 0);
        if (format != ExportFormat::QuickTime || target.id == jpeg.id) return fail(kBadParameter);
        w = std::make_unique<Writer>();
        if (!open(jpeg)) return fail(kBadParameter);
    }
    if (avio_open(&w->format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return fail(kFileNotFound);
    if (avformat_write_header(w->format, nullptr) < 0) return fail(kBadParameter);
    std::vector<uint32_t> canvas(size_t(width) * height);
    int64_t count = std::min((movie.Duration() + step - 1) / step, kMostFrames);
    // The sound as long as the movie; DV's as long as its whole frames, which it sends out
    // only with their share of sound.
    auto soundFrames = [&](int64_t time) {
        return int64_t(__extension__ static_cast<__int128>(time) * soundRate / kTimeScale);
    };
    int64_t soundEnd = soundFrames(format == ExportFormat::Dv ? count * step : movie.Duration());
    for (int64_t k = 0; k < count; ++k) {
        Compose(movie.PictureAt(k * step), canvas, width, boxX, boxY, boxWidth, boxHeight);
        if (!Fill(*w, canvas, width, height)) return fail(kBadParameter);
        w->frame->pts = k;
        if (!w->Encode(w->frame)) return fail(kBadParameter);
        if (w->sound != nullptr &&
            !WriteSound(*w, movie, std::min(soundEnd, soundFrames((k + 1) * step))))
            return fail(kBadParameter);
    }
    if (!w->Encode(nullptr)) return fail(kBadParameter);
    if (w->sound != nullptr &&
        (!WriteSound(*w, movie, soundEnd) || !w->Encode(w->sound, w->soundStream, nullptr)))
        return fail(kBadParameter);
    if (av_write_trailer(w->format) < 0) return fail(kBadParameter);
    SetMoviesError(kNoError);
    return kNoError;
}

} // namespace platform::movie
