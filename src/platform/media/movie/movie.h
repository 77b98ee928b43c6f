// A movie: a video and a sound track, each an edit list over media, in a time scale of 600
// units a second. Both tracks always span the movie's whole duration (gaps fill a track where
// it has nothing), so every edit cuts both at the same times. A movie plays at a rate (16.16
// fixed, negative backwards) advanced by Task on the platform clock, loops or stops at its
// ends, and can keep to its selection. Edits keep one level of undo.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/kernel/win_types.h"
#include "platform/media/movie/edit_list.h"
#include "platform/media/movie/effects.h"
#include "platform/media/movie/media.h"
#include "platform/media/movie/offscreen_world.h"

namespace platform::movie {

constexpr int32_t kNormalRate = 0x10000;
constexpr int32_t kFullVolume = 256;

// The result of the last movie operation, process-wide as scripts read it.
enum MoviesError : int32_t {
    kNoError = 0,
    kFileNotFound = -43,
    kBadParameter = -50,
    // The file exists but holds no movie we can play.
    kNoMovieFound = -2048,
};
int32_t GetMoviesError();
void SetMoviesError(int32_t error);

// Rates beyond this many times the normal one play without sound.
constexpr int32_t kLoudestRate = 16 * kNormalRate;

// The voice a playing movie's sound goes out through. A copy of a movie starts silent.
class SoundOutput {
public:
    SoundOutput() = default;
    SoundOutput(const SoundOutput&) {}
    SoundOutput& operator=(const SoundOutput&) {
        Close();
        return *this;
    }
    ~SoundOutput() { Close(); }
    void Close();

    DWORD voice = 0;
    // Where the next frame written is taken from: a frame of the sound track at the output
    // rate from the movie's start, between frames when the movie plays at another rate.
    double position = 0;
};

class Movie {
public:
    Movie() = default;

    // A movie over a file by its Windows name (or its Linux path). Null, with the error set,
    // when there is no such file or it holds nothing we can play.
    static std::unique_ptr<Movie> OpenFile(const char* windowsName);
    static std::unique_ptr<Movie> OpenLinuxPath(const std::string& path);

    int64_t Duration() const { return video_.Duration(); }
    bool HasVideoTrack() const { return hasVideo_; }
    bool HasSoundTrack() const { return hasSound_; }
    const EditList& VideoTrack() const { return video_; }
    const EditList& SoundTrack() const { return sound_; }
    // The size of the first video medium; 0 without video.
    int32_t NativeWidth() const { return width_; }
    int32_t NativeHeight() const { return height_; }

    // Playing.
    int64_t Time() const { return time_; }
    void SetTime(int64_t time);
    int32_t Rate() const { return rate_; }
    // Starts (or stops, for 0) playing from the clock's present.
    void SetRate(int32_t rate);
    int32_t PreferredRate() const { return preferredRate_; }
    void SetPreferredRate(int32_t rate) { preferredRate_ = rate; }
    int32_t Volume() const { return volume_; }
    void SetVolume(int32_t volume);
    bool Looping() const { return looping_; }
    void SetLooping(bool looping) { looping_ = looping; }
    bool PlaySelectionOnly() const { return playSelection_; }
    void SetPlaySelectionOnly(bool only) { playSelection_ = only; }
    // Stops and moves `steps` frames on (back when negative), staying on the movie's frames.
    void StepFrames(int64_t steps);
    // Moves the time on by the clock since the last task or rate change. True when it moved.
    bool Task();
    bool Task(DWORD now);

    // Selection, clipped to the movie.
    TimeRange Selection() const { return selection_; }
    void SetSelection(int64_t start, int64_t length);

    // The current frame, or the frame at `time`; null in a gap or without video.
    const Picture* CurrentPicture() { return PictureAt(time_); }
    const Picture* PictureAt(int64_t time);
    // The current frame stretched over the world; false (the world untouched) without one.
    bool DrawFrame(OffscreenWorld& world);

    // Editing the selection; each edit can be undone once. Cut and Copy give the selection
    // as a movie of its own.
    std::unique_ptr<Movie> Cut();
    std::unique_ptr<Movie> Copy() const;
    void Clear();
    // Replaces the selection (or inserts at the current time when it is empty); the time
    // moves to the end of what was pasted.
    void Paste(const Movie& source);
    // start .. start + length of `source`, clipped, inserted at `at` (clipped).
    void InsertSegment(const Movie& source, int64_t start, int64_t length, int64_t at);
    void DeleteSegment(int64_t start, int64_t length);
    // Back to before the last edit; false when there is none to undo.
    bool Undo();

    // `frames` stereo frames of the sound track from frame `from` (at the sound output's rate
    // from the movie's start), silence in gaps and beyond the track.
    void ReadSound(int64_t from, float* out, size_t frames) const;

    // Effects every picture passes through, in the order added.
    void AddEffect(const Effect& effect) { effects_.push_back(effect); }
    const std::vector<Effect>& Effects() const { return effects_; }

    // The whole of `media` inserted into the video track at `at` (clipped); not an edit
    // that can be undone.
    void InsertMedia(const std::shared_ptr<Media>& media, int64_t at);

private:
    struct State {
        EditList video;
        EditList sound;
        bool hasVideo = false;
        bool hasSound = false;
        int32_t width = 0;
        int32_t height = 0;
        TimeRange selection;
        int64_t time = 0;
    };
    State Save() const;
    void Restore(State state);
    void BeginEdit();
    // `source`'s tracks at `at`, as one edit's body.
    void Place(const Movie& source, int64_t at);
    void Remove(int64_t start, int64_t length);
    TimeRange PlayBounds() const;
    // Keeps the voice fed a little ahead while the movie plays, resampled to its rate and
    // backwards for negative rates; closes it when stopped, silent or too fast to hear.
    void FeedSound();

    EditList video_;
    EditList sound_;
    bool hasVideo_ = false;
    bool hasSound_ = false;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int64_t time_ = 0;
    int32_t rate_ = 0;
    int32_t preferredRate_ = kNormalRate;
    int32_t volume_ = kFullVolume;
    bool looping_ = false;
    bool playSelection_ = false;
    TimeRange selection_;
    DWORD lastTick_ = 0;
    // Clock time not yet turned into whole movie units, in ms x rate x 600.
    int64_t carry_ = 0;
    std::optional<State> undo_;
    std::vector<Effect> effects_;
    SoundOutput soundOutput_;
    // The last picture through the effects.
    Picture effected_;
};

// The movie scrap of cut, copy and paste, shared by every movie of the process.
void PutMovieOnScrap(const Movie& movie);
// A copy of the scrap's movie; null when it holds none.
std::unique_ptr<Movie> MovieFromScrap();
void ClearMovieScrap();

} // namespace platform::movie
