// Frame stepping by elapsed time for anything that shows numbered frames (animations,
// sprites, the animation channels of 3D objects): loops, backward play and ping-pong.
#pragma once

#include <cstdint>

// What a frame timer drives. Every call carries the animation id the timer was given, so
// that one object can drive several timers.
class CAnimatedObject {
public:
    virtual int32_t GetFrame(uint32_t animation) = 0;
    virtual void SetFrame(uint32_t animation, int32_t frame) = 0;
    virtual void ShowFrame(uint32_t animation) = 0;
    virtual void AnimationEnded(uint32_t animation) = 0;
    // Milliseconds `frame` stays on screen; below 1 counts as 1.
    virtual int32_t GetFrameDelay(uint32_t animation, int32_t frame) = 0;
    virtual int32_t GetFirstFrame(uint32_t animation) = 0;
    virtual int32_t GetLastFrame(uint32_t animation) = 0;
    // Where a loop starts again.
    virtual int32_t GetLoopFrame(uint32_t animation) = 0;
    virtual int IsPaused(uint32_t animation) = 0;

protected:
    ~CAnimatedObject() = default;
};

class CFrameTimer {
public:
    // How time turns into frames: by the object's frame delays, or in 20 ms slices that
    // each add the object's step (what GetFrameDelay answers) to the accumulator, a frame
    // for every 100 and at most one per slice.
    static constexpr uint32_t kByFrameDelay = 0;
    static constexpr uint32_t kBySlices = 1;
    static constexpr int32_t kSliceMs = 20;
    static constexpr int32_t kStepsPerFrame = 100;
    static constexpr uint32_t kPlayBackward = 1;
    // Reverse at the ends instead of jumping to the loop frame or the last frame.
    static constexpr uint32_t kPingPong = 4;
    static constexpr int32_t kEndless = -1;

    void Init(CAnimatedObject* object, uint32_t timeBase, uint32_t manual);
    // Init for the slice timing, with an empty accumulator.
    void InitSliced(CAnimatedObject* object, uint32_t timeBase);
    // A frame from the first one up to the last is set and shown; the time base is taken
    // in every case.
    void GoToFrame(uint32_t timeBase, int32_t frame);
    // The frame that follows `frame` in the play direction; `ended` is set (and the frame
    // kept) when the play is over.
    int32_t StepFrame(int32_t frame, int& ended);
    // One step now, forward in the play direction or against it.
    void NextFrame(uint32_t timeBase);
    void PrevFrame(uint32_t timeBase);
    // Takes every step whose delay (or whose slices) have passed by `now`; the frame
    // reached is set and shown once.
    void Advance(uint32_t now);

    CAnimatedObject* object = nullptr;
    uint32_t animation = 0;
    // When the current frame began; 0 while paused or manual (the next run starts from
    // the time it resumes).
    uint32_t timeBase = 0;
    int32_t loopsRemaining = 0;
    int32_t loopCount = 0;
    uint32_t flags = 0;
    uint32_t reserved = 0;
    // Non-zero: the frames change only when asked, never with time.
    uint32_t manual = 0;
    uint32_t timing = kByFrameDelay;
    // The slice timing's steps towards the next frame; 0 to 99 between two advances, so
    // that it never passes 100 + step, whatever the step and however long the stall.
    int32_t accumulator = 0;

private:
    // The frames owed after `slices` slices are counted, not stepped slice by slice.
    void AdvanceBySlices(uint32_t now);
    // Takes the first of `steps` steps of an endless play until it comes round to a frame
    // and direction it had, then leaves out the whole rounds; the steps still to take.
    int64_t SkipRounds(int32_t& frame, int64_t steps, int& ended);
    // Sets and shows `frame` when it differs from the current one, then reports an end.
    void Show(int32_t current, int32_t frame, int ended);
    // One step, with the play direction flipped by `flip` for that step only.
    void StepOnce(uint32_t timeBase, uint32_t flip);
};
