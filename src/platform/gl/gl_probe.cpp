#include "platform/gl/gl_probe.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>

#include "platform/gdi/screen_dc.h"
#include "platform/gl/context_provider.h"
#include "platform/gl/gl_test_hooks.h"
#include "platform/process/shared_library.h"

namespace platform {
namespace {

std::mutex probeLock;
std::optional<bool> probed;

bool LibraryLoads(const char* name) {
    HMODULE module = LoadLibraryA(name);
    if (module == 0) return false;
    FreeLibrary(module);
    return true;
}

bool Probe() {
    HDC screen = GetDC(0);
    int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(0, screen);
    if (depth < 15 || !LibraryLoads("OpenGL32.dll") || !LibraryLoads("GLU32.dll")) return false;
    gl::ContextProvider* provider = gl::Provider();
    if (provider == nullptr) return false;
    void* context = provider->CreateContext(nullptr);
    if (context == nullptr) return false;
    provider->DestroyContext(context);
    return true;
}

} // namespace

bool OpenGLAvailable() {
    const char* wanted = std::getenv("ZORV_GL");
    if (wanted != nullptr && std::strcmp(wanted, "off") == 0) return false;
    std::lock_guard guard(probeLock);
    if (!probed) probed = Probe();
    return *probed;
}

void test::ForgetOpenGLProbe() {
    std::lock_guard guard(probeLock);
    probed.reset();
}

} // namespace platform
