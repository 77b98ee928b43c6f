// The drawing, visibility, collision and persistence switches of an object, its radii,
// scaling and sizes.
#include <algorithm>
#include <cmath>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/objects/world.h"

namespace {

template <typename F> void ForEachBatchMaterial(const L3DObject& object, F&& f) {
    const LCacheMaterialList* batches = object.GetCurrentBatchList();
    if (batches == nullptr) return;
    for (LListNode* node = batches->batches.GetHead(); node != nullptr; node = node->next)
        if (LMaterial* m = static_cast<LCacheMaterial*>(node->item)->material) f(m);
}

void SetFlag(uint32_t& flags, uint32_t bit, int on) {
    flags = on != 0 ? flags | bit : flags & ~bit;
}

void MarkCameras(L3DWorld* world) {
    if (world != nullptr) world->cameras.NotifyAll(1);
}

} // namespace

void L3DObject::SetWireframe(int on) {
    ForEachBatchMaterial(*this, [on](LMaterial* m) { m->SetWireFrame(on); });
    ForEachChild(children, [on](L3DObject* child) { child->SetWireframe(on); });
}

void L3DObject::SetFlat(int on) {
    const LMaterial* fallback = world != nullptr ? world->GetDefaultMaterial() : nullptr;
    ForEachBatchMaterial(*this, [&](LMaterial* m) {
        if (m != fallback)
            m->SetFlat(on);
        else if (on != 0)
            m->SetWireFrame(1);
    });
    ForEachChild(children, [on](L3DObject* child) { child->SetFlat(on); });
}

void L3DObject::SetMapped(int on) {
    const LMaterial* fallback = world != nullptr ? world->GetDefaultMaterial() : nullptr;
    ForEachBatchMaterial(*this, [&](LMaterial* m) {
        if (m == fallback) {
            if (on != 0) m->SetWireFrame(1);
        } else if (on == 0 || m->GetTexture(0) != nullptr) {
            m->SetMapped(on);
        } else {
            m->SetWireFrame(1);
        }
    });
    ForEachChild(children, [on](L3DObject* child) { child->SetMapped(on); });
}

void L3DObject::ReprepareAll() {
    for (L3DObject* mesh : {boxObject, this}) {
        if (mesh == nullptr) continue;
        for (int32_t b = 0; b < mesh->GetBaseCount(); ++b)
            ForEachPolygon(mesh->GetPolygonListOfBase(b), [](LPolygon* p) { p->Prepare(); });
    }
    ForEachChild(children, [](L3DObject* child) { child->ReprepareAll(); });
    InvalidateTransform();
}

void L3DObject::SetGouraud(int on) {
    if ((objectFlags & kStatic) != 0 && world != nullptr) {
        world->cluster->SetGouraud(on, nullptr);
        return;
    }
    const int before = IsGouraud();
    objectFlags = on != 0 ? (objectFlags | kGouraud) & ~kUnlit : (objectFlags & ~kGouraud) | kUnlit;
    objectFlags &= ~kLambert;
    if (before != IsGouraud()) {
        SyncCloneFlags(nullptr);
        ForEachChild(children, [on](L3DObject* child) { child->SetGouraud(on); });
    }
    ReprepareAll();
    MarkCameras(world);
}

void L3DObject::SetLambert(int on) {
    if ((objectFlags & kStatic) != 0 && world != nullptr) {
        world->cluster->SetLambert(on, nullptr);
        return;
    }
    const int before = IsLambert();
    objectFlags = on != 0 ? (objectFlags | kLambert) & ~kUnlit : (objectFlags & ~kLambert) | kUnlit;
    objectFlags &= ~kGouraud;
    if (before != IsLambert()) {
        SyncCloneFlags(nullptr);
        ForEachChild(children, [on](L3DObject* child) { child->SetLambert(on); });
    }
    ReprepareAll();
    if (on != 0) MarkCameras(world);
}

void L3DObject::CopyLightingFrom(L3DObject& other) {
    constexpr uint32_t kLighting = kGouraud | kLambert | kUnlit;
    L3DObject& to = other.HasPolygons(0) ? *this : other;
    const L3DObject& from = &to == this ? other : *this;
    if ((to.objectFlags & kLighting) == (from.objectFlags & kLighting)) return;
    to.objectFlags = (to.objectFlags & ~kLighting) | (from.objectFlags & kLighting);
    to.ReprepareAll();
}

void L3DObject::ShowBox(int on, int withChildren) {
    if (on == 0) {
        objectFlags &= ~kBoxShown;
    } else if (IsVisible() != 0 && boxObject != nullptr) {
        objectFlags |= kBoxShown;
        SetRotationChanged(1);
    }
    if (on == 0 || withChildren != 0)
        ForEachChild(children, [&](L3DObject* child) { child->ShowBox(on, withChildren); });
}

void L3DObject::Show() {
    if (typeCode == kPlain && world != nullptr && world->showOnAdd == 0) return;
    ForEachChild(children, [](L3DObject* child) { child->Show(); });
    SetPositionChanged(1);
    objectFlags &= ~kHiddenFlag;
}

void L3DObject::Hide(int withChildren) {
    if (withChildren != 0) ForEachChild(children, [](L3DObject* child) { child->Hide(0); });
    objectFlags = (objectFlags & ~kBoxShown) | kHiddenFlag;
}

void L3DObject::SetCollision(int on) {
    SetFlag(objectFlags, kCollision, on);
    std::copy_n(position, 3, previousPosition);
    SyncCloneFlags(nullptr);
}

