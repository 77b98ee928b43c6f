// The per-frame work of an object for a camera: its world transform, the points moved
// and projected, the visibility of its bounding sphere and the submission of its
// polygons.
#include <algorithm>
#include <cmath>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/lights/light.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/objects/world_light.h"
#include "engine3d/scene/prefetch.h"

namespace {

constexpr uint32_t kMoved = L3DLocation::kPositionChanged | L3DLocation::kRotationChanged;

template <typename F> void ForEachPoint(const L3DObject& object, F&& f) {
    const LBasePoint* points = object.GetCurrentPointList();
    for (int32_t i = 0; points != nullptr && i < points->GetCount(); ++i)
        f(points->GetPoint(i));
}

// Every point of the current frame now holds its projection through the camera.
void MarkProjected(L3DObject& object, L3DCamera& camera) {
    const LBasePoint* points = object.GetCurrentPointList();
    object.projectedPass = camera.ProjectionPass();
    object.projectedList = points;
    object.projectedCount = points != nullptr ? points->GetCount() : 0;
}

void MarkVisible(L3DObject* object) {
    if (LCacheMaterialList* batches = object->GetCurrentBatchList()) batches->SetVisibilityTest();
    object->visibleThisFrame = 1;
}

// The largest distance of a model point from the origin.
void ComputeRadius(L3DObject& object) {
    double largest = 0;
    ForEachPoint(object, [&](const L3DPoint* p) {
        largest = std::max(largest, std::sqrt(double(p->model[0]) * p->model[0] +
                                              double(p->model[1]) * p->model[1] +
                                              double(p->model[2]) * p->model[2]));
    });
    object.boundingRadius = float(largest);
    object.boundingRadiusValid = 1;
}

} // namespace

void L3DObject::ComputeWorldTransform(L3DCamera& camera) {
    if (worldTransformValid == 0) ComputeChildTransform();
    worldTransformValid = 0;
    if (IsCollisionOn() == 0) std::copy_n(position, 3, previousPosition);
    if (boxObject != nullptr) std::copy_n(position, 3, boxObject->position);
    if (IsVisible() == 0) {
        visibleThisFrame = 0;
    } else {
        const bool moved = (L3DLocation::flags & kMoved) != 0;
        const bool cameraMoved = (camera.L3DLocation::flags & kMoved) != 0;
        if (moved || cameraMoved) {
            if (!moved) {
                if (boxObject != nullptr) MatrixCopy(worldMatrix, boxObject->worldMatrix);
                ProjectPoints(camera);
            } else {
                ForEachPoint(*this, [&](L3DPoint* p) { p->TransformAndProject(*this, camera); });
                MarkProjected(*this, camera);
            }
            if (boundingRadiusValid == 0) ComputeRadius(*this);
            for (int i = 0; i < 3; ++i)
                lastValidPosition[i] = position[i];
            lastValidPosition[3] = 0;
            LCacheMaterialList* batches = GetCurrentBatchList();
            switch (camera.GetVisibility(position, boundingRadius)) {
            case L3DCamera::kVisible:
                if (batches != nullptr) batches->ClearVisibilityTest();
                visibleThisFrame = 1;
                break;
            case L3DCamera::kClipped:
                if (batches != nullptr) batches->SetVisibilityTest();
                visibleThisFrame = 1;
                break;
            default:
                visibleThisFrame = 0;
                break;
            }
            if (visibleThisFrame != 0) {
                if (boxObject != nullptr && boxObject->visibleThisFrame == 0)
                    MarkVisible(boxObject);
                for (L3DObject* a = parent; a != nullptr && a->visibleThisFrame == 0; a = a->parent)
                    MarkVisible(a);
            }
        }
    }
    ForEachChild(children, [&camera](L3DObject* child) { child->ComputeWorldTransform(camera); });
}

void L3DObject::ProjectPoints(L3DCamera& camera) {
    const LBasePoint* points = GetCurrentPointList();
    if (points == nullptr) return;
    const uint64_t pass = camera.ProjectionPass();
    if (pass != 0 && pass == projectedPass && points == projectedList &&
        points->GetCount() == projectedCount)
        return;
    const std::vector<L3DPoint*>& all = points->Points();
    for (size_t i = 0; i < all.size(); ++i) {
        if (i + kPrefetchAhead < all.size())
            PrefetchBytes(all[i + kPrefetchAhead], sizeof(L3DPoint));
        all[i]->Project(camera);
    }
    MarkProjected(*this, camera);
}

