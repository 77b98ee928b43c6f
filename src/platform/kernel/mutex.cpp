#include <algorithm>
#include <vector>

#include "platform/kernel/errors.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/waitable.h"

namespace {

class Mutex;

// The mutexes the current thread owns, so that the thread's end can abandon them;
// this works for every thread, however it was started.
class OwnedMutexes {
public:
    ~OwnedMutexes() { AbandonAll(); }
    void Add(const std::shared_ptr<Mutex>& mutex) { mutexes_.push_back(mutex); }
    void Remove(const Mutex* mutex);
    void AbandonAll();

private:
    std::vector<std::weak_ptr<Mutex>> mutexes_; // touched only by its own thread
};

thread_local OwnedMutexes ownedMutexes;

// Ownership is tracked by thread id and guarded by the wait hub.
class Mutex : public platform::Waitable, public std::enable_shared_from_this<Mutex> {
public:
    bool IsSignalledFor(DWORD threadId) const override { return owner == 0 || owner == threadId; }
    bool Acquire(DWORD threadId) override {
        if (owner == threadId) {
            ++recursion;
            return false;
        }
        owner = threadId;
        recursion = 1;
        ownedMutexes.Add(shared_from_this());
        bool wasAbandoned = abandoned;
        abandoned = false;
        return wasAbandoned;
    }

    DWORD owner = 0;
    DWORD recursion = 0;
    bool abandoned = false;
};

void OwnedMutexes::Remove(const Mutex* mutex) {
    std::erase_if(mutexes_, [mutex](const std::weak_ptr<Mutex>& owned) {
        auto locked = owned.lock();
        return !locked || locked.get() == mutex;
    });
}

void OwnedMutexes::AbandonAll() {
    if (mutexes_.empty()) return;
    const DWORD threadId = GetCurrentThreadId();
    platform::WaitHub& hub = platform::GetWaitHub();
    std::lock_guard guard(hub.lock);
    for (const std::weak_ptr<Mutex>& owned : mutexes_) {
        auto mutex = owned.lock();
        if (!mutex || mutex->owner != threadId) continue;
        mutex->owner = 0;
        mutex->recursion = 0;
        mutex->abandoned = true;
    }
    mutexes_.clear();
    hub.NotifyAll();
}

} // namespace

namespace platform {

void AbandonOwnedMutexes() {
    ownedMutexes.AbandonAll();
}

} // namespace platform

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR) {
    auto mutex = std::make_shared<Mutex>();
    if (initialOwner) {
        std::lock_guard guard(platform::GetWaitHub().lock);
        mutex->Acquire(GetCurrentThreadId());
    }
    return platform::RegisterObject(mutex);
}

BOOL ReleaseMutex(HANDLE mutex) {
    auto object = platform::LookupObjectAs<Mutex>(mutex);
    if (!object) return FALSE;
    const DWORD threadId = GetCurrentThreadId();
    platform::WaitHub& hub = platform::GetWaitHub();
    std::lock_guard guard(hub.lock);
    if (object->owner != threadId) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    if (--object->recursion == 0) {
        object->owner = 0;
        ownedMutexes.Remove(object.get());
        hub.NotifyAll();
    }
    return TRUE;
}
