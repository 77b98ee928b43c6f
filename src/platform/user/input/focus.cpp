#include "platform/kernel/errors.h"
#include "platform/user/input/input_routing.h"

namespace platform {
namespace {

// The keyboard never goes into a disabled window, nor into anything inside one.
bool DisabledWithinLocked(WindowPtr window) {
    for (; window; window = (window->style & WS_CHILD) ? LiveLocked(window->parent) : nullptr)
        if (window->style & WS_DISABLED) return true;
    return false;
}

} // namespace

HWND MoveFocus(const WindowPtr& target) {
    WindowPtr old;
    HWND handle = target ? target->handle : 0;
    {
        std::lock_guard lock(WindowLock());
        InputState& state = InputStateLocked();
        old = LiveLocked(state.focus);
        if (old && old->handle == handle) return handle;
        // The focus has moved by the time the old window hears of it.
        state.focus = handle;
    }
    if (old) Send(old, WM_KILLFOCUS, handle, 0);
    if (target) {
        {
            std::lock_guard lock(WindowLock());
            if (InputStateLocked().focus != handle) return old ? old->handle : 0;
        }
        Send(target, WM_SETFOCUS, old ? old->handle : 0, 0);
    }
    return old ? old->handle : 0;
}

} // namespace platform

HWND SetFocus(HWND handle) {
    if (handle == 0) return platform::MoveFocus(nullptr);
    platform::WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return 0;
    platform::WindowPtr top;
    {
        std::lock_guard lock(platform::WindowLock());
        if (platform::DisabledWithinLocked(window) || window->destroying) {
            SetLastError(ERROR_ACCESS_DENIED);
            return 0;
        }
        platform::InputState& state = platform::InputStateLocked();
        if (state.focus == handle) return handle;
        top = platform::TopLevelLocked(window);
        if (top && state.active == top->handle) top = nullptr;
    }
    if (top) platform::Activate(top, WA_ACTIVE, true, false);
    return platform::MoveFocus(window);
}

HWND GetFocus() {
    std::lock_guard lock(platform::WindowLock());
    platform::WindowPtr window = platform::LiveLocked(platform::InputStateLocked().focus);
    return window ? window->handle : 0;
}
