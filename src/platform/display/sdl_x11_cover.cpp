#include "platform/display/sdl_x11_cover.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace platform {

void CoverScreenOnX(SDL_Window* sdl) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdl, &info) || info.subsystem != SDL_SYSWM_X11) return;
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(sdl), &bounds) != 0) return;
    Display* display = info.info.x11.display;
    ::Window window = info.info.x11.window;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0) return;
    int x = 0;
    int y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child);
    if (x == bounds.x && y == bounds.y && attributes.width == bounds.w &&
        attributes.height == bounds.h)
        return;
    XMoveResizeWindow(display, window, bounds.x, bounds.y, static_cast<unsigned>(bounds.w),
                      static_cast<unsigned>(bounds.h));
    XRaiseWindow(display, window);
    XFlush(display);
}

} // namespace platform
