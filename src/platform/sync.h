// Critical sections, events, mutexes, semaphores and waiting, with Win32 semantics.
// Events, mutexes and semaphores are kernel handles, closed with CloseHandle.
#pragma once

#include <memory>

#include "platform/win_types.h"

inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_ABANDONED = 0x80;
inline constexpr DWORD WAIT_TIMEOUT = 0x102;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

// A recursive lock owned by one thread at a time. The storage is ours, opaque to callers.
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
// Fails with ERROR_TOO_MANY_POSTS when the count would pass the maximum.
BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LPLONG previousCount);

// Waits on an event, mutex, semaphore or thread. A mutex whose owner thread ended
// without releasing it is acquired with WAIT_ABANDONED.
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL waitAll,
                             DWORD milliseconds);
