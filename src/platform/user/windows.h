// The window manager: window classes, windows, their tree, state, geometry, z-order and
// the messages that go with them, with Windows' names and values (scripts read style
// bits and message numbers back).
//
// Windows belong to the thread that created them; only that thread may change them or
// send them messages (ERROR_WINDOW_OF_OTHER_THREAD otherwise). Any thread may ask about
// a window and post to it. Window handles are numbered from 0x10000 up and never handed
// out twice, so a destroyed window's handle stays invalid: calls on it answer 0/FALSE
// with ERROR_INVALID_WINDOW_HANDLE.
//
// A window procedure is called with nothing locked: it may create, destroy, move and
// send at will, and an exception it throws leaves the window manager consistent.
#pragma once

#include "platform/user/hwnd.h"
#include "platform/user/messages.h"
#include "platform/kernel/win_types.h"
#include "platform/user/window_class.h"
#include "platform/user/window_geometry.h"

// Window styles.
inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_MINIMIZE = 0x20000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_MAXIMIZE = 0x01000000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_DLGFRAME = 0x00400000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_HSCROLL = 0x00100000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
inline constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
inline constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
inline constexpr DWORD WS_POPUPWINDOW = 0x80880000;

// Extended window styles.
inline constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
inline constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;
inline constexpr DWORD WS_EX_TOPMOST = 0x00000008;
inline constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;
inline constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
inline constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr DWORD WS_EX_LEFTSCROLLBAR = 0x00004000;
inline constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
inline constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
inline constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
inline constexpr DWORD WS_EX_OVERLAPPEDWINDOW = 0x00000300;

inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// Messages of the window manager.
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ENABLE = 0x000A;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_GETTEXT = 0x000D;
inline constexpr UINT WM_GETICON = 0x007F;
inline constexpr UINT WM_SETICON = 0x0080;
inline constexpr WPARAM ICON_SMALL = 0;
inline constexpr WPARAM ICON_BIG = 1;
inline constexpr UINT WM_GETTEXTLENGTH = 0x000E;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
inline constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
inline constexpr UINT WM_STYLECHANGING = 0x007C;
inline constexpr UINT WM_STYLECHANGED = 0x007D;
inline constexpr UINT WM_NCCREATE = 0x0081;
inline constexpr UINT WM_NCDESTROY = 0x0082;
inline constexpr UINT WM_NCCALCSIZE = 0x0083;
inline constexpr UINT WM_NCPAINT = 0x0085;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
// Sent to every top-level window after the system colours changed.
inline constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
// Sent to every top-level window after the display mode changed: wParam the bits per
// pixel, lParam the width and height.
inline constexpr UINT WM_DISPLAYCHANGE = 0x007E;

// WM_SIZE kinds.
inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WPARAM SIZE_MINIMIZED = 1;
inline constexpr WPARAM SIZE_MAXIMIZED = 2;

// WM_SYSCOMMAND commands (the low four bits of wParam are the system's own).
inline constexpr WPARAM SC_SIZE = 0xF000;
inline constexpr WPARAM SC_MOVE = 0xF010;
inline constexpr WPARAM SC_MINIMIZE = 0xF020;
inline constexpr WPARAM SC_MAXIMIZE = 0xF030;
inline constexpr WPARAM SC_CLOSE = 0xF060;
inline constexpr WPARAM SC_RESTORE = 0xF120;

// SetWindowPos.
inline constexpr HWND HWND_TOP = 0;
inline constexpr HWND HWND_BOTTOM = 1;
inline constexpr HWND HWND_TOPMOST = 0xFFFFFFFFu;
inline constexpr HWND HWND_NOTOPMOST = 0xFFFFFFFEu;

inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOREDRAW = 0x0008;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr UINT SWP_FRAMECHANGED = 0x0020;
inline constexpr UINT SWP_SHOWWINDOW = 0x0040;
inline constexpr UINT SWP_HIDEWINDOW = 0x0080;
inline constexpr UINT SWP_NOCOPYBITS = 0x0100;
inline constexpr UINT SWP_NOOWNERZORDER = 0x0200;
inline constexpr UINT SWP_NOSENDCHANGING = 0x0400;
// Set in WM_WINDOWPOSCHANGED when the client area kept its size / its place; the
// default handling sends WM_SIZE / WM_MOVE only without them.
inline constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
inline constexpr UINT SWP_NOCLIENTMOVE = 0x1000;

