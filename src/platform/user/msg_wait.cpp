#include <algorithm>
#include <chrono>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/display/display_backend.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/descriptor_wait.h"
#include "platform/kernel/errors.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/waitable.h"
#include "platform/user/input/input_routing.h"
#include "platform/user/message_queue.h"
#include "platform/user/messages.h"
#include "platform/user/paint/paint_hooks.h"

namespace {

// Handles come before the message, as their indexes do.
DWORD TryWait(const platform::WaitSet& objects, DWORD count, bool waitAll, bool messageWaiting,
              DWORD threadId) {
    if (waitAll) {
        return messageWaiting ? platform::TryAcquire(objects, count, true, threadId) : WAIT_TIMEOUT;
    }
    DWORD result = platform::TryAcquire(objects, count, false, threadId);
    if (result != WAIT_TIMEOUT || !messageWaiting) return result;
    return WAIT_OBJECT_0 + count;
}

// MsgWaitForMultipleObjects, also ending with WAIT_OBJECT_0 + count + 1 when one of
// `descriptors` (if given) is ready.
DWORD MsgWait(const platform::WaitSet& waitables, DWORD count, BOOL waitAll, DWORD milliseconds,
              DWORD wakeMask, std::vector<pollfd>* descriptors) {
    const DWORD threadId = GetCurrentThreadId();
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    std::optional<DWORD> frozenStart;
    if (platform::IsClockFrozen()) frozenStart = timeGetTime();
    platform::PumpDisplay(true);
    // A display that hears of the user by itself is pumped at least every slice.
    const DWORD slice = platform::ActiveDisplay().PumpInterval();
    platform::WaitHub& hub = platform::GetWaitHub();
    std::unique_lock lock(hub.lock);
    auto pumpAfterWait = [&] {
        if (slice == INFINITE) return;
        lock.unlock();
        platform::PumpDisplay(true);
        lock.lock();
    };
    using Clock = std::chrono::steady_clock;
    // Sleeps on the hub, and on the descriptors when there are some: true when one is ready.
    auto sleep = [&](std::optional<Clock::time_point> until) {
        if (descriptors) return platform::WaitForChangeOrDescriptors(lock, *descriptors, until);
        if (until)
            hub.changed.wait_until(lock, *until);
        else
            hub.changed.wait(lock);
        return false;
    };
    const DWORD descriptorReady = WAIT_OBJECT_0 + count + 1;
    platform::MessageQueue& queue = platform::CurrentThreadQueueLocked();
    for (;;) {
        bool messageWaiting =
            wakeMask != 0 && (!queue.posted.empty() || queue.quitPending ||
                              platform::PaintPendingLocked() || platform::TimerDueLocked());
        DWORD result = TryWait(waitables, count, waitAll != FALSE, messageWaiting, threadId);
        if (result != WAIT_TIMEOUT) return result;
        if (descriptors && platform::DescriptorsReady(*descriptors)) return descriptorReady;
        // A timer falling due is a message arriving.
        DWORD timerDelay = wakeMask != 0 ? platform::NextTimerDelayLocked(0, 0, 0) : INFINITE;
        if (milliseconds == INFINITE) {
            if (slice != INFINITE && timerDelay > slice) {
                if (timerDelay != INFINITE && platform::IsClockFrozen())
                    Sleep(slice); // a frozen clock only moves forward by the wait
                else
                    sleep(Clock::now() + std::chrono::milliseconds(slice));
            } else if (timerDelay == INFINITE) {
                sleep(std::nullopt);
            } else if (descriptors && !platform::IsClockFrozen()) {
                sleep(Clock::now() + std::chrono::milliseconds(timerDelay));
            } else {
                platform::WaitForMessageLocked(lock, 0, 0, 0);
            }
            pumpAfterWait();
            continue;
        }
        if (platform::IsClockFrozen()) {
            // The wait is measured on the frozen clock alone: how long this machine took
            // to get here must not decide whether the clock moves.
            if (!frozenStart) frozenStart = timeGetTime();
            DWORD waited = timeGetTime() - *frozenStart;
            if (waited >= milliseconds) return WAIT_TIMEOUT;
            DWORD left = milliseconds - waited;
            lock.unlock();
            if (timerDelay < left) {
                // The clock moves on to the timer only; the wait then ends with it.
                Sleep(timerDelay);
                lock.lock();
                continue;
            }
            Sleep(left); // a frozen clock only moves forward by the wait
            return WAIT_TIMEOUT;
        }
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return WAIT_TIMEOUT;
        auto until = deadline;
        if (timerDelay != INFINITE)
            until = std::min(until, now + std::chrono::milliseconds(timerDelay));
        if (slice != INFINITE) until = std::min(until, now + std::chrono::milliseconds(slice));
        sleep(until);
        pumpAfterWait();
    }
}

} // namespace

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                DWORD milliseconds, DWORD wakeMask) {
    // One index stays free for the message, as WAIT_OBJECT_0 + count.
    if (count >= MAXIMUM_WAIT_OBJECTS || (count > 0 && !handles)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    platform::WaitSet waitables;
    if (!platform::CollectWaitables(count, handles, waitAll != FALSE, waitables))
        return WAIT_FAILED;
    return MsgWait(waitables, count, waitAll, milliseconds, wakeMask, nullptr);
}

namespace platform {

DWORD MsgWaitForDescriptors(std::vector<pollfd>& descriptors, DWORD milliseconds) {
    return MsgWait(WaitSet{}, 0, FALSE, milliseconds, QS_ALLINPUT, &descriptors);
}

} // namespace platform
