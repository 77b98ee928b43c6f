// Update regions and painting: what of each window needs repainting, WM_PAINT and
// WM_ERASEBKGND, and window shapes.
//
// A window's update region grows with InvalidateRect and with what moving, sizing and
// showing windows uncovers, and shrinks with ValidateRect and BeginPaint. The message
// queue hands out WM_PAINT for a window with a non-empty update region only when nothing
// is posted, after WM_QUIT and before timers; it stays pending until the region is
// validated. Invisible and minimised windows get none. Windows come parents first, the
// children of a parent in z-order with WS_EX_TRANSPARENT ones after their siblings.
#pragma once

#include "platform/gdi/gdi_objects.h"
#include "platform/user/hwnd.h"
#include "platform/user/messages.h"
#include "platform/gdi/screen_dc.h"
#include "platform/kernel/win_types.h"
#include "platform/user/window_geometry.h"

inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_ERASEBKGND = 0x0014;

inline constexpr UINT RDW_INVALIDATE = 0x0001;
inline constexpr UINT RDW_INTERNALPAINT = 0x0002;
inline constexpr UINT RDW_ERASE = 0x0004;
inline constexpr UINT RDW_VALIDATE = 0x0008;
inline constexpr UINT RDW_NOINTERNALPAINT = 0x0010;
inline constexpr UINT RDW_NOERASE = 0x0020;
inline constexpr UINT RDW_NOCHILDREN = 0x0040;
inline constexpr UINT RDW_ALLCHILDREN = 0x0080;
inline constexpr UINT RDW_UPDATENOW = 0x0100;
inline constexpr UINT RDW_ERASENOW = 0x0200;
inline constexpr UINT RDW_FRAME = 0x0400;
inline constexpr UINT RDW_NOFRAME = 0x0800;

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase; // the background still needs erasing (WM_ERASEBKGND answered 0)
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

// Rectangles in client coordinates, null for the whole client area. A null window
// invalidates every window of the calling thread. Unless the window has
// WS_CLIPCHILDREN, its children covered by the rectangle are invalidated too.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
// Only the window itself; its children keep their update regions.
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase);
BOOL ValidateRgn(HWND window, HRGN region);
// The bounds of the update region (empty when none); with `erase`, a pending erase is done
// first. TRUE when the region is not empty.
BOOL GetUpdateRect(HWND window, RECT* rect, BOOL erase);
// RDW_INVALIDATE / RDW_VALIDATE the rectangle or region (client coordinates), RDW_ERASE /
// RDW_NOERASE, RDW_ALLCHILDREN / RDW_NOCHILDREN (neither: children unless
// WS_CLIPCHILDREN), RDW_ERASENOW erases and RDW_UPDATENOW also paints at once, the window
// before its children; RDW_FRAME and RDW_INTERNALPAINT are ignored (no frames are drawn
// here).
BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);
// Paints the window and its children at once if they need it.
BOOL UpdateWindow(HWND window);

// Validates the update region and hands it to the caller as a DC clipped to it, after
// WM_ERASEBKGND when the invalidation asked for erasing. A window that needs nothing
// gets a DC that draws nothing.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

// Gives the window a shape (window coordinates) that clips its painting and its hit
// testing; the system owns the region from then on (the handle is deleted). 0 removes
// the shape. Returns non-zero on success.
int SetWindowRgn(HWND window, HRGN region, BOOL redraw);
// Copies the shape into an existing region; ERROR when the window has none.
int GetWindowRgn(HWND window, HRGN region);

namespace platform {

// Whether a point on the screen lies in the window's rectangle and shape.
bool WindowRegionContains(HWND window, POINT point);

} // namespace platform
