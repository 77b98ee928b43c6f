#include "platform/gdi/device_context.h"

#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/gdi/framebuffer.h"
#include "platform/gdi/raster_device.h"
#include "platform/gdi/region.h"
#include "platform/kernel/errors.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/user/window_table.h"

namespace {

using platform::Region;
using platform::Window;
using platform::WindowPtr;

// Its fields are read and written with the window lock held.
class WindowDevice : public platform::RasterDevice {
public:
    platform::PixelFormat Format() const override { return platform::DisplayFormat(); }
    std::vector<uint32_t> ColorTable() const override { return platform::DisplayColorTable(); }

    HWND window = 0;
    bool wholeWindow = false; // GetWindowDC
    bool own = false;         // CS_OWNDC: lives as long as the window
    bool painting = false;    // between BeginPaint and EndPaint
    bool paintOnly = false;   // made for BeginPaint: EndPaint ends it
    Region update;            // while painting, client coordinates

protected:
    bool Access(const std::function<void(platform::RasterTarget&)>& use) override;
    // Only with itself, as in scrolling: the framebuffer lock is one for all windows.
    bool AccessWith(
        platform::RasterDevice& source,
        const std::function<void(platform::RasterTarget&, platform::RasterTarget&)>& use) override {
        if (&source != this) return false;
        return Access([&](platform::RasterTarget& target) { use(target, target); });
    }
};

std::shared_ptr<WindowDevice> LookupWindowDevice(HDC handle) {
    auto dc = platform::LookupObjectAs<platform::DeviceContext>(handle);
    if (!dc || dc->kind != platform::DcKind::Window) return nullptr;
    return std::static_pointer_cast<WindowDevice>(dc->device);
}

RECT Shifted(const RECT& r, POINT by) {
    Region moved(r);
    moved.Offset(by.x, by.y);
    return moved.Empty() ? RECT{0, 0, 0, 0} : moved.Rects().front();
}

// Where the window's own coordinates (its window rectangle's, in its parent's client
// area) start on the screen.
POINT ParentOriginLocked(const Window& window) {
    if (window.parent == 0) return POINT{0, 0};
    WindowPtr parent = platform::LookupWindowLocked(window.parent);
    return parent ? platform::ClientOriginLocked(*parent) : POINT{0, 0};
}

RECT ScreenWindowRectLocked(const Window& window) {
    return Shifted(window.window, ParentOriginLocked(window));
}

RECT ScreenClientRectLocked(const Window& window) {
    return Shifted(window.client, ParentOriginLocked(window));
}

// The window's rectangle on the screen, cut to its shape.
Region ScreenShapeLocked(const Window& window) {
    RECT rect = ScreenWindowRectLocked(window);
    if (!window.shape) return Region(rect);
    Region shape = *window.shape;
    shape.Offset(rect.left, rect.top);
    shape.Intersect(rect);
    return shape;
}

// Removes the visible, non-transparent siblings listed before `window` (those above it).
void ClipSiblingsAboveLocked(const Window& window, const std::vector<HWND>& siblings,
                             Region& visible) {
    for (HWND handle : siblings) {
        if (handle == window.handle) return;
        WindowPtr sibling = platform::LookupWindowLocked(handle);
        if (sibling && (sibling->style & WS_VISIBLE) && !(sibling->exStyle & WS_EX_TRANSPARENT))
            visible.Subtract(ScreenShapeLocked(*sibling));
    }
}

struct Target {
    WindowPtr top;
    POINT origin; // of the DC, in framebuffer coordinates
    Region clip;  // in framebuffer coordinates
};

// What a DC may draw on and where its origin lies; false for a dead window or DC.
bool TargetLocked(const WindowDevice& dc, Target& target) {
    WindowPtr window = platform::LookupWindowLocked(dc.window);
    if (!window) return false;
    bool client = !dc.wholeWindow;
    RECT area = client ? ScreenClientRectLocked(*window) : ScreenWindowRectLocked(*window);
    Region visible = ScreenShapeLocked(*window);
    visible.Intersect(area);
    POINT origin{area.left, area.top};
    if (dc.painting) {
        Region update = dc.update;
        update.Offset(origin.x, origin.y);
        visible.Intersect(update);
    }
    if (client && (window->style & WS_CLIPCHILDREN)) {
        for (HWND handle : window->children) {
            WindowPtr child = platform::LookupWindowLocked(handle);
            if (child && (child->style & WS_VISIBLE) && !(child->exStyle & WS_EX_TRANSPARENT))
                visible.Subtract(ScreenShapeLocked(*child));
        }
    }
    WindowPtr current = window;
    while (true) {
        if (!(current->style & WS_VISIBLE)) visible.Clear();
        if (current->parent == 0) break;
        WindowPtr parent = platform::LookupWindowLocked(current->parent);
        if (!parent) return false;
        if (current->style & WS_CLIPSIBLINGS)
            ClipSiblingsAboveLocked(*current, parent->children, visible);
        visible.Intersect(ScreenClientRectLocked(*parent));
        visible.Intersect(ScreenShapeLocked(*parent));
        current = parent;
    }
    if (current->style & WS_MINIMIZE) visible.Clear();
    LONG dx = -current->window.left;
    LONG dy = -current->window.top;
    visible.Offset(dx, dy);
    target.top = current;
    target.origin =
        POINT{platform::Clamp32(int64_t{origin.x} + dx), platform::Clamp32(int64_t{origin.y} + dy)};
    target.clip = std::move(visible);
    return true;
}

// Runs `draw(buffer, clip, origin)` with both locks held; false for a dead DC or window.
template <class Draw> bool WithTarget(const WindowDevice& dc, Draw draw) {
    std::lock_guard windows(platform::WindowLock());
    Target target;
    if (!TargetLocked(dc, target)) return false;
    std::lock_guard pixels(platform::FramebufferLock());
    platform::Framebuffer* buffer = platform::FramebufferLocked(*target.top);
    if (!buffer) return false;
    target.clip.Intersect(RECT{0, 0, buffer->width, buffer->height});
    draw(*buffer, target.clip, target.origin);
    return true;
}

bool WindowDevice::Access(const std::function<void(platform::RasterTarget&)>& use) {
    return WithTarget(*this, [&](platform::Framebuffer& buffer, const Region& clip, POINT origin) {
        platform::RasterTarget target;
        target.surface = platform::Surface{reinterpret_cast<uint8_t*>(buffer.pixels.data()),
                                           static_cast<ptrdiff_t>(buffer.width) * 4,
                                           buffer.width,
                                           buffer.height,
                                           platform::PixelFormat::Bgrx32,
                                           nullptr,
                                           0};
        target.origin = origin;
        target.limit = clip;
        use(target);
        buffer.dirty.Add(target.changed);
    });
}

std::shared_ptr<WindowDevice> NewDC(HWND window, bool wholeWindow, HDC& handle) {
    auto device = std::make_shared<WindowDevice>();
    device->window = window;
    device->wholeWindow = wholeWindow;
    handle = platform::RegisterDC(platform::DcKind::Window, device);
    return handle ? device : nullptr;
}

} // namespace