void L3DObject::Update(L3DCamera& camera) {
    if ((objectFlags & kShadowShown) != 0) PlaceShadow();
    ComputeWorldTransform(camera);
    if ((objectFlags & kMovable) != 0) ComputeWorldTransform(camera);
    if ((L3DLocation::flags & kMoved) != 0) TransformPoints(camera);
}

void L3DObject::TransformPoints(L3DCamera& camera) {
    std::copy_n(position, 3, previousPosition);
    if (IsVisible() != 0) {
        ForEachPoint(*this, [&](L3DPoint* p) { p->Transform(*this, &camera); });
        projectedPass = 0;
    }
    ForEachChild(children, [&camera](L3DObject* child) { child->TransformPoints(camera); });
}

void L3DObject::TransformMesh(L3DCamera& camera) {
    if (visibleThisFrame != 0) {
        if (IsVisible() != 0) {
            ProjectPoints(camera);
            frameState = 2;
        }
        L3DLocation::flags &= ~kMoved;
    }
    ForEachChild(children, [&camera](L3DObject* child) { child->TransformMesh(camera); });
}

void L3DObject::LightAndTransform(L3DCamera& camera) {
    frameState = 4;
    if (((camera.L3DLocation::flags | L3DLocation::flags) & kMoved) != 0) {
        TransformMesh(camera);
        for (L3DLight* light : AllLights()) {
            light->Update(camera);
            light->LightAndTransform(camera);
        }
    }
    if ((L3DLocation::flags & kLightsToRecompute) != 0 && visibleThisFrame != 0) RelightAll();
    if ((L3DLocation::flags & kLightingChanged) != 0 && visibleThisFrame != 0) RelightSecond();
}

std::vector<L3DLight*> L3DObject::AllLights() const {
    std::vector<L3DLight*> all(lights, lights + lightCount);
    all.insert(all.end(), secondLights, secondLights + secondLightCount);
    return all;
}

void L3DObject::RelightAll() {
    if (world != nullptr && world->ambientLight != nullptr) {
        world->ambientLight->LightPoints(*this, lights, lightCount);
        world->ambientLight->RelightDynamic(*this, secondLights, secondLightCount, 1);
    }
    L3DLocation::flags &= ~kLightsToRecompute;
    ForEachChild(children, [](L3DObject* child) { child->RelightAll(); });
}

void L3DObject::RelightSecond() {
    if (world != nullptr && world->ambientLight != nullptr)
        world->ambientLight->RelightDynamic(*this, secondLights, secondLightCount, 1);
    L3DLocation::flags &= ~kLightingChanged;
    ForEachChild(children, [](L3DObject* child) {
        if (child->visibleThisFrame != 0) child->RelightSecond();
    });
}

void L3DObject::Render(L3DCamera& camera) {
    if (visibleThisFrame == 0) return;
    LightAndTransform(camera);
    Draw(camera);
}

void L3DObject::Draw(L3DCamera& camera) {
    const bool batched = batchingAllowed == 1 && basesChanged == 0 && world != nullptr &&
                         world->IsAccelerated() != 0;
    if (IsVisible() != 0 && visibleThisFrame != 0) {
        if (IsDynamic() != 0)
            MatrixMultiply(camera.viewMatrix, worldMatrix, modelView);
        else
            MatrixCopy(camera.viewMatrix, modelView);
        const bool shadowShown = shadow != nullptr && (objectFlags & kShadowShown) != 0;
        if (frameState == 2) {
            if (shadowShown) {
                for (int i = 0; i < shadow->GetVertexCount(); ++i) {
                    L3DPoint* p = shadow->GetVertex(i);
                    for (int k = 0; k < 3; ++k)
                        p->world[k] = p->model[k] + position[k];
                    p->Project(camera);
                }
                shadow->Submit(camera);
            }
            const bool refresh = (objectFlags & (kGouraud | kLambert)) != 0 && IsDynamic() != 0 &&
                                 (objectFlags & kMovable) == 0;
            if (refresh && world != nullptr && world->ambientLight != nullptr)
                world->ambientLight->RelightDynamic(*this, secondLights, secondLightCount, 1);
            // Batched, only the polygons no batch holds (quads) are drawn one by one.
            ForEachPolygon(GetCurrentPolygonList(), [&](LPolygon* p) {
                if (!batched || p->batch == nullptr) p->Submit(camera);
            });
        } else {
            if (shadowShown) shadow->SubmitTested(camera);
            ForEachPolygon(GetCurrentPolygonList(), [&](LPolygon* p) {
                if (!batched || p->batch == nullptr) p->SubmitTested(camera);
            });
        }
        if (batched)
            if (LCacheMaterialList* batches = GetCurrentBatchList()) batches->DrawAll(camera, this);
        if ((objectFlags & kBoxShown) != 0 && boxObject != nullptr) {
            ForEachPoint(*boxObject, [&](L3DPoint* p) { p->TransformAndProject(*this, camera); });
            ForEachPolygon(boxObject->GetCurrentPolygonList(), [&](LPolygon* p) {
                if (p->ComputeVisibility(camera) != LPolygon::kCulled) p->Draw(camera);
            });
        }
        if ((objectFlags & kAxisShown) != 0 && world != nullptr) world->DrawAxis(camera, this);
    }
    ForEachChild(children, [&camera](L3DObject* child) { child->Draw(camera); });
}

