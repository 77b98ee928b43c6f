#include "platform/user/input/input_routing.h"

namespace {

// Makes `target` the capture window; the one that had it hears of the change.
HWND ChangeCapture(const platform::WindowPtr& target) {
    HWND handle = target ? target->handle : 0;
    platform::WindowPtr old;
    {
        std::lock_guard lock(platform::WindowLock());
        platform::InputState& state = platform::InputStateLocked();
        old = platform::LiveLocked(state.capture);
        state.capture = handle;
    }
    if (old && old->handle != handle)
        platform::Send(old, WM_CAPTURECHANGED, 0, static_cast<LPARAM>(handle));
    return old ? old->handle : 0;
}

} // namespace

HWND SetCapture(HWND handle) {
    platform::WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return 0;
    return ChangeCapture(window);
}

BOOL ReleaseCapture() {
    ChangeCapture(nullptr);
    return TRUE;
}

HWND GetCapture() {
    std::lock_guard lock(platform::WindowLock());
    platform::WindowPtr window = platform::LiveLocked(platform::InputStateLocked().capture);
    return window ? window->handle : 0;
}
