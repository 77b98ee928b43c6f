#include "platform/user/window_table.h"

#include <algorithm>
#include <unordered_map>

#include "platform/kernel/errors.h"
#include "platform/kernel/threads.h"

namespace platform {
namespace {

struct WindowTable {
    std::mutex lock;
    std::unordered_map<HWND, WindowPtr> windows;
    std::vector<HWND> topLevel; // in z-order, the top one first
    HWND next = FIRST_WINDOW_HANDLE;
};

// Outlives static destructors: threads still running at exit may use it.
WindowTable& Table() {
    static auto* table = new WindowTable;
    return *table;
}

} // namespace

std::mutex& WindowLock() {
    return Table().lock;
}

WindowPtr LookupWindowLocked(HWND handle) {
    auto found = Table().windows.find(handle);
    if (found == Table().windows.end() || found->second->dead) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return found->second;
}

WindowPtr LookupWindow(HWND handle) {
    std::lock_guard lock(WindowLock());
    return LookupWindowLocked(handle);
}

WindowPtr LookupOwnWindow(HWND handle) {
    WindowPtr window = LookupWindow(handle);
    if (window && window->threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
        return nullptr;
    }
    return window;
}

HWND AddWindowLocked(const WindowPtr& window) {
    WindowTable& table = Table();
    if (table.next >= FIRST_PICKER_WINDOW) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    window->handle = table.next++;
    table.windows.emplace(window->handle, window);
    return window->handle;
}

void RemoveWindowLocked(Window& window) {
    std::erase(SiblingsLocked(window), window.handle);
    Table().windows.erase(window.handle);
    window.dead = true;
}

std::vector<HWND>& SiblingsLocked(const Window& window) {
    if (window.parent != 0) {
        auto parent = Table().windows.find(window.parent);
        if (parent != Table().windows.end()) return parent->second->children;
    }
    return Table().topLevel;
}

POINT ClientOriginLocked(const Window& window) {
    int64_t x = window.client.left;
    int64_t y = window.client.top;
    for (HWND parent = window.parent; parent != 0;) {
        auto found = Table().windows.find(parent);
        if (found == Table().windows.end()) break;
        x += found->second->client.left;
        y += found->second->client.top;
        parent = found->second->parent;
    }
    return POINT{Clamp32(x), Clamp32(y)};
}

bool IsDescendantLocked(HWND ancestor, HWND window) {
    auto found = Table().windows.find(window);
    while (found != Table().windows.end() && found->second->parent != 0) {
        if (found->second->parent == ancestor) return true;
        found = Table().windows.find(found->second->parent);
    }
    return false;
}

LONG Clamp32(int64_t value) {
    return static_cast<LONG>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

RECT RectAt(int64_t x, int64_t y, int64_t width, int64_t height) {
    x = std::clamp(x, -COORDINATE_LIMIT, COORDINATE_LIMIT);
    y = std::clamp(y, -COORDINATE_LIMIT, COORDINATE_LIMIT);
    width = std::clamp<int64_t>(width, 0, COORDINATE_LIMIT);
    height = std::clamp<int64_t>(height, 0, COORDINATE_LIMIT);
    return RECT{Clamp32(x), Clamp32(y), Clamp32(x + width), Clamp32(y + height)};
}

std::vector<WindowPtr> AllWindowsLocked() {
    std::vector<WindowPtr> all;
    all.reserve(Table().windows.size());
    for (const auto& entry : Table().windows)
        all.push_back(entry.second);
    return all;
}

namespace {

bool IsTopmost(HWND handle) {
    auto found = Table().windows.find(handle);
    return found != Table().windows.end() && (found->second->exStyle & WS_EX_TOPMOST) != 0;
}

HWND OwnerOf(HWND handle) {
    auto found = Table().windows.find(handle);
    return found == Table().windows.end() ? 0 : found->second->owner;
}

bool IsOwnedBy(HWND handle, HWND owner) {
    for (HWND up = OwnerOf(handle); up != 0; up = OwnerOf(up))
        if (up == owner) return true;
    return false;
}

void SetTopmost(HWND handle, bool topmost) {
    auto found = Table().windows.find(handle);
    if (found == Table().windows.end()) return;
    if (topmost)
        found->second->exStyle |= WS_EX_TOPMOST;
    else
        found->second->exStyle &= ~WS_EX_TOPMOST;
}

// Places a top-level window and the owned windows that travel with it. `topmost` is the
// band it ends in; `below` the window it goes right under (0: the top of its band,
// HWND_BOTTOM: the bottom of its band).
bool PlaceTopLevel(HWND handle, bool topmost, HWND below) {
    std::vector<HWND>& list = Table().topLevel;
    const std::vector<HWND> before = list;
    bool wasTopmost = IsTopmost(handle);
    // The group: the window and its owned windows in the same band (all of them when it
    // becomes topmost), in their present order.
    std::vector<HWND> group;
    for (HWND other : list) {
        if (other != handle && !IsOwnedBy(other, handle)) continue;
        if (other != handle && !topmost && IsTopmost(other) && !wasTopmost) continue;
        group.push_back(other);
    }
    std::erase_if(list, [&](HWND other) {
        return std::find(group.begin(), group.end(), other) != group.end();
    });
    for (HWND member : group)
        SetTopmost(member, topmost);

    auto bandStart = std::find_if(list.begin(), list.end(), [](HWND h) { return !IsTopmost(h); });
    size_t first = topmost ? 0 : static_cast<size_t>(bandStart - list.begin());
    size_t last = topmost ? static_cast<size_t>(bandStart - list.begin()) : list.size();
    size_t at = first;
    if (below == HWND_BOTTOM) {
        at = last;
    } else if (below != 0) {
        auto found = std::find(list.begin(), list.end(), below);
        if (found != list.end()) at = static_cast<size_t>(found - list.begin()) + 1;
    }
    at = std::clamp(at, first, last);
    // Never below the owner.
    HWND owner = OwnerOf(handle);
    if (owner != 0) {
        auto ownerAt = std::find(list.begin(), list.end(), owner);
        if (ownerAt != list.end()) at = std::min(at, static_cast<size_t>(ownerAt - list.begin()));
    }
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), group.begin(), group.end());
    return list != before;
}

} // namespace

