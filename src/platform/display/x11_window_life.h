// What another X client may do to the player's windows: destroy one (XDestroyWindow), or
// cut the player's whole connection (XKillClient, which `xdotool windowkill` uses). To the
// script each window taken is closed by the desktop: it hears OnClose, and decides whether
// the run goes on. Without the connection the display shows nothing more: SDL cannot even
// take its windows down then (it waits for the server's answer), so it is left alone.
#pragma once

#include <SDL.h>

#include <vector>

namespace platform {

class SdlWindowSet;

class X11WindowLife {
public:
    explicit X11WindowLife(const SdlWindowSet& windows);
    ~X11WindowLife();
    X11WindowLife(const X11WindowLife&) = delete;
    X11WindowLife& operator=(const X11WindowLife&) = delete;

    // Before SDL's events: closes what another client took. True when the connection is
    // gone, after which the display must call SDL no more.
    bool LostWindows();

private:
    static int Filter(void* self, SDL_Event* event);

    const SdlWindowSet& windows_;
    // X windows destroyed since the last look.
    std::vector<unsigned long> destroyed_;
    bool watching_ = false;
    bool closedAll_ = false;
};

} // namespace platform
