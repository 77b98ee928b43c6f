#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>

#include "engine3d/render/dib_device.h"
#include "engine3d/render/directx_device.h"
#include "engine3d/render/render_fixture.h"
#include "engine3d/render/software/dib_presenter.h"
#include "engine3d/render/software/directx_presenter.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/sprites/sprite.h"
#include "graphics2d/drawing/surface_handle.h"
#include "platform/directx/ddraw.h"

namespace {

constexpr uint32_t kWindowFlags = LRenderAPICLBK::kWindowed | 0x90;

// A world on a back end's device, with a camera.
template <typename Device> class PresenterTest : public RenderDisplayTest {
protected:
    void Open() {
        world.reset();
        device.reset();
        device = std::make_unique<Device>();
        world = std::make_unique<L3DWorld>(device.get(), 0, nullptr, nullptr);
        camera = world->CreateCamera(0);
    }
    void TearDown() override {
        world.reset();
        device.reset();
        RenderDisplayTest::TearDown();
    }

    std::unique_ptr<Device> device;
    std::unique_ptr<L3DWorld> world;
    L3DCamera* camera = nullptr;
};

class DIBPresenterTest : public PresenterTest<LAPI_Surface_Win32> {
protected:
    void SetUp() override {
        RenderDisplayTest::SetUp();
        Open();
        renderer = static_cast<LRenderAPI_Surface_Win32*>(device->CreateRenderer(world.get()));
    }
    LRenderAPI_Surface_Win32* renderer = nullptr;
};

class DirectXPresenterTest : public PresenterTest<LAPI_DirectX> {
protected:
    LRenderAPI_DirectX* Renderer() {
        if (device == nullptr) Open();
        return static_cast<LRenderAPI_DirectX*>(device->CreateRenderer(world.get()));
    }
    static uint32_t FirstPixel(LRenderAPI_DirectX& r) {
        uint8_t* pixels = r.LockTarget();
        EXPECT_NE(pixels, nullptr);
        uint32_t value = 0;
        if (pixels != nullptr) std::memcpy(&value, pixels, (r.depth + 7) / 8);
        r.UnlockTarget(pixels);
        return value;
    }
};

TEST_F(DIBPresenterTest, AttachedSurfacesStayTheCallers) {
    SurfaceHandle* prototype = nullptr;
    PickSurfaceType(&prototype, 32, kPickDIB, 0);
    SurfaceHandle first, second;
    first.Create(10, 10, prototype);
    second.Create(20, 10, prototype);
    renderer->AttachSurface(&first);
    EXPECT_EQ(renderer->pitch, 40u);
    renderer->AttachSurface(&second);
    EXPECT_EQ(renderer->pitch, 80u);
    renderer->AttachSurface(nullptr);
    EXPECT_EQ(renderer->GetSurface(), nullptr);
    EXPECT_EQ(first.IsValid(), 1);
    EXPECT_EQ(second.IsValid(), 1);
    renderer->AttachSurface(&first);
    // The renderer goes with the device; the caller's surfaces outlive it.
}

TEST_F(DIBPresenterTest, AFramePresentsTheSurfaceInTheWindow) {
    const HWND window = Window(30, 20, 24, 16);
    EXPECT_EQ(renderer->SetDisplayMode(24, 16, kWindowFlags, 16, 0x0000FF, window), 0);
    ASSERT_NE(renderer->GetSurface(), nullptr);
    EXPECT_EQ(renderer->depth, 32);
    renderer->RenderFrame();
    EXPECT_EQ(renderer->repaintDone, 1u);
    int width = 0;
    const std::vector<uint32_t> client = Client(window, width);
    ASSERT_EQ(width, 24);
    EXPECT_EQ(client.front(), 0xFF0000u);
    EXPECT_EQ(client.back(), 0xFF0000u);
    // Statistics are counted only while shown.
    EXPECT_EQ(renderer->frameCount, 0u);
    renderer->flags |= LRenderAPICLBK::kStatistics;
    renderer->RenderFrame();
    EXPECT_EQ(renderer->frameCount, 1u);
}

TEST_F(DIBPresenterTest, EightBitFramesShowThroughTheSurfacesPalette) {
    UseDisplay(8);
    Open();
    renderer = static_cast<LRenderAPI_Surface_Win32*>(device->CreateRenderer(world.get()));
    const HWND window = Window(10, 10, 16, 8);
    ASSERT_EQ(renderer->SetDisplayMode(16, 8, kWindowFlags, 8, 0x0000FF, window), 0);
    ASSERT_EQ(renderer->depth, 8);
    ASSERT_EQ(renderer->GetSurface()->GetDepth(), 8);
    renderer->RenderFrame();
    EXPECT_EQ(renderer->repaintDone, 1u);
    int width = 0;
    const std::vector<uint32_t> client = Client(window, width);
    ASSERT_EQ(width, 16);
    EXPECT_EQ(client.front(), 0xFF0000u);
}

TEST_F(DIBPresenterTest, FullScreenTakesTheNearestModeAndWindowedLeavesIt) {
    const HWND window = Window(0, 0, 64, 48);
    ASSERT_EQ(renderer->SetDisplayMode(64, 48, kWindowFlags, 32, 0, window), 0);
    EXPECT_EQ(renderer->SetDisplayMode(LRenderAPICLBK::kFullScreen | 0x90, 640, 480, 32), 0);
    ASSERT_NE(renderer->currentMode, nullptr);
    EXPECT_EQ(renderer->currentMode->depth, 32);
    EXPECT_EQ(renderer->width, 640u);
    ASSERT_NE(renderer->GetSurface(), nullptr);
    EXPECT_EQ(renderer->GetSurface()->GetWidth(), 640);
    EXPECT_EQ(renderer->SetDisplayMode(kWindowFlags, 64, 48, LRenderAPICLBK::kKeep), 0);
    EXPECT_EQ(renderer->flags, kWindowFlags);
    EXPECT_EQ(renderer->GetSurface()->GetWidth(), 64);
}

TEST_F(DIBPresenterTest, FullScreenWithoutAModeIsRefusedAndTheViewKept) {
    const HWND window = Window(0, 0, 24, 16);
    ASSERT_EQ(renderer->SetDisplayMode(24, 16, kWindowFlags, 32, 0, window), 0);
    SurfaceHandle* surface = renderer->GetSurface();
    LDisplayMode* modes = std::exchange(renderer->currentDriver->currentDevice->modes, nullptr);
    EXPECT_EQ(renderer->SetDisplayMode(LRenderAPICLBK::kFullScreen, 640, 480, 32), 33);
    EXPECT_EQ(renderer->GetSurface(), surface);
    EXPECT_EQ(renderer->flags, kWindowFlags);
    device->GetDrivers()->devices->modes = modes;
}

TEST_F(DIBPresenterTest, BadRequestsLeaveTheViewDrawing) {
    const HWND window = Window(0, 0, 24, 16);
    ASSERT_EQ(renderer->SetDisplayMode(24, 16, kWindowFlags, 32, 0, window), 0);
    SurfaceHandle* surface = renderer->GetSurface();
    EXPECT_EQ(renderer->SetDisplayMode(kWindowFlags, 0, 16, 32), 2);
    EXPECT_EQ(renderer->SetDisplayMode(kWindowFlags, 24, 40000, 32), 2);
    EXPECT_EQ(renderer->SetDisplayMode(LRenderAPICLBK::kFullScreen | kWindowFlags, 24, 16, 32), 2);
    EXPECT_EQ(renderer->SetDisplayMode(kWindowFlags, 24, 16, 12), 34);
    EXPECT_EQ(renderer->GetSurface(), surface);
    EXPECT_EQ(renderer->width, 24u);
    EXPECT_EQ(renderer->SetDisplayMode(uint32_t(LRenderAPICLBK::kKeep), 30, LRenderAPICLBK::kKeep,
                                       LRenderAPICLBK::kKeep),
              0);
    EXPECT_EQ(renderer->GetSurface()->GetWidth(), 30);
}

TEST_F(DIBPresenterTest, ACameraTextureIsDrawnInItsOwnPixels) {
    LTexture texture(world.get(), "View", nullptr);
    ASSERT_EQ(texture.AllocatePixels(camera, 10, 6, 24), 0);
    auto* r = static_cast<LRenderAPI_Surface_Win32*>(texture.cameraRenderer);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->depth, 24);
    EXPECT_EQ(r->pitch, 32u);
    EXPECT_EQ(r->GetSurface(), nullptr);
    EXPECT_EQ(r->SetDisplayMode(LRenderAPICLBK::kWindowed, 10, 6, 24), 32);
    std::memset(texture.pixels, 0xAB, size_t(texture.pitch) * texture.height);
    EXPECT_EQ(r->LockTarget(), texture.pixels);
    r->RenderFrame();
    EXPECT_EQ(texture.pixels[0], 0);
    EXPECT_EQ(texture.pixels[size_t(texture.pitch) * 6 - 1], 0);
    // A view larger than the pixels gets no target.
    r->height = 7;
    EXPECT_EQ(r->LockTarget(), nullptr);
}