bool ReorderLocked(Window& window, HWND insertAfter) {
    if (window.parent != 0) {
        std::vector<HWND>& list = SiblingsLocked(window);
        const std::vector<HWND> before = list;
        std::erase(list, window.handle);
        size_t at = 0;
        if (insertAfter == HWND_BOTTOM) {
            at = list.size();
        } else if (insertAfter != HWND_TOP && insertAfter != HWND_TOPMOST &&
                   insertAfter != HWND_NOTOPMOST) {
            auto found = std::find(list.begin(), list.end(), insertAfter);
            if (found != list.end()) at = static_cast<size_t>(found - list.begin()) + 1;
        }
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), window.handle);
        return list != before;
    }
    bool topmost = (window.exStyle & WS_EX_TOPMOST) != 0;
    if (insertAfter == HWND_TOPMOST) return PlaceTopLevel(window.handle, true, 0);
    if (insertAfter == HWND_BOTTOM) {
        // A window whose owner is topmost cannot leave the band: it would fall below it.
        return PlaceTopLevel(window.handle, IsTopmost(window.owner), HWND_BOTTOM);
    }
    if (insertAfter == HWND_NOTOPMOST) {
        if (!topmost) return false;
        // Owners above a window leaving the band leave it too, so it can stay above them.
        HWND root = window.handle;
        for (HWND up = window.owner; up != 0 && IsTopmost(up); up = OwnerOf(up))
            root = up;
        return PlaceTopLevel(root, false, 0);
    }
    return PlaceTopLevel(window.handle, topmost, insertAfter);
}

} // namespace platform
