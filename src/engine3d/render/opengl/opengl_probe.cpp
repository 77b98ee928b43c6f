#include "engine3d/render/opengl/opengl_probe.h"

#include "engine3d/render/opengl/opengl_device.h"
#include "engine3d/render/opengl/opengl_loader.h"
#include "engine3d/scene/render/renderer.h"
#include "platform/gl/gl_probe.h"

namespace {

// Every name of the tables is there: loaded once and let go again.
int HasEveryName() {
    if (LoadOpenGL() == 0) return 0;
    UnloadOpenGL();
    return 1;
}

} // namespace

int ProbeOpenGL() {
    // The platform remembers its answer; the screen's depth can change after it.
    if (LRenderAPICLBK::GetScreenDepth() < 15 || !platform::OpenGLAvailable()) return 0;
    static const int complete = HasEveryName();
    return complete;
}

LAPICLBK* MakeOpenGLDevice() {
    auto* device = new LAPI_OpenGL;
    if (device->IsLoaded() != 0) return device;
    device->Release();
    return nullptr;
}
