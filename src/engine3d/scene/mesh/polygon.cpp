#include "engine3d/scene/mesh/polygon.h"

#include <algorithm>

#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/material_list.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/scene_codes.h"

LPolygon::LPolygon(L3DObject* ownerObject, int, LAPICLBK* device)
    : LManageCLBKObject(nullptr), backend(device), owner(ownerObject) {}

LPolygon::~LPolygon() {
    LeaveBatch(material_);
    RemoveVertexAt(-1);
    if (material_ != nullptr) material_->ReleasePolygon(this);
}

void LPolygon::LeaveBatch(LMaterial* m) {
    if (batch == nullptr) return;
    LCacheMaterialList* list = owner != nullptr ? owner->GetCurrentBatchList() : nullptr;
    if (list != nullptr && list->FindBatch(m) == batch)
        list->RemovePolygon(m, this);
    else
        batch->RemovePolygon(this);
}

void LPolygon::ApplyReflectionCurve() {
    if (material_ == nullptr) return;
    for (L3DPoint* v : vertices_)
        v->reflectionCurve = material_->reflectionCurve;
}

void LPolygon::BeforeVertexChange() {
    LeaveBatch(material_);
}

void LPolygon::AfterVertexChange(int added) {
    if (added >= 0) {
        const L3DPoint* point = vertices_[size_t(added)];
        uv_.insert(uv_.begin() + ptrdiff_t(added) * 4, point->texture, point->texture + 4);
        // The other vertices hold the back end's converted values: the new one is
        // converted the same way.
        if (material_ != nullptr && material_->GetTexture(0) != nullptr)
            PrepareTextureCoordinates();
    }
    ApplyReflectionCurve();
    dirty = 1;
    ComputeRadius();
}

int LPolygon::AddVertex(L3DPoint* point) {
    if (GetVertexCount() >= capacity || point == nullptr) return kScenePolygonFull;
    BeforeVertexChange();
    if (owner != nullptr) {
        if (LBasePoint* list = owner->GetCurrentPointList()) list->AddPointRef(point);
    }
    ++point->useCount;
    vertices_.push_back(point);
    AfterVertexChange(GetVertexCount() - 1);
    return kSceneOk;
}

int LPolygon::AddNewVertex(float x, float y, float z, float u1, float v1, float u2, float v2) {
    return InsertNewVertex(GetVertexCount(), x, y, z, u1, v1, u2, v2);
}

int LPolygon::InsertNewVertex(int index, float x, float y, float z, float u1, float v1, float u2,
                              float v2) {
    if (GetVertexCount() >= capacity) return kScenePolygonFull;
    LBasePoint* list = owner != nullptr ? owner->GetCurrentPointList() : nullptr;
    L3DPoint* point = list != nullptr ? list->AddPoint(x, y, z, u1, v1, u2, v2, -1) : nullptr;
    if (point == nullptr) return kScenePointMissing;
    BeforeVertexChange();
    ++point->useCount;
    const int at = std::clamp(index, 0, GetVertexCount());
    vertices_.insert(vertices_.begin() + at, point);
    AfterVertexChange(at);
    return kSceneOk;
}

void LPolygon::AppendVertex(L3DPoint* point) {
    if (point == nullptr) return;
    BeforeVertexChange();
    ++point->useCount;
    vertices_.push_back(point);
    AfterVertexChange(GetVertexCount() - 1);
}

L3DPoint* LPolygon::GetVertex(int i) const {
    return i >= 0 && i < GetVertexCount() ? vertices_[size_t(i)] : nullptr;
}

int LPolygon::IndexOfVertex(const L3DPoint* point) const {
    const auto it = std::find(vertices_.begin(), vertices_.end(), point);
    return it == vertices_.end() ? -1 : int(it - vertices_.begin());
}

void LPolygon::ReleaseVertex(L3DPoint* point) {
    LBasePoint* list = owner != nullptr ? owner->GetCurrentPointList() : nullptr;
    if (list != nullptr && list->RemovePointRef(point) == kSceneOk) return;
    if (point->useCount > 0) --point->useCount;
}

int LPolygon::RemoveVertex(L3DPoint* point) {
    const int i = IndexOfVertex(point);
    return i < 0 ? kScenePointMissing : RemoveVertexAt(i);
}

