#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/sound/multimedia_timer.h"

namespace {

struct Slow {
    std::atomic<bool> started{false};
    std::atomic<bool> finished{false};
    std::atomic<int> count{0};
};

void SlowTick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* slow = reinterpret_cast<Slow*>(user);
    ++slow->count;
    slow->started = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    slow->finished = true;
}

TEST(TimerThreads, RealClockTicksAndKillWaitsForARunningCallback) {
    Slow slow;
    UINT id = timeSetEvent(5, 1, &SlowTick, reinterpret_cast<DWORD_PTR>(&slow), TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!slow.started && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(slow.started);
    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    EXPECT_TRUE(slow.finished);
    int count = slow.count;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(slow.count, count);
}

TEST(TimerThreads, ManyTimersStartAndStopWhileTicking) {
    std::atomic<int> total{0};
    auto tick = [](UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
        ++*reinterpret_cast<std::atomic<int>*>(user);
    };
    for (int round = 0; round < 20; ++round) {
        std::vector<UINT> ids;
        for (int i = 0; i < 4; ++i)
            ids.push_back(
                timeSetEvent(1 + i, 1, tick, reinterpret_cast<DWORD_PTR>(&total), TIME_PERIODIC));
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
        for (UINT id : ids)
            EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    }
    int after = total;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(total, after);
}

} // namespace
