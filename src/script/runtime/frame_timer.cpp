#include "script/runtime/frame_timer.h"

#include <algorithm>

void CFrameTimer::Init(CAnimatedObject* animated, uint32_t base, uint32_t manualFlag) {
    object = animated;
    timeBase = base;
    manual = manualFlag;
    reserved = 0;
    timing = kByFrameDelay;
    accumulator = 0;
}

void CFrameTimer::InitSliced(CAnimatedObject* animated, uint32_t base) {
    Init(animated, base, 0);
    timing = kBySlices;
}

void CFrameTimer::GoToFrame(uint32_t base, int32_t frame) {
    if (frame != object->GetFrame(animation) && frame <= object->GetLastFrame(animation) &&
        frame >= object->GetFirstFrame(animation)) {
        object->SetFrame(animation, frame);
        object->ShowFrame(animation);
    }
    timeBase = base;
}

int32_t CFrameTimer::StepFrame(int32_t frame, int& ended) {
    ended = 0;
    int32_t first = object->GetFirstFrame(animation);
    int32_t last = object->GetLastFrame(animation);
    int32_t loopFrame = object->GetLoopFrame(animation);
    bool pingPong = (flags & kPingPong) != 0;
    if ((flags & kPlayBackward) == 0) {
        if (frame < last) return frame + 1;
        if (loopsRemaining == 0) {
            ended = 1;
            return frame;
        }
        if (pingPong) {
            flags |= kPlayBackward;
            frame = last;
        } else {
            frame = loopFrame;
        }
        if (loopsRemaining != kEndless) --loopsRemaining;
        return frame;
    }
    // Backward play counts the loops up again towards the loop count; at the loop count
    // it runs down to the first frame and ends.
    if (loopCount == 0 || (loopsRemaining != kEndless && loopsRemaining == loopCount)) {
        if (frame > first) return frame - 1;
        ended = 1;
        return frame;
    }
    if (loopsRemaining == kEndless) {
        if (frame > first && frame != loopFrame) return frame - 1;
        if (!pingPong) return last;
        flags &= ~kPlayBackward;
        return frame == loopFrame ? frame : first;
    }
    if (frame > loopFrame) return frame - 1;
    ++loopsRemaining;
    if (!pingPong) return last;
    flags &= ~kPlayBackward;
    return loopFrame;
}

void CFrameTimer::Show(int32_t current, int32_t frame, int ended) {
    if (frame != current) {
        object->SetFrame(animation, frame);
        object->ShowFrame(animation);
    }
    if (ended) object->AnimationEnded(animation);
}

void CFrameTimer::StepOnce(uint32_t base, uint32_t flip) {
    int32_t current = object->GetFrame(animation);
    int ended = 0;
    // A turn taken by a step against the play direction turns the play for good.
    flags ^= flip;
    int32_t frame = StepFrame(current, ended);
    flags ^= flip;
    // Taken before the object hears of the step: an object that restarts its play when
    // told of the end keeps the time it gives.
    if (!ended) timeBase = base;
    Show(current, frame, ended);
}

void CFrameTimer::NextFrame(uint32_t base) {
    StepOnce(base, 0);
}

void CFrameTimer::PrevFrame(uint32_t base) {
    StepOnce(base, kPlayBackward);
}

void CFrameTimer::Advance(uint32_t now) {
    if (timing == kBySlices) return AdvanceBySlices(now);
    int32_t current = object->GetFrame(animation);
    int32_t frame = current;
    int ended = 0;
    if (object->IsPaused(animation) || manual != 0) {
        timeBase = 0;
    } else {
        // A base of 0 means the timer did not follow time until now (paused, manual or
        // never started): it starts from now, not from the clock's origin.
        if (timeBase == 0) timeBase = now;
        uint32_t base = timeBase;
        int64_t elapsed = int32_t(now - base);
        for (;;) {
            int32_t delay = object->GetFrameDelay(animation, frame);
            if (delay < 1) delay = 1;
            elapsed -= delay;
            if (elapsed < 0) break;
            base += uint32_t(delay);
            frame = StepFrame(frame, ended);
            if (ended) break;
        }
        timeBase = base;
    }
    Show(current, frame, ended);
}

void CFrameTimer::AdvanceBySlices(uint32_t now) {
    if (object->IsPaused(animation) || manual != 0) {
        timeBase = 0;
        return;
    }
    if (timeBase == 0) timeBase = now;
    const int64_t elapsed = int32_t(now - timeBase);
    if (elapsed < kSliceMs) return;
    const int64_t slices = elapsed / kSliceMs;
    timeBase += uint32_t(slices * kSliceMs);
    const int32_t current = object->GetFrame(animation);
    const int64_t step = object->GetFrameDelay(animation, current);
    // At most 2^27 slices of at most 2^31 steps: the sum stays well inside 64 bits.
    const int64_t total = accumulator + slices * step;
    int64_t owed = 0;
    if (step > 0) {
        owed = std::min(slices, total / kStepsPerFrame);
        accumulator = int32_t(std::min<int64_t>(total - owed * kStepsPerFrame, kStepsPerFrame - 1));
    } else {
        accumulator = int32_t(std::max<int64_t>(total, 0));
    }
    int32_t frame = current;
    int ended = 0;
    if (loopsRemaining == kEndless) owed = SkipRounds(frame, owed, ended);
    for (; owed > 0 && !ended; --owed)
        frame = StepFrame(frame, ended);
    Show(current, frame, ended);
}

int64_t CFrameTimer::SkipRounds(int32_t& frame, int64_t steps, int& ended) {
    // A frame and a play direction make the whole state of an endless play, so it is back
    // where it was within two passes, once on its round.
    const int64_t span =
        int64_t(object->GetLastFrame(animation)) - object->GetFirstFrame(animation) + 1;
    const int64_t limit = 2 * std::max<int64_t>(span, 1) + 2;
    if (steps <= 2 * limit) return steps;
    for (int64_t i = 0; i < limit && !ended; ++i, --steps)
        frame = StepFrame(frame, ended);
    const int32_t markFrame = frame;
    const uint32_t markFlags = flags;
    for (int64_t round = 1; round <= limit && !ended; ++round) {
        frame = StepFrame(frame, ended);
        --steps;
        if (frame == markFrame && flags == markFlags) return steps % round;
    }
    return steps;
}
