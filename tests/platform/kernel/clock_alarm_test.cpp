#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <thread>

#include "platform/kernel/clock.h"
#include "platform/kernel/clock_alarm.h"
#include "platform/kernel/test_hooks.h"

namespace {

// Waits on the running clock until `alarm` rings, two seconds at most; whether it rang.
bool AwaitRing(const platform::ClockAlarm& alarm) {
    const DWORD start = timeGetTime();
    while (!alarm.Rang()) {
        if (int32_t(timeGetTime() - start) > 2000) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

TEST(ClockAlarm, RingsAtItsMomentNeverBeforeAndStaysRung) {
    platform::ClockAlarm alarm;
    EXPECT_TRUE(alarm.Rang());
    const DWORD moment = timeGetTime() + 40;
    alarm.Set(moment);
    EXPECT_EQ(alarm.Moment(), moment);
    ASSERT_TRUE(AwaitRing(alarm));
    EXPECT_GE(int32_t(timeGetTime() - moment), -2);
    // Rung alarms stay so until set again.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(alarm.Rang());
    // A moment that has come, even across the wrap, rings at once.
    const DWORD now = timeGetTime();
    for (DWORD past : {now, now - 1, now - 0x7FFF0000u}) {
        alarm.Set(now + 1000);
        alarm.Set(past);
        EXPECT_TRUE(alarm.Rang()) << now - past;
    }
}

TEST(ClockAlarm, AlarmsRingInTheOrderOfTheirMomentsWhateverTheOrderSet) {
    platform::ClockAlarm late, early, again;
    const DWORD now = timeGetTime();
    // One destroyed while set is forgotten.
    std::make_unique<platform::ClockAlarm>()->Set(now + 5);
    late.Set(now + 1500);
    early.Set(now + 20);
    // Set again for later: only the last moment counts.
    again.Set(now + 10);
    again.Set(now + 60);
    ASSERT_TRUE(AwaitRing(early));
    EXPECT_FALSE(late.Rang());
    ASSERT_TRUE(AwaitRing(again));
    EXPECT_GE(int32_t(timeGetTime() - (now + 60)), -2);
    EXPECT_FALSE(late.Rang());
    EXPECT_TRUE(AwaitRing(late));
}

TEST(ClockAlarm, AFrozenClockRingsEveryAlarmAndKeepsThemRung) {
    platform::ClockAlarm alarm;
    alarm.Set(timeGetTime() + 1000);
    ASSERT_FALSE(alarm.Rang());
    platform::test::FreezeClock(0xFFFFFFF0u);
    EXPECT_TRUE(alarm.Rang());
    alarm.Set(0x10u);
    EXPECT_TRUE(alarm.Rang());
    platform::test::UnfreezeClock();
    alarm.Set(timeGetTime() + 1000);
    EXPECT_FALSE(alarm.Rang());
}

TEST(ClockAlarm, AChildOfForkRingsItsAlarmsAndWatchesAfresh) {
    platform::ClockAlarm alarm;
    // The watcher running, as it is once an alarm has rung, not starting while the process
    // forks: a thread forked half-made can leave the sanitizer's own locks held in the child.
    alarm.Set(timeGetTime() + 5);
    ASSERT_TRUE(AwaitRing(alarm));
    alarm.Set(timeGetTime() + 5000);
    ASSERT_FALSE(alarm.Rang());
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        if (!alarm.Rang()) _exit(1);
        // Rung at its moment, not at once for want of a watcher; a child held up past the
        // moment before looking sees it rung all the same.
        const DWORD moment = timeGetTime() + 20;
        alarm.Set(moment);
        if (!AwaitRing(alarm)) _exit(2);
        _exit(int32_t(timeGetTime() - moment) >= -2 ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(alarm.Rang());
}

} // namespace
