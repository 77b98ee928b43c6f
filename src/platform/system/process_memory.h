// Memory statistics of the running process, as the system's process-status calls give
// them, read from what Linux reports of the process: the working set is the resident
// set, the page-file usage the whole address space the process has mapped.
#pragma once

#include "platform/kernel/win_types.h"

struct PROCESS_MEMORY_COUNTERS {
    DWORD cb;
    DWORD PageFaultCount;
    SIZE_T PeakWorkingSetSize;
    SIZE_T WorkingSetSize;
    SIZE_T QuotaPeakPagedPoolUsage;
    SIZE_T QuotaPagedPoolUsage;
    SIZE_T QuotaPeakNonPagedPoolUsage;
    SIZE_T QuotaNonPagedPoolUsage;
    SIZE_T PagefileUsage;
    SIZE_T PeakPagefileUsage;
};

// A pseudo-handle that names the calling process; it needs no closing.
HANDLE GetCurrentProcess();

// Sizes in bytes; the pool usages are 0 (Linux has no such pools). Only the calling
// process can be asked about (else ERROR_INVALID_HANDLE); cb below
// sizeof(PROCESS_MEMORY_COUNTERS) gives ERROR_INSUFFICIENT_BUFFER, and statistics that
// cannot be read ERROR_GEN_FAILURE.
BOOL GetProcessMemoryInfo(HANDLE process, PROCESS_MEMORY_COUNTERS* counters, DWORD cb);