// Window longs.
inline constexpr int GWL_WNDPROC = -4;
inline constexpr int GWL_HINSTANCE = -6;
inline constexpr int GWL_ID = -12;
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr int GWL_USERDATA = -21;
inline constexpr int GWLP_WNDPROC = -4;
inline constexpr int GWLP_HINSTANCE = -6;
inline constexpr int GWLP_ID = -12;
inline constexpr int GWLP_USERDATA = -21;

// GetWindow.
inline constexpr UINT GW_HWNDFIRST = 0;
inline constexpr UINT GW_HWNDLAST = 1;
inline constexpr UINT GW_HWNDNEXT = 2;
inline constexpr UINT GW_HWNDPREV = 3;
inline constexpr UINT GW_OWNER = 4;
inline constexpr UINT GW_CHILD = 5;

struct CREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};

struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
};

// WM_NCCALCSIZE with wParam TRUE: rgrc[0] the new window rectangle (replaced by the new
// client rectangle), rgrc[1] the old window rectangle, rgrc[2] the old client rectangle.
struct NCCALCSIZE_PARAMS {
    RECT rgrc[3];
    WINDOWPOS* lppos;
};

struct STYLESTRUCT {
    DWORD styleOld;
    DWORD styleNew;
};

inline constexpr WORD LOWORD(DWORD_PTR value) {
    return static_cast<WORD>(value & 0xFFFF);
}
inline constexpr WORD HIWORD(DWORD_PTR value) {
    return static_cast<WORD>(value >> 16 & 0xFFFF);
}
inline constexpr LPARAM MAKELPARAM(int low, int high) {
    return static_cast<LPARAM>(static_cast<DWORD>(static_cast<WORD>(low)) |
                               static_cast<DWORD>(static_cast<WORD>(high)) << 16);
}

// Creation sends WM_NCCREATE (a CREATESTRUCTA), WM_NCCALCSIZE, WM_CREATE, then WM_SIZE
// and WM_MOVE; WS_MINIMIZE / WS_MAXIMIZE then take effect, and WS_VISIBLE shows the
// window as ShowWindow(SW_SHOW) does. FALSE from WM_NCCREATE fails the creation after
// WM_NCDESTROY, -1 from WM_CREATE after WM_DESTROY and WM_NCDESTROY. A WS_CHILD window
// needs a parent (ERROR_TLW_WITH_WSCHILD) and takes `menu` as its id; another window
// given as parent of a top-level window makes that window's top-level ancestor its
// owner. Parents and owners must belong to the calling thread (ERROR_ACCESS_DENIED).
// CW_USEDEFAULT in x places an overlapped window at a cascading default position, in
// width gives it three quarters of the screen; for other windows it is 0. New child
// windows go to the bottom of their siblings, top-level windows to the top of theirs,
// WS_EX_TOPMOST ones in the topmost band, owned windows in their owner's band.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
inline HWND CreateWindowA(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                          int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    return CreateWindowExA(0, className, windowName, style, x, y, width, height, parent, menu,
                           instance, param);
}

// Destroys the owned windows first, hides the window, sends WM_DESTROY to it and then to
// its descendants (parents first), then WM_NCDESTROY to the descendants and last to it
// (children first); each handle is dead after its WM_NCDESTROY. A window being
// destroyed answers a second DestroyWindow with TRUE and nothing more.
BOOL DestroyWindow(HWND window);

