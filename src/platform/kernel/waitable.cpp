#include "platform/kernel/waitable.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <memory>

#include "platform/kernel/errors.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/threads.h"

namespace platform {

WaitHub& GetWaitHub() {
    static WaitHub* hub = new WaitHub; // threads still running at exit keep using it
    return *hub;
}

bool CollectWaitables(DWORD count, const HANDLE* handles, bool waitAll, WaitSet& out) {
    for (DWORD i = 0; i < count; ++i) {
        out[i] = LookupObjectAs<Waitable>(handles[i]);
        if (!out[i]) return false;
        if (waitAll && std::find(out.begin(), out.begin() + i, out[i]) != out.begin() + i) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
    }
    return true;
}

DWORD TryAcquire(const WaitSet& objects, DWORD count, bool waitAll, DWORD threadId) {
    if (!waitAll) {
        for (DWORD i = 0; i < count; ++i) {
            if (!objects[i]->IsSignalledFor(threadId)) continue;
            return (objects[i]->Acquire(threadId) ? WAIT_ABANDONED : WAIT_OBJECT_0) + i;
        }
        return WAIT_TIMEOUT;
    }
    for (DWORD i = 0; i < count; ++i)
        if (!objects[i]->IsSignalledFor(threadId)) return WAIT_TIMEOUT;
    DWORD result = WAIT_OBJECT_0;
    for (DWORD i = 0; i < count; ++i)
        if (objects[i]->Acquire(threadId) && result == WAIT_OBJECT_0) result = WAIT_ABANDONED + i;
    return result;
}

} // namespace platform

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL waitAll, DWORD milliseconds) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !objects) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    platform::WaitSet waitables;
    if (!platform::CollectWaitables(count, objects, waitAll != FALSE, waitables))
        return WAIT_FAILED;

    const DWORD threadId = GetCurrentThreadId();
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    platform::WaitHub& hub = platform::GetWaitHub();
    std::unique_lock lock(hub.lock);
    for (;;) {
        DWORD result = platform::TryAcquire(waitables, count, waitAll != FALSE, threadId);
        if (result != WAIT_TIMEOUT) return result;
        if (milliseconds == INFINITE)
            hub.changed.wait(lock);
        else if (std::chrono::steady_clock::now() >= deadline)
            return WAIT_TIMEOUT;
        else
            hub.changed.wait_until(lock, deadline);
    }
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    return WaitForMultipleObjects(1, &object, FALSE, milliseconds);
}
