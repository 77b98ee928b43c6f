#include "engine3d/scene/objects/octree.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"

namespace {

// The box corners in the order of the box object's points.
void Corners(const float* lo, const float* hi, float out[8][3]) {
    const float c[8][3] = {{lo[0], hi[1], lo[2]}, {hi[0], hi[1], lo[2]}, {hi[0], lo[1], lo[2]},
                           {lo[0], lo[1], lo[2]}, {lo[0], hi[1], hi[2]}, {hi[0], hi[1], hi[2]},
                           {hi[0], lo[1], hi[2]}, {lo[0], lo[1], hi[2]}};
    std::copy(&c[0][0], &c[0][0] + 24, &out[0][0]);
}

constexpr int kFaceCorners[6][3] = {{0, 7, 3}, {1, 2, 5}, {0, 1, 4},
                                    {3, 7, 2}, {0, 2, 1}, {4, 5, 6}};

} // namespace

L3DOctreeNode::L3DOctreeNode(const float* min, const float* max, L3DWorld* owner,
                             L3DOctreeNode* parentNode, const char* name)
    : L3DObject(name != nullptr ? name : "Octree", owner, nullptr) {
    typeCode = kOctreeNode;
    SetBox(min, max);
    if (LCacheMaterialList* batches = GetCurrentBatchList()) batches->SetVisibilityTest();
    if (parentNode != nullptr) {
        depth = parentNode->depth + 1;
        parentNode->LinkChild(this);
    }
}

void L3DOctreeNode::SetBox(const float* min, const float* max) {
    std::copy_n(min, 3, min_);
    std::copy_n(max, 3, max_);
    float corners[8][3];
    Corners(min_, max_, corners);
    if (LBasePoint* box = boxObject != nullptr ? boxObject->GetCurrentPointList() : nullptr) {
        for (int c = 0; c < 8 && c < box->GetCount(); ++c) {
            std::copy_n(corners[c], 3, box->GetPoint(c)->model);
            std::copy_n(corners[c], 3, box->GetPoint(c)->world);
        }
        box->ValuesChanged();
    }
    for (int f = 0; f < 6; ++f)
        faces[f].PlaneFromPoints(corners[kFaceCorners[f][0]], corners[kFaceCorners[f][1]],
                                 corners[kFaceCorners[f][2]]);
    double diagonal = 0;
    for (int i = 0; i < 3; ++i) {
        position[i] = previousPosition[i] = (min_[i] + max_[i]) * 0.5f;
        diagonal += double(max_[i] - min_[i]) * (max_[i] - min_[i]);
    }
    boundingRadius = float(std::sqrt(diagonal) * 0.5);
    boundingRadiusValid = 1;
}

L3DOctreeNode* L3DOctreeNode::Child(int i) const {
    LListNode* node = children != nullptr ? children->GetNodeAt(uint32_t(i)) : nullptr;
    return node != nullptr ? static_cast<L3DOctreeNode*>(node->item) : nullptr;
}

bool L3DOctreeNode::Holds(const float* p) const {
    for (int i = 0; i < 3; ++i)
        if (p[i] < min_[i] || p[i] > max_[i]) return false;
    return true;
}

bool L3DOctreeNode::HoldsColumn(const float* p) const {
    return p[0] >= min_[0] && p[0] <= max_[0] && p[2] >= min_[2] && p[2] <= max_[2];
}

void L3DOctreeNode::OctantBox(int i, float* min, float* max) const {
    float corners[8][3];
    Corners(min_, max_, corners);
    for (int k = 0; k < 3; ++k) {
        const float centre = (min_[k] + max_[k]) * 0.5f;
        min[k] = std::min(centre, corners[i - 1][k]);
        max[k] = std::max(centre, corners[i - 1][k]);
    }
}