// Same thread: the window's procedure is called at once, through whatever subclassed
// it. Another thread's window: refused (0, ERROR_WINDOW_OF_OTHER_THREAD), as this
// layer's windows live on one thread. A layer dialog's window (hwnd.h) gets the message
// through its own route.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// WM_NCCREATE: TRUE and the creation text taken as the window's text; WM_NCCALCSIZE:
// client = window less the frames of the style; WM_SETTEXT, WM_GETTEXT,
// WM_GETTEXTLENGTH; WM_WINDOWPOSCHANGED: WM_MOVE and WM_SIZE as the client area moved
// or changed size; WM_CLOSE: DestroyWindow; WM_SYSCOMMAND: SC_CLOSE sends WM_CLOSE,
// SC_MINIMIZE, SC_MAXIMIZE and SC_RESTORE show the window so; WM_PAINT validates (through
// BeginPaint and EndPaint); WM_ERASEBKGND fills with the class brush (1) or does nothing
// without one (0); anything else 0.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The LONG forms refuse GWL_WNDPROC (ERROR_INVALID_INDEX: a procedure does not fit in
// 32 bits) and values that do not fit in a LONG (ERROR_ARITHMETIC_OVERFLOW, nothing
// changed). Non-negative indexes address the class's extra window bytes. GWL_STYLE and
// GWL_EXSTYLE send WM_STYLECHANGING and WM_STYLECHANGED, and a change of frame, caption or
// scroll-bar bits recomputes the frame at once, as SWP_FRAMECHANGED does; WS_EX_TOPMOST
// only changes through SetWindowPos. Changing a window needs its own thread.
LONG GetWindowLongA(HWND window, int index);
LONG SetWindowLongA(HWND window, int index, LONG value);
LONG_PTR GetWindowLongPtrA(HWND window, int index);
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);

// Same thread: WM_SETTEXT / WM_GETTEXT / WM_GETTEXTLENGTH; another thread's window: the
// text kept by the window manager is read, and setting it is refused.
BOOL SetWindowTextA(HWND window, LPCSTR text);
int GetWindowTextA(HWND window, LPSTR buffer, int maxCount);
int GetWindowTextLengthA(HWND window);

BOOL IsChild(HWND parent, HWND window);
// The parent of a child window, the owner of a WS_POPUP window, else 0.
HWND GetParent(HWND window);
// Moves a child window under another parent (of the same thread), keeping its position
// in client coordinates, at the top of its new siblings. Returns the old parent; 0 with
// ERROR_INVALID_PARAMETER for a top-level window, a null or own-descendant parent.
HWND SetParent(HWND window, HWND newParent);
HWND GetWindow(HWND window, UINT command);
int GetDlgCtrlID(HWND window);
HWND GetDlgItem(HWND parent, int id);

// hwndInsertAfter: HWND_TOP, HWND_BOTTOM, HWND_TOPMOST, HWND_NOTOPMOST or a sibling.
// Top-level windows keep two bands, topmost windows above the others, and an owned
// window stays above its owner (moving a window moves its owned windows with it);
// HWND_BOTTOM takes a window out of the topmost band. Sends WM_WINDOWPOSCHANGING (whose
// WINDOWPOS the procedure may change), WM_NCCALCSIZE when the size or frame changes,
// then WM_WINDOWPOSCHANGED when anything changed.
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
// Commands 0 to 11; returns whether the window was visible. WM_SHOWWINDOW goes first
// when the visibility changes; minimising and maximising change the rectangle (the
// normal one is kept for restoring) and send WM_SIZE with SIZE_MINIMIZED/MAXIMIZED, and
// restoring with SIZE_RESTORED. Activating commands that show, minimise, maximise or
// restore a top-level window raise it.
BOOL ShowWindow(HWND window, int command);
// Visible when the window and all its ancestors have WS_VISIBLE.
BOOL IsWindowVisible(HWND window);
BOOL IsIconic(HWND window);
BOOL IsZoomed(HWND window);
// Sends WM_ENABLE when the state changes; returns whether the window was disabled.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
// Draws the user's attention to a top-level window (the display's flash while `invert`,
// else it stops); returns whether the window was active.
BOOL FlashWindow(HWND window, BOOL invert);

// The window rectangle that holds a client rectangle for the style, with the fixed
// classic metrics of GetSystemMetrics and 2 for a client edge. Scroll bars are not
// added, as they belong to the client side of the frame.
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
inline BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu) {
    return AdjustWindowRectEx(rect, style, menu, 0);
}

// Painting: update regions, WM_PAINT, device contexts and drawing objects.
#include "platform/gdi/device_context.h"
#include "platform/user/paint/update_region.h"
#include "platform/user/input/input.h"
