// A Direct3D device, a world and a renderer on a window of the headless display, with the
// layer's device calls recorded.
#pragma once

#include <algorithm>
#include <memory>
#include <string>

#include "engine3d/render/direct3d/direct3d_device.h"
#include "engine3d/render/direct3d/direct3d_renderer.h"
#include "engine3d/render/render_fixture.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/objects/world.h"
#include "platform/directx/direct3d/direct3d_test_hooks.h"

class Direct3DRenderTest : public RenderDisplayTest {
protected:
    static constexpr uint32_t kFlags = LRenderAPICLBK::kWindowed | LRenderAPICLBK::kDepthBuffer |
                                       LRenderAPICLBK::kClearEachFrame |
                                       LRenderAPICLBK::kSkipModeChecks;

    void SetUp() override {
        RenderDisplayTest::SetUp();
        platform::test::ResetDirect3DSetup();
        Layer().recorderOnly = true;
        liveD3D_ = platform::test::LiveDirect3DObjects();
        window = Window(0, 0, 64, 48);
        MakeDevice();
        Layer().recording = true;
    }
    void TearDown() override {
        DropDevice();
        EXPECT_EQ(platform::test::LiveDirect3DObjects(), liveD3D_);
        platform::test::ResetDirect3DSetup();
        RenderDisplayTest::TearDown();
    }

    // A new device and world (after a change of the layer's set-up), with one renderer.
    void MakeDevice() {
        device = std::make_unique<LAPI_Direct3D>();
        world = std::make_unique<L3DWorld>(device.get(), 0, nullptr, nullptr);
        camera = world->CreateCamera(0);
        renderer = MakeRenderer();
    }
    void DropDevice() {
        while (device != nullptr && !device->GetRenderers().empty())
            device->ReleaseRenderer(device->GetRenderers().back());
        world.reset();
        device.reset();
    }

    LRenderAPI_Direct3D* MakeRenderer() {
        auto* r = static_cast<LRenderAPI_Direct3D*>(device->CreateRenderer(world.get()));
        r->targetWindow = window;
        return r;
    }

    static platform::test::Direct3DSetup& Layer() { return platform::test::GetDirect3DSetup(); }
    static std::vector<std::string>& Log() { return Layer().log; }
    // Index of the first line equal to `line` from `from` on; -1 when there is none.
    static int Find(const std::string& line, size_t from = 0) {
        for (size_t i = from; i < Log().size(); ++i)
            if (Log()[i] == line) return int(i);
        return -1;
    }
    static int Count(const std::string& line) {
        return int(std::count(Log().begin(), Log().end(), line));
    }

    std::unique_ptr<LAPI_Direct3D> device;
    std::unique_ptr<L3DWorld> world;
    L3DCamera* camera = nullptr;
    HWND window = 0;
    LRenderAPI_Direct3D* renderer = nullptr;

private:
    long liveD3D_ = 0;
};
