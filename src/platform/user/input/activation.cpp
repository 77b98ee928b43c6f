#include <unistd.h>

#include "platform/display/display_backend.h"
#include "platform/kernel/errors.h"
#include "platform/kernel/threads.h"
#include "platform/user/input/input_routing.h"

namespace platform {
namespace {

// The top-level windows of a thread, in z-order.
std::vector<WindowPtr> ThreadTopLevels(DWORD threadId) {
    std::vector<WindowPtr> windows;
    std::lock_guard lock(WindowLock());
    for (const WindowPtr& window : AllWindowsLocked()) {
        if (window->parent == 0 && window->threadId == threadId && !window->dead &&
            !window->destroying)
            windows.push_back(window);
    }
    return windows;
}

WPARAM ActivateParam(WORD how, const WindowPtr& window) {
    std::lock_guard lock(WindowLock());
    bool minimized = (window->style & WS_MINIMIZE) != 0;
    return static_cast<WPARAM>(how) | (minimized ? WPARAM{1} << 16 : 0);
}

// A window that can take the activation: alive, visible and enabled.
bool CanActivateLocked(const Window& window) {
    return !window.dead && !window.destroying && (window.style & WS_VISIBLE) &&
           !(window.style & WS_DISABLED);
}

} // namespace

InputState& InputStateLocked() {
    static InputState state;
    return state;
}

WindowPtr LiveLocked(HWND handle) {
    if (handle == 0) return nullptr;
    DWORD error = GetLastError();
    WindowPtr window = LookupWindowLocked(handle);
    SetLastError(error);
    return window;
}

WindowPtr TopLevelLocked(WindowPtr window) {
    while (window && window->parent != 0)
        window = LiveLocked(window->parent);
    return window;
}

HWND Activate(const WindowPtr& target, WORD how, bool raise, bool setFocus) {
    HWND old;
    WindowPtr oldWindow;
    DWORD oldThread;
    {
        std::lock_guard lock(WindowLock());
        InputState& state = InputStateLocked();
        old = state.active;
        oldWindow = LiveLocked(old);
        if (!oldWindow) old = 0;
        if (target && old == target->handle) return old;
        oldThread = state.activeThread;
        state.active = target ? target->handle : 0;
        state.activeThread = target ? target->threadId : 0;
        if (target) state.lastActive = target->handle;
    }
    HWND handle = target ? target->handle : 0;
    if (oldWindow) {
        Send(oldWindow, WM_NCACTIVATE, FALSE, 0);
        Send(oldWindow, WM_ACTIVATE, ActivateParam(WA_INACTIVE, oldWindow),
             static_cast<LPARAM>(handle));
    }
    DWORD newThread = target ? target->threadId : 0;
    if (target && raise) {
        DWORD style;
        {
            std::lock_guard lock(WindowLock());
            style = target->style;
        }
        ChangeWindowPos(target, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE,
                        style);
    }
    if (oldThread != newThread) {
        if (oldThread != 0) {
            for (const WindowPtr& window : ThreadTopLevels(oldThread))
                Send(window, WM_ACTIVATEAPP, FALSE, static_cast<LPARAM>(newThread));
        }
        if (newThread != 0) {
            for (const WindowPtr& window : ThreadTopLevels(newThread))
                Send(window, WM_ACTIVATEAPP, TRUE, static_cast<LPARAM>(oldThread));
        }
    }
    if (target) {
        Send(target, WM_NCACTIVATE, TRUE, 0);
        Send(target, WM_ACTIVATE, ActivateParam(how, target), static_cast<LPARAM>(old));
    }
    if (!setFocus) return old;
    WindowPtr focusTarget;
    {
        std::lock_guard lock(WindowLock());
        InputState& state = InputStateLocked();
        if (state.active != handle) return old;
        if (target) {
            WindowPtr focus = LiveLocked(state.focus);
            bool inside =
                focus && (focus->handle == handle || IsDescendantLocked(handle, focus->handle));
            if (inside || (target->style & WS_MINIMIZE) || target->dead) return old;
            focusTarget = target;
        }
    }
    MoveFocus(focusTarget);
    return old;
}

void ActivateShownWindow(const WindowPtr& window) {
    RECT placed;
    {
        std::lock_guard lock(WindowLock());
        if (window->parent != 0 || !CanActivateLocked(*window)) return;
        placed = window->window;
    }
    // Nobody sees or clicks a window wholly off the screen (a menu's host, the sound
    // layer's window): showing one leaves the activation where it is.
    if (OffVirtualScreen(placed)) return;
    Activate(window, WA_ACTIVE, false, true);
}

void InjectAppActive(bool active) {
    WindowPtr target;
    {
        std::lock_guard lock(WindowLock());
        InputState& state = InputStateLocked();
        if (!active) {
            HWND last = state.active;
            state.lastActive = last;
        } else {
            target = LiveLocked(state.lastActive);
            if (!target || !CanActivateLocked(*target)) return;
        }
    }
    if (!active) {
        HWND last = Activate(nullptr, WA_INACTIVE, false, true);
        std::lock_guard lock(WindowLock());
        InputStateLocked().lastActive = last;
        return;
    }
    Activate(target, WA_ACTIVE, true, true);
}

void ReleaseInputFrom(const WindowPtr& window) {
    WindowPtr focus;
    WindowPtr capture;
    WindowPtr next;
    bool moveActivation = false;
    {
        std::lock_guard lock(WindowLock());
        InputState& state = InputStateLocked();
        auto within = [&](HWND handle) {
            return handle != 0 &&
                   (handle == window->handle || IsDescendantLocked(window->handle, handle));
        };
        if (within(state.capture)) capture = LiveLocked(state.capture);
        if (within(state.focus)) focus = LiveLocked(state.focus);
        if (state.active == window->handle) {
            moveActivation = true;
            WindowPtr owner = LiveLocked(window->owner);
            if (owner && CanActivateLocked(*owner)) {
                next = owner;
            } else {
                for (HWND other : SiblingsLocked(*window)) {
                    WindowPtr candidate = LiveLocked(other);
                    if (candidate && candidate != window && CanActivateLocked(*candidate) &&
                        !(candidate->exStyle & WS_EX_TOOLWINDOW)) {
                        next = candidate;
                        break;
                    }
                }
            }
        }
    }
    if (capture) ReleaseCapture();
    if (moveActivation) Activate(next, WA_ACTIVE, true, true);
    if (!focus) return;
    {
        std::lock_guard lock(WindowLock());
        if (InputStateLocked().focus != focus->handle) return;
    }
    MoveFocus(nullptr);
}

} // namespace platform

HWND SetActiveWindow(HWND handle) {
    platform::WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return 0;
    {
        std::lock_guard lock(platform::WindowLock());
        window = platform::TopLevelLocked(window);
        if (!window || !platform::CanActivateLocked(*window)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return 0;
        }
    }
    return platform::Activate(window, WA_ACTIVE, true, true);
}

HWND GetActiveWindow() {
    std::lock_guard lock(platform::WindowLock());
    platform::WindowPtr window = platform::LiveLocked(platform::InputStateLocked().active);
    return window ? window->handle : 0;
}

HWND GetForegroundWindow() {
    return GetActiveWindow();
}

BOOL SetForegroundWindow(HWND handle) {
    return SetActiveWindow(handle) != 0 || GetActiveWindow() == handle ? TRUE : FALSE;
}

DWORD GetWindowThreadProcessId(HWND handle, LPDWORD processId) {
    platform::WindowPtr window = platform::LookupWindow(handle);
    if (!window) return 0;
    if (processId) *processId = static_cast<DWORD>(getpid());
    return window->threadId;
}
