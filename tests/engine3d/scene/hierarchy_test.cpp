#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine3d/scene/key_track.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

class HierarchyTest : public SceneTest {
protected:
    L3DObject* Object(const char* name, float x, float y, float z) {
        auto* object = new L3DObject(name, &world, nullptr);
        AddFace(*object, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
        world.AddObject(object, 1);
        object->SetPosition(x, y, z);
        return object;
    }

    static LKey* AddKey(LKeyTrack*& track, int32_t frame) {
        if (track == nullptr) track = LKeyTrack::Create();
        LKey* key = LKeyTrack::CreateKey();
        AppendKey(track, key, frame);
        return key;
    }

    // An animated root at the origin whose "Main" runs over frames 0 to 10, not looping.
    L3DObject_Animation* Animated() {
        auto* root = new L3DObject_Animation("Root", &world, nullptr);
        world.AddObject(root, 1);
        LAnimationIK* sequences = root->Sequences();
        sequences->flags = 0;
        sequences->SetSequence("Main", 0, 0, 10, 0, 0, 0, 0);
        sequences->SelectSequence("Main");
        return root;
    }
};

void ExpectPosition(const L3DObject& o, float x, float y, float z) {
    EXPECT_NEAR(o.position[0], x, 1e-4);
    EXPECT_NEAR(o.position[1], y, 1e-4);
    EXPECT_NEAR(o.position[2], z, 1e-4);
}

TEST_F(HierarchyTest, AChildTurnsAndMovesWithItsParent) {
    L3DObject* parent = Object("Parent", 10, 0, 0);
    L3DObject* child = Object("Child", 10, 0, 5);
    ASSERT_EQ(child->SetParent(parent, 1), 0);
    EXPECT_EQ(world.IndexOfObject(child), -1);
    EXPECT_EQ(child->parent, parent);
    const float quarter = 1.5707964f;
    parent->SetYAngle(quarter, 0);
    // The parent's rotation Ry(-y) takes the offset (0, 0, 5) to (-5, 0, 0).
    ExpectPosition(*child, 5, 0, 0);
    float expected[16];
    MatrixMakeRotation(0, quarter, 0, expected);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(child->worldMatrix[4 * r + c], expected[4 * r + c], 1e-5);
    parent->SetPosition(20, 1, 0);
    ExpectPosition(*child, 15, 1, 0);
    EXPECT_NEAR(child->worldMatrix[3], 15, 1e-4);
}

TEST_F(HierarchyTest, ClonesAndCyclesAreRefusedWith35) {
    L3DObject* source = Object("Source", 0, 0, 0);
    L3DObject* holder = Object("Holder", 0, 0, 0);
    L3DObject* clone = source->Clone(nullptr);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->SetParent(source, 1), 35);
    ASSERT_EQ(clone->SetParent(holder, 1), 0);
    EXPECT_EQ(holder->SetParent(source, 1), 35) << "a clone below would hang under its source";
    L3DObject* a = Object("A", 0, 0, 0);
    L3DObject* b = Object("B", 0, 0, 0);
    ASSERT_EQ(b->SetParent(a, 1), 0);
    EXPECT_EQ(a->SetParent(b, 1), 35);
    EXPECT_EQ(a->SetParent(a, 1), 35);
    EXPECT_EQ(a->parent, nullptr);
    EXPECT_EQ(b->parent, a);
    EXPECT_TRUE(L3DObject::IsAncestor(b, a));
}

TEST_F(HierarchyTest, AnimatedObjectsAreReparented) {
    L3DObject* keeper = Object("Keeper", 0, 0, 0);
    {
        L3DObject_Animation* root = Animated();
        L3DObject* kid = Object("Kid", 1, 0, 0);
        ASSERT_EQ(kid->SetParent(root, 1), 0);
        EXPECT_EQ(kid->animationSource, root);
        const uint32_t count = world.objectCount;
        // The animated object gives its children away and is destroyed.
        EXPECT_EQ(root->SetParent(keeper, 0), 0);
        EXPECT_EQ(kid->parent, keeper);
        EXPECT_EQ(world.objectCount, count - 1);
    }
    L3DObject_Animation* root = Animated();
    L3DObject* leg = Object("Leg", 1, 0, 0);
    ASSERT_EQ(leg->SetParent(root, 1), 0);
    ASSERT_EQ(leg->SetParent(nullptr, 0), 0);
    ASSERT_NE(leg->parent, nullptr);
    EXPECT_EQ(leg->parent->typeCode, L3DObject::kAnimated);
    EXPECT_EQ(leg->animationSource, leg->parent);
    char name[16];
    leg->parent->GetName(name, sizeof name);
    EXPECT_STREQ(name, "Leg");
    EXPECT_NE(leg->parent->Sequences()->FindSequence("Main"), nullptr);
    ASSERT_EQ(leg->SetParent(nullptr, 1), 0);
    EXPECT_EQ(leg->parent, nullptr);
    EXPECT_EQ(leg->animationSource, nullptr);
    EXPECT_GE(world.IndexOfObject(leg), 0);
}

TEST_F(HierarchyTest, MovingAChildPullsItsParentUnlessToldNotTo) {
    L3DObject* parent = Object("Parent", 0, 0, 0);
    L3DObject* child = Object("Child", 3, 0, 0);
    ASSERT_EQ(child->SetParent(parent, 1), 0);
    // A movement step starts from the previous positions, as a frame leaves them.
    auto startStep = [](L3DObject* o) { std::copy_n(o->position, 3, o->previousPosition); };
    startStep(parent);
    startStep(child);
    child->SetPosition(8, 0, 0);
    ExpectPosition(*parent, 5, 0, 0);
    ExpectPosition(*child, 8, 0, 0);
    child->followParent = 0;
    startStep(parent);
    startStep(child);
    child->SetPosition(10, 0, 0);
    ExpectPosition(*parent, 5, 0, 0);
    parent->SetPosition(0, 0, 0);
    // The child keeps its new place relative to the parent.
    ExpectPosition(*child, 5, 0, 0);
}

TEST_F(HierarchyTest, KeyTracksDriveTheChildrenAtTheFramesGiven) {
    L3DObject_Animation* root = Animated();
    L3DObject* trs = Object("Trs", 0, 0, 0);
    LKeyTrack** tracks = trs->keyTracks->tracks;
    for (int32_t frame : {0, 10}) {
        LKey* t = AddKey(tracks[kTrackTranslation], frame);
        t->value[0] = float(frame);
        LKey* s = AddKey(tracks[kTrackScale], frame);
        s->value[0] = s->value[1] = s->value[2] = 1 + float(frame) / 10;
        LKey* r = AddKey(tracks[kTrackRotation], frame);
        r->orientation[0] = 1;
    }
    ComputeTCBTangents(tracks[kTrackTranslation]);
    ComputeTCBTangents(tracks[kTrackScale]);
    ComputeRotationTangents(tracks[kTrackRotation]);
    ASSERT_EQ(trs->SetParent(root, 1), 0);

    L3DObject* matrix = Object("Matrix", 0, 0, 0);
    LKeyTrack*& matrixTrack = matrix->keyTracks->tracks[kTrackMatrix];
    for (int32_t frame : {0, 10}) {
        LKey* key = AddKey(matrixTrack, frame);
        MatrixIdentity(key->value);
        key->value[7] = frame == 0 ? 0.0f : 4.0f;
    }
    AccumulateMatrices(matrixTrack);
    ASSERT_EQ(matrix->SetParent(root, 1), 0);

    L3DObject* morph = Object("Morph", 0, 0, 0);
    LKey* moves = AddKey(morph->keyTracks->tracks[kTrackPointMoves], 0);
    moves->elementCount = 2;
    ASSERT_EQ(moves->elements.SetSize(2), 2);
    *static_cast<LPointMove*>(moves->elements.GetAt(0)) = {1, {7, 8, 9, 0.5f, 0.25f}};
    // A file may name a point the frame does not have.
    *static_cast<LPointMove*>(moves->elements.GetAt(1)) = {99, {1, 1, 1, 1, 1}};
    ASSERT_EQ(morph->SetParent(root, 1), 0);

    const struct {
        int32_t frame;
        float x, scale, matrixY;
    } frames[] = {{0, 0, 1, 0}, {5, 5, 1.5f, 2}, {10, 10, 2, 4}};
    for (const auto& f : frames) {
        root->Sequences()->SetFrame(f.frame);
        trs->ComputeChildTransform();
        matrix->ComputeChildTransform();
        EXPECT_NEAR(trs->position[0], f.x, 1e-3) << f.frame;
        EXPECT_NEAR(trs->scale[1], f.scale, 1e-3) << f.frame;
        EXPECT_NEAR(matrix->position[1], f.matrixY, 1e-3) << f.frame;
    }
    const L3DPoint* moved = morph->GetCurrentPointList()->GetPoint(1);
    EXPECT_EQ(moved->model[0], 7);
    EXPECT_EQ(moved->model[2], 9);
    EXPECT_EQ(moved->texture[0], 0.5f);
    EXPECT_EQ(moved->texture[3], 0.25f);
    EXPECT_EQ(morph->GetCurrentPointList()->GetCount(), 3);
}

// Files and scripts may key a child's place and turn without a scale track (or any
// one of the three): the missing tracks count as tracks without keys.
TEST_F(HierarchyTest, AChildMissingSomeKeyTracksStillFollowsTheOthers) {
    L3DObject_Animation* root = Animated();
    root->SetPosition(0, -30, 240);
    L3DObject* placed = Object("Placed", 0, 0, 0);
    L3DObject* turned = Object("Turned", 0, 0, 0);
    for (int32_t frame : {0, 10}) {
        AddKey(placed->keyTracks->tracks[kTrackTranslation], frame)->value[0] =
            frame == 0 ? -10.0f : 10.0f;
        AddKey(placed->keyTracks->tracks[kTrackRotation], frame)->orientation[0] = 1;
        LKey* turn = AddKey(turned->keyTracks->tracks[kTrackRotation], frame);
        turn->orientation[0] = 1;
    }
    ComputeTCBTangents(placed->keyTracks->tracks[kTrackTranslation]);
    ComputeRotationTangents(placed->keyTracks->tracks[kTrackRotation]);
    ComputeRotationTangents(turned->keyTracks->tracks[kTrackRotation]);
    ASSERT_EQ(placed->SetParent(root, 1), 0);
    ASSERT_EQ(turned->SetParent(root, 1), 0);
    // Attached at frame 0, then set to the last frame.
    placed->ComputeChildTransform();
    turned->ComputeChildTransform();
    ExpectPosition(*placed, -10, -30, 240);
    ExpectPosition(*turned, 0, -30, 240);
    root->Sequences()->SetFrame(10);
    placed->ComputeChildTransform();
    ExpectPosition(*placed, 10, -30, 240);
    EXPECT_FLOAT_EQ(placed->scale[0], 1);
    EXPECT_FLOAT_EQ(placed->scale[2], 1);

    // Its hand-placed neighbour with no key track at all stays where it was put.
    L3DObject* still = Object("Still", 4, -30, 240);
    ASSERT_EQ(still->SetParent(root, 1), 0);
    root->Sequences()->SetFrame(0);
    still->ComputeChildTransform();
    ExpectPosition(*still, 4, -30, 240);
}

} // namespace
