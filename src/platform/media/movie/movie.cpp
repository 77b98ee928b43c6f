#include "platform/media/movie/movie.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/files/path_mapping.h"
#include "platform/kernel/clock.h"
#include "platform/sound/media_voice.h"

namespace platform::movie {

namespace {

__extension__ using Int128 = __int128;

// One task never moves a movie on by more than ten minutes of clock: a stalled program does
// not skip through a whole film, and the arithmetic below stays inside 64 bits.
constexpr int32_t kLongestStep = 600000;
// Clock milliseconds times a 16.16 rate per movie unit.
constexpr int64_t kStepDivisor = 1000LL * 65536;

// Sound is kept this far ahead of the picture, in output frames, and written in chunks.
constexpr int64_t kSoundAhead = sound::OUTPUT_RATE / 4;
constexpr int64_t kSoundChunk = 2048;

// Output frames per movie time unit: 44100 / 600 = 147 / 2.
int64_t ToSoundFrame(int64_t time) {
    return static_cast<int64_t>(Int128(time) * sound::OUTPUT_RATE / kTimeScale);
}

int32_t moviesError = kNoError;
std::unique_ptr<Movie> scrap;

} // namespace

void SoundOutput::Close() {
    if (voice != 0) sound::CloseMediaVoice(voice);
    voice = 0;
}

int32_t GetMoviesError() {
    return moviesError;
}

void SetMoviesError(int32_t error) {
    moviesError = error;
}

std::unique_ptr<Movie> Movie::OpenFile(const char* windowsName) {
    MappedPath mapped;
    if (!windowsName || !MapWindowsPath(windowsName, mapped)) {
        SetMoviesError(kFileNotFound);
        return nullptr;
    }
    return OpenLinuxPath(mapped.linuxPath);
}

std::unique_ptr<Movie> Movie::OpenLinuxPath(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        SetMoviesError(kFileNotFound);
        return nullptr;
    }
    std::shared_ptr<FileMedia> media = FileMedia::Open(path);
    if (!media) {
        SetMoviesError(kNoMovieFound);
        return nullptr;
    }
    auto movie = std::make_unique<Movie>();
    movie->InsertMedia(media, 0);
    movie->hasSound_ = media->HasSound();
    if (movie->hasSound_) {
        movie->sound_ = EditList();
        movie->sound_.Append(media, 0, movie->Duration());
    }
    SetMoviesError(kNoError);
    return movie;
}

void Movie::SetTime(int64_t time) {
    time_ = std::clamp<int64_t>(time, 0, Duration());
    carry_ = 0;
    soundOutput_.Close();
}

TimeRange Movie::PlayBounds() const {
    if (playSelection_ && selection_.length > 0) return selection_;
    return {0, Duration()};
}

void Movie::SetRate(int32_t rate) {
    if (rate != 0) {
        TimeRange bounds = PlayBounds();
        int64_t end = bounds.start + bounds.length;
        // Starting at the end it would run towards, a movie starts again from the other end.
        if (rate > 0 && (time_ >= end || time_ < bounds.start))
            time_ = bounds.start;
        else if (rate < 0 && (time_ <= bounds.start || time_ > end))
            time_ = end;
        if (rate_ == 0) {
            lastTick_ = timeGetTime();
            carry_ = 0;
        }
    }
    if (rate != rate_) soundOutput_.Close();
    rate_ = rate;
    FeedSound();
}

void Movie::ReadSound(int64_t from, float* out, size_t frames) const {
    int64_t trackEnd = ToSoundFrame(sound_.Duration());
    while (frames > 0) {
        int64_t time = static_cast<int64_t>(Int128(from) * kTimeScale / sound::OUTPUT_RATE);
        int64_t offset = 0;
        const Segment* segment =
            from >= 0 && from < trackEnd ? sound_.Locate(time, &offset) : nullptr;
        // Before the track, silence up to its start; past its end, silence throughout.
        int64_t pieceEnd = from < 0 ? 0 : INT64_MAX;
        if (segment != nullptr) pieceEnd = ToSoundFrame(time - offset + segment->duration);
        size_t count = size_t(std::clamp<int64_t>(pieceEnd - from, 1, int64_t(frames)));
        if (segment != nullptr && segment->media) {
            int64_t segmentStart = ToSoundFrame(time - offset);
            segment->media->ReadSound(ToSoundFrame(segment->mediaStart) + from - segmentStart, out,
                                      count);
        } else {
            std::fill(out, out + count * 2, 0.0f);
        }
        out += count * 2;
        frames -= count;
        from += int64_t(count);
    }
}

