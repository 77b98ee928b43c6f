// Where input enters the window manager, and the hooks the rest of the window manager
// calls into focus, activation, capture and timers. Internal to the platform layer.
//
// The display back ends (and the headless test interface) report what the user does
// through the Inject calls, on the thread that owns the windows: the mouse is hit tested
// with WM_NCHITTEST there, which is a sent message.
#pragma once

#include <mutex>
#include <string_view>

#include "platform/user/input/input.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_table.h"

namespace platform {

// Focus, activation and capture, guarded by the window lock. The handles may name windows
// that died since: read them through LiveLocked.
struct InputState {
    HWND focus = 0;
    HWND active = 0;
    HWND capture = 0;
    // The thread of the active window, 0 while none is active.
    DWORD activeThread = 0;
    // The window InjectAppActive(true) activates again.
    HWND lastActive = 0;
};
InputState& InputStateLocked();
// The live window of a handle, or null; the last error stays as it was.
WindowPtr LiveLocked(HWND handle);
// The top-level window a window belongs to.
WindowPtr TopLevelLocked(WindowPtr window);
// The window's rectangle and its client area's, on the screen.
RECT ScreenRectLocked(const Window& window);
RECT ScreenClientLocked(const Window& window);
// WM_NCHITTEST's default answer for a screen point. Needs the window lock.
LRESULT DefaultHitTestLocked(const Window& window, POINT point);

// Makes `target` (a top-level window, or null for none) the active window, with `how` in
// WM_ACTIVATE. `raise` puts it on top; `setFocus` moves the focus into it when it lies
// outside. Returns the window active before.
HWND Activate(const WindowPtr& target, WORD how, bool raise, bool setFocus);
// Moves the focus without activating anything; returns the old focus.
HWND MoveFocus(const WindowPtr& target);

enum class MouseEvent {
    Move,
    LeftDown,
    LeftUp,
    RightDown,
    RightUp,
    MiddleDown,
    MiddleUp,
    Wheel,
};

// The pointer at a screen point; `wheel` is the rotation of a Wheel event, in
// WHEEL_DELTA steps of 120.
void InjectMouse(int screenX, int screenY, MouseEvent kind, int wheel = 0);
// Movement of a held pointer (relative mouse mode): gathered for the DirectInput mouse
// only; the pointer stays where it is.
void InjectMouseMotion(int dx, int dy);
// A key going down (again, when it repeats) or up.
void InjectKey(int vKey, bool down);
// The virtual key at a scan code of the US layout (set 1), the sided one for Shift,
// Control and Alt; 0 for none.
int VirtualKeyOfScan(int scan, bool extended);
// Characters typed, Windows-1252: each becomes a WM_CHAR for the focus window.
void InjectText(std::string_view text);
// A back end whose text arrives through InjectText says so here. From then on
// TranslateMessage makes from key downs only the characters no text event brings:
// control characters (Backspace, Tab, Return, Escape, Ctrl+letter, Ctrl+Return) and
// WM_SYSCHAR with Alt. Without it every character comes from TranslateMessage, so a
// key is never typed twice.
void SetTextInputDelivered(bool delivered);
bool TextInputDelivered();
// The application lost (false) or regained (true) the user's attention: the active window
// is deactivated, or the last one activated again.
void InjectAppActive(bool active);

// Called by DestroyWindow before the window and its descendants go: activation moves to
// the owner or the next top-level window, focus and capture leave the dying windows.
void ReleaseInputFrom(const WindowPtr& window);
// A top-level window was shown by an activating command.
void ActivateShownWindow(const WindowPtr& window);
// DefWindowProcA's handling of the input messages; false when `message` is none of them.
bool DefaultInputMessage(const WindowPtr& window, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT& result);

// The posting of input: WM_MOUSEMOVE is coalesced (one pending move per queue, replaced by
// the newest unless a button or key message came after it). Needs the hub locked.
bool PostInputLocked(MessageQueue& queue, const MSG& msg);

// A message left the queue: a key message moves the key state GetKeyState reports.
void NoteInputTaken(const MSG& msg);

// WM_TIMER for the calling thread's first due timer that passes the filters; restarts
// the timer when taken. Needs the hub locked.
bool TakeTimerMessageLocked(MSG& msg, HWND window, UINT filterMin, UINT filterMax, bool remove);
// Whether a timer of the calling thread is due. Needs the hub locked.
bool TimerDueLocked();
// Milliseconds until the calling thread's next timer that passes the filters falls due
// (0 when one is due), or INFINITE. Needs the hub locked.
DWORD NextTimerDelayLocked(HWND window, UINT filterMin, UINT filterMax);
// Waits, with the hub locked through `lock`, for a post or the next timer passing the
// filters; under a frozen clock the clock is moved on to that timer instead.
void WaitForMessageLocked(std::unique_lock<std::mutex>& lock, HWND window, UINT filterMin,
                          UINT filterMax);
// A WM_TIMER carrying a procedure: calls it when it is the procedure of a live timer of
// that window and id, and drops the message otherwise (a posted address is never called).
LRESULT DispatchTimerProcedure(const MSG& msg);

} // namespace platform
