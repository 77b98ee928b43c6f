#include "engine3d/render/software/software_renderer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine3d/render/dib_device.h"
#include "engine3d/render/render_fixture.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/frame_state.h"

namespace {

// A presenter that records the frame's calls and lends a buffer of its own as target.
class RecordingPresenter : public LRenderAPI_Software {
public:
    RecordingPresenter(L3DWorld* world, LAPICLBK* device) : LRenderAPI_Software(world, device) {}
    int Initialize() override {
        calls.push_back("Initialize");
        ApplyPitch(int32_t(width) * 4);
        return initializeResult;
    }
    void BeginFrame() override {
        calls.push_back("BeginFrame");
        EXPECT_EQ(GetCurrentRenderer(), this);
        EXPECT_EQ(CurrentSoftwareRaster(), &Raster());
    }
    uint8_t* LockTarget() override {
        calls.push_back("LockTarget");
        return lockFails ? nullptr : pixels.data();
    }
    void UnlockTarget(uint8_t*) override { calls.push_back("UnlockTarget"); }
    void EndFrame() override { calls.push_back("EndFrame"); }
    void DrawGrid() override {
        calls.push_back("DrawWorld");
        EXPECT_EQ(Raster().Pixels, pixels.data());
        EXPECT_EQ(Raster().Pitch, int32_t(pitch));
    }

    std::vector<std::string> calls;
    std::vector<uint8_t> pixels = std::vector<uint8_t>(4096);
    bool lockFails = false;
    int initializeResult = 0;
};

class SoftwareRendererTest : public RenderDisplayTest {
protected:
    void SetUp() override {
        RenderDisplayTest::SetUp();
        device = std::make_unique<LAPI_Surface_Win32>();
        world = std::make_unique<L3DWorld>(device.get(), 0, nullptr, nullptr);
        renderer = std::make_unique<RecordingPresenter>(world.get(), device.get());
        camera = world->CreateCamera(0);
    }
    void TearDown() override {
        renderer.reset();
        world.reset();
        device.reset();
        RenderDisplayTest::TearDown();
    }

