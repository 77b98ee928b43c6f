#include "platform/kernel/com.h"

namespace {

thread_local DWORD initializations = 0;

} // namespace

HRESULT CoInitialize(LPVOID) {
    return initializations++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (initializations > 0) --initializations;
}
