// The OpenGL entry points the layer itself calls: for framebuffer objects, reading frames
// back and compiling glyph bitmaps. Internal to gl/.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

namespace platform::gl {

class ContextProvider;

struct GlCalls {
    decltype(&glGetError) GetError;
    decltype(&glGetIntegerv) GetIntegerv;
    decltype(&glPixelStorei) PixelStorei;
    decltype(&glReadPixels) ReadPixels;
    decltype(&glNewList) NewList;
    decltype(&glEndList) EndList;
    decltype(&glBitmap) Bitmap;
    decltype(&glViewport) Viewport;
    PFNGLGENFRAMEBUFFERSPROC GenFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC BindFramebuffer;
    PFNGLGENRENDERBUFFERSPROC GenRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC DeleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC BindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus;
};

// Filled once, through the provider; null when a name is missing (a GL without
// framebuffer objects), and then for good.
const GlCalls* Calls(ContextProvider& provider);

} // namespace platform::gl
