// SDL's events as the window manager's input and window events. Only the display's own
// pump calls this, from its polling loop: no SDL callback ever runs a window procedure.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "platform/display/sdl_window_set.h"
#include "platform/user/input/input_routing.h"

namespace platform {

class SdlInput {
public:
    explicit SdlInput(SdlWindowSet& windows) : windows_(windows) {}

    // One event polled. A window procedure that throws leaves the event handled and the
    // rest in SDL's queue for the next pump.
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
    bool focusLost_ = false;
    // The files of a drop in progress, Windows-1252, and the SDL window they fall on.
    std::vector<std::string> dropped_;
    Uint32 dropWindow_ = 0;
    // What a smooth wheel turned short of a whole unit of WM_MOUSEWHEEL.
    float wheelRest_ = 0;
    bool relative_ = false;
};

} // namespace platform
