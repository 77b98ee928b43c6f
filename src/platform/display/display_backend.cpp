#include "platform/display/display_backend.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace platform {
namespace {

struct ActiveState {
    std::mutex lock;
    // Shared, so that a pump running while a test replaces the back end keeps its own.
    std::shared_ptr<DisplayBackend> backend;
};

// Outlives static destructors: a window destroyed late may still look for messages.
ActiveState& State() {
    static auto* state = new ActiveState;
    return *state;
}

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

std::unique_ptr<DisplayBackend> Choose() {
    const char* setting = std::getenv("ZORV_DISPLAY");
    std::string_view wanted = setting != nullptr ? setting : "";
    bool sdl;
    if (wanted.empty()) {
        sdl = IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
    } else if (wanted == "sdl" || wanted == "headless") {
        sdl = wanted == "sdl";
    } else {
        std::fprintf(stderr, "zorv: unknown ZORV_DISPLAY \"%s\", using the headless display\n",
                     setting);
        sdl = false;
    }
    if (sdl) {
        // MakeSdlDisplay says why on standard error when it cannot start.
        if (std::unique_ptr<DisplayBackend> backend = MakeSdlDisplay()) return backend;
    }
    return MakeHeadlessDisplay();
}

std::shared_ptr<DisplayBackend> Active() {
    ActiveState& state = State();
    std::lock_guard lock(state.lock);
    if (!state.backend) state.backend = Choose();
    return state.backend;
}

thread_local bool pumping = false;
thread_local bool pumpForWait = false;

} // namespace

DisplayBackend& ActiveDisplay() {
    return *Active();
}

void SetActiveDisplay(std::unique_ptr<DisplayBackend> backend) {
    std::shared_ptr<DisplayBackend> old;
    {
        ActiveState& state = State();
        std::lock_guard lock(state.lock);
        old = std::move(state.backend);
        state.backend = std::move(backend);
    }
    // The old back end goes here, outside the lock, unless a pump still holds it.
}

void PumpDisplay(bool waiting) {
    if (pumping) return;
    std::shared_ptr<DisplayBackend> backend = Active();
    pumping = true;
    pumpForWait = waiting;
    struct Done {
        ~Done() {
            pumping = false;
            pumpForWait = false;
        }
    } done;
    backend->Pump();
}

bool PumpIsForWait() {
    return pumpForWait;
}

} // namespace platform
