#include "platform/display/sdl_errors.h"

#include <SDL.h>

#include <cstdio>
#include <mutex>
#include <set>
#include <string>

namespace platform {

void ReportSdlError(std::string_view call) {
    static std::mutex lock;
    static std::set<std::string, std::less<>> reported;
    std::lock_guard guard(lock);
    if (reported.find(call) != reported.end()) return;
    reported.emplace(call);
    std::fprintf(stderr, "zorv: %.*s failed: %s\n", static_cast<int>(call.size()), call.data(),
                 SDL_GetError());
}

} // namespace platform