    std::unique_ptr<LAPI_Surface_Win32> device;
    std::unique_ptr<L3DWorld> world;
    std::unique_ptr<RecordingPresenter> renderer;
    L3DCamera* camera = nullptr;
};

TEST_F(SoftwareRendererTest, StateBitsExcludeEachOtherAndRefuseIncapableBits) {
    RecordingPresenter& r = *renderer;
    r.stateBits = 0;
    EXPECT_EQ(r.SetStateBits(16), 16);
    EXPECT_EQ(r.SetStateBits(8), 8);
    EXPECT_EQ(r.SetStateBits(16), 16);
    EXPECT_EQ(r.SetStateBits(2), 0);
    EXPECT_EQ(r.SetStateBits(128), 0);
    EXPECT_EQ(r.stateBits, 16);
    EXPECT_EQ(r.SetStateBits(256), 16 | 256);
    r.ClearStateBits(256);
    EXPECT_EQ(r.stateBits, 16);
}

TEST_F(SoftwareRendererTest, ViewsAndModesAnswerTheirCodes) {
    RecordingPresenter& r = *renderer;
    EXPECT_EQ(r.AttachView(nullptr), 4);
    EXPECT_EQ(r.view, nullptr);
    r.flags = LRenderAPICLBK::kMemoryTarget;
    EXPECT_EQ(r.NextDisplayMode(), 32);
    EXPECT_EQ(r.PreviousDisplayMode(), 32);
    r.flags = LRenderAPICLBK::kFullScreen;
    r.currentMode = nullptr;
    EXPECT_EQ(r.NextDisplayMode(), 33);
    r.width = 40;
    r.height = 30;
    r.SetViewport(-1, -1, -1, -1, -1);
    EXPECT_EQ(r.viewLeft, 0u);
    EXPECT_EQ(r.viewBottom, 30u);
    EXPECT_EQ(r.viewTop, 0u);
    EXPECT_EQ(r.viewRight, 40u);
    EXPECT_EQ(r.viewFar, 65536);
    EXPECT_EQ(r.AttachView(camera), 0);
    EXPECT_EQ(camera->renderer, &r);
    EXPECT_EQ(camera->viewWidth, 40);
    r.DetachView();
    EXPECT_EQ(camera->renderer, nullptr);
}

TEST_F(SoftwareRendererTest, ModeSteppingWalksTheModesOfTheRenderersDepth) {
    RecordingPresenter& r = *renderer;
    LDisplayDevice* modes = r.currentDriver->currentDevice;
    std::vector<LDisplayMode*> deep;
    for (LDisplayMode* m = modes->modes; m != nullptr; m = m->next)
        if (m->depth == 32) deep.push_back(m);
    ASSERT_GE(deep.size(), 2u);
    // Full screen: from the current mode to the next and back; the base body of the mode
    // change answers 31 once the size is taken.
    r.flags = LRenderAPICLBK::kFullScreen;
    r.depth = 32;
    r.currentMode = deep[0];
    EXPECT_EQ(r.NextDisplayMode(), 31);
    EXPECT_EQ(r.currentMode, deep[1]);
    EXPECT_EQ(r.width, deep[1]->width);
    EXPECT_EQ(r.PreviousDisplayMode(), 31);
    EXPECT_EQ(r.currentMode, deep[0]);
    EXPECT_EQ(r.PreviousDisplayMode(), 33);
    r.currentMode = deep.back();
    EXPECT_EQ(r.NextDisplayMode(), 33);
    // Windowed: the mode nearest the view's size.
    r.flags = LRenderAPICLBK::kWindowed;
    r.width = deep[0]->width;
    r.height = deep[0]->height;
    EXPECT_EQ(r.NextDisplayMode(), 31);
    EXPECT_EQ(r.currentMode, deep[0]);
    // No device: no mode.
    r.currentDriver = nullptr;
    EXPECT_EQ(r.NextDisplayMode(), 33);
}

TEST_F(SoftwareRendererTest, SharedModeBodyChoosesDepthAndDevice) {
    RecordingPresenter& r = *renderer;
    // Windowed, the screen's depth is used whatever was asked.
    EXPECT_EQ(r.SetDisplayMode(32, 20, LRenderAPICLBK::kWindowed, 8, 0x123456, 0), 0);
    EXPECT_EQ(r.depth, 32);
    EXPECT_EQ(r.background, 0x123456u);
    EXPECT_EQ(r.stateBits, 4 | 8);
    EXPECT_EQ(r.calls, std::vector<std::string>{"Initialize"});
    EXPECT_EQ(r.viewRight, 32u);
    // Full screen with no mode of that size: the check's code, nothing initialised.
    r.calls.clear();
    EXPECT_EQ(r.SetDisplayMode(100000, 100000, LRenderAPICLBK::kFullScreen, 32, 0, 0), 17);
    EXPECT_TRUE(r.calls.empty());
    // The preference list finds a depth the display has.
    EXPECT_EQ(r.SetDisplayMode(64, 48, LRenderAPICLBK::kFullScreen, 8, 0, 0), 0);
    EXPECT_NE(r.depth, 8);
    r.initializeResult = 30;
    EXPECT_EQ(r.SetDisplayMode(64, 48, LRenderAPICLBK::kFullScreen, 32, 0, 0), 30);
}

TEST_F(SoftwareRendererTest, FramesRunInOrderAndSkipTheDrawWithoutTarget) {
    RecordingPresenter& r = *renderer;
    r.width = 16;
    r.height = 8;
    r.depth = 32;
    r.ApplyPitch(64);
    r.RenderFrame();
    EXPECT_EQ(r.calls, (std::vector<std::string>{"BeginFrame", "EndFrame"}));
    EXPECT_EQ(GetCurrentRenderer(), nullptr);

    r.calls.clear();
    r.AttachView(camera);
    r.RenderFrame();
    EXPECT_EQ(r.calls, (std::vector<std::string>{"BeginFrame", "LockTarget", "DrawWorld",
                                                 "UnlockTarget", "EndFrame"}));
    r.calls.clear();
    r.lockFails = true;
    r.RenderFrame();
    EXPECT_EQ(r.calls, (std::vector<std::string>{"BeginFrame", "LockTarget", "EndFrame"}));
}

TEST_F(SoftwareRendererTest, DepthBufferFollowsTheViewAndIsClearedEachFrame) {
    RecordingPresenter& r = *renderer;
    r.flags = LRenderAPICLBK::kDepthBuffer;
    r.width = 10;
    r.height = 6;
    r.depth = 16;
    r.ApplyPitch(24);
    r.RenderFrame();
    EXPECT_EQ(r.DepthWidth(), 12);
    EXPECT_EQ(r.DepthHeight(), 6);
    const int32_t* buffer = r.DepthBuffer().data();
    const_cast<int32_t&>(r.DepthBuffer()[5]) = 99;
    r.RenderFrame();
    EXPECT_EQ(r.DepthBuffer().data(), buffer);
    EXPECT_EQ(r.DepthBuffer()[5], 0);
    r.height = 9;
    r.RenderFrame();
    EXPECT_EQ(r.DepthBuffer().size(), 12u * 9u);
}

TEST_F(SoftwareRendererTest, TablesHaveARowForEveryRowOfATallTarget) {
    RecordingPresenter& r = *renderer;
    r.width = 16;
    r.height = 400;
    r.depth = 8;
    r.ApplyPitch(16);
    r.pixels.assign(16 * 400, 0);
    r.AttachView(camera);
    EXPECT_GE(r.Raster().TableRows, 0);
    r.RenderFrame();
    EXPECT_EQ(r.Raster().TableRows, 401);
    EXPECT_NE(r.Raster().EdgeTableB, nullptr);
}

TEST_F(SoftwareRendererTest, StatisticsCountFramesInTenSecondWindows) {
    RecordingPresenter& r = *renderer;
    r.width = 320;
    r.height = 240;
    r.depth = 16;
    platform::test::FreezeClock(1000);
    char text[256];
    r.UpdateFrameStatistics(text, sizeof text, 0);
    EXPECT_STREQ(text, "320*240*16 0");
    for (int i = 0; i < 9; ++i) {
        platform::test::AdvanceClock(1000);
        r.UpdateFrameStatistics(text, sizeof text, 0);
    }
    EXPECT_EQ(r.framesInWindow, 0u);
    // The frame that carries the time past ten seconds closes the window it is counted in.
    platform::test::AdvanceClock(1001);
    r.UpdateFrameStatistics(text, sizeof text, 0);
    EXPECT_EQ(r.framesInWindow, 11u);
    r.UpdateFrameStatistics(text, sizeof text, 1);
    EXPECT_STREQ(text, "320*240*16 11 0 0");
    // A buffer under 64 bytes is not written; the frame is still timed.
    char small[63] = "x";
    r.UpdateFrameStatistics(small, sizeof small, 1);
    EXPECT_STREQ(small, "x");
    EXPECT_EQ(r.frameCount, 2u);
}

} // namespace
