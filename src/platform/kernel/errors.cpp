#include "platform/kernel/errors.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

DWORD GetLastError() {
    return lastError;
}

void SetLastError(DWORD errorCode) {
    lastError = errorCode;
}
