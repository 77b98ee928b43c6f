// The process's memory statistics, for any thread. Users open the statistics before
// asking and close them when done; the first user makes sure they can be read.
#pragma once

#include "platform/system/process_memory.h"

// 1 and one user more, or 0 (not counted) when the statistics cannot be read.
int OpenProcessMemoryInfo();
// One user less; a close without an open changes nothing. Always 1.
int CloseProcessMemoryInfo();
// Fills `counters` (sizes in bytes): 1, or 0 when no user has the statistics open or
// they cannot be read.
int GetProcessMemoryUsage(PROCESS_MEMORY_COUNTERS* counters);
