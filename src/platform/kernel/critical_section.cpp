#include <atomic>
#include <mutex>

#include "platform/kernel/sync.h"
#include "platform/kernel/threads.h"

// Recursion is counted here, over a plain mutex, so that only the owner can leave: the
// owner field is written only by the owning thread, and any other thread reading it
// sees a value that is not its own id.
struct CRITICAL_SECTION::State {
    std::mutex lock;
    std::atomic<DWORD> owner{0};
    DWORD recursion = 0;
};

namespace {

bool ReEnter(CRITICAL_SECTION::State& state, DWORD threadId) {
    if (state.owner.load(std::memory_order_relaxed) != threadId) return false;
    ++state.recursion;
    return true;
}

void TakeOwnership(CRITICAL_SECTION::State& state, DWORD threadId) {
    state.owner.store(threadId, std::memory_order_relaxed);
    state.recursion = 1;
}

} // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION section) {
    section->state = new CRITICAL_SECTION::State;
}

void EnterCriticalSection(LPCRITICAL_SECTION section) {
    CRITICAL_SECTION::State& state = *section->state;
    const DWORD threadId = GetCurrentThreadId();
    if (ReEnter(state, threadId)) return;
    state.lock.lock();
    TakeOwnership(state, threadId);
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) {
    CRITICAL_SECTION::State& state = *section->state;
    const DWORD threadId = GetCurrentThreadId();
    if (ReEnter(state, threadId)) return TRUE;
    if (!state.lock.try_lock()) return FALSE;
    TakeOwnership(state, threadId);
    return TRUE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION section) {
    CRITICAL_SECTION::State& state = *section->state;
    if (state.owner.load(std::memory_order_relaxed) != GetCurrentThreadId()) return;
    if (--state.recursion != 0) return;
    state.owner.store(0, std::memory_order_relaxed);
    state.lock.unlock();
}

void DeleteCriticalSection(LPCRITICAL_SECTION section) {
    delete section->state;
    section->state = nullptr;
}
