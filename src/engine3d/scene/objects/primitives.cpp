#include "engine3d/scene/objects/primitives.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"

namespace {

struct Vertex {
    float x, y, z, u, v;
};

struct Triangle {
    int a, b, c;
};

L3DObject* Build(L3DWorld* world, const char* format, uint32_t& counter,
                 const std::vector<Vertex>& vertices, const std::vector<Triangle>& triangles,
                 bool planarMapping) {
    char name[32];
    std::snprintf(name, sizeof name, format, counter++);
    auto* object = new L3DObject(name, world, nullptr);
    LBasePoint* points = object->GetCurrentPointList();
    points->world = world;
    points->DisableMerging();
    std::vector<L3DPoint*> made;
    made.reserve(vertices.size());
    for (const Vertex& v : vertices)
        made.push_back(points->AddPoint(v.x, v.y, v.z, v.u, v.v, v.u, v.v, -1));
    LAPICLBK* device = world->GetAPI();
    std::vector<LPolygon*> faces;
    for (size_t i = 0; i < triangles.size(); ++i)
        faces.push_back(device != nullptr ? device->CreatePolygon(object, 2, 0) : nullptr);
    points->EnableMerging();
    for (size_t i = 0; i < triangles.size(); ++i) {
        LPolygon* face = faces[i];
        if (face == nullptr) continue;
        for (int corner : {triangles[i].a, triangles[i].b, triangles[i].c})
            face->AddVertex(made[size_t(corner)]);
        object->AddPolygon(face, 1);
    }
    if (planarMapping) {
        object->ComputePointNormals(nullptr, nullptr);
        object->ApplyPlanarMapping();
    }
    object->SetPolygonMaterial(-1, world->GetDefaultMaterial());
    return object;
}

} // namespace

L3DObject* CreateBrickObject(L3DWorld* world, float width, float height, float depth) {
    if (world == nullptr || !(width >= 0 && height >= 0 && depth >= 0)) return nullptr;
    const float a = width / 2, b = height / 2, c = depth / 2;
    const std::vector<Vertex> v = {{-a, b, -c, 0, 0},  {a, b, -c, 0, 0}, {a, -b, -c, 0, 0},
                                   {-a, -b, -c, 0, 0}, {-a, b, c, 0, 0}, {a, b, c, 0, 0},
                                   {a, -b, c, 0, 0},   {-a, -b, c, 0, 0}};
    const std::vector<Triangle> t = {{0, 3, 2}, {0, 2, 1}, {1, 2, 6}, {1, 6, 5},
                                     {4, 5, 6}, {4, 6, 7}, {0, 4, 7}, {0, 7, 3},
                                     {7, 6, 2}, {7, 2, 3}, {0, 1, 5}, {0, 5, 4}};
    return Build(world, "Brick #%d", world->brickCount, v, t, true);
}

L3DObject* CreatePyramidObject(L3DWorld* world, float width, float height, float depth) {
    if (world == nullptr || !(width >= 0 && height >= 0 && depth >= 0)) return nullptr;
    const float a = width / 2, b = height / 2, c = depth / 2;
    const std::vector<Vertex> v = {{0, b, 0, 0, 0},
                                   {-a, -b, -c, 0, 0},
                                   {-a, -b, c, 0, 0},
                                   {a, -b, c, 0, 0},
                                   {a, -b, -c, 0, 0}};
    const std::vector<Triangle> t = {{4, 1, 0}, {1, 2, 0}, {2, 3, 0},
                                     {3, 4, 0}, {1, 4, 2}, {4, 3, 2}};
    return Build(world, "Pyramid #%d", world->pyramidCount, v, t, true);
}

L3DObject* CreatePlaneObject(L3DWorld* world, float width, float height, float vRepeat,
                             float uRepeat) {
    if (world == nullptr || !(width >= 0 && height >= 0)) return nullptr;
    const float a = width / 2, b = height / 2;
    const float uLow = std::max(-uRepeat, 0.0f), uHigh = std::max(uRepeat, 0.0f);
    const float vLow = std::max(-vRepeat, 0.0f), vHigh = std::max(vRepeat, 0.0f);
    const std::vector<Vertex> v = {{-a, -b, 0, uLow, vLow},
                                   {-a, b, 0, uLow, vHigh},
                                   {a, b, 0, uHigh, vHigh},
                                   {a, -b, 0, uHigh, vLow}};
    const std::vector<Triangle> t = {{3, 1, 0}, {2, 1, 3}};
    return Build(world, "Plane #%d", world->planeCount, v, t, false);
}

L3DObject* CreateSphereObject(L3DWorld* world, float rx, float ry, float rz, int32_t segments,
                              int32_t rings) {
    if (world == nullptr) return nullptr;
    if (rings == -1) rings = segments / 2 - 1;
    // Without a ring the caps would name ring points that do not exist; without a
    // segment the angle step divides by zero.
    if (segments < 1 || rings < 1) return nullptr;
    const int64_t pointCount = 2 + int64_t(rings) * (int64_t(segments) + 1);
    if (pointCount > 65535) return nullptr;
    const int32_t s = segments, r = rings;
    std::vector<Vertex> v = {{0, ry, 0, 0, 0}, {0, -ry, 0, 0, 0}};
    v.reserve(size_t(pointCount));
    for (int32_t i = 1; i <= r; ++i) {
        const float phi = float(i) * 3.1415927f / float(r + 1) + 1.5707964f;
        const float y = ry * std::sin(phi);
        const float ringX = std::fabs(rx * std::cos(phi)), ringZ = std::fabs(rz * std::cos(phi));
        const float tv = ry != 0 ? 1 - (1 - y / ry) * 0.5f : 0.5f;
        for (int32_t j = 0; j <= s; ++j) {
            const float t = float(j) * 6.2831855f / float(s);
            v.push_back({ringX * std::cos(t), y, ringZ * std::sin(t), t * 0.15915494f, tv});
        }
    }
    std::vector<Triangle> t;
    auto ringStart = [s](int32_t ring) { return 2 + (ring - 1) * (s + 1); };
    for (int32_t k = 0; k < s; ++k)
        t.push_back({0, 2 + k, 3 + k});
    for (int32_t band = 1; band < r; ++band)
        for (int32_t k = 0; k < s; ++k) {
            const int u = ringStart(band) + k, l = ringStart(band + 1) + k;
            t.push_back({u, l, l + 1});
            t.push_back({u, l + 1, u + 1});
        }
    const int bottom = ringStart(r);
    for (int32_t k = 0; k < s; ++k)
        t.push_back({1, bottom + k + 1, bottom + k});
    return Build(world, "Sphere #%d", world->sphereCount, v, t, false);
}
