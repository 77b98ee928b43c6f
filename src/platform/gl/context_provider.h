// Where rendering contexts come from: SDL on the sdl display, EGL elsewhere. Internal to
// gl/.
#pragma once

#include <memory>

namespace platform::gl {

class ContextProvider {
public:
    virtual ~ContextProvider() = default;
    // "sdl" or "egl".
    virtual const char* Name() const = 0;
    // A new compatibility-profile context sharing display lists and textures with `share`
    // (null: none); null when none can be made.
    virtual void* CreateContext(void* share) = 0;
    // Makes `context` current on this thread, on no surface of its own (frames go to
    // framebuffer objects); null makes none current.
    virtual bool MakeCurrent(void* context) = 0;
    // The context current on this thread, null for none.
    virtual void* Current() = 0;
    virtual void DestroyContext(void* context) = 0;
    // An entry point of the current GL library, extensions included.
    virtual void* ProcAddress(const char* name) = 0;
};

// EGL through libEGL.so.1: Mesa's surfaceless platform, else a 1 x 1 pbuffer on the
// default display. Null when EGL is missing or offers no desktop OpenGL.
std::unique_ptr<ContextProvider> MakeEglProvider();
// SDL's GL contexts, on a hidden window of their own. Null when SDL's video is not up
// for the sdl display or cannot make GL contexts.
std::unique_ptr<ContextProvider> MakeSdlProvider();

// The provider of this process: chosen at the first call that can make a context (SDL on
// the sdl display, EGL when SDL cannot) and kept; null when neither works. Contexts of
// different providers cannot share, so there is only one.
ContextProvider* Provider();

} // namespace platform::gl
