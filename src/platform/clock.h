// Millisecond clocks. Both count from an arbitrary start and wrap at 2^32; compare
// times only through signed 32-bit differences: (int32_t)(later - earlier).
#pragma once

#include "platform/win_types.h"

DWORD timeGetTime();
DWORD GetTickCount();
void Sleep(DWORD milliseconds);
