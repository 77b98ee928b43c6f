#include <algorithm>
#include <cstring>

#include "platform/kernel/errors.h"
#include "platform/kernel/threads.h"
#include "platform/user/window_table.h"

namespace {

using platform::WindowPtr;

// The window, and whether it belongs to the calling thread (which then asks its
// procedure).
WindowPtr Find(HWND handle, bool& own) {
    WindowPtr window = platform::LookupWindow(handle);
    own = window && window->threadId == GetCurrentThreadId();
    return window;
}

} // namespace

BOOL SetWindowTextA(HWND handle, LPCSTR text) {
    WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return FALSE;
    return platform::Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextA(HWND handle, LPSTR buffer, int maxCount) {
    if (buffer == nullptr || maxCount <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    buffer[0] = '\0';
    bool own = false;
    WindowPtr window = Find(handle, own);
    if (!window) return 0;
    if (own) {
        LRESULT copied = platform::Send(window, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                        reinterpret_cast<LPARAM>(buffer));
        return static_cast<int>(std::clamp<LRESULT>(copied, 0, maxCount - 1));
    }
    std::lock_guard lock(platform::WindowLock());
    size_t count = std::min(window->text.size(), static_cast<size_t>(maxCount - 1));
    std::memcpy(buffer, window->text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

int GetWindowTextLengthA(HWND handle) {
    bool own = false;
    WindowPtr window = Find(handle, own);
    if (!window) return 0;
    if (own) return static_cast<int>(platform::Send(window, WM_GETTEXTLENGTH));
    std::lock_guard lock(platform::WindowLock());
    return static_cast<int>(window->text.size());
}
