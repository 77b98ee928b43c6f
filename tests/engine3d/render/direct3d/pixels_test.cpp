// Frames of the Direct3D renderer drawn by the layer's GL executor on Mesa's software
// rasteriser, read back from the window they were shown in, beside the software renderer's
// golden frames at 32 bits.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine3d/render/direct3d/direct3d_device.h"
#include "engine3d/render/direct3d/direct3d_renderer.h"
#include "engine3d/render/mesa_golden.h"
#include "engine3d/render/render_fixture.h"
#include "engine3d/render/textured_scene.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/support/reference_scene.h"
#include "platform/directx/direct3d/direct3d_test_hooks.h"
#include "platform/display/png_dump.h"
#include "platform/gl/gl_probe.h"
#include "support/golden_picture.h"

namespace {

constexpr int32_t kWidth = 160;
constexpr int32_t kHeight = 120;
constexpr uint32_t kBackground = 0x402010;

// Pixels further than 8 in a channel from the golden's; of those, the ones farther than
// `reach` pixels from any edge of the golden.
struct Differences {
    int count = 0;
    int inside = 0;
};

Differences Compare(const platform::headless::Pixels& golden,
                    const platform::headless::Pixels& drawn, int reach) {
    Differences d;
    for (int y = 0; y < golden.height; ++y)
        for (int x = 0; x < golden.width; ++x) {
            const uint32_t g = golden.At(x, y);
            if (render_test::ChannelDistance(g, drawn.At(x, y)) <= 8) continue;
            ++d.count;
            bool edge = false;
            for (int dy = -reach; dy <= reach && !edge; ++dy)
                for (int dx = -reach; dx <= reach && !edge; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= golden.width || ny >= golden.height) continue;
                    edge = render_test::ChannelDistance(golden.At(nx, ny), g) > 8;
                }
            if (!edge) ++d.inside;
        }
    return d;
}

// The scene's textures are made at 32 bits; a world file's are converted to the depth of
// the format the renderer chooses for each (15 bits for keyed ones), as here.
L3DCamera* AtTheirOwnDepths(L3DWorld& world, L3DCamera* camera) {
    for (int32_t i = 0; LTexture* t = world.textures.GetAt(i); ++i) {
        const uint32_t depth = t->GetBitsPerPixel();
        if ((depth != 15 && depth != 16) || t->bitsPerPixel != 32) continue;
        const uint32_t pitch = (t->width * 2 + 3) & ~3u;
        auto* pixels = static_cast<uint8_t*>(std::calloc(pitch, t->height));
        for (uint32_t y = 0; y < t->height; ++y)
            for (uint32_t x = 0; x < t->width; ++x) {
                uint32_t texel = 0;
                std::memcpy(&texel, t->pixels + y * t->pitch + x * 4, 4);
                const auto packed = uint16_t(textured_scene::PackTexel(
                    (texel >> 16 & 0xFF) | (texel & 0xFF00) | (texel & 0xFF) << 16, depth));
                std::memcpy(pixels + y * pitch + x * 2, &packed, 2);
            }
        t->SetImage(pixels, pitch, nullptr, 0, t->width, t->height, 1, depth, nullptr);
    }
    return camera;
}

// "Mesa 23.2.1" in the layer's GL_VERSION gives "mesa23"; "" for another OpenGL.
std::string MesaMajor() {
    const std::string& version = platform::test::GetDirect3DSetup().glVersion;
    const size_t mesa = version.find("Mesa ");
    if (mesa == std::string::npos) return "";
    return "mesa" + std::to_string(std::atoi(version.c_str() + mesa + 5));
}

