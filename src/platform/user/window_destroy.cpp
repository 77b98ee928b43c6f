#include <algorithm>

#include "platform/user/input/drag_drop.h"
#include "platform/kernel/errors.h"
#include "platform/user/input/input_routing.h"
#include "platform/user/paint/paint_hooks.h"
#include "platform/user/window_props.h"
#include "platform/user/window_table.h"

namespace platform {
namespace {

// The window and its descendants, parents before their children, each level in z-order.
void CollectTreeLocked(const WindowPtr& window, std::vector<WindowPtr>& out) {
    out.push_back(window);
    for (HWND child : window->children)
        if (WindowPtr found = LookupWindowLocked(child)) CollectTreeLocked(found, out);
}

// The top-level windows `owner` owns, in z-order.
std::vector<WindowPtr> OwnedWindowsLocked(const Window& owner) {
    std::vector<WindowPtr> owned;
    if (owner.parent != 0) return owned;
    for (HWND other : SiblingsLocked(owner)) {
        WindowPtr found = LookupWindowLocked(other);
        if (found && found->owner == owner.handle) owned.push_back(found);
    }
    return owned;
}

void RemoveAll(const std::vector<WindowPtr>& windows) {
    {
        std::lock_guard lock(WindowLock());
        for (auto it = windows.rbegin(); it != windows.rend(); ++it)
            if (!(*it)->dead) RemoveWindowLocked(**it);
    }
    for (const WindowPtr& window : windows) {
        ForgetWindowProperties(window->handle);
        ForgetWindowDrops(window->handle);
        ForgetWindowPainting(*window);
    }
}

// Finishes, without messages, a destruction that an exception interrupted.
struct DestroyCompletion {
    WindowPtr window;
    bool done = false;
    ~DestroyCompletion() {
        if (!done) RemoveSilently(window);
    }
};

} // namespace

void RemoveSilently(const WindowPtr& window) {
    std::vector<WindowPtr> doomed;
    {
        std::lock_guard lock(WindowLock());
        if (window->dead) return;
        std::vector<WindowPtr> pending{window};
        while (!pending.empty()) {
            WindowPtr next = pending.back();
            pending.pop_back();
            if (next->dead) continue;
            std::vector<WindowPtr> owned = OwnedWindowsLocked(*next);
            pending.insert(pending.end(), owned.begin(), owned.end());
            CollectTreeLocked(next, doomed);
        }
    }
    RemoveAll(doomed);
}

BOOL DestroyWindowTree(const WindowPtr& window, bool sendDestroy) {
    std::vector<WindowPtr> owned;
    bool visible;
    {
        std::lock_guard lock(WindowLock());
        if (window->dead) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (window->destroying) return TRUE;
        std::vector<WindowPtr> tree;
        CollectTreeLocked(window, tree);
        for (const WindowPtr& member : tree)
            member->destroying = true;
        owned = OwnedWindowsLocked(*window);
        visible = (window->style & WS_VISIBLE) != 0;
    }
    DestroyCompletion completion{window};
    for (const WindowPtr& other : owned)
        DestroyWindowTree(other, true);
    ReleaseInputFrom(window);
    if (sendDestroy) {
        if (visible) {
            ChangeWindowPos(window, 0, 0, 0, 0, 0,
                            SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER |
                                SWP_NOACTIVATE,
                            window->style);
        }
        std::vector<WindowPtr> tree;
        {
            std::lock_guard lock(WindowLock());
            if (!window->dead) CollectTreeLocked(window, tree);
        }
        for (const WindowPtr& member : tree)
            Send(member, WM_DESTROY);
    }
    std::vector<WindowPtr> tree;
    {
        std::lock_guard lock(WindowLock());
        if (!window->dead) CollectTreeLocked(window, tree);
    }
    for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
        Send(*it, WM_NCDESTROY);
        {
            std::lock_guard lock(WindowLock());
            if (!(*it)->dead) RemoveWindowLocked(**it);
        }
        ForgetWindowProperties((*it)->handle);
        ForgetWindowDrops((*it)->handle);
        ForgetWindowPainting(**it);
    }
    completion.done = true;
    return TRUE;
}

void ForgetThreadWindows(DWORD threadId) {
    std::vector<WindowPtr> doomed;
    {
        std::lock_guard lock(WindowLock());
        for (const WindowPtr& window : AllWindowsLocked())
            if (window->threadId == threadId) doomed.push_back(window);
    }
    RemoveAll(doomed);
}

} // namespace platform

BOOL DestroyWindow(HWND handle) {
    platform::WindowPtr window = platform::LookupOwnWindow(handle);
    return window ? platform::DestroyWindowTree(window, true) : FALSE;
}
