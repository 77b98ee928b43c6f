#include "platform/user/windows.h"

#include "platform/user/window_table.h"

BOOL IsWindow(HWND handle) {
    std::lock_guard lock(platform::WindowLock());
    return platform::LookupWindowLocked(handle) ? TRUE : FALSE;
}