int LPolygon::RemoveVertexAt(int i) {
    if (i == -1) {
        BeforeVertexChange();
        std::vector<L3DPoint*> all;
        all.swap(vertices_);
        for (L3DPoint* point : all)
            ReleaseVertex(point);
        uv_.clear();
        uv_.shrink_to_fit();
        dirty = 1;
        return kSceneOk;
    }
    if (i < 0 || i >= GetVertexCount()) return kScenePointMissing;
    BeforeVertexChange();
    L3DPoint* point = vertices_[size_t(i)];
    vertices_.erase(vertices_.begin() + i);
    uv_.erase(uv_.begin() + ptrdiff_t(i) * 4, uv_.begin() + ptrdiff_t(i) * 4 + 4);
    ReleaseVertex(point);
    AfterVertexChange(-1);
    return kSceneOk;
}

void LPolygon::SetUV(int i, float u, float v) {
    if (i < 0 || i >= GetVertexCount()) return;
    uv_[size_t(i) * 4] = u;
    uv_[size_t(i) * 4 + 1] = v;
}

void LPolygon::SetUV2(int i, float u, float v) {
    if (i < 0 || i >= GetVertexCount()) return;
    uv_[size_t(i) * 4 + 2] = u;
    uv_[size_t(i) * 4 + 3] = v;
}

const float* LPolygon::GetUVs(int i) const {
    return i >= 0 && i < GetVertexCount() ? &uv_[size_t(i) * 4] : nullptr;
}

void LPolygon::CopyUVToVertices() {
    for (size_t i = 0; i < vertices_.size(); ++i)
        std::copy_n(&uv_[i * 4], 4, vertices_[i]->vertexUV);
}

void LPolygon::TransformVertices(const float* m) {
    for (L3DPoint* v : vertices_) {
        const double d[3] = {double(v->model[0]) - m[3], double(v->model[1]) - m[7],
                             double(v->model[2]) - m[11]};
        for (int r = 0; r < 3; ++r)
            v->model[r] =
                float(m[4 * r] * d[0] + m[4 * r + 1] * d[1] + m[4 * r + 2] * d[2] + m[4 * r + 3]);
    }
    if (const LBasePoint* list = owner != nullptr ? owner->GetCurrentPointList() : nullptr)
        list->ValuesChanged();
    dirty = 1;
}

void LPolygon::Flip() {
    const int n = GetVertexCount();
    if (n == 3 || n == 4) {
        const size_t other = size_t(n) - 1;
        std::swap(vertices_[1], vertices_[other]);
        std::swap_ranges(uv_.begin() + 4, uv_.begin() + 8, uv_.begin() + ptrdiff_t(other) * 4);
    }
    ComputePlanes(1);
}

void LPolygon::UnshareVertices() {
    LBasePoint* list = owner != nullptr ? owner->GetCurrentPointList() : nullptr;
    for (L3DPoint*& v : vertices_) {
        if (list != nullptr && v->useCount > 1) {
            const bool merging = list->IsMerging();
            list->DisableMerging();
            L3DPoint* copy = list->AddPoint(v->model[0], v->model[1], v->model[2], v->texture[0],
                                            v->texture[1], v->texture[2], v->texture[3], -1);
            if (merging) list->EnableMerging();
            if (copy != nullptr) {
                std::copy_n(v->normal, 3, copy->normal);
                copy->material = v->material;
                copy->useCount = 1;
                --v->useCount;
                v = copy;
            }
        }
        v->batchVertex = nullptr;
        v->renderIndex = L3DPoint::kNoRenderIndex;
    }
    dirty = 1;
}

void LPolygon::ReplaceVertexAt(int i, L3DPoint* point) {
    if (i < 0 || i >= GetVertexCount() || point == nullptr) return;
    vertices_[size_t(i)] = point;
    dirty = 1;
}

L3DWorld* LPolygon::GetWorld() const {
    return owner != nullptr ? owner->world : nullptr;
}

L3DCamera* LPolygon::GetCamera() const {
    L3DWorld* w = GetWorld();
    return w != nullptr ? w->currentCamera : nullptr;
}

void LPolygon::SetMaterial(LMaterial* m) {
    ChangeMaterial(m, nullptr);
}

void LPolygon::SetMaterialWithPoints(LMaterial* m, LAPICLBK* factory) {
    ChangeMaterial(m, factory != nullptr ? factory : backend);
}

