// Frames drawn by OpenGL on Mesa's software rasteriser (llvmpipe, which tools/test asks
// for), read back from the window they were shown in, beside the software renderer's
// golden frames at 32 bits: the same polygons must cover the same pixels, but for a few
// along edges, and colour them alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "engine3d/render/dib_device.h"
#include "engine3d/render/mesa_golden.h"
#include "engine3d/render/opengl/opengl_device.h"
#include "engine3d/render/opengl/opengl_loader.h"
#include "engine3d/render/opengl/opengl_renderer.h"
#include "engine3d/render/render_fixture.h"
#include "engine3d/render/software/dib_presenter.h"
#include "engine3d/render/software_frame.h"
#include "engine3d/render/textured_scene.h"
#include "engine3d/scene/support/reference_scene.h"
#include "graphics2d/drawing/surface_handle.h"
#include "platform/display/png_dump.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gl/gl_probe.h"
#include "platform/gl/gl_test_hooks.h"
#include "support/golden_picture.h"

namespace {

using R = LRenderAPI_OpenGL;

constexpr int32_t kWidth = 160;
constexpr int32_t kHeight = 120;
constexpr uint32_t kBackground = 0x402010;

std::filesystem::path Golden(const std::string& name) {
    return std::filesystem::path(ZORV_SOURCE_DIR) / "tests/engine3d/render/golden" /
           (name + ".png");
}

// Pixels whose colour is further than `tolerance` from the golden's, and of those the ones
// not on an edge of the golden (no neighbour within `reach` pixels of another colour).
struct Differences {
    int count = 0;
    int inside = 0;
};

Differences Compare(const platform::headless::Pixels& golden,
                    const platform::headless::Pixels& drawn, int tolerance, int reach = 1) {
    Differences d;
    for (int y = 0; y < golden.height; ++y)
        for (int x = 0; x < golden.width; ++x) {
            const uint32_t g = golden.At(x, y);
            if (render_test::ChannelDistance(g, drawn.At(x, y)) <= tolerance) continue;
            ++d.count;
            bool edge = false;
            for (int dy = -reach; dy <= reach && !edge; ++dy)
                for (int dx = -reach; dx <= reach && !edge; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= golden.width || ny >= golden.height) continue;
                    edge = render_test::ChannelDistance(golden.At(nx, ny), g) > tolerance;
                }
            if (!edge) ++d.inside;
        }
    return d;
}

// "Mesa 23.2.1" in GL_VERSION gives "mesa23"; "" for another OpenGL.
std::string MesaMajor() {
    for (size_t i = 0; i < GLEntryCount(); ++i) {
        if (std::strcmp(GLEntryName(i), "glGetString") != 0) continue;
        const auto getString = reinterpret_cast<const char* (*)(GLenum)>(GLEntryAddress(i));
        const char* version = getString != nullptr ? getString(0x1F02) : nullptr;
        const char* mesa = version != nullptr ? std::strstr(version, "Mesa ") : nullptr;
        if (mesa == nullptr) return "";
        return "mesa" + std::to_string(std::atoi(mesa + 5));
    }
    return "";
}

class OpenGLPixelsTest : public RenderDisplayTest {
protected:
    void SetUp() override {
        RenderDisplayTest::SetUp();
        if (!platform::OpenGLAvailable()) GTEST_SKIP() << "no OpenGL here";
        device_ = std::make_unique<LAPI_OpenGL>();
        ASSERT_EQ(device_->IsLoaded(), 1);
        world_ = std::make_unique<L3DWorld>(device_.get(), 0, nullptr, nullptr);
        window_ = Window(0, 0, kWidth, kHeight);
        renderer_ = static_cast<LRenderAPI_OpenGL*>(device_->CreateRenderer(world_.get()));
        renderer_->targetWindow = window_;
        renderer_->background = kBackground;
        ASSERT_EQ(renderer_->SetDisplayMode(
                      LRenderAPICLBK::kWindowed | LRenderAPICLBK::kDepthBuffer |
                          LRenderAPICLBK::kClearEachFrame | LRenderAPICLBK::kSkipModeChecks,
                      kWidth, kHeight, 32),
                  0);
    }
    void TearDown() override {
        platform::test::SetOpenGLFailures({});
        if (device_ != nullptr)
            while (!device_->GetRenderers().empty())
                device_->ReleaseRenderer(device_->GetRenderers().back());
        world_.reset();
        device_.reset();
        RenderDisplayTest::TearDown();
    }

