// The Direct3D back end at 640 x 480 on a headless display, its layer drawing through
// Mesa's llvmpipe on one thread: frames of the renderers' textured reference scene
// (tests/engine3d/render/textured_scene.h) beside the same scene through the OpenGL back
// end and through the software renderer; the device calls a frame makes, from the
// layer's recorder; and the conversion of texture surfaces for OpenGL, in megabytes of
// source pixels a second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "side_by_side.h"

#include "engine3d/render/textured_scene.h"

#include "engine3d/render/dib_device.h"
#include "engine3d/render/direct3d/direct3d_device.h"
#include "engine3d/render/opengl/opengl_device.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/objects/world.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/directx/direct3d/direct3d_test_hooks.h"
#include "platform/directx/direct3d/texels.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gl/gl_probe.h"
#include "platform/system/system_info.h"
#include "platform/user/windows.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr uint32_t kFlags = LRenderAPICLBK::kWindowed | LRenderAPICLBK::kDepthBuffer |
                            LRenderAPICLBK::kClearEachFrame | LRenderAPICLBK::kSkipModeChecks;

HWND OpenWindow(int x) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "Direct3DBench";
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(0, "Direct3DBench", "", WS_POPUP | WS_VISIBLE, x, 0, kWidth,
                                        kHeight, 0, 0, 0, nullptr);
    platform::headless::DispatchPending();
    return window;
}

// One back end's world and renderer drawing the textured scene into its own window.
template <typename Device> struct View {
    explicit View(int x) : window(OpenWindow(x)), device(std::make_unique<Device>()) {
        world = std::make_unique<L3DWorld>(device.get(), 0, nullptr, nullptr);
        renderer = device->CreateRenderer(world.get());
        camera = BuildTexturedScene(*world, *device, 32);
        renderer->targetWindow = window;
        renderer->background = 0x203040;
        ok = renderer->SetDisplayMode(kFlags, kWidth, kHeight, 32) == 0 &&
             renderer->AttachView(camera) == 0;
        if (ok) renderer->RenderFrame(); // textures made, llvmpipe's shaders built
    }
    ~View() {
        device->ReleaseRenderer(renderer);
        world.reset();
        device.reset();
        DestroyWindow(window);
    }

    HWND window;
    std::unique_ptr<Device> device;
    std::unique_ptr<L3DWorld> world;
    LRenderAPICLBK* renderer = nullptr;
    L3DCamera* camera = nullptr;
    bool ok = false;
};

template <typename Other> void Direct3DBeside(benchmark::State& state, const char* otherName) {
    setenv("LP_NUM_THREADS", "1", 0);
    platform::SetVirtualDisplay(2 * kWidth, kHeight, 32);
    platform::headless::Install();
    RegisterSurfaceThread();
    if (!platform::OpenGLAvailable()) {
        state.SkipWithError("no OpenGL here");
    } else {
        View<LAPI_Direct3D> d3d(0);
        View<Other> other(kWidth);
        if (!d3d.ok || !other.ok)
            state.SkipWithError("a view could not be set up");
        else
            bench::SideBySide(
                state, int64_t(kWidth) * kHeight, otherName, [&] { d3d.renderer->RenderFrame(); },
                [&] { other.renderer->RenderFrame(); });
    }
    UnregisterSurfaceThread();
}

void BM_Direct3DTexturedFrameBesideOpenGL(benchmark::State& state) {
    Direct3DBeside<LAPI_OpenGL>(state, "opengl");
}
BENCHMARK(BM_Direct3DTexturedFrameBesideOpenGL)->UseRealTime();

void BM_Direct3DTexturedFrameBesideSoftware(benchmark::State& state) {
    Direct3DBeside<LAPI_Surface_Win32>(state, "software");
}
BENCHMARK(BM_Direct3DTexturedFrameBesideSoftware)->UseRealTime();

// The device calls of a frame: states, textures, scenes, clears and draws, as the layer's
// recorder writes them.
void BM_Direct3DDeviceCallsPerFrame(benchmark::State& state) {
    setenv("LP_NUM_THREADS", "1", 0);
    platform::SetVirtualDisplay(kWidth, kHeight, 32);
    platform::headless::Install();
    RegisterSurfaceThread();
    if (!platform::OpenGLAvailable()) {
        state.SkipWithError("no OpenGL here");
    } else {
        View<LAPI_Direct3D> d3d(0);
        platform::test::Direct3DSetup& layer = platform::test::GetDirect3DSetup();
        int64_t calls = 0, states = 0, draws = 0, frames = 0;
        layer.recording = true;
        for (auto _ : state) {
            layer.log.clear();
            d3d.renderer->RenderFrame();
            for (const std::string& line : layer.log) {
                ++calls;
                if (line.rfind("Set", 0) == 0) ++states;
                if (line.rfind("Draw", 0) == 0) ++draws;
            }
            ++frames;
        }
        layer.recording = false;
        layer.log.clear();
        state.counters["calls/frame"] = double(calls) / double(frames);
        state.counters["states/frame"] = double(states) / double(frames);
        state.counters["draws/frame"] = double(draws) / double(frames);
    }
    UnregisterSurfaceThread();
}
BENCHMARK(BM_Direct3DDeviceCallsPerFrame)->UseRealTime();

// A 256 x 256 texture of each 16-bit and 32-bit format offered, keyed, into GL's words.
void BM_Direct3DTextureConversion(benchmark::State& state) {
    const DWORD bits = DWORD(state.range(0));
    constexpr uint32_t kSide = 256;
    const DDPIXELFORMAT format =
        bits == 16
            ? DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB, 0, 16, 0xF800, 0x07E0, 0x001F, 0}
            : DDPIXELFORMAT{sizeof(DDPIXELFORMAT),
                            DDPF_RGB | DDPF_ALPHAPIXELS,
                            0,
                            32,
                            0xFF0000,
                            0xFF00,
                            0xFF,
                            0xFF000000};
    const long pitch = long(kSide * bits / 8);
    std::vector<uint8_t> pixels(size_t(pitch) * kSide);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i * 37);
    std::vector<uint32_t> out(kSide * kSide);
    const DDCOLORKEY key{0, 0};
    for (auto _ : state) {
        platform::d3d::ToRGBA(pixels.data(), pitch, kSide, kSide, format, &key, out.data());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels.size()));
}
BENCHMARK(BM_Direct3DTextureConversion)->Arg(16)->Arg(32);

} // namespace
