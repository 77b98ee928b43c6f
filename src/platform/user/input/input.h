// Keyboard, mouse, focus, activation, capture and timers of the window manager, with
// Windows' names and values. Input arrives from the display back end through
// input_routing.h and is queued for the window it belongs to: the focus window for the
// keyboard, the window under the pointer (or the capture window) for the mouse.
//
// Focus, activation and capture are process-wide: one focus window, one active window
// (which is also the foreground window) and one capture window.
#pragma once

#include "platform/kernel/win_types.h"
#include "platform/system/system_info.h"
#include "platform/user/hwnd.h"
#include "platform/user/input/keyboard_state.h"
#include "platform/user/messages.h"
#include "platform/user/window_geometry.h"

inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_ACTIVATEAPP = 0x001C;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_MOUSEACTIVATE = 0x0021;
inline constexpr UINT WM_NCHITTEST = 0x0084;
inline constexpr UINT WM_NCACTIVATE = 0x0086;
inline constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
inline constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
inline constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
inline constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
inline constexpr UINT WM_NCMBUTTONDOWN = 0x00A7;
inline constexpr UINT WM_KEYFIRST = 0x0100;
inline constexpr UINT WM_DEADCHAR = 0x0103;
inline constexpr UINT WM_SYSKEYUP = 0x0105;
inline constexpr UINT WM_SYSCHAR = 0x0106;
inline constexpr UINT WM_KEYLAST = 0x0108;
inline constexpr UINT WM_MOUSEFIRST = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
inline constexpr UINT WM_MBUTTONDOWN = 0x0207;
inline constexpr UINT WM_MBUTTONUP = 0x0208;
inline constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
inline constexpr UINT WM_MOUSEWHEEL = 0x020A;
inline constexpr UINT WM_MOUSELAST = 0x020A;
inline constexpr UINT WM_CAPTURECHANGED = 0x0215;

// WM_ACTIVATE's low word.
inline constexpr WORD WA_INACTIVE = 0;
inline constexpr WORD WA_ACTIVE = 1;
inline constexpr WORD WA_CLICKACTIVE = 2;

// WM_MOUSEACTIVATE's answers; 0 counts as MA_ACTIVATE.
inline constexpr LRESULT MA_ACTIVATE = 1;
inline constexpr LRESULT MA_ACTIVATEANDEAT = 2;
inline constexpr LRESULT MA_NOACTIVATE = 3;
inline constexpr LRESULT MA_NOACTIVATEANDEAT = 4;

// WM_NCHITTEST's answers.
inline constexpr LRESULT HTERROR = -2;
inline constexpr LRESULT HTTRANSPARENT = -1;
inline constexpr LRESULT HTNOWHERE = 0;
inline constexpr LRESULT HTCLIENT = 1;
inline constexpr LRESULT HTCAPTION = 2;
inline constexpr LRESULT HTBORDER = 18;

// Mouse message flags in wParam.
inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;
inline constexpr WPARAM MK_SHIFT = 0x0004;
inline constexpr WPARAM MK_CONTROL = 0x0008;
inline constexpr WPARAM MK_MBUTTON = 0x0010;
inline constexpr int WHEEL_DELTA = 120;

// ChildWindowFromPointEx.
inline constexpr UINT CWP_ALL = 0x0000;
inline constexpr UINT CWP_SKIPINVISIBLE = 0x0001;
inline constexpr UINT CWP_SKIPDISABLED = 0x0002;
inline constexpr UINT CWP_SKIPTRANSPARENT = 0x0004;

