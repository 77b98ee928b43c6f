// Objects a thread can wait on (events, mutexes, semaphores, threads). Internal to the
// platform layer.
//
// All of them share one lock and one condition variable: every state change happens
// under the lock and wakes every waiter, which then checks its own objects again. That
// makes waiting for several objects at once, and taking all of them atomically, simple
// and correct; the layer's waits are few and short-lived, so the shared wake-ups cost
// little.
#pragma once

#include <array>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/kernel/kernel_objects.h"
#include "platform/kernel/sync.h"

namespace platform {

struct WaitHub {
    std::mutex lock;
    std::condition_variable changed;
    // The event descriptors of the waits that sleep in poll() beside other descriptors
    // (descriptor_wait.h) instead of on `changed`.
    std::vector<int> descriptorWakers;

    // Wakes every waiter after a change; called with the lock held.
    void NotifyAll();
};

WaitHub& GetWaitHub();

class Waitable : public KernelObject {
public:
    // Both are called with the hub locked, by the thread `threadId` itself.
    virtual bool IsSignalledFor(DWORD threadId) const = 0;
    // Takes the signalled object (resets an auto-reset event, counts a semaphore down,
    // owns a mutex); true when it was a mutex abandoned by its previous owner.
    virtual bool Acquire(DWORD threadId) = 0;
};

// Marks every mutex the calling thread still owns as abandoned and frees it for the
// next waiter. Runs at the end of every thread; a thread created by CreateThread calls
// it before its handle is signalled.
void AbandonOwnedMutexes();

// The objects of one wait, held for the whole wait so that another thread closing a
// handle cannot pull an object away from under it.
using WaitSet = std::array<std::shared_ptr<Waitable>, MAXIMUM_WAIT_OBJECTS>;

// Looks the handles up; false (error set) for a bad handle, or for one named twice in a
// wait for all.
bool CollectWaitables(DWORD count, const HANDLE* handles, bool waitAll, WaitSet& out);

// One attempt, with the hub locked: the wait result, or WAIT_TIMEOUT when the wait cannot
// be satisfied yet.
DWORD TryAcquire(const WaitSet& objects, DWORD count, bool waitAll, DWORD threadId);

} // namespace platform
