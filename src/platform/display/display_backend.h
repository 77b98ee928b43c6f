// What a display back end needs from the window manager, and what the window manager needs
// from the back end. Internal to the platform layer.
//
// The back end is chosen once, at first use, by ZORV_DISPLAY ("headless" or "sdl"; by
// default sdl when DISPLAY or WAYLAND_DISPLAY is set, else headless). The thread that owns
// the windows pumps it whenever it looks for messages (PeekMessageA, GetMessageA,
// MsgWaitForMultipleObjects), with no lock held: the back end shows what changed and
// turns what the user did into input and window messages there, so a script error raised
// by a window procedure never crosses the back end's own frames.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/user/window_geometry.h"

namespace platform {

struct DisplayWindow {
    HWND window;
    RECT rect; // on the screen
};

// The visible, not minimised top-level windows that share a pixel with the virtual screen,
// the top one first. A window wholly off the screen (a menu's host, the sound layer's own
// window) is there for its messages only: nobody sees it, so no display shows it, no
// input step finds it and no picture of it is kept.
std::vector<DisplayWindow> VisibleTopLevelWindows();
// Whether `rect` (on the screen) lies wholly outside the virtual screen.
bool OffVirtualScreen(const RECT& rect);

struct FramebufferView {
    HWND window;
    int width;
    int height;
    const uint32_t* pixels; // width * height, rows top first, 0x00RRGGBB
    std::vector<RECT> dirty;
};

// Called by PresentFramebuffers for each window with something to show; it runs with the
// framebuffers locked, so it copies what it needs and calls nothing of the window
// manager. An empty hook drops the dirty lists.
using PresentHook = std::function<void(const FramebufferView&)>;
void SetPresentHook(PresentHook hook);
// Hands every visible top-level window with dirty rectangles to the hook, top one first,
// and clears its list.
void PresentFramebuffers();

// A top-level window is going. When the headless display is in use and ZORV_HEADLESS_DUMP
// names a folder, the last picture of its client area (`client`, in framebuffer
// coordinates) is written there as window-N.png, N counting the windows gone since the
// start from 1; the folder is made when missing, and a file that cannot be written is skipped.
void DumpLastPicture(HWND window, const RECT& client);

// A display mode as EnumDisplaySettingsA reports it.
struct DisplayMode {
    int width;
    int height;
    int bitsPerPixel;
    int frequency; // Hz
};

class DisplayBackend {
public:
    virtual ~DisplayBackend() = default;
    // "headless" or "sdl".
    virtual std::string_view Name() const = 0;
    // Shows what changed and turns the user's actions into input and window messages.
    // Called on the windows' thread with no lock held; it may send messages.
    virtual void Pump() = 0;
    // A wait for messages sleeps at most this long (ms) between pumps; INFINITE when
    // nothing reaches the back end but through the window manager itself (headless).
    virtual DWORD PumpInterval() const = 0;
    // The modes the display offers, the desktop's first.
    virtual std::vector<DisplayMode> Modes() const = 0;
    // Switches the display to a mode of Modes() (full screen when it differs from the
    // desktop's, back to the desktop for the first), false when it cannot.
    virtual bool SetMode(const DisplayMode& mode) = 0;
    // Whether a person can see and answer a message box drawn as one of our windows.
    virtual bool ShowsWindows() const = 0;
    // Whether a dialog box not seen by a person is answered all the same, by the steps of a
    // script still running; dialogs are otherwise cancelled at once where nobody sees them.
    virtual bool AnswersDialogs() const { return false; }
    // FlashWindow: draws the user's attention to a top-level window, or stops. A back end
    // without such a thing ignores it.
    virtual void Flash(HWND window, bool on) {
        (void)window;
        (void)on;
    }
    // While on, the pointer is held where it is and hidden, and the mouse's movement
    // reaches InjectMouseMotion only (a game holding the mouse). Ignored where the
    // pointer cannot be held.
    virtual void SetRelativeMouse(bool on) { (void)on; }
};

// The back end in use, chosen at first use.
DisplayBackend& ActiveDisplay();
// Replaces the back end (tests, and the choice at start); null goes back to choosing by
// the environment at next use.
void SetActiveDisplay(std::unique_ptr<DisplayBackend> backend);
// Pumps the active back end; nothing while a pump is already running on this thread.
// `waiting` says the thread found nothing to do and is about to wait for messages.
void PumpDisplay(bool waiting = false);
// Whether the pump running on this thread was asked for by a waiting thread.
bool PumpIsForWait();

// What the user did to a top-level window from outside, in Windows' terms. Each call
// happens on the windows' thread with no lock held.
// The close button: WM_SYSCOMMAND SC_CLOSE is posted (never WM_CLOSE).
void DisplayCloseRequested(HWND window);
// The user resized the window's client area: WM_SIZING (WMSZ_BOTTOMRIGHT, the outer
// rectangle, which the procedure may change), then the window takes the outer size it
// answered, with WM_SIZE.
void DisplayResized(HWND window, int clientWidth, int clientHeight);
// The user moved the window: its client area's top left corner now lies there.
void DisplayMoved(HWND window, int clientX, int clientY);
enum class DisplayWindowState { Minimized, Maximized, Restored };
// The window's state changed outside: WM_SYSCOMMAND SC_MINIMIZE, SC_MAXIMIZE or SC_RESTORE
// is sent after the fact.
void DisplayStateChanged(HWND window, DisplayWindowState state);
// The window gained the user's focus: it becomes the active window.
void DisplayActivated(HWND window);

// Files dropped at a screen point: a window that accepts files (WS_EX_ACCEPTFILES, itself
// or its nearest ancestor that does) gets WM_DROPFILES with an HDROP holding the names
// (Windows-1252, any length) and the point in its client coordinates. False when no
// window there accepts them.
bool InjectDrop(POINT screenPoint, const std::vector<std::string>& files);

// The cursor the window manager wants shown: an IDC_ value of a system cursor, or 0 for
// none, or an image cursor (gdi/icons.h); hidden while ShowCursor's count is below 0.
struct CursorState {
    uint32_t shape;
    bool visible;
    uint32_t image = 0; // the HCURSOR of an image cursor
};
CursorState CurrentCursor();

} // namespace platform

namespace platform {

std::unique_ptr<DisplayBackend> MakeHeadlessDisplay();
// Null, with the reason on standard error, when SDL's video cannot start, or when no
// display is there and SDL started one of its drivers that show nothing (one that
// SDL_VIDEODRIVER names is kept; its windows are not taken to be seen).
std::unique_ptr<DisplayBackend> MakeSdlDisplay();

} // namespace platform
