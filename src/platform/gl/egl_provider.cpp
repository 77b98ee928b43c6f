#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <dlfcn.h>

#include <memory>
#include <string_view>
#include <type_traits>

#include "platform/gl/context_provider.h"

namespace platform::gl {
namespace {

class EglProvider : public ContextProvider {
public:
    ~EglProvider() override {
        // The display stays initialised: other users of EGL in the process share it, and
        // the library stays loaded for the drivers it brought in.
        if (pbuffer_ != EGL_NO_SURFACE) destroySurface_(display_, pbuffer_);
    }

    const char* Name() const override { return "egl"; }

    bool Open() {
        library_ = dlopen("libEGL.so.1", RTLD_NOW | RTLD_LOCAL);
        if (library_ == nullptr) return false;
        getProcAddress_ =
            reinterpret_cast<decltype(getProcAddress_)>(dlsym(library_, "eglGetProcAddress"));
        if (getProcAddress_ == nullptr) return false;
        bool missing = false;
        auto fill = [&](auto& slot, const char* name) {
            void* address = dlsym(library_, name);
            if (address == nullptr) missing = true;
            slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(address);
        };
        fill(getDisplay_, "eglGetDisplay");
        fill(initialize_, "eglInitialize");
        fill(queryString_, "eglQueryString");
        fill(chooseConfig_, "eglChooseConfig");
        fill(bindApi_, "eglBindAPI");
        fill(createContext_, "eglCreateContext");
        fill(destroyContext_, "eglDestroyContext");
        fill(makeCurrent_, "eglMakeCurrent");
        fill(getCurrentContext_, "eglGetCurrentContext");
        fill(createPbufferSurface_, "eglCreatePbufferSurface");
        fill(destroySurface_, "eglDestroySurface");
        if (missing) return false;
        return OpenSurfaceless() || OpenDefault();
    }

    void* CreateContext(void* share) override {
        if (bindApi_(EGL_OPENGL_API) != EGL_TRUE) return nullptr;
        const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
        EGLContext context = createContext_(
            display_, config_, share != nullptr ? share : EGL_NO_CONTEXT, compatibility);
        return context == EGL_NO_CONTEXT ? nullptr : context;
    }

    bool MakeCurrent(void* context) override {
        if (bindApi_(EGL_OPENGL_API) != EGL_TRUE) return false;
        if (context == nullptr)
            return makeCurrent_(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT) ==
                   EGL_TRUE;
        return makeCurrent_(display_, pbuffer_, pbuffer_, context) == EGL_TRUE;
    }

    void* Current() override {
        EGLContext context = getCurrentContext_();
        return context == EGL_NO_CONTEXT ? nullptr : context;
    }

    void DestroyContext(void* context) override { destroyContext_(display_, context); }

    void* ProcAddress(const char* name) override {
        return reinterpret_cast<void*>(getProcAddress_(name));
    }

private:
    bool Initialize(EGLDisplay display) {
        if (display == EGL_NO_DISPLAY) return false;
        EGLint major = 0;
        EGLint minor = 0;
        if (initialize_(display, &major, &minor) != EGL_TRUE) return false;
        display_ = display;
        const EGLint wanted[] = {EGL_SURFACE_TYPE,
                                 EGL_PBUFFER_BIT,
                                 EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT,
                                 EGL_RED_SIZE,
                                 8,
                                 EGL_GREEN_SIZE,
                                 8,
                                 EGL_BLUE_SIZE,
                                 8,
                                 EGL_ALPHA_SIZE,
                                 8,
                                 EGL_NONE};
        EGLint found = 0;
        return chooseConfig_(display, wanted, &config_, 1, &found) == EGL_TRUE && found == 1;
    }

    // Mesa's surfaceless platform needs no display server and no surface.
    bool OpenSurfaceless() {
        auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYPROC>(
            getProcAddress_("eglGetPlatformDisplay"));
        if (getPlatformDisplay == nullptr) return false;
        if (!Initialize(getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, nullptr, nullptr)))
            return false;
        const char* extensions = queryString_(display_, EGL_EXTENSIONS);
        return extensions != nullptr &&
               std::string_view(extensions).find("EGL_KHR_surfaceless_context") !=
                   std::string_view::npos;
    }

    // Elsewhere contexts are made current on a pbuffer of one pixel, never drawn on.
    bool OpenDefault() {
        if (!Initialize(getDisplay_(EGL_DEFAULT_DISPLAY))) return false;
        const EGLint size[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
        pbuffer_ = createPbufferSurface_(display_, config_, size);
        return pbuffer_ != EGL_NO_SURFACE;
    }

    void* library_ = nullptr;
    PFNEGLGETPROCADDRESSPROC getProcAddress_ = nullptr;
    PFNEGLGETDISPLAYPROC getDisplay_ = nullptr;
    PFNEGLINITIALIZEPROC initialize_ = nullptr;
    PFNEGLQUERYSTRINGPROC queryString_ = nullptr;
    PFNEGLCHOOSECONFIGPROC chooseConfig_ = nullptr;
    PFNEGLBINDAPIPROC bindApi_ = nullptr;
    PFNEGLCREATECONTEXTPROC createContext_ = nullptr;
    PFNEGLDESTROYCONTEXTPROC destroyContext_ = nullptr;
    PFNEGLMAKECURRENTPROC makeCurrent_ = nullptr;
    PFNEGLGETCURRENTCONTEXTPROC getCurrentContext_ = nullptr;
    PFNEGLCREATEPBUFFERSURFACEPROC createPbufferSurface_ = nullptr;
    PFNEGLDESTROYSURFACEPROC destroySurface_ = nullptr;
    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLConfig config_ = nullptr;
    EGLSurface pbuffer_ = EGL_NO_SURFACE;
};

} // namespace

std::unique_ptr<ContextProvider> MakeEglProvider() {
    auto provider = std::make_unique<EglProvider>();
    if (!provider->Open()) return nullptr;
    return provider;
}

} // namespace platform::gl
