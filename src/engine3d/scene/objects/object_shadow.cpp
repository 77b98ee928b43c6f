// The ground shadow: a four-point polygon owned by the object, laid under it.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine3d/scene/float_to_int.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/plane.h"
#include "engine3d/scene/render/device.h"

namespace {

constexpr float kCorners[4][5] = {
    {-10, 0, -10, 0, 0}, {-10, 0, 10, 0, 1}, {10, 0, 10, 1, 1}, {10, 0, -10, 1, 0}};

} // namespace

LPolygon* L3DObject::CreateShadow() {
    if (shadow != nullptr) return shadow;
    LAPICLBK* device = world != nullptr ? world->GetAPI() : nullptr;
    if (device == nullptr) return nullptr;
    LPolygon* polygon = device->CreatePolygon(this, 2, 0);
    if (polygon == nullptr) return nullptr;
    polygon->capacity = 4;
    for (const auto& c : kCorners) {
        L3DPoint* point = device->CreatePoint(c[0], c[1], c[2], c[3], c[4], c[3], c[4]);
        // The corners stay out of the object's mesh: they are the shadow's own.
        polygon->AppendVertex(point);
    }
    polygon->SetMaterial(world->GetShadowMaterial());
    polygon->dirty = 1;
    shadow = polygon;
    return shadow;
}

int L3DObject::EnableShadow(int on) {
    if (on != 0 && CreateShadow() != nullptr) {
        objectFlags |= kShadowShown;
        SetPositionChanged(1);
    } else {
        objectFlags &= ~kShadowShown;
    }
    SyncCloneFlags(nullptr);
    return (objectFlags & kShadowShown) != 0 ? 1 : 0;
}

void L3DObject::SetShadowTextureSize(int32_t w, int32_t h) {
    if (CreateShadow() == nullptr) return;
    const float x = float(w) * 0.5f, z = float(h) * 0.5f;
    const float corners[4][2] = {{-x, -z}, {x, -z}, {x, z}, {-x, z}};
    for (int i = 0; i < 4 && i < shadow->GetVertexCount(); ++i) {
        shadow->GetVertex(i)->model[0] = corners[i][0];
        shadow->GetVertex(i)->model[2] = corners[i][1];
    }
    shadow->ComputePlanes(0);
}

void L3DObject::GetShadowTextureSize(int32_t* w, int32_t* h) const {
    *w = *h = 0;
    if (shadow == nullptr || shadow->GetVertexCount() == 0) return;
    const float* first = shadow->GetVertex(0)->model;
    *w = TruncateToInt32(2.0 * std::fabs(double(first[0])));
    *h = TruncateToInt32(2.0 * std::fabs(double(first[2])));
}

void L3DObject::SetShadowTexture(LTexture* texture) {
    if (CreateShadow() == nullptr) return;
    LMaterial* fallback = world->GetShadowMaterial();
    LMaterial* material = shadow->GetMaterial();
    if (texture == nullptr) {
        if (material != fallback) {
            shadow->SetMaterial(fallback);
            world->materials.RemoveMaterial(material);
        }
        material = fallback;
        material->SetFlat(1);
    } else {
        if (world->textures.list.FindNode(texture) == nullptr) world->textures.AddTexture(texture);
        if (material == fallback) {
            char shown[260];
            GetName(shown, sizeof shown);
            char name[300];
            std::snprintf(name, sizeof name, "ShadowMat : %s", shown);
            material = world->materials.FindByName(name);
            if (material == nullptr)
                material = world->materials.CreateMaterial(name, nullptr, 0, 0, nullptr);
            if (material == nullptr) return;
        }
        material->SetTexture(0, texture);
        shadow->SetMaterial(material);
        material->SetMapped(1);
        material->SetWireFrame(0);
    }
    const int gouraud = IsGouraud(), lambert = IsLambert();
    if (gouraud != 0) SetGouraud(0);
    if (lambert != 0) SetLambert(0);
    material->mode |= 0xC0 | 0x400000;
    if (gouraud != 0) SetGouraud(1);
    if (lambert != 0) SetLambert(1);
    shadow->ComputePlanes(0);
}

void L3DObject::SetShadowTextureAndSize(int32_t w, int32_t h, LTexture* texture) {
    SetShadowTextureSize(w, h);
    SetShadowTexture(texture);
}

LTexture* L3DObject::GetShadowTexture() const {
    const LMaterial* material = GetShadowMaterial();
    return material != nullptr ? material->GetTexture(0) : nullptr;
}

LMaterial* L3DObject::GetShadowMaterial() const {
    return shadow != nullptr ? shadow->GetMaterial() : nullptr;
}

void L3DObject::PlaceShadow() {
    if (boxObject == nullptr || shadow == nullptr) return;
    float below = 9999999.0f, above = 9999999.0f;
    if (world != nullptr) world->cluster->MeasureClearance(position, &below, &above);
    for (int i = 0; i < shadow->GetVertexCount(); ++i)
        shadow->GetVertex(i)->model[1] = 0.1f - below;
}

int L3DObject::GetShadowPlane(float* plane) {
    if (!HasPolygons(1)) return 0;
    const LBasePoint* points = GetCurrentPointList();
    if (points == nullptr || points->GetCount() < 2) return 0;
    const L3DPoint* a = points->GetPoint(0);
    const L3DPoint* b = points->GetPoint(1);
    const double bottom = std::min(a->world[1], b->world[1]);
    float h = 9999999.0f, above = 9999999.0f;
    if (world != nullptr) world->cluster->MeasureClearance(position, &h, &above);
    const double step = bottom - h + 0.0001;
    const double d = 25.0 * std::max(std::fabs(double(a->world[0]) - b->world[0]),
                                     std::fabs(double(a->world[2]) - b->world[2]));
    if (!(h >= 0 && h < d)) return 0;
    plane[0] = 0;
    plane[1] = 1;
    plane[2] = 0;
    plane[3] = 0;
    plane[4] = float(step);
    return TruncateToInt32(shadowStrength * (d - h) / d);
}

void L3DObject::CastShadowOnPlane(L3DCamera& camera, const L3DPlane& plane, uint32_t flags) {
    ForEachPolygon(GetCurrentPolygonList(),
                   [&](LPolygon* p) { p->DrawShadow(camera, plane, flags); });
    SetRotationChanged(1);
    ForEachChild(children,
                 [&](L3DObject* child) { child->CastShadowOnPlane(camera, plane, flags); });
}