    platform::headless::Pixels Draw(L3DCamera* camera) {
        EXPECT_EQ(renderer_->AttachView(camera), 0);
        renderer_->RenderFrame();
        platform::headless::Pixels picture;
        EXPECT_TRUE(platform::headless::ReadPixels(window_, picture));
        if (const char* folder = std::getenv("ZORV_GL_PICTURES"))
            platform::headless::WritePng(window_, std::string(folder) + "/gl.png");
        return picture;
    }

    std::unique_ptr<LAPI_OpenGL> device_;
    std::unique_ptr<L3DWorld> world_;
    HWND window_ = 0;
    LRenderAPI_OpenGL* renderer_ = nullptr;
};

TEST_F(OpenGLPixelsTest, TheReferenceSceneCoversWhatTheSoftwareRendererCovers) {
    ReferenceScene scene = BuildReferenceScene(*world_, *device_);
    // The sky is a texture allocated for a camera that never draws into it: black pixels
    // the software renderer leaves out.
    world_->SetBackgroundMaterial(nullptr);
    const platform::headless::Pixels drawn = Draw(scene.camera);
    platform::headless::Pixels golden;
    ASSERT_TRUE(test_support::ReadPngPicture(Golden("reference_32"), golden));
    ASSERT_EQ(drawn.width, golden.width);
    ASSERT_EQ(drawn.height, golden.height);
    const Differences d = Compare(golden, drawn, 8);
    const int total = kWidth * kHeight;
    // The scene is drawn in outlines, and GL's lines step differently from ours (and stop
    // short of the view's last column and row): their pixels may differ, but only next to
    // where the software renderer drew, and the filled sprite's colour must be the same.
    // A vertex in the wrong place (w other than 1, say) moves whole outlines away.
    EXPECT_LE(d.count, total / 12) << d.count << " pixels differ, " << d.inside << " inside";
    EXPECT_LE(d.inside, total / 100) << d.count << " pixels differ, " << d.inside << " inside";
    EXPECT_EQ(drawn.At(40, 20) & 0xFFFFFF, golden.At(40, 20) & 0xFFFFFF);
}

TEST_F(OpenGLPixelsTest, TheReferenceSceneAsGoldenForThisMesa) {
    ReferenceScene scene = BuildReferenceScene(*world_, *device_);
    render_test::ExpectLikeMesaGolden(Draw(scene.camera), "opengl", MesaMajor(), "reference");
}

// The textured scene's opaque polygons: its floor and wall, their textures wrapping.
L3DCamera* OpaqueTexturedScene(L3DWorld& world, LAPICLBK& device) {
    const auto pack = [](uint32_t colour) { return textured_scene::PackTexel(colour, 32); };
    textured_scene::Builder builder(world, device, 32, pack);
    L3DCamera* camera = world.CreateCamera(0);
    LTexture* tiles = builder.Texture("Tiles", 16, [](uint32_t x, uint32_t y) {
        return (x / 4 + y / 4) % 2 ? 0x2080E0 : 0xF0F0F0;
    });
    LTexture* stripes = builder.Texture(
        "Stripes", 8, [](uint32_t x, uint32_t) { return x < 4 ? 0x00C000 : 0x004000; });
    auto* room = new L3DObject("Room", &world, nullptr);
    builder.Quad(*room, world.materials.CreateMaterial("Tiles", tiles, 0xFFFFFF, 0, nullptr),
                 {{-120, -40, 120, 0, 0},
                  {120, -40, 120, 4, 0},
                  {120, -40, 420, 4, 4},
                  {-120, -40, 420, 0, 4}});
    builder.Quad(
        *room, world.materials.CreateMaterial("Stripes", stripes, 0xFFFFFF, 0, nullptr),
        {{-90, -40, 300, 0, 1}, {90, -40, 300, 3, 1}, {90, 50, 300, 3, 0}, {-90, 50, 300, 0, 0}});
    world.AddObject(room, 1);
    return camera;
}

// Filled textured polygons cover what the software renderer's cover: a vertex in the wrong
// place (w other than 1, say) uncovers or covers whole strips. Their colours are not
// compared: OpenGL filters texels linearly where ours takes the nearest one.
TEST_F(OpenGLPixelsTest, FilledTexturesCoverWhatTheSoftwareRenderersCover) {
    const platform::headless::Pixels drawn = Draw(OpaqueTexturedScene(*world_, *device_));
    const platform::headless::Pixels expected =
        render_test::SoftwareFrame(OpaqueTexturedScene, kWidth, kHeight, kBackground);
    ASSERT_EQ(expected.data.size(), drawn.data.size());
    constexpr uint32_t kShownBackground = 0x102040;
    int covered = 0, otherwise = 0;
    for (size_t i = 0; i < drawn.data.size(); ++i) {
        const bool ours = (expected.data[i] & 0xFFFFFF) != kShownBackground;
        covered += ours ? 1 : 0;
        otherwise += ours != ((drawn.data[i] & 0xFFFFFF) != kShownBackground) ? 1 : 0;
    }
    EXPECT_GT(covered, kWidth * kHeight / 2);
    EXPECT_LE(otherwise, kWidth * kHeight / 100) << otherwise << " pixels covered otherwise";
}

