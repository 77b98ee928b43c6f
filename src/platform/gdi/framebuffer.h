// The backing pixels of top-level windows. Internal to the platform layer.
//
// Every top-level window owns one 0x00RRGGBB framebuffer of its window's size; child
// windows draw into their top-level window's at their offset. The framebuffer lock is
// taken after the window lock when both are needed, never before it.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/gdi/region.h"
#include "platform/user/window_table.h"

namespace platform {

// A window larger than this on a side keeps pixels for this much of it only, so a
// window sized to the coordinate limit costs no more memory than a large screen.
inline constexpr int MAX_FRAMEBUFFER_SIDE = 4096;

struct Framebuffer {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    // In framebuffer coordinates, what changed since the last present.
    Region dirty;
};

std::mutex& FramebufferLock();
// The framebuffer of a top-level window, first made or brought to the window's size
// (what the old size held is kept, the rest is black). A minimised window keeps the
// framebuffer of its last shown size. Needs both locks; null for a child window.
Framebuffer* FramebufferLocked(const Window& topLevel);
// Needs the framebuffer lock; null when the window never had one.
Framebuffer* FindFramebufferLocked(HWND topLevel);
// Drops a destroyed window's framebuffer.
void ForgetFramebuffer(HWND topLevel);

// 0x00BBGGRR <-> 0x00RRGGBB.
inline uint32_t PixelFromColor(uint32_t color) {
    return (color & 0xFFu) << 16 | (color & 0xFF00u) | (color >> 16 & 0xFFu);
}
inline uint32_t ColorFromPixel(uint32_t pixel) {
    return PixelFromColor(pixel);
}

} // namespace platform
