#include "platform/kernel/clock.h"

#include <time.h>

#include <atomic>
#include <chrono>
#include <thread>

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
}

void AdvanceClock(DWORD milliseconds) {
    DWORD from = frozenTime.fetch_add(milliseconds);
    if (auto hook = advanceHook.load()) hook(from, from + milliseconds);
}

void UnfreezeClock() {
    frozen.store(false, std::memory_order_release);
}

} // namespace platform::test