// Virtual keys beyond those of keyboard_state.h.
inline constexpr int VK_CANCEL = 0x03;
inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_CLEAR = 0x0C;
inline constexpr int VK_PAUSE = 0x13;
inline constexpr int VK_CAPITAL = 0x14;
inline constexpr int VK_END = 0x23;
inline constexpr int VK_HOME = 0x24;
inline constexpr int VK_SNAPSHOT = 0x2C;
inline constexpr int VK_INSERT = 0x2D;
inline constexpr int VK_DELETE = 0x2E;
inline constexpr int VK_LWIN = 0x5B;
inline constexpr int VK_RWIN = 0x5C;
inline constexpr int VK_APPS = 0x5D;
inline constexpr int VK_NUMPAD0 = 0x60;
inline constexpr int VK_NUMPAD9 = 0x69;
inline constexpr int VK_MULTIPLY = 0x6A;
inline constexpr int VK_ADD = 0x6B;
inline constexpr int VK_SEPARATOR = 0x6C;
inline constexpr int VK_SUBTRACT = 0x6D;
inline constexpr int VK_DECIMAL = 0x6E;
inline constexpr int VK_DIVIDE = 0x6F;
inline constexpr int VK_F1 = 0x70;
inline constexpr int VK_F10 = 0x79;
inline constexpr int VK_F12 = 0x7B;
inline constexpr int VK_SCROLL = 0x91;
inline constexpr int VK_OEM_1 = 0xBA;
inline constexpr int VK_OEM_PLUS = 0xBB;
inline constexpr int VK_OEM_COMMA = 0xBC;
inline constexpr int VK_OEM_MINUS = 0xBD;
inline constexpr int VK_OEM_PERIOD = 0xBE;
inline constexpr int VK_OEM_2 = 0xBF;
inline constexpr int VK_OEM_3 = 0xC0;
inline constexpr int VK_OEM_4 = 0xDB;
inline constexpr int VK_OEM_5 = 0xDC;
inline constexpr int VK_OEM_6 = 0xDD;
inline constexpr int VK_OEM_7 = 0xDE;

// MapVirtualKeyA's translations.
inline constexpr UINT MAPVK_VK_TO_VSC = 0;
inline constexpr UINT MAPVK_VSC_TO_VK = 1;
inline constexpr UINT MAPVK_VK_TO_CHAR = 2;
inline constexpr UINT MAPVK_VSC_TO_VK_EX = 3;

// Sends WM_KILLFOCUS (wParam the new focus) to the old focus window and WM_SETFOCUS
// (wParam the old one) to the new, activating its top-level window first. Returns the
// old focus; 0 with the error set for a dead window, another thread's or a disabled
// one. A null window takes the focus away.
HWND SetFocus(HWND window);
HWND GetFocus();
// Makes a top-level window (a child names its top-level window) the active one: the old
// one gets WM_NCACTIVATE FALSE and WM_ACTIVATE WA_INACTIVE, the new one is raised and
// gets WM_ACTIVATEAPP TRUE (when no window of its thread was active), WM_NCACTIVATE TRUE
// and WM_ACTIVATE WA_ACTIVE, then the focus when it lies outside it. Returns the window
// active before. A hidden or disabled window is refused.
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND window);
// The thread that made the window; the process id through `processId` when given.
DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId);

// Every mouse message goes to the capture window until it is released; the window that
// loses the capture gets WM_CAPTURECHANGED (lParam the new capture window).
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();

BOOL GetCursorPos(POINT* point);
// Moves the pointer without any message: the next mouse event starts from there.
BOOL SetCursorPos(int x, int y);
// The deepest visible, enabled window under a screen point that does not answer
// WM_NCHITTEST with HTTRANSPARENT; 0 when there is none.
HWND WindowFromPoint(POINT point);
// The child of `parent` (not a grandchild) under a point in its client coordinates, the
// parent itself when no child is there, 0 when the point lies outside the parent.
HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags);
inline HWND ChildWindowFromPoint(HWND parent, POINT point) {
    return ChildWindowFromPointEx(parent, point, CWP_ALL);
}
// 500 ms: two presses of a button within it, on the same window of a CS_DBLCLKS class
// and within SM_CXDOUBLECLK x SM_CYDOUBLECLK of each other, make a double click.
UINT GetDoubleClickTime();

// The key state as the messages read so far left it: the high bit while down, the low
// bit toggled by every press (Caps Lock, Num Lock).
SHORT GetKeyState(int vKey);
// US keyboard layout.
UINT MapVirtualKeyA(UINT code, UINT mapType);
// The key making a character in the low byte, the shift state in the high byte (1 Shift,
// 2 Ctrl, 4 Alt); -1 when no key makes it.
SHORT VkKeyScanA(CHAR character);

// Timers. A window's timers are named by their ids; SetTimer on an id the window already
// uses restarts it. Without a window the id names a timer of the calling thread, and a
// new one gets a fresh id. WM_TIMER is made when a timer is due and nothing else is
// waiting, at most one per timer at a time; its lParam is the procedure, which
// DispatchMessageA calls instead of the window's. Intervals are kept within 10 ms and
// 0x7FFFFFFF. Due times follow timeGetTime, so a frozen test clock drives them.
using TIMERPROC = void (*)(HWND window, UINT message, UINT_PTR id, DWORD time);
inline constexpr UINT USER_TIMER_MINIMUM = 0x0000000A;
inline constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure);
BOOL KillTimer(HWND window, UINT_PTR id);
