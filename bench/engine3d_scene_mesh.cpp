// Points, meshes and polygons: 10^5 points transformed and projected (with and without fog)
// beside the same transform done with glm, a mesh of 5 x 10^4 vertices built with merging
// on, and polygons submitted through the visibility tests and the clipper.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <glm/glm.hpp>
#include <memory>
#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "side_by_side.h"

namespace {

struct Scene {
    LAPINull device;
    std::unique_ptr<L3DWorld> world = std::make_unique<L3DWorld>(&device, 0, nullptr, nullptr);
};

// A cloud of `count` points in front of the camera, in an object turned and moved away.
struct Cloud {
    Scene scene;
    L3DCamera* camera = scene.world->CreateCamera(0);
    L3DObject* object = new L3DObject("Cloud", scene.world.get(), nullptr);
    std::vector<L3DPoint*> points;

    explicit Cloud(int count) {
        camera->SetViewSize(640, 480);
        object->GetCurrentPointList()->DisableMerging();
        for (int i = 0; i < count; i += 3) {
            const float x = float(i % 200) - 100, y = float((i / 200) % 200) - 100;
            const float z = float(i % 997);
            LPolygon* p = scene.device.CreatePolygon(object, 2, 0);
            p->AddNewVertex(x, y, z, 0, 0, 0, 0);
            p->AddNewVertex(x + 1, y, z, 0, 0, 0, 0);
            p->AddNewVertex(x, y + 1, z, 0, 0, 0, 0);
            object->AddPolygon(p, 0);
        }
        scene.world->AddObject(object, 0);
        object->SetAnglesAndPosition(10, 20, 5, 0, 0, 800);
        LBasePoint* list = object->GetCurrentPointList();
        for (int32_t i = 0; i < list->GetCount(); ++i)
            points.push_back(list->GetPoint(i));
    }
};

// What the glm side writes per point: the screen position, depth and fog.
struct Projected {
    float x, y, z, rhw;
    uint8_t fog;
};

void TransformBesideGlm(benchmark::State& state, bool fog) {
    Cloud cloud(100000);
    L3DCamera& camera = *cloud.camera;
    if (fog) camera.SetFog(1, 0x808080, 0.2f, 0.8f, 1);
    const L3DObject& object = *cloud.object;

    // The same transform as one matrix: the object's scale, rotation and position, then the
    // camera's view.
    glm::mat4 model(1.0f), view(1.0f);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            model[c][r] = object.worldMatrix[4 * r + c] * object.scale[c];
            view[c][r] = camera.viewMatrix[4 * r + c];
        }
        model[3][r] = object.position[r];
    }
    glm::vec3 hotSpot(object.hotSpot[0], object.hotSpot[1], object.hotSpot[2]);
    const glm::mat4 toCamera =
        view *
        glm::mat4(glm::vec4(1, 0, 0, 0), glm::vec4(0, 1, 0, 0), glm::vec4(0, 0, 1, 0),
                  glm::vec4(-camera.position[0], -camera.position[1], -camera.position[2], 1)) *
        model;
    std::vector<glm::vec3> models;
    for (const L3DPoint* p : cloud.points)
        models.emplace_back(p->model[0], p->model[1], p->model[2]);
    std::vector<Projected> out(models.size());
    const float fogStart = float(camera.fogStartDistance), fogEnd = float(camera.fogEndDistance);

    bench::SideBySide(
        state, int64_t(cloud.points.size()), "glm",
        [&] {
            for (L3DPoint* p : cloud.points)
                p->TransformAndProject(object, camera);
            benchmark::ClobberMemory();
        },
        [&] {
            for (size_t i = 0; i < models.size(); ++i) {
                const glm::vec4 c = toCamera * glm::vec4(models[i] + hotSpot, 1.0f);
                const float r = c.z != 0 ? 1.0f / c.z : 1.0f;
                Projected& o = out[i];
                o.x = camera.halfWidth + camera.focalX * c.x * r;
                o.y = camera.halfHeight - camera.focalY * c.y * r;
                o.z = c.z / float(camera.farDistance);
                o.rhw = r;
                o.fog = fog ? uint8_t(255.0f *
                                      std::clamp((fogEnd - c.z) / (fogEnd - fogStart), 0.0f, 1.0f))
                            : 255;
            }
            benchmark::ClobberMemory();
        });
}

void BM_TransformAndProject100kPointsBesideGlm(benchmark::State& state) {
    TransformBesideGlm(state, false);
}
BENCHMARK(BM_TransformAndProject100kPointsBesideGlm)->Unit(benchmark::kMillisecond);

void BM_TransformAndProject100kPointsWithFogBesideGlm(benchmark::State& state) {
    TransformBesideGlm(state, true);
}
BENCHMARK(BM_TransformAndProject100kPointsWithFogBesideGlm)->Unit(benchmark::kMillisecond);

