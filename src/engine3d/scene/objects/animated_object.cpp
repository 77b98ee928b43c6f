#include "engine3d/scene/objects/animated_object.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/objects/world.h"

namespace {

constexpr size_t kMarkerLength = sizeof kDummyMarker - 1;

void NumberedName(const L3DWorld* world, char* out, size_t size) {
    std::snprintf(out, size, "Object %u", world != nullptr ? world->objectCount : 0u);
}

} // namespace

void CloneSourceName(const L3DObject& source, char* out) {
    const char* name = source.RawName() != nullptr ? source.RawName() : "NoName";
    if (std::strncmp(name, kDummyMarker, kMarkerLength) == 0) name += kMarkerLength;
    const size_t length = std::min(std::strlen(name), size_t(259));
    std::memcpy(out, name, length);
    out[length] = 0;
}

void CopyLocationState(const L3DLocation& from, L3DLocation& to) {
    to.mirrored = from.mirrored;
    MatrixCopy(from.localMatrix, to.localMatrix);
    MatrixCopy(from.worldMatrix, to.worldMatrix);
    std::copy_n(from.hotSpot, 3, to.hotSpot);
    std::copy_n(from.scale, 3, to.scale);
    std::copy_n(from.previousPosition, 3, to.previousPosition);
    std::copy_n(from.position, 3, to.position);
    std::copy_n(from.angles, 3, to.angles);
    to.appliedAnglesValid = from.appliedAnglesValid;
    std::copy_n(from.appliedAngles, 3, to.appliedAngles);
    to.flags = from.flags;
}

int ObjectSequences::SelectSequence(const char* name) {
    const int found = LAnimationIK::SelectSequence(name);
    owner_->SetRotationChanged(1);
    return found;
}

int ObjectSequences::RemoveSequence(const char* name) {
    const SequenceRecord* record = FindSequence(name);
    if (record != nullptr) {
        const bool isMain = SequenceNameEquals(record->name, "Main");
        for (L3DObject* clone : owner_->clones) {
            LAnimationIK* own = clone->Sequences();
            if (own == nullptr || own->currentSequence != record) continue;
            if (isMain)
                own->currentSequence = nullptr;
            else
                own->SelectSequence("Main");
        }
    }
    return LAnimationIK::RemoveSequence(name);
}

void ObjectSequences::SetFrame(int32_t frame) {
    LAnimationIK::SetFrame(frame);
    if (owner_->children != nullptr) {
        owner_->OnBeforeRotate();
        for (LListNode* node = owner_->children->GetHead(); node != nullptr; node = node->next)
            static_cast<L3DObject*>(node->item)->ApplyAnimationFrameToSubtree(currentFrame);
        owner_->OnRotated();
    }
    owner_->SetRotationChanged(1);
}

L3DObject_Animation::L3DObject_Animation(const char* name, L3DWorld* owner, LCLBKObject* link)
    : L3DObject(name, owner, link) {
    sequences_.SelectSequence("Main");
    sequences_.currentFrame = -1;
    typeCode = kAnimated;
    MakeDynamic();
}

L3DObject* L3DObject_Animation::Clone(const L3DLocation* location) {
    char name[32];
    NumberedName(world, name, sizeof name);
    auto* clone = new LAnimationClone(name, world, nullptr);
    if (clone->SetSource(this) == 0) {
        delete clone;
        return nullptr;
    }
    if (world != nullptr) {
        world->AddObject(clone, 0);
        clone->Sequences()->SelectSequence("Main");
    }
    if (location != nullptr) clone->Assign(*location);
    CopySequencesTo(*clone);
    return clone;
}

L3DObject* L3DObject_Animation::Duplicate(const L3DLocation* location) {
    if ((typeCode & 2) == 0) return nullptr;
    char name[32];
    NumberedName(world, name, sizeof name);
    auto* copy = new L3DObject_Animation(name, world, nullptr);
    LAnimationIK& target = *copy->Sequences();
    for (LListNode* node = sequences_.sequences.GetHead(); node != nullptr; node = node->next) {
        const auto* r = static_cast<const SequenceRecord*>(node->item);
        target.SetSequence(r->name, r->flags, r->start, r->end, r->values[0], r->current,
                           r->values[1], r->values[2]);
    }
    target.currentFrame = sequences_.currentFrame;
    target.flags = sequences_.flags;
    target.SelectSequence("Main");
    copy->CopyFromObject(*this);
    if (location != nullptr) copy->Assign(*location);
    CopySequencesTo(*copy);
    std::copy_n(scale, 3, copy->scale);
    return copy;
}

int L3DObject_Animation::Save(ChunkWriter& writer, uint32_t mask) {
    if (IsPersistent() == 0) return 0;
    const uint32_t start = writer.BeginChunk(ChunkTag("OANI"), 0);
    const SequenceRecord* main = sequences_.FindSequence("Main");
    writer.WriteU16(uint16_t(main != nullptr ? main->start : 0));
    writer.WriteU16(uint16_t(main != nullptr ? main->end : 30));
    writer.WriteU16(uint16_t(main != nullptr ? sequences_.currentFrame : 0));
    int failed = sequences_.sequences.GetCount() > 0xFFFF ? 1 : 0;
    writer.WriteU16(uint16_t(sequences_.sequences.GetCount()));
    for (LListNode* node = sequences_.sequences.GetHead(); node != nullptr; node = node->next)
        writer.WriteAnimDef(*static_cast<const SequenceRecord*>(node->item));
    writer.WriteU32(sequences_.flags);
    failed |= SaveObjectRecord(writer, mask);
    return writer.EndChunk(start) == 0 || failed != 0 ? 1 : 0;
}

L3DObjectClone::L3DObjectClone(const char* name, L3DWorld* owner, LCLBKObject* link)
    : L3DObject(name, owner, link) {
    batchingAllowed = 0;
    typeCode = kClone;
}

L3DObjectClone::~L3DObjectClone() {
    if (source == nullptr) return;
    auto& list = source->clones;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    --source->cloneCount;
}

int L3DObjectClone::SetSource(L3DObject* object) {
    if (object == nullptr || object->IsDynamic() == 0) return 0;
    source = object;
    CopyLocationState(*object, *this);
    char name[260];
    CloneSourceName(*object, name);
    object->SetName(name);
    object->MakeDynamic();
    ++object->cloneCount;
    object->clones.push_back(this);
    return 1;
}

int32_t L3DObjectClone::GetPolygonCount(int withChildren) const {
    return source != nullptr ? source->GetPolygonCount(withChildren) : 0;
}

bool L3DObjectClone::HasPolygons(int withChildren) const {
    return source != nullptr && source->HasPolygons(withChildren);
}

void L3DObjectClone::SetWireframe(int on) {
    if (source != nullptr) source->SetWireframe(on);
}

void L3DObjectClone::SetFlat(int on) {
    if (source != nullptr) source->SetFlat(on);
}

void L3DObjectClone::SetMapped(int on) {
    if (source != nullptr) source->SetMapped(on);
}

void L3DObjectClone::SetGouraud(int on) {
    if (source != nullptr) source->SetGouraud(on);
}

void L3DObjectClone::SetLambert(int on) {
    if (source != nullptr) source->SetLambert(on);
}

void L3DObjectClone::Show() {
    if (source != nullptr) source->Show();
}

void L3DObjectClone::Hide(int) {
    if (source != nullptr) source->Hide(0);
}

void L3DObjectClone::SetCollision(int on) {
    if (source != nullptr) source->SetCollision(on);
}

void L3DObjectClone::ShowAxis(int on) {
    if (source != nullptr) source->ShowAxis(on);
}

int L3DObjectClone::IsAxisShown() const {
    return source != nullptr ? source->IsAxisShown() : 0;
}

int L3DObjectClone::IsCollisionOn() const {
    return source != nullptr ? source->IsCollisionOn() : 0;
}

int L3DObjectClone::IsVisible() const {
    return source != nullptr ? source->IsVisible() : 0;
}

int L3DObjectClone::IsGouraud() const {
    return source != nullptr ? source->IsGouraud() : 0;
}

int L3DObjectClone::IsLambert() const {
    return source != nullptr ? source->IsLambert() : 0;
}

int L3DObjectClone::IsDynamic() const {
    return source != nullptr ? source->IsDynamic() : 0;
}

int L3DObjectClone::IsFlat() const {
    return source != nullptr ? source->IsFlat() : 0;
}

int L3DObjectClone::IsWireframe() const {
    return source != nullptr ? source->IsWireframe() : 0;
}

int L3DObjectClone::IsMapped() const {
    return source != nullptr ? source->IsMapped() : 0;
}

void L3DObjectClone::Update(L3DCamera& camera) {
    if (source == nullptr) return;
    savedBatching_ = source->batchingAllowed;
    CopyLocationState(*source, savedLocation_);
    savedBase_ = source->LMultiBasePoly::currentFrame;
    savedFlags_ = source->objectFlags;
    source->objectFlags = objectFlags;
    CopyLocationState(*this, *source);
    source->LMultiBasePoly::currentFrame = LMultiBasePoly::currentFrame;
    source->batchingAllowed = batchingAllowed;
    camera.SetRotationChanged(1);
    source->Update(camera);
    visibleThisFrame = source->visibleThisFrame;
}

void L3DObjectClone::Render(L3DCamera& camera) {
    if (source == nullptr) return;
    camera.SetRotationChanged(1);
    source->Render(camera);
    CopyLocationState(savedLocation_, *source);
    source->objectFlags = savedFlags_;
    source->LMultiBasePoly::currentFrame = savedBase_;
    source->batchingAllowed = savedBatching_;
}

