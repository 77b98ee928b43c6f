#include <gtest/gtest.h>

#include <cstdint>

#include "platform/clock.h"
#include "platform/test_hooks.h"

namespace {

TEST(Clock, FrozenClockWrapsAt32BitsWithSignedDifferencesStillRight) {
    platform::test::FreezeClock(0xFFFFFFF0u);
    DWORD start = timeGetTime();
    EXPECT_EQ(start, 0xFFFFFFF0u);
    EXPECT_EQ(GetTickCount(), start);
    Sleep(0x20); // advances instead of sleeping
    DWORD later = GetTickCount();
    EXPECT_EQ(later, 0x10u);
    EXPECT_EQ(static_cast<int32_t>(later - start), 0x20);
    platform::test::AdvanceClock(5);
    EXPECT_EQ(timeGetTime(), 0x15u);
    platform::test::UnfreezeClock();
}

TEST(Clock, RealClockAdvancesAcrossASleep) {
    DWORD start = timeGetTime();
    Sleep(30);
    auto elapsed = static_cast<int32_t>(GetTickCount() - start);
    EXPECT_GE(elapsed, 29);
    EXPECT_LT(elapsed, 10000);
}

} // namespace