int L3DObject::AddLight(L3DLight* light) {
    if (lightCount >= kMaxLights) return 0;
    lights[lightCount++] = light;
    return 1;
}

int L3DObject::AddSecondLight(L3DLight* light) {
    if (secondLightCount >= kMaxLights) return 0;
    secondLights[secondLightCount++] = light;
    return 1;
}

void L3DObject::RemoveLight(L3DLight* light) {
    L3DLight** end = std::remove(lights, lights + lightCount, light);
    lightCount = uint8_t(end - lights);
}

void L3DObject::RemoveSecondLight(L3DLight* light) {
    L3DLight** end = std::remove(secondLights, secondLights + secondLightCount, light);
    secondLightCount = uint8_t(end - secondLights);
}

void L3DObject::SaveLastValidPosition() {
    std::copy_n(position, 3, lastValidPosition);
    lastValidPosition[3] = 0;
    ForEachChild(children, [](L3DObject* child) { child->SaveLastValidPosition(); });
}

void L3DObject::FinishMovementStep(L3DCamera& camera) {
    if (movementCheck != nullptr && movementCheck(this, movementData) == 1) {
        SetPositionChanged(1);
        ComputeWorldTransform(camera);
    } else if ((L3DLocation::flags & kMoved) != 0) {
        ComputeWorldTransform(camera);
    }
    SaveLastValidPosition();
}

void L3DObject::GetCollisionExtents(const float* point, float* outLow, float* outHigh) {
    *outLow = *outHigh = 9999999.0f;
    if (world != nullptr) world->cluster->MeasureClearance(point, outLow, outHigh);
}

int L3DObject::GetPointBounds(float* min, float* max) const {
    const LBasePoint* points = GetCurrentPointList();
    if (points == nullptr || points->GetCount() == 0) return 0;
    for (int32_t i = 0; i < points->GetCount(); ++i) {
        const float* w = points->GetPoint(i)->world;
        for (int k = 0; k < 3; ++k) {
            min[k] = i == 0 ? w[k] : std::min(min[k], w[k]);
            max[k] = i == 0 ? w[k] : std::max(max[k], w[k]);
        }
    }
    min[3] = max[3] = 0;
    return 1;
}

int L3DObject::OverlapsBox(const float* min, const float* max) const {
    float lo[4], hi[4];
    if (GetPointBounds(lo, hi) == 0) return 0;
    for (int k = 0; k < 3; ++k)
        if (hi[k] < min[k] || lo[k] > max[k]) return 0;
    return 1;
}

int L3DObject::ContainsPoint(const float* p) const {
    float lo[4], hi[4];
    if (GetPointBounds(lo, hi) == 0) return 0;
    for (int k = 0; k < 3; ++k)
        if (p[k] < lo[k] - 0.01f || p[k] > hi[k] + 0.01f) return 0;
    return 1;
}

int L3DObject::ContainsPointXZ(const float* p) const {
    float lo[4], hi[4];
    if (GetPointBounds(lo, hi) == 0) return 0;
    for (int k : {0, 2})
        if (p[k] < lo[k] - 0.01f || p[k] > hi[k] + 0.01f) return 0;
    return 1;
}