void Movie::FeedSound() {
    bool audible =
        hasSound_ && rate_ != 0 && volume_ > 0 && rate_ >= -kLoudestRate && rate_ <= kLoudestRate;
    if (!audible) {
        soundOutput_.Close();
        return;
    }
    SoundOutput& out = soundOutput_;
    if (out.voice == 0) {
        out.voice = sound::OpenMediaVoice(DWORD(kSoundAhead * 2));
        if (out.voice == 0) return;
        out.position = double(ToSoundFrame(time_));
        // 256 is full volume; each halving is 6 dB down.
        double decibels = 20 * std::log10(std::min(volume_, kFullVolume) / double(kFullVolume));
        sound::SetMediaVoiceVolume(out.voice, LONG(std::max(-10000.0, decibels * 100)));
    }
    // Output frames take `speed` frames of the track each, read between frames by a straight
    // line, until the end the movie runs towards.
    double speed = double(rate_) / kNormalRate;
    TimeRange bounds = PlayBounds();
    double first = double(ToSoundFrame(bounds.start));
    double last = double(ToSoundFrame(bounds.start + bounds.length));
    std::vector<float> chunk(size_t(kSoundChunk) * 2);
    std::vector<float> source;
    while (sound::MediaVoiceQueuedFrames(out.voice) < kSoundAhead) {
        double room = speed > 0 ? (last - out.position) / speed : (out.position - first) / -speed;
        int64_t frames = std::min<int64_t>(kSoundChunk, int64_t(std::ceil(room)));
        if (frames <= 0) break;
        double end = out.position + speed * double(frames - 1);
        int64_t low = int64_t(std::floor(std::min(out.position, end)));
        int64_t high = int64_t(std::floor(std::max(out.position, end))) + 1;
        source.resize(size_t(high - low + 1) * 2);
        ReadSound(low, source.data(), size_t(high - low + 1));
        for (int64_t i = 0; i < frames; ++i) {
            double at = out.position + speed * double(i) - double(low);
            auto whole = size_t(at);
            auto part = float(at - double(whole));
            for (size_t channel = 0; channel < 2; ++channel) {
                float a = source[whole * 2 + channel];
                float b = source[(whole + 1) * 2 + channel];
                chunk[size_t(i) * 2 + channel] = a + (b - a) * part;
            }
        }
        sound::WriteMediaVoice(out.voice, chunk.data(), DWORD(frames));
        out.position += speed * double(frames);
    }
}

void Movie::SetVolume(int32_t volume) {
    volume_ = std::clamp<int32_t>(volume, -32768, 32767);
}

bool Movie::Task() {
    return Task(timeGetTime());
}

bool Movie::Task(DWORD now) {
    int32_t elapsed = static_cast<int32_t>(now - lastTick_);
    lastTick_ = now;
    if (rate_ == 0 || elapsed <= 0) return false;
    elapsed = std::min(elapsed, kLongestStep);
    int64_t units = carry_ + int64_t(elapsed) * rate_ * kTimeScale;
    int64_t step = units / kStepDivisor;
    carry_ = units % kStepDivisor;
    TimeRange bounds = PlayBounds();
    int64_t begin = bounds.start;
    int64_t end = begin + bounds.length;
    Int128 time = Int128(std::clamp(time_, begin, end)) + step;
    int64_t before = time_;
    if (rate_ > 0 && time >= end) {
        if (looping_ && bounds.length > 0) {
            time = begin + (time - end) % bounds.length;
        } else {
            time = end;
            rate_ = 0;
        }
    } else if (rate_ < 0 && time <= begin) {
        if (looping_ && bounds.length > 0) {
            time = end - (begin - time) % bounds.length;
        } else {
            time = begin;
            rate_ = 0;
        }
    }
    bool wrapped = (rate_ > 0 && time < Int128(before)) || (rate_ < 0 && time > Int128(before));
    time_ = static_cast<int64_t>(time);
    if (wrapped) soundOutput_.Close();
    FeedSound();
    return time_ != before;
}

void Movie::StepFrames(int64_t steps) {
    rate_ = 0;
    soundOutput_.Close();
    // Each step walks one frame; a longer walk than this is a script's mistake, not a film.
    constexpr int64_t kMostSteps = 1 << 20;
    int64_t count =
        steps < -kMostSteps ? kMostSteps : std::min(steps < 0 ? -steps : steps, kMostSteps);
    for (int64_t i = 0; i < count; ++i) {
        int64_t offset = 0;
        if (steps > 0) {
            const Segment* segment = video_.Locate(time_, &offset);
            if (!segment) break;
            int64_t end = segment->duration;
            if (segment->media)
                end = std::clamp<int64_t>(segment->media->FrameEnd(segment->mediaStart + offset) -
                                              segment->mediaStart,
                                          offset + 1, segment->duration);
            int64_t next = time_ - offset + end;
            // The last frame is as far as a step goes.
            if (next >= Duration()) break;
            time_ = next;
        } else {
            if (time_ == 0) break;
            const Segment* segment = video_.Locate(time_ - 1, &offset);
            int64_t start = 0;
            if (segment && segment->media)
                start = std::clamp<int64_t>(
                    segment->media->FrameStart(segment->mediaStart + offset) - segment->mediaStart,
                    0, offset);
            time_ = time_ - 1 - offset + start;
        }
    }
    carry_ = 0;
}

void Movie::SetSelection(int64_t start, int64_t length) {
    selection_ = ClipRange(start, length, Duration());
}

