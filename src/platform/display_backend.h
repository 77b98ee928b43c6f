// What a display back end needs from the window manager: which top-level windows to
// show, in what order, and their pixels with what changed since the last present.
// Internal to the platform layer.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/window_geometry.h"

namespace platform {

struct DisplayWindow {
    HWND window;
    RECT rect; // on the screen
};

// The visible, not minimised top-level windows, the top one first.
std::vector<DisplayWindow> VisibleTopLevelWindows();

struct FramebufferView {
    HWND window;
    int width;
    int height;
    const uint32_t* pixels; // width * height, rows top first, 0x00RRGGBB
    std::vector<RECT> dirty;
};

// Called by PresentFramebuffers for each window with something to show; it runs with the
// framebuffers locked, so it copies what it needs and calls nothing of the window
// manager. An empty hook drops the dirty lists.
using PresentHook = std::function<void(const FramebufferView&)>;
void SetPresentHook(PresentHook hook);
// Hands every visible top-level window with dirty rectangles to the hook, top one first,
// and clears its list.
void PresentFramebuffers();

} // namespace platform
