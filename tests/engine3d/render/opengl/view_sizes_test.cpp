// A corridor of plain quads drawn by OpenGL and by the software renderer at window sizes
// other than the reference scenes' and of other shapes: a projection, viewport, aspect or
// near-plane clip that one back end took from somewhere else than the view's own size
// would move the floor line and the walls' edges apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine3d/render/dib_device.h"
#include "engine3d/render/mesa_golden.h"
#include "engine3d/render/opengl/opengl_device.h"
#include "engine3d/render/opengl/opengl_renderer.h"
#include "engine3d/render/render_fixture.h"
#include "engine3d/render/software/dib_presenter.h"
#include "engine3d/render/software_frame.h"
#include "engine3d/scene/support/reference_scene.h"
#include "graphics2d/drawing/surface_handle.h"
#include "platform/display/headless_display.h"
#include "platform/gl/gl_probe.h"

namespace {

constexpr uint32_t kBackground = 0x402010;

// The floor and both side walls begin behind the camera, so the near plane and the view's
// sides cut them; the far wall closes the corridor. Solid colours only: OpenGL filters
// texels where the software renderer takes the nearest, which says nothing of geometry.
L3DCamera* Corridor(L3DWorld& world, LAPICLBK& device) {
    using reference_scene::AddPolygon;
    const auto solid = [&](const char* name, uint32_t colour) {
        LMaterial* material = world.materials.CreateMaterial(name, nullptr, colour, 0, nullptr);
        material->SetFlat(1);
        return material;
    };
    LMaterial* floor = solid("Floor", 0xC08040);
    LMaterial* left = solid("Left", 0x2020E0);
    LMaterial* right = solid("Right", 0x20C020);
    LMaterial* end = solid("End", 0xE0E0E0);
    auto* corridor = new L3DObject("Corridor", &world, nullptr);
    AddPolygon(device, *corridor,
               {{-150, -40, -100}, {150, -40, -100}, {150, -40, 2000}, {-150, -40, 2000}}, floor);
    AddPolygon(device, *corridor,
               {{-150, -40, -100}, {-150, -40, 2000}, {-150, 90, 2000}, {-150, 90, -100}}, left);
    AddPolygon(device, *corridor,
               {{150, -40, -100}, {150, 90, -100}, {150, 90, 2000}, {150, -40, 2000}}, right);
    AddPolygon(device, *corridor,
               {{-150, -40, 2000}, {150, -40, 2000}, {150, 90, 2000}, {-150, 90, 2000}}, end);
    world.AddObject(corridor, 1);
    // Turned a little, so that the floor line slants and the two walls differ.
    L3DCamera* camera = world.CreateCamera(0);
    camera->SetAngles(0.04f, -0.06f, 0, 0);
    return camera;
}

class OpenGLViewSizesTest : public RenderDisplayTest {
protected:
    void SetUp() override {
        RenderDisplayTest::SetUp();
        if (!platform::OpenGLAvailable()) GTEST_SKIP() << "no OpenGL here";
    }

    platform::headless::Pixels OpenGLFrame(int32_t width, int32_t height) {
        LAPI_OpenGL device;
        EXPECT_EQ(device.IsLoaded(), 1);
        platform::headless::Pixels picture;
        {
            L3DWorld world(&device, 0, nullptr, nullptr);
            const HWND window = Window(0, 0, width, height);
            auto* renderer = static_cast<LRenderAPI_OpenGL*>(device.CreateRenderer(&world));
            renderer->targetWindow = window;
            renderer->background = kBackground;
            EXPECT_EQ(renderer->SetDisplayMode(
                          LRenderAPICLBK::kWindowed | LRenderAPICLBK::kDepthBuffer |
                              LRenderAPICLBK::kClearEachFrame | LRenderAPICLBK::kSkipModeChecks,
                          width, height, 32),
                      0);
            EXPECT_EQ(renderer->AttachView(Corridor(world, device)), 0);
            renderer->RenderFrame();
            EXPECT_TRUE(platform::headless::ReadPixels(window, picture));
            device.ReleaseRenderer(renderer);
        }
        return picture;
    }
};

// Coverage the same but for pixels along the edges (at most 1% of the view), and no pixel
// further than 8 from the software renderer's where that one's neighbours all share its
// colour.
TEST_F(OpenGLViewSizesTest, TheCorridorCoversWhatTheSoftwareRendererCoversAtEverySize) {
    const struct {
        int32_t width, height;
    } sizes[] = {{200, 150}, {480, 320}, {640, 480}, {150, 200}, {320, 100}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        const platform::headless::Pixels expected = render_test::SoftwareFrame(
            Corridor, size.width, size.height, kBackground, LRenderAPICLBK::kClearEachFrame);
        const platform::headless::Pixels drawn = OpenGLFrame(size.width, size.height);
        ASSERT_EQ(drawn.width, expected.width);
        ASSERT_EQ(drawn.height, expected.height);
        int differing = 0, inside = 0, floor = 0;
        for (int y = 0; y < expected.height; ++y)
            for (int x = 0; x < expected.width; ++x) {
                const uint32_t want = expected.At(x, y) & 0xFFFFFF;
                floor += want == 0x4080C0 ? 1 : 0;
                if (render_test::ChannelDistance(want, drawn.At(x, y)) <= 8) continue;
                ++differing;
                bool edge = false;
                for (int dy = -1; dy <= 1 && !edge; ++dy)
                    for (int dx = -1; dx <= 1 && !edge; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= expected.width || ny >= expected.height)
                            continue;
                        edge = render_test::ChannelDistance(expected.At(nx, ny), want) > 8;
                    }
                inside += edge ? 0 : 1;
            }
        const int total = expected.width * expected.height;
        // The floor fills much of the lower half: a view that lost it compares nothing.
        EXPECT_GT(floor, total / 10);
        EXPECT_LE(differing, total / 100) << differing << " pixels differ, " << inside << " inside";
        EXPECT_EQ(inside, 0) << differing << " pixels differ";
    }
}

} // namespace
