#include "platform/gl/context_provider.h"

#include <mutex>

#include "platform/display/display_backend.h"
#include "platform/gl/gl_test_hooks.h"

namespace platform::gl {
namespace {

struct Choice {
    std::mutex lock;
    // Kept for the process: contexts may be deleted as late as the last destructor.
    ContextProvider* chosen = nullptr;
    bool tried = false;
};

Choice& TheChoice() {
    static auto* choice = new Choice;
    return *choice;
}

} // namespace

ContextProvider* Provider() {
    Choice& choice = TheChoice();
    std::lock_guard guard(choice.lock);
    if (!choice.tried) {
        choice.tried = true;
        if (ActiveDisplay().Name() == "sdl") choice.chosen = MakeSdlProvider().release();
        if (choice.chosen == nullptr) choice.chosen = MakeEglProvider().release();
    }
    return choice.chosen;
}

} // namespace platform::gl

const char* platform::test::OpenGLProviderName() {
    gl::Choice& choice = gl::TheChoice();
    std::lock_guard guard(choice.lock);
    if (!choice.tried) return "";
    return choice.chosen != nullptr ? choice.chosen->Name() : "none";
}
