// What the renderer benchmarks share: a popup window on the headless display for a back end
// to draw into, a back end's world drawing a scene into such a window, and the world's
// 64 x 64 checker texture of two colours.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/materials/texture_list.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/render/renderer.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gl/gl_probe.h"
#include "platform/system/system_info.h"
#include "platform/user/windows.h"

namespace bench {

// Mesa's llvmpipe on one thread, a headless display of the given size and this thread's
// surfaces; false when there is no OpenGL. UnregisterSurfaceThread ends what this started.
inline bool StartHeadlessOpenGL(int width, int height) {
    setenv("LP_NUM_THREADS", "1", 0);
    platform::SetVirtualDisplay(width, height, 32);
    platform::headless::Install();
    RegisterSurfaceThread();
    return platform::OpenGLAvailable();
}

inline HWND OpenRenderWindow(const char* className, int x, int width, int height) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(0, className, "", WS_POPUP | WS_VISIBLE, x, 0, width,
                                        height, 0, 0, 0, nullptr);
    platform::headless::DispatchPending();
    return window;
}

// A window of its own, a depth buffer, a clear each frame; no display mode is checked.
inline constexpr uint32_t kRenderFlags = LRenderAPICLBK::kWindowed | LRenderAPICLBK::kDepthBuffer |
                                         LRenderAPICLBK::kClearEachFrame |
                                         LRenderAPICLBK::kSkipModeChecks;

// One back end's world and renderer drawing a scene into a window of its own. The scene
// fills the world and gives the camera it is seen with.
template <typename Device> struct RenderView {
    template <typename Scene>
    RenderView(const char* className, int x, int width, int height, Scene&& scene)
        : window(OpenRenderWindow(className, x, width, height)),
          device(std::make_unique<Device>()) {
        world = std::make_unique<L3DWorld>(device.get(), 0, nullptr, nullptr);
        renderer = device->CreateRenderer(world.get());
        camera = scene(*world, *device);
        renderer->targetWindow = window;
        renderer->background = 0x203040;
        ok = renderer->SetDisplayMode(kRenderFlags, width, height, 32) == 0 &&
             renderer->AttachView(camera) == 0;
    }
    ~RenderView() {
        device->ReleaseRenderer(renderer);
        world.reset();
        device.reset();
        DestroyWindow(window);
    }
    RenderView(const RenderView&) = delete;
    RenderView& operator=(const RenderView&) = delete;

    HWND window;
    std::unique_ptr<Device> device;
    std::unique_ptr<L3DWorld> world;
    LRenderAPICLBK* renderer = nullptr;
    L3DCamera* camera = nullptr;
    bool ok = false;
};

inline LTexture* CheckerTexture(L3DWorld& world, LAPICLBK& device) {
    constexpr uint32_t kSide = 64;
    auto* pixels = static_cast<uint8_t*>(std::malloc(kSide * kSide * 4));
    for (uint32_t y = 0; y < kSide; ++y)
        for (uint32_t x = 0; x < kSide; ++x) {
            const uint32_t texel = (x / 8 + y / 8) % 2 ? 0x2080E0 : 0xF0F0F0;
            std::memcpy(pixels + (y * kSide + x) * 4, &texel, 4);
        }
    LTexture* texture = device.CreateTexture(&world, "Checker", nullptr);
    world.textures.AddTexture(texture);
    texture->SetImage(pixels, kSide * 4, nullptr, 0, kSide, kSide, 1, 32, nullptr);
    return texture;
}

} // namespace bench
