#include "platform/user/input/drag_drop.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/display/display_backend.h"
#include "platform/kernel/errors.h"
#include "platform/user/input/input_routing.h"

namespace platform {
namespace {

struct Drop {
    HWND window;
    std::vector<std::string> files;
    POINT point; // in the window's client coordinates
    bool inClient;
};

// Drop handles are numbered apart from other objects' so that another handle passed by
// mistake names no drop.
constexpr HDROP kFirstDrop = 0x00D70000;

struct DropTable {
    std::mutex lock;
    std::unordered_map<HDROP, Drop> drops;
    HDROP next = kFirstDrop;
};

DropTable& Drops() {
    static DropTable table;
    return table;
}

// A handle not in use, counting on from the last one.
HDROP NewHandleLocked(DropTable& table) {
    for (;;) {
        HDROP handle = table.next++;
        if (table.next == 0) table.next = kFirstDrop;
        if (handle != 0 && !table.drops.contains(handle)) return handle;
    }
}

// The window under the point, or its nearest ancestor, that accepts files.
WindowPtr AcceptingWindow(POINT screenPoint) {
    HWND under = WindowFromPoint(screenPoint);
    std::lock_guard lock(WindowLock());
    for (WindowPtr window = LiveLocked(under); window; window = LiveLocked(window->parent)) {
        if (window->exStyle & WS_EX_ACCEPTFILES) return window;
        if (!(window->style & WS_CHILD)) break;
    }
    return nullptr;
}

// The name as a reader of terminated texts sees it.
std::string Terminated(const std::string& name) {
    return name.substr(0, std::min(name.size(), name.find('\0')));
}

} // namespace

bool InjectDrop(POINT screenPoint, const std::vector<std::string>& files) {
    if (files.empty()) return false;
    WindowPtr target = AcceptingWindow(screenPoint);
    if (!target) return false;
    Drop drop{target->handle, {}, {}, false};
    for (const std::string& name : files)
        drop.files.push_back(Terminated(name));
    {
        std::lock_guard lock(WindowLock());
        RECT client = ScreenClientLocked(*target);
        drop.point = POINT{Clamp32(int64_t{screenPoint.x} - client.left),
                           Clamp32(int64_t{screenPoint.y} - client.top)};
        drop.inClient = screenPoint.x >= client.left && screenPoint.x < client.right &&
                        screenPoint.y >= client.top && screenPoint.y < client.bottom;
    }
    HDROP handle;
    {
        DropTable& table = Drops();
        std::lock_guard lock(table.lock);
        handle = NewHandleLocked(table);
        table.drops.emplace(handle, std::move(drop));
    }
    if (PostMessageA(target->handle, WM_DROPFILES, handle, 0)) return true;
    DragFinish(handle);
    return false;
}

void ForgetWindowDrops(HWND window) {
    DropTable& table = Drops();
    std::lock_guard lock(table.lock);
    std::erase_if(table.drops,
                  [window](const auto& entry) { return entry.second.window == window; });
}

size_t LiveDropCount() {
    DropTable& table = Drops();
    std::lock_guard lock(table.lock);
    return table.drops.size();
}

} // namespace platform

void DragAcceptFiles(HWND handle, BOOL accept) {
    platform::WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return;
    DWORD exStyle;
    {
        std::lock_guard lock(platform::WindowLock());
        exStyle = window->exStyle;
    }
    DWORD wanted = accept ? exStyle | WS_EX_ACCEPTFILES : exStyle & ~WS_EX_ACCEPTFILES;
    if (wanted != exStyle) SetWindowLongA(handle, GWL_EXSTYLE, static_cast<LONG>(wanted));
}

UINT DragQueryFileA(HDROP handle, UINT index, LPSTR buffer, UINT size) {
    platform::DropTable& table = platform::Drops();
    std::lock_guard lock(table.lock);
    auto found = table.drops.find(handle);
    if (found == table.drops.end()) return 0;
    const std::vector<std::string>& files = found->second.files;
    if (index == 0xFFFFFFFFu) return static_cast<UINT>(files.size());
    if (index >= files.size()) return 0;
    const std::string& name = files[index];
    if (buffer == nullptr) return static_cast<UINT>(name.size());
    if (size == 0) return 0;
    size_t count = std::min<size_t>(name.size(), size - 1);
    std::memcpy(buffer, name.data(), count);
    buffer[count] = '\0';
    return static_cast<UINT>(count);
}

BOOL DragQueryPoint(HDROP handle, POINT* point) {
    platform::DropTable& table = platform::Drops();
    std::lock_guard lock(table.lock);
    auto found = table.drops.find(handle);
    if (found == table.drops.end()) return FALSE;
    if (point != nullptr) *point = found->second.point;
    return found->second.inClient ? TRUE : FALSE;
}

void DragFinish(HDROP handle) {
    platform::DropTable& table = platform::Drops();
    std::lock_guard lock(table.lock);
    table.drops.erase(handle);
}
