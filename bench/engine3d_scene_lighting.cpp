// Lighting and the depth sort of blended polygons: the frame colours of 5 x 10^4 points
// under 8 lights, the relight after one light moves, and 10^5 polygons queued in the
// camera's depth buckets and drawn far to near beside std::stable_sort of the same
// polygons by depth.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/lights/light.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/objects/world_light.h"
#include "engine3d/scene/render/null_device.h"
#include "side_by_side.h"

namespace {

struct Scene {
    LAPINull device;
    std::unique_ptr<L3DWorld> world = std::make_unique<L3DWorld>(&device, 0, nullptr, nullptr);
};

// A dynamic object of `count` triangles in a square of side 100 at the origin, with
// unshared corners so that it holds three points per triangle.
L3DObject* Grid(L3DWorld& world, int count) {
    auto* object = new L3DObject("Grid", &world, nullptr);
    object->GetCurrentPointList()->DisableMerging();
    int row = 1;
    while (row * row < count)
        ++row;
    const float step = 100.0f / float(row);
    for (int i = 0; i < count; ++i) {
        const float x = float(i % row) * step - 50, z = float(i / row) * step - 50;
        LPolygon* p = world.GetAPI()->CreatePolygon(object, 2, 0);
        p->AddNewVertex(x, 0, z, 0, 0, 0, 0);
        p->AddNewVertex(x + step, 0, z, 0, 0, 0, 0);
        p->AddNewVertex(x, 0, z + step, 0, 0, 0, 0);
        object->AddPolygon(p, 0);
    }
    world.AddObject(object, 1);
    LBasePoint* points = object->GetCurrentPointList();
    for (int32_t i = 0; i < points->GetCount(); ++i)
        std::copy_n(points->GetPoint(i)->model, 3, points->GetPoint(i)->world);
    return object;
}

std::vector<L3DLight*> EightLights(L3DWorld& world) {
    std::vector<L3DLight*> lights;
    for (int i = 0; i < 8; ++i) {
        const float at[3] = {float(i % 4) * 25 - 40, 10, float(i / 4) * 50 - 25};
        lights.push_back(world.lights->CreateLight(LBaseLight::kDynamicKind, at, 60, 200,
                                                   0x102030u * uint32_t(i + 1), 0));
    }
    return lights;
}

void BM_LightPointsUnderEightLights(benchmark::State& state) {
    Scene scene;
    L3DObject* grid = Grid(*scene.world, 50000 / 3);
    const std::vector<L3DLight*> lights = EightLights(*scene.world);
    for (auto _ : state)
        scene.world->ambientLight->RelightDynamic(*grid, lights.data(), 8, 1);
    state.SetItemsProcessed(state.iterations() * grid->GetCurrentPointList()->GetCount());
}
BENCHMARK(BM_LightPointsUnderEightLights)->Unit(benchmark::kMillisecond);

void BM_RelightAfterOneLightMoves(benchmark::State& state) {
    Scene scene;
    L3DObject* grid = Grid(*scene.world, 50000 / 3);
    const std::vector<L3DLight*> lights = EightLights(*scene.world);
    float x = 0;
    for (auto _ : state) {
        x = x > 20 ? -20 : x + 1;
        lights[0]->SetPosition(x, 10, 0);
        scene.world->ambientLight->RelightDynamic(*grid, lights.data(), 8, 1);
    }
}
BENCHMARK(BM_RelightAfterOneLightMoves)->Unit(benchmark::kMillisecond);

// 10^5 triangles at depths spread over the view, projected once.
struct Blended {
    Scene scene;
    L3DCamera* camera = scene.world->CreateCamera(0);
    L3DObject* object = nullptr;
    std::vector<LPolygon*> polygons;

    Blended() {
        camera->SetViewSize(640, 480);
        object = new L3DObject("Glass", scene.world.get(), nullptr);
        object->GetCurrentPointList()->DisableMerging();
        for (int i = 0; i < 100000; ++i) {
            const float z = 20 + float((i * 7919) % 20000) * 0.2f;
            LPolygon* p = scene.device.CreatePolygon(object, 2, 0);
            p->AddNewVertex(0, 0, z, 0, 0, 0, 0);
            p->AddNewVertex(1, 0, z, 0, 0, 0, 0);
            p->AddNewVertex(0, 1, z, 0, 0, 0, 0);
            object->AddPolygon(p, 0);
            polygons.push_back(p);
        }
        scene.world->AddObject(object, 0);
        LBasePoint* points = object->GetCurrentPointList();
        for (int32_t i = 0; i < points->GetCount(); ++i) {
            L3DPoint* point = points->GetPoint(i);
            std::copy_n(point->model, 3, point->world);
            point->Project(*camera);
        }
    }
};

// The camera's depth buckets beside the peer: the same polygons ordered far to near by a
// stable sort, then drawn. Both are timed in turn in every iteration.
void BM_DepthBucketsBesideStableSort(benchmark::State& state) {
    Blended scene;
    std::vector<std::pair<float, LPolygon*>> order;
    order.reserve(scene.polygons.size());
    bench::SideBySide(
        state, int64_t(scene.polygons.size()), "stable_sort",
        [&] {
            scene.camera->PrepareDepthSort();
            for (LPolygon* p : scene.polygons)
                scene.camera->QueueForDrawing(p);
            scene.camera->DrawBuckets();
        },
        [&] {
            order.clear();
            for (LPolygon* p : scene.polygons)
                order.emplace_back(p->GetMaxDepth(), p);
            std::stable_sort(order.begin(), order.end(),
                             [](const auto& a, const auto& b) { return a.first > b.first; });
            for (const auto& [depth, p] : order)
                p->Draw(*scene.camera);
        });
}
BENCHMARK(BM_DepthBucketsBesideStableSort)->Unit(benchmark::kMillisecond);

} // namespace
