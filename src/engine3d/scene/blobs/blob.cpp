#include "engine3d/scene/blobs/blob.h"

#include "engine3d/scene/blobs/blob_list.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"

namespace {

constexpr int32_t kKeep = -99999;
constexpr float kCornerUV[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
constexpr int kTriangles[2][3] = {{3, 1, 0}, {2, 1, 3}};

void Corner(int i, int32_t w, int32_t h, float* xy) {
    const float hw = float(w) / 2, hh = float(h) / 2;
    xy[0] = i < 2 ? -hw : hw;
    xy[1] = i == 0 || i == 3 ? -hh : hh;
}

} // namespace

L3DBlob::L3DBlob(LBase3DBlob* owner, L3DWorld* world, const char* name, uint32_t flags)
    : L3DObject(name, world, nullptr), list(owner) {
    typeCode = kType;
    objectFlags |= flags | kDynamic;
}

L3DBlob::~L3DBlob() {
    if (list != nullptr) list->list.RemoveNode(list->list.FindNode(this), 1);
}

void L3DBlob::BuildMesh() {
    LAPICLBK* device = world != nullptr ? world->GetAPI() : nullptr;
    LBasePoint* points = GetCurrentPointList();
    if (device == nullptr || points == nullptr) return;
    points->DisableMerging();
    L3DPoint* corners[4];
    for (int i = 0; i < 4; ++i) {
        float xy[2];
        Corner(i, width, height, xy);
        const float* uv = kCornerUV[i];
        corners[i] = points->AddPoint(xy[0], xy[1], 0, uv[0], uv[1], uv[0], uv[1], -1);
    }
    points->EnableMerging();
    for (const auto& triangle : kTriangles) {
        LPolygon* polygon = device->CreatePolygon(this, 2, 0);
        if (polygon == nullptr) continue;
        polygon->capacity = 3;
        for (int corner : triangle)
            polygon->AddVertex(corners[corner]);
        AddPolygon(polygon, 1);
        polygon->SetMaterial(world->GetDefaultMaterial());
    }
}

void L3DBlob::MoveCorners() {
    LBasePoint* points = GetCurrentPointList();
    for (int i = 0; i < 4 && i < points->GetCount(); ++i)
        Corner(i, width, height, points->GetPoint(i)->model);
    points->ValuesChanged();
    for (LListNode* node = GetCurrentPolygonList()->GetHead(); node != nullptr; node = node->next)
        static_cast<LPolygon*>(node->item)->ComputePlanes(0);
}

void L3DBlob::SetSize(int32_t w, int32_t h, LMaterial* material) {
    const int32_t newWidth = w == kKeep ? width : w;
    const int32_t newHeight = h == kKeep ? height : h;
    const LBasePoint* points = GetCurrentPointList();
    const bool built = points != nullptr && points->GetCount() >= 4;
    if (newWidth != width || newHeight != height || !built) {
        width = newWidth;
        height = newHeight;
        if (built)
            MoveCorners();
        else
            BuildMesh();
        SetRotationChanged(1);
        UpdateBox(1);
        SetRotationChanged(1);
    }
    LList* polygons = GetCurrentPolygonList();
    if (material == nullptr || polygons == nullptr || polygons->GetHead() == nullptr) return;
    if (static_cast<LPolygon*>(polygons->GetHead()->item)->GetMaterial() == material) return;
    for (LListNode* node = polygons->GetHead(); node != nullptr; node = node->next)
        static_cast<LPolygon*>(node->item)->SetMaterial(material);
}

void L3DBlob::Show() {
    if (list != nullptr && list->blobsShown != 1) return;
    L3DObject::Show();
}

int L3DBlob::Save(ChunkWriter& writer, uint32_t) {
    if (IsPersistent() == 0) return 0;
    LList* polygons = GetCurrentPolygonList();
    const LMaterial* material =
        polygons != nullptr && polygons->GetHead() != nullptr
            ? static_cast<LPolygon*>(polygons->GetHead()->item)->GetMaterial()
            : nullptr;
    const int32_t index =
        material != nullptr && world != nullptr ? world->materials.IndexOf(material) : -1;
    writer.WriteU16(uint16_t(width));
    writer.WriteU16(uint16_t(height));
    writer.WriteU8(material != nullptr ? material->alpha : 255);
    const char* text = RawName();
    writer.WriteString(text != nullptr ? text : "");
    writer.WriteU16(uint16_t(index));
    int failed = SaveChunk(writer) != 0 ? 0 : 1;
    const uint32_t start = writer.BeginChunk(ChunkTag("BLOB"), 0);
    writer.WriteU8(facing);
    if (writer.EndChunk(start) == 0) failed = 1;
    return failed;
}