TEST_F(DirectXPresenterTest, BackgroundFillsInTheTargetsFormat) {
    UseDisplay(16);
    const HWND window = Window(0, 0, 8, 8);
    LRenderAPI_DirectX* r = Renderer();
    ASSERT_EQ(r->SetDisplayMode(8, 8, kWindowFlags, 16, 0x0000FF, window), 0);
    EXPECT_EQ(r->depth, 16);
    r->BeginFrame();
    EXPECT_EQ(FirstPixel(*r), 0xF800u);
    world.reset();
    device.reset();

    UseDisplay(32);
    r = Renderer();
    ASSERT_EQ(r->SetDisplayMode(8, 8, kWindowFlags, 32, 0x0000FF, Window(0, 0, 8, 8)), 0);
    r->BeginFrame();
    EXPECT_EQ(FirstPixel(*r) & 0xFFFFFF, 0xFF0000u);
    // Without flag 128 the back surface keeps its pixels.
    r->background = 0xFF0000;
    r->flags &= ~LRenderAPICLBK::kClearEachFrame;
    r->BeginFrame();
    EXPECT_EQ(FirstPixel(*r) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(DirectXPresenterTest, AFiveFiveFiveDisplayRunsAtFifteenBits) {
    UseDisplay(16, true);
    LRenderAPI_DirectX* r = Renderer();
    ASSERT_EQ(r->SetDisplayMode(8, 8, kWindowFlags, 16, 0x0000FF, Window(0, 0, 8, 8)), 0);
    EXPECT_EQ(r->depth, 15);
    r->BeginFrame();
    EXPECT_EQ(FirstPixel(*r), 0x7C00u);
}

TEST_F(DirectXPresenterTest, FailuresAreRefusedWithNineteenAndLeaveNoSurface) {
    const HWND window = Window(0, 0, 8, 8);
    LRenderAPI_DirectX* r = Renderer();
    platform::test::InjectFault(platform::test::Fault::DirectDrawCooperativeLevel);
    EXPECT_EQ(r->SetDisplayMode(8, 8, kWindowFlags, 32, 0, window), 19);
    platform::test::InjectFault(platform::test::Fault::DirectDrawCreateSurface, 1, 1);
    EXPECT_EQ(r->SetDisplayMode(8, 8, kWindowFlags, 32, 0, window), 19);
    EXPECT_EQ(r->GetBackSurface(), nullptr);
    // Neither full screen nor windowed: no surface to draw into.
    EXPECT_EQ(r->SetDisplayMode(8, 8, 0x90, 32, 0, window), 19);
    EXPECT_EQ(r->SetDisplayMode(8, 8, kWindowFlags, 32, 0, 0), 18);
    r->AttachView(camera);
    r->RenderFrame();
    EXPECT_EQ(r->repaintDone, 0u);
    ASSERT_EQ(r->SetDisplayMode(8, 8, kWindowFlags, 32, 0, window), 0);
    IDirectDrawSurface* back = r->GetBackSurface();
    EXPECT_EQ(r->SetDisplayMode(0x90, 8, 8, 32), 19);
    EXPECT_EQ(r->SetDisplayMode(kWindowFlags, 8, 8, 7), 34);
    EXPECT_EQ(r->GetBackSurface(), back);
    r->RenderFrame();
    EXPECT_EQ(r->repaintDone, 1u);
}

TEST_F(DirectXPresenterTest, MemoryTargetRowsArePaddedToFourBytes) {
    Open();
    LTexture texture(world.get(), "View", nullptr);
    ASSERT_EQ(texture.AllocatePixels(camera, 101, 3, 24), 0);
    auto* r = static_cast<LRenderAPI_DirectX*>(texture.cameraRenderer);
    EXPECT_EQ(r->pitch, 304u);
    EXPECT_EQ(r->LockTarget(), texture.pixels);
    EXPECT_EQ(r->NextDisplayMode(), 32);
}

TEST_F(DirectXPresenterTest, ACameraTextureShowsItsCamerasView) {
    Open();
    L3DCamera* other = world->CreateCamera(0);
    LTexture texture(world.get(), "View", nullptr);
    ASSERT_EQ(texture.AllocatePixels(other, 8, 8, 32), 0);
    LSprite* sprite = world->sprites.CreateSprite(world.get(), nullptr);
    sprite->drawMode = LSprite::kSolid;
    sprite->color = 0xFF0000;
    const float xs[4] = {0, 4, 4, 0}, ys[4] = {0, 0, 8, 8};
    for (int i = 0; i < 4; ++i)
        sprite->corners[i] = {xs[i], ys[i], 0, 0};
    texture.cameraRenderer->RenderFrame();
    uint32_t left = 0, right = 0;
    std::memcpy(&left, texture.pixels, 4);
    std::memcpy(&right, texture.pixels + 6 * 4, 4);
    EXPECT_EQ(left & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(right, 0u);
}

TEST_F(DirectXPresenterTest, WindowedFramesLandAtTheClientOrigin) {
    const HWND window = Window(50, 40, 12, 10);
    LRenderAPI_DirectX* r = Renderer();
    ASSERT_EQ(r->SetDisplayMode(12, 10, kWindowFlags, 32, 0x00FF00, window), 0);
    r->AttachView(camera);
    r->RenderFrame();
    EXPECT_EQ(r->repaintDone, 1u);
    int width = 0;
    const std::vector<uint32_t> client = Client(window, width);
    ASSERT_EQ(width, 12);
    EXPECT_EQ(client.front(), 0x00FF00u);
    EXPECT_EQ(client.back(), 0x00FF00u);
}

TEST_F(DirectXPresenterTest, FullScreenFramesAreFlipped) {
    const HWND window = Window(0, 0, 640, 480);
    LRenderAPI_DirectX* r = Renderer();
    ASSERT_EQ(r->SetDisplayMode(640, 480, LRenderAPICLBK::kFullScreen | 0x90, 32, 0xFF0000, window),
              0);
    ASSERT_NE(r->GetBackSurface(), nullptr);
    r->RenderFrame();
    EXPECT_EQ(r->repaintDone, 1u);
    int width = 0;
    const std::vector<uint32_t> client = Client(window, width);
    ASSERT_FALSE(client.empty());
    EXPECT_EQ(client[client.size() / 2], 0x0000FFu);
    device->ReleaseRenderer(r);
}

} // namespace
