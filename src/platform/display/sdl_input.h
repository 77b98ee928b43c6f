// SDL's events as the window manager's input and window events. Only the display's own
// pump calls this, from its polling loop: no SDL callback ever runs a window procedure.
#pragma once

#include <SDL.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/display/sdl_window_set.h"
#include "platform/user/input/input_routing.h"

namespace platform {

class SdlInput {
public:
    explicit SdlInput(SdlWindowSet& windows) : windows_(windows) {}

    // Every event SDL has, handled in turn. A window procedure that throws leaves the
    // event handled and the rest for the next pump.
    void Poll();
    // One event.
    void Handle(const SDL_Event& event);
    // After the last event of a pump: what needs every pending event seen first (a drop
    // left unfinished, and whether the focus left for another application).
    void Finish();
    // Motion events bring relative movement only (SDL's relative mouse mode).
    void SetRelative(bool on) { relative_ = on; }

private:
    void HandleWindowEvent(const SDL_WindowEvent& event);
    void HandleMouse(Uint32 sdlWindowId, int x, int y, MouseEvent kind, int wheel = 0);
    void HandleWheel(const SDL_MouseWheelEvent& event);
    void HandleText(const char* utf8);
    void FinishDrop();

    SdlWindowSet& windows_;
    std::deque<SDL_Event> queue_;
    bool focusLost_ = false;
    // The files of a drop in progress, Windows-1252, and the SDL window they fall on.
    std::vector<std::string> dropped_;
    Uint32 dropWindow_ = 0;
    // What a smooth wheel turned short of a whole unit of WM_MOUSEWHEEL.
    float wheelRest_ = 0;
    bool relative_ = false;
};

// When the keyboard leaves one of our windows SDL lets go of every key held, and when it
// comes to one it presses those still held again. Moved between two of ours (a popup shown
// where no window manager keeps the keyboard where it was), those keys never moved: the
// releases just before the loss and the presses of the same keys just after the gain are
// taken out, so that a held Alt stays held.
void DropFocusBounces(std::deque<SDL_Event>& events);

} // namespace platform
