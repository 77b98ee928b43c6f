#include "platform/display/x11_errors.h"

#include <X11/Xlib.h>

namespace platform {
namespace {

XErrorHandler previous = nullptr;

int OnError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) return 0;
    return previous != nullptr ? previous(display, error) : 0;
}

} // namespace

void ToleratesVanishedWindows() {
    static const bool installed = [] {
        previous = XSetErrorHandler(OnError);
        return true;
    }();
    (void)installed;
}

} // namespace platform
