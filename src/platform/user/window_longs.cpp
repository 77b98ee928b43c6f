#include <cstring>

#include "platform/kernel/errors.h"
#include "platform/user/window_table.h"

namespace {

using platform::Window;
using platform::WindowPtr;

// The style bits that change the frame's size or look: border, caption, its buttons and
// the window's scroll bars.
constexpr DWORD kFrameStyles = WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_SYSMENU |
                               WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VSCROLL | WS_HSCROLL;
constexpr DWORD kFrameExStyles = WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE |
                                 WS_EX_CLIENTEDGE | WS_EX_LEFTSCROLLBAR | WS_EX_STATICEDGE;

bool FitsInLong(LONG_PTR value) {
    return value >= INT32_MIN && value <= INT32_MAX;
}

// The extra bytes at `index` when `size` of them lie inside the window's.
unsigned char* ExtraAt(Window& window, int index, size_t size) {
    if (index < 0 || static_cast<size_t>(index) + size > window.extra.size()) return nullptr;
    return window.extra.data() + index;
}

// Reads a value of `size` bytes (4 or pointer-sized). Needs the lock; false with
// ERROR_INVALID_INDEX for an index the window does not have.
bool ReadLocked(Window& window, int index, size_t size, LONG_PTR& value) {
    switch (index) {
    case GWL_WNDPROC:
        value = reinterpret_cast<LONG_PTR>(window.procedure);
        return true;
    case GWL_HINSTANCE:
        value = static_cast<LONG_PTR>(window.instance);
        return true;
    case GWL_ID:
        value = static_cast<LONG_PTR>(window.id);
        return true;
    case GWL_STYLE:
        value = static_cast<LONG>(window.style);
        return true;
    case GWL_EXSTYLE:
        value = static_cast<LONG>(window.exStyle);
        return true;
    case GWL_USERDATA:
        value = window.userData;
        return true;
    default:
        break;
    }
    if (const unsigned char* bytes = ExtraAt(window, index, size)) {
        if (size == sizeof(LONG)) {
            LONG small;
            std::memcpy(&small, bytes, sizeof(small));
            value = small;
        } else {
            std::memcpy(&value, bytes, sizeof(value));
        }
        return true;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return false;
}

// Writes anything but the styles. Needs the lock.
bool WriteLocked(Window& window, int index, size_t size, LONG_PTR value) {
    switch (index) {
    case GWL_WNDPROC:
        if (value == 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        window.procedure = reinterpret_cast<WNDPROC>(value);
        return true;
    case GWL_HINSTANCE:
        window.instance = static_cast<HINSTANCE>(value);
        return true;
    case GWL_ID:
        window.id = static_cast<uintptr_t>(value);
        return true;
    case GWL_USERDATA:
        window.userData = value;
        return true;
    default:
        break;
    }
    if (unsigned char* bytes = ExtraAt(window, index, size)) {
        if (size == sizeof(LONG)) {
            LONG small = static_cast<LONG>(value);
            std::memcpy(bytes, &small, sizeof(small));
        } else {
            std::memcpy(bytes, &value, sizeof(value));
        }
        return true;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return false;
}

// A style change, told to the window before (it may alter the new style) and after.
LONG_PTR ChangeStyle(const WindowPtr& window, int index, DWORD newStyle) {
    STYLESTRUCT change;
    {
        std::lock_guard lock(platform::WindowLock());
        change.styleOld = index == GWL_STYLE ? window->style : window->exStyle;
    }
    change.styleNew = newStyle;
    platform::Send(window, WM_STYLECHANGING, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&change));
    {
        std::lock_guard lock(platform::WindowLock());
        if (window->dead) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        if (index == GWL_STYLE) {
            window->style = change.styleNew;
        } else {
            // The topmost band changes through SetWindowPos only.
            window->exStyle =
                (change.styleNew & ~WS_EX_TOPMOST) | (window->exStyle & WS_EX_TOPMOST);
        }
    }
    platform::Send(window, WM_STYLECHANGED, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&change));
    DWORD frameBits = index == GWL_STYLE ? kFrameStyles : kFrameExStyles;
    bool alive;
    {
        std::lock_guard lock(platform::WindowLock());
        alive = !window->dead;
    }
    // The frame follows at once, as if the caller had asked SetWindowPos for it.
    if (alive && ((change.styleOld ^ change.styleNew) & frameBits))
        SetWindowPos(window->handle, 0, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return static_cast<LONG>(change.styleOld);
}

LONG_PTR Get(HWND handle, int index, size_t size) {
    WindowPtr window = platform::LookupWindow(handle);
    if (!window) return 0;
    std::lock_guard lock(platform::WindowLock());
    LONG_PTR value = 0;
    return ReadLocked(*window, index, size, value) ? value : 0;
}

LONG_PTR Set(HWND handle, int index, size_t size, LONG_PTR value, bool mustFitLong) {
    WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return 0;
    if (index == GWL_STYLE || index == GWL_EXSTYLE)
        return ChangeStyle(window, index, static_cast<DWORD>(value));
    std::lock_guard lock(platform::WindowLock());
    LONG_PTR previous = 0;
    if (!ReadLocked(*window, index, size, previous)) return 0;
    if (mustFitLong && !FitsInLong(previous)) {
        SetLastError(ERROR_ARITHMETIC_OVERFLOW);
        return 0;
    }
    return WriteLocked(*window, index, size, value) ? previous : 0;
}

} // namespace

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
    return Get(window, index, sizeof(LONG_PTR));
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    return Set(window, index, sizeof(LONG_PTR), value, false);
}

LONG GetWindowLongA(HWND window, int index) {
    if (index == GWL_WNDPROC) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    LONG_PTR value = Get(window, index, sizeof(LONG));
    if (!FitsInLong(value)) {
        SetLastError(ERROR_ARITHMETIC_OVERFLOW);
        return 0;
    }
    return static_cast<LONG>(value);
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
    if (index == GWL_WNDPROC) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return static_cast<LONG>(Set(window, index, sizeof(LONG), value, true));
}
