// The static scene's octree and collisions: building the octree, culling it per frame
// beside testing every polygon's sphere, objects colliding with each other and one
// object moving over the static scene.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/octree.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"

namespace {

struct Scene {
    LAPINull device;
    std::unique_ptr<L3DWorld> world = std::make_unique<L3DWorld>(&device, 0, nullptr, nullptr);
};

// A dynamic object of `count` small triangles laid on a square of the given side, whose
// corner is at (x, 0, z).
L3DObject* Tiles(L3DWorld& world, int count, float x, float z, float side) {
    auto* object = new L3DObject("Tiles", &world, nullptr);
    object->GetCurrentPointList()->DisableMerging();
    int row = 1;
    while (row * row < count)
        ++row;
    const float step = side / float(row);
    for (int i = 0; i < count; ++i) {
        const float px = x + float(i % row) * step, pz = z + float(i / row) * step;
        LPolygon* p = world.GetAPI()->CreatePolygon(object, 2, 0);
        p->AddNewVertex(px, 0, pz, 0, 0, 0, 0);
        p->AddNewVertex(px + step, 0, pz, 0, 0, 0, 0);
        p->AddNewVertex(px, 0, pz + step, 0, 0, 0, 0);
        object->AddPolygon(p, 0);
    }
    world.AddObject(object, 0);
    return object;
}

// A static scene of objects x objects tiles of `each` triangles, merged into the octree.
void BuildStatic(L3DWorld& world, int objects, int each, float side) {
    for (int i = 0; i < objects; ++i) {
        L3DObject* tiles =
            Tiles(world, each, float(i % 16) * side, float(i / 16) * side - 1000, side);
        tiles->MakeStatic(0);
    }
    world.Optimize();
}

void BM_OctreeBuild200kTriangles(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Scene scene;
        for (int i = 0; i < 200; ++i)
            Tiles(*scene.world, 1000, float(i % 16) * 100, float(i / 16) * 100, 100)->MakeStatic(0);
        state.ResumeTiming();
        scene.world->Optimize();
        benchmark::DoNotOptimize(scene.world->cluster->octree.get());
        state.PauseTiming();
        scene.world.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 200000);
}
BENCHMARK(BM_OctreeBuild200kTriangles)->Unit(benchmark::kMillisecond)->Iterations(3);

// The culling scene: 10^5 static triangles in front of a camera turning on the spot.
struct CullingScene {
    Scene scene;
    L3DCamera* camera;
    std::vector<LPolygon*> polygons;

    CullingScene() {
        BuildStatic(*scene.world, 100, 1000, 100);
        camera = scene.world->CreateCamera(0);
        camera->SetViewSize(640, 480);
        camera->SetPosition(800, 50, -1200);
        std::vector<L3DOctreeNode*> nodes;
        const float lo[3] = {-1e9f, -1e9f, -1e9f}, hi[3] = {1e9f, 1e9f, 1e9f};
        scene.world->cluster->QueryBox(nodes, lo, hi);
        for (L3DOctreeNode* node : nodes)
            for (LListNode* n = node->GetCurrentPolygonList()->GetHead(); n != nullptr; n = n->next)
                polygons.push_back(static_cast<LPolygon*>(n->item));
    }
};

CullingScene& Culling() {
    static CullingScene scene;
    return scene;
}

double octreeNanoseconds = 0;

void BM_OctreeCulling100kPolygons(benchmark::State& state) {
    CullingScene& c = Culling();
    float angle = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        angle += 0.01f;
        c.camera->SetYAngle(angle, 0);
        c.camera->SetRotationChanged(1);
        c.scene.world->cluster->octree->ComputeWorldTransform(*c.camera);
        benchmark::DoNotOptimize(c.scene.world->cluster->octree->visibleThisFrame);
    }
    octreeNanoseconds = double(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                   std::chrono::steady_clock::now() - start)
                                   .count()) /
                        double(state.iterations());
    state.counters["polygons"] = double(c.polygons.size());
}
BENCHMARK(BM_OctreeCulling100kPolygons)->Unit(benchmark::kMicrosecond);

// The same frames with every polygon's bounding sphere tested on its own.
void BM_PolygonSphereCulling100kPolygons(benchmark::State& state) {
    CullingScene& c = Culling();
    for (LPolygon* p : c.polygons) {
        p->ComputeWorldBox();
        p->ComputeRadius();
    }
    float angle = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        angle += 0.01f;
        c.camera->SetYAngle(angle, 0);
        int seen = 0;
        for (LPolygon* p : c.polygons) {
            const float centre[3] = {(p->worldBox[0] + p->worldBox[4]) * 0.5f,
                                     (p->worldBox[1] + p->worldBox[5]) * 0.5f,
                                     (p->worldBox[2] + p->worldBox[6]) * 0.5f};
            seen += c.camera->GetVisibility(centre, p->radius) != L3DCamera::kInvisible;
        }
        benchmark::DoNotOptimize(seen);
    }
    const double sphere = double(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::steady_clock::now() - start)
                                     .count()) /
                          double(state.iterations());
    if (octreeNanoseconds > 0) state.counters["octree_speedup"] = sphere / octreeNanoseconds;
}
BENCHMARK(BM_PolygonSphereCulling100kPolygons)->Unit(benchmark::kMicrosecond);

void BM_200DynamicObjectsCollidePerStep(benchmark::State& state) {
    Scene scene;
    L3DCamera* camera = scene.world->CreateCamera(0);
    camera->SetViewSize(640, 480);
    std::vector<L3DObject*> movers;
    for (int i = 0; i < 200; ++i) {
        L3DObject* mover = Tiles(*scene.world, 4, 0, 0, 4);
        mover->SetCollision(1);
        mover->SetCollisionRadius(3);
        mover->SetPosition(float(i % 20) * 10, 0, float(i / 20) * 10 + 100);
        movers.push_back(mover);
    }
    float step = 0.5f;
    for (auto _ : state) {
        step = -step;
        for (L3DObject* m : movers) {
            std::copy_n(m->position, 3, m->previousPosition);
            m->SetPosition(m->position[0] + step, 0, m->position[2]);
        }
        scene.world->cluster->CheckCollisions(*camera, {});
    }
    state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_200DynamicObjectsCollidePerStep)->Unit(benchmark::kMicrosecond);

void BM_OneObjectOver10kStaticPolygons(benchmark::State& state) {
    Scene scene;
    BuildStatic(*scene.world, 10, 1000, 100);
    L3DCamera* camera = scene.world->CreateCamera(0);
    L3DObject* mover = Tiles(*scene.world, 1, 0, 0, 2);
    mover->SetCollision(1);
    float x = 0;
    for (auto _ : state) {
        x = x > 900 ? 0 : x + 3;
        mover->position[0] = x + 3;
        mover->position[1] = -5;
        mover->position[2] = -950;
        // Its points take the new place, so that the swept box is where it moves.
        mover->TransformPoints(*camera);
        mover->previousPosition[0] = x;
        mover->previousPosition[1] = 5;
        benchmark::DoNotOptimize(mover->CollideWithPolygons(*camera));
    }
}
BENCHMARK(BM_OneObjectOver10kStaticPolygons)->Unit(benchmark::kMicrosecond);

} // namespace
