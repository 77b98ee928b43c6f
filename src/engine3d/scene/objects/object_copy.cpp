// Cloning, duplication and baking an object into the static scene.
#include <algorithm>
#include <cstdio>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/key_track.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/objects/world.h"

namespace {

void NumberedName(const L3DWorld* world, char* out, size_t size) {
    std::snprintf(out, size, "Object %u", world != nullptr ? world->objectCount : 0u);
}

// The key tracks a copy takes: the vector, rotation and single-value ones.
constexpr KeyTrackKind kCopiedTracks[] = {kTrackTranslation, kTrackScale, kTrackRotation,
                                          kTrackMorph, kTrackHide};

void CopyTrack(const LKeyTrack& from, LKeyTrack*& to, KeyTrackKind kind) {
    to = LKeyTrack::Create();
    to->flags = from.flags;
    for (const LKey* key = from.first; key != nullptr; key = key->next) {
        LKey* copy = LKeyTrack::CreateKey();
        copy->tension = key->tension;
        copy->bias = key->bias;
        copy->continuity = key->continuity;
        copy->easeTo = key->easeTo;
        copy->easeFrom = key->easeFrom;
        std::copy_n(key->value, 4, copy->value);
        if (kind == kTrackRotation) std::copy_n(key->orientation, 4, copy->orientation);
        const float frame = std::clamp(key->frame, -2147483648.0f, 2147483520.0f);
        AppendKey(to, copy, key->frame == key->frame ? int32_t(frame) : 0);
    }
}

} // namespace

void L3DObject::CopySequencesTo(L3DObject& other) const {
    const LAnimationIK& mine = *this;
    LAnimationIK& theirs = other;
    int32_t currentIndex = -1, index = 0;
    for (LListNode* node = mine.sequences.GetHead(); node != nullptr; node = node->next, ++index) {
        const auto* r = static_cast<const SequenceRecord*>(node->item);
        if (r == mine.currentSequence) currentIndex = index;
        theirs.SetSequence(r->name, r->flags, r->start, r->end, r->values[0], r->current,
                           r->values[1], r->values[2]);
    }
    LListNode* current =
        currentIndex >= 0 ? theirs.sequences.GetNodeAt(uint32_t(currentIndex)) : nullptr;
    theirs.currentSequence =
        current != nullptr ? static_cast<SequenceRecord*>(current->item) : nullptr;
    theirs.currentFrame = mine.currentFrame;
}

L3DObject* L3DObject::Clone(const L3DLocation* location) {
    if (IsCloneType(typeCode)) {
        if (source == nullptr) return nullptr;
        L3DObject* clone = source->Clone(this);
        if (clone != nullptr && location != nullptr) clone->Assign(*location);
        return clone;
    }
    char name[32];
    NumberedName(world, name, sizeof name);
    auto* clone = new L3DObjectClone(name, world, nullptr);
    if (IsDynamic() == 0) {
        delete clone;
        return nullptr;
    }
    clone->source = this;
    clone->Assign(*this);
    char shown[260];
    GetName(shown, sizeof shown);
    clone->SetName(shown);
    clone->MakeDynamic();
    ++cloneCount;
    clones.push_back(clone);
    SyncCloneFlags(clone);
    if (world != nullptr) world->AddObject(clone, 0);
    if (location != nullptr) clone->Assign(*location);
    CopySequencesTo(*clone);
    return clone;
}

L3DObject* L3DObject::Duplicate(const L3DLocation* location) {
    if ((typeCode & 2) == 0) return nullptr;
    char name[32];
    NumberedName(world, name, sizeof name);
    auto* copy = new L3DObject(name, world, nullptr);
    copy->CopyFromObject(*this);
    if (location != nullptr) copy->Assign(*location);
    CopySequencesTo(*copy);
    std::copy_n(scale, 3, copy->scale);
    return copy;
}

void L3DObject::CopyFromObject(L3DObject& from) {
    std::copy_n(from.angles, 3, angles);
    std::copy_n(from.angles, 3, appliedAngles);
    appliedAnglesValid = 1;
    for (int r = 0; r < 3; ++r)
        std::copy_n(from.worldMatrix + 4 * r, 3, localMatrix + 4 * r);
    std::copy_n(from.position, 3, position);
    std::copy_n(from.position, 3, previousPosition);
    std::copy_n(from.hotSpot, 3, hotSpot);
    if (from.RawName() != nullptr) SetName(from.RawName());
    world = from.world;
    LMultiBasePoly::CopyFrom(from);
    if (from.keyTracks != nullptr && keyTracks != nullptr)
        for (KeyTrackKind kind : kCopiedTracks)
            if (const LKeyTrack* track = from.keyTracks->tracks[kind])
                if (keyTracks->tracks[kind] == nullptr)
                    CopyTrack(*track, keyTracks->tracks[kind], kind);
    if (world != nullptr) world->AddObject(this, 1);
    SetPositionChanged(0);
    ForEachChild(from.children, [&](L3DObject* child) {
        char name[32];
        NumberedName(from.world, name, sizeof name);
        auto* copy = new L3DObject(name, from.world, nullptr);
        copy->MakeDynamic();
        copy->CopyFromObject(*child);
        copy->SetParent(this, 0);
    });
    SetShadowReceiver(from.IsShadowReceiver());
    SetPersistent(from.IsPersistent());
    ShowAxis(from.IsAxisShown());
    SetCollision(from.IsCollisionOn());
    ShowBox(from.IsBoxShown(), 0);
    if (from.IsVisible() != 0)
        Show();
    else
        Hide(1);
    SetLambert(from.IsLambert());
    SetGouraud(from.IsGouraud());
}

void L3DObject::MakeStatic(int optimize) {
    // A static source would leave its clones showing a mesh the octree empties.
    if (IsDynamic() == 0 || cloneCount > 0) return;
    if (parent == nullptr && world != nullptr) {
        SetPositionChanged(1);
        L3DCamera camera(world, 0);
        Update(camera);
        SetPositionChanged(0);
    }
    ForEachChild(children, [optimize](L3DObject* child) { child->MakeStatic(optimize); });
    if (parent != nullptr) SetParent(nullptr, 1);
    if (world == nullptr || listedIn != world) return;
    const uint32_t autoDelete = world->autoDelete;
    world->autoDelete = 0;
    world->RemoveObject(this);
    world->autoDelete = autoDelete;
    objectFlags = (objectFlags & ~kDynamic) | kStatic;
    world->AddStaticObject(this);
    FreezeTransform();
    if (optimize != 0) world->Optimize();
}

void L3DObject::FreezeTransform() {
    float rotation[16];
    MatrixCopy(worldMatrix, rotation);
    if (LBasePoint* points = GetCurrentPointList()) {
        for (int32_t i = 0; i < points->GetCount(); ++i) {
            L3DPoint* p = points->GetPoint(i);
            std::copy_n(p->world, 3, p->model);
            float n[3];
            MatrixRotateVector(rotation, p->normal, n);
            std::copy_n(n, 3, p->normal);
        }
        points->ValuesChanged();
    }
    std::fill_n(scale, 3, 1.0f);
    std::fill_n(position, 3, 0.0f);
    std::fill_n(previousPosition, 3, 0.0f);
    std::fill_n(angles, 3, 0.0f);
    std::fill_n(appliedAngles, 3, 0.0f);
    std::fill_n(hotSpot, 3, 0.0f);
    MatrixIdentity(localMatrix);
    MatrixIdentity(worldMatrix);
    UpdateBox(1);
}
