#include "platform/gdi/framebuffer.h"

#include <algorithm>
#include <unordered_map>

#include "platform/display/display_backend.h"
#include "platform/gdi/region.h"
#include "platform/system/system_info.h"
#include "platform/user/test_hooks.h"

namespace platform {
namespace {

RECT VirtualScreenRect() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

struct Framebuffers {
    std::mutex lock;
    std::unordered_map<HWND, Framebuffer> byWindow;
    PresentHook hook;
};

// Outlives static destructors, as the window table does.
Framebuffers& State() {
    static auto* state = new Framebuffers;
    return *state;
}

int Side(int64_t size) {
    return static_cast<int>(std::clamp<int64_t>(size, 0, MAX_FRAMEBUFFER_SIDE));
}

void Resize(Framebuffer& buffer, int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0);
    int keepWidth = std::min(width, buffer.width);
    int keepHeight = std::min(height, buffer.height);
    for (int y = 0; y < keepHeight; ++y)
        std::copy_n(buffer.pixels.begin() + static_cast<size_t>(y) * buffer.width, keepWidth,
                    pixels.begin() + static_cast<size_t>(y) * width);
    buffer.pixels.swap(pixels);
    buffer.width = width;
    buffer.height = height;
    buffer.dirty = Region(RECT{0, 0, width, height});
}

} // namespace

std::mutex& FramebufferLock() {
    return State().lock;
}

Framebuffer* FramebufferLocked(const Window& topLevel) {
    if (topLevel.parent != 0) return nullptr;
    Framebuffer& buffer = State().byWindow[topLevel.handle];
    if (topLevel.style & WS_MINIMIZE) return &buffer;
    int width = Side(int64_t{topLevel.window.right} - topLevel.window.left);
    int height = Side(int64_t{topLevel.window.bottom} - topLevel.window.top);
    if (width != buffer.width || height != buffer.height) Resize(buffer, width, height);
    return &buffer;
}

Framebuffer* FindFramebufferLocked(HWND topLevel) {
    auto found = State().byWindow.find(topLevel);
    return found == State().byWindow.end() ? nullptr : &found->second;
}

void ForgetFramebuffer(HWND topLevel) {
    std::lock_guard lock(FramebufferLock());
    State().byWindow.erase(topLevel);
}

bool OffVirtualScreen(const RECT& rect) {
    return IsEmptyRect(IntersectRects(rect, VirtualScreenRect()));
}

std::vector<DisplayWindow> VisibleTopLevelWindows() {
    // The metrics are read before the window lock, which they may need themselves.
    const RECT screen = VirtualScreenRect();
    std::vector<DisplayWindow> shown;
    std::lock_guard lock(WindowLock());
    // A window without a parent stands for the top-level list.
    for (HWND handle : SiblingsLocked(Window{})) {
        WindowPtr window = LookupWindowLocked(handle);
        if (window && (window->style & WS_VISIBLE) && !(window->style & WS_MINIMIZE) &&
            !IsEmptyRect(IntersectRects(window->window, screen)))
            shown.push_back(DisplayWindow{handle, window->window});
    }
    return shown;
}

void SetPresentHook(PresentHook hook) {
    std::lock_guard lock(FramebufferLock());
    State().hook = std::move(hook);
}

void PresentFramebuffers() {
    std::vector<DisplayWindow> shown = VisibleTopLevelWindows();
    std::lock_guard windows(WindowLock());
    std::lock_guard lock(FramebufferLock());
    for (const DisplayWindow& entry : shown) {
        WindowPtr window = LookupWindowLocked(entry.window);
        if (!window) continue;
        Framebuffer* buffer = FramebufferLocked(*window);
        if (!buffer || buffer->dirty.Empty()) continue;
        FramebufferView view{entry.window, buffer->width, buffer->height, buffer->pixels.data(),
                             buffer->dirty.Rects()};
        buffer->dirty.Clear();
        if (State().hook) State().hook(view);
    }
}

} // namespace platform

namespace platform::test {

bool ReadWindowPixels(HWND handle, std::vector<uint32_t>& pixels, int& width, int& height) {
    std::lock_guard windows(WindowLock());
    WindowPtr window = LookupWindowLocked(handle);
    if (!window) return false;
    POINT client = ClientOriginLocked(*window);
    WindowPtr top = window;
    while (top->parent != 0)
        if (!(top = LookupWindowLocked(top->parent))) return false;
    int64_t left = int64_t{client.x} - top->window.left;
    int64_t topEdge = int64_t{client.y} - top->window.top;
    width = Side(int64_t{window->client.right} - window->client.left);
    height = Side(int64_t{window->client.bottom} - window->client.top);
    pixels.assign(static_cast<size_t>(width) * height, 0);
    std::lock_guard lock(FramebufferLock());
    Framebuffer* buffer = FramebufferLocked(*top);
    for (int y = 0; y < height; ++y) {
        int64_t fy = topEdge + y;
        if (fy < 0 || fy >= buffer->height) continue;
        for (int x = 0; x < width; ++x) {
            int64_t fx = left + x;
            if (fx < 0 || fx >= buffer->width) continue;
            pixels[static_cast<size_t>(y) * width + x] =
                buffer->pixels[static_cast<size_t>(fy) * buffer->width + fx];
        }
    }
    return true;
}

} // namespace platform::test