L3DPoint* LPolygon::PrivateCopy(const L3DPoint& v, LAPICLBK* factory) {
    if (factory != nullptr)
        return factory->CreatePoint(v.model[0], v.model[1], v.model[2], 0, 0, 0, 0);
    LBasePoint* list = owner->GetCurrentPointList();
    if (list == nullptr) return nullptr;
    const bool merging = list->IsMerging();
    list->DisableMerging();
    L3DPoint* copy = list->AddPoint(v.model[0], v.model[1], v.model[2], 0, 0, 0, 0, -1);
    if (merging) list->EnableMerging();
    return copy;
}

void LPolygon::ChangeMaterial(LMaterial* m, LAPICLBK* factory) {
    // Without a factory the polygon's points belong to its owner's point list; with one,
    // the polygon has no owner and its caller keeps its points.
    const bool owned = factory == nullptr && owner != nullptr;
    LMaterial* old = material_;
    if (old != nullptr && old != m) {
        old->ReleasePolygon(this);
        if (owned) LeaveBatch(old);
    }
    material_ = m;
    if (owned || factory != nullptr) {
        for (L3DPoint*& v : vertices_) {
            if (v->material == nullptr || v->material == m || v->material == old) {
                v->material = m;
                continue;
            }
            L3DPoint* copy = PrivateCopy(*v, factory);
            if (copy == nullptr) continue;
            std::copy_n(v->vertexUV, 4, copy->vertexUV);
            copy->material = m;
            copy->useCount = 1;
            if (owned)
                ReleaseVertex(v);
            else if (v->useCount > 0)
                --v->useCount;
            v = copy;
        }
    }
    if (m == nullptr) return;
    if (m->GetTexture(0) != nullptr) {
        PrepareTexture();
        PrepareTextureCoordinates();
    }
    if (materialNode == nullptr) m->AddPolygon(this);
    ApplyReflectionCurve();
    if (!owned) return;
    if (old != m) {
        if (LCacheMaterialList* batches = owner->GetCurrentBatchList())
            batches->AddPolygon(m, this);
    }
    Prepare();
}

int LPolygon::CopyFrom(const LPolygon& source) {
    if (owner == nullptr || source.owner == nullptr) return 1;
    LBasePoint* mine = owner->GetCurrentPointList();
    LBasePoint* theirs = source.owner->GetCurrentPointList();
    if (mine == nullptr || theirs == nullptr) return 1;
    std::vector<L3DPoint*> counterparts;
    for (L3DPoint* v : source.vertices_) {
        L3DPoint* p = mine->GetPoint(theirs->IndexOf(v));
        if (p == nullptr) return 1;
        counterparts.push_back(p);
    }
    RemoveVertexAt(-1);
    capacity = source.capacity;
    // The copied point list carries the points' uses already.
    vertices_ = std::move(counterparts);
    uv_ = source.uv_;
    SetMaterial(source.material_);
    facingCode = source.facingCode;
    std::copy_n(source.planes_.begin(), 4, planes_.begin());
    std::copy_n(source.averageColor, 4, averageColor);
    dirty = 1;
    Prepare();
    return 0;
}

int LPolygon::RecordFields(int32_t* index, int32_t* materialIndex) const {
    const int n = GetVertexCount();
    if (n != 3 && n != 4) return 2;
    LBasePoint* list = owner != nullptr ? owner->GetCurrentPointList() : nullptr;
    L3DWorld* w = GetWorld();
    if (list == nullptr || w == nullptr) return 1;
    for (int i = 0; i < n; ++i) {
        index[i] = list->IndexOf(vertices_[size_t(i)]);
        if (index[i] < 0 || index[i] > 0xFFFF) return 1;
    }
    *materialIndex =
        w->materials.IndexOf(material_ != nullptr ? material_ : w->GetDefaultMaterial());
    return *materialIndex < 0 || *materialIndex > 0xFFFF ? 1 : 0;
}

int LPolygon::WriteRecord(ChunkWriter& writer, uint32_t) const {
    int32_t index[4];
    int32_t m = 0;
    const int result = RecordFields(index, &m);
    if (result != 0) return result;
    if (GetVertexCount() == 3)
        writer.WriteTriangle(uint16_t(index[0]), uint16_t(index[1]), uint16_t(index[2]),
                             uint16_t(m));
    else
        writer.WriteQuad(uint16_t(index[0]), uint16_t(index[1]), uint16_t(index[2]),
                         uint16_t(index[3]), uint16_t(m));
    return 0;
}
