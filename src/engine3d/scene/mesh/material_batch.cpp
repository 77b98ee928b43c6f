#include "engine3d/scene/mesh/material_batch.h"

#include <unordered_set>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/prefetch.h"
#include "engine3d/scene/render/renderer.h"

namespace {

void ForgetVertices(LPolygon* polygon) {
    for (int i = 0; i < polygon->GetVertexCount(); ++i) {
        L3DPoint* v = polygon->GetVertex(i);
        v->batchVertex = nullptr;
        v->renderIndex = L3DPoint::kNoRenderIndex;
    }
}

} // namespace

LCacheMaterial::~LCacheMaterial() {
    for (LListNode* node = triangles.GetHead(); node != nullptr; node = node->next) {
        auto* polygon = static_cast<LPolygon*>(node->item);
        ForgetVertices(polygon);
        polygon->batch = nullptr;
    }
}

void LCacheMaterial::AddPolygon(LPolygon* polygon) {
    if (polygon->GetVertexCount() != 3 || polygon->batch == this) return;
    if (triangles.InsertAfter(polygon, nullptr) == nullptr) return;
    polygon->batch = this;
    orderedValid_ = false;
    for (int i = 0; i < 3; ++i) {
        L3DPoint* v = polygon->GetVertex(i);
        if (v->renderIndex != L3DPoint::kNoRenderIndex) continue;
        if (vertexCount < kMaxVertices) v->renderIndex = uint16_t(vertexCount);
        ++vertexCount;
    }
    dirty = 1;
}

void LCacheMaterial::RemovePolygon(LPolygon* polygon) {
    LListNode* node = triangles.FindNode(polygon);
    if (node == nullptr) return;
    triangles.RemoveNode(node, 1);
    polygon->batch = nullptr;
    orderedValid_ = false;
    for (int i = 0; i < polygon->GetVertexCount(); ++i) {
        L3DPoint* v = polygon->GetVertex(i);
        v->batchVertex = nullptr;
        if (v->renderIndex != L3DPoint::kNoRenderIndex && vertexCount > 0) --vertexCount;
        v->renderIndex = L3DPoint::kNoRenderIndex;
    }
    dirty = 1;
}

const std::vector<LPolygon*>& LCacheMaterial::Triangles() {
    if (!orderedValid_) {
        ordered_.clear();
        ordered_.reserve(triangles.GetCount());
        for (LListNode* node = triangles.GetHead(); node != nullptr; node = node->next)
            ordered_.push_back(static_cast<LPolygon*>(node->item));
        orderedValid_ = true;
    }
    return ordered_;
}

void LCacheMaterial::Rebuild(L3DCamera& camera, L3DObject* object) {
    if (dirty == 0 || triangles.GetCount() == 0) return;
    L3DWorld* world = object != nullptr ? object->world : nullptr;
    if (world != nullptr && material == world->GetShadowMaterial()) return;
    for (LListNode* node = triangles.GetHead(); node != nullptr; node = node->next)
        ForgetVertices(static_cast<LPolygon*>(node->item));
    // Numbering goes on past 65535 only to learn that the batch cannot be drawn at once.
    std::unordered_set<L3DPoint*> seen;
    std::vector<L3DPoint*> numbered;
    for (LListNode* node = triangles.GetHead(); node != nullptr; node = node->next) {
        auto* polygon = static_cast<LPolygon*>(node->item);
        for (int i = 0; i < polygon->GetVertexCount(); ++i) {
            L3DPoint* v = polygon->GetVertex(i);
            if (seen.insert(v).second) numbered.push_back(v);
        }
    }
    vertexCount = uint32_t(numbered.size());
    indices.assign(size_t(triangles.GetCount()) * 3, 0);
    indexCount = 0;
    built = true;
    dirty = 0;
    if (!IsBatchable()) {
        records.clear();
        // Drawn one by one: their points still need this frame's projection.
        if (object != nullptr)
            for (L3DPoint* v : numbered)
                object->PlacePoint(*v, camera);
        return;
    }
    records.assign(vertexCount + 2, RenderVertex{});
    const uint32_t c = material->color;
    const uint32_t diffuse = 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
    // A lit object's records keep the lit colours the projection gave them: the first frame
    // after a rebuild is lit as the ones after it are.
    const bool lit = object != nullptr && (object->IsGouraud() != 0 || object->IsLambert() != 0);
    for (uint32_t n = 0; n < vertexCount; ++n) {
        L3DPoint* v = numbered[n];
        v->renderIndex = uint16_t(n);
        RenderVertex& record = records[n];
        v->batchVertex = &record;
        if (object != nullptr) object->PlacePoint(*v, camera);
        record.u1 = v->texture[0];
        record.v1 = v->texture[1];
        record.u2 = v->texture[2];
        record.v2 = v->texture[3];
        if (!lit) record.diffuse = diffuse;
    }
}

