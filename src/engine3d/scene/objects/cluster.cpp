#include "engine3d/scene/objects/cluster.h"

#include <algorithm>
#include <cmath>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/objects/collision_grid.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/objects/octree.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/plane.h"
#include "engine3d/scene/render/frame_state.h"
#include "engine3d/scene/render/renderer.h"

namespace {

template <typename F> void ForEachListed(const LList& list, F&& f) {
    for (LListNode* node = list.GetHead(); node != nullptr;) {
        LListNode* next = node->next;
        f(static_cast<L3DObject*>(node->item));
        node = next;
    }
}

float TruncateThousandths(float value) {
    return float(std::trunc(double(value) * 1000.0) * 0.001);
}

// Whether a polygon of the material lies in a node seen this frame.
bool ShownInOctree(const LMaterial& material) {
    for (LListNode* node = material.polygons.GetHead(); node != nullptr; node = node->next) {
        const L3DObject* owner = static_cast<LPolygon*>(node->item)->owner;
        if (owner != nullptr && owner->typeCode == L3DObject::kOctreeNode &&
            owner->visibleThisFrame != 0)
            return true;
    }
    return false;
}

// Collides the object with the other and its children; true when any met it.
bool CollideWithTree(L3DCamera& camera, L3DObject& object, L3DObject& other) {
    bool met = object.CollideWithObject(camera, other) != 0;
    ForEachChild(other.children,
                 [&](L3DObject* child) { met = CollideWithTree(camera, object, *child) || met; });
    return met;
}

// An object that did not move meets no other (CollideWithObject asks the same first), so
// the walk over all the others is spared for each object at rest.
bool MovedSinceLastFrame(const L3DObject& object) {
    for (int i = 0; i < 3; ++i)
        if (!(double(object.position[i]) - object.previousPosition[i] == 0)) return true;
    return false;
}

} // namespace

LBase3DCluster::LBase3DCluster(L3DWorld* owner) : L3DObject("Base_Cluster", owner, nullptr) {}

LBase3DCluster::~LBase3DCluster() = default;

void LBase3DCluster::AddDynamic(L3DObject* object) {
    LListNode* node = IsCloneType(object->typeCode)
                          ? dynamicObjects.InsertBefore(object, dynamicObjects.GetHead())
                          : dynamicObjects.InsertAfter(object, nullptr);
    if (node != nullptr) Listed(object, dynamicObjects, node);
}

int LBase3DCluster::RemoveDynamic(L3DObject* object) {
    return Unlist(object, dynamicObjects);
}

int LBase3DCluster::AddStatic(L3DObject* object) {
    if (!object->HasPolygons(1)) return 1;
    if (LListNode* node = staticObjects.InsertAfter(object, nullptr))
        Listed(object, staticObjects, node);
    return 0;
}

int LBase3DCluster::RemoveStatic(L3DObject* object) {
    return Unlist(object, staticObjects);
}

void LBase3DCluster::Listed(L3DObject* object, LList& list, LListNode* node) {
    object->clusterList = &list;
    object->clusterNode = node;
}

int LBase3DCluster::Unlist(L3DObject* object, LList& list) {
    // Every object enters these lists through AddDynamic or AddStatic, which keep its node.
    if (object->clusterList != &list) return 1;
    list.RemoveKnownNode(object->clusterNode);
    object->clusterList = nullptr;
    object->clusterNode = nullptr;
    return 0;
}

void LBase3DCluster::RemoveAll() {
    octree.reset();
    std::fill_n(words, 4, 0u);
    for (LList* list : {&dynamicObjects, &staticObjects}) {
        ForEachListed(*list, [](L3DObject* object) {
            object->clusterList = nullptr;
            object->clusterNode = nullptr;
        });
        list->RemoveAll();
    }
}

void LBase3DCluster::BuildOctree() {
    float lo[3] = {99999.0f, 99999.0f, 99999.0f};
    float hi[3] = {-99999.0f, -99999.0f, -99999.0f};
    ForEachListed(staticObjects, [&](L3DObject* object) {
        float a[4], b[4];
        if (object->GetPointBounds(a, b) == 0) return;
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], a[k]);
            hi[k] = std::max(hi[k], b[k]);
        }
    });
    octree = std::make_unique<L3DOctreeNode>(lo, hi, world, nullptr, nullptr);
}

void LBase3DCluster::Optimize() {
    std::fill_n(words, 4, 0u);
    if (staticObjects.GetCount() > 0 && octree == nullptr) BuildOctree();
    if (octree == nullptr) return;
    while (LListNode* node = staticObjects.GetHead()) {
        auto* object = static_cast<L3DObject*>(node->item);
        // Children are static objects of their own in this list, merged in their turn.
        object->CopyLightingFrom(*octree);
        octree->Insert(*object);
        if (object->clusterNode == node)
            Unlist(object, staticObjects);
        else
            staticObjects.RemoveNode(node, 1);
        if (world != nullptr) world->RemoveObject(object);
    }
    octree->PrepareGeometry(1);
    if (world != nullptr && world->lights != nullptr) world->lights->RelinkAll();
}