class Direct3DPixelsTest : public RenderDisplayTest {
protected:
    void SetUp() override {
        RenderDisplayTest::SetUp();
        platform::test::ResetDirect3DSetup();
        if (!platform::OpenGLAvailable()) GTEST_SKIP() << "no OpenGL here";
        device_ = std::make_unique<LAPI_Direct3D>();
        world_ = std::make_unique<L3DWorld>(device_.get(), 0, nullptr, nullptr);
        window_ = Window(0, 0, kWidth, kHeight);
        renderer_ = static_cast<LRenderAPI_Direct3D*>(device_->CreateRenderer(world_.get()));
        renderer_->targetWindow = window_;
        renderer_->background = kBackground;
        ASSERT_EQ(renderer_->SetDisplayMode(
                      LRenderAPICLBK::kWindowed | LRenderAPICLBK::kDepthBuffer |
                          LRenderAPICLBK::kClearEachFrame | LRenderAPICLBK::kSkipModeChecks,
                      kWidth, kHeight, 32),
                  0);
    }
    void TearDown() override {
        if (device_ != nullptr)
            while (!device_->GetRenderers().empty())
                device_->ReleaseRenderer(device_->GetRenderers().back());
        world_.reset();
        device_.reset();
        platform::test::ResetDirect3DSetup();
        RenderDisplayTest::TearDown();
    }

    platform::headless::Pixels Draw(L3DCamera* camera) {
        EXPECT_EQ(renderer_->AttachView(camera), 0);
        renderer_->RenderFrame();
        platform::headless::Pixels picture;
        EXPECT_TRUE(platform::headless::ReadPixels(window_, picture));
        if (const char* folder = std::getenv("ZORV_GL_PICTURES"))
            platform::headless::WritePng(window_, std::string(folder) + "/d3d.png");
        return picture;
    }

    static platform::headless::Pixels Golden(const std::string& name) {
        platform::headless::Pixels golden;
        EXPECT_TRUE(test_support::ReadPngPicture(std::filesystem::path(ZORV_SOURCE_DIR) /
                                                     "tests/engine3d/render/golden" /
                                                     (name + ".png"),
                                                 golden));
        return golden;
    }

    std::unique_ptr<LAPI_Direct3D> device_;
    std::unique_ptr<L3DWorld> world_;
    HWND window_ = 0;
    LRenderAPI_Direct3D* renderer_ = nullptr;
};

// The reference scene is drawn in outlines: GL steps lines otherwise than ours, so pixels
// along them may differ, but hardly any away from them; the filled sprite is the same.
TEST_F(Direct3DPixelsTest, TheReferenceSceneCoversWhatTheSoftwareRendererCovers) {
    ReferenceScene scene = BuildReferenceScene(*world_, *device_);
    world_->SetBackgroundMaterial(nullptr);
    const platform::headless::Pixels drawn = Draw(scene.camera);
    const platform::headless::Pixels golden = Golden("reference_32");
    ASSERT_EQ(drawn.width, golden.width);
    ASSERT_EQ(drawn.height, golden.height);
    const Differences d = Compare(golden, drawn, 1);
    EXPECT_LE(d.count, kWidth * kHeight / 12) << d.count << " differ, " << d.inside << " inside";
    EXPECT_LE(d.inside, kWidth * kHeight / 100) << d.count << " differ, " << d.inside << " inside";
    EXPECT_EQ(drawn.At(40, 20) & 0xFFFFFF, golden.At(40, 20) & 0xFFFFFF);
}

// Texels are filtered as the renderer asks, which may blend neighbours over a texel's
// width on the screen (seven pixels at most here); further inside, colours agree within
// 8 on all but 1% of the pixels: a texture upside down, a wrong key or blend, or channels
// swapped show there.
TEST_F(Direct3DPixelsTest, TheTexturedSceneIsColouredAsTheSoftwareRenderersIs) {
    const platform::headless::Pixels drawn =
        Draw(AtTheirOwnDepths(*world_, BuildTexturedScene(*world_, *device_, 32)));
    const platform::headless::Pixels golden = Golden("textured_32");
    ASSERT_EQ(drawn.data.size(), golden.data.size());
    const Differences d = Compare(golden, drawn, 7);
    EXPECT_LE(d.inside, kWidth * kHeight / 100) << d.count << " differ, " << d.inside << " inside";
}

