#include <algorithm>
#include <cstring>

#include "platform/display/display_backend.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/framebuffer.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/errors.h"
#include "platform/kernel/threads.h"
#include "platform/user/paint/paint_hooks.h"
#include "platform/user/paint/update_region.h"

namespace platform {
namespace {

bool ShownLocked(const Window& window) {
    return (window.style & WS_VISIBLE) && !(window.style & WS_MINIMIZE);
}

} // namespace

void PaintOrderLocked(const WindowPtr& window, std::vector<WindowPtr>& out) {
    if (!ShownLocked(*window)) return;
    out.push_back(window);
    for (bool transparent : {false, true}) {
        for (HWND handle : window->children) {
            WindowPtr child = LookupWindowLocked(handle);
            if (child && ((child->exStyle & WS_EX_TRANSPARENT) != 0) == transparent)
                PaintOrderLocked(child, out);
        }
    }
}

bool TakePaintMessageLocked(MSG& msg, HWND filter, UINT filterMin, UINT filterMax) {
    if ((filterMin != 0 || filterMax != 0) && (WM_PAINT < filterMin || WM_PAINT > filterMax))
        return false;
    DWORD self = GetCurrentThreadId();
    std::lock_guard lock(WindowLock());
    std::vector<WindowPtr> order;
    for (HWND handle : SiblingsLocked(Window{})) {
        WindowPtr top = LookupWindowLocked(handle);
        if (top && top->threadId == self) PaintOrderLocked(top, order);
    }
    for (const WindowPtr& window : order) {
        if (window->update.Empty()) continue;
        if (filter != 0 && filter != window->handle && !IsDescendantLocked(filter, window->handle))
            continue;
        msg = MSG{window->handle, WM_PAINT, 0, 0, timeGetTime(), {0, 0}};
        return true;
    }
    return false;
}

bool PaintPendingLocked() {
    MSG msg;
    return TakePaintMessageLocked(msg, 0, 0, 0);
}

void EraseNow(const WindowPtr& window) {
    Region update;
    {
        std::lock_guard lock(WindowLock());
        if (!window->eraseUpdate || window->dead) return;
        window->eraseUpdate = false;
        update = window->update;
    }
    HDC dc = BeginPaintDC(window->handle, update);
    if (dc == 0) return;
    Send(window, WM_ERASEBKGND, dc, 0);
    EndPaintDC(window->handle, dc);
}

LRESULT DefaultPaint(HWND window) {
    PAINTSTRUCT paint;
    if (BeginPaint(window, &paint) == 0) return 0;
    EndPaint(window, &paint);
    return 0;
}

LRESULT DefaultEraseBackground(HWND handle, HDC dc) {
    WindowPtr window = LookupWindow(handle);
    if (!window) return 0;
    HBRUSH brush = window->windowClass->background;
    COLORREF color;
    if (!BrushColor(brush, color)) return 0;
    RECT client;
    {
        std::lock_guard lock(WindowLock());
        client = RECT{0, 0, window->client.right - window->client.left,
                      window->client.bottom - window->client.top};
    }
    return FillRect(dc, &client, brush) ? 1 : 0;
}

void ForgetWindowPainting(Window& window) {
    HDC own;
    bool topLevel;
    RECT placed;
    RECT client;
    {
        std::lock_guard lock(WindowLock());
        own = window.ownDC;
        window.ownDC = 0;
        window.update.Clear();
        window.shape.reset();
        topLevel = window.parent == 0;
        placed = window.window;
        client = RECT{
            window.client.left - window.window.left, window.client.top - window.window.top,
            window.client.right - window.window.left, window.client.bottom - window.window.top};
    }
    if (own != 0) ReleaseOwnDC(own);
    if (topLevel) {
        // Nobody saw a window off the screen, so no picture of it is kept.
        if (!OffVirtualScreen(placed)) DumpLastPicture(window.handle, client);
        ForgetFramebuffer(window.handle);
    }
}

} // namespace platform

HDC BeginPaint(HWND handle, PAINTSTRUCT* paint) {
    platform::WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window || !paint) {
        if (window) SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    platform::Region update;
    bool erase;
    bool frame;
    {
        std::lock_guard lock(platform::WindowLock());
        const RECT& outer = window->window;
        const RECT& client = window->client;
        frame = outer.left != client.left || outer.top != client.top ||
                outer.right != client.right || outer.bottom != client.bottom;
    }
    // The frame's parts drawn by the window manager go first, as the client area's
    // painting may rely on them being there.
    if (frame) platform::Send(window, WM_NCPAINT, 1, 0);
    {
        std::lock_guard lock(platform::WindowLock());
        update = std::move(window->update);
        window->update.Clear();
        erase = window->eraseUpdate;
        window->eraseUpdate = false;
    }
    std::memset(paint, 0, sizeof *paint);
    HDC dc = platform::BeginPaintDC(handle, update);
    if (dc == 0) return 0;
    LRESULT erased = erase ? platform::Send(window, WM_ERASEBKGND, dc, 0) : 1;
    paint->hdc = dc;
    paint->fErase = erased == 0 ? TRUE : FALSE;
    paint->rcPaint = update.Bounds();
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (!paint) return FALSE;
    platform::EndPaintDC(window, paint->hdc);
    return TRUE;
}
