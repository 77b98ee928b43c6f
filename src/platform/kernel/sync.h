// Critical sections, events, mutexes, semaphores and waiting, with Win32 semantics.
// Events, mutexes and semaphores are kernel handles, closed with CloseHandle.
#pragma once

#include "platform/kernel/win_types.h"

inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_ABANDONED = 0x80;
inline constexpr DWORD WAIT_TIMEOUT = 0x102;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
inline constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

// A recursive lock owned by one thread at a time. The storage is ours, opaque to callers:
// InitializeCriticalSection allocates it and DeleteCriticalSection frees it. Leaving a
// section the calling thread does not own does nothing.
struct CRITICAL_SECTION {
    struct State;
    State* state = nullptr;
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

void InitializeCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);

// Names are accepted for signature compatibility; objects are never shared by name.
HANDLE CreateEventA(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initialState,
                    LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES security, BOOL initialOwner, LPCSTR name);
// Fails with ERROR_NOT_OWNER when the calling thread does not own the mutex.
BOOL ReleaseMutex(HANDLE mutex);
HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES security, LONG initialCount, LONG maximumCount,
                        LPCSTR name);
// *previousCount (when given) receives the count before the release. Fails with
// ERROR_TOO_MANY_POSTS, changing nothing, when the count would pass the maximum.
BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LPLONG previousCount);

// Waits on events, mutexes, semaphores and threads: WAIT_OBJECT_0 + i for the signalled
// object i, WAIT_ABANDONED + i for a mutex whose owner thread ended without releasing it
// (the caller now owns it), WAIT_TIMEOUT, or WAIT_FAILED with ERROR_INVALID_HANDLE for a
// handle of another kind or none. With waitAll, all objects are taken at once or none;
// naming one object twice then fails with ERROR_INVALID_PARAMETER. Time-outs are real
// time even while the test clock is frozen.
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL waitAll, DWORD milliseconds);
