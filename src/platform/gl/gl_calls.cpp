#include "platform/gl/gl_calls.h"

#include <mutex>
#include <type_traits>

#include "platform/gl/context_provider.h"

namespace platform::gl {

const GlCalls* Calls(ContextProvider& provider) {
    static GlCalls calls{};
    static bool complete = false;
    static std::once_flag once;
    std::call_once(once, [&] {
        bool missing = false;
        auto fill = [&](auto& slot, const char* name) {
            void* address = provider.ProcAddress(name);
            if (address == nullptr) missing = true;
            slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(address);
        };
        fill(calls.GetError, "glGetError");
        fill(calls.GetIntegerv, "glGetIntegerv");
        fill(calls.PixelStorei, "glPixelStorei");
        fill(calls.ReadPixels, "glReadPixels");
        fill(calls.NewList, "glNewList");
        fill(calls.EndList, "glEndList");
        fill(calls.Bitmap, "glBitmap");
        fill(calls.Viewport, "glViewport");
        fill(calls.GenFramebuffers, "glGenFramebuffers");
        fill(calls.DeleteFramebuffers, "glDeleteFramebuffers");
        fill(calls.BindFramebuffer, "glBindFramebuffer");
        fill(calls.GenRenderbuffers, "glGenRenderbuffers");
        fill(calls.DeleteRenderbuffers, "glDeleteRenderbuffers");
        fill(calls.BindRenderbuffer, "glBindRenderbuffer");
        fill(calls.RenderbufferStorage, "glRenderbufferStorage");
        fill(calls.FramebufferRenderbuffer, "glFramebufferRenderbuffer");
        fill(calls.CheckFramebufferStatus, "glCheckFramebufferStatus");
        complete = !missing;
    });
    return complete ? &calls : nullptr;
}

} // namespace platform::gl
