#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "engine3d/render/opengl/opengl_fixture.h"
#include "engine3d/render/opengl/opengl_texture.h"
#include "engine3d/scene/materials/texture_list.h"
#include "platform/system/system_info.h"
#include "platform/user/display_settings.h"
#include "platform/user/menus/menus.h"

namespace {

using OpenGLSetUpTest = OpenGLRenderTest;
using R = LRenderAPI_OpenGL;

TEST_F(OpenGLSetUpTest, PixelFormatRetriesAt32BitsAndEachFailureHasItsCode) {
    rec->formatFor32Only = 1;
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 16), 0);
    // The depth bits keep the renderer's depth on the retry.
    EXPECT_NE(rec->Find("ChoosePixelFormat(16,16,37)"), -1);
    EXPECT_NE(rec->Find("ChoosePixelFormat(32,16,37)"), -1);
    EXPECT_NE(rec->Find("wglUseFontBitmapsA(0,256,1000)"), -1);
    EXPECT_NE(rec->Find("glListBase(1000)"), -1);
    EXPECT_EQ(world->glContext, 0x51u);
    EXPECT_EQ(world->glContextUses, 1);

    rec->format = 0;
    EXPECT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), R::kNoPixelFormat);
    rec->format = 7;
    rec->setFormatResult = 0;
    EXPECT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), R::kPixelFormatRefused);
    rec->setFormatResult = 1;
    rec->contextToMake = 0;
    EXPECT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), R::kNoContext);
    EXPECT_EQ(world->glContext, 0u);
    EXPECT_EQ(world->glContextUses, 0);

    // A failed set-up draws nothing and shows nothing until the next mode change.
    rec->calls.clear();
    renderer->RenderFrame();
    EXPECT_TRUE(rec->calls.empty()) << rec->From(0);
    rec->contextToMake = 0x52;
    EXPECT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    rec->calls.clear();
    renderer->RenderFrame();
    EXPECT_NE(rec->Find("SwapBuffers"), -1);
}

TEST_F(OpenGLSetUpTest, RenderersOfAWorldShareOneContextThatGoesWithTheLast) {
    LRenderAPI_OpenGL* second = MakeRenderer();
    ASSERT_EQ(SetUpRenderer(renderer), 0);
    ASSERT_EQ(SetUpRenderer(second), 0);
    EXPECT_EQ(rec->contextsMade, 1);
    EXPECT_EQ(world->glContextUses, 2);

    device->ReleaseRenderer(renderer);
    EXPECT_EQ(rec->contextsDeleted, 0);
    EXPECT_EQ(world->glContext, 0x51u);
    device->ReleaseRenderer(second);
    EXPECT_EQ(rec->contextsDeleted, 1);
    EXPECT_EQ(rec->Find("glDeleteLists(1000,256)"), 0);
    EXPECT_EQ(world->glContext, 0u);
    EXPECT_EQ(world->glContextUses, 0);
}

TEST_F(OpenGLSetUpTest, AWorldGoingDeletesTheContextOfItsRenderers) {
    ASSERT_EQ(SetUpRenderer(renderer), 0);
    world.reset();
    EXPECT_EQ(rec->contextsDeleted, 1);
    EXPECT_EQ(renderer->world, nullptr);
}

TEST_F(OpenGLSetUpTest, KeepingEveryValueMakesANewContextAndUploadsTexturesAgain) {
    ASSERT_EQ(SetUpRenderer(renderer), 0);
    auto* texture = static_cast<LTexture_OpenGL*>(device->CreateTexture(world.get(), "t", nullptr));
    world->textures.AddTexture(texture);
    auto* pixels = static_cast<uint8_t*>(std::calloc(16, 1));
    texture->SetImage(pixels, 8, nullptr, 0, 2, 2, 1, 32, nullptr);
    ASSERT_NE(texture->deviceCopy, nullptr);
    RECT before{};
    GetWindowRect(window, &before);

    constexpr int32_t k = LRenderAPICLBK::kKeep;
    EXPECT_EQ(renderer->SetDisplayMode(uint32_t(k), k, k, k), 0);
    EXPECT_EQ(rec->contextsDeleted, 1);
    EXPECT_EQ(rec->contextsMade, 2);
    EXPECT_EQ(texture->deviceCopy, nullptr);
    EXPECT_EQ(renderer->width, 64u);
    EXPECT_EQ(renderer->flags, kFlags);
    RECT after{};
    GetWindowRect(window, &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.top, before.top);
}

TEST_F(OpenGLSetUpTest, FullScreenSwitchesTheModeAndTheDestructorRestoresTheDesktop) {
    DEVMODEA desktop{};
    desktop.dmSize = sizeof desktop;
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_REGISTRY_SETTINGS, &desktop));
    DEVMODEA other{};
    other.dmSize = sizeof other;
    bool found = false;
    for (DWORD i = 0; !found && EnumDisplaySettingsA(nullptr, i, &other); ++i)
        found = other.dmBitsPerPel == 32 && other.dmPelsWidth != desktop.dmPelsWidth;
    if (!found) GTEST_SKIP() << "the display offers one size only";
    renderer->currentDriver = device->GetDrivers();
    renderer->currentDriver->currentDevice = renderer->currentDriver->devices;
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, int32_t(other.dmPelsWidth),
                                       int32_t(other.dmPelsHeight), 32),
              0);
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 1, "File");
    SetMenu(window, menu);
    const uint32_t full = LRenderAPICLBK::kFullScreen | LRenderAPICLBK::kDepthBuffer;
    constexpr int32_t k = LRenderAPICLBK::kKeep;

    // A mode the display refuses: 33, and the window stays as it was.
    LDisplayMode* mode = LAPICLBK::FindNearestDisplayMode(
        {int32_t(other.dmPelsWidth), int32_t(other.dmPelsHeight)}, renderer->currentDriver,
        renderer->currentDriver->currentDevice, nullptr, 32);
    ASSERT_NE(mode, nullptr);
    auto* settings = reinterpret_cast<DEVMODEA*>(mode->data);
    const DWORD width = settings->dmPelsWidth;
    settings->dmPelsWidth = 12345;
    EXPECT_EQ(renderer->SetDisplayMode(full, k, k, 32), LRenderAPICLBK::kNoFurtherMode);
    EXPECT_EQ(DWORD(GetWindowLongA(window, GWL_STYLE)) & WS_POPUP, WS_POPUP);
    EXPECT_EQ(renderer->flags, kFlags);
    settings->dmPelsWidth = width;

    ASSERT_EQ(renderer->SetDisplayMode(full, k, k, 32), 0);
    // The menu bar is pushed above the screen.
    RECT placed{};
    GetWindowRect(window, &placed);
    EXPECT_EQ(placed.top, -GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(placed.left, 0);
    DEVMODEA now{};
    now.dmSize = sizeof now;
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &now));
    EXPECT_EQ(now.dmPelsWidth, other.dmPelsWidth);
    EXPECT_EQ(DWORD(GetWindowLongA(window, GWL_STYLE)) & WS_POPUP, WS_POPUP);

    device->ReleaseRenderer(renderer);
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &now));
    EXPECT_EQ(now.dmPelsWidth, desktop.dmPelsWidth);
    EXPECT_EQ(now.dmPelsHeight, desktop.dmPelsHeight);
}

} // namespace
