#include "platform/sound/timer_table.h"

#include <condition_variable>
#include <thread>
#include <vector>

#include "platform/kernel/clock.h"

namespace platform::sound {

struct Timer {
    UINT id;
    UINT delay;
    LPTIMECALLBACK callback;
    DWORD_PTR user;
    std::mutex lock;
    std::condition_variable changed;
    bool stop = false;
    // Whether nextDue counts on the test clock.
    bool frozenBase = false;
    DWORD nextDue = 0;
    // Ticks asked for under the test clock, and those run.
    uint64_t asked = 0;
    uint64_t ran = 0;
    bool running = false;
    std::thread thread;
    std::thread::id threadId;
};

namespace {

void Rebase(Timer& timer, DWORD now, bool frozen) {
    timer.frozenBase = frozen;
    timer.nextDue = now + timer.delay;
}

void RunTimer(const std::shared_ptr<Timer>& timer) {
    std::unique_lock lock(timer->lock);
    while (!timer->stop) {
        if (timer->asked > timer->ran) {
            timer->running = true;
            lock.unlock();
            timer->callback(timer->id, 0, timer->user, 0, 0);
            lock.lock();
            timer->running = false;
            ++timer->ran;
            timer->changed.notify_all();
            continue;
        }
        bool frozen = IsClockFrozen();
        if (frozen) {
            if (!timer->frozenBase) Rebase(*timer, timeGetTime(), true);
            timer->changed.wait_for(lock, std::chrono::milliseconds(10));
            continue;
        }
        if (timer->frozenBase) Rebase(*timer, timeGetTime(), false);
        auto wait = static_cast<int32_t>(timer->nextDue - timeGetTime());
        if (wait > 0) {
            timer->changed.wait_for(lock, std::chrono::milliseconds(std::min(wait, 10)));
            continue;
        }
        lock.unlock();
        timer->callback(timer->id, 0, timer->user, 0, 0);
        lock.lock();
        timer->nextDue += timer->delay;
        DWORD now = timeGetTime();
        // Ticks a slow callback overran are dropped, not run in a burst.
        if (static_cast<int32_t>(now - timer->nextDue) >= 0) timer->nextDue = now + timer->delay;
    }
}

} // namespace

UINT TimerTable::Start(UINT delay, LPTIMECALLBACK callback, DWORD_PTR user) {
    auto timer = std::make_shared<Timer>();
    timer->delay = delay;
    timer->callback = callback;
    timer->user = user;
    Rebase(*timer, timeGetTime(), IsClockFrozen());
    std::lock_guard lock(lock_);
    if (shutDown_) return 0;
    do {
        ++lastId_;
    } while (lastId_ == 0 || timers_.count(lastId_));
    timer->id = lastId_;
    {
        // The thread may not look at the timer before it is complete.
        std::lock_guard timerLock(timer->lock);
        timer->thread = std::thread([timer] { RunTimer(timer); });
        timer->threadId = timer->thread.get_id();
    }
    timers_[timer->id] = timer;
    return timer->id;
}

MMRESULT TimerTable::Kill(UINT id) {
    std::shared_ptr<Timer> timer;
    {
        std::lock_guard lock(lock_);
        auto found = timers_.find(id);
        if (found == timers_.end()) return MMSYSERR_INVALPARAM;
        timer = found->second;
        timers_.erase(found);
    }
    {
        std::lock_guard lock(timer->lock);
        timer->stop = true;
    }
    timer->changed.notify_all();
    // From inside its own callback the thread ends when the callback returns.
    if (timer->threadId == std::this_thread::get_id())
        timer->thread.detach();
    else
        timer->thread.join();
    return TIMERR_NOERROR;
}

void TimerTable::ShutDown() {
    std::vector<UINT> ids;
    {
        std::lock_guard lock(lock_);
        shutDown_ = true;
        for (auto& entry : timers_)
            ids.push_back(entry.first);
    }
    for (UINT id : ids)
        Kill(id);
}

bool TimerTable::NextDue(DWORD from, DWORD to, DWORD* due) {
    std::lock_guard lock(lock_);
    bool found = false;
    for (auto& [id, timer] : timers_) {
        std::lock_guard timerLock(timer->lock);
        if (!timer->frozenBase) Rebase(*timer, from, true);
        DWORD when = timer->nextDue;
        if (static_cast<int32_t>(when - from) <= 0) when = from + 1;
        if (static_cast<int32_t>(when - to) > 0) continue;
        if (!found || static_cast<int32_t>(when - *due) < 0) *due = when;
        found = true;
    }
    return found;
}

void TimerTable::RunDue(DWORD now) {
    std::vector<std::shared_ptr<Timer>> timers;
    {
        std::lock_guard lock(lock_);
        for (auto& entry : timers_)
            timers.push_back(entry.second);
    }
    for (auto& timer : timers) {
        std::unique_lock lock(timer->lock);
        // A tick moving the clock from inside a callback cannot wait for its own thread.
        if (timer->threadId == std::this_thread::get_id()) continue;
        while (!timer->stop && static_cast<int32_t>(now - timer->nextDue) >= 0) {
            timer->nextDue += timer->delay;
            uint64_t wanted = ++timer->asked;
            timer->changed.notify_all();
            // A callback that kills its own timer still finishes the tick.
            timer->changed.wait(
                lock, [&] { return timer->ran >= wanted || (timer->stop && !timer->running); });
        }
    }
}

} // namespace platform::sound
