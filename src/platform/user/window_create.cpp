#include <algorithm>
#include <mutex>

#include "platform/kernel/errors.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/waitable.h"
#include "platform/system/system_info.h"
#include "platform/user/message_queue.h"
#include "platform/user/scroll/scroll_bars.h"
#include "platform/user/window_table.h"

namespace {

using platform::Window;
using platform::WindowPtr;

// Default places of overlapped windows step down and right, starting again after eight.
constexpr int kCascadeSteps = 8;
int cascade = 0;

bool IsOverlapped(DWORD style) {
    return (style & (WS_CHILD | WS_POPUP)) == 0;
}

// The rectangle a window is made with, CW_USEDEFAULT resolved.
RECT InitialRect(DWORD style, int x, int y, int width, int height) {
    if (IsOverlapped(style)) {
        if (x == CW_USEDEFAULT) {
            int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
            x = y = step * (cascade++ % kCascadeSteps);
        }
        if (width == CW_USEDEFAULT) {
            width = GetSystemMetrics(SM_CXSCREEN) * 3 / 4;
            height = GetSystemMetrics(SM_CYSCREEN) * 3 / 4;
        }
    }
    auto given = [](int value) { return value == CW_USEDEFAULT ? 0 : value; };
    return platform::RectAt(given(x), given(y), given(width), given(height));
}

// What the system adds to and removes from the styles asked for: an overlapped window
// always has a caption and clips its siblings, a raised frame comes with a window edge,
// a child is never topmost.
void FixStyles(DWORD& style, DWORD& exStyle) {
    if (IsOverlapped(style)) style |= WS_CLIPSIBLINGS | WS_CAPTION;
    bool raised = (exStyle & WS_EX_DLGMODALFRAME) ||
                  (!(exStyle & WS_EX_STATICEDGE) && (style & (WS_DLGFRAME | WS_THICKFRAME)));
    if (raised)
        exStyle |= WS_EX_WINDOWEDGE;
    else
        exStyle &= ~WS_EX_WINDOWEDGE;
    if (style & WS_CHILD) exStyle &= ~WS_EX_TOPMOST;
}

// Sets the parent or owner from the parent argument. Needs the lock; false with the
// error set when it cannot be used.
bool AttachLocked(Window& window, HWND parent, HMENU menu) {
    if (window.style & WS_CHILD) {
        if (parent == 0) {
            SetLastError(ERROR_TLW_WITH_WSCHILD);
            return false;
        }
    } else if (parent == 0) {
        window.id = menu;
        return true;
    }
    WindowPtr found = platform::LookupWindowLocked(parent);
    if (!found) return false;
    if (found->threadId != window.threadId) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (window.style & WS_CHILD) {
        window.parent = parent;
        window.id = menu;
    } else {
        while (found && found->parent != 0)
            found = platform::LookupWindowLocked(found->parent);
        if (!found) return false;
        window.owner = found->handle;
        window.id = menu;
        if (found->exStyle & WS_EX_TOPMOST) window.exStyle |= WS_EX_TOPMOST;
    }
    if (found->destroying) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    return true;
}

// Takes away, without messages, a window whose creation a procedure's exception cut
// short.
struct CreationGuard {
    WindowPtr window;
    bool done = false;
    ~CreationGuard() {
        if (!done) platform::RemoveSilently(window);
    }
};

bool Alive(const WindowPtr& window) {
    std::lock_guard lock(platform::WindowLock());
    return !window->dead && !window->destroying;
}

} // namespace

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    {
        // The creating thread receives the window's posted messages: it needs a queue.
        std::lock_guard hub(platform::GetWaitHub().lock);
        platform::CurrentThreadQueueLocked();
    }
    platform::RegisterScrollBarClass();
    auto window = std::make_shared<Window>();
    window->threadId = GetCurrentThreadId();
    window->style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    window->exStyle = exStyle;
    FixStyles(window->style, window->exStyle);
    window->instance = instance;
    {
        std::lock_guard lock(platform::WindowLock());
        window->windowClass = platform::FindWindowClassLocked(className);
        if (!window->windowClass || !AttachLocked(*window, parent, menu)) return 0;
        window->procedure = window->windowClass->procedure;
        window->extra.assign(static_cast<size_t>(window->windowClass->windowExtra), 0);
        window->window = InitialRect(style, x, y, width, height);
        window->client = window->window;
        window->normal = window->window;
        if (platform::AddWindowLocked(window) == 0) return 0;
        std::vector<HWND>& siblings = platform::SiblingsLocked(*window);
        siblings.push_back(window->handle);
        if (window->parent == 0) platform::ReorderLocked(*window, HWND_TOP);
    }
    CreationGuard guard{window};

    RECT rect = window->window;
    CREATESTRUCTA create{param,
                         instance,
                         menu,
                         parent,
                         static_cast<int>(rect.bottom - rect.top),
                         static_cast<int>(rect.right - rect.left),
                         static_cast<int>(rect.top),
                         static_cast<int>(rect.left),
                         static_cast<LONG>(style),
                         windowName,
                         className,
                         exStyle};
    if (!platform::Send(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        platform::DestroyWindowTree(window, false);
        guard.done = true;
        return 0;
    }
    if (!Alive(window)) return 0;
    platform::Send(window, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rect));
    {
        std::lock_guard lock(platform::WindowLock());
        window->client = RECT{rect.left, rect.top, std::max(rect.left, rect.right),
                              std::max(rect.top, rect.bottom)};
    }
    if (platform::Send(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        platform::DestroyWindowTree(window, true);
        guard.done = true;
        return 0;
    }
    if (!Alive(window)) return 0;

    RECT client;
    {
        std::lock_guard lock(platform::WindowLock());
        client = window->client;
    }
    platform::Send(window, WM_SIZE, SIZE_RESTORED,
                   MAKELPARAM(client.right - client.left, client.bottom - client.top));
    platform::Send(window, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
    if (style & WS_MAXIMIZE)
        platform::SetShowState(window, platform::ShowTarget::Maximize, false, false);
    else if (style & WS_MINIMIZE)
        platform::SetShowState(window, platform::ShowTarget::Minimize, false, false);
    if (style & WS_VISIBLE) ShowWindow(window->handle, SW_SHOW);
    guard.done = true;
    return Alive(window) ? window->handle : 0;
}
