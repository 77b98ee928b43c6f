#include "engine3d/scene/render/frame_state.h"

#include <mutex>

#include "engine3d/scene/mesh/polygon.h"

namespace {

LRenderAPICLBK* currentRenderer = nullptr;

std::recursive_mutex& RenderMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

} // namespace

LRenderAPICLBK* GetCurrentRenderer() {
    return currentRenderer;
}

void SetCurrentRenderer(LRenderAPICLBK* renderer) {
    currentRenderer = renderer;
}

void LockRender() {
    RenderMutex().lock();
}

void UnlockRender() {
    RenderMutex().unlock();
}

LPolygon& GetScratchPolygon() {
    static LPolygon scratch(nullptr, 2, nullptr);
    return scratch;
}
