#include "platform/user/window_geometry.h"

#include "platform/files/errno_mapping.h"
#include "platform/kernel/errors.h"
#include "platform/user/window_table.h"

namespace {

using platform::WindowPtr;

bool IsMinimizedOrMaximized(const platform::Window& window) {
    return (window.style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0;
}

// The screen position of a window's client origin; the screen itself for 0.
bool OriginLocked(HWND handle, POINT& origin) {
    if (handle == 0) {
        origin = POINT{0, 0};
        return true;
    }
    WindowPtr window = platform::LookupWindowLocked(handle);
    if (!window) return false;
    origin = platform::ClientOriginLocked(*window);
    return true;
}

} // namespace

BOOL GetClientRect(HWND handle, RECT* rect) {
    std::lock_guard lock(platform::WindowLock());
    WindowPtr window = platform::LookupWindowLocked(handle);
    if (!window) return FALSE;
    if (rect == nullptr) return platform::Fail(ERROR_INVALID_PARAMETER);
    *rect = RECT{0, 0, platform::Clamp32(int64_t{window->client.right} - window->client.left),
                 platform::Clamp32(int64_t{window->client.bottom} - window->client.top)};
    return TRUE;
}

BOOL GetWindowRect(HWND handle, RECT* rect) {
    std::lock_guard lock(platform::WindowLock());
    WindowPtr window = platform::LookupWindowLocked(handle);
    if (!window) return FALSE;
    if (rect == nullptr) return platform::Fail(ERROR_INVALID_PARAMETER);
    POINT parentOrigin{0, 0};
    if (window->parent != 0) OriginLocked(window->parent, parentOrigin);
    auto x = [&](LONG value) { return platform::Clamp32(int64_t{value} + parentOrigin.x); };
    auto y = [&](LONG value) { return platform::Clamp32(int64_t{value} + parentOrigin.y); };
    const RECT& w = window->window;
    *rect = RECT{x(w.left), y(w.top), x(w.right), y(w.bottom)};
    return TRUE;
}

BOOL GetWindowPlacement(HWND handle, WINDOWPLACEMENT* placement) {
    std::lock_guard lock(platform::WindowLock());
    WindowPtr window = platform::LookupWindowLocked(handle);
    if (!window) return FALSE;
    if (placement == nullptr || placement->length != sizeof(WINDOWPLACEMENT))
        return platform::Fail(ERROR_INVALID_PARAMETER);
    placement->flags = window->restoreToMaximized ? WPF_RESTORETOMAXIMIZED : 0;
    placement->showCmd = (window->style & WS_MINIMIZE)   ? SW_SHOWMINIMIZED
                         : (window->style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                                                         : SW_SHOWNORMAL;
    placement->ptMinPosition = window->minPosition;
    placement->ptMaxPosition = window->maxPosition;
    placement->rcNormalPosition = window->normal;
    return TRUE;
}

BOOL SetWindowPlacement(HWND handle, const WINDOWPLACEMENT* placement) {
    WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return FALSE;
    if (placement == nullptr || placement->length != sizeof(WINDOWPLACEMENT))
        return platform::Fail(ERROR_INVALID_PARAMETER);
    bool normalState;
    {
        std::lock_guard lock(platform::WindowLock());
        window->normal = placement->rcNormalPosition;
        window->minPosition = placement->ptMinPosition;
        window->maxPosition = placement->ptMaxPosition;
        window->restoreToMaximized = (placement->flags & WPF_RESTORETOMAXIMIZED) != 0;
        normalState = !IsMinimizedOrMaximized(*window);
    }
    const RECT& normal = placement->rcNormalPosition;
    if (normalState) {
        SetWindowPos(handle, HWND_TOP, normal.left, normal.top, normal.right - normal.left,
                     normal.bottom - normal.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(handle, static_cast<int>(placement->showCmd));
    // Maximising keeps the positions the placement asked to remember.
    std::lock_guard lock(platform::WindowLock());
    if (!window->dead) {
        window->minPosition = placement->ptMinPosition;
        window->maxPosition = placement->ptMaxPosition;
        window->restoreToMaximized = (placement->flags & WPF_RESTORETOMAXIMIZED) != 0;
    }
    return TRUE;
}

namespace {

// Moves the point by the window's client origin, `sign` times (1: client to screen).
BOOL ShiftByClientOrigin(HWND handle, POINT* point, int sign) {
    std::lock_guard lock(platform::WindowLock());
    POINT origin;
    if (handle == 0 || !OriginLocked(handle, origin)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (point == nullptr) return platform::Fail(ERROR_INVALID_PARAMETER);
    point->x = platform::Clamp32(int64_t{point->x} + int64_t{sign} * origin.x);
    point->y = platform::Clamp32(int64_t{point->y} + int64_t{sign} * origin.y);
    return TRUE;
}

} // namespace

BOOL ClientToScreen(HWND handle, POINT* point) {
    return ShiftByClientOrigin(handle, point, 1);
}

BOOL ScreenToClient(HWND handle, POINT* point) {
    return ShiftByClientOrigin(handle, point, -1);
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    std::lock_guard lock(platform::WindowLock());
    POINT fromOrigin, toOrigin;
    if (!OriginLocked(from, fromOrigin) || !OriginLocked(to, toOrigin)) return 0;
    if (points == nullptr && count > 0) return platform::Fail(ERROR_INVALID_PARAMETER);
    int64_t dx = int64_t{fromOrigin.x} - toOrigin.x;
    int64_t dy = int64_t{fromOrigin.y} - toOrigin.y;
    for (UINT i = 0; i < count; ++i) {
        points[i].x = platform::Clamp32(points[i].x + dx);
        points[i].y = platform::Clamp32(points[i].y + dy);
    }
    return static_cast<int>(static_cast<DWORD>(LOWORD(static_cast<DWORD>(dx))) |
                            static_cast<DWORD>(LOWORD(static_cast<DWORD>(dy))) << 16);
}
