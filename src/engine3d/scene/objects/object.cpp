#include "engine3d/scene/objects/object.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "engine3d/scene/lights/light.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/scene_codes.h"
#include "platform/kernel/cp1252.h"

namespace {

constexpr size_t kMarkerLength = sizeof kDummyMarker - 1;

bool NameIs(const char* name, const char* text) {
    return name != nullptr && std::strcmp(name, text) == 0;
}

bool HasMarker(const char* name) {
    return name != nullptr && std::strncmp(name, kDummyMarker, kMarkerLength) == 0;
}

// Corner order of the box faces: min-z, max-x, max-z, min-x, min-y, max-y.
constexpr int kBoxFaces[6][4] = {{0, 3, 2, 1}, {1, 2, 6, 5}, {4, 5, 6, 7},
                                 {0, 4, 7, 3}, {7, 6, 2, 3}, {0, 1, 5, 4}};

} // namespace

L3DObject::L3DObject(const char* name, L3DWorld* owner, LCLBKObject* link)
    : LManageCLBKObject(link) {
    world = owner;
    meshOwner = this;
    MatrixIdentity(parentRelative);
    MatrixIdentity(childMatrix);
    AddBase();
    typeCode = kPlain;
    if (!NameIs(name, "Global_Box") && !NameIs(name, "Base_Cluster") && !NameIs(name, "Cluster"))
        keyTracks = std::make_unique<LKeyTrackSet>();
    SetAnglesAndPosition(0, 0, 0, 0, 0, 0);
    if (name != nullptr) SetName(name);
    if (owner != nullptr && !NameIs(name, "Global_Box") && !NameIs(name, "Base_Cluster"))
        BuildBox();
    SetMirrored(1);
    if (HasMarker(name)) typeCode = kDummy;
}

void L3DObject::BuildBox() {
    LAPICLBK* device = world->GetAPI();
    if (device == nullptr) return;
    objectFlags |= kOwnsBox;
    boxObject = new L3DObject("Global_Box", world, nullptr);
    LBasePoint* points = boxObject->GetCurrentPointList();
    points->DisableMerging();
    L3DPoint* corners[8] = {};
    for (L3DPoint*& corner : corners)
        corner = points->AddPoint(0, 0, 0, 0, 0, 0, 0, 0);
    points->EnableMerging();
    for (const auto& face : kBoxFaces) {
        LPolygon* polygon = device->CreatePolygon(boxObject, 2, 0);
        if (polygon == nullptr) continue;
        polygon->capacity = 4;
        for (int corner : face)
            polygon->AddVertex(corners[corner]);
        boxObject->AddPolygon(polygon, 1);
    }
    boxObject->SetPolygonMaterial(-1, world->GetDefaultMaterial());
}

L3DObject::~L3DObject() {
    // A light that later moved, hid or changed its radius would write into this object.
    for (int i = 0; i < lightCount; ++i)
        lights[i]->ForgetObject(this);
    for (int i = 0; i < secondLightCount; ++i)
        secondLights[i]->ForgetObject(this);
    DestroySet(keyTracks.release());
    delete boxObject;
    boxObject = nullptr;
    while (children != nullptr && children->GetHead() != nullptr)
        delete static_cast<L3DObject*>(children->GetHead()->item);
    delete children;
    children = nullptr;
    if (parent != nullptr) parent->UnlinkChild(this);
    if (world != nullptr && cloneCount >= 1) world->RemoveClonesOf(this);
    // Clones outside the world (or kept by it) outlive their source.
    for (L3DObject* clone : clones) {
        clone->source = nullptr;
        // An animated clone's current sequence was one of this object's records.
        if (LAnimationIK* own = clone->Sequences()) own->currentSequence = nullptr;
    }
    clones.clear();
    name_.reset();
    if (shadow != nullptr) {
        LAPICLBK* device = world != nullptr ? world->GetAPI() : nullptr;
        LMaterial* material = shadow->GetMaterial();
        std::vector<L3DPoint*> corners(shadow->Vertices(),
                                       shadow->Vertices() + shadow->GetVertexCount());
        shadow->RemoveVertexAt(-1);
        for (L3DPoint* corner : corners)
            if (corner->useCount <= 0 && device != nullptr) device->DeletePoint(corner);
        if (device != nullptr)
            device->DeletePolygon(shadow);
        else
            delete shadow;
        if (world != nullptr && material != nullptr && material != world->GetShadowMaterial())
            world->materials.RemoveMaterial(material);
    }
    RemoveBase(kAllBases, 1);
}

void L3DObject::LinkChild(L3DObject* child) {
    if (child == nullptr || child->parent == this) return;
    if (child->parent != nullptr) child->parent->UnlinkChild(child);
    if (children == nullptr) children = new LList();
    children->InsertAfter(child, nullptr);
    child->parent = this;
}

