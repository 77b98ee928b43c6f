// On a real X server (Xvfb in CI): the OpenGL renderer draws a frame of a world through a
// context SDL made, and the SDL window shows it with a child window drawn over it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "engine3d/render/opengl/opengl_device.h"
#include "engine3d/render/opengl/opengl_renderer.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/support/reference_scene.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/display/display_backend.h"
#include "platform/display/sdl_test_hooks.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gl/gl_probe.h"
#include "platform/gl/gl_test_hooks.h"
#include "platform/user/windows.h"

namespace {

HWND MakeWindow(const char* className, HBRUSH background, DWORD style, int x, int y, int width,
                int height, HWND parent) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, className, "", style, x, y, width, height, parent, 0, 0, nullptr);
}

// Paints what waits to be painted, the child's background among it, and shows it.
void DispatchAndShow() {
    MSG message;
    while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    platform::PumpDisplay();
}

TEST(OpenGLRendererOnScreen, AFrameShowsInTheWindowWithTheChildOverIt) {
    // .ci/run starts Xvfb and names SDL's x11 driver for this test; a desktop's DISPLAY
    // alone does not put tests on screen.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (std::getenv("DISPLAY") == nullptr || driver == nullptr || std::string(driver) != "x11")
        GTEST_SKIP() << "runs under an X server with SDL_VIDEODRIVER=x11 (.ci/run starts Xvfb)";
    if (std::string(platform::test::OpenGLProviderName()) != "")
        GTEST_SKIP() << "another test of this process chose where contexts come from";
    setenv("ZORV_DISPLAY", "sdl", 1);
    platform::SetActiveDisplay(nullptr);
    ASSERT_EQ(platform::ActiveDisplay().Name(), "sdl");
    RegisterSurfaceThread();
    ASSERT_TRUE(platform::OpenGLAvailable());
    EXPECT_STREQ(platform::test::OpenGLProviderName(), "sdl");

    const HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    const HWND window = MakeWindow("OnScreenView", static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)),
                                   WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, 160, 120, 0);
    ASSERT_NE(MakeWindow("OnScreenChild", blue, WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, window), 0u);
    DispatchAndShow();
    {
        auto device = std::make_unique<LAPI_OpenGL>();
        auto world = std::make_unique<L3DWorld>(device.get(), 0, nullptr, nullptr);
        auto* renderer = static_cast<LRenderAPI_OpenGL*>(device->CreateRenderer(world.get()));
        renderer->targetWindow = window;
        renderer->background = 0x402010;
        ASSERT_EQ(renderer->SetDisplayMode(
                      LRenderAPICLBK::kWindowed | LRenderAPICLBK::kDepthBuffer |
                          LRenderAPICLBK::kClearEachFrame | LRenderAPICLBK::kSkipModeChecks,
                      160, 120, 32),
                  0);
        // A yellow wall across the lower half of the view.
        L3DCamera* camera = world->CreateCamera(0);
        LMaterial* yellow =
            world->materials.CreateMaterial("Yellow", nullptr, 0x00FFFF, 0, nullptr);
        yellow->SetFlat(1);
        auto* wall = new L3DObject("Wall", world.get(), nullptr);
        reference_scene::AddPolygon(
            *device, *wall, {{-500, -500, 100}, {500, -500, 100}, {500, 0, 100}, {-500, 0, 100}},
            yellow);
        world->AddObject(wall, 1);
        ASSERT_EQ(renderer->AttachView(camera), 0);
        renderer->RenderFrame();
        platform::PumpDisplay();

        uint32_t pixel = 0;
        ASSERT_TRUE(platform::test::ReadPresentedPixel(window, 80, 20, pixel));
        EXPECT_EQ(pixel, 0x102040u);
        ASSERT_TRUE(platform::test::ReadPresentedPixel(window, 80, 100, pixel));
        EXPECT_EQ(pixel, 0xFFFF00u);
        ASSERT_TRUE(platform::test::ReadPresentedPixel(window, 15, 15, pixel));
        EXPECT_EQ(pixel, 0x0000FFu);
        device->ReleaseRenderer(renderer);
    }
    DestroyWindow(window);
    DeleteObject(blue);
    platform::PumpDisplay();
    UnregisterSurfaceThread();
}

} // namespace
