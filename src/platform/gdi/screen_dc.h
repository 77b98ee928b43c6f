// The screen's device context: the display's depth and size, and pixels that keep only
// what the display's pixel format can hold. What is drawn on it is kept in memory, never
// shown. A pixel it never drew on reads as the player's windows show it (the topmost
// visible top-level window there), else as the desktop's COLOR_BACKGROUND: other
// programs' pixels cannot be read.
//
// The format follows the virtual display (system_info.h): 8 bits keep 3-3-2, 16 bits
// 5-6-5 (or 5-5-5 when a test asks for it, test_hooks.h), read back widened as 16-bit
// DIBs are, 24 and 32 bits 8-8-8.
#pragma once

#include "platform/kernel/win_types.h"
#include "platform/user/hwnd.h"

using HDC = uint32_t;
using COLORREF = DWORD;

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

inline constexpr int TECHNOLOGY = 2;
inline constexpr int HORZSIZE = 4;
inline constexpr int VERTSIZE = 6;
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int NUMCOLORS = 24;
inline constexpr int ASPECTX = 40;
inline constexpr int ASPECTY = 42;
inline constexpr int ASPECTXY = 44;
inline constexpr int RASTERCAPS = 38;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int SIZEPALETTE = 104;
inline constexpr int NUMRESERVED = 106;
inline constexpr int COLORRES = 108;
inline constexpr int VREFRESH = 116;

inline constexpr int DT_RASDISPLAY = 1;
inline constexpr int RC_BITBLT = 0x0001;
inline constexpr int RC_BITMAP64 = 0x0008;
inline constexpr int RC_DI_BITMAP = 0x0080;
inline constexpr int RC_PALETTE = 0x0100;
inline constexpr int RC_DIBTODEV = 0x0200;
inline constexpr int RC_STRETCHBLT = 0x0800;
inline constexpr int RC_STRETCHDIB = 0x2000;

inline constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
    return static_cast<COLORREF>(red) | static_cast<COLORREF>(green) << 8 |
           static_cast<COLORREF>(blue) << 16;
}

// A null window gives the screen's DC; a window's DC is device_context.h's, the same
// handle every time for a CS_OWNDC window. 0 with ERROR_INVALID_WINDOW_HANDLE for a
// window that does not exist.
HDC GetDC(HWND window);
// 1 when the DC was released (a CS_OWNDC window's DC stays), 0 for a DC that is not the
// window's.
int ReleaseDC(HWND window, HDC dc);
// The display's capabilities, on every DC (memory DCs are the display's too; the
// display is never a palette device); 0 for an index it does not know or a handle that
// is no DC.
int GetDeviceCaps(HDC dc, int index);
// SetPixel returns the colour really stored, GetPixel the colour there; both CLR_INVALID
// outside what the DC may draw on (the display, a window's visible part, a bitmap, the
// clip) or for a handle that is no DC.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);
