#include <algorithm>

#include "platform/display/display_backend.h"
#include "platform/kernel/threads.h"
#include "platform/user/input/input_routing.h"
#include "platform/user/menus/system_menu.h"
#include "platform/user/sys_commands.h"

namespace platform {
namespace {

struct Target {
    WindowPtr window;
    DWORD style = 0;
    DWORD exStyle = 0;
    bool menu = false;
    RECT outer{};
    POINT clientOrigin{};
    RECT client{};
};

// What the display reports is about a live top-level window of the calling thread; for a
// child, a dead window or one being destroyed nothing happens.
bool FindTarget(HWND handle, Target& target) {
    std::lock_guard lock(WindowLock());
    WindowPtr window = LiveLocked(handle);
    if (!window || window->parent != 0 || window->destroying ||
        window->threadId != GetCurrentThreadId())
        return false;
    target.window = window;
    target.style = window->style;
    target.exStyle = window->exStyle;
    target.menu = window->id != 0;
    target.outer = window->window;
    target.clientOrigin = ClientOriginLocked(*window);
    target.client = window->client;
    return true;
}

LONG Size(int64_t size) {
    return static_cast<LONG>(std::clamp<int64_t>(size, 0, COORDINATE_LIMIT));
}

} // namespace

void DisplayCloseRequested(HWND handle) {
    Target target;
    // A greyed close box turns the desktop's close request away before the window hears it.
    if (!FindTarget(handle, target) || CloseDisabled(handle)) return;
    PostMessageA(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void DisplayResized(HWND handle, int clientWidth, int clientHeight) {
    Target target;
    if (!FindTarget(handle, target) || (target.style & WS_MINIMIZE)) return;
    LONG width = Size(clientWidth);
    LONG height = Size(clientHeight);
    // The display tells us again of sizes we gave the window ourselves.
    if (width == target.client.right - target.client.left &&
        height == target.client.bottom - target.client.top)
        return;
    RECT wanted{0, 0, width, height};
    AdjustWindowRectEx(&wanted, target.style, target.menu ? TRUE : FALSE, target.exStyle);
    RECT sizing{target.outer.left, target.outer.top,
                Clamp32(int64_t{target.outer.left} + wanted.right - wanted.left),
                Clamp32(int64_t{target.outer.top} + wanted.bottom - wanted.top)};
    SendMessageA(handle, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&sizing));
    SetWindowPos(handle, 0, 0, 0, Size(int64_t{sizing.right} - sizing.left),
                 Size(int64_t{sizing.bottom} - sizing.top),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DisplayMoved(HWND handle, int clientX, int clientY) {
    Target target;
    if (!FindTarget(handle, target) || (target.style & WS_MINIMIZE)) return;
    if (clientX == target.clientOrigin.x && clientY == target.clientOrigin.y) return;
    int64_t x = int64_t{target.outer.left} + clientX - target.clientOrigin.x;
    int64_t y = int64_t{target.outer.top} + clientY - target.clientOrigin.y;
    SetWindowPos(handle, 0, Clamp32(x), Clamp32(y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DisplayStateChanged(HWND handle, DisplayWindowState state) {
    Target target;
    if (!FindTarget(handle, target)) return;
    bool minimized = (target.style & WS_MINIMIZE) != 0;
    bool maximized = (target.style & WS_MAXIMIZE) != 0;
    // Only what really changed is told: the display also reports the states we set.
    WPARAM command;
    switch (state) {
    case DisplayWindowState::Minimized:
        if (minimized) return;
        command = SC_MINIMIZE;
        break;
    case DisplayWindowState::Maximized:
        if (maximized && !minimized) return;
        command = SC_MAXIMIZE;
        break;
    default:
        if (!minimized && !maximized) return;
        command = SC_RESTORE;
        break;
    }
    SendMessageA(handle, WM_SYSCOMMAND, command, 0);
}

void DisplayActivated(HWND handle) {
    Target target;
    if (!FindTarget(handle, target)) return;
    if (!(target.style & WS_VISIBLE) || (target.style & WS_DISABLED)) return;
    Activate(target.window, WA_ACTIVE, true, true);
}

} // namespace platform