// The whole textured scene's colours beside the software renderer's golden: OpenGL filters
// texels linearly about their centres where ours takes the nearest texel, so between two
// texels of different colours its colours blend over up to a texel's width on screen
// (seven pixels for the pane's here). Further inside, colours must agree within 8: a
// texture upside down, a wrong blend or key, or channels swapped show there.
TEST_F(OpenGLPixelsTest, TheTexturedScenesInsidesAreColouredAsTheSoftwareRenderersAre) {
    const platform::headless::Pixels drawn = Draw(BuildTexturedScene(*world_, *device_, 32));
    platform::headless::Pixels golden;
    ASSERT_TRUE(test_support::ReadPngPicture(Golden("textured_32"), golden));
    ASSERT_EQ(drawn.data.size(), golden.data.size());
    const Differences d = Compare(golden, drawn, 8, 7);
    EXPECT_LE(d.inside, kWidth * kHeight / 100)
        << d.count << " pixels differ, " << d.inside << " inside";
}

TEST_F(OpenGLPixelsTest, TheTexturedSceneAsGoldenForThisMesa) {
    render_test::ExpectLikeMesaGolden(Draw(BuildTexturedScene(*world_, *device_, 32)), "opengl",
                                      MesaMajor(), "textured");
}

TEST_F(OpenGLPixelsTest, ACameraTextureShowsWhatItsCameraSees) {
    const reference_scene::CameraTextureScene scene =
        reference_scene::AddCameraTextureScene(*device_, *world_);
    ASSERT_EQ(scene.made, 0);
    const platform::headless::Pixels drawn = Draw(scene.view);
    EXPECT_EQ(drawn.At(kWidth / 2, kHeight / 2) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(drawn.At(2, 2) & 0xFFFFFF, 0x102040u);
}

// The quads of optimized static geometry are drawn beside its batched triangles.
TEST_F(OpenGLPixelsTest, TheQuadsOfOptimizedStaticGeometryAreDrawnBesideItsTriangles) {
    L3DCamera* camera = world_->CreateCamera(0);
    reference_scene::AddStaticQuadBesideTriangle(*device_, *world_);
    const platform::headless::Pixels drawn = Draw(camera);
    int whites = 0, reds = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            whites += (drawn.At(x, y) & 0xFFFFFF) == 0xFFFFFFu ? 1 : 0;
            reds += (drawn.At(x, y) & 0xFFFFFF) == 0xFF0000u ? 1 : 0;
        }
    EXPECT_GT(whites, 200);
    EXPECT_GT(reds, 100);
}

TEST_F(OpenGLPixelsTest, FogFollowsTheCamerasFractionsOfTheFarDistance) {
    using reference_scene::AddPolygon;
    L3DCamera* camera = world_->CreateCamera(0);
    camera->SetFog(1, 0x000000, 0.25f, 0.75f, 1.0f);
    LMaterial* white = world_->materials.CreateMaterial("White", nullptr, 0xFFFFFF, 0, nullptr);
    white->SetFlat(1);
    // One wall filling the view at a tenth, a half and nine tenths of the far distance:
    // before the fog, half in it and wholly in it.
    const float far = float(camera->farDistance);
    const struct {
        float fraction;
        int expected;
    } cases[] = {{0.1f, 255}, {0.5f, 128}, {0.9f, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fraction);
        const float z = far * c.fraction, r = 10 * z;
        auto* wall = new L3DObject("Wall", world_.get(), nullptr);
        AddPolygon(*device_, *wall, {{-r, -r, z}, {r, -r, z}, {r, r, z}, {-r, r, z}}, white);
        world_->AddObject(wall, 1);
        const uint32_t shown = Draw(camera).At(kWidth / 2, kHeight / 2);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(int(shown >> shift & 0xFF), c.expected, 8) << std::hex << shown;
        world_->RemoveObject(wall);
    }
}

