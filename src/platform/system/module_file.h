// The path of the running program, as a Windows path through the drive mapping
// (drives.h). Tests can make it report another file (test_hooks.h).
#pragma once

#include "platform/kernel/win_types.h"

// Only the program itself is known: `module` must be 0 (else 0 with
// ERROR_MOD_NOT_FOUND). Returns the length copied. When the path does not fit it is cut
// to size - 1 bytes, terminated, and the result is `size` with ERROR_INSUFFICIENT_BUFFER.
// 0 with ERROR_FILE_NOT_FOUND when no drive holds the program's folder.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
