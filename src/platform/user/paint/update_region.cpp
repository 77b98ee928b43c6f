#include "platform/user/paint/update_region.h"

#include "platform/gdi/device_context.h"
#include "platform/kernel/errors.h"
#include "platform/user/paint/paint_hooks.h"
#include "platform/kernel/threads.h"

namespace platform {
namespace {

RECT ClientBoundsLocked(const Window& window) {
    return RECT{0, 0, Clamp32(int64_t{window.client.right} - window.client.left),
                Clamp32(int64_t{window.client.bottom} - window.client.top)};
}

bool SameSize(const RECT& a, const RECT& b) {
    return int64_t{a.right} - a.left == int64_t{b.right} - b.left &&
           int64_t{a.bottom} - a.top == int64_t{b.bottom} - b.top;
}

} // namespace

void InvalidateLocked(Window& window, Region area, bool erase, ChildReach reach) {
    area.Intersect(ClientBoundsLocked(window));
    if (area.Empty()) return;
    window.update.Add(area);
    if (erase) window.eraseUpdate = true;
    if (reach == ChildReach::None) return;
    if (reach == ChildReach::ByStyle && (window.style & WS_CLIPCHILDREN)) return;
    for (HWND handle : window.children) {
        WindowPtr child = LookupWindowLocked(handle);
        if (!child) continue;
        Region childArea = area;
        childArea.Offset(-child->client.left, -child->client.top);
        InvalidateLocked(*child, std::move(childArea), erase, reach);
    }
}

void InvalidateAfterPosChange(const WindowPtr& window, const RECT& oldWindow, const RECT& oldClient,
                              DWORD oldStyle, UINT flags) {
    if (flags & SWP_NOREDRAW) return;
    std::lock_guard lock(WindowLock());
    if (window->dead) return;
    bool wasVisible = (oldStyle & WS_VISIBLE) != 0;
    bool visible = (window->style & WS_VISIBLE) != 0;
    if (!wasVisible && !visible) return;
    const RECT& now = window->window;
    bool moved = now.left != oldWindow.left || now.top != oldWindow.top;
    bool sized = !SameSize(now, oldWindow);
    bool child = window->parent != 0;
    if (child && wasVisible && (moved || sized || !visible)) {
        if (WindowPtr parent = LookupWindowLocked(window->parent)) {
            Region uncovered(oldWindow);
            if (visible) uncovered.Subtract(now);
            InvalidateLocked(*parent, std::move(uncovered), true, ChildReach::All);
        }
    }
    if (!visible) return;
    RECT client = ClientBoundsLocked(*window);
    UINT classStyle = window->windowClass->style;
    bool widthChanged = client.right != oldClient.right - oldClient.left;
    bool heightChanged = client.bottom != oldClient.bottom - oldClient.top;
    bool whole = !wasVisible || ((oldStyle ^ window->style) & (WS_MINIMIZE | WS_MAXIMIZE)) ||
                 (flags & SWP_FRAMECHANGED) || (child && (moved || !(flags & SWP_NOZORDER))) ||
                 (widthChanged && (classStyle & CS_HREDRAW)) ||
                 (heightChanged && (classStyle & CS_VREDRAW));
    Region area(client);
    if (!whole)
        area.Subtract(
            RECT{0, 0, oldClient.right - oldClient.left, oldClient.bottom - oldClient.top});
    InvalidateLocked(*window, std::move(area), true, ChildReach::All);
}

bool WindowRegionContains(HWND handle, POINT point) {
    std::lock_guard lock(WindowLock());
    WindowPtr window = LookupWindowLocked(handle);
    if (!window) return false;
    POINT origin{0, 0};
    if (window->parent != 0)
        if (WindowPtr parent = LookupWindowLocked(window->parent))
            origin = ClientOriginLocked(*parent);
    int64_t x = int64_t{point.x} - origin.x - window->window.left;
    int64_t y = int64_t{point.y} - origin.y - window->window.top;
    int64_t width = int64_t{window->window.right} - window->window.left;
    int64_t height = int64_t{window->window.bottom} - window->window.top;
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    return !window->shape || window->shape->Contains(static_cast<LONG>(x), static_cast<LONG>(y));
}

} // namespace platform

namespace {

// The area to act on, in client coordinates: the rectangle, else the region, else the
// whole client area. False for a region handle that names nothing.
bool AreaOf(const platform::Window& window, const RECT* rect, HRGN region, platform::Region& area) {
    if (rect) {
        area = platform::Region(*rect);
        return true;
    }
    if (region) return platform::RegionOf(region, area);
    area = platform::Region(
        RECT{0, 0, platform::Clamp32(int64_t{window.client.right} - window.client.left),
             platform::Clamp32(int64_t{window.client.bottom} - window.client.top)});
    return true;
}

} // namespace

namespace platform {

bool ChangeUpdateRegion(HWND handle, const RECT* rect, HRGN region, UINT flags) {
    WindowPtr window = LookupWindow(handle);
    if (!window) return false;
    std::lock_guard lock(WindowLock());
    Region area;
    if (!AreaOf(*window, rect, region, area)) return false;
    ChildReach reach = (flags & RDW_ALLCHILDREN)  ? ChildReach::All
                       : (flags & RDW_NOCHILDREN) ? ChildReach::None
                                                  : ChildReach::ByStyle;
    if (flags & RDW_INVALIDATE) {
        InvalidateLocked(*window, area, (flags & RDW_ERASE) != 0, reach);
        return true;
    }
    if (!(flags & RDW_VALIDATE)) return true;
    std::vector<WindowPtr> pending{window};
    std::vector<Region> areas{area};
    while (!pending.empty()) {
        WindowPtr next = pending.back();
        Region nextArea = std::move(areas.back());
        pending.pop_back();
        areas.pop_back();
        next->update.Subtract(nextArea);
        if (next->update.Empty() || (flags & RDW_NOERASE)) next->eraseUpdate = false;
        bool deeper = reach == ChildReach::All ||
                      (reach == ChildReach::ByStyle && !(next->style & WS_CLIPCHILDREN));
        if (!deeper) continue;
        for (HWND child : next->children) {
            WindowPtr found = LookupWindowLocked(child);
            if (!found) continue;
            Region childArea = nextArea;
            childArea.Offset(-found->client.left, -found->client.top);
            pending.push_back(found);
            areas.push_back(std::move(childArea));
        }
    }
    return true;
}

} // namespace platform

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    UINT flags = RDW_INVALIDATE | (erase ? RDW_ERASE : 0);
    if (window != 0) return platform::ChangeUpdateRegion(window, rect, 0, flags) ? TRUE : FALSE;
    std::vector<HWND> mine;
    {
        std::lock_guard lock(platform::WindowLock());
        for (const platform::WindowPtr& found : platform::AllWindowsLocked())
            if (found->parent == 0 && found->threadId == GetCurrentThreadId())
                mine.push_back(found->handle);
    }
    for (HWND handle : mine)
        platform::ChangeUpdateRegion(handle, rect, 0, flags | RDW_ALLCHILDREN);
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect) {
    return platform::ChangeUpdateRegion(window, rect, 0, RDW_VALIDATE | RDW_NOCHILDREN) ? TRUE
                                                                                        : FALSE;
}

BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase) {
    UINT flags = RDW_INVALIDATE | (erase ? RDW_ERASE : 0);
    return platform::ChangeUpdateRegion(window, nullptr, region, flags) ? TRUE : FALSE;
}

BOOL ValidateRgn(HWND window, HRGN region) {
    return platform::ChangeUpdateRegion(window, nullptr, region, RDW_VALIDATE | RDW_NOCHILDREN)
               ? TRUE
               : FALSE;
}

int SetWindowRgn(HWND handle, HRGN region, BOOL redraw) {
    platform::WindowPtr window = platform::LookupOwnWindow(handle);
    if (!window) return 0;
    std::shared_ptr<const platform::Region> shape;
    if (region != 0) {
        platform::Region copy;
        if (!platform::RegionOf(region, copy)) return 0;
        shape = std::make_shared<const platform::Region>(std::move(copy));
        DeleteObject(region);
    }
    {
        std::lock_guard lock(platform::WindowLock());
        window->shape = std::move(shape);
        if (redraw && window->parent != 0) {
            if (platform::WindowPtr parent = platform::LookupWindowLocked(window->parent))
                platform::InvalidateLocked(*parent, platform::Region(window->window), true,
                                           platform::ChildReach::All);
        }
    }
    if (redraw) RedrawWindow(handle, nullptr, 0, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return 1;
}

int GetWindowRgn(HWND handle, HRGN region) {
    platform::WindowPtr window = platform::LookupWindow(handle);
    if (!window) return ERROR;
    std::shared_ptr<const platform::Region> shape;
    {
        std::lock_guard lock(platform::WindowLock());
        shape = window->shape;
    }
    if (!shape) return ERROR;
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    for (const RECT& r : shape->Rects()) {
        HRGN part = CreateRectRgnIndirect(&r);
        CombineRgn(copy, copy, part, RGN_OR);
        DeleteObject(part);
    }
    int kind = CombineRgn(region, copy, 0, RGN_COPY);
    DeleteObject(copy);
    return kind;
}