int LBase3DCluster::OptimizeObjects(L3DCamera* camera, uint32_t mode) {
    int sum = 0;
    ForEachListed(staticObjects, [&](L3DObject* object) { sum += object->OptimizeMesh(mode); });
    ForEachListed(dynamicObjects, [&](L3DObject* object) { sum += object->OptimizeMesh(mode); });
    if (camera != nullptr) camera->SetRotationChanged(1);
    if (sum != 0) Optimize();
    return sum;
}

void LBase3DCluster::Update(L3DCamera& camera) {
    LRenderAPICLBK* current = GetCurrentRenderer();
    // A camera texture's own frame is drawn into memory: it draws no camera textures, so
    // that the frames do not nest without end.
    if (current != nullptr && (current->stateFlags & LRenderAPICLBK::kNoCameraTextures) == 0 &&
        world != nullptr) {
        bool drewAny = false;
        for (LListNode* node = world->specialMaterials.GetHead(); node != nullptr;
             node = node->next) {
            const auto* material = static_cast<LMaterial*>(node->item);
            const LTexture* texture = material->GetTexture(0);
            if ((material->mode & LMaterial::kCameraTexture) == 0 || texture == nullptr ||
                texture->camera == nullptr || texture->cameraRenderer == nullptr ||
                !ShownInOctree(*material))
                continue;
            texture->camera->SetRotationChanged(1);
            texture->cameraRenderer->RenderFrame();
            texture->camera->SetRotationChanged(1);
            drewAny = true;
        }
        if (drewAny) {
            current->BeginFrame();
            camera.SetRotationChanged(1);
        }
    }
    if (octree != nullptr) {
        octree->ComputeWorldTransform(camera);
        octree->Render(camera);
    }
    ForEachListed(dynamicObjects,
                  [&](L3DObject* object) { object->ComputeWorldTransform(camera); });
}

void LBase3DCluster::ResolveCollisions(L3DCamera& camera, const std::vector<L3DObject*>& extra) {
    std::vector<L3DObject*> objects;
    objects.reserve(dynamicObjects.GetCount());
    ForEachListed(dynamicObjects, [&](L3DObject* object) { objects.push_back(object); });
    // The others are still tried in list order, but only those a mover's path can come
    // near; after each contact the two trees moved, so the rest is looked up again.
    CollisionGrid grid(objects);
    std::vector<size_t> candidates;
    for (size_t i = 0; i < objects.size(); ++i) {
        L3DObject* object = objects[i];
        if (object->IsCollisionOn() == 0) continue;
        if (MovedSinceLastFrame(*object)) {
            for (size_t from = 0; from < objects.size();) {
                grid.Candidates(*object, from, candidates);
                from = objects.size();
                for (size_t k : candidates) {
                    L3DObject* other = objects[k];
                    if (other == object || other->IsCollisionOn() == 0 ||
                        L3DObject::IsAncestor(object, other) ||
                        !CollideWithTree(camera, *object, *other))
                        continue;
                    grid.Refresh(i);
                    grid.Refresh(k);
                    from = k + 1;
                    break;
                }
            }
            // A tree of the extra list hanging under a listed object moves that one too.
            for (L3DObject* other : extra)
                if (other != object && CollideWithTree(camera, *object, *other) &&
                    other->parent != nullptr)
                    grid.Invalidate();
        }
        object->CollideWithPolygons(camera);
        ForEachChild(object->children, [&](L3DObject* child) {
            if (child->IsCollisionOn() != 0) child->CollideWithPolygons(camera);
        });
        grid.Refresh(i);
    }
}

void LBase3DCluster::CheckCollisions(L3DCamera& camera, const std::vector<L3DObject*>& extra) {
    ResolveCollisions(camera, extra);
    LRenderAPICLBK* renderer = GetCurrentRenderer();
    ForEachListed(dynamicObjects, [&](L3DObject* object) {
        object->Update(camera);
        object->Render(camera);
        if (octree == nullptr || renderer == nullptr || object->IsShadowReceiver() == 0 ||
            object->IsVisible() == 0)
            return;
        float outline[5];
        const int strength = object->GetShadowPlane(outline);
        if (strength == 0) return;
        L3DPlane ground;
        ground.PlaneSet(outline[0], outline[1], outline[2], outline[4]);
        renderer->BeginExtraPass(uint32_t(strength));
        object->CastShadowOnPlane(camera, ground, 0);
        renderer->EndExtraPass();
    });
}

