#include "platform/kernel/errors.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/waitable.h"

namespace {

class Semaphore : public platform::Waitable {
public:
    Semaphore(LONG count, LONG maximum) : count(count), maximum(maximum) {}

    bool IsSignalledFor(DWORD) const override { return count > 0; }
    bool Acquire(DWORD) override {
        --count;
        return false;
    }

    LONG count; // guarded by the wait hub
    const LONG maximum;
};

} // namespace

HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES, LONG initialCount, LONG maximumCount, LPCSTR) {
    if (maximumCount <= 0 || initialCount < 0 || initialCount > maximumCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return platform::RegisterObject(std::make_shared<Semaphore>(initialCount, maximumCount));
}

BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LPLONG previousCount) {
    auto object = platform::LookupObjectAs<Semaphore>(semaphore);
    if (!object) return FALSE;
    if (releaseCount <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    platform::WaitHub& hub = platform::GetWaitHub();
    std::lock_guard guard(hub.lock);
    if (releaseCount > object->maximum - object->count) {
        SetLastError(ERROR_TOO_MANY_POSTS);
        return FALSE;
    }
    if (previousCount) *previousCount = object->count;
    object->count += releaseCount;
    hub.NotifyAll();
    return TRUE;
}
