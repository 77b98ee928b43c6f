#include <algorithm>

#include "platform/kernel/errors.h"
#include "platform/user/window_table.h"

using platform::WindowPtr;

BOOL IsChild(HWND parent, HWND window) {
    std::lock_guard lock(platform::WindowLock());
    if (!platform::LookupWindowLocked(parent) || !platform::LookupWindowLocked(window))
        return FALSE;
    return platform::IsDescendantLocked(parent, window) ? TRUE : FALSE;
}

HWND GetParent(HWND handle) {
    std::lock_guard lock(platform::WindowLock());
    WindowPtr window = platform::LookupWindowLocked(handle);
    if (!window) return 0;
    if (window->parent != 0) return window->parent;
    return (window->style & WS_POPUP) ? window->owner : 0;
}

HWND SetParent(HWND handle, HWND newParent) {
    WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return 0;
    WindowPtr parent = platform::LookupOwnWindow(newParent);
    if (!parent) return 0;
    std::lock_guard lock(platform::WindowLock());
    if (window->parent == 0 || parent->destroying ||
        platform::IsDescendantLocked(handle, newParent) || newParent == handle) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    HWND old = window->parent;
    std::erase(platform::SiblingsLocked(*window), handle);
    window->parent = newParent;
    parent->children.insert(parent->children.begin(), handle);
    return old;
}

HWND GetWindow(HWND handle, UINT command) {
    std::lock_guard lock(platform::WindowLock());
    WindowPtr window = platform::LookupWindowLocked(handle);
    if (!window) return 0;
    if (command == GW_OWNER) return window->owner;
    if (command == GW_CHILD) return window->children.empty() ? 0 : window->children.front();
    const std::vector<HWND>& siblings = platform::SiblingsLocked(*window);
    auto at = std::find(siblings.begin(), siblings.end(), handle);
    if (at == siblings.end()) return 0;
    switch (command) {
    case GW_HWNDFIRST:
        return siblings.front();
    case GW_HWNDLAST:
        return siblings.back();
    case GW_HWNDNEXT:
        return at + 1 < siblings.end() ? *(at + 1) : 0;
    case GW_HWNDPREV:
        return at > siblings.begin() ? *(at - 1) : 0;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
}

int GetDlgCtrlID(HWND handle) {
    std::lock_guard lock(platform::WindowLock());
    WindowPtr window = platform::LookupWindowLocked(handle);
    if (!window || window->parent == 0) return 0;
    return static_cast<int>(window->id);
}

HWND GetDlgItem(HWND parentHandle, int id) {
    std::lock_guard lock(platform::WindowLock());
    WindowPtr parent = platform::LookupWindowLocked(parentHandle);
    if (!parent) return 0;
    for (HWND child : parent->children) {
        WindowPtr found = platform::LookupWindowLocked(child);
        if (found && found->id == static_cast<uintptr_t>(static_cast<UINT>(id))) return child;
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return 0;
}
