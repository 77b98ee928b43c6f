#include "platform/gl/context_provider.h"

#include <mutex>

#include "platform/display/display_backend.h"

namespace platform::gl {

ContextProvider* Provider() {
    static std::mutex lock;
    // Kept for the process: contexts may be deleted as late as the last destructor.
    static ContextProvider* chosen = nullptr;
    static bool tried = false;
    std::lock_guard guard(lock);
    if (!tried) {
        tried = true;
        if (ActiveDisplay().Name() == "sdl") chosen = MakeSdlProvider().release();
        if (chosen == nullptr) chosen = MakeEglProvider().release();
    }
    return chosen;
}

} // namespace platform::gl
