// The world of 10^5 polygons the world file benchmarks save and load: ten grids of
// 100 x 50 quads, each quad two triangles sharing the grid's points, in grass and rock by
// turns.
#pragma once

#include <cstdint>
#include <vector>

#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"

namespace bench {

constexpr int kTerrainObjects = 10;
constexpr int kTerrainColumns = 100;
constexpr int kTerrainRows = 50;
constexpr int64_t kTerrainPolygons = int64_t(kTerrainObjects) * kTerrainColumns * kTerrainRows * 2;
constexpr int64_t kTerrainPoints =
    int64_t(kTerrainObjects) * (kTerrainColumns + 1) * (kTerrainRows + 1);

inline void AddTerrain(L3DWorld& world, int index, LMaterial* material) {
    auto* object = new L3DObject("Terrain", &world, nullptr);
    LBasePoint* points = object->GetCurrentPointList();
    points->DisableMerging();
    std::vector<L3DPoint*> grid;
    for (int r = 0; r <= kTerrainRows; ++r)
        for (int c = 0; c <= kTerrainColumns; ++c)
            grid.push_back(
                points->AddPoint(float(c), float((c * r) % 7), float(r + index * kTerrainRows),
                                 float(c) / kTerrainColumns, float(r) / kTerrainRows, 0, 0, 0));
    points->EnableMerging();
    auto at = [&grid](int r, int c) { return grid[size_t(r * (kTerrainColumns + 1) + c)]; };
    for (int r = 0; r < kTerrainRows; ++r)
        for (int c = 0; c < kTerrainColumns; ++c)
            for (int half = 0; half < 2; ++half) {
                LPolygon* p = world.GetAPI()->CreatePolygon(object, 2, 0);
                p->AddVertex(at(r, c));
                p->AddVertex(half == 0 ? at(r, c + 1) : at(r + 1, c + 1));
                p->AddVertex(half == 0 ? at(r + 1, c + 1) : at(r + 1, c));
                object->AddPolygon(p, 0);
                p->SetMaterial(material);
            }
    world.AddObject(object, 0);
}

inline void AddTerrains(L3DWorld& world) {
    LMaterial* grass = world.materials.CreateMaterial("Grass", nullptr, 0x208020, 0, nullptr);
    LMaterial* rock = world.materials.CreateMaterial("Rock", nullptr, 0x808080, 0, nullptr);
    for (int i = 0; i < kTerrainObjects; ++i)
        AddTerrain(world, i, i % 2 == 0 ? grass : rock);
}

} // namespace bench
