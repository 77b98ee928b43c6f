#include "platform/gl/gl_context.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/device_context.h"
#include "platform/gl/context_provider.h"
#include "platform/gl/gl_calls.h"
#include "platform/gl/offscreen.h"
#include "platform/gl/pixel_format.h"
#include "platform/kernel/errors.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/user/window_geometry.h"

namespace platform::gl {
namespace {

constexpr DWORD ERROR_INVALID_PIXEL_FORMAT = 2000;

// A framebuffer object with its colour and depth buffers.
struct Frame {
    GLuint framebuffer = 0;
    GLuint color = 0;
    GLuint depth = 0;
    int width = 0;
    int height = 0;
    int depthBits = 0;
};

// Frames of a context are drawn into framebuffer objects of its own: one sized to the
// client area of the window it was last made current on, one for offscreen drawing, so
// that a camera texture drawn in each frame reallocates neither.
class GlContext : public KernelObject {
public:
    GlContext(ContextProvider& provider, void* native, int depthBits)
        : provider(provider), native(native), depthBits(depthBits) {}
    ~GlContext() override { provider.DestroyContext(native); }
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;
    bool ClosableByCloseHandle() const override { return false; }

    ContextProvider& provider;
    void* native;
    const int depthBits;
    Frame windowFrame;
    Frame offscreenFrame;
    // As on Windows, the viewport starts as the first frame's size.
    bool viewportSet = false;
};

struct Current {
    std::shared_ptr<GlContext> context;
    HWND window = 0; // 0 with a context: its offscreen frame

    Frame& frame() const { return window != 0 ? context->windowFrame : context->offscreenFrame; }
};

thread_local Current current;

// With the context current: binds the frame at the size asked, made or resized as
// needed. The GL state the caller set stays as it was, but for the binding.
bool BindFrame(GlContext& context, Frame& frame, int width, int height, int depthBits) {
    const GlCalls* gl = Calls(context.provider);
    if (gl == nullptr || Failures().noFramebuffer) return false;
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (frame.framebuffer == 0) {
        gl->GenFramebuffers(1, &frame.framebuffer);
        gl->GenRenderbuffers(1, &frame.color);
        gl->GenRenderbuffers(1, &frame.depth);
    }
    gl->BindFramebuffer(GL_FRAMEBUFFER, frame.framebuffer);
    if (frame.width != width || frame.height != height || frame.depthBits != depthBits) {
        GLint previous = 0;
        gl->GetIntegerv(GL_RENDERBUFFER_BINDING, &previous);
        gl->BindRenderbuffer(GL_RENDERBUFFER, frame.color);
        gl->RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        gl->FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                    frame.color);
        gl->BindRenderbuffer(GL_RENDERBUFFER, frame.depth);
        gl->RenderbufferStorage(GL_RENDERBUFFER,
                                depthBits == 16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH_COMPONENT24,
                                width, height);
        gl->FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                    frame.depth);
        gl->BindRenderbuffer(GL_RENDERBUFFER, GLuint(previous));
        frame.width = width;
        frame.height = height;
        frame.depthBits = depthBits;
    }
    if (gl->CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) return true;
    frame.width = frame.height = 0;
    return false;
}

bool ClientSize(HWND window, int& width, int& height) {
    RECT client{};
    if (!GetClientRect(window, &client)) return false;
    width = client.right - client.left;
    height = client.bottom - client.top;
    return true;
}

void ReleaseCurrent() {
    if (current.context) current.context->provider.MakeCurrent(nullptr);
    current = Current{};
}

// Makes the context current on this thread and its frame the target, at the size asked;
// on failure nothing is current.
bool MakeCurrentOn(const std::shared_ptr<GlContext>& context, HWND window, int width, int height,
                   int depthBits) {
    if (current.context && current.context != context) ReleaseCurrent();
    if (!context->provider.MakeCurrent(context->native)) {
        current = Current{};
        return false;
    }
    Frame& frame = window != 0 ? context->windowFrame : context->offscreenFrame;
    if (!BindFrame(*context, frame, width, height, depthBits)) {
        context->provider.MakeCurrent(nullptr);
        current = Current{};
        return false;
    }
    if (!context->viewportSet) {
        Calls(context->provider)->Viewport(0, 0, frame.width, frame.height);
        context->viewportSet = true;
    }
    current.context = context;
    current.window = window;
    return true;
}

// The current frame, bottom row first, as 0xAARRGGBB words. GL's error state is left to
// the caller's own drawing.
bool ReadFrame(std::vector<uint32_t>& pixels) {
    const GlCalls* gl = Calls(current.context->provider);
    const Frame& frame = current.frame();
    if (gl == nullptr) return false;
    pixels.assign(size_t(frame.width) * size_t(frame.height), 0);
    GLint alignment = 4;
    GLint rowLength = 0;
    GLint readBinding = 0;
    gl->GetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    gl->GetIntegerv(GL_PACK_ROW_LENGTH, &rowLength);
    gl->GetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readBinding);
    gl->PixelStorei(GL_PACK_ALIGNMENT, 4);
    gl->PixelStorei(GL_PACK_ROW_LENGTH, 0);
    gl->BindFramebuffer(GL_READ_FRAMEBUFFER, frame.framebuffer);
    gl->ReadPixels(0, 0, frame.width, frame.height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    gl->BindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(readBinding));
    gl->PixelStorei(GL_PACK_ALIGNMENT, alignment);
    gl->PixelStorei(GL_PACK_ROW_LENGTH, rowLength);
    return true;
}

} // namespace

const GlCalls* CurrentCalls() {
    return current.context ? Calls(current.context->provider) : nullptr;
}

} // namespace platform::gl

using platform::gl::GlContext;

