// A flag that a watching thread raises once the millisecond clock reaches a set moment, so
// that a loop asking every few steps whether timed work may be due reads one flag instead
// of the clock. One thread watches every alarm of the process; it starts with the first
// alarm set and sleeps while none is.
#pragma once

#include <atomic>
#include <chrono>

#include "platform/kernel/win_types.h"

namespace platform {

class ClockAlarm {
public:
    ClockAlarm() = default;
    ~ClockAlarm();
    ClockAlarm(const ClockAlarm&) = delete;
    ClockAlarm& operator=(const ClockAlarm&) = delete;

    // Lowers the flag until timeGetTime() reaches `moment`; the flag may rise up to a
    // millisecond early, and later than the moment by how late the watcher is woken. A
    // moment that has come, a frozen clock or a watcher that cannot start leave it raised.
    // Called from one thread at a time.
    void Set(DWORD moment);
    // While false, timeGetTime() is earlier than Moment().
    bool Rang() const { return rang_.load(std::memory_order_acquire); }
    DWORD Moment() const { return moment_; }

private:
    friend struct ClockWatcher;
    std::atomic<bool> rang_{true};
    DWORD moment_ = 0;
    // The following belong to the watcher, under its lock.
    std::chrono::steady_clock::time_point due_{};
    ClockAlarm* next_ = nullptr;
    bool armed_ = false;
};

// Raises every alarm at once. Freezing the clock calls it: a frozen clock moves only when
// a test says so, which no watcher would see.
void RingClockAlarms();

} // namespace platform
