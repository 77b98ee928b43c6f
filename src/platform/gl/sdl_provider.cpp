#include <SDL.h>

#include <memory>

#include "platform/gl/context_provider.h"

namespace platform::gl {
namespace {

// Contexts are made on one hidden window of their own; frames never reach it, they go to
// framebuffer objects and from there into our windows' pixels.
class SdlProvider : public ContextProvider {
public:
    ~SdlProvider() override {
        if (window_ != nullptr) SDL_DestroyWindow(window_);
    }

    const char* Name() const override { return "sdl"; }

    bool Open() {
        if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        window_ = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (window_ == nullptr) return false;
        void* probe = CreateContext(nullptr);
        if (probe == nullptr) return false;
        DestroyContext(probe);
        return true;
    }

    void* CreateContext(void* share) override {
        SDL_GLContext previous = SDL_GL_GetCurrentContext();
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, share != nullptr ? 1 : 0);
        if (share != nullptr && SDL_GL_MakeCurrent(window_, share) != 0) return nullptr;
        // SDL makes the new context current; the caller's stays so.
        SDL_GLContext context = SDL_GL_CreateContext(window_);
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
        SDL_GL_MakeCurrent(window_, previous);
        return context;
    }

    bool MakeCurrent(void* context) override { return SDL_GL_MakeCurrent(window_, context) == 0; }

    void* Current() override { return SDL_GL_GetCurrentContext(); }

    void DestroyContext(void* context) override { SDL_GL_DeleteContext(context); }

    void* ProcAddress(const char* name) override { return SDL_GL_GetProcAddress(name); }

private:
    SDL_Window* window_ = nullptr;
};

} // namespace

std::unique_ptr<ContextProvider> MakeSdlProvider() {
    auto provider = std::make_unique<SdlProvider>();
    if (!provider->Open()) return nullptr;
    return provider;
}

} // namespace platform::gl
