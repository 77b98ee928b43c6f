// The pace of a video played frame by frame into a Surface. The frame to show comes from
// an anchor (a time and a frame) taken when playing starts, resumes, turns backwards or
// seeks, and from the video's rate as a fraction, so that no remainder is lost between
// polls however often they come, and a stop or a pause costs no frames.
#pragma once

#include <cstdint>

class VideoPump {
public:
    enum State : uint32_t { kClosed = 0, kStopped = 1, kPlaying = 2, kReversing = 3, kPaused = 4 };

    // A video of `frameCount` frames at numerator / denominator frames per second; values
    // below 1 count as 1. Stopped at frame 0.
    VideoPump(int64_t frameCount, int64_t rateNumerator, int64_t rateDenominator);

    State GetState() const { return state_; }
    int64_t GetFrame() const { return frame_; }
    int64_t GetFrameCount() const { return frameCount_; }
    // The length in milliseconds, held to the 32-bit range.
    int64_t GetDuration() const;
    // The time of the current frame in milliseconds.
    int64_t GetTime() const;

    // Just opened: at frame 0, playing or stopped; the first poll anchors.
    void Open(bool playing);
    void Play(uint32_t now);
    void Stop();
    // Playing either way becomes paused.
    void Pause();
    void Reverse(uint32_t now);
    // Plays on the way it went before the pause; after Reverse always backwards.
    void Resume(uint32_t now, bool reverse);
    // The frame at `milliseconds` (held to 1 .. the length), or frame `frame` (held to
    // 1 .. the count); both land inside the video, and the next poll starts from there.
    void SeekTime(int64_t milliseconds);
    void SeekFrame(int64_t frame);
    void Rewind();

    // A poll at time `now`: moves the current frame on while playing; the video stops at
    // either end. True when the frame to show differs from the one shown last.
    bool Poll(uint32_t now);
    // The frame last shown, -1 before the first.
    int64_t GetShown() const { return shown_; }
    void MarkShown() { shown_ = frame_; }

private:
    void Anchor(uint32_t now);
    // Frames played in `elapsed` milliseconds, rounded down.
    int64_t FramesIn(uint32_t elapsed) const;

    int64_t frameCount_;
    int64_t numerator_;
    int64_t denominator_;
    State state_ = kStopped;
    int64_t frame_ = 0;
    int64_t shown_ = -1;
    // Set by opening and seeking: the next poll anchors at the current frame.
    bool anchorPending_ = true;
    uint32_t anchorTime_ = 0;
    int64_t anchorFrame_ = 0;
};

// a * b / c rounded down, for non-negative a, b and c > 0, without overflow in between;
// held to the 63-bit range.
int64_t MulDivDown(int64_t a, int64_t b, int64_t c);
