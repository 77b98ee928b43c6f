#include "platform/kernel/errors.h"
#include "platform/user/paint/paint_hooks.h"
#include "platform/user/paint/update_region.h"

namespace {

using platform::WindowPtr;

// The windows RDW_UPDATENOW / RDW_ERASENOW reach, in painting order.
std::vector<WindowPtr> Reached(const WindowPtr& window, UINT flags) {
    std::vector<WindowPtr> order;
    std::lock_guard lock(platform::WindowLock());
    if (flags & RDW_NOCHILDREN) {
        if ((window->style & WS_VISIBLE) && !(window->style & WS_MINIMIZE)) order.push_back(window);
    } else {
        platform::PaintOrderLocked(window, order);
    }
    return order;
}

bool NeedsPaint(const WindowPtr& window) {
    std::lock_guard lock(platform::WindowLock());
    return !window->dead && !window->update.Empty();
}

} // namespace

BOOL RedrawWindow(HWND handle, const RECT* rect, HRGN region, UINT flags) {
    WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return FALSE;
    if ((flags & (RDW_INVALIDATE | RDW_VALIDATE)) &&
        !platform::ChangeUpdateRegion(handle, rect, region, flags))
        return FALSE;
    if (!(flags & (RDW_UPDATENOW | RDW_ERASENOW))) return TRUE;
    for (const WindowPtr& reached : Reached(window, flags)) {
        if (flags & RDW_UPDATENOW) {
            if (NeedsPaint(reached)) platform::Send(reached, WM_PAINT);
        } else {
            platform::EraseNow(reached);
        }
    }
    return TRUE;
}

BOOL UpdateWindow(HWND window) {
    return RedrawWindow(window, nullptr, 0, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

BOOL GetUpdateRect(HWND handle, RECT* rect, BOOL erase) {
    WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return FALSE;
    if (erase) platform::EraseNow(window);
    std::lock_guard lock(platform::WindowLock());
    if (rect) *rect = window->update.Bounds();
    return window->update.Empty() ? FALSE : TRUE;
}
