// The Direct3D renderer's set-up, display modes and depth formats, through the recorder.
#include <gtest/gtest.h>

#include <cstring>

#include "engine3d/render/direct3d/direct3d_fixture.h"
#include "engine3d/render/registry.h"
#include "platform/gl/gl_probe.h"
#include "platform/process/shared_library.h"

namespace {

using Direct3DSetUpTest = Direct3DRenderTest;
using R = LRenderAPI_Direct3D;
namespace t = platform::test;

TEST_F(Direct3DSetUpTest, EachFailingStepHasItsCodeAndTheViewDrawsNothingUntilTheNextMode) {
    ASSERT_NE(device->GetDirectDraw(), nullptr);
    ASSERT_NE(device->GetDirect3D(), nullptr);
    const struct {
        unsigned fault;
        int code;
    } steps[] = {
        {t::kFailCooperativeLevel, R::kSurfacesFailed},
        {t::kFailPrimarySurface, R::kSurfacesFailed},
        {t::kFailFindDevice, R::kNoDeviceDescription},
        {t::kFailDepthFormats, R::kNoDeviceDescription},
        {t::kFailDepthBuffer, R::kNoDepthBuffer},
        {t::kFailHardwareDevice | t::kFailRGBDevice, R::kNoDevice},
        {t::kFailMaterial, R::kNoDevice},
        {t::kFailViewport, R::kNoViewport},
    };
    renderer->AttachView(camera);
    for (const auto& step : steps) {
        Layer().faults = step.fault;
        EXPECT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), step.code) << step.fault;
        Log().clear();
        renderer->RenderFrame();
        renderer->EndFrame();
        EXPECT_EQ(Find("BeginScene"), -1) << step.fault;
    }
    Layer().faults = 0;
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    Log().clear();
    renderer->RenderFrame();
    EXPECT_NE(Find("BeginScene"), -1);
    EXPECT_NE(Find("EndScene"), -1);

    // No window at all, and a device without a GUID.
    renderer->targetWindow = 0;
    EXPECT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), R::kNoWindow);
    renderer->targetWindow = window;
    auto* data =
        reinterpret_cast<Direct3DDeviceData*>(device->GetCurrentDriver()->currentDevice->data);
    data->guidPointer = nullptr;
    EXPECT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), R::kNoDeviceGuid);
    data->guidPointer = &data->guid;
}

TEST_F(Direct3DSetUpTest, TheTreeHoldsTheHardwareDeviceFirstAndTheRegistryMakesIt) {
    LDisplayDriver* driver = device->GetDrivers();
    ASSERT_NE(driver, nullptr);
    EXPECT_STREQ(driver->name, "Primary Display Driver");
    ASSERT_NE(driver->currentDevice, nullptr);
    EXPECT_STREQ(driver->currentDevice->name, "Direct3D HAL");
    EXPECT_EQ(driver->currentDevice->firstParameter, 1u);
    // Only modes the device renders at: none of 8 bits.
    for (LDisplayMode* mode = driver->currentDevice->modes; mode != nullptr; mode = mode->next)
        EXPECT_NE(mode->depth, 8);

    // Chosen by default where it can draw through OpenGL, and made on request.
    EXPECT_EQ(GetBackEndRegistry().IsAvailable(0), platform::OpenGLAvailable() ? 1 : 0);
    LAPICLBK* made = GetBackEndRegistry().CreateAPI(0);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetFourCC(), MakeFourCC("DX3D"));
    GetBackEndRegistry().ReleaseAPI(made);
}

// An older DirectDraw, registered in the module table in place of ours, lacks the entry
// point that names monitors: the driver comes through the older one; with neither entry
// point there is no driver at all.
FARPROC OlderDirectDraw(LPCSTR name) {
    if (std::strcmp(name, "DirectDrawEnumerateA") == 0)
        return reinterpret_cast<FARPROC>(&DirectDrawEnumerateA);
    return nullptr;
}
FARPROC NoEnumeration(LPCSTR) {
    return nullptr;
}

TEST_F(Direct3DSetUpTest, AnOlderDirectDrawListsItsDriverThroughTheEntryPointWithoutMonitors) {
    struct Restore {
        ~Restore() { RegisterBuiltInModule("DDRAW.DLL", nullptr); }
    } restore;
    RegisterBuiltInModule("DDRAW.DLL", &OlderDirectDraw);
    DropDevice();
    MakeDevice();
    LDisplayDriver* driver = device->GetDrivers();
    ASSERT_NE(driver, nullptr);
    EXPECT_STREQ(driver->name, "Primary Display Driver");
    ASSERT_NE(driver->currentDevice, nullptr);
    EXPECT_STREQ(driver->currentDevice->name, "Direct3D HAL");
    EXPECT_EQ(driver->next, nullptr);

    RegisterBuiltInModule("DDRAW.DLL", &NoEnumeration);
    DropDevice();
    MakeDevice();
    EXPECT_EQ(device->GetDrivers(), nullptr);
    RegisterBuiltInModule("DDRAW.DLL", nullptr);
    DropDevice();
    MakeDevice();
    EXPECT_NE(device->GetDrivers(), nullptr);
}

