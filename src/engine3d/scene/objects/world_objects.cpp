// The world's management of its objects: static registration, the switches applied to
// one object or to all, optimisation and the searches at a screen point.
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/objects/octree.h"
#include "engine3d/scene/objects/world.h"

namespace {

void GiveDefaultMaterial(L3DObject* object, LMaterial* material) {
    ForEachPolygon(object->GetCurrentPolygonList(), [material](LPolygon* p) {
        if (p->GetMaterial() == nullptr) p->SetMaterial(material);
    });
    ForEachChild(object->children,
                 [material](L3DObject* child) { GiveDefaultMaterial(child, material); });
}

void SetCollisionOfTree(L3DObject* object, int value) {
    object->SetCollision(value);
    ForEachChild(object->children, [value](L3DObject* c) { SetCollisionOfTree(c, value); });
}

} // namespace

void L3DWorld::AddStaticObject(L3DObject* object) {
    object->SetWorld(this);
    object->UpdateBox(1);
    LListNode* node = objects.InsertAfter(object, nullptr);
    if (node == nullptr) return;
    object->listedIn = this;
    object->worldNode = node;
    ++objectCount;
    if (object->IsDynamic() != 0) {
        // Baking takes the object out of the list and registers it again, static.
        object->MakeStatic(0);
        return;
    }
    cluster->AddStatic(object);
    object->ComputePointNormals(nullptr, nullptr);
    GiveDefaultMaterial(object, defaultMaterial_);
}

template <typename F> int ForObjects(L3DWorld& world, int32_t i, F&& f) {
    if (i != -1) {
        L3DObject* object = world.GetObjectAt(i);
        if (object == nullptr) return 1;
        f(object);
        return 0;
    }
    for (LListNode* node = world.objects.GetHead(); node != nullptr; node = node->next)
        f(static_cast<L3DObject*>(node->item));
    return 0;
}

int L3DWorld::SetWireframe(int value, int32_t i) {
    const int result = ForObjects(*this, i, [value](L3DObject* o) { o->SetWireframe(value); });
    if (i == -1 && cluster->octree != nullptr) cluster->octree->SetWireframe(value);
    return result;
}

int L3DWorld::SetFlat(int value, int32_t i) {
    const int result = ForObjects(*this, i, [value](L3DObject* o) { o->SetFlat(value); });
    if (i == -1 && cluster->octree != nullptr) cluster->octree->SetFlat(value);
    return result;
}

int L3DWorld::SetMapped(int value, int32_t i) {
    const int result = ForObjects(*this, i, [value](L3DObject* o) { o->SetMapped(value); });
    if (i == -1 && cluster->octree != nullptr) cluster->octree->SetMapped(value);
    return result;
}

int L3DWorld::SetGouraud(int value, int32_t i) {
    int result = 0;
    if (i == -1) {
        cluster->SetGouraud(value, nullptr);
        ForObjects(*this, -1, [value](L3DObject* o) {
            if ((o->objectFlags & L3DObject::kStatic) == 0) o->SetGouraud(value);
        });
    } else {
        result = ForObjects(*this, i, [value](L3DObject* o) { o->SetGouraud(value); });
    }
    cameras.NotifyAll(1);
    return result;
}

int L3DWorld::SetLambert(int value, int32_t i) {
    int result = 0;
    if (i == -1) {
        cluster->SetLambert(value, nullptr);
        ForObjects(*this, -1, [value](L3DObject* o) {
            if ((o->objectFlags & L3DObject::kStatic) == 0) o->SetLambert(value);
        });
    } else {
        result = ForObjects(*this, i, [value](L3DObject* o) { o->SetLambert(value); });
    }
    if (value != 0) cameras.NotifyAll(1);
    return result;
}

int L3DWorld::Scale(float x, float y, float z, int32_t i) {
    return ForObjects(*this, i, [&](L3DObject* o) {
        if (i != -1 || (o->objectFlags & L3DObject::kStatic) == 0) o->Scale(x, y, z);
    });
}

int L3DWorld::ShowObjects(int32_t i) {
    return ForObjects(*this, i, [](L3DObject* o) { o->Show(); });
}

int L3DWorld::HideObjects(int32_t i) {
    return ForObjects(*this, i, [](L3DObject* o) { o->Hide(0); });
}

int L3DWorld::ShowObjectBox(int value, int32_t i) {
    const int result = ForObjects(*this, i, [value](L3DObject* o) { o->ShowBox(value, 0); });
    if (value != 0) cameras.NotifyAll(1);
    return result;
}

int L3DWorld::ShowObjectAxis(int value, int32_t i) {
    return ForObjects(*this, i, [value](L3DObject* o) { o->ShowAxis(value); });
}

int L3DWorld::SetCollision(int value, int32_t i) {
    if (i != -1) return ForObjects(*this, i, [value](L3DObject* o) { o->SetCollision(value); });
    return ForObjects(*this, -1, [value](L3DObject* o) { SetCollisionOfTree(o, value); });
}

void L3DWorld::SetSpatialOption(int value) {
    constexpr uint32_t kSpatialOption = 0x4000;
    worldFlags = value != 0 ? worldFlags | kSpatialOption : worldFlags & ~kSpatialOption;
    cluster->SetSpatialOption(value);
}

void L3DWorld::Optimize() {
    cluster->Optimize();
}

int L3DWorld::OptimizeSpatial(L3DCamera* camera, uint32_t mode) {
    return cluster->OptimizeObjects(camera, mode);
}

LPolygon* L3DWorld::FindPolygonAt(L3DCamera& camera, const float* point) {
    if (camera.renderer == nullptr) return nullptr;
    return cluster->PickPolygon(camera, point, 65536.0f);
}

L3DObject* L3DWorld::FindObjectAt(L3DCamera& camera, const float* point, uint32_t kinds) {
    if (camera.renderer == nullptr) return nullptr;
    float distance = 1000000.0f;
    L3DObject* best = nullptr;
    if ((kinds & 2) != 0) cluster->PickObject(camera, point, &best, &distance);
    if ((kinds & 64) != 0) lights->PickAll(camera, point, &best, &distance);
    if ((kinds & 16) != 0) zones.PickAll(camera, point, &best, &distance);
    if ((kinds & 4) != 0) cameras.PickAll(camera, point, &best, &distance);
    if ((kinds & 8) != 0)
        for (L3DObject* blob : blobs.Blobs())
            blob->PickAtScreenPoint(camera, point, &best, &distance);
    if ((kinds & 32) != 0) sounds.PickAll(camera, point, &best, &distance);
    return best;
}
