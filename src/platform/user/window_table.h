// The window records and their table. Internal to the platform layer.
//
// One lock guards the table, every record and the class list; it is never held while a
// window procedure runs, so every call re-reads what it needs after each message it
// sends. A record outlives its handle for as long as a call still holds it (a procedure
// running for a window that was destroyed meanwhile): the record is then marked dead
// and answers nothing.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gdi/region.h"
#include "platform/user/windows.h"

namespace platform {

struct ScrollBars;

struct Window {
    HWND handle = 0;
    std::shared_ptr<const WindowClass> windowClass;
    DWORD threadId = 0;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    // A child's id; a top-level window's menu.
    uintptr_t id = 0;
    LONG_PTR userData = 0;
    HINSTANCE instance = 0;
    std::vector<unsigned char> extra;
    std::string text; // Windows-1252
    HICON icons[2] = {0, 0}; // WM_SETICON's ICON_SMALL and ICON_BIG
    HWND parent = 0;  // 0 for a top-level window
    HWND owner = 0;
    std::vector<HWND> children; // in z-order, the top one first
    // Both in the parent's client coordinates (on the screen for a top-level window).
    RECT window{};
    RECT client{};
    // The rectangle of the normal state, kept while minimised or maximised.
    RECT normal{};
    POINT minPosition{-1, -1};
    POINT maxPosition{-1, -1};
    bool restoreToMaximized = false;
    bool destroying = false;
    bool dead = false;
    // Painting: what of the client area needs repainting (client coordinates), whether
    // it is erased first, the shape given by SetWindowRgn (window coordinates; null for
    // the whole window) and the DC a CS_OWNDC window keeps.
    Region update;
    bool eraseUpdate = false;
    std::shared_ptr<const Region> shape;
    uint32_t ownDC = 0;
    // Made when a scroll bar of the window is first used.
    std::shared_ptr<ScrollBars> scrollBars;
    // As the last WM_NCACTIVATE left the caption.
    bool captionActive = false;
};

using WindowPtr = std::shared_ptr<Window>;

// The lock of the whole window manager. Taken after the wait hub's lock when both are
// needed, never before it.
std::mutex& WindowLock();

// The live window of a handle, or null with ERROR_INVALID_WINDOW_HANDLE.
WindowPtr LookupWindowLocked(HWND handle);
WindowPtr LookupWindow(HWND handle);
// As LookupWindow, and the window must belong to the calling thread
// (ERROR_WINDOW_OF_OTHER_THREAD).
WindowPtr LookupOwnWindow(HWND handle);

// Adds the record with a new handle; 0 with ERROR_NOT_ENOUGH_MEMORY when handles run out.
HWND AddWindowLocked(const WindowPtr& window);
// Takes the window out of its sibling list and the table and marks it dead.
void RemoveWindowLocked(Window& window);

// The parent's children, or the top-level list.
std::vector<HWND>& SiblingsLocked(const Window& window);
// Where the window's client area starts on the screen.
POINT ClientOriginLocked(const Window& window);
// True when `window` lies somewhere below `ancestor`.
bool IsDescendantLocked(HWND ancestor, HWND window);
// Every window of the table, for the class and thread clean-ups.
std::vector<WindowPtr> AllWindowsLocked();

// Calls the window's procedure (or `procedure` when given) with nothing locked. A dead
// window's call answers 0 without running anything.
LRESULT CallProcedure(const WindowPtr& window, WNDPROC procedure, UINT message, WPARAM wParam,
                      LPARAM lParam);
// Sends to a window of the calling thread.
LRESULT Send(const WindowPtr& window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// Frame sizes of a style: how far the client area lies inside the window on each side.
// With scroll bars when asked (the client area loses them; AdjustWindowRectEx does not
// count them).
RECT FrameInsets(DWORD style, DWORD exStyle, bool menu, bool scrollBars);
// The width of the outer frame only (no caption, menu or client edge): how far a
// maximised window reaches beyond the screen or its parent's client area.
int OuterFrame(DWORD style, DWORD exStyle);

// Moves the window in the z-order of its siblings as SetWindowPos's insertAfter asks,
// with the topmost band and owned windows above their owner. Returns whether anything
// moved.
bool ReorderLocked(Window& window, HWND insertAfter);

// The geometry change behind SetWindowPos and ShowWindow: WM_WINDOWPOSCHANGING, then
// WM_NCCALCSIZE, then the change and WM_WINDOWPOSCHANGED. `newStyle` replaces the
// window's WS_MINIMIZE and WS_MAXIMIZE bits together with the geometry.
BOOL ChangeWindowPos(const WindowPtr& window, HWND insertAfter, int x, int y, int width, int height,
                     UINT flags, DWORD newStyle);

// A coordinate or size of a window is kept within +-2^30, so that a side plus a size
// never leaves 32 bits.
inline constexpr int64_t COORDINATE_LIMIT = (int64_t{1} << 30) - 1;
// A value computed in 64 bits, brought back into 32.
LONG Clamp32(int64_t value);
// The rectangle at x, y of that size: the position within the coordinate limit, the size
// between 0 and it.
RECT RectAt(int64_t x, int64_t y, int64_t width, int64_t height);

// The state a window is shown in.
enum class ShowTarget { Keep, Minimize, Maximize, Restore };
// ShowWindow's work: `visible` shows or hides the window (WM_SHOWWINDOW first when that
// changes its visibility), `target` its new state; `raise` puts a top-level window on
// top. Returns whether the window was visible.
BOOL SetShowState(const WindowPtr& window, ShowTarget target, bool visible, bool raise);

// DestroyWindow's work; without `sendDestroy` (a creation that failed before WM_CREATE)
// only WM_NCDESTROY is sent.
BOOL DestroyWindowTree(const WindowPtr& window, bool sendDestroy);
// Removes the window, its descendants and its owned windows without sending anything:
// what is left of a destruction or creation that a procedure's exception cut short.
void RemoveSilently(const WindowPtr& window);
// Removes the calling thread's windows without sending anything: the thread is ending.
void ForgetThreadWindows(DWORD threadId);

} // namespace platform