// A 224 x 224 grid of vertices (50176) as two triangles a square, each triangle adding its
// corners by value so that the point list merges the shared ones.
void BM_MeshOf50kVerticesWithMerging(benchmark::State& state) {
    constexpr int kSide = 224;
    int32_t vertices = 0;
    for (auto _ : state) {
        Scene scene;
        auto* object = new L3DObject("Terrain", scene.world.get(), nullptr);
        auto triangle = [&](float x0, float z0, float x1, float z1, float x2, float z2) {
            LPolygon* p = scene.device.CreatePolygon(object, 2, 0);
            p->AddNewVertex(x0, 0, z0, 0, 0, 0, 0);
            p->AddNewVertex(x1, 0, z1, 0, 0, 0, 0);
            p->AddNewVertex(x2, 0, z2, 0, 0, 0, 0);
            object->AddPolygon(p, 0);
        };
        for (int z = 0; z + 1 < kSide; ++z)
            for (int x = 0; x + 1 < kSide; ++x) {
                const float x0 = float(x), x1 = float(x + 1), z0 = float(z), z1 = float(z + 1);
                triangle(x0, z0, x1, z0, x0, z1);
                triangle(x1, z0, x1, z1, x0, z1);
            }
        scene.world->AddObject(object, 0);
        vertices = object->GetCurrentPointList()->GetCount();
        state.PauseTiming();
        scene.world.reset();
        state.ResumeTiming();
    }
    state.counters["vertices"] = double(vertices);
    state.SetItemsProcessed(state.iterations() * int64_t(kSide) * kSide);
}
BENCHMARK(BM_MeshOf50kVerticesWithMerging)->Unit(benchmark::kMillisecond)->Iterations(3);

// 10^4 triangles submitted through the camera: all inside the view, all crossing the near
// plane (so clipped), or all behind the camera (culled).
enum class Placement { kInside, kCrossing, kCulled };

void PolygonsThroughVisibility(benchmark::State& state, Placement placement) {
    Scene scene;
    L3DCamera* camera = scene.world->CreateCamera(0);
    camera->SetViewSize(640, 480);
    LMaterial* solid = scene.world->materials.CreateMaterial("Solid", nullptr, 0xFF, 0, nullptr);
    // The routines a back end stores in the material: whole polygons, and clipped ones.
    solid->drawRoutine = [](LPolygon& p, L3DCamera& c) { p.DrawUnclipped(c); };
    solid->drawThunk = [](LPolygon& p, L3DCamera& c) { p.DrawClipped(c); };
    auto* object = new L3DObject("Field", scene.world.get(), nullptr);
    object->GetCurrentPointList()->DisableMerging();
    std::vector<LPolygon*> polygons;
    const float near = float(camera->nearDistance);
    for (int i = 0; i < 10000; ++i) {
        const float x = float(i % 100) * 0.2f - 10, y = float(i / 100) * 0.2f - 10;
        float zNear = 100, zFar = 100;
        if (placement == Placement::kCrossing) zNear = near * 0.5f, zFar = near * 3;
        if (placement == Placement::kCulled) zNear = zFar = -100;
        LPolygon* p = scene.device.CreatePolygon(object, 2, 0);
        p->AddNewVertex(x, y, zNear, 0, 0, 0, 0);
        p->AddNewVertex(x + 0.15f, y, zFar, 0, 0, 0, 0);
        p->AddNewVertex(x, y + 0.15f, zFar, 0, 0, 0, 0);
        object->AddPolygon(p, 0);
        p->SetMaterial(solid);
        polygons.push_back(p);
    }
    scene.world->AddObject(object, 0);
    scene.world->backFaceCulling = 0;
    LBasePoint* list = object->GetCurrentPointList();
    for (int32_t i = 0; i < list->GetCount(); ++i)
        list->GetPoint(i)->TransformAndProject(*object, *camera);
    for (auto _ : state) {
        camera->PrepareDepthSort();
        for (LPolygon* p : polygons)
            p->Submit(*camera);
        benchmark::DoNotOptimize(camera->polygonsDrawn);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(polygons.size()));
}

void BM_PolygonsInsideTheView(benchmark::State& state) {
    PolygonsThroughVisibility(state, Placement::kInside);
}
BENCHMARK(BM_PolygonsInsideTheView)->Unit(benchmark::kMicrosecond);

void BM_PolygonsCrossingTheNearPlane(benchmark::State& state) {
    PolygonsThroughVisibility(state, Placement::kCrossing);
}
BENCHMARK(BM_PolygonsCrossingTheNearPlane)->Unit(benchmark::kMicrosecond);

void BM_PolygonsBehindTheCamera(benchmark::State& state) {
    PolygonsThroughVisibility(state, Placement::kCulled);
}
BENCHMARK(BM_PolygonsBehindTheCamera)->Unit(benchmark::kMicrosecond);

} // namespace