// The glass pane's material is half transparent over an opaque texture: the wall and the
// floor show through it as they do in the software renderer's frame, and none of its
// texels is drawn as it stands (an opaque pane shows them all).
TEST_F(Direct3DPixelsTest, TheGlassPaneIsSeeThrough) {
    const platform::headless::Pixels drawn =
        Draw(AtTheirOwnDepths(*world_, BuildTexturedScene(*world_, *device_, 32)));
    const platform::headless::Pixels golden = Golden("textured_32");
    ASSERT_EQ(drawn.data.size(), golden.data.size());
    platform::headless::Pixels pane;
    pane.width = 70;
    pane.height = 44;
    platform::headless::Pixels goldenPane = pane;
    for (int y = 48; y < 92; ++y)
        for (int x = 20; x < 90; ++x) {
            pane.data.push_back(drawn.At(x, y));
            goldenPane.data.push_back(golden.At(x, y));
        }
    int pure = 0;
    for (const uint32_t pixel : pane.data)
        pure += render_test::ChannelDistance(pixel, 0xFF4040) <= 8 ||
                render_test::ChannelDistance(pixel, 0x4040FF) <= 8;
    EXPECT_EQ(pure, 0);
    const Differences d = Compare(goldenPane, pane, 7);
    // GL filters the pane's big texels where the software renderer does not: near their
    // borders the two may differ by more than the reach allows.
    EXPECT_LE(d.inside, int(pane.data.size()) / 12) << d.count << " differ, " << d.inside;
}

TEST_F(Direct3DPixelsTest, TheReferenceSceneAsGoldenForThisMesa) {
    ReferenceScene scene = BuildReferenceScene(*world_, *device_);
    render_test::ExpectLikeMesaGolden(Draw(scene.camera), "direct3d", MesaMajor(), "reference");
}

TEST_F(Direct3DPixelsTest, TheTexturedSceneAsGoldenForThisMesa) {
    render_test::ExpectLikeMesaGolden(
        Draw(AtTheirOwnDepths(*world_, BuildTexturedScene(*world_, *device_, 32))), "direct3d",
        MesaMajor(), "textured");
}

// The eye's frame is drawn on the window's device at the top left of its back buffer,
// copied into the texture, and the window's frame then starts again around the screen.
TEST_F(Direct3DPixelsTest, ACameraTextureShowsWhatItsCameraSees) {
    const reference_scene::CameraTextureScene scene =
        reference_scene::AddCameraTextureScene(*device_, *world_);
    ASSERT_EQ(scene.made, 0);
    platform::test::GetDirect3DSetup().recording = true;
    const platform::headless::Pixels drawn = Draw(scene.view);
    // The window's scene is closed around the eye's frame and opened again after it.
    std::vector<std::string> scenes;
    for (const std::string& line : platform::test::GetDirect3DSetup().log)
        if (line.rfind("Clear2", 0) == 0 || line.find("Scene") != std::string::npos)
            scenes.push_back(line);
    EXPECT_EQ(scenes,
              (std::vector<std::string>{
                  "Clear2 0 0 160 120 flags 3 colour 102040 z 1", "BeginScene", "EndScene",
                  "Clear2 0 0 64 64 flags 3 colour 000000 z 1", "BeginScene", "EndScene",
                  "BeginScene", "Clear2 0 0 160 120 flags 3 colour 102040 z 1", "EndScene"}));
    EXPECT_EQ(drawn.At(kWidth / 2, kHeight / 2) & 0xFFFFFF, 0xFF0000u);
    // Where the eye's frame was drawn, the window's own frame shows its background.
    EXPECT_EQ(drawn.At(2, 2) & 0xFFFFFF, 0x102040u);
    // A frame drawn outside the window's borrows its device as well.
    LTexture* texture = scene.screen->GetTexture(0);
    std::memset(texture->pixels, 0, size_t(texture->pitch) * texture->height);
    texture->cameraRenderer->RenderFrame();
    uint32_t middle = 0;
    std::memcpy(&middle,
                texture->pixels + 32 * texture->pitch + 32 * ((texture->bitsPerPixel + 7) / 8),
                (texture->bitsPerPixel + 7) / 8);
    EXPECT_NE(middle, 0u);
}

