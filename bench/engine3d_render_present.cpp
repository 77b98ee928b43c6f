// The software renderer's work around the polygons of a frame, at 640 x 480 on a headless
// display: a frame that only clears the target and the depth buffer, and the same frame
// presented into a window (the DIB back end's copy, then DirectDraw's).
#include <benchmark/benchmark.h>

#include <memory>

#include "engine3d/render/dib_device.h"
#include "engine3d/render/directx_device.h"
#include "engine3d/render/software/dib_presenter.h"
#include "engine3d/render/software/directx_presenter.h"
#include "engine3d/scene/objects/world.h"
#include "graphics2d/surfaces/surface_kinds.h"
#include "platform/display/headless_display.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/system/system_info.h"
#include "platform/user/windows.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

HWND OpenWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "RenderBench";
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(0, "RenderBench", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth,
                                        kHeight, 0, 0, 0, nullptr);
    platform::headless::DispatchPending();
    return window;
}

// One back end's renderer on a 32-bit display; `present` 0 renders without a window.
template <typename Device> void Frames(benchmark::State& state, uint32_t flags, bool present) {
    platform::SetVirtualDisplay(kWidth + 64, kHeight + 64, 32);
    platform::headless::Install();
    RegisterSurfaceThread();
    {
        const HWND window = present ? OpenWindow() : 0;
        auto device = std::make_unique<Device>();
        L3DWorld world(device.get(), 0, nullptr, nullptr);
        LRenderAPICLBK* renderer = device->CreateRenderer(&world);
        renderer->SetDisplayMode(kWidth, kHeight, flags, 32, 0x203040, window);
        for (auto _ : state)
            renderer->RenderFrame();
        state.counters["Mpixel/s"] = benchmark::Counter(
            double(kWidth) * kHeight * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
        if (window != 0) DestroyWindow(window);
    }
    UnregisterSurfaceThread();
}

void BM_DIBClearTargetAndDepth(benchmark::State& state) {
    Frames<LAPI_Surface_Win32>(state, LRenderAPICLBK::kWindowed | 0x90, false);
}
BENCHMARK(BM_DIBClearTargetAndDepth);

void BM_DIBPresent(benchmark::State& state) {
    Frames<LAPI_Surface_Win32>(state, LRenderAPICLBK::kWindowed | 0x90, true);
}
BENCHMARK(BM_DIBPresent);

void BM_DirectDrawPresent(benchmark::State& state) {
    Frames<LAPI_DirectX>(state, LRenderAPICLBK::kWindowed | 0x90, true);
}
BENCHMARK(BM_DirectDrawPresent);

} // namespace
