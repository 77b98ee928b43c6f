#include "engine3d/scene/mesh/mesh_frames.h"

#include <utility>
#include <vector>

#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/scene_codes.h"

namespace {

LPolygon* PolygonOf(const LListNode* node) {
    return static_cast<LPolygon*>(node->item);
}

} // namespace

LMultiBasePoly::LMultiBasePoly() = default;

LMultiBasePoly::~LMultiBasePoly() {
    RemoveBase(kAllBases, 1);
}

int32_t LMultiBasePoly::CurrentBase() const {
    return currentFrame >= 0 && currentFrame < GetBaseCount() ? currentFrame : -1;
}

void LMultiBasePoly::NotifyGeometryChanged() {
    L3DObject* top = meshOwner;
    while (top != nullptr && top->parent != nullptr)
        top = top->parent;
    if (top != nullptr) top->SetRotationChanged(1);
}

void LMultiBasePoly::SetFrame(int32_t frame) {
    LAnimationIK::SetFrame(frame);
    NotifyGeometryChanged();
}

void LMultiBasePoly::NextFrame() {
    SetFrame(currentFrame + 1);
    NotifyGeometryChanged();
}

void LMultiBasePoly::PreviousFrame() {
    SetFrame(currentFrame - 1);
    NotifyGeometryChanged();
}

int LMultiBasePoly::IsMorphPair(const SequenceRecord* record) const {
    if (record == nullptr || record->end - record->start != 1) return 0;
    if (record->start < 0 || record->end >= GetBaseCount()) return 0;
    return pointLists_[size_t(record->start)]->GetCount() ==
                   pointLists_[size_t(record->end)]->GetCount()
               ? 1
               : 0;
}

int LMultiBasePoly::InsertPolygon(LList& list, LPolygon* polygon) {
    if (CurrentBase() < 0) return kSceneNoCurrentFrame;
    LListNode* node = list.InsertAfter(polygon, nullptr);
    if (node == nullptr) return kSceneNoCurrentFrame;
    node->useCount = 1;
    ++polygon->useCount;
    return kSceneOk;
}

LList* LMultiBasePoly::AddBase() {
    auto* polygons = new LList();
    auto* points = new LBasePoint();
    AddBaseLists(polygons, points);
    return polygons;
}

void LMultiBasePoly::AddBaseLists(LList* polygonList, LBasePoint* pointList) {
    pointList->world = meshOwner != nullptr ? meshOwner->world : nullptr;
    const int32_t zeros[5] = {};
    if (FindSequence("Main") != nullptr)
        WriteSequence(sequences, FindSequence("Main"), "Main", 0, 0, GetBaseCount(), 0, zeros, 5);
    polygonLists_.push_back(polygonList);
    pointLists_.push_back(pointList);
    batchLists_.push_back(new LCacheMaterialList());
    if (CurrentBase() < 0) currentFrame = 0;
}

int LMultiBasePoly::AddPolygon(LPolygon* polygon) {
    const int32_t base = CurrentBase();
    return base < 0 ? kSceneOk : InsertPolygon(*polygonLists_[size_t(base)], polygon);
}

void LMultiBasePoly::DestroyPolygonUse(LPolygon* polygon) {
    if (--polygon->useCount <= 0) {
        if (polygon->backend != nullptr)
            polygon->backend->DeletePolygon(polygon);
        else
            delete polygon;
    } else if (polygon->owner == meshOwner) {
        polygon->owner = nullptr;
        polygon->dirty = 1;
    }
}

int LMultiBasePoly::RemovePolygonFromList(LList& list, int32_t index) {
    int32_t base = -1;
    for (size_t i = 0; i < polygonLists_.size(); ++i)
        if (polygonLists_[i] == &list) base = int32_t(i);
    const int32_t saved = currentFrame;
    if (base >= 0) currentFrame = base;
    int result = kSceneOk;
    if (index == -1) {
        while (LListNode* node = list.GetHead()) {
            LPolygon* polygon = PolygonOf(node);
            const int32_t uses = node->useCount > 1 ? node->useCount : 1;
            list.RemoveNode(node, 1);
            for (int32_t u = 0; u < uses; ++u)
                DestroyPolygonUse(polygon);
        }
    } else {
        LListNode* node = index >= 0 ? list.GetNodeAt(uint32_t(index)) : nullptr;
        if (node == nullptr) {
            result = kSceneBadPolygon;
        } else {
            LPolygon* polygon = PolygonOf(node);
            list.RemoveNode(node, 0);
            DestroyPolygonUse(polygon);
        }
    }
    currentFrame = saved;
    return result;
}

