// What the window manager keeps of scroll bars, and where the rest of it calls in.
// Internal to the platform layer.
#pragma once

#include "platform/user/scroll/scroll_bar.h"
#include "platform/user/scroll/scroll_layout.h"
#include "platform/user/window_table.h"

namespace platform {

struct ScrollBarData {
    ScrollValues values;
    // Set by SIF_DISABLENOSCROLL on a bar that cannot scroll.
    bool disabled = false;
    // While the thumb is dragged: where it shows.
    bool dragging = false;
    int trackPos = 0;
    // The part held down, drawn pushed.
    ScrollPart pressed = ScrollPart::None;
};

// The three bars a window may have, indexed by SB_HORZ, SB_VERT and SB_CTL.
struct ScrollBars {
    ScrollBarData bars[3];
};

inline constexpr char SCROLLBAR_CLASS[] = "SCROLLBAR";
// Registers "SCROLLBAR" once; CreateWindowExA calls it before looking up a class.
void RegisterScrollBarClass();
bool IsScrollBarControlLocked(const Window& window);

// The bar's data, made on first use (a window's bars start at 0..100, a control at 0..0).
ScrollBarData& ScrollBarLocked(Window& window, int bar);
// Whether the bar runs up and down.
bool VerticalLocked(const Window& window, int bar);
// Where a window's own bar lies, in its window coordinates; empty when it has none.
RECT WindowBarRectLocked(const Window& window, int bar);

// Draws a bar in `rect` of the DC, with `track` for its page areas.
void DrawScrollBar(HDC dc, const RECT& rect, bool vertical, const ScrollBarData& data, bool enabled,
                   HBRUSH track);
// Draws the window's own bars (and the corner between them) through a window DC.
void DrawWindowScrollBars(HWND window);

// The pointer went down on a bar at `point` (client coordinates of `window`): tracking
// starts through the capture.
void BeginScrollTracking(HWND window, int bar, POINT point);
// A mouse message for a window while it tracks; false when it is not tracking.
bool ScrollTrackingMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform
