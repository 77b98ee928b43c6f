// The environment as Windows programs read it: names are compared without regard to case,
// values are Windows-1252, and the variables every Windows session has (TEMP, TMP, WINDIR,
// SYSTEMROOT, USERPROFILE, USERNAME, COMPUTERNAME) get Windows values when the Linux
// environment does not set them, so that "%TEMP%\name" names a file here too.
#pragma once

#include "platform/kernel/win_types.h"

inline constexpr DWORD ERROR_ENVVAR_NOT_FOUND = 203;

// The value's length when it fits in `size` bytes with its terminator; else the size
// needed (terminator included) and nothing written. 0 with ERROR_ENVVAR_NOT_FOUND when
// the variable is not set.
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);
// Replaces every %NAME% of a set variable by its value; an unknown name and a lone '%'
// stay as written. The size needed, terminator included; the text is written only when
// it fits in `size` bytes. 0 with ERROR_INVALID_PARAMETER for a null source.
DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR destination, DWORD size);