int LMultiBasePoly::RemovePolygon(int32_t index) {
    const int32_t base = CurrentBase();
    return base < 0 ? -1 : RemovePolygonFromList(*polygonLists_[size_t(base)], index);
}

int LMultiBasePoly::RemovePolygonObject(LPolygon* polygon) {
    const int32_t i = GetPolygonIndex(polygon);
    return i < 0 ? kSceneBadPolygon : RemovePolygon(i);
}

LPolygon* LMultiBasePoly::GetPolygonAt(int32_t i) const {
    const LList* list = GetCurrentPolygonList();
    LListNode* node = list != nullptr && i >= 0 ? list->GetNodeAt(uint32_t(i)) : nullptr;
    return node != nullptr ? PolygonOf(node) : nullptr;
}

int32_t LMultiBasePoly::GetPolygonIndex(const LPolygon* polygon) const {
    const LList* list = GetCurrentPolygonList();
    return list != nullptr ? list->IndexOf(polygon) : -1;
}

int32_t LMultiBasePoly::GetIndexOfAdded(const LPolygon* polygon) const {
    const LList* list = GetCurrentPolygonList();
    if (list == nullptr || list->GetTail() == nullptr || list->GetTail()->item != polygon) return -1;
    return int32_t(list->GetCount()) - 1;
}

int32_t LMultiBasePoly::GetPolygonCountOfBase() const {
    const LList* list = GetCurrentPolygonList();
    return list != nullptr ? int32_t(list->GetCount()) : -1;
}

LBasePoint* LMultiBasePoly::GetCurrentPointList() const {
    const int32_t base = CurrentBase();
    return base < 0 ? nullptr : pointLists_[size_t(base)];
}

LList* LMultiBasePoly::GetCurrentPolygonList() const {
    const int32_t base = CurrentBase();
    return base < 0 ? nullptr : polygonLists_[size_t(base)];
}

LCacheMaterialList* LMultiBasePoly::GetCurrentBatchList() const {
    const int32_t base = CurrentBase();
    return base < 0 ? nullptr : batchLists_[size_t(base)];
}

LList* LMultiBasePoly::GetPolygonListOfBase(int32_t i) const {
    return i >= 0 && i < GetBaseCount() ? polygonLists_[size_t(i)] : nullptr;
}

void LMultiBasePoly::RemoveBase(int32_t i, int deleteContents) {
    const int32_t first = i == kAllBases ? 0 : i;
    const int32_t last = i == kAllBases ? GetBaseCount() - 1 : i;
    if (first < 0 || last >= GetBaseCount()) return;
    for (int32_t b = last; b >= first; --b) {
        const size_t k = size_t(b);
        if (deleteContents != 0) {
            // With no current base the polygons only drop their uses on the points, and
            // the point list then deletes the unused points at once instead of one by one.
            const int32_t saved = currentFrame;
            currentFrame = -1;
            // The batches and the list let go of all their polygons at once rather than
            // node by node, each removal from the front of a long list costing its length.
            delete batchLists_[k];
            batchLists_[k] = nullptr;
            LList& polygons = *polygonLists_[k];
            std::vector<std::pair<LPolygon*, int32_t>> uses;
            uses.reserve(polygons.GetCount());
            for (LListNode* node = polygons.GetHead(); node != nullptr; node = node->next)
                uses.emplace_back(PolygonOf(node), node->useCount > 1 ? node->useCount : 1);
            polygons.RemoveAll();
            for (const auto& [polygon, count] : uses)
                for (int32_t u = 0; u < count; ++u)
                    DestroyPolygonUse(polygon);
            currentFrame = saved;
            delete polygonLists_[k];
            pointLists_[k]->ReleaseAfterFaces();
            delete pointLists_[k];
        } else {
            delete batchLists_[k];
        }
        polygonLists_.erase(polygonLists_.begin() + b);
        pointLists_.erase(pointLists_.begin() + b);
        batchLists_.erase(batchLists_.begin() + b);
    }
    if (polygonLists_.empty()) currentFrame = -1;
    basesChanged = 1;
}