TEST_F(Direct3DSetUpTest, TheRGBDeviceStandsInForARefusedHardwareOne) {
    Layer().faults = t::kFailHardwareDevice;
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    ASSERT_NE(renderer->d3dDevice, nullptr);
    EXPECT_EQ(renderer->surfaceMemory, uint32_t(DDSCAPS_VIDEOMEMORY));
    EXPECT_NE(Find("SetViewport2 0 0 64 48"), -1);
}

TEST_F(Direct3DSetUpTest, DepthFormatsPreferSixteenBitsElseTheLastOffered) {
    Layer().depthBits = {24, 16, 32};
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    EXPECT_EQ(renderer->depthFormat.dwRGBBitCount, 16u);
    Layer().depthBits = {24, 32};
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    EXPECT_EQ(renderer->depthFormat.dwRGBBitCount, 32u);
    ASSERT_NE(renderer->depthBuffer, nullptr);
}

TEST_F(Direct3DSetUpTest, ADeviceWithoutHiddenSurfaceRemovalNeedsNoDepthBuffer) {
    Layer().zBufferlessHSR = true;
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    EXPECT_EQ(renderer->depthBuffer, nullptr);
    EXPECT_EQ(renderer->IsCapable(512), 0);
    EXPECT_EQ(renderer->IsCapable(256), 0);
    EXPECT_EQ(renderer->IsCapable(0x40), 1);
}

TEST_F(Direct3DSetUpTest, AFullScreenModeOfFifteenBitsEndsAtSixteenAndTheStyleComesBack) {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    const uint32_t full = LRenderAPICLBK::kFullScreen | LRenderAPICLBK::kDepthBuffer |
                          LRenderAPICLBK::kSkipModeChecks;
    ASSERT_EQ(renderer->SetDisplayMode(full, 640, 480, 15), 0);
    EXPECT_EQ(renderer->depth, 16);
    ASSERT_NE(renderer->currentMode, nullptr);
    EXPECT_EQ(renderer->currentMode->depth, 16);
    EXPECT_EQ(uint32_t(GetWindowLongA(window, GWL_STYLE)), 0x86000000u | WS_VISIBLE);
    Log().clear();
    renderer->AttachView(camera);
    renderer->RenderFrame();
    EXPECT_NE(Find("EndScene"), -1);

    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE), style);

    // The same through SetWindowed, which changes the flags before the mode change.
    renderer->flags |= LRenderAPICLBK::kSkipModeChecks;
    renderer->SetWindowed(0);
    EXPECT_EQ(uint32_t(GetWindowLongA(window, GWL_STYLE)), 0x86000000u | WS_VISIBLE);
    renderer->SetWindowed(1);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE), style);
}

TEST_F(Direct3DSetUpTest, RenderersShareThePrimaryAndEachModeChangeKeepsOneClipper) {
    LRenderAPI_Direct3D* second = MakeRenderer();
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    ASSERT_EQ(second->SetDisplayMode(kFlags, 32, 24, 32), 0);
    EXPECT_EQ(device->SharedUses(), 2);
    // The first one's mode changes give back only its own use.
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    EXPECT_EQ(device->SharedUses(), 2);
    const long live = platform::test::LiveDirectDrawObjects();
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    EXPECT_EQ(platform::test::LiveDirectDrawObjects(), live);
    device->ReleaseRenderer(second);
    EXPECT_EQ(device->SharedUses(), 1);
    renderer->AttachView(camera);
    renderer->RenderFrame();
}

TEST_F(Direct3DSetUpTest, AMemoryTargetMakesNothingOfItsOwn) {
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    LRenderAPI_Direct3D* target = MakeRenderer();
    target->targetWindow = 0;
    LTexture* texture = device->CreateTexture(world.get(), "target", nullptr);
    world->textures.AddTexture(texture);
    ASSERT_EQ(static_cast<LRenderAPICLBK*>(target)->SetDisplayMode(
                  16, 16, LRenderAPICLBK::kCameraTextureModeFlags, 32, texture),
              0);
    EXPECT_EQ(target->d3dDevice, nullptr);
    EXPECT_EQ(LRenderAPI_Direct3D::Current(), target);
    EXPECT_EQ(target->SetDisplayMode(kFlags, 64, 48, 32), LRenderAPICLBK::kMemoryTargetCode);
    EXPECT_EQ(target->SetWindowed(1), 0);
    EXPECT_EQ(target->flags, LRenderAPICLBK::kCameraTextureModeFlags);
    device->ReleaseRenderer(target);
    EXPECT_EQ(LRenderAPI_Direct3D::Current(), nullptr);
}

} // namespace