void LBase3DCluster::DrawCluster(L3DCamera& camera, const std::vector<L3DObject*>& extra) {
    CheckCollisions(camera, extra);
    Render(camera);
}

void LBase3DCluster::SetSpatialOption(int value) {
    if (value == 0)
        Show();
    else
        Hide(0);
    if (octree != nullptr) octree->ShowBox(value, value);
}

int LBase3DCluster::SetGouraud(int value, L3DObject* object) {
    if (object != nullptr && (object->objectFlags & kDynamic) != 0) return 1;
    if (IsGouraud() == (value != 0 ? 1 : 0)) return 0;
    L3DObject::SetGouraud(value);
    if (octree != nullptr) octree->SetGouraud(value);
    return 0;
}

int LBase3DCluster::SetLambert(int value, L3DObject* object) {
    if (object != nullptr && (object->objectFlags & kDynamic) != 0) return 1;
    if (IsLambert() == (value != 0 ? 1 : 0)) return 0;
    L3DObject::SetLambert(value);
    if (octree != nullptr) octree->SetLambert(value);
    return 0;
}

void LBase3DCluster::ScaleUniform(float factor) {
    ForEachListed(staticObjects, [factor](L3DObject* object) {
        const uint32_t flags = object->objectFlags;
        // Static objects are scaled as if they could move: the request is for them.
        object->objectFlags |= kMovable;
        object->Scale(factor, factor, factor);
        object->objectFlags = flags;
    });
}

void LBase3DCluster::QueryBox(std::vector<L3DOctreeNode*>& result, const float* min,
                              const float* max) {
    if (octree != nullptr) octree->QueryBox(result, min, max);
}

void LBase3DCluster::CollectObjectsInBox(const float* min, const float* max,
                                         std::vector<L3DObject*>& out) {
    const auto visit = [&](auto& self, L3DObject* object) -> void {
        if (object->OverlapsBox(min, max) != 0) out.push_back(object);
        ForEachChild(object->children, [&](L3DObject* child) { self(self, child); });
    };
    for (const LList* list : {&dynamicObjects, &staticObjects})
        for (LListNode* node = list->GetHead(); node != nullptr; node = node->next)
            visit(visit, static_cast<L3DObject*>(node->item));
    std::vector<L3DOctreeNode*> nodes;
    QueryBox(nodes, min, max);
    out.insert(out.end(), nodes.begin(), nodes.end());
}

void LBase3DCluster::CollectPolygons(const float* min, const float* max,
                                     std::vector<LPolygon*>& out) {
    std::vector<L3DOctreeNode*> nodes;
    QueryBox(nodes, min, max);
    for (L3DOctreeNode* node : nodes)
        ForEachPolygon(node->GetCurrentPolygonList(), [&out](LPolygon* p) { out.push_back(p); });
}

void LBase3DCluster::MeasureClearance(const float* point, float* below, float* above) {
    *below = *above = 9999999.0f;
    if (octree != nullptr) octree->MeasureClearance(point, below, above);
    *below = TruncateThousandths(*below);
    *above = TruncateThousandths(*above);
    if ((*below == 9999999.0f && *above <= 0) || (*above == 9999999.0f && *below <= 0))
        *below = *above = 0;
}

void LBase3DCluster::InvalidateOctree() {
    if (octree != nullptr) octree->InvalidateTransform();
}

void LBase3DCluster::PickObject(L3DCamera& camera, const float* point, L3DObject** best,
                                float* distance) {
    ForEachListed(dynamicObjects, [&](L3DObject* object) {
        object->PickAtScreenPoint(camera, point, best, distance);
    });
    ForEachListed(staticObjects, [&](L3DObject* object) {
        object->ComputeWorldTransform(camera);
        if (object->IsVisible() != 0) object->PickAtScreenPoint(camera, point, best, distance);
    });
}

LPolygon* LBase3DCluster::PickPolygon(L3DCamera& camera, const float* point, float limit) {
    float depth = limit;
    L3DObject* found = nullptr;
    LPolygon* polygon = nullptr;
    for (const LList* list : {&dynamicObjects, &staticObjects}) {
        ForEachListed(*list, [&](L3DObject* object) {
            object->ComputeWorldTransform(camera);
            if (object->IsVisible() != 0)
                object->PickPolygonAtScreenPoint(camera, point, &found, &polygon, &depth);
        });
        if (polygon != nullptr) return polygon;
    }
    if (octree != nullptr)
        octree->PickPolygonAtScreenPoint(camera, point, &found, &polygon, &depth);
    return polygon;
}

int32_t LBase3DCluster::CountOctreePolygons() const {
    return octree != nullptr ? octree->CountPolygons() : 0;
}
