#include "platform/kernel/errors.h"
#include "platform/user/dialogs/folder_browser.h"
#include "platform/user/message_queue.h"
#include "platform/kernel/threads.h"
#include "platform/user/window_table.h"

namespace platform {

LRESULT CallProcedure(const WindowPtr& window, WNDPROC procedure, UINT message, WPARAM wParam,
                      LPARAM lParam) {
    {
        std::lock_guard lock(WindowLock());
        if (window->dead) return 0;
        if (!procedure) procedure = window->procedure;
    }
    // The caller's reference keeps the record alive while the procedure runs, even when
    // the procedure destroys its window.
    return procedure(window->handle, message, wParam, lParam);
}

LRESULT Send(const WindowPtr& window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallProcedure(window, nullptr, message, wParam, lParam);
}

} // namespace platform

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window >= platform::FIRST_PICKER_WINDOW) {
        LRESULT result = 0;
        if (!platform::SendFolderPickerMessage(window, message, wParam, lParam, result))
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return result;
    }
    if (window >= platform::FIRST_WINDOW_HANDLE) {
        platform::WindowPtr target = platform::LookupOwnWindow(window);
        return target ? platform::Send(target, message, wParam, lParam) : 0;
    }
    WNDPROC bound = platform::BoundProcedure(window);
    if (!bound) return 0; // the error is set
    return bound(window, message, wParam, lParam);
}

LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                        LPARAM lParam) {
    if (!procedure) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return procedure(window, message, wParam, lParam);
}
