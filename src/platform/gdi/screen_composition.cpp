#include "platform/gdi/screen_composition.h"

#include <mutex>

#include "platform/gdi/framebuffer.h"
#include "platform/gdi/region.h"
#include "platform/user/window_table.h"

namespace platform {
namespace {

// A top-level window's rectangle on the screen, cut to its shape.
Region ShapeOnScreen(const Window& window) {
    if (!window.shape) return Region(window.window);
    Region shape = *window.shape;
    shape.Offset(window.window.left, window.window.top);
    shape.Intersect(window.window);
    return shape;
}

} // namespace

void ComposeWindows(const RECT& area, uint32_t background, std::vector<uint32_t>& out) {
    if (IsEmptyRect(area)) {
        out.clear();
        return;
    }
    const int64_t width = int64_t{area.right} - area.left;
    out.assign(static_cast<size_t>(width * (int64_t{area.bottom} - area.top)), background);
    Region uncovered(area);
    std::lock_guard windows(WindowLock());
    std::lock_guard pixels(FramebufferLock());
    // A window without a parent stands for the top-level list, topmost first.
    for (HWND handle : SiblingsLocked(Window{})) {
        if (uncovered.Empty()) return;
        WindowPtr window = LookupWindowLocked(handle);
        if (!window || !(window->style & WS_VISIBLE) || (window->style & WS_MINIMIZE)) continue;
        Region part = ShapeOnScreen(*window);
        part.Intersect(uncovered);
        if (part.Empty()) continue;
        uncovered.Subtract(part);
        const Framebuffer* buffer = FramebufferLocked(*window);
        for (const RECT& r : part.Rects())
            for (LONG y = r.top; y < r.bottom; ++y) {
                uint32_t* row = out.data() + (int64_t{y} - area.top) * width;
                int64_t fy = int64_t{y} - window->window.top;
                for (LONG x = r.left; x < r.right; ++x) {
                    int64_t fx = int64_t{x} - window->window.left;
                    // Beyond what a huge window's framebuffer keeps nothing was drawn.
                    bool kept = buffer && fx < buffer->width && fy < buffer->height;
                    row[x - area.left] =
                        kept ? buffer->pixels[static_cast<size_t>(fy * buffer->width + fx)] : 0;
                }
            }
    }
}

} // namespace platform
