#include "platform/display/x11_window_life.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <atomic>

#include "platform/display/sdl_window_set.h"
#include "platform/display/x11_errors.h"
#include "platform/user/messages.h"
#include "platform/user/windows.h"

namespace platform {
namespace {

// Whether SDL's connection broke. Not a member: Xlib keeps the exit handler for as long as
// the connection lasts, which may be longer than the object watching it.
std::atomic<bool> connectionBroke{false};

// Xlib's own ends the process; the next pump closes the windows instead.
void ConnectionBroke(Display*, void*) {
    connectionBroke = true;
}

void CloseAsTheDesktopWould(HWND window) {
    // Not DisplayCloseRequested: a greyed close box cannot keep a window that is gone.
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

} // namespace

X11WindowLife::X11WindowLife(const SdlWindowSet& windows) : windows_(windows) {
    InstallXErrorHandlers();
    connectionBroke = false;
    SDL_SetEventFilter(&X11WindowLife::Filter, this);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

X11WindowLife::~X11WindowLife() {
    SDL_EventState(SDL_SYSWMEVENT, SDL_DISABLE);
    SDL_SetEventFilter(nullptr, nullptr);
}

// Sees every X event as SDL turns it into an SDL_SYSWMEVENT, and keeps those out of the
// queue. Runs on the thread that pumps SDL's events.
int X11WindowLife::Filter(void* self, SDL_Event* event) {
    if (event->type != SDL_SYSWMEVENT) return 1;
    auto& life = *static_cast<X11WindowLife*>(self);
    const SDL_SysWMmsg* message = event->syswm.msg;
    if (message == nullptr || message->subsystem != SDL_SYSWM_X11) return 0;
    const XEvent& x = message->msg.x11.event;
    if (!life.watching_) {
        XSetIOErrorExitHandler(x.xany.display, &ConnectionBroke, nullptr);
        life.watching_ = true;
    }
    if (x.type == DestroyNotify) life.destroyed_.push_back(x.xdestroywindow.window);
    return 0;
}

bool X11WindowLife::LostWindows() {
    if (connectionBroke) {
        if (!closedAll_)
            for (HWND window : windows_.Windows())
                CloseAsTheDesktopWould(window);
        closedAll_ = true;
        return true;
    }
    if (destroyed_.empty()) return false;
    for (HWND window : windows_.Windows()) {
        SDL_Window* sdl = windows_.SdlWindowOf(window);
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (sdl == nullptr || SDL_GetWindowWMInfo(sdl, &info) != SDL_TRUE ||
            info.subsystem != SDL_SYSWM_X11)
            continue;
        if (std::find(destroyed_.begin(), destroyed_.end(), info.info.x11.window) != destroyed_.end())
            CloseAsTheDesktopWould(window);
    }
    destroyed_.clear();
    return false;
}

} // namespace platform