const Picture* Movie::PictureAt(int64_t time) {
    int64_t offset = 0;
    const Segment* segment = video_.Locate(time, &offset);
    if (!segment || !segment->media) return nullptr;
    const Picture* picture = segment->media->PictureAt(segment->mediaStart + offset);
    if (picture == nullptr || effects_.empty()) return picture;
    effected_ = *picture;
    for (const Effect& effect : effects_)
        ApplyEffect(effect, time, effected_);
    return &effected_;
}

bool Movie::DrawFrame(OffscreenWorld& world) {
    // The last frame stays on show at the end of a movie.
    const Picture* picture = PictureAt(time_ < Duration() ? time_ : Duration() - 1);
    if (!picture) return false;
    DrawPicture(*picture, world);
    return true;
}

Movie::State Movie::Save() const {
    return {video_, sound_, hasVideo_, hasSound_, width_, height_, selection_, time_};
}

void Movie::Restore(State state) {
    video_ = std::move(state.video);
    sound_ = std::move(state.sound);
    hasVideo_ = state.hasVideo;
    hasSound_ = state.hasSound;
    width_ = state.width;
    height_ = state.height;
    selection_ = state.selection;
    time_ = state.time;
}

void Movie::BeginEdit() {
    soundOutput_.Close();
    undo_ = Save();
    SetMoviesError(kNoError);
}

void Movie::Remove(int64_t start, int64_t length) {
    TimeRange range = ClipRange(start, length, Duration());
    video_.Delete(range.start, range.length);
    sound_.Delete(range.start, range.length);
    if (time_ > range.start) time_ = std::max(range.start, time_ - range.length);
    selection_ = ClipRange(selection_.start, selection_.length, Duration());
}

void Movie::Place(const Movie& source, int64_t at) {
    at = std::clamp<int64_t>(at, 0, Duration());
    // Both tracks of both movies span the same times, so both inserts clip alike.
    video_.Insert(source.video_, at);
    sound_.Insert(source.sound_, at);
    hasVideo_ = hasVideo_ || source.hasVideo_;
    hasSound_ = hasSound_ || source.hasSound_;
    if (width_ == 0 && height_ == 0) {
        width_ = source.width_;
        height_ = source.height_;
    }
}

std::unique_ptr<Movie> Movie::Copy() const {
    auto copy = std::make_unique<Movie>();
    copy->video_ = video_.Copy(selection_.start, selection_.length);
    copy->sound_ = sound_.Copy(selection_.start, selection_.length);
    copy->hasVideo_ = hasVideo_;
    copy->hasSound_ = hasSound_;
    copy->width_ = width_;
    copy->height_ = height_;
    SetMoviesError(kNoError);
    return copy;
}

std::unique_ptr<Movie> Movie::Cut() {
    std::unique_ptr<Movie> copy = Copy();
    Clear();
    return copy;
}

void Movie::Clear() {
    if (selection_.length == 0) return;
    BeginEdit();
    int64_t start = selection_.start;
    Remove(start, selection_.length);
    selection_ = {start, 0};
    time_ = start;
}

void Movie::Paste(const Movie& source) {
    BeginEdit();
    int64_t at = selection_.length > 0 ? selection_.start : time_;
    Remove(selection_.start, selection_.length);
    int64_t before = Duration();
    Place(source, at);
    time_ = at + (Duration() - before);
    selection_ = {time_, 0};
}

void Movie::InsertSegment(const Movie& source, int64_t start, int64_t length, int64_t at) {
    // Copied first: the source may be this movie.
    Movie piece;
    piece.video_ = source.video_.Copy(start, length);
    piece.sound_ = source.sound_.Copy(start, length);
    piece.hasVideo_ = source.hasVideo_;
    piece.hasSound_ = source.hasSound_;
    piece.width_ = source.width_;
    piece.height_ = source.height_;
    BeginEdit();
    Place(piece, at);
}

void Movie::DeleteSegment(int64_t start, int64_t length) {
    BeginEdit();
    Remove(start, length);
}

bool Movie::Undo() {
    if (!undo_) return false;
    soundOutput_.Close();
    Restore(std::move(*undo_));
    undo_.reset();
    time_ = std::min(time_, Duration());
    return true;
}

void Movie::InsertMedia(const std::shared_ptr<Media>& media, int64_t at) {
    Movie piece;
    piece.video_.Append(media, 0, media->Duration());
    piece.sound_.Append(nullptr, 0, piece.video_.Duration());
    piece.hasVideo_ = media->HasVideo();
    piece.width_ = media->Width();
    piece.height_ = media->Height();
    Place(piece, at);
}

void PutMovieOnScrap(const Movie& movie) {
    scrap = std::make_unique<Movie>(movie);
}

std::unique_ptr<Movie> MovieFromScrap() {
    return scrap ? std::make_unique<Movie>(*scrap) : nullptr;
}

void ClearMovieScrap() {
    scrap.reset();
}

} // namespace platform::movie
