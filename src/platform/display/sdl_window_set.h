// The SDL windows that show the window manager's visible top-level windows, one each.
// A captioned window gets native decorations instead of our frame and caption, and its SDL
// window shows all we draw inside them (menu bar, scroll bars, edges, client area); a
// window without caption shows its whole rectangle, our border included. Popups (topmost
// owned windows without caption: menus, lists) are borderless popup-menu windows, which
// the desktop neither decorates nor focuses. A window wholly off the virtual screen gets
// no SDL window.
//
// The window manager is the authority: each sync makes the SDL windows follow our windows.
// What the user does to an SDL window comes back as events, which tell our windows (and,
// through Noted*, this set, so that the next sync does not undo what the user did).
#pragma once

#include <SDL.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/display/display_backend.h"

namespace platform {

class SdlWindowSet {
public:
    SdlWindowSet();
    SdlWindowSet(const SdlWindowSet&) = delete;
    SdlWindowSet& operator=(const SdlWindowSet&) = delete;
    ~SdlWindowSet();

    // The set of the SDL display alive now, null without one (the test hooks' way in).
    static SdlWindowSet* Live();

    // Creates, moves, resizes, titles, minimises and destroys SDL windows until they match
    // our windows, and raises the active one when it changed.
    void Sync();
    // Copies what changed in the framebuffers into the SDL windows and shows it.
    void Present();

    // Our window an SDL window shows; 0 for one that is not ours (any more).
    HWND WindowOf(Uint32 sdlWindowId) const;
    SDL_Window* SdlWindowOf(HWND window) const;
    // Our windows that have an SDL window now.
    std::vector<HWND> Windows() const;
    // Where the part of our window its SDL window shows starts on our screen; false when
    // the window is gone.
    static bool AreaOrigin(HWND window, POINT& origin);
    // How far our window's client area lies inside that part on each side.
    static bool ClientInsets(HWND window, RECT& insets);

    // The user moved or resized an SDL window; false when the SDL window already stood
    // there (the echo of our own move), true when our window has to follow.
    bool NotedMove(HWND window, int x, int y);
    bool NotedSize(HWND window, int width, int height);
    // The user's desktop brought another window forward than the active one (a disabled
    // owner under its message box, say): the next sync raises the active one again.
    void RaiseActiveAgain() { raised_ = 0; }
    // Where no window manager decides, SDL gives the keyboard to every window it shows, a
    // popup too; a popup never keeps it, and the keyboard goes back to the active
    // window. False when `window` is no popup of this set.
    bool ReturnFocusFromPopup(HWND window);
    // The next present shows the whole window (it was uncovered, or SDL lost its pixels).
    static void Repaint(HWND window);

    // Puts the top window in full screen (or the first window to come, when none is shown
    // yet): at the X server's own mode when one is given, else over the whole desktop
    // with the picture scaled to fit; false when SDL refuses.
    bool EnterFullScreen(const SDL_DisplayMode* mode);
    // Every full screen window goes back to the desktop.
    bool LeaveFullScreen();
    // Where a full screen window's picture lies in its SDL window when it is scaled, and
    // the picture's size; false for every other window.
    bool ScaledPicture(HWND window, SDL_Rect& fitted, int& width, int& height) const;
    // The point of our window's shown area that a point of its SDL window shows: the same
    // but where a full screen picture is scaled.
    POINT ShownPoint(HWND window, int x, int y) const;

private:
    struct Entry {
        HWND window = 0;
        SDL_Window* sdl = nullptr;
        Uint32 id = 0;
        // Where the SDL window was put or said it is, on our screen.
        RECT client{};
        // Where the client area lies in the window's framebuffer.
        POINT offset{};
        std::string title; // Windows-1252
        bool resizable = false;
        bool bordered = false;
        bool topmost = false;
        bool popup = false;
        // Minimised by us or by the user, while our window is minimised too.
        bool minimized = false;
        // The surface last drawn into; a new one has lost every pixel.
        SDL_Surface* surface = nullptr;
        // Put in full screen by us; the picture is the shown area's size, which the SDL
        // window takes only when the X server switched to that mode.
        bool fullScreen = false;
        LONG pictureWidth = 0;
        LONG pictureHeight = 0;
    };
    struct FullScreenRequest {
        bool ownMode; // the X server's mode, else the desktop's
        SDL_DisplayMode mode;
    };
    struct Wanted;

    Entry* Find(HWND window);
    const Entry* Find(HWND window) const;
    void Create(const Wanted& wanted);
    void Follow(Entry& entry, const Wanted& wanted);
    void Drop(Entry& entry);
    bool MakeFullScreen(Entry& entry, const FullScreenRequest& request);
    void FocusActive();

    std::vector<Entry> entries_;
    HWND raised_ = 0;
    HWND active_ = 0; // as the last sync found it
    std::optional<FullScreenRequest> pendingFullScreen_;
};

} // namespace platform
