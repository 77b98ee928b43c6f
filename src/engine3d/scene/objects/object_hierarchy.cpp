// Parents and children: re-parenting, the child's world transform composed from its
// parent's, children carried along by moves and turns, and the frames an animated
// ancestor drives through the children's key tracks.
#include <algorithm>

#include "engine3d/scene/key_track.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/quaternion.h"
#include "engine3d/scene/scene_codes.h"

namespace {

// A clone in the subtree whose source is `ancestor`.
bool SubtreeHasCloneOf(const L3DObject* object, const L3DObject* ancestor) {
    if (IsCloneType(object->typeCode) && object->source == ancestor) return true;
    bool found = false;
    ForEachChild(object->children,
                 [&](L3DObject* child) { found = found || SubtreeHasCloneOf(child, ancestor); });
    return found;
}

void SetAnimationSourceOfSubtree(L3DObject* object, L3DObject* source) {
    object->SetAnimationSource(source);
    ForEachChild(object->children,
                 [source](L3DObject* child) { SetAnimationSourceOfSubtree(child, source); });
}

void FillCache(L3DObject& child, const L3DObject& parent) {
    std::copy_n(parent.angles, 3, child.parentCache);
    std::copy_n(parent.position, 3, child.parentCache + 3);
    std::copy_n(child.angles, 3, child.parentCache + 6);
    std::copy_n(child.scale, 3, child.parentCache + 9);
}

bool CacheHolds(const L3DObject& child, const L3DObject& parent) {
    float now[12];
    std::copy_n(parent.angles, 3, now);
    std::copy_n(parent.position, 3, now + 3);
    std::copy_n(child.angles, 3, now + 6);
    std::copy_n(child.scale, 3, now + 9);
    return std::equal(now, now + 12, child.parentCache);
}

void ClearTranslation(float* m) {
    m[3] = m[7] = m[11] = 0;
}

// The driven key of a track at frame 0 tells that the track drives the child.
bool Drives(const LKeyTrack* track) {
    return track != nullptr && HasKeyAt(track, 0) != 0;
}

} // namespace

L3DObject* L3DObject::Root() {
    L3DObject* top = this;
    while (top->parent != nullptr)
        top = top->parent;
    return top;
}

bool L3DObject::IsAncestor(const L3DObject* a, const L3DObject* b) {
    for (const L3DObject* x = a; x != nullptr; x = x->parent)
        for (const L3DObject* y = b; y != nullptr; y = y->parent)
            if (x == y) return true;
    return false;
}

void L3DObject::SetAnimationSource(L3DObject* object) {
    if (animationSource == object) return;
    animationSource = object;
    frameApplied = 0;
}

int32_t L3DObject::SourceFrame() const {
    LAnimationIK* sequences = animationSource != nullptr ? animationSource->Sequences() : nullptr;
    return sequences != nullptr ? sequences->currentFrame : -1;
}

int L3DObject::SetParent(L3DObject* newParent, int keepAnimation) {
    for (const L3DObject* a = newParent; a != nullptr; a = a->parent)
        // A cycle would make every walk over the children endless.
        if (a == this || SubtreeHasCloneOf(this, a)) return kSceneParentRefused;
    if (newParent == parent) {
        if (parent != nullptr) SetRelativeData();
        return kSceneOk;
    }
    if (newParent == nullptr) {
        L3DObject* root = Root();
        parent->UnlinkChild(this);
        if (root->typeCode == kAnimated && keepAnimation == 0 && world != nullptr) {
            auto* holder = new L3DObject_Animation(RawName(), world, nullptr);
            if (const SequenceRecord* main = root->Sequences()->FindSequence("Main"))
                holder->Sequences()->SetSequence("Main", main->flags, main->start, main->end,
                                                 main->values[0], main->current, main->values[1],
                                                 main->values[2]);
            world->AddObject(holder, 0);
            holder->LinkChild(this);
            SetAnimationSource(holder);
            SetRelativeData();
        } else {
            if (world != nullptr) world->AddObject(this, 0);
            if (animationSource != nullptr) SetAnimationSourceOfSubtree(this, nullptr);
        }
        return kSceneOk;
    }
    L3DObject* driver = newParent->typeCode == kAnimated ? newParent : newParent->animationSource;
    if (parent == nullptr) {
        if (world != nullptr) {
            const uint32_t autoDelete = world->autoDelete;
            world->autoDelete = 0;
            world->RemoveObject(this);
            world->autoDelete = autoDelete;
        }
        SetAnimationSourceOfSubtree(this, driver);
        if (typeCode == kAnimated && keepAnimation == 0) {
            ForEachChild(children, [newParent](L3DObject* child) {
                newParent->LinkChild(child);
                child->SetRelativeData();
            });
            delete this;
            return kSceneOk;
        }
    } else {
        parent->UnlinkChild(this);
        SetAnimationSourceOfSubtree(this, driver);
    }
    newParent->LinkChild(this);
    SetRelativeData();
    if (animationSource != nullptr && (frameApplied == 0 || SourceFrame() != cachedFrame) &&
        SourceFrame() >= 0)
        ApplyAnimationFrame(SourceFrame());
    return kSceneOk;
}

void L3DObject::SetRelativeData() {
    if (parent == nullptr) return;
    MatrixInvert(parent->localMatrix, parentRelative);
    ClearTranslation(parentRelative);
    for (int i = 0; i < 3; ++i)
        relativeOffset[i] = position[i] - parent->position[i];
    MatrixCopy(localMatrix, childMatrix);
    ClearTranslation(childMatrix);
    FillCache(*this, *parent);
}

void L3DObject::ComputeChildTransform() {
    const int32_t frame = animationSource != nullptr ? SourceFrame() : cachedFrame;
    if (parent == nullptr || (frame == cachedFrame && CacheHolds(*this, *parent))) {
        localMatrix[3] = position[0];
        localMatrix[7] = position[1];
        localMatrix[11] = position[2];
        MatrixCopy(localMatrix, worldMatrix);
    } else {
        float m[16];
        MatrixMultiply(parent->worldMatrix, parentRelative, m);
        float offset[3];
        MatrixRotateVector(m, relativeOffset, offset);
        position[0] = offset[0] + m[3];
        position[1] = offset[1] + m[7];
        position[2] = offset[2] + m[11];
        MatrixMultiply(m, childMatrix, worldMatrix);
        worldMatrix[3] = position[0];
        worldMatrix[7] = position[1];
        worldMatrix[11] = position[2];
        // The derived rotation becomes the child's own, so that a later turn starts from it.
        MatrixGetEulerAngles(worldMatrix, angles);
        std::copy_n(angles, 3, appliedAngles);
        appliedAnglesValid = 1;
        MatrixCopy(worldMatrix, localMatrix);
        FillCache(*this, *parent);
        cachedFrame = frame;
    }
    if (boxObject != nullptr) std::copy_n(position, 3, boxObject->position);
}

void L3DObject::RecomputeChildren() {
    ForEachChild(children, [](L3DObject* child) {
        if (child->IsVisible() == 0) return;
        child->ComputeChildTransform();
        child->worldTransformValid = 1;
        child->SetPositionChanged(1);
        child->RecomputeChildren();
    });
}

void L3DObject::OnMoved() {
    if (boxObject != nullptr) std::copy_n(position, 3, boxObject->position);
    if (parent != nullptr && followParent != 0) {
        float movement[3];
        for (int i = 0; i < 3; ++i)
            movement[i] = position[i] - previousPosition[i];
        L3DObject* top = this;
        while (top->parent != nullptr && top->followParent != 0)
            top = top->parent;
        for (int i = 0; i < 3; ++i)
            top->position[i] = top->previousPosition[i] + movement[i];
        if (top->boxObject != nullptr) std::copy_n(top->position, 3, top->boxObject->position);
        top->SetPositionChanged(1);
        top->OnMoved();
        return;
    }
    // A child that does not pull its parent keeps its new place relative to it.
    if (parent != nullptr) SetRelativeData();
    ComputeChildTransform();
    worldTransformValid = 1;
    RecomputeChildren();
}

void L3DObject::OnRotated() {
    if (animationSource != nullptr) {
        const int32_t frame = SourceFrame();
        if (frame >= 0 && (frameApplied == 0 || frame != cachedFrame)) ApplyAnimationFrame(frame);
    } else {
        SetRelativeData();
    }
    ComputeChildTransform();
    worldTransformValid = 1;
    RecomputeChildren();
}

void L3DObject::OnBeforeRotate() {
    if ((L3DLocation::flags & (kPositionChanged | kRotationChanged)) == 0 ||
        worldTransformValid != 0)
        return;
    if (parent != nullptr) parent->OnBeforeRotate();
    ComputeChildTransform();
    worldTransformValid = 1;
}

namespace {

void SetFlagDown(L3DObject* object, uint32_t bit, int on) {
    object->L3DLocation::flags =
        on != 0 ? object->L3DLocation::flags | bit : object->L3DLocation::flags & ~bit;
    ForEachChild(object->children, [&](L3DObject* child) { SetFlagDown(child, bit, on); });
}

void SetFlagUp(L3DObject* object, uint32_t bit, int on) {
    for (L3DObject* a = object->parent; a != nullptr; a = a->parent)
        a->L3DLocation::flags =
            on != 0 ? a->L3DLocation::flags | bit : a->L3DLocation::flags & ~bit;
}

} // namespace

void L3DObject::SetPositionChanged(int on) {
    SetFlagDown(this, kPositionChanged, on);
    SetFlagUp(this, kPositionChanged, on);
}

void L3DObject::SetRotationChanged(int on) {
    SetFlagDown(this, kRotationChanged, on);
    SetFlagUp(this, kRotationChanged, on);
}

void L3DObject::InvalidateTransform() {
    L3DLocation::InvalidateTransform();
    ForEachChild(children, [](L3DObject* child) { child->InvalidateTransform(); });
}

void L3DObject::ValidateTransform() {
    L3DLocation::ValidateTransform();
    ForEachChild(children, [](L3DObject* child) { child->ValidateTransform(); });
}

void L3DObject::ApplyAnimationFrame(int32_t frame) {
    if (keyTracks == nullptr) return;
    LKeyTrack** tracks = keyTracks->tracks;
    const float* parentScale = parent != nullptr ? parent->scale : scale;
    const float t = float(frame);
    float rotation[16];
    MatrixIdentity(rotation);
    float offset[3] = {};
    bool scaleChanged = false;
    if (Drives(tracks[kTrackMatrix])) {
        float m[16];
        MatrixIdentity(m);
        EvalMatrix(tracks[kTrackMatrix], t, m);
        MatrixCopy(m, rotation);
        const float translation[3] = {m[3], m[7], m[11]};
        for (int i = 0; i < 3; ++i)
            offset[i] = translation[i] * parentScale[i];
    } else if (Drives(tracks[kTrackPointMoves])) {
        LBasePoint* points = GetCurrentPointList();
        const uint32_t count = GetElementCount(tracks[kTrackPointMoves]);
        for (uint32_t i = 0; i < count && points != nullptr; ++i) {
            LPointMove move{};
            if (EvalElement(tracks[kTrackPointMoves], t, int32_t(i), &move) == 0) continue;
            // Indices come from files: a move of a point the frame lacks is skipped.
            if (move.index >= uint32_t(points->GetCount())) continue;
            L3DPoint* p = points->GetPoint(int32_t(move.index));
            std::copy_n(move.values, 3, p->model);
            p->texture[0] = p->texture[2] = move.values[3];
            p->texture[1] = p->texture[3] = move.values[4];
        }
        if (points != nullptr) points->ValuesChanged();
        SetPositionChanged(1);
        SetRelativeData();
        return;
    } else if (tracks[kTrackTranslation] != nullptr || tracks[kTrackScale] != nullptr ||
               tracks[kTrackRotation] != nullptr) {
        // A missing track counts as one without keys: a child keyed only in place and turn
        // still follows its keys rather than staying where it was built.
        float translation[4] = {0, 0, 0, 0};
        float s[4] = {1, 1, 1, 0};
        float q[4] = {1, 0, 0, 0};
        EvalVector(tracks[kTrackTranslation], t, translation);
        EvalVector(tracks[kTrackScale], t, s);
        EvalRotation(tracks[kTrackRotation], t, q);
        for (int i = 0; i < 3; ++i) {
            const float next = s[i] * parentScale[i];
            scaleChanged = scaleChanged || next != scale[i];
            scale[i] = next;
            offset[i] = translation[i] * parentScale[i];
        }
        if (scale[0] >= 0 && scale[1] >= 0 && scale[2] >= 0)
            QuatToInverseMatrix(q, rotation);
        else if (scale[0] < 0)
            QuatToMatrixFlipYZ(q, rotation);
        else if (scale[1] < 0)
            QuatToMatrixFlipXZ(q, rotation);
        else
            QuatToMatrixFlipXY(q, rotation);
    } else {
        return;
    }
    MatrixIdentity(parentRelative);
    MatrixCopy(rotation, childMatrix);
    ClearTranslation(childMatrix);
    std::copy_n(offset, 3, relativeOffset);
    SetRotationChanged(1);
    frameApplied = 1;
    if (scaleChanged) SetPositionChanged(1);
    worldTransformValid = 0;
    cachedFrame = -1;
}

void L3DObject::ApplyAnimationFrameToSubtree(int32_t frame) {
    ApplyAnimationFrame(frame);
    ForEachChild(children,
                 [frame](L3DObject* child) { child->ApplyAnimationFrameToSubtree(frame); });
}
