#include "platform/kernel/threads.h"

#include <pthread.h>

#include <atomic>
#include <memory>

#include "platform/kernel/errors.h"
#include "platform/kernel/waitable.h"

namespace {

std::atomic<DWORD> lastThreadId{0};
thread_local DWORD currentThreadId = 0;

// Multiples of 4 like Windows thread ids; 0 is skipped when the counter wraps.
DWORD NewThreadId() {
    DWORD id = 0;
    while (id == 0)
        id = lastThreadId.fetch_add(4) + 4;
    return id;
}

class Thread : public platform::Waitable {
public:
    Thread(LPTHREAD_START_ROUTINE routine, LPVOID parameter, DWORD id, DWORD suspendCount)
        : routine(routine), parameter(parameter), id(id), suspendCount(suspendCount) {}

    bool IsSignalledFor(DWORD) const override { return ended; }
    bool Acquire(DWORD) override { return false; }

    const LPTHREAD_START_ROUTINE routine;
    const LPVOID parameter;
    const DWORD id;
    // Guarded by the wait hub.
    DWORD suspendCount;
    bool ended = false;
    DWORD exitCode = STILL_ACTIVE;
};

void* RunThread(void* argument) {
    std::shared_ptr<Thread> thread;
    {
        std::unique_ptr<std::shared_ptr<Thread>> owned(
            static_cast<std::shared_ptr<Thread>*>(argument));
        thread = std::move(*owned);
    }
    currentThreadId = thread->id;
    platform::WaitHub& hub = platform::GetWaitHub();
    {
        std::unique_lock lock(hub.lock);
        hub.changed.wait(lock, [&thread] { return thread->suspendCount == 0; });
    }
    DWORD exitCode = thread->routine(thread->parameter);
    // Mutexes first, so whoever sees the thread ended also sees them abandoned.
    platform::AbandonOwnedMutexes();
    std::lock_guard guard(hub.lock);
    thread->exitCode = exitCode;
    thread->ended = true;
    hub.NotifyAll();
    return nullptr;
}

// Starts the detached system thread; false when the system refuses.
bool StartThread(const std::shared_ptr<Thread>& thread, SIZE_T stackSize) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    size_t defaultSize = 0;
    if (pthread_attr_getstacksize(&attributes, &defaultSize) == 0 && stackSize > defaultSize)
        pthread_attr_setstacksize(&attributes, stackSize);
    auto* argument = new std::shared_ptr<Thread>(thread);
    pthread_t system;
    int result = pthread_create(&system, &attributes, RunThread, argument);
    pthread_attr_destroy(&attributes);
    if (result == 0) return true;
    delete argument;
    return false;
}

} // namespace

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T stackSize, LPTHREAD_START_ROUTINE startAddress,
                    LPVOID parameter, DWORD creationFlags, LPDWORD threadId) {
    if (!startAddress) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto thread = std::make_shared<Thread>(startAddress, parameter, NewThreadId(),
                                           (creationFlags & CREATE_SUSPENDED) ? 1 : 0);
    HANDLE handle = platform::RegisterObject(thread);
    if (handle == 0) return 0;
    if (!StartThread(thread, stackSize)) {
        platform::UnregisterObject(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    if (threadId) *threadId = thread->id;
    return handle;
}

DWORD ResumeThread(HANDLE thread) {
    auto object = platform::LookupObjectAs<Thread>(thread);
    if (!object) return 0xFFFFFFFFu;
    platform::WaitHub& hub = platform::GetWaitHub();
    std::lock_guard guard(hub.lock);
    DWORD previous = object->suspendCount;
    if (previous != 0 && --object->suspendCount == 0) hub.NotifyAll();
    return previous;
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
    auto object = platform::LookupObjectAs<Thread>(thread);
    if (!object) return FALSE;
    if (!exitCode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard guard(platform::GetWaitHub().lock);
    *exitCode = object->ended ? object->exitCode : STILL_ACTIVE;
    return TRUE;
}

DWORD GetCurrentThreadId() {
    if (currentThreadId == 0) currentThreadId = NewThreadId();
    return currentThreadId;
}