HGLRC wglCreateContext(HDC dc) {
    using namespace platform;
    HWND window = WindowFromDC(dc);
    if (window == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    int format = gl::WindowPixelFormat(window);
    if (format == 0) {
        SetLastError(gl::ERROR_INVALID_PIXEL_FORMAT);
        return 0;
    }
    gl::ContextProvider* provider = gl::Provider();
    void* native = provider != nullptr && !gl::Failures().noContext
                       ? provider->CreateContext(nullptr)
                       : nullptr;
    if (native == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    return RegisterObject(std::make_shared<GlContext>(*provider, native, gl::DepthBitsOf(format)));
}

BOOL wglMakeCurrent(HDC dc, HGLRC handle) {
    using namespace platform;
    if (handle == 0) {
        gl::ReleaseCurrent();
        return TRUE;
    }
    auto context = LookupObjectAs<GlContext>(handle);
    if (!context) return FALSE;
    HWND window = WindowFromDC(dc);
    int width = 0;
    int height = 0;
    if (window == 0 || !gl::ClientSize(window, width, height)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (gl::WindowPixelFormat(window) == 0) {
        SetLastError(gl::ERROR_INVALID_PIXEL_FORMAT);
        return FALSE;
    }
    return gl::MakeCurrentOn(context, window, width, height, context->depthBits) ? TRUE : FALSE;
}

BOOL wglDeleteContext(HGLRC handle) {
    using namespace platform;
    auto context = LookupObjectAs<GlContext>(handle);
    if (!context) return FALSE;
    if (gl::current.context == context) gl::ReleaseCurrent();
    return UnregisterObjectAs<GlContext>(handle) ? TRUE : FALSE;
}

// Contexts share from their creation on, so the second is made again sharing the first's
// lists; as on Windows it must not hold lists of its own yet.
BOOL wglShareLists(HGLRC first, HGLRC second) {
    using namespace platform;
    auto from = LookupObjectAs<GlContext>(first);
    auto to = LookupObjectAs<GlContext>(second);
    if (!from || !to) return FALSE;
    if (from == to) return TRUE;
    bool wasCurrent = gl::current.context == to;
    HWND window = gl::current.window;
    if (wasCurrent) gl::ReleaseCurrent();
    void* shared = to->provider.CreateContext(from->native);
    if (shared == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    to->provider.DestroyContext(to->native);
    to->native = shared;
    to->windowFrame = gl::Frame{};
    to->offscreenFrame = gl::Frame{};
    to->viewportSet = false;
    if (wasCurrent) {
        int width = 0;
        int height = 0;
        if (window != 0) gl::ClientSize(window, width, height);
        gl::MakeCurrentOn(to, window, width, height, to->depthBits);
    }
    return TRUE;
}

// The frame goes into the window's client area as a blit through its DC would: clipped
// to what of the window shows, under the children that clip it, and marked for the next
// present. The frame then follows the client area's size.
BOOL SwapBuffers(HDC dc) {
    using namespace platform;
    HWND window = WindowFromDC(dc);
    if (window == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    gl::Current& now = gl::current;
    if (!now.context || now.window != window) {
        SetLastError(gl::ERROR_INVALID_PIXEL_FORMAT);
        return FALSE;
    }
    // Another user of the provider (a display drawing through GL) may have taken over.
    if (!now.context->provider.MakeCurrent(now.context->native)) return FALSE;
    std::vector<uint32_t> pixels;
    if (!gl::ReadFrame(pixels)) return FALSE;
    gl::Frame& frame = now.frame();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = frame.width;
    info.bmiHeader.biHeight = frame.height; // bottom row first, as GL reads it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    int drawn = StretchDIBits(dc, 0, 0, frame.width, frame.height, 0, 0, frame.width, frame.height,
                              pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    int width = 0;
    int height = 0;
    if (gl::ClientSize(window, width, height) &&
        (std::max(width, 1) != frame.width || std::max(height, 1) != frame.height))
        gl::BindFrame(*now.context, frame, width, height, now.context->depthBits);
    return drawn != 0 ? TRUE : FALSE;
}

BOOL platform::MakeCurrentOffscreen(HGLRC handle, int width, int height) {
    auto context = LookupObjectAs<GlContext>(handle);
    if (!context) return FALSE;
    if (width <= 0 || height <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return gl::MakeCurrentOn(context, 0, width, height, 24) ? TRUE : FALSE;
}

BOOL platform::ReadOffscreenFrame(void* pixels, int pitch, int depth) {
    gl::Current& now = gl::current;
    if (!now.context || now.window != 0 || pixels == nullptr ||
        (depth != 16 && depth != 24 && depth != 32)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<uint32_t> frame;
    if (!gl::ReadFrame(frame)) return FALSE;
    int width = now.frame().width;
    int height = now.frame().height;
    for (int y = 0; y < height; ++y) {
        const uint32_t* from = frame.data() + size_t(height - 1 - y) * size_t(width);
        auto* row = static_cast<uint8_t*>(pixels) + ptrdiff_t(y) * pitch;
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = from[x] & 0xFFFFFFu;
            if (depth == 32) {
                std::memcpy(row + x * 4, &pixel, 4);
            } else if (depth == 24) {
                row[x * 3] = uint8_t(pixel);
                row[x * 3 + 1] = uint8_t(pixel >> 8);
                row[x * 3 + 2] = uint8_t(pixel >> 16);
            } else {
                auto word = uint16_t((pixel >> 8 & 0xF800u) | (pixel >> 5 & 0x07E0u) |
                                     (pixel >> 3 & 0x001Fu));
                std::memcpy(row + x * 2, &word, 2);
            }
        }
    }
    return TRUE;
}