void LCacheMaterial::Draw(L3DCamera& camera, L3DObject* object) {
    if (indexCount == 0 || (material->mode & LMaterial::kHidden) != 0) return;
    if (camera.renderer != nullptr) camera.renderer->DrawPolygonBatch(this, &camera, object);
}

LCacheMaterialList::~LCacheMaterialList() {
    RemoveAt(-1);
}

LCacheMaterial* LCacheMaterialList::FindBatch(const LMaterial* material) const {
    for (LListNode* node = batches.GetHead(); node != nullptr; node = node->next) {
        auto* batch = static_cast<LCacheMaterial*>(node->item);
        if (batch->material == material) return batch;
    }
    return nullptr;
}

void LCacheMaterialList::AddPolygon(LMaterial* material, LPolygon* polygon) {
    if (polygon->GetVertexCount() != 3) return;
    LCacheMaterial* batch = FindBatch(material);
    if (batch == nullptr) {
        batch = new LCacheMaterial(material);
        batches.InsertAfter(batch, nullptr);
    }
    batch->AddPolygon(polygon);
}

void LCacheMaterialList::RemovePolygon(LMaterial* material, LPolygon* polygon) {
    LCacheMaterial* batch = FindBatch(material);
    if (batch == nullptr) return;
    batch->RemovePolygon(polygon);
    if (batch->triangles.GetCount() == 0) {
        batches.RemoveNode(batches.FindNode(batch), 1);
        delete batch;
    }
}

int LCacheMaterialList::RemoveAt(int32_t i) {
    if (i == -1) {
        while (LListNode* node = batches.GetHead()) {
            auto* batch = static_cast<LCacheMaterial*>(node->item);
            batches.RemoveNode(node, 1);
            delete batch;
        }
        return 0;
    }
    LListNode* node = i >= 0 ? batches.GetNodeAt(uint32_t(i)) : nullptr;
    if (node == nullptr) return 1;
    auto* batch = static_cast<LCacheMaterial*>(node->item);
    batches.RemoveNode(node, 1);
    delete batch;
    return 0;
}

void LCacheMaterialList::RemoveMaterial(const LMaterial* material) {
    while (LCacheMaterial* batch = FindBatch(material)) {
        batches.RemoveNode(batches.FindNode(batch), 1);
        delete batch;
    }
}

void LCacheMaterialList::Gather(LCacheMaterial& batch, L3DCamera& camera, L3DObject* object) {
    const bool hasClones = object != nullptr && object->cloneCount > 0;
    if (!batch.IsBatchable() || (!hasClones && batch.material->NeedsBlending())) {
        batch.indexCount = 0;
        for (LPolygon* polygon : batch.Triangles())
            polygon->Submit(camera);
        return;
    }
    auto append = [&batch](const LPolygon* polygon) {
        L3DPoint* const* corners = polygon->Vertices();
        for (int i = 0; i < 3; ++i)
            batch.indices[batch.indexCount++] = corners[i]->renderIndex;
    };
    if (testVisibility != 0) {
        batch.indexCount = 0;
        const L3DWorld* world = object != nullptr ? object->world : nullptr;
        const bool culling = world != nullptr && world->backFaceCulling != 0;
        const std::vector<LPolygon*>& all = batch.Triangles();
        for (size_t i = 0; i < all.size(); ++i) {
            // Each polygon is fetched well ahead, its corners and planes half as far.
            if (i + kPrefetchAhead < all.size())
                PrefetchBytes(all[i + kPrefetchAhead], sizeof(LPolygon));
            if (i + kPrefetchAhead / 2 < all.size())
                all[i + kPrefetchAhead / 2]->PrefetchGeometry();
            LPolygon* polygon = all[i];
            uint16_t code;
            if (culling) {
                if (!polygon->IsFrontFacing()) continue;
                code = polygon->ComputeVisibility(camera);
            } else {
                if (polygon->visibility == LPolygon::kCulled) continue;
                code = polygon->visibility;
            }
            if (code == LPolygon::kInside)
                append(polygon);
            else if (code == LPolygon::kCrossing)
                polygon->Draw(camera);
        }
        return;
    }
    const uint32_t all = batch.triangles.GetCount() * 3;
    if (batch.indexCount == all) return;
    batch.indexCount = 0;
    for (LPolygon* polygon : batch.Triangles())
        append(polygon);
}

void LCacheMaterialList::DrawAll(L3DCamera& camera, L3DObject* object) {
    LListNode* node = batches.GetHead();
    while (node != nullptr) {
        LListNode* next = node->next;
        auto* batch = static_cast<LCacheMaterial*>(node->item);
        batch->Rebuild(camera, object);
        if (!batch->built) {
            batches.RemoveNode(node, 1);
            delete batch;
        } else {
            Gather(*batch, camera, object);
            if (batch->indexCount != 0) batch->Draw(camera, object);
        }
        node = next;
    }
}