int L3DOctreeNode::OctantFor(const LPolygon& polygon) const {
    if (polygon.GetVertexCount() == 0) return 0;
    for (int i = 1; i <= 8; ++i) {
        float lo[3], hi[3];
        OctantBox(i, lo, hi);
        auto inside = [&](const float* p) {
            for (int k = 0; k < 3; ++k)
                if (p[k] < lo[k] || p[k] > hi[k]) return false;
            return true;
        };
        if (!inside(polygon.GetVertex(0)->model)) continue;
        for (int v = 1; v < polygon.GetVertexCount(); ++v)
            if (!inside(polygon.GetVertex(v)->model)) return 0;
        return i;
    }
    return 0;
}

int L3DOctreeNode::ChildFor(const LPolygon& polygon) const {
    return OctantFor(polygon);
}

void L3DOctreeNode::MovePolygon(LPolygon& polygon, L3DObject& from, L3DObject& to) {
    LMaterial* material = polygon.GetMaterial();
    if (polygon.batch != nullptr) {
        LCacheMaterialList* batches = from.GetCurrentBatchList();
        if (batches != nullptr && batches->FindBatch(material) == polygon.batch)
            batches->RemovePolygon(material, &polygon);
        else
            polygon.batch->RemovePolygon(&polygon);
    }
    struct Corner {
        float model[3], texture[4], normal[3], uv[4];
    };
    std::vector<Corner> corners(size_t(polygon.GetVertexCount()));
    for (size_t v = 0; v < corners.size(); ++v) {
        const L3DPoint* p = polygon.GetVertex(int(v));
        std::copy_n(p->model, 3, corners[v].model);
        std::copy_n(p->texture, 4, corners[v].texture);
        std::copy_n(p->normal, 3, corners[v].normal);
        std::copy_n(polygon.GetUVs(int(v)), 4, corners[v].uv);
    }
    // The old corners stay in the source's point list, which is emptied as a whole
    // afterwards: releasing them one by one would search the list for each.
    polygon.owner = nullptr;
    polygon.RemoveVertexAt(-1);
    polygon.owner = &to;
    for (const Corner& c : corners) {
        if (polygon.AddNewVertex(c.model[0], c.model[1], c.model[2], c.texture[0], c.texture[1],
                                 c.texture[2], c.texture[3]) != 0)
            continue;
        L3DPoint* added = polygon.GetVertex(polygon.GetVertexCount() - 1);
        std::copy_n(c.normal, 3, added->normal);
        added->material = material;
    }
    for (int v = 0; v < polygon.GetVertexCount() && size_t(v) < corners.size(); ++v) {
        polygon.SetUV(v, corners[size_t(v)].uv[0], corners[size_t(v)].uv[1]);
        polygon.SetUV2(v, corners[size_t(v)].uv[2], corners[size_t(v)].uv[3]);
    }
    --polygon.useCount;
    to.AddPolygon(&polygon, 0);
}

void L3DOctreeNode::EmptyMesh(L3DObject& object) {
    object.RemoveBase(kAllBases, 1);
    object.AddBase();
}

void L3DOctreeNode::Insert(L3DObject& source) {
    const int32_t n = source.GetPolygonCount(0) + (&source != this ? GetPolygonCount(0) : 0);
    LList* list = source.GetCurrentPolygonList();
    if (list == nullptr) return;
    const bool here = &source != this && (n < kMaxPolygons || depth >= kMaxDepth);
    if (!here) {
        if (&source == this) {
            bool anyFits = false;
            ForEachPolygon(list, [&](LPolygon* p) { anyFits = anyFits || OctantFor(*p) != 0; });
            if (depth >= kMaxDepth || !anyFits) return;
        }
        if (children == nullptr) Split();
    }
    // The polygons move, keeping their places in their materials' lists: taking them off
    // the front of the source's list and re-creating only their corners keeps the
    // merge linear in the number of polygons.
    while (LListNode* node = list->GetHead()) {
        auto* polygon = static_cast<LPolygon*>(node->item);
        list->RemoveNode(node, 1);
        L3DObject* target = here ? this : Child(ChildFor(*polygon));
        if (target == nullptr) target = this;
        LBasePoint* points = target->GetCurrentPointList();
        const bool merging = points != nullptr && points->IsMerging();
        // Merging by value searches the whole list per vertex.
        if (points != nullptr && !here) points->DisableMerging();
        MovePolygon(*polygon, source, *target);
        if (merging) points->EnableMerging();
    }
    EmptyMesh(source);
    if (here) return;
    for (int i = 0; i <= 8; ++i)
        if (L3DOctreeNode* child = Child(i))
            if (child->GetPolygonCount(0) > kMaxPolygons) child->Insert(*child);
}

