// Threads as kernel handles. A thread handle is signalled when the thread ends; closing
// it does not stop the thread, and a thread still running when the process exits is
// simply ended with it.
#pragma once

#include "platform/kernel/win_types.h"

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);

inline constexpr DWORD STILL_ACTIVE = 0x103;
inline constexpr DWORD CREATE_SUSPENDED = 0x4;

// A stack size below the system's default gives the default, as on Windows, where the
// size only ever enlarges the stack. The routine's return value is the exit code.
HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize,
                    LPTHREAD_START_ROUTINE startAddress, LPVOID parameter, DWORD creationFlags,
                    LPDWORD threadId);
// Returns the previous suspend count, or 0xFFFFFFFF on failure.
DWORD ResumeThread(HANDLE thread);
// STILL_ACTIVE while the thread runs.
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
// Non-zero, fixed for the thread's life, the id CreateThread reported for it. Threads not
// started by CreateThread get theirs on first use.
DWORD GetCurrentThreadId();