void L3DObject::ShowAxis(int on) {
    SetFlag(objectFlags, kAxisShown, on);
    SyncCloneFlags(nullptr);
}

void L3DObject::SetPersistent(int on) {
    if (on != 0)
        objectFlags |= kPersistent;
    else if (parent == nullptr)
        objectFlags &= ~kPersistent;
}

void L3DObject::SetShadowReceiver(int on) {
    SetFlag(objectFlags, kShadowReceiver, on);
    ForEachChild(children, [on](L3DObject* child) { child->SetShadowReceiver(on); });
}

void L3DObject::SetCollisionRadius(float r) {
    collisionRadius = r;
    collisionRadiusSet = 1;
}

float L3DObject::GetCollisionRadius() const {
    return collisionRadiusSet != 0 ? collisionRadius : GetBoundingRadius();
}

void L3DObject::MakeDynamic() {
    objectFlags = (objectFlags & ~kStatic) | kDynamic;
}

void L3DObject::SetCollisionContext(MovementCheck check, uintptr_t data) {
    movementCheck = check;
    movementData = data;
}

void L3DObject::SetCollisionCallback(CollisionChooser fn, int withChildren, uintptr_t data) {
    collisionCallback = fn;
    collisionCallbackData = data;
    if (withChildren != 0)
        ForEachChild(children, [&](L3DObject* c) { c->SetCollisionCallback(fn, 1, data); });
}

void L3DObject::SetCollisionResponseCallback(CollisionNotifier fn, int withChildren,
                                             uintptr_t data) {
    collisionNotification = fn;
    collisionNotificationData = data;
    if (withChildren != 0)
        ForEachChild(children, [&](L3DObject* c) { c->SetCollisionResponseCallback(fn, 1, data); });
}

void L3DObject::SyncCloneFlags(L3DObject* clone) {
    if (world == nullptr || cloneCount < 1) return;
    auto sync = [this](L3DObject* c) {
        const uint32_t keep =
            (c->objectFlags & kBoxShown) != 0 && (objectFlags & kBoxShown) == 0 ? kBoxShown : 0;
        c->objectFlags = objectFlags | keep;
    };
    if (clone != nullptr) {
        sync(clone);
        return;
    }
    for (L3DObject* c : clones)
        sync(c);
}

void L3DObject::RebuildMaterialBatches() {
    if (LCacheMaterialList* batches = GetCurrentBatchList()) {
        batches->RemoveAt(-1);
        ForEachPolygon(GetCurrentPolygonList(), [batches](LPolygon* p) {
            p->batch = nullptr;
            p->Prepare();
            batches->AddPolygon(p->GetMaterial(), p);
        });
    }
    ForEachChild(children, [](L3DObject* child) { child->RebuildMaterialBatches(); });
}

int L3DObject::OptimizeMesh(uint32_t mode) {
    if ((mode & 4) != 0) GroupPolygonsByMaterial();
    return 0;
}

void L3DObject::Scale(float x, float y, float z) {
    if ((objectFlags & (kDynamic | kMovable)) == 0) return;
    const float f[3] = {x, y, z};
    for (int i = 0; i < 3; ++i)
        scale[i] *= f[i];
    SetRotationChanged(1);
    ForEachChild(children, [&](L3DObject* child) {
        for (int i = 0; i < 3; ++i)
            child->relativeOffset[i] *= f[i];
        child->SetPositionChanged(1);
        child->Scale(x, y, z);
    });
    ComputeChildTransform();
    worldTransformValid = 1;
    if (IsVisible() != 0) RecomputeChildren();
}

void L3DObject::ScaleUniform(float f) {
    if ((objectFlags & kStatic) != 0 && world != nullptr) {
        world->cluster->ScaleUniform(f);
        return;
    }
    Scale(f, f, f);
}

void L3DObject::ScalePoints(float f) {
    for (L3DObject* mesh : {boxObject, this}) {
        const LBasePoint* points = mesh != nullptr ? mesh->GetCurrentPointList() : nullptr;
        for (int32_t i = 0; points != nullptr && i < points->GetCount(); ++i)
            for (float& v : points->GetPoint(i)->model)
                v *= f;
        if (points != nullptr) points->ValuesChanged();
    }
    SetRotationChanged(1);
}

namespace {

// The box corners placed by the object's scale, rotation and position.
float BoxExtent(const L3DObject& object, int axis) {
    const LBasePoint* points =
        object.boxObject != nullptr ? object.boxObject->GetCurrentPointList() : nullptr;
    if (points == nullptr || points->GetCount() == 0) return 0;
    const float* w = object.worldMatrix;
    float lo = 0, hi = 0;
    for (int32_t i = 0; i < points->GetCount(); ++i) {
        const float* m = points->GetPoint(i)->model;
        double v = object.position[axis];
        for (int k = 0; k < 3; ++k)
            v += double(w[4 * axis + k]) * ((double(m[k]) + object.hotSpot[k]) * object.scale[k]);
        lo = i == 0 ? float(v) : std::min(lo, float(v));
        hi = i == 0 ? float(v) : std::max(hi, float(v));
    }
    return hi - lo;
}

} // namespace

float L3DObject::GetWidth() const {
    return BoxExtent(*this, 0);
}

float L3DObject::GetHeight() const {
    return BoxExtent(*this, 1);
}

float L3DObject::GetDepth() const {
    return BoxExtent(*this, 2);
}
