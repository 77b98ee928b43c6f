#include "platform/window_geometry.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/errno_mapping.h"
#include "platform/errors.h"

namespace {

struct WindowGeometry {
    WINDOWPLACEMENT placement;
    // Window size less client size, fixed when the window is made.
    int64_t frameWidth;
    int64_t frameHeight;
};

std::mutex windowsMutex;
std::map<HWND, WindowGeometry> windows;
HWND nextWindow = 1;

int64_t Width(const RECT& rect) {
    return int64_t{rect.right} - rect.left;
}

int64_t Height(const RECT& rect) {
    return int64_t{rect.bottom} - rect.top;
}

LONG ClientExtent(int64_t windowExtent, int64_t frame) {
    return static_cast<LONG>(std::clamp<int64_t>(windowExtent - frame, 0, INT32_MAX));
}

// The window's record, or null with ERROR_INVALID_WINDOW_HANDLE. Called under windowsMutex.
WindowGeometry* Find(HWND window) {
    auto found = windows.find(window);
    if (found != windows.end()) return &found->second;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
}

HWND After(HWND window) {
    return window + 1 < platform::FIRST_PICKER_WINDOW ? window + 1 : 1;
}

} // namespace

BOOL GetClientRect(HWND window, RECT* rect) {
    std::lock_guard lock(windowsMutex);
    const WindowGeometry* geometry = Find(window);
    if (geometry == nullptr) return FALSE;
    if (rect == nullptr) return platform::Fail(ERROR_INVALID_PARAMETER);
    const RECT& normal = geometry->placement.rcNormalPosition;
    *rect = {0, 0, ClientExtent(Width(normal), geometry->frameWidth),
             ClientExtent(Height(normal), geometry->frameHeight)};
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    std::lock_guard lock(windowsMutex);
    const WindowGeometry* geometry = Find(window);
    if (geometry == nullptr) return FALSE;
    if (rect == nullptr) return platform::Fail(ERROR_INVALID_PARAMETER);
    *rect = geometry->placement.rcNormalPosition;
    return TRUE;
}

BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
    std::lock_guard lock(windowsMutex);
    const WindowGeometry* geometry = Find(window);
    if (geometry == nullptr) return FALSE;
    if (placement == nullptr || placement->length != sizeof(WINDOWPLACEMENT)) {
        return platform::Fail(ERROR_INVALID_PARAMETER);
    }
    *placement = geometry->placement;
    return TRUE;
}

BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement) {
    std::lock_guard lock(windowsMutex);
    WindowGeometry* geometry = Find(window);
    if (geometry == nullptr) return FALSE;
    if (placement == nullptr || placement->length != sizeof(WINDOWPLACEMENT)) {
        return platform::Fail(ERROR_INVALID_PARAMETER);
    }
    geometry->placement = *placement;
    return TRUE;
}

BOOL IsWindow(HWND window) {
    std::lock_guard lock(windowsMutex);
    return windows.contains(window) ? TRUE : FALSE;
}

namespace platform {

HWND CreateGeometryWindow(const RECT& normal, int clientWidth, int clientHeight) {
    int64_t frameWidth = Width(normal) - clientWidth;
    int64_t frameHeight = Height(normal) - clientHeight;
    if (clientWidth < 0 || clientHeight < 0 || frameWidth < 0 || frameHeight < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard lock(windowsMutex);
    if (windows.size() >= FIRST_PICKER_WINDOW - 1) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    while (windows.contains(nextWindow))
        nextWindow = After(nextWindow);
    HWND window = nextWindow;
    nextWindow = After(window);
    WINDOWPLACEMENT placement{
        sizeof(WINDOWPLACEMENT), 0, SW_SHOWNORMAL, {-1, -1}, {-1, -1}, normal};
    windows.emplace(window, WindowGeometry{placement, frameWidth, frameHeight});
    return window;
}

BOOL DestroyGeometryWindow(HWND window) {
    std::lock_guard lock(windowsMutex);
    if (windows.erase(window) == 0) return platform::Fail(ERROR_INVALID_WINDOW_HANDLE);
    return TRUE;
}

} // namespace platform
