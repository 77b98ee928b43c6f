// The pace of a video into a Surface: frames from the anchor and the rate as a fraction,
// across the clock's wrap, at rates far from the usual, and lengths that do not overflow.
#include <gtest/gtest.h>

#include <cstdint>

#include "classes/media/video_pump.h"

namespace {

TEST(VideoPumpTest, FramesFollowTheAnchorWhateverThePollInterval) {
    // 25 fps polled every 7 ms reaches frame 25 after one second like one poll would.
    VideoPump often(100, 25, 1);
    VideoPump once(100, 25, 1);
    often.Play(1000);
    once.Play(1000);
    for (uint32_t t = 1000; t <= 2000; t += 7)
        often.Poll(t);
    often.Poll(2000);
    once.Poll(2000);
    EXPECT_EQ(often.GetFrame(), 25);
    EXPECT_EQ(once.GetFrame(), 25);

    // The clock's wrap in the middle of playing is no jump.
    VideoPump wrapping(100, 10, 1);
    wrapping.Play(0xFFFFFF00u);
    wrapping.Poll(0x00000100u);
    EXPECT_EQ(wrapping.GetFrame(), 5);
}

TEST(VideoPumpTest, TheEndsStopOnTheirFramesAndTheShownFrameIsTracked) {
    VideoPump pump(3, 10, 1);
    EXPECT_TRUE(pump.Poll(0)); // frame 0 was never shown
    pump.MarkShown();
    EXPECT_FALSE(pump.Poll(5));
    pump.Play(0);
    pump.Poll(250);
    EXPECT_EQ(pump.GetFrame(), 2);
    EXPECT_EQ(pump.GetState(), VideoPump::kPlaying);
    pump.Poll(300);
    EXPECT_EQ(pump.GetFrame(), 2);
    EXPECT_EQ(pump.GetState(), VideoPump::kStopped);
    pump.Reverse(1000);
    pump.Poll(1150);
    EXPECT_EQ(pump.GetFrame(), 1);
    pump.Poll(1400);
    EXPECT_EQ(pump.GetFrame(), 0);
    EXPECT_EQ(pump.GetState(), VideoPump::kStopped);
    // Resume without a pause leaves a stopped video alone.
    pump.Resume(2000, false);
    EXPECT_EQ(pump.GetState(), VideoPump::kStopped);
}

TEST(VideoPumpTest, ExtremeRatesAndCountsStayInRange) {
    // One frame an hour, a billion frames a second, and values that are no rate.
    VideoPump slow(5, 1, 3600);
    EXPECT_EQ(slow.GetDuration(), 5 * 3600 * 1000);
    slow.SeekTime(3600 * 1000 * 2 + 1);
    EXPECT_EQ(slow.GetFrame(), 2);
    EXPECT_EQ(slow.GetTime(), 2 * 3600 * 1000);
    VideoPump huge(0x7FFFFFFF, 1, 0x7FFFFFFF);
    EXPECT_EQ(huge.GetDuration(), 0x7FFFFFFF);
    huge.Play(0);
    huge.Poll(0xFFFFFFFFu);
    EXPECT_EQ(huge.GetFrame(), 0);
    VideoPump fast(10, 1000000000, 1);
    fast.Play(0);
    fast.Poll(1);
    EXPECT_EQ(fast.GetFrame(), 9);
    EXPECT_EQ(fast.GetDuration(), 0);
    fast.SeekTime(0);
    EXPECT_EQ(fast.GetFrame(), 9);
    VideoPump nothing(0, 0, -5);
    EXPECT_EQ(nothing.GetFrameCount(), 1);
    nothing.Reverse(0);
    nothing.Poll(10000);
    EXPECT_EQ(nothing.GetFrame(), 0);

    EXPECT_EQ(MulDivDown(INT64_MAX, INT64_MAX, INT64_MAX), INT64_MAX);
    EXPECT_EQ(MulDivDown(INT64_MAX, 4, 2), INT64_MAX);
    EXPECT_EQ(MulDivDown(7, 3, 2), 10);
    EXPECT_EQ(MulDivDown(-7, 3, 2), 0);
}

} // namespace
