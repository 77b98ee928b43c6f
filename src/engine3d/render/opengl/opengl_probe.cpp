#include "engine3d/render/opengl/opengl_probe.h"

#include <cstdlib>
#include <cstring>

#include "engine3d/render/opengl/opengl_device.h"
#include "engine3d/render/opengl/opengl_loader.h"
#include "engine3d/render/opengl/opengl_renderer.h"
#include "platform/gdi/screen_dc.h"

namespace {

// A pixel format and a context on the screen's DC, made and let go again.
int CanMakeContext() {
    const OpenGLWindowCalls& calls = GetOpenGLWindowCalls();
    if (calls.choosePixelFormat == nullptr || calls.setPixelFormat == nullptr) return 0;
    if (CanLoadOpenGL() == 0 || LoadOpenGL() == 0) return 0;
    int made = 0;
    if (const HDC dc = GetDC(0)) {
        PIXELFORMATDESCRIPTOR descriptor{};
        descriptor.nSize = 40;
        descriptor.nVersion = 1;
        descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        descriptor.iPixelType = PFD_TYPE_RGBA;
        descriptor.cColorBits = 32;
        descriptor.cDepthBits = 24;
        const int format = calls.choosePixelFormat(dc, &descriptor);
        if (format != 0 && calls.setPixelFormat(dc, format, &descriptor) != 0) {
            if (const HGLRC context = gl11::wglCreateContext(dc)) {
                gl11::wglDeleteContext(context);
                made = 1;
            }
        }
        ReleaseDC(0, dc);
    }
    UnloadOpenGL();
    return made;
}

} // namespace

int ProbeOpenGL() {
    const char* setting = std::getenv("ZORV_GL");
    if (setting != nullptr && std::strcmp(setting, "off") == 0) return 0;
    if (LRenderAPICLBK::GetScreenDepth() < 15) return 0;
    static const int usable = CanMakeContext();
    return usable;
}

LAPICLBK* MakeOpenGLDevice() {
    auto* device = new LAPI_OpenGL;
    if (device->IsLoaded() != 0) return device;
    device->Release();
    return nullptr;
}
