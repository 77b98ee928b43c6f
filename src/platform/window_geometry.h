// The geometry of windows: where a window is, how large its client area is, and the
// placement it is restored to. Windows here are records of geometry only, made by
// platform::CreateGeometryWindow; they draw nothing and receive no messages.
//
// A window keeps the width and height of its frame (window size less client size) as it
// was created, so changing its normal rectangle changes its client area by as much.
// Window states are not modelled: the window rectangle is the normal rectangle whatever
// the show state, which is only recorded.
#pragma once

#include "platform/hwnd.h"
#include "platform/win_types.h"

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

inline constexpr UINT SW_HIDE = 0;
inline constexpr UINT SW_SHOWNORMAL = 1;
inline constexpr UINT SW_SHOWMINIMIZED = 2;
inline constexpr UINT SW_SHOWMAXIMIZED = 3;

inline constexpr UINT WPF_SETMINPOSITION = 0x0001;
inline constexpr UINT WPF_RESTORETOMAXIMIZED = 0x0002;

inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;

// All fail with ERROR_INVALID_WINDOW_HANDLE for a handle that names no window and with
// ERROR_INVALID_PARAMETER without an output (or with a wrong placement length).
BOOL GetClientRect(HWND window, RECT* rect);
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);
BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement);
BOOL IsWindow(HWND window);

namespace platform {

// A shown window at `normal` whose client area is clientWidth x clientHeight; 0 with
// ERROR_INVALID_PARAMETER when the client area is negative or larger than the window.
// Handles are numbered below FIRST_PICKER_WINDOW.
HWND CreateGeometryWindow(const RECT& normal, int clientWidth, int clientHeight);
BOOL DestroyGeometryWindow(HWND window);

} // namespace platform