void L3DObjectClone::ComputeWorldTransform(L3DCamera& camera) {
    if (source == nullptr) return;
    L3DObject* box = source->boxObject;
    L3DLocation saved;
    CopyLocationState(*source, saved);
    const int32_t base = source->LMultiBasePoly::currentFrame;
    const uint32_t batching = source->batchingAllowed;
    CopyLocationState(*this, *source);
    source->LMultiBasePoly::currentFrame = LMultiBasePoly::currentFrame;
    source->boxObject = boxObject;
    camera.SetRotationChanged(1);
    source->Update(camera);
    source->ComputeWorldTransform(camera);
    float last[4];
    std::copy_n(source->lastValidPosition, 4, last);
    const float radius = source->boundingRadius;
    const uint32_t radiusValid = source->boundingRadiusValid;
    const uint8_t shown = source->visibleThisFrame;
    CopyLocationState(saved, *source);
    source->LMultiBasePoly::currentFrame = base;
    source->batchingAllowed = batching;
    source->boxObject = box;
    source->Update(camera);
    std::copy_n(last, 4, lastValidPosition);
    boundingRadius = radius;
    boundingRadiusValid = radiusValid;
    visibleThisFrame = shown;
}

void L3DObjectClone::PickAtScreenPoint(L3DCamera& camera, const float* point, L3DObject** outObject,
                                       float* inOutDistance) {
    if (source == nullptr) return;
    L3DLocation saved;
    CopyLocationState(*source, saved);
    const int32_t base = source->LMultiBasePoly::currentFrame;
    CopyLocationState(*this, *source);
    source->LMultiBasePoly::currentFrame = LMultiBasePoly::currentFrame;
    camera.SetRotationChanged(1);
    source->Update(camera);
    L3DObject* found = *outObject;
    source->PickAtScreenPoint(camera, point, &found, inOutDistance);
    *outObject = found == source ? this : found;
    CopyLocationState(saved, *source);
    source->LMultiBasePoly::currentFrame = base;
    source->Update(camera);
}

int L3DObjectClone::Save(ChunkWriter& writer, uint32_t mask) {
    if (IsPersistent() == 0) return 0;
    const int failed = SaveObjectRecord(writer, mask);
    char name[260] = "NoName";
    if (source != nullptr) CloneSourceName(*source, name);
    writer.WriteString(name);
    return failed;
}

LAnimationIK* CloneSequences::SourceSequences() const {
    L3DObject* source = owner_->GetSource();
    return source != nullptr ? source->Sequences() : nullptr;
}

uint32_t CloneSequences::GetSequenceCount() const {
    LAnimationIK* shared = SourceSequences();
    return shared != nullptr ? shared->GetSequenceCount() : 0;
}

int CloneSequences::AddSequence(const char* name, uint8_t flags, int32_t start, int32_t end,
                                int32_t a, int32_t current, int32_t b, int32_t c) {
    LAnimationIK* shared = SourceSequences();
    return shared != nullptr ? shared->AddSequence(name, flags, start, end, a, current, b, c) : 0;
}

int CloneSequences::UpdateSequence(const char* name, uint8_t flags, int32_t start, int32_t end,
                                   int32_t a, int32_t current, int32_t b, int32_t c) {
    LAnimationIK* shared = SourceSequences();
    return shared != nullptr ? shared->UpdateSequence(name, flags, start, end, a, current, b, c)
                             : 0;
}

int CloneSequences::SetSequence(const char* name, uint8_t flags, int32_t start, int32_t end,
                                int32_t a, int32_t current, int32_t b, int32_t c) {
    LAnimationIK* shared = SourceSequences();
    return shared != nullptr ? shared->SetSequence(name, flags, start, end, a, current, b, c) : 0;
}

SequenceRecord* CloneSequences::FindSequence(const char* name) const {
    LAnimationIK* shared = SourceSequences();
    return shared != nullptr ? shared->FindSequence(name) : nullptr;
}

int CloneSequences::SelectSequence(const char* name) {
    SequenceRecord* record = FindSequence(name);
    if (record == nullptr) return 0;
    currentSequence = record;
    currentFrame = record->start;
    return 1;
}

LAnimationClone::LAnimationClone(const char* name, L3DWorld* owner, LCLBKObject* link)
    : L3DObjectClone(name, owner, link) {
    sequences_.currentSequence = nullptr;
    typeCode = kAnimatedClone;
}

void LAnimationClone::Update(L3DCamera& camera) {
    LAnimationIK* shared = source != nullptr ? source->Sequences() : nullptr;
    if (shared != nullptr) {
        savedSequenceFlags_ = shared->flags;
        savedSequenceFrame_ = shared->currentFrame;
        savedSequence_ = shared->currentSequence;
        shared->flags = sequences_.flags;
        shared->currentFrame = sequences_.currentFrame;
        shared->currentSequence = sequences_.currentSequence;
    }
    L3DObjectClone::Update(camera);
}

void LAnimationClone::Render(L3DCamera& camera) {
    L3DObjectClone::Render(camera);
    LAnimationIK* shared = source != nullptr ? source->Sequences() : nullptr;
    if (shared == nullptr) return;
    shared->flags = savedSequenceFlags_;
    shared->currentFrame = savedSequenceFrame_;
    shared->currentSequence = savedSequence_;
}
