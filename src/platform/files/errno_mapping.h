// The one translation of Linux errno values into Win32 error codes.
#pragma once

#include <string>

#include "platform/kernel/win_types.h"

namespace platform {

// The Win32 code for `error`. A missing entry (ENOENT) is ERROR_FILE_NOT_FOUND when the
// folder that should hold `linuxPath` exists and ERROR_PATH_NOT_FOUND otherwise; with no
// path given it is ERROR_FILE_NOT_FOUND. Values without a closer match give
// ERROR_GEN_FAILURE, so an errno value never reaches GetLastError.
DWORD Win32ErrorFromErrno(int error, const std::string& linuxPath = std::string());

// Sets the thread's last error from `error` (see above); returns false for the caller's
// failure path.
bool FailWithErrno(int error, const std::string& linuxPath = std::string());
bool Fail(DWORD win32Error);

} // namespace platform
