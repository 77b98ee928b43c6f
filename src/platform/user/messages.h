// Thread message queues and window procedures.
//
// Every thread gets its own queue the first time it uses one (posting to its own queue,
// peeking, making a window). Messages for a window go to the queue of the thread that
// created it (windows.h) and are dispatched to its procedure (GWL_WNDPROC); a null window
// means the calling thread itself. Queues are thread-safe: a post from any thread wakes
// the owner waiting in GetMessageA or MsgWaitForMultipleObjects.
//
// Tests may stand a bare procedure in for a window with platform::BindWindowProcedure,
// at a handle below those of real windows.
#pragma once

#include "platform/user/hwnd.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/win_types.h"
#include "platform/user/window_geometry.h"

using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time; // timeGetTime when it was posted
    POINT pt;   // the pointer for input and timer messages, else 0, 0
};
using LPMSG = MSG*;

inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_USER = 0x0400;

inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;

inline constexpr DWORD QS_ALLINPUT = 0x04FF;

// A queue holds at most this many posted messages; further posts fail with
// ERROR_NOT_ENOUGH_QUOTA.
inline constexpr DWORD MAX_POSTED_MESSAGES = 10000;

// A null window posts to the calling thread's queue. Fails with
// ERROR_INVALID_WINDOW_HANDLE for a window that has no procedure bound.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Fails with ERROR_INVALID_THREAD_ID when the thread has no queue (it never used one,
// or it ended). The thread id of a started child process takes only WM_QUIT, as SIGTERM
// (platform/process/process.h).
BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
// WM_QUIT with wParam = exitCode comes out of the calling thread's queue once no other
// message is waiting there; a later call replaces the code.
void PostQuitMessage(int exitCode);

// Window filter: 0 any, else that window and its descendants; it must be one of the
// calling thread's (WM_QUIT has no window, so a window filter never sees it). Message range:
// min..max inclusive, 0, 0 for all. PeekMessageA returns FALSE at once when nothing matches;
// GetMessageA waits, and returns 0 for WM_QUIT, -1 (with the last error set) for a null
// output or a window filter naming no window of the thread, else non-zero.
BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax);
// A key down becomes WM_CHAR (WM_SYSCHAR with Alt), Windows-1252, queued to come next;
// input_routing.h tells which characters come as text instead. Non-zero for every key
// message, whether or not it made a character.
BOOL TranslateMessage(const MSG* msg);
// Calls the procedure of msg->hwnd and returns its result; 0 for a null, destroyed or
// unbound window or one of another thread. Nothing is locked across the call, so a
// procedure may post, peek, bind, destroy its window or throw.
LRESULT DispatchMessageA(const MSG* msg);

// WAIT_OBJECT_0 + i for a signalled handle i (as WaitForMultipleObjects does, count 0
// allowed), WAIT_OBJECT_0 + count when the calling thread's queue holds a message (any
// non-zero wake mask accepts every message), WAIT_TIMEOUT, or WAIT_FAILED. With waitAll,
// every handle must be signalled and a message be waiting; a timer falling due counts as
// a message. While the test clock is frozen, a wait that times out advances the clock by
// `milliseconds` (or up to the next timer, which ends it) and returns at once.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                DWORD milliseconds, DWORD wakeMask);

namespace platform {

// Real windows are numbered from here up; stand-in handles lie below.
inline constexpr HWND FIRST_WINDOW_HANDLE = 0x10000;

// Gives the stand-in `window` a procedure; the calling thread owns it and receives its
// messages. Binding again replaces the procedure and the owner. False with
// ERROR_INVALID_PARAMETER for a null procedure or a window not below
// FIRST_WINDOW_HANDLE.
bool BindWindowProcedure(HWND window, WNDPROC procedure);
// Messages already queued for the window stay queued; DispatchMessageA then returns 0
// for them. False with ERROR_INVALID_WINDOW_HANDLE when nothing was bound.
bool UnbindWindowProcedure(HWND window);

} // namespace platform
