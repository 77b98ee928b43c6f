// The geometry of windows: points and rectangles, where a window is, how large its
// client area is, and the placement it is restored to. The windows themselves are made
// by the window manager (windows.h).
//
// A child window's rectangles are in its parent's client coordinates, a top-level
// window's on the screen. GetWindowRect answers in screen coordinates for both.
#pragma once

#include "platform/user/hwnd.h"
#include "platform/kernel/win_types.h"

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct WINDOWPLACEMENT {
    UINT length; // sizeof(WINDOWPLACEMENT), checked by both calls
    UINT flags;
    UINT showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};

// ShowWindow commands.
inline constexpr UINT SW_HIDE = 0;
inline constexpr UINT SW_SHOWNORMAL = 1;
inline constexpr UINT SW_NORMAL = 1;
inline constexpr UINT SW_SHOWMINIMIZED = 2;
inline constexpr UINT SW_SHOWMAXIMIZED = 3;
inline constexpr UINT SW_MAXIMIZE = 3;
inline constexpr UINT SW_SHOWNOACTIVATE = 4;
inline constexpr UINT SW_SHOW = 5;
inline constexpr UINT SW_MINIMIZE = 6;
inline constexpr UINT SW_SHOWMINNOACTIVE = 7;
inline constexpr UINT SW_SHOWNA = 8;
inline constexpr UINT SW_RESTORE = 9;
inline constexpr UINT SW_SHOWDEFAULT = 10;
inline constexpr UINT SW_FORCEMINIMIZE = 11;

inline constexpr UINT WPF_SETMINPOSITION = 0x0001;
inline constexpr UINT WPF_RESTORETOMAXIMIZED = 0x0002;

inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;

// All fail with ERROR_INVALID_WINDOW_HANDLE for a handle that names no window and with
// ERROR_INVALID_PARAMETER without an output (or with a wrong placement length).
BOOL GetClientRect(HWND window, RECT* rect);
BOOL GetWindowRect(HWND window, RECT* rect);
// The normal rectangle is the one the window has, or is restored to while minimised or
// maximised; showCmd tells the state (SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED or
// SW_SHOWNORMAL, hidden or not). WPF_RESTORETOMAXIMIZED is kept as set, or as a
// maximised window's minimising sets it, until the window leaves the minimised state.
BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);
// Stores the normal rectangle (and moves a window in the normal state there), the
// remembered positions and flags, then shows the window with showCmd. Only the window's
// own thread may call it (ERROR_WINDOW_OF_OTHER_THREAD).
BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement);
BOOL IsWindow(HWND window);

// Client coordinates of `window` to screen coordinates and back.
BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
// Maps points from the client coordinates of `from` to those of `to` (0 is the screen).
// Returns the horizontal offset in the low word and the vertical in the high word, 0
// with the error set for a bad window (0 is also the result of a null offset).
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
