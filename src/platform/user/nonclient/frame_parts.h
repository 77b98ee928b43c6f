// Where the parts of a window's frame lie, in its window coordinates, and what
// WM_NCHITTEST answers for them. Internal to the platform layer.
#pragma once

#include "platform/user/input/cursor.h"
#include "platform/user/window_table.h"

inline constexpr LRESULT HTSYSMENU = 3;
inline constexpr LRESULT HTMENU = 5;
inline constexpr LRESULT HTMINBUTTON = 8;
inline constexpr LRESULT HTMAXBUTTON = 9;
inline constexpr LRESULT HTCLOSE = 20;

namespace platform {

struct FrameParts {
    RECT window{}; // 0, 0, width, height
    int frame = 0; // the outer frame's width
    bool sizing = false;
    // Empty when the window has none.
    RECT caption{};
    RECT sysMenu{};
    RECT minButton{};
    RECT maxButton{};
    RECT closeButton{};
    RECT menuBar{};
    // The client area with its scroll bars, inside any client edge.
    RECT inner{};
};

FrameParts FramePartsLocked(const Window& window);
// The hit code of a point in window coordinates (HTNOWHERE outside the window).
LRESULT FrameHitTestLocked(const Window& window, POINT point);

} // namespace platform