void LMultiBasePoly::AppendBasesFrom(LMultiBasePoly& other) {
    for (int32_t b = 0; b < other.GetBaseCount(); ++b) {
        LList* polygons = other.polygonLists_[size_t(b)];
        for (LListNode* node = polygons->GetHead(); node != nullptr; node = node->next) {
            PolygonOf(node)->owner = meshOwner;
            PolygonOf(node)->dirty = 1;
        }
        AddBaseLists(polygons, other.pointLists_[size_t(b)]);
    }
    other.RemoveBase(kAllBases, 0);
    other.AddBase();
    basesChanged = 1;
}

void LMultiBasePoly::CopyFrom(const LMultiBasePoly& other) {
    RemoveBase(kAllBases, 1);
    L3DWorld* world = meshOwner != nullptr ? meshOwner->world : nullptr;
    LAPICLBK* device = world != nullptr ? world->GetAPI() : nullptr;
    for (int32_t b = 0; b < other.GetBaseCount(); ++b) {
        AddBase();
        currentFrame = b;
        pointLists_[size_t(b)]->CopyFrom(*other.pointLists_[size_t(b)]);
        if (device == nullptr) continue;
        auto& source = const_cast<LMultiBasePoly&>(other);
        const int32_t otherSaved = source.currentFrame;
        source.currentFrame = b;
        for (LListNode* node = other.polygonLists_[size_t(b)]->GetHead(); node != nullptr;
             node = node->next) {
            LPolygon* polygon = device->CreatePolygon(meshOwner, 2, 0);
            if (polygon == nullptr) continue;
            if (polygon->CopyFrom(*PolygonOf(node)) != 0) {
                device->DeletePolygon(polygon);
                continue;
            }
            polygonLists_[size_t(b)]->InsertAfter(polygon, nullptr)->useCount = node->useCount;
            polygon->useCount = node->useCount;
        }
        source.currentFrame = otherSaved;
    }
    currentFrame = other.currentFrame;
}

void LMultiBasePoly::GroupPolygonsByMaterial() {
    for (LList* list : polygonLists_) {
        if (list->GetCount() < 2) continue;
        for (LListNode* node = list->GetHead()->next; node != nullptr;) {
            LListNode* next = node->next;
            for (LListNode* earlier = list->GetHead(); earlier != node; earlier = earlier->next) {
                if (PolygonOf(earlier)->GetMaterial() != PolygonOf(node)->GetMaterial()) continue;
                LListNode* behind = earlier->next;
                while (behind != node &&
                       PolygonOf(behind)->GetMaterial() == PolygonOf(node)->GetMaterial())
                    behind = behind->next;
                if (behind != node) list->MoveBefore(node, behind);
                break;
            }
            node = next;
        }
    }
}

int LMultiBasePoly::SaveMesh(ChunkWriter& writer, uint32_t flags) {
    int failed = 0;
    writer.WriteU16(uint16_t(GetBaseCount()));
    const int32_t saved = currentFrame;
    for (int32_t b = 0; b < GetBaseCount(); ++b) {
        currentFrame = b;
        pointLists_[size_t(b)]->Write(writer, flags);
        if (pointLists_[size_t(b)]->GetCount() > 0xFFFF) failed = 1;
        std::vector<LPolygon*> records;
        for (LListNode* node = polygonLists_[size_t(b)]->GetHead(); node != nullptr;
             node = node->next) {
            int32_t index[4];
            int32_t material = 0;
            const int fields = PolygonOf(node)->RecordFields(index, &material);
            if (fields == 0)
                records.push_back(PolygonOf(node));
            else if (fields == 1)
                failed = 1;
        }
        if (records.size() > 0xFFFF) {
            failed = 1;
            records.resize(0xFFFF);
        }
        writer.WriteU16(uint16_t(records.size()));
        for (LPolygon* polygon : records)
            polygon->WriteRecord(writer, flags);
    }
    currentFrame = saved;
    const uint32_t start = writer.BeginChunk(ChunkTag("OANM"), 0);
    const SequenceRecord* main = FindSequence("Main");
    writer.WriteU16(uint16_t(main != nullptr ? main->start : 0));
    writer.WriteU16(uint16_t(main != nullptr ? main->end : 30));
    writer.WriteU16(uint16_t(main != nullptr ? currentFrame : 0));
    writer.WriteU16(uint16_t(sequences.GetCount()));
    for (LListNode* node = sequences.GetHead(); node != nullptr; node = node->next)
        writer.WriteAnimDef(*static_cast<SequenceRecord*>(node->item));
    writer.WriteU32(this->flags);
    writer.EndChunk(start);
    return failed;
}