void L3DObject::UnlinkChild(L3DObject* child) {
    if (children == nullptr) return;
    children->RemoveNode(children->FindNode(child), 1);
    child->parent = nullptr;
    if (children->GetCount() == 0) {
        delete children;
        children = nullptr;
    }
}

int32_t L3DObject::GetPolygonCount(int withChildren) const {
    const LList* list = GetCurrentPolygonList();
    int32_t count = list != nullptr ? int32_t(list->GetCount()) : 0;
    if (withChildren == 1)
        ForEachChild(children, [&](L3DObject* child) { count += child->GetPolygonCount(1); });
    return count;
}

bool L3DObject::HasPolygons(int withChildren) const {
    const LList* list = GetCurrentPolygonList();
    if (list != nullptr && list->GetCount() > 0) return true;
    bool any = false;
    if (withChildren == 1)
        ForEachChild(children, [&](L3DObject* child) { any = any || child->HasPolygons(1); });
    return any;
}

int L3DObject::AddPolygon(LPolygon* polygon, int update) {
    const int result = InsertFace(polygon, update);
    if (result == kSceneOk && update == 1) RefreshShape();
    return result;
}

int L3DObject::AddPolygonOfMany(LPolygon* polygon) {
    return InsertFace(polygon, 1);
}

int L3DObject::InsertFace(LPolygon* polygon, int averageNormals) {
    const int n = polygon != nullptr ? polygon->GetVertexCount() : 0;
    if (n != 3 && n != 4) return kSceneBadPolygon;
    LMultiBasePoly::AddPolygon(polygon);
    polygon->ComputePlanes(averageNormals);
    return kSceneOk;
}

void L3DObject::RefreshShape() {
    if (world == nullptr || listedIn != world) return;
    ComputePointNormals(nullptr, nullptr);
    UpdateBox(1);
}

int32_t L3DObject::GetPointCount(int withChildren) const {
    const LBasePoint* points = GetCurrentPointList();
    int32_t count = points != nullptr ? points->GetCount() : 0;
    if (withChildren == 1)
        ForEachChild(children, [&](L3DObject* child) { count += child->GetPointCount(1); });
    return count;
}

int L3DObject::DrawingMode(uint32_t value) const {
    if (!HasPolygons(0)) {
        const L3DObject* first = children != nullptr && children->GetHead() != nullptr
                                     ? static_cast<L3DObject*>(children->GetHead()->item)
                                     : nullptr;
        if (first == nullptr) return 0;
        return value == 4 ? first->IsFlat() : value == 2 ? first->IsWireframe() : first->IsMapped();
    }
    const LCacheMaterialList* batches = GetCurrentBatchList();
    if (batches == nullptr || batches->GetCount() == 0) return 0;
    const LListNode* node = batches->batches.GetHead();
    if (node->next != nullptr) node = node->next;
    const auto* material = static_cast<LCacheMaterial*>(node->item)->material;
    return material != nullptr && (material->mode & value) != 0 ? 1 : 0;
}

void L3DObject::UpdateBox(int update) {
    if (boxObject == nullptr || (objectFlags & kOwnsBox) == 0) return;
    const LBasePoint* points = GetCurrentPointList();
    float lo[3] = {}, hi[3] = {};
    double largest = 0;
    for (int32_t i = 0; points != nullptr && i < points->GetCount(); ++i) {
        const float* p = points->GetPoint(i)->model;
        for (int k = 0; k < 3; ++k) {
            lo[k] = i == 0 ? p[k] : std::min(lo[k], p[k]);
            hi[k] = i == 0 ? p[k] : std::max(hi[k], p[k]);
        }
        largest = std::max(
            largest, std::sqrt(double(p[0]) * p[0] + double(p[1]) * p[1] + double(p[2]) * p[2]));
    }
    boundingRadius = float(largest);
    boundingRadiusValid = 1;
    const float corners[8][3] = {
        {lo[0], hi[1], lo[2]}, {hi[0], hi[1], lo[2]}, {hi[0], lo[1], lo[2]}, {lo[0], lo[1], lo[2]},
        {lo[0], hi[1], hi[2]}, {hi[0], hi[1], hi[2]}, {hi[0], lo[1], hi[2]}, {lo[0], lo[1], hi[2]}};
    LBasePoint* box = boxObject->GetCurrentPointList();
    for (int c = 0; c < 8 && box != nullptr; ++c)
        if (L3DPoint* corner = box->GetPoint(c)) std::copy_n(corners[c], 3, corner->model);
    if (box != nullptr) box->ValuesChanged();
    ForEachPolygon(GetCurrentPolygonList(), [update](LPolygon* p) { p->ComputePlanes(update); });
}

