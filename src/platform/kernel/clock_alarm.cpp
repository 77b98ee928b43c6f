#include "platform/kernel/clock_alarm.h"

#include <pthread.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/kernel/clock.h"

namespace platform {

struct ClockWatcher {
    std::mutex mutex;
    std::condition_variable changed;
    // The alarms not rung yet, in no order: a process has a handful at most.
    ClockAlarm* armed = nullptr;
    bool started = false;

    // Under the lock.
    bool Start();

    // Under the lock.
    void Unlink(ClockAlarm& alarm) {
        if (!alarm.armed_) return;
        for (ClockAlarm** link = &armed; *link != nullptr; link = &(*link)->next_) {
            if (*link != &alarm) continue;
            *link = alarm.next_;
            break;
        }
        alarm.armed_ = false;
    }

    // Under the lock.
    void Ring(ClockAlarm& alarm) {
        Unlink(alarm);
        alarm.rang_.store(true, std::memory_order_release);
    }

    void Watch() {
        std::unique_lock lock(mutex);
        for (;;) {
            const auto now = std::chrono::steady_clock::now();
            auto earliest = std::chrono::steady_clock::time_point::max();
            for (ClockAlarm* alarm = armed; alarm != nullptr;) {
                ClockAlarm* next = alarm->next_;
                if (alarm->due_ <= now)
                    Ring(*alarm);
                else
                    earliest = std::min(earliest, alarm->due_);
                alarm = next;
            }
            if (armed == nullptr)
                changed.wait(lock);
            else
                changed.wait_until(lock, earliest);
        }
    }
};

namespace {

// Never destroyed: alarms of objects destroyed at exit still unlink themselves, and the
// thread may be waiting on it then.
ClockWatcher*& WatcherPlace() {
    static ClockWatcher* watcher = new ClockWatcher;
    return watcher;
}

ClockWatcher& Watcher() {
    return *WatcherPlace();
}

// A child of fork has no watching thread, and the watcher's lock and condition may count
// the parent's threads: its alarms ring, and it starts afresh with a new watcher.
void ForkChildWatcher() {
    static ClockWatcher* forsaken = nullptr;
    forsaken = WatcherPlace();
    while (forsaken->armed != nullptr)
        forsaken->Ring(*forsaken->armed);
    WatcherPlace() = new ClockWatcher;
}

} // namespace

bool ClockWatcher::Start() {
    if (started) return true;
    static const bool forkHandled =
        pthread_atfork([] { Watcher().mutex.lock(); }, [] { Watcher().mutex.unlock(); },
                       &ForkChildWatcher) == 0;
    if (!forkHandled) return false;
    try {
        std::thread([this] { Watch(); }).detach();
    } catch (const std::system_error&) {
        return false;
    }
    started = true;
    return true;
}

ClockAlarm::~ClockAlarm() {
    ClockWatcher& watcher = Watcher();
    std::lock_guard lock(watcher.mutex);
    watcher.Unlink(*this);
}

void ClockAlarm::Set(DWORD moment) {
    ClockWatcher& watcher = Watcher();
    std::lock_guard lock(watcher.mutex);
    moment_ = moment;
    // The reading is up to a millisecond behind the fine clock: counting from it, the
    // moment comes no earlier than a millisecond before the whole difference.
    const auto now = std::chrono::steady_clock::now();
    const int32_t ahead = int32_t(moment - timeGetTime());
    if (ahead <= 1 || IsClockFrozen() || !watcher.Start()) {
        watcher.Ring(*this);
        return;
    }
    due_ = now + std::chrono::milliseconds(ahead - 1);
    if (!armed_) {
        next_ = watcher.armed;
        watcher.armed = this;
        armed_ = true;
    }
    rang_.store(false, std::memory_order_release);
    watcher.changed.notify_one();
}

void RingClockAlarms() {
    ClockWatcher& watcher = Watcher();
    std::lock_guard lock(watcher.mutex);
    while (watcher.armed != nullptr)
        watcher.Ring(*watcher.armed);
}

} // namespace platform