void L3DOctreeNode::Split() {
    char base[260];
    GetName(base, sizeof base);
    char name[300];
    std::snprintf(name, sizeof name, " %s-%d", base, 0);
    new L3DOctreeNode(min_, max_, world, this, name);
    for (int i = 1; i <= 8; ++i) {
        float lo[3], hi[3];
        OctantBox(i, lo, hi);
        std::snprintf(name, sizeof name, " %s-%d", base, i);
        new L3DOctreeNode(lo, hi, world, this, name);
    }
}

void L3DOctreeNode::PrepareGeometry(int force) {
    LBasePoint* points = GetCurrentPointList();
    if (HasPolygons(0) && points != nullptr) {
        for (int32_t i = 0; i < points->GetCount(); ++i) {
            L3DPoint* p = points->GetPoint(i);
            std::copy_n(p->model, 3, p->world);
            p->useCount = 0;
        }
        LCacheMaterialList* batches = GetCurrentBatchList();
        ForEachPolygon(GetCurrentPolygonList(), [&](LPolygon* p) {
            // A batch numbers the points of one material: a corner shared with a face of
            // another material gets a copy of its own.
            LMaterial* material = p->GetMaterial();
            bool duplicated = false;
            for (int v = 0; v < p->GetVertexCount(); ++v) {
                L3DPoint* vertex = p->GetVertex(v);
                if (vertex->useCount > 0 && vertex->material != material) {
                    if (!duplicated && p->batch != nullptr) p->batch->RemovePolygon(p);
                    const bool merging = points->IsMerging();
                    points->DisableMerging();
                    L3DPoint* copy = points->AddPoint(
                        vertex->model[0], vertex->model[1], vertex->model[2], vertex->texture[0],
                        vertex->texture[1], vertex->texture[2], vertex->texture[3], -1);
                    if (merging) points->EnableMerging();
                    if (copy == nullptr) continue;
                    std::copy_n(vertex->model, 3, copy->world);
                    std::copy_n(vertex->normal, 3, copy->normal);
                    p->ReplaceVertexAt(v, copy);
                    vertex = copy;
                    duplicated = true;
                }
                vertex->material = material;
                ++vertex->useCount;
            }
            if ((force != 0 || duplicated) && batches != nullptr && p->batch == nullptr)
                batches->AddPolygon(material, p);
            p->ComputePlanes(0);
            p->ComputeWorldBox();
        });
        points->DropUnused();
        ValidateTransform();
    }
    ForEachChild(children,
                 [force](L3DObject* c) { static_cast<L3DOctreeNode*>(c)->PrepareGeometry(force); });
}

void L3DOctreeNode::ComputeBounds() {
    const LBasePoint* points = GetCurrentPointList();
    if (points == nullptr || points->GetCount() == 0) return;
    float lo[3], hi[3];
    for (int32_t i = 0; i < points->GetCount(); ++i) {
        const float* m = points->GetPoint(i)->model;
        for (int k = 0; k < 3; ++k) {
            lo[k] = i == 0 ? m[k] : std::min(lo[k], m[k]);
            hi[k] = i == 0 ? m[k] : std::max(hi[k], m[k]);
        }
    }
    SetBox(lo, hi);
}