// Full screen, the frame reaches the screen's surface through the chain's Flip (the
// GL frame read into the back buffer first); back in a window it is presented there.
TEST_F(Direct3DPixelsTest, AFullScreenFrameIsFlippedOntoTheScreenAndAWindowedOneBlitted) {
    L3DCamera* camera = world_->CreateCamera(0);
    const uint32_t full = LRenderAPICLBK::kFullScreen | LRenderAPICLBK::kDepthBuffer |
                          LRenderAPICLBK::kClearEachFrame | LRenderAPICLBK::kSkipModeChecks;
    ASSERT_EQ(renderer_->SetDisplayMode(full, 640, 480, 32), 0);
    const auto screenAt = [this](int x, int y) {
        IDirectDrawSurface4* screen = device_->SharedObject();
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        uint32_t pixel = 0;
        if (screen == nullptr || screen->Lock(nullptr, &desc, DDLOCK_WAIT, 0) != DD_OK)
            return pixel;
        if (const uint8_t* memory = SurfaceMemory(desc))
            std::memcpy(&pixel, memory + y * desc.lPitch + x * 4, 4);
        screen->Unlock(nullptr);
        return pixel & 0xFFFFFF;
    };
    EXPECT_EQ(renderer_->AttachView(camera), 0);
    renderer_->RenderFrame();
    EXPECT_EQ(screenAt(320, 240), 0x102040u);
    EXPECT_EQ(screenAt(639, 479), 0x102040u);
    renderer_->background = 0x000080;
    renderer_->RenderFrame();
    EXPECT_EQ(screenAt(0, 0), 0x800000u);
    // The window, which stands for the screen, stays shown and shows the frame.
    platform::headless::Pixels shownFull;
    ASSERT_TRUE(platform::headless::ReadPixels(window_, shownFull));
    EXPECT_EQ(shownFull.At(2, 2) & 0xFFFFFF, 0x800000u);

    ASSERT_EQ(renderer_->SetDisplayMode(LRenderAPICLBK::kWindowed | LRenderAPICLBK::kDepthBuffer |
                                            LRenderAPICLBK::kClearEachFrame |
                                            LRenderAPICLBK::kSkipModeChecks,
                                        kWidth, kHeight, 32),
              0);
    renderer_->background = 0x008000;
    const platform::headless::Pixels shown = Draw(camera);
    EXPECT_EQ(shown.At(kWidth / 2, kHeight / 2) & 0xFFFFFF, 0x008000u);
    EXPECT_EQ(shown.At(kWidth - 1, kHeight - 1) & 0xFFFFFF, 0x008000u);
}

// The quads of optimized static geometry are drawn beside its batched triangles.
TEST_F(Direct3DPixelsTest, TheQuadsOfOptimizedStaticGeometryAreDrawnBesideItsTriangles) {
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

// The text goes into the back buffer's memory after the scene, between the GL frame and the
// present: it must reach the window, and the next frame must not keep it.
TEST_F(Direct3DPixelsTest, TheStatisticsTextIsDrawnOverTheFrame) {
    L3DCamera* camera = world_->CreateCamera(0);
    const auto whiteOnTop = [](const platform::headless::Pixels& p) {
        int white = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < kWidth; ++x)
                white += (p.At(x, y) & 0xFFFFFF) == 0xFFFFFF ? 1 : 0;
        return white;
    };
    renderer_->flags |= LRenderAPICLBK::kStatistics;
    EXPECT_GT(whiteOnTop(Draw(camera)), 20);
    renderer_->flags &= ~LRenderAPICLBK::kStatistics;
    EXPECT_EQ(whiteOnTop(Draw(camera)), 0);
}

} // namespace
