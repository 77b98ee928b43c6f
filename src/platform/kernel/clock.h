// Millisecond clocks. timeGetTime and GetTickCount are the same monotonic clock, counting
// from an arbitrary start and wrapping at 2^32 (about every 49.7 days). Compare times
// only through signed 32-bit differences, (int32_t)(later - earlier), which stay right
// across the wrap for intervals under 2^31 ms; never compare two readings directly.
// Tests can freeze the clock (test_hooks.h).
#pragma once

#include "platform/kernel/win_types.h"

DWORD timeGetTime();
DWORD GetTickCount();
// Sleep(0) gives the rest of the time slice to other threads.
void Sleep(DWORD milliseconds);

namespace platform {
// True while a test holds the clock frozen: waits then advance it instead of blocking.
bool IsClockFrozen();
// Paced sound outputs and multimedia timers follow the test clock through this: AdvanceClock
// calls it on the advancing thread with the clock's old and new values before returning.
void SetClockAdvanceHook(void (*hook)(DWORD from, DWORD to));
// A reading never earlier than timeGetTime() at the same moment, later by a few
// milliseconds at most, and cheaper to take: enough to see that nothing timed can be due
// yet. Whatever is done at a time reads timeGetTime(). Exact while the clock is frozen.
DWORD LatestClockBound();
} // namespace platform