void L3DOctreeNode::QueryBox(std::vector<L3DOctreeNode*>& result, const float* min,
                             const float* max) {
    bool meets = true;
    for (int k = 0; k < 3; ++k)
        meets = meets && max[k] >= min_[k] && min[k] <= max_[k];
    if (meets && HasPolygons(0)) result.push_back(this);
    ForEachChild(children,
                 [&](L3DObject* c) { static_cast<L3DOctreeNode*>(c)->QueryBox(result, min, max); });
}

void L3DOctreeNode::MeasureClearance(const float* point, float* below, float* above) {
    // The floor and the ceiling lie straight below and above the point, wherever it is
    // in height: a node holding the point's column may hold them.
    if (HoldsColumn(point) && HasPolygons(0)) {
        ForEachPolygon(GetCurrentPolygonList(), [&](LPolygon* p) {
            if ((p->facingCode & 2) == 0 || p->ContainsPointXZ(point, 0) == 0) return;
            // The face's height straight above or below the point.
            const float* n = p->GetPlane(0);
            const float* v0 = p->GetVertex(0)->model;
            if (n[1] == 0) return;
            const double floor =
                v0[1] -
                (double(n[0]) * (point[0] - v0[0]) + double(n[2]) * (point[2] - v0[2])) / n[1];
            const double d = double(point[1]) - floor;
            if (d >= 0)
                *below = std::min(*below, float(d));
            else
                *above = std::min(*above, float(-d));
        });
    }
    ForEachChild(children, [&](L3DObject* c) {
        static_cast<L3DOctreeNode*>(c)->MeasureClearance(point, below, above);
    });
}

int32_t L3DOctreeNode::CountPolygons() const {
    int32_t count = GetPolygonCount(0);
    ForEachChild(children,
                 [&](L3DObject* c) { count += static_cast<L3DOctreeNode*>(c)->CountPolygons(); });
    return count;
}

void L3DOctreeNode::ComputeWorldTransform(L3DCamera& camera) {
    if (IsVisible() == 0) {
        visibleThisFrame = 0;
        return;
    }
    if ((camera.L3DLocation::flags & (kPositionChanged | kRotationChanged)) != 0) {
        visibleThisFrame = 0;
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
            break;
        }
    }
    ForEachChild(children, [&camera](L3DObject* c) { c->ComputeWorldTransform(camera); });
}

void L3DOctreeNode::PlacePoint(L3DPoint& point, L3DCamera& camera) {
    point.Project(camera);
}

void L3DOctreeNode::Draw(L3DCamera& camera) {
    if (visibleThisFrame != 0 && IsVisible() != 0 && HasPolygons(0)) {
        MatrixCopy(camera.viewMatrix, modelView);
        ProjectPoints(camera);
        const bool batched = world != nullptr && world->IsAccelerated() != 0 && basesChanged == 0;
        // A batch holds triangles only: the quads and larger faces of a merged mesh go one
        // by one even when the rest is batched.
        ForEachPolygon(GetCurrentPolygonList(), [&](LPolygon* p) {
            if (!batched || p->batch == nullptr) p->Submit(camera);
        });
        if (batched)
            if (LCacheMaterialList* batches = GetCurrentBatchList()) batches->DrawAll(camera, this);
    }
    ForEachChild(children, [&camera](L3DObject* c) { c->Draw(camera); });
}

int L3DOctreeNode::Save(ChunkWriter& writer, uint32_t mask) {
    if (IsPersistent() == 0) return 0;
    const uint32_t start = writer.BeginChunk(ChunkTag("OCTR"), 0);
    writer.WriteVector(min_[0], min_[1], min_[2]);
    writer.WriteVector(max_[0], max_[1], max_[2]);
    const int failed = SaveObjectRecord(writer, mask);
    return writer.EndChunk(start) == 0 || failed != 0 ? 1 : 0;
}
