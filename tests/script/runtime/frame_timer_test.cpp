#include <gtest/gtest.h>

#include <vector>

#include "script/runtime/frame_timer.h"

namespace {

// Frames 0..last with one delay for all; remembers what it was told to show.
class Film final : public CAnimatedObject {
public:
    int32_t GetFrame(uint32_t) override { return frame; }
    void SetFrame(uint32_t, int32_t value) override { frame = value; }
    void ShowFrame(uint32_t) override { shown.push_back(frame); }
    void AnimationEnded(uint32_t) override { ++ends; }
    int32_t GetFrameDelay(uint32_t, int32_t) override { return delay; }
    int32_t GetFirstFrame(uint32_t) override { return 0; }
    int32_t GetLastFrame(uint32_t) override { return last; }
    int32_t GetLoopFrame(uint32_t) override { return loopFrame; }
    int IsPaused(uint32_t) override { return paused; }

    int32_t frame = 0, last = 4, loopFrame = 0, delay = 10;
    int paused = 0, ends = 0;
    std::vector<int32_t> shown;
};

TEST(CFrameTimer, AdvanceTakesOneStepForEveryDelayThatHasPassed) {
    Film film;
    CFrameTimer timer;
    timer.Init(&film, 1000, 0);
    timer.Advance(1009);
    timer.Advance(1010);
    // Two delays at once: only the frame reached is shown.
    timer.Advance(1035);
    EXPECT_EQ(film.shown, (std::vector<int32_t>{1, 3}));
    EXPECT_EQ(timer.timeBase, 1030u);
    // Far past the end: the play stops on the last frame and ends once.
    timer.Advance(1000000);
    EXPECT_EQ(film.frame, 4);
    EXPECT_EQ(film.ends, 1);

    // Delays of 0 count as 1 ms; time is measured across the clock's wrap.
    Film quick;
    quick.last = 100;
    quick.delay = 0;
    timer.Init(&quick, 0xFFFFFFFEu, 0);
    timer.Advance(3);
    EXPECT_EQ(quick.frame, 5);
    // A time base ahead of the clock steps nothing.
    timer.timeBase = 0x100;
    timer.Advance(0x50);
    EXPECT_EQ(quick.frame, 5);
}

TEST(CFrameTimer, LoopsBackwardPlayAndPingPong) {
    struct Case {
        uint32_t flags;
        int32_t frame, loopFrame, loopsRemaining, loopCount;
        std::vector<int32_t> frames; // -1: ended
    };
    const int32_t endless = CFrameTimer::kEndless;
    const uint32_t back = CFrameTimer::kPlayBackward, pingPong = CFrameTimer::kPingPong;
    const Case cases[] = {
        {0, 0, 1, 2, 2, {1, 2, 3, 1, 2, 3, 1, 2, 3, -1}},
        {back, 3, 0, 0, 0, {2, 1, 0, -1}},
        // Backward loops count up to the loop count, then run down to the first frame.
        {back, 3, 1, 0, 2, {2, 1, 3, 2, 1, 3, 2, 1, 0, -1}},
        {back, 2, 1, endless, endless, {1, 3, 2, 1}},
        {pingPong, 0, 0, endless, endless, {1, 2, 3, 3, 2, 1, 0, 0, 1, 2}},
    };
    for (const Case& c : cases) {
        Film film;
        film.last = 3;
        film.loopFrame = c.loopFrame;
        CFrameTimer timer;
        timer.Init(&film, 1, 0);
        timer.flags = c.flags;
        timer.loopsRemaining = c.loopsRemaining;
        timer.loopCount = c.loopCount;
        std::vector<int32_t> frames;
        for (int32_t frame = c.frame; frames.size() < c.frames.size();) {
            int ended = 0;
            frame = timer.StepFrame(frame, ended);
            frames.push_back(ended ? -1 : frame);
        }
        EXPECT_EQ(frames, c.frames) << c.flags << " " << c.loopCount;
    }
}

TEST(CFrameTimer, APausedOrManualTimerStartsAfreshWhenItRunsAgain) {
    Film film;
    CFrameTimer timer;
    timer.Init(&film, 1000, 0);
    film.paused = 1;
    timer.Advance(1500);
    EXPECT_EQ(timer.timeBase, 0u);
    film.paused = 0;
    // Resumed far from the clock's origin: no frame is owed for the time before.
    timer.Advance(0x70000000);
    timer.Advance(0x70000000 + 10);
    EXPECT_EQ(film.frame, 1);
    timer.manual = 1;
    timer.Advance(0x70000000 + 500);
    timer.manual = 0;
    timer.Advance(0x70000000 + 505);
    timer.Advance(0x70000000 + 514);
    EXPECT_EQ(film.frame, 1);
    timer.Advance(0x70000000 + 515);
    EXPECT_EQ(film.frame, 2);
    EXPECT_EQ(film.ends, 0);
}

TEST(CFrameTimer, StepsAskedForDirectly) {
    Film film;
    film.last = 3;
    CFrameTimer timer;
    timer.Init(&film, 100, 0);
    // Frames outside the film only take the time base.
    timer.GoToFrame(200, 9);
    timer.GoToFrame(210, -1);
    timer.GoToFrame(220, 3);
    EXPECT_EQ(film.shown, (std::vector<int32_t>{3}));
    // At the end: reported, and the time base stays.
    timer.NextFrame(300);
    EXPECT_EQ(film.ends, 1);
    EXPECT_EQ(timer.timeBase, 220u);
    // A step back leaves the play direction as it was.
    timer.PrevFrame(310);
    timer.NextFrame(320);
    EXPECT_EQ(film.shown, (std::vector<int32_t>{3, 2, 3}));
    EXPECT_EQ(timer.timeBase, 320u);
}

} // namespace