TEST_F(OpenGLPixelsTest, FailedSetUpsGiveTheirCodesAndDrawNothingUntilTheNextModeChange) {
    using platform::test::OpenGLFailures;
    const uint32_t flags = renderer_->flags;
    L3DCamera* camera = world_->CreateCamera(0);
    OpenGLFailures failures;
    failures.only32BitFormats = true;
    platform::test::SetOpenGLFailures(failures);
    // A window keeps its first pixel format: the retry is seen on a window of its own.
    auto* second = static_cast<LRenderAPI_OpenGL*>(device_->CreateRenderer(world_.get()));
    second->targetWindow = Window(0, 0, kWidth, kHeight);
    EXPECT_EQ(second->SetDisplayMode(flags, kWidth, kHeight, 16), 0);
    device_->ReleaseRenderer(second);
    failures = {};
    failures.noPixelFormat = true;
    platform::test::SetOpenGLFailures(failures);
    EXPECT_EQ(renderer_->SetDisplayMode(flags, kWidth, kHeight, 32), R::kNoPixelFormat);
    failures = {};
    failures.refusePixelFormat = true;
    platform::test::SetOpenGLFailures(failures);
    EXPECT_EQ(renderer_->SetDisplayMode(flags, kWidth, kHeight, 32), R::kPixelFormatRefused);
    failures = {};
    failures.noContext = true;
    platform::test::SetOpenGLFailures(failures);
    EXPECT_EQ(renderer_->SetDisplayMode(flags, kWidth, kHeight, 32), R::kNoContext);
    failures = {};
    failures.noFramebuffer = true;
    platform::test::SetOpenGLFailures(failures);
    EXPECT_EQ(renderer_->SetDisplayMode(flags, kWidth, kHeight, 32), R::kNoContext);
    EXPECT_EQ(world_->glContext, 0u);
    // The window keeps what its class painted.
    EXPECT_EQ(Draw(camera).At(kWidth / 2, kHeight / 2) & 0xFFFFFF, 0u);

    platform::test::SetOpenGLFailures({});
    EXPECT_EQ(renderer_->SetDisplayMode(flags, kWidth, kHeight, 32), 0);
    EXPECT_EQ(Draw(camera).At(kWidth / 2, kHeight / 2) & 0xFFFFFF, 0x102040u);
}

TEST_F(OpenGLPixelsTest, AChildWindowStaysOverTheView) {
    SetWindowLongA(window_, GWL_STYLE, GetWindowLongA(window_, GWL_STYLE) | LONG(WS_CLIPCHILDREN));
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hbrBackground = CreateSolidBrush(RGB(0, 0, 255));
    windowClass.lpszClassName = "OpenGLChild";
    RegisterClassA(&windowClass);
    const HWND child = CreateWindowExA(0, "OpenGLChild", "", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20,
                                       window_, 0, 0, nullptr);
    platform::headless::DispatchPending();
    const platform::headless::Pixels drawn = Draw(world_->CreateCamera(0));
    EXPECT_EQ(drawn.At(15, 15) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(drawn.At(5, 5) & 0xFFFFFF, 0x102040u);
    DestroyWindow(child);
    DeleteObject(windowClass.hbrBackground);
}

} // namespace

// A keyed texture's cut-out edges: filtering mixes the keyed texels' colour into the
// visible ones beside them, so the key, pure red here, must have been replaced by the
// visible texels' green before the upload. No pixel may come out redder than the
// background behind the quad.
TEST_F(OpenGLPixelsTest, KeyedTexturesShowNoFringeOfTheirKeyColour) {
    auto pack = [](uint32_t colour) { return textured_scene::PackTexel(colour, 32); };
    textured_scene::Builder<decltype(pack)> builder(*world_, *device_, 32, pack);
    L3DCamera* camera = world_->CreateCamera(0);
    constexpr uint32_t kRedKey = 0x0000FF;
    LTexture* bars = builder.Texture("Bars", 16, [](uint32_t x, uint32_t y) {
        return (x / 2 + y / 4) % 2 != 0 ? kRedKey : 0x00FF00;
    });
    bars->SetColorKey(1, kRedKey);
    LMaterial* material = world_->materials.CreateMaterial("Bars", bars, 0xFFFFFF, 0, nullptr);
    auto* object = new L3DObject("Bars", world_.get(), nullptr);
    builder.Quad(
        *object, material,
        {{-60, -45, 150, 0, 1}, {60, -45, 150, 1, 1}, {60, 45, 150, 1, 0}, {-60, 45, 150, 0, 0}});
    world_->AddObject(object, 1);
    const platform::headless::Pixels drawn = Draw(camera);
    constexpr uint32_t kShownBackground = 0x102040;
    int green = 0, reddest = 0;
    for (uint32_t pixel : drawn.data) {
        green += (pixel >> 8 & 0xFF) > 0x80 ? 1 : 0;
        reddest = std::max(reddest, int(pixel >> 16 & 0xFF));
    }
    EXPECT_GT(green, kWidth * kHeight / 8);
    EXPECT_LE(reddest, int(kShownBackground >> 16 & 0xFF) + 2);
}
