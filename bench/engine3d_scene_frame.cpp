// The reference scene's frame against the recording renderer: whole, and step by step in the
// order the frame takes them, each step's average time a frame as a counter (microseconds).
#include <benchmark/benchmark.h>

#include <chrono>

#include "engine3d/scene/blobs/blob_list.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/camera/camera_list.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/frame_state.h"
#include "engine3d/scene/support/recording_device.h"
#include "engine3d/scene/support/reference_scene.h"
#include "engine3d/scene/zones/sound.h"
#include "engine3d/scene/zones/zone.h"

namespace {

// A "hardware" back end from the start, so that the world draws through material batches.
struct HardwareDevice : RecordingDevice {
    HardwareDevice() { hardware = 1; }
};

struct Frame {
    HardwareDevice device;
    L3DWorld world{&device, 0, nullptr, nullptr};
    ReferenceScene scene = BuildReferenceScene(world, device);
    RecordingRenderer* screen = static_cast<RecordingRenderer*>(device.CreateRenderer(&world));

    Frame() { screen->AttachView(scene.camera); }

    // What the recording renderer kept of the last frame is dropped between frames.
    void Forget() {
        device.calls.clear();
        device.draws.clear();
        screen->batchIndices.clear();
        screen->batchVertexCounts.clear();
    }
};

void BM_ReferenceFrame(benchmark::State& state) {
    Frame frame;
    for (auto _ : state) {
        frame.screen->RenderFrame();
        state.PauseTiming();
        frame.Forget();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReferenceFrame)->Unit(benchmark::kMicrosecond);

// The steps of L3DWorld::Draw and DrawScene, taken one by one under the same frame state.
void BM_ReferenceFrameByPhase(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    Frame frame;
    L3DWorld& world = frame.world;
    L3DCamera& camera = *frame.scene.camera;
    enum {
        kCollision,
        kUpdate,
        kLightLinks,
        kTransformAndLighting,
        kVisibility,
        kDepthSort,
        kCount
    };
    Clock::duration spent[kCount] = {};
    auto timed = [&](int phase, auto&& step) {
        const auto start = Clock::now();
        step();
        spent[phase] += Clock::now() - start;
    };
    for (auto _ : state) {
        LockRender();
        SetCurrentRenderer(frame.screen);
        camera.renderer = frame.screen;
        world.currentCamera = &camera;
        timed(kCollision, [&] {
            for (LListNode* node = world.cluster->dynamicObjects.GetHead(); node != nullptr;
                 node = node->next)
                camera.CollideWithObject(camera, *static_cast<L3DObject*>(node->item));
            camera.MoveStep(camera);
        });
        camera.PrepareDepthSort();
        timed(kUpdate, [&] {
            world.cameras.NotifyAll(1);
            world.cameras.UpdateForFrame(camera);
            world.zones.UpdateForFrame(camera);
            world.sounds.UpdateForFrame(camera);
            world.cameras.NotifyAll(1);
            world.blobs.UpdateForFrame(camera);
        });
        timed(kLightLinks, [&] { world.lights->UpdateForFrame(camera); });
        timed(kTransformAndLighting, [&] { world.cluster->Update(camera); });
        timed(kCollision,
              [&] { world.blobs.CollideAndUpdate(camera, world.cluster->dynamicObjects); });
        timed(kVisibility, [&] { world.cluster->DrawCluster(camera, world.blobs.Blobs()); });
        timed(kDepthSort, [&] { camera.DrawBuckets(); });
        camera.SetRotationChanged(0);
        camera.SetPositionChanged(0);
        camera.renderer = nullptr;
        SetCurrentRenderer(nullptr);
        UnlockRender();
        state.PauseTiming();
        frame.Forget();
        state.ResumeTiming();
    }
    const char* names[kCount] = {"collision_us",
                                 "update_us",
                                 "light_links_us",
                                 "transform_and_lighting_us",
                                 "visibility_and_batches_us",
                                 "depth_sort_us"};
    for (int i = 0; i < kCount; ++i)
        state.counters[names[i]] = std::chrono::duration<double, std::micro>(spent[i]).count() /
                                   double(state.iterations());
}
BENCHMARK(BM_ReferenceFrameByPhase)->Unit(benchmark::kMicrosecond);

} // namespace
