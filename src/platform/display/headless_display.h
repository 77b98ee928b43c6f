// Driving the headless display from tests: what a user would do to the windows (the
// pointer, keys, typed text, dropped files, the window frame's buttons and edges), the
// passing of time, and the pixels the windows show.
//
// Every call acts at once, on the calling thread, which must be the one that owns the
// windows: the messages it makes are sent, or posted to that thread's queue, where
// DispatchPending (or the test's own loop) takes them. Screen coordinates are those of
// the virtual display; a window's client coordinates are turned into them first.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel/win_types.h"
#include "platform/user/windows.h"

namespace platform::headless {

// Makes a fresh headless back end the active display, whatever the environment asks for.
void Install();

// Takes and dispatches every message waiting in the calling thread's queue (translating
// key messages), until none is left or WM_QUIT comes (left in the queue); the number
// dispatched.
int DispatchPending();

enum class Button { Left, Right, Middle };

// The pointer, on the screen.
void MoveMouse(int x, int y);
void PressMouse(Button button, int x, int y);
void ReleaseMouse(Button button, int x, int y);
// A press and a release at the same point.
void Click(Button button, int x, int y);
// `steps` notches of the wheel, away from the user when positive.
void TurnWheel(int x, int y, int steps);

// The same, at a point of a window's client area. False, and nothing happens, when the
// window does not exist.
bool MoveMouse(HWND window, int x, int y);
bool PressMouse(HWND window, Button button, int x, int y);
bool ReleaseMouse(HWND window, Button button, int x, int y);
bool Click(HWND window, Button button, int x, int y);
bool TurnWheel(HWND window, int x, int y, int steps);

// A virtual key (VK_ code) going down (again, while held: a repeat) or up; PressKey does
// both.
void KeyDown(int vKey);
void KeyUp(int vKey);
void PressKey(int vKey);
// Windows-1252 characters typed: each becomes a WM_CHAR for the focus window.
void TypeText(std::string_view text);

// Files dropped at a screen point, or a point of a window's client area: false when no
// window there accepts files.
bool DropFiles(int x, int y, const std::vector<std::string>& files);
bool DropFiles(HWND window, int x, int y, const std::vector<std::string>& files);

// The window frame, as its owner's display would report it.
void RequestClose(HWND window);
void ResizeClient(HWND window, int width, int height);
void MoveClient(HWND window, int x, int y);
void Minimize(HWND window);
void Maximize(HWND window);
void Restore(HWND window);
// The user brought the window to the front: it becomes the active window.
void Focus(HWND window);
// The application lost (false) or regained (true) the user's attention.
void SetAppActive(bool active);

// Moves the clock on, freezing it first at the present time when it runs freely
// (test_hooks.h's UnfreezeClock lets it run again): timers fall due as it passes them.
void AdvanceTime(DWORD milliseconds);

// A window's client area as the display shows it, rows top first, 0x00RRGGBB.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;
    uint32_t At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};
// False when the window does not exist.
bool ReadPixels(HWND window, Pixels& pixels);
// The whole window as the display shows it: frame, caption, menu bar and client area.
bool ReadWholePixels(HWND window, Pixels& pixels);
// Writes the window's client area to an 8-bit RGB PNG file at a Linux path; false when
// the window does not exist, its client area is empty or the file cannot be written.
bool WritePng(HWND window, const std::string& linuxPath);

// The FlashWindow calls the headless display saw, in order.
struct FlashRequest {
    HWND window;
    bool on;
};
std::vector<FlashRequest> Flashes();

// Called each time an open menu (a menu bar's or TrackPopupMenu's) has nothing left to do
// and would wait for the user, with its innermost popup window (0 while only the bar is
// selected): the place to inject what the user does next. An empty hook removes it.
void SetMenuWaitHook(std::function<void(HWND popup)> hook);

// Sets a variable of the process environment, or removes it when `value` is null, for
// tests of what the environment chooses.
void SetEnvironment(const char* name, const char* value);

} // namespace platform::headless
