#include "classes/window/window_surface.h"

#include "script/classes/base_class.h"

namespace {

WindowSurfaceMaker surfaceMaker = nullptr;

} // namespace

CWindowSurface* AsWindowSurface(CIBaseClassImpl* object) {
    return object != nullptr ? dynamic_cast<CWindowSurface*>(object) : nullptr;
}

void SetWindowSurfaceMaker(WindowSurfaceMaker maker) {
    surfaceMaker = maker;
}

bool IsWindowSurfaceAvailable() {
    return surfaceMaker != nullptr;
}

CWindowSurface* MakeWindowSurface(CInterpretor& interpreter, int32_t width, int32_t height,
                                  int32_t depth, uint32_t flags) {
    return surfaceMaker != nullptr ? surfaceMaker(interpreter, width, height, depth, flags)
                                   : nullptr;
}
