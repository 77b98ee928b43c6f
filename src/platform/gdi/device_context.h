// Device contexts of windows. A window DC draws into its top-level window's framebuffer
// with its origin at the window's client area (GetWindowDC: at the window's corner),
// clipped to what of the window is visible: its ancestors' client areas, the window
// shapes, siblings above it under WS_CLIPSIBLINGS and children under WS_CLIPCHILDREN
// (WS_EX_TRANSPARENT windows clip nothing); BeginPaint's DC also to the update region.
// The clip follows the windows as they move. A DC of a destroyed window draws nothing.
#pragma once

#include <functional>
#include <memory>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/screen_dc.h"
#include "platform/user/window_geometry.h"

HDC GetWindowDC(HWND window);
// The rectangle's pixels (right and bottom excluded) in the brush, a handle or a system
// colour index + 1. A rectangle given backwards is PatBlt's negative extents: {60, 12,
// 45, 2} fills 46..60 x 3..12. FALSE for a DC or brush handle that names nothing; the
// null brush draws nothing.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// The rectangle's one-pixel border in the brush.
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
// Every bit of the rectangle's pixels inverted, the pixels FillRect would fill.
BOOL InvertRect(HDC dc, const RECT* rect);
// The bounds of what the DC may draw on, in its coordinates; the region kind or ERROR.
int GetClipBox(HDC dc, RECT* rect);
// The window a DC of GetDC or GetWindowDC draws on; 0 for other DCs.
HWND WindowFromDC(HDC dc);

namespace platform {

class Region;
struct Framebuffer;

// Runs `draw` with the framebuffer a window DC draws into, the DC's clip and its origin,
// both in framebuffer coordinates, with the window and framebuffer locks held: `draw`
// calls nothing of the window manager and adds what it changed to the dirty region.
// False for the screen's DC, a dead DC or window.
bool DrawThroughDC(
    HDC dc, const std::function<void(Framebuffer& buffer, const Region& clip, POINT origin)>& draw);

// A DC for BeginPaint, clipped to `update` (client coordinates): the window's own DC
// for CS_OWNDC, else a new one. EndPaintDC gives it back.
HDC BeginPaintDC(HWND window, const Region& update);
void EndPaintDC(HWND window, HDC dc);
// Whether the handle is a live DC of a window (not the screen's).
bool IsWindowDC(HDC dc);
// Frees a destroyed window's own DC.
void ReleaseOwnDC(HDC dc);

// The screen's DC (screen_dc.cpp).
HDC NewScreenDC();
bool IsScreenDC(HDC dc);
bool ReleaseScreenDC(HDC dc);

} // namespace platform
