#include <gtest/gtest.h>

#include <cstdint>

#include "platform/kernel/clock.h"
#include "platform/kernel/test_hooks.h"

namespace {

// The bound may be late by a few kernel ticks; a bound that ran ahead by more than this
// would keep timed work checking the fine clock every time.
constexpr int32_t kMostAhead = 30;

TEST(ClockBound, NeverBehindTheClockNorFarAhead) {
    for (int round = 0; round < 20000; ++round) {
        DWORD before = timeGetTime();
        DWORD bound = platform::LatestClockBound();
        DWORD after = timeGetTime();
        ASSERT_GE(int32_t(bound - before), 0) << "round " << round;
        ASSERT_LE(int32_t(bound - after), kMostAhead) << "round " << round;
    }
}

TEST(ClockBound, ExactWhileFrozenAndAcrossTheWrap) {
    platform::test::FreezeClock(0xFFFFFFF0u);
    EXPECT_EQ(platform::LatestClockBound(), 0xFFFFFFF0u);
    platform::test::AdvanceClock(0x20);
    EXPECT_EQ(platform::LatestClockBound(), 0x10u);
    Sleep(5);
    EXPECT_EQ(platform::LatestClockBound(), timeGetTime());
    platform::test::UnfreezeClock();
    EXPECT_GE(int32_t(platform::LatestClockBound() - timeGetTime()), 0);
}

} // namespace
