// Text for a debugger. With no debugger to hear it, it goes to standard error (as UTF-8)
// while the environment variable ZORV_DEBUG_OUTPUT is set and not empty, and nowhere
// otherwise.
#pragma once

#include "platform/kernel/win_types.h"

// `text` is Windows-1252; null writes nothing.
void OutputDebugStringA(LPCSTR text);
