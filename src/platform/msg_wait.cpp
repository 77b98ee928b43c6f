#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <mutex>

#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/message_queue.h"
#include "platform/messages.h"
#include "platform/threads.h"
#include "platform/waitable.h"

namespace {

using platform::Waitable;
using WaitSet = std::array<std::shared_ptr<Waitable>, MAXIMUM_WAIT_OBJECTS>;

// One attempt with the hub locked: the wait's result, or WAIT_TIMEOUT when it cannot be
// satisfied yet. Handles come before the message, as their indexes do.
DWORD TryWait(const WaitSet& objects, DWORD count, bool waitAll, bool messageWaiting,
              DWORD threadId) {
    if (!waitAll) {
        for (DWORD i = 0; i < count; ++i) {
            if (!objects[i]->IsSignalledFor(threadId)) continue;
            return (objects[i]->Acquire(threadId) ? WAIT_ABANDONED : WAIT_OBJECT_0) + i;
        }
        return messageWaiting ? WAIT_OBJECT_0 + count : WAIT_TIMEOUT;
    }
    if (!messageWaiting) return WAIT_TIMEOUT;
    for (DWORD i = 0; i < count; ++i)
        if (!objects[i]->IsSignalledFor(threadId)) return WAIT_TIMEOUT;
    DWORD result = WAIT_OBJECT_0;
    for (DWORD i = 0; i < count; ++i)
        if (objects[i]->Acquire(threadId) && result == WAIT_OBJECT_0) result = WAIT_ABANDONED + i;
    return result;
}

} // namespace

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                DWORD milliseconds, DWORD wakeMask) {
    // One index stays free for the message, as WAIT_OBJECT_0 + count.
    if (count >= MAXIMUM_WAIT_OBJECTS || (count > 0 && !handles)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    // Held for the whole wait, so another thread closing a handle cannot pull an object
    // away from under us.
    WaitSet waitables;
    for (DWORD i = 0; i < count; ++i) {
        waitables[i] = platform::LookupObjectAs<Waitable>(handles[i]);
        if (!waitables[i]) return WAIT_FAILED;
        if (waitAll && std::find(waitables.begin(), waitables.begin() + i, waitables[i]) !=
                           waitables.begin() + i) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return WAIT_FAILED;
        }
    }

    const DWORD threadId = GetCurrentThreadId();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    platform::WaitHub& hub = platform::GetWaitHub();
    std::unique_lock lock(hub.lock);
    platform::MessageQueue& queue = platform::CurrentThreadQueueLocked();
    for (;;) {
        bool messageWaiting = wakeMask != 0 && (!queue.posted.empty() || queue.quitPending);
        DWORD result = TryWait(waitables, count, waitAll != FALSE, messageWaiting, threadId);
        if (result != WAIT_TIMEOUT) return result;
        if (milliseconds == INFINITE) {
            hub.changed.wait(lock);
            continue;
        }
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return WAIT_TIMEOUT;
        if (platform::IsClockFrozen()) {
            lock.unlock();
            Sleep(milliseconds); // a frozen clock only moves forward by the wait
            return WAIT_TIMEOUT;
        }
        hub.changed.wait_until(lock, deadline);
    }
}
