#include <algorithm>

#include "platform/kernel/errors.h"
#include "platform/user/input/input_routing.h"
#include "platform/user/paint/paint_hooks.h"
#include "platform/user/window_table.h"

namespace {

using platform::Window;
using platform::WindowPtr;

constexpr UINT kCallerFlags = 0x67FF & ~(SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE);
constexpr DWORD kStateBits = WS_MINIMIZE | WS_MAXIMIZE;

int64_t Width(const RECT& r) {
    return int64_t{r.right} - r.left;
}

int64_t Height(const RECT& r) {
    return int64_t{r.bottom} - r.top;
}

// Fills in what the flags keep and drops what would change nothing. Needs the lock.
void NormalizeLocked(WINDOWPOS& position, const Window& window) {
    if (window.parent != 0 &&
        (position.hwndInsertAfter == HWND_TOPMOST || position.hwndInsertAfter == HWND_NOTOPMOST))
        position.hwndInsertAfter = HWND_TOP;
    if (position.hwndInsertAfter == window.handle) position.flags |= SWP_NOZORDER;
    position.cx = std::max(position.cx, 0);
    position.cy = std::max(position.cy, 0);
    if (position.flags & SWP_NOMOVE) {
        position.x = window.window.left;
        position.y = window.window.top;
    } else if (position.x == window.window.left && position.y == window.window.top) {
        position.flags |= SWP_NOMOVE;
    }
    LONG width = platform::Clamp32(Width(window.window));
    LONG height = platform::Clamp32(Height(window.window));
    if (position.flags & SWP_NOSIZE) {
        position.cx = width;
        position.cy = height;
    } else if (position.cx == width && position.cy == height) {
        position.flags |= SWP_NOSIZE;
    }
    bool visible = (window.style & WS_VISIBLE) != 0;
    if (position.flags & SWP_SHOWWINDOW) position.flags &= ~SWP_HIDEWINDOW;
    if (visible) position.flags &= ~SWP_SHOWWINDOW;
    if (!visible) position.flags &= ~SWP_HIDEWINDOW;
}

bool SameSize(const RECT& a, const RECT& b) {
    return Width(a) == Width(b) && Height(a) == Height(b);
}

// A client rectangle made sane: never inside out, its sides within 32 bits.
RECT ClientAt(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    return RECT{platform::Clamp32(left), platform::Clamp32(top),
                platform::Clamp32(std::max(left, right)), platform::Clamp32(std::max(top, bottom))};
}

} // namespace

namespace platform {

BOOL ChangeWindowPos(const WindowPtr& window, HWND insertAfter, int x, int y, int width, int height,
                     UINT flags, DWORD newStyle) {
    WINDOWPOS position{window->handle, insertAfter, x, y, width, height, flags};
    {
        std::lock_guard lock(WindowLock());
        if (window->dead) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        NormalizeLocked(position, *window);
    }
    if (!(flags & SWP_NOSENDCHANGING)) {
        Send(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&position));
        position.hwnd = window->handle;
        position.flags &= kCallerFlags;
        std::lock_guard lock(WindowLock());
        if (window->dead) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        NormalizeLocked(position, *window);
    }

    RECT oldWindow, oldClient;
    DWORD oldStyle;
    {
        std::lock_guard lock(WindowLock());
        oldWindow = window->window;
        oldClient = window->client;
        oldStyle = window->style;
    }
    newStyle = (oldStyle & ~kStateBits) | (newStyle & kStateBits);
    bool stateChanged = (oldStyle & kStateBits) != (newStyle & kStateBits);
    RECT newWindow = RectAt(position.x, position.y, position.cx, position.cy);
    RECT newClient;
    if (newStyle & WS_MINIMIZE) {
        newClient = RECT{newWindow.left, newWindow.top, newWindow.left, newWindow.top};
    } else if (!SameSize(newWindow, oldWindow) || (position.flags & SWP_FRAMECHANGED) ||
               stateChanged) {
        NCCALCSIZE_PARAMS calc{{newWindow, oldWindow, oldClient}, &position};
        Send(window, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&calc));
        const RECT& answer = calc.rgrc[0];
        newClient = ClientAt(answer.left, answer.top, answer.right, answer.bottom);
    } else {
        int64_t dx = int64_t{newWindow.left} - oldWindow.left;
        int64_t dy = int64_t{newWindow.top} - oldWindow.top;
        newClient = ClientAt(oldClient.left + dx, oldClient.top + dy, oldClient.right + dx,
                             oldClient.bottom + dy);
    }

    {
        std::lock_guard lock(WindowLock());
        if (window->dead) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        window->window = newWindow;
        window->client = newClient;
        window->style = (window->style & ~kStateBits) | (newStyle & kStateBits);
        if (position.flags & SWP_SHOWWINDOW) window->style |= WS_VISIBLE;
        if (position.flags & SWP_HIDEWINDOW) window->style &= ~WS_VISIBLE;
        if (!(window->style & kStateBits)) window->normal = newWindow;
        if (!(position.flags & SWP_NOZORDER) && !ReorderLocked(*window, position.hwndInsertAfter))
            position.flags |= SWP_NOZORDER;
    }
    InvalidateAfterPosChange(window, oldWindow, oldClient, oldStyle, position.flags);
    if (SameSize(newClient, oldClient) && !stateChanged) position.flags |= SWP_NOCLIENTSIZE;
    if (newClient.left == oldClient.left && newClient.top == oldClient.top)
        position.flags |= SWP_NOCLIENTMOVE;

    constexpr UINT kNothing =
        SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE;
    bool changed = (position.flags & kNothing) != kNothing ||
                   (position.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED));
    if (changed) Send(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
    // A frame round an empty client area (a minimised child's caption bar) never gets the
    // WM_PAINT that draws the frame first, so it is drawn here.
    bool bareFrame;
    {
        std::lock_guard lock(WindowLock());
        bareFrame = !window->dead && (window->style & WS_VISIBLE) &&
                    (window->client.left == window->client.right ||
                     window->client.top == window->client.bottom) &&
                    window->window.left < window->window.right &&
                    window->window.top < window->window.bottom;
    }
    if (changed && bareFrame) Send(window, WM_NCPAINT, 1, 0);
    return TRUE;
}

} // namespace platform

BOOL SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return FALSE;
    bool special = insertAfter == HWND_TOP || insertAfter == HWND_BOTTOM ||
                   insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST;
    DWORD style;
    {
        std::lock_guard lock(platform::WindowLock());
        if (!special && !(flags & SWP_NOZORDER) && insertAfter != handle) {
            WindowPtr partner = platform::LookupWindowLocked(insertAfter);
            if (!partner || partner->parent != window->parent) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
        }
        style = window->style;
    }
    BOOL done = platform::ChangeWindowPos(window, insertAfter, x, y, width, height,
                                          flags & kCallerFlags, style);
    if (done && (flags & SWP_SHOWWINDOW) && !(flags & SWP_NOACTIVATE))
        platform::ActivateShownWindow(window);
    return done;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW);
    return SetWindowPos(handle, HWND_TOP, x, y, width, height, flags);
}