void L3DObject::GetName(char* buffer, int n) const {
    if (n <= 0) return;
    const char* shown = name_ == nullptr ? "NoName" : name_.get();
    if (HasMarker(shown)) shown += kMarkerLength;
    const size_t length = std::min(std::strlen(shown), size_t(n - 1));
    std::memcpy(buffer, shown, length);
    buffer[length] = 0;
}

void L3DObject::SetName(const char* text) {
    if (text == nullptr) return;
    const size_t length = std::strlen(text);
    name_ = std::make_unique<char[]>(length + 1);
    std::memcpy(name_.get(), text, length + 1);
}

L3DObject* L3DObject::FindChild(const char* name) {
    if (name == nullptr) return nullptr;
    if (name_ != nullptr && platform::Cp1252EqualNoCase(name_.get(), name)) return this;
    L3DObject* found = nullptr;
    ForEachChild(children, [&](L3DObject* child) {
        if (found != nullptr) return;
        char shown[256];
        child->GetName(shown, sizeof shown);
        found = platform::Cp1252EqualNoCase(shown, name) ? child : child->FindChild(name);
    });
    return found;
}

int L3DObject::SetPolygonMaterial(int32_t i, LMaterial* material) {
    if (i == -1) {
        ForEachPolygon(GetCurrentPolygonList(),
                       [material](LPolygon* p) { p->SetMaterial(material); });
        return kSceneOk;
    }
    LPolygon* polygon = GetPolygonAt(i);
    if (polygon == nullptr) return kSceneBadPolygon;
    polygon->SetMaterial(material);
    return kSceneOk;
}

void L3DObject::ReplaceMaterial(LMaterial* from, LMaterial* to, int withChildren) {
    std::vector<LPolygon*> matching;
    ForEachPolygon(GetCurrentPolygonList(), [&](LPolygon* p) {
        if (p->GetMaterial() == from) matching.push_back(p);
    });
    for (LPolygon* p : matching)
        p->SetMaterial(to);
    if (withChildren == 1)
        ForEachChild(children, [&](L3DObject* child) { child->ReplaceMaterial(from, to, 1); });
}

void L3DObject::ApplyPlanarMapping() {
    LBasePoint* points = GetCurrentPointList();
    for (int32_t i = 0; points != nullptr && i < points->GetCount(); ++i) {
        L3DPoint* p = points->GetPoint(i);
        const float u = 1.0f - (p->normal[0] + 1.0f) * 0.4878049f;
        const float v = 1.0f - (p->normal[1] + 1.0f) * 0.4878049f;
        p->texture[0] = p->texture[2] = u;
        p->texture[1] = p->texture[3] = v;
    }
    if (points != nullptr) points->ValuesChanged();
}

void L3DObject::ComputePointNormals(LPolygon* polygon, L3DPoint* point) {
    std::vector<L3DPoint*> targets;
    if (point != nullptr) {
        targets.push_back(point);
    } else if (polygon != nullptr) {
        targets.assign(polygon->Vertices(), polygon->Vertices() + polygon->GetVertexCount());
    } else if (const LBasePoint* points = GetCurrentPointList()) {
        for (int32_t i = 0; i < points->GetCount(); ++i)
            targets.push_back(points->GetPoint(i));
    }
    struct Sum {
        double n[3] = {0, 0, 0};
        int count = 0;
    };
    // One pass over the polygons for all the points: a frame of many polygons would
    // otherwise take a pass per point.
    std::unordered_map<const L3DPoint*, Sum> sums;
    for (const L3DPoint* target : targets)
        sums.emplace(target, Sum{});
    ForEachPolygon(GetCurrentPolygonList(), [&](LPolygon* p) {
        const float* n = p->GetPlane(0);
        for (int v = 0; v < p->GetVertexCount(); ++v) {
            const L3DPoint* vertex = p->GetVertex(v);
            // A polygon counts once for a point it holds twice.
            if (p->IndexOfVertex(vertex) != v) continue;
            auto found = sums.find(vertex);
            if (found == sums.end()) continue;
            for (int k = 0; k < 3; ++k)
                found->second.n[k] += n[k];
            ++found->second.count;
        }
    });
    for (L3DPoint* target : targets) {
        const Sum& sum = sums[target];
        const double length =
            std::sqrt(sum.n[0] * sum.n[0] + sum.n[1] * sum.n[1] + sum.n[2] * sum.n[2]);
        for (int k = 0; k < 3; ++k)
            target->normal[k] = sum.count > 0 && length > 0 ? float(sum.n[k] / length) : 0.0f;
    }
}
