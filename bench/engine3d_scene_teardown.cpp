// Tearing down a big world: thousands of objects sharing a few materials, and one mesh
// of 5 x 10^4 vertices, destroyed with their world.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/primitives.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"

namespace {

constexpr int kBricks = 4000;
constexpr int kSide = 160;

std::unique_ptr<L3DWorld> BigWorld(LAPINull& device) {
    auto world = std::make_unique<L3DWorld>(&device, 0, nullptr, nullptr);
    LMaterial* materials[4];
    for (int m = 0; m < 4; ++m)
        materials[m] =
            world->materials.CreateMaterial("Paint", nullptr, uint32_t(m) * 0x40, 0, nullptr);
    for (int i = 0; i < kBricks; ++i) {
        L3DObject* brick = CreateBrickObject(world.get(), 4, 4, 4);
        world->AddObject(brick, 1);
        brick->SetPosition(float(i % 64) * 10, 0, float(i / 64) * 10);
        for (LListNode* node = brick->GetCurrentPolygonList()->GetHead(); node != nullptr;
             node = node->next)
            static_cast<LPolygon*>(node->item)->SetMaterial(materials[i % 4]);
    }
    auto* terrain = new L3DObject("Terrain", world.get(), nullptr);
    for (int z = 0; z + 1 < kSide; ++z)
        for (int x = 0; x + 1 < kSide; ++x)
            for (int half = 0; half < 2; ++half) {
                LPolygon* p = device.CreatePolygon(terrain, 2, 0);
                const float x0 = float(x), x1 = float(x + 1), z0 = float(z), z1 = float(z + 1);
                p->AddNewVertex(half == 0 ? x0 : x1, 0, z0, 0, 0, 0, 0);
                p->AddNewVertex(x1, 0, half == 0 ? z0 : z1, 0, 0, 0, 0);
                p->AddNewVertex(x0, 0, z1, 0, 0, 0, 0);
                terrain->AddPolygon(p, 0);
                p->SetMaterial(materials[0]);
            }
    world->AddObject(terrain, 1);
    return world;
}

void BM_BigWorldTeardown(benchmark::State& state) {
    LAPINull device;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<L3DWorld> world = BigWorld(device);
        state.ResumeTiming();
        world.reset();
    }
    state.counters["objects"] = double(kBricks + 1);
}
BENCHMARK(BM_BigWorldTeardown)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
