#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/kernel/clock.h"
#include "platform/kernel/errors.h"
#include "platform/user/input/input_routing.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/waitable.h"

namespace platform {
namespace {

struct Timer {
    DWORD threadId;
    HWND window;
    UINT_PTR id;
    DWORD interval;
    DWORD due;
    TIMERPROC procedure;
};

// Guarded by the hub's lock. Outlives static destructors, as the queues do.
std::vector<Timer>& Timers() {
    static auto* timers = new std::vector<Timer>;
    return *timers;
}

UINT_PTR nextThreadTimerId = 1;

// Signed, so that the wrap of the clock does not matter.
int32_t Until(DWORD due, DWORD now) {
    return static_cast<int32_t>(due - now);
}

// Timers of ended threads and of destroyed windows go. Needs the hub locked; takes the
// window lock after it.
void DropStaleLocked() {
    std::lock_guard lock(WindowLock());
    std::erase_if(Timers(), [](const Timer& timer) {
        if (!FindThreadQueueLocked(timer.threadId)) return true;
        if (timer.window >= FIRST_WINDOW_HANDLE) {
            WindowPtr window = LookupWindowLocked(timer.window);
            return !window || window->destroying;
        }
        return false;
    });
}

bool PassesLocked(const Timer& timer, HWND window, UINT filterMin, UINT filterMax) {
    if (!(filterMin == 0 && filterMax == 0) && (WM_TIMER < filterMin || WM_TIMER > filterMax))
        return false;
    if (window == 0 || timer.window == window) return true;
    std::lock_guard lock(WindowLock());
    return IsDescendantLocked(window, timer.window);
}

// The calling thread's timer passing the filters that falls due first.
Timer* FirstLocked(HWND window, UINT filterMin, UINT filterMax) {
    DropStaleLocked();
    DWORD self = GetCurrentThreadId();
    DWORD now = timeGetTime();
    Timer* first = nullptr;
    for (Timer& timer : Timers()) {
        if (timer.threadId != self || !PassesLocked(timer, window, filterMin, filterMax)) continue;
        if (!first || Until(timer.due, now) < Until(first->due, now)) first = &timer;
    }
    return first;
}

Timer* FindLocked(HWND window, UINT_PTR id, DWORD threadId) {
    for (Timer& timer : Timers())
        if (timer.window == window && timer.id == id && timer.threadId == threadId) return &timer;
    return nullptr;
}

} // namespace

bool TakeTimerMessageLocked(MSG& msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    Timer* timer = FirstLocked(window, filterMin, filterMax);
    DWORD now = timeGetTime();
    if (!timer || Until(timer->due, now) > 0) return false;
    POINT cursor{};
    GetCursorPos(&cursor);
    msg = MSG{timer->window, WM_TIMER, timer->id, reinterpret_cast<LPARAM>(timer->procedure),
              now,           cursor};
    if (remove) timer->due = now + timer->interval;
    return true;
}

bool TimerDueLocked() {
    Timer* timer = FirstLocked(0, 0, 0);
    return timer && Until(timer->due, timeGetTime()) <= 0;
}

DWORD NextTimerDelayLocked(HWND window, UINT filterMin, UINT filterMax) {
    Timer* timer = FirstLocked(window, filterMin, filterMax);
    if (!timer) return INFINITE;
    return static_cast<DWORD>(std::max(0, Until(timer->due, timeGetTime())));
}

void WaitForMessageLocked(std::unique_lock<std::mutex>& lock, HWND window, UINT filterMin,
                          UINT filterMax) {
    DWORD delay = NextTimerDelayLocked(window, filterMin, filterMax);
    if (delay == INFINITE) {
        GetWaitHub().changed.wait(lock);
        return;
    }
    if (IsClockFrozen()) {
        Sleep(delay); // a frozen clock only moves forward by the wait
        return;
    }
    GetWaitHub().changed.wait_for(lock, std::chrono::milliseconds(delay));
}

LRESULT DispatchTimerProcedure(const MSG& msg) {
    TIMERPROC procedure = nullptr;
    {
        std::lock_guard lock(GetWaitHub().lock);
        Timer* timer = FindLocked(msg.hwnd, msg.wParam, GetCurrentThreadId());
        if (timer && reinterpret_cast<LPARAM>(timer->procedure) == msg.lParam)
            procedure = timer->procedure;
    }
    if (procedure) procedure(msg.hwnd, WM_TIMER, msg.wParam, timeGetTime());
    return 0;
}

} // namespace platform

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
    if (window != 0 && !platform::LookupOwnWindow(window)) return 0;
    DWORD interval = std::clamp(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    DWORD self = GetCurrentThreadId();
    std::lock_guard lock(platform::GetWaitHub().lock);
    platform::CurrentThreadQueueLocked();
    platform::DropStaleLocked();
    auto& timers = platform::Timers();
    DWORD due = timeGetTime() + interval;
    if (window == 0 && (id == 0 || !platform::FindLocked(0, id, self))) {
        do {
            id = platform::nextThreadTimerId++;
            if (platform::nextThreadTimerId == 0) platform::nextThreadTimerId = 1;
        } while (id == 0 || std::any_of(timers.begin(), timers.end(), [id](const auto& timer) {
                     return timer.window == 0 && timer.id == id;
                 }));
    }
    if (platform::Timer* existing = platform::FindLocked(window, id, self)) {
        existing->interval = interval;
        existing->due = due;
        existing->procedure = procedure;
    } else {
        timers.push_back(platform::Timer{self, window, id, interval, due, procedure});
    }
    platform::GetWaitHub().NotifyAll();
    return window != 0 && id == 0 ? 1 : id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    std::lock_guard lock(platform::GetWaitHub().lock);
    auto& timers = platform::Timers();
    DWORD self = GetCurrentThreadId();
    auto found = std::find_if(timers.begin(), timers.end(), [&](const auto& timer) {
        return timer.window == window && timer.id == id && timer.threadId == self;
    });
    if (found == timers.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    timers.erase(found);
    return TRUE;
}
