#include "classes/media/video_pump.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int64_t kMaxRatePart = 0x7FFFFFFF;
constexpr int64_t kMaxMilliseconds = 0x7FFFFFFF;

} // namespace

int64_t MulDivDown(int64_t a, int64_t b, int64_t c) {
    if (a <= 0 || b <= 0 || c <= 0) return 0;
    unsigned __int128 product = static_cast<unsigned __int128>(a) * static_cast<uint64_t>(b);
    unsigned __int128 quotient = product / static_cast<uint64_t>(c);
    return quotient > static_cast<unsigned __int128>(INT64_MAX) ? INT64_MAX
                                                                : static_cast<int64_t>(quotient);
}

VideoPump::VideoPump(int64_t frameCount, int64_t rateNumerator, int64_t rateDenominator)
    : frameCount_(std::max<int64_t>(frameCount, 1)),
      numerator_(std::clamp<int64_t>(rateNumerator, 1, kMaxRatePart)),
      denominator_(std::clamp<int64_t>(rateDenominator, 1, kMaxRatePart)) {}

int64_t VideoPump::GetDuration() const {
    return std::min(MulDivDown(frameCount_, 1000 * denominator_, numerator_), kMaxMilliseconds);
}

int64_t VideoPump::GetTime() const {
    return std::min(MulDivDown(frame_, 1000 * denominator_, numerator_), kMaxMilliseconds);
}

int64_t VideoPump::FramesIn(uint32_t elapsed) const {
    return MulDivDown(elapsed, numerator_, 1000 * denominator_);
}

void VideoPump::Anchor(uint32_t now) {
    // Backwards from the first frame means from the last.
    if (state_ == kReversing && frame_ == 0) frame_ = frameCount_ - 1;
    anchorTime_ = now;
    anchorFrame_ = frame_;
    anchorPending_ = false;
}

void VideoPump::Open(bool playing) {
    state_ = playing ? kPlaying : kStopped;
    frame_ = 0;
    shown_ = -1;
    anchorPending_ = true;
}

void VideoPump::Play(uint32_t now) {
    state_ = kPlaying;
    Anchor(now);
}

void VideoPump::Stop() {
    state_ = kStopped;
}

void VideoPump::Pause() {
    if (state_ == kPlaying || state_ == kReversing) state_ = kPaused;
}

void VideoPump::Reverse(uint32_t now) {
    state_ = kReversing;
    Anchor(now);
}

void VideoPump::Resume(uint32_t now, bool reverse) {
    if (reverse) {
        Reverse(now);
    } else if (state_ == kPaused) {
        Play(now);
    }
}

void VideoPump::SeekTime(int64_t milliseconds) {
    milliseconds = std::clamp<int64_t>(milliseconds, 1, std::max<int64_t>(GetDuration(), 1));
    frame_ = std::min(MulDivDown(milliseconds, numerator_, 1000 * denominator_), frameCount_ - 1);
    anchorPending_ = true;
}

void VideoPump::SeekFrame(int64_t frame) {
    frame_ = std::min(std::clamp<int64_t>(frame, 1, frameCount_), frameCount_ - 1);
    anchorPending_ = true;
}

void VideoPump::Rewind() {
    frame_ = 0;
    anchorPending_ = true;
}

bool VideoPump::Poll(uint32_t now) {
    if (state_ == kPlaying || state_ == kReversing) {
        if (anchorPending_) {
            Anchor(now);
        } else {
            int64_t passed = FramesIn(now - anchorTime_);
            if (state_ == kPlaying) {
                if (passed >= frameCount_ - anchorFrame_) {
                    frame_ = frameCount_ - 1;
                    state_ = kStopped;
                } else {
                    frame_ = anchorFrame_ + passed;
                }
            } else if (passed > anchorFrame_) {
                frame_ = 0;
                state_ = kStopped;
            } else {
                frame_ = anchorFrame_ - passed;
            }
        }
    }
    return frame_ != shown_;
}
