// The one process-wide lock of the script runtime: the System class's download list and
// the tray-icon list are guarded by it. It is recursive: a thread that holds it may take
// it again.
#pragma once

#include "platform/kernel/sync.h"

CRITICAL_SECTION& GetProcessLock();

// Holds the process-wide lock for a scope.
class ProcessLockGuard {
public:
    ProcessLockGuard() { EnterCriticalSection(&GetProcessLock()); }
    ~ProcessLockGuard() { LeaveCriticalSection(&GetProcessLock()); }
    ProcessLockGuard(const ProcessLockGuard&) = delete;
    ProcessLockGuard& operator=(const ProcessLockGuard&) = delete;
};
