#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/kernel/clock.h"
#include "platform/sound/multimedia_timer.h"
#include "sound_fixture.h"

namespace {

struct Ticks {
    std::atomic<int> count{0};
    std::atomic<UINT> id{0};
    std::vector<DWORD> times;
    std::vector<size_t> framesHeard;
    std::atomic<bool> killSelf{false};
    std::atomic<MMRESULT> killResult{99};
};

void Count(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* ticks = reinterpret_cast<Ticks*>(user);
    ticks->id = id;
    ticks->times.push_back(timeGetTime());
    ticks->framesHeard.push_back(platform::test::TakeSoundOutput().size() / 2);
    ++ticks->count;
    if (ticks->killSelf) ticks->killResult = timeKillEvent(id);
}

class TimerTest : public NullSoundTest {};

TEST_F(TimerTest, TicksFallDueAsTheTestClockMovesAndRunBeforeItReturns) {
    EXPECT_EQ(timeBeginPeriod(50), TIMERR_NOERROR);
    EXPECT_EQ(timeBeginPeriod(0), TIMERR_NOCANDO);
    Ticks ticks;
    UINT id = timeSetEvent(50, 10, &Count, reinterpret_cast<DWORD_PTR>(&ticks), TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    platform::test::AdvanceClock(49);
    EXPECT_EQ(ticks.count, 0);
    platform::test::TakeSoundOutput();
    platform::test::AdvanceClock(1);
    EXPECT_EQ(ticks.count, 1);
    EXPECT_EQ(ticks.id, id);
    // Each tick finds the output played up to its own due time.
    platform::test::AdvanceClock(120);
    EXPECT_EQ(ticks.count, 3);
    ASSERT_EQ(ticks.framesHeard.size(), 3u);
    EXPECT_EQ(ticks.framesHeard[0], 45u);
    EXPECT_EQ(ticks.framesHeard[1], 2205u);
    EXPECT_EQ(ticks.framesHeard[2], 2205u);
    EXPECT_EQ(platform::test::TakeSoundOutput().size(), 882u * 2);

    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    platform::test::AdvanceClock(200);
    EXPECT_EQ(ticks.count, 3);
    EXPECT_EQ(timeKillEvent(id), MMSYSERR_INVALPARAM);
    EXPECT_EQ(timeEndPeriod(50), TIMERR_NOERROR);
}

TEST_F(TimerTest, OnlyPeriodicTimersWithACallbackStart) {
    Ticks ticks;
    auto user = reinterpret_cast<DWORD_PTR>(&ticks);
    EXPECT_EQ(timeSetEvent(50, 10, &Count, user, TIME_ONESHOT), 0u);
    EXPECT_EQ(timeSetEvent(50, 10, nullptr, user, TIME_PERIODIC), 0u);
    EXPECT_EQ(timeSetEvent(0, 10, &Count, user, TIME_PERIODIC), 0u);
}

TEST_F(TimerTest, TwoTimersTickInTheOrderOfTheirDueTimes) {
    Ticks fast, slow;
    UINT a = timeSetEvent(30, 1, &Count, reinterpret_cast<DWORD_PTR>(&fast), TIME_PERIODIC);
    UINT b = timeSetEvent(100, 1, &Count, reinterpret_cast<DWORD_PTR>(&slow), TIME_PERIODIC);
    platform::test::AdvanceClock(100);
    EXPECT_EQ(fast.count, 3);
    EXPECT_EQ(slow.count, 1);
    EXPECT_EQ(fast.framesHeard[1], 1323u);
    EXPECT_EQ(slow.framesHeard[0], 441u);
    timeKillEvent(a);
    timeKillEvent(b);
}

TEST_F(TimerTest, ACallbackMayKillItsOwnTimer) {
    Ticks ticks;
    ticks.killSelf = true;
    UINT id = timeSetEvent(50, 10, &Count, reinterpret_cast<DWORD_PTR>(&ticks), TIME_PERIODIC);
    platform::test::AdvanceClock(200);
    EXPECT_EQ(ticks.count, 1);
    EXPECT_EQ(ticks.killResult, TIMERR_NOERROR);
    EXPECT_EQ(timeKillEvent(id), MMSYSERR_INVALPARAM);
}

} // namespace
