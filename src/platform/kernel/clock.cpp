#include "platform/kernel/clock.h"

#include <time.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/kernel/clock_alarm.h"
#include "platform/kernel/test_hooks.h"

namespace {

std::atomic<bool> frozen{false};
std::atomic<DWORD> frozenTime{0};
std::atomic<void (*)(DWORD, DWORD)> advanceHook{nullptr};

DWORD ReadClock() {
    if (frozen.load(std::memory_order_acquire)) return frozenTime.load();
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    auto milliseconds =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(milliseconds);
}

// The coarse clock is the fine one as it stood at the last kernel tick: behind it by
// less than its resolution, and read without asking the time source. The margin allows
// a tick that comes late; 0 when the coarse clock is missing or too coarse to help.
DWORD CoarseMargin() {
    timespec resolution{};
    if (clock_getres(CLOCK_MONOTONIC_COARSE, &resolution) != 0 || resolution.tv_sec != 0 ||
        resolution.tv_nsec > 10'000'000)
        return 0;
    return static_cast<DWORD>(resolution.tv_nsec / 1'000'000) * 2 + 2;
}

// Read once at load: the bound is asked for every few statements of a running script.
const DWORD coarseMargin = CoarseMargin();

} // namespace

bool platform::IsClockFrozen() {
    return frozen.load(std::memory_order_acquire);
}

void platform::SetClockAdvanceHook(void (*hook)(DWORD from, DWORD to)) {
    advanceHook.store(hook);
}

DWORD timeGetTime() {
    return ReadClock();
}

DWORD platform::LatestClockBound() {
    const DWORD margin = coarseMargin;
    if (margin == 0 || frozen.load(std::memory_order_acquire)) return ReadClock();
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    auto milliseconds =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(milliseconds) + margin;
}

DWORD GetTickCount() {
    return ReadClock();
}

void Sleep(DWORD milliseconds) {
    if (frozen.load(std::memory_order_acquire)) {
        frozenTime.fetch_add(milliseconds);
        std::this_thread::yield(); // a test polling with Sleep still lets others run
        return;
    }
    if (milliseconds == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace platform::test {

void FreezeClock(DWORD milliseconds) {
    frozenTime.store(milliseconds);
    frozen.store(true, std::memory_order_release);
    platform::RingClockAlarms();
}

void AdvanceClock(DWORD milliseconds) {
    DWORD from = frozenTime.fetch_add(milliseconds);
    if (auto hook = advanceHook.load()) hook(from, from + milliseconds);
}

void UnfreezeClock() {
    frozen.store(false, std::memory_order_release);
}

} // namespace platform::test
