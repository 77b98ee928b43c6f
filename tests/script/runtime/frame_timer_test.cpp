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

TEST(CFrameTimer, SlicesAddTheStepAndGiveAFramePerHundred) {
    Film film;
    film.last = 12;
    film.delay = 50;
    CFrameTimer timer;
    timer.InitSliced(&film, 1000);
    // A step of 50 is a frame every second slice, 40 ms; the time left over waits.
    timer.Advance(1019);
    EXPECT_EQ(film.frame, 0);
    timer.Advance(1050);
    EXPECT_EQ(film.frame, 1);
    EXPECT_EQ(timer.timeBase, 1040u);
    timer.Advance(1100);
    EXPECT_EQ(film.frame, 2);
    EXPECT_EQ(timer.accumulator, 50);
    // Past the end: the frames reached are shown once each advance, the end once.
    timer.Advance(2000);
    EXPECT_EQ(film.shown, (std::vector<int32_t>{1, 2, 12}));
    EXPECT_EQ(film.ends, 1);

    // A step above 100 still gives one frame a slice, and its surplus is not kept.
    Film fast;
    fast.last = 100;
    fast.delay = 250;
    timer.InitSliced(&fast, 0x100);
    timer.Advance(0x100 + 5 * 20);
    EXPECT_EQ(fast.frame, 5);
    EXPECT_LT(timer.accumulator, 100);
    // A step of 0 or below never moves, and leaves nothing owed for later.
    fast.delay = -30;
    timer.Advance(0x100 + 50 * 20);
    EXPECT_EQ(fast.frame, 5);
    EXPECT_EQ(timer.accumulator, 0);
    fast.delay = 100;
    timer.Advance(0x100 + 51 * 20);
    EXPECT_EQ(fast.frame, 6);
}

TEST(CFrameTimer, SlicesAfterALongStallSetTheFrameOnce) {
    Film film;
    film.last = 4;
    film.delay = 1000;
    CFrameTimer timer;
    timer.InitSliced(&film, 5000);
    timer.loopsRemaining = timer.loopCount = CFrameTimer::kEndless;
    // An hour and one slice: 180001 frames round a loop of five.
    timer.Advance(5000 + 3600000 + 20);
    EXPECT_EQ(film.shown, (std::vector<int32_t>{1}));
    EXPECT_EQ(timer.timeBase, 5000u + 3600020u);
    EXPECT_LT(timer.accumulator, 100);
    // Init gives the frame delays back.
    timer.Init(&film, 100, 0);
    EXPECT_EQ(timer.timing, CFrameTimer::kByFrameDelay);

    // Whole rounds left out land where stepping every frame lands, in any play direction.
    const uint32_t back = CFrameTimer::kPlayBackward, pingPong = CFrameTimer::kPingPong;
    for (uint32_t flags : {0u, back, pingPong, back | pingPong}) {
        for (int32_t loopFrame : {0, 3, 6}) {
            for (int64_t slices : {1000, 10007}) {
                Film skipped, stepped;
                skipped.last = stepped.last = 6;
                skipped.delay = 100;
                skipped.loopFrame = stepped.loopFrame = loopFrame;
                skipped.frame = stepped.frame = 2;
                CFrameTimer fast, slow;
                fast.InitSliced(&skipped, 1);
                fast.flags = slow.flags = flags;
                fast.loopsRemaining = fast.loopCount = CFrameTimer::kEndless;
                slow.loopsRemaining = slow.loopCount = CFrameTimer::kEndless;
                slow.Init(&stepped, 1, 0);
                fast.Advance(1 + uint32_t(slices) * 20);
                for (int64_t i = 0; i < slices; ++i)
                    slow.NextFrame(1);
                EXPECT_EQ(skipped.frame, stepped.frame)
                    << flags << " " << loopFrame << " " << slices;
                EXPECT_EQ(fast.flags, slow.flags) << flags << " " << loopFrame << " " << slices;
            }
        }
    }
}

} // namespace
