#include "platform/display/x11_errors.h"

#include <X11/Xlib.h>

#include <cstdio>

namespace platform {
namespace {

XErrorHandler previous = nullptr;

int OnError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) return 0;
    return previous != nullptr ? previous(display, error) : 0;
}

int OnBrokenConnection(Display* display) {
    std::fprintf(stderr, "zorv: the connection to the X server %s was closed\n",
                 DisplayString(display));
    return 0;
}

} // namespace

void InstallXErrorHandlers() {
    static const bool installed = [] {
        previous = XSetErrorHandler(OnError);
        XSetIOErrorHandler(OnBrokenConnection);
        return true;
    }();
    (void)installed;
}

} // namespace platform
