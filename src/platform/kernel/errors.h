// The calling thread's last Win32 error code. Every failing call of the layer sets one
// of the ERROR_ codes of win_types.h, never an errno value.
#pragma once

#include "platform/kernel/win_types.h"

DWORD GetLastError();
void SetLastError(DWORD errorCode);
