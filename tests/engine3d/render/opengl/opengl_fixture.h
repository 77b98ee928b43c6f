// An OpenGL device, a world and a renderer set up on a window of the headless display,
// with every OpenGL call recorded instead of made.
#pragma once

#include <memory>

#include "engine3d/render/opengl/gl_recorder.h"
#include "engine3d/render/opengl/opengl_device.h"
#include "engine3d/render/opengl/opengl_renderer.h"
#include "engine3d/render/render_fixture.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/objects/world.h"

class OpenGLRenderTest : public RenderDisplayTest {
protected:
    static constexpr uint32_t kFlags = LRenderAPICLBK::kWindowed | LRenderAPICLBK::kDepthBuffer |
                                       LRenderAPICLBK::kClearEachFrame |
                                       LRenderAPICLBK::kSkipModeChecks;

    void SetUp() override {
        RenderDisplayTest::SetUp();
        device = std::make_unique<LAPI_OpenGL>();
        rec = &gltest::Install();
        world = std::make_unique<L3DWorld>(device.get(), 0, nullptr, nullptr);
        camera = world->CreateCamera(0);
        window = Window(0, 0, 64, 48);
        renderer = MakeRenderer();
    }
    void TearDown() override {
        while (!device->GetRenderers().empty())
            device->ReleaseRenderer(device->GetRenderers().back());
        world.reset();
        gltest::Uninstall();
        device.reset();
        RenderDisplayTest::TearDown();
    }

    LRenderAPI_OpenGL* MakeRenderer() {
        auto* r = static_cast<LRenderAPI_OpenGL*>(device->CreateRenderer(world.get()));
        r->targetWindow = window;
        return r;
    }
    // Set up at 64 x 48 and 32 bits; the recorded calls start afresh.
    int SetUpRenderer(LRenderAPI_OpenGL* r, int32_t depth = 32) {
        const int result = r->SetDisplayMode(kFlags, 64, 48, depth);
        rec->calls.clear();
        return result;
    }

    std::unique_ptr<LAPI_OpenGL> device;
    std::unique_ptr<L3DWorld> world;
    L3DCamera* camera = nullptr;
    HWND window = 0;
    LRenderAPI_OpenGL* renderer = nullptr;
    gltest::Recorder* rec = nullptr;
};
