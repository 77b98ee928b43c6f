// Where painting hooks into the rest of the window manager. Internal to the platform
// layer.
#pragma once

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"
#include "platform/user/window_table.h"

namespace platform {

// Which children an invalidation reaches.
enum class ChildReach { None, All, ByStyle };

// Adds `area` (client coordinates, clipped to the client area) to the window's update
// region and, as `reach` says, to its children's. Needs the window lock.
void InvalidateLocked(Window& window, Region area, bool erase, ChildReach reach);

// RedrawWindow's RDW_INVALIDATE / RDW_VALIDATE part (and InvalidateRect's, ...): false for
// a dead window or region handle. Takes the window lock.
bool ChangeUpdateRegion(HWND window, const RECT* rect, HRGN region, UINT flags);

// Sends WM_ERASEBKGND through a DC clipped to the update region if an erase is pending.
void EraseNow(const WindowPtr& window);
// The window and its visible descendants in painting order: each window before its
// children, a parent's transparent children after the others. Needs the window lock.
void PaintOrderLocked(const WindowPtr& window, std::vector<WindowPtr>& out);

// After a geometry, visibility or z-order change: invalidates what the window uncovered
// in its parent and what of itself needs repainting. Takes the window lock.
void InvalidateAfterPosChange(const WindowPtr& window, const RECT& oldWindow, const RECT& oldClient,
                              DWORD oldStyle, UINT flags);

// The first window of the calling thread that needs WM_PAINT and passes the filters
// (as TakeMessageLocked's); false when none. Needs the wait hub's lock, not the window
// lock.
bool TakePaintMessageLocked(MSG& msg, HWND window, UINT filterMin, UINT filterMax);

// Whether some window of the calling thread waits for WM_PAINT, for waits that wake on
// messages. Needs the wait hub's lock, not the window lock.
bool PaintPendingLocked();

// DefWindowProcA's WM_PAINT (validates) and WM_ERASEBKGND (the class brush).
LRESULT DefaultPaint(HWND window);
LRESULT DefaultEraseBackground(HWND window, HDC dc);

// Drops what painting kept for a window being removed: its own DC, its framebuffer.
void ForgetWindowPainting(Window& window);

} // namespace platform