HDC GetDC(HWND handle) {
    if (handle == 0) return platform::NewScreenDC();
    WindowPtr window = platform::LookupWindow(handle);
    if (!window) return 0;
    bool ownDC = (window->windowClass->style & CS_OWNDC) != 0;
    {
        std::lock_guard lock(platform::WindowLock());
        if (ownDC && window->ownDC != 0) return window->ownDC;
    }
    HDC dc = 0;
    std::shared_ptr<WindowDevice> made = NewDC(handle, false, dc);
    if (!made || !ownDC) return dc;
    made->own = true;
    std::lock_guard lock(platform::WindowLock());
    if (window->dead) {
        platform::UnregisterObject(dc);
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    window->ownDC = dc;
    return dc;
}

HDC GetWindowDC(HWND handle) {
    if (handle == 0) return platform::NewScreenDC();
    if (!platform::LookupWindow(handle)) return 0;
    HDC dc = 0;
    NewDC(handle, true, dc);
    return dc;
}

int ReleaseDC(HWND window, HDC handle) {
    if (window == 0) return platform::ReleaseScreenDC(handle) ? 1 : 0;
    std::shared_ptr<WindowDevice> dc = LookupWindowDevice(handle);
    if (!dc || dc->window != window || dc->paintOnly) return 0;
    if (dc->own) return 1;
    return platform::UnregisterObject(handle) ? 1 : 0;
}

HWND WindowFromDC(HDC handle) {
    std::shared_ptr<WindowDevice> dc = LookupWindowDevice(handle);
    return dc ? dc->window : 0;
}

bool platform::DrawThroughDC(
    HDC dc,
    const std::function<void(Framebuffer& buffer, const Region& clip, POINT origin)>& draw) {
    std::shared_ptr<WindowDevice> device = LookupWindowDevice(dc);
    return device && WithTarget(*device, draw);
}

namespace platform {

HDC BeginPaintDC(HWND window, const Region& update) {
    HDC handle = GetDC(window);
    std::shared_ptr<WindowDevice> dc = LookupWindowDevice(handle);
    if (!dc) return 0;
    std::lock_guard lock(WindowLock());
    dc->painting = true;
    dc->paintOnly = !dc->own;
    dc->update = update;
    return handle;
}

void EndPaintDC(HWND window, HDC handle) {
    std::shared_ptr<WindowDevice> dc = LookupWindowDevice(handle);
    if (!dc || dc->window != window || !dc->painting) return;
    {
        std::lock_guard lock(WindowLock());
        dc->painting = false;
        dc->update.Clear();
    }
    if (!dc->own) UnregisterObject(handle);
}

bool IsWindowDC(HDC dc) {
    return dc != 0 && LookupWindowDevice(dc) != nullptr;
}

void ReleaseOwnDC(HDC dc) {
    if (LookupWindowDevice(dc)) UnregisterObject(dc);
}

} // namespace platform
