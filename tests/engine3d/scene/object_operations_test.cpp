#include <gtest/gtest.h>

#include <cstring>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/key_track.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

class OperationsTest : public SceneTest {
protected:
    // A dynamic object in the world with one triangle.
    L3DObject* MeshObject(const char* name, float x = 0) {
        auto* object = new L3DObject(name, &world, nullptr);
        AddFace(*object, {{x, 0, 0}, {x + 1, 0, 0}, {x, 1, 0}});
        world.AddObject(object, 1);
        return object;
    }

    static LKey* AddKey(LKeyTrack*& track, int32_t frame, float value) {
        if (track == nullptr) track = LKeyTrack::Create();
        LKey* key = LKeyTrack::CreateKey();
        key->value[0] = value;
        AppendKey(track, key, frame);
        return key;
    }
};

TEST_F(OperationsTest, SwitchesSetTheirBitsAndClonesMirrorThemKeepingTheirOwnBox) {
    L3DObject* source = MeshObject("Source");
    L3DObject* clone = source->Clone(nullptr);
    ASSERT_NE(clone, nullptr);
    clone->ShowBox(1, 0);
    EXPECT_EQ(clone->objectFlags & L3DObject::kBoxShown, L3DObject::kBoxShown);
    struct Case {
        const char* what;
        void (*apply)(L3DObject&);
        uint32_t set;
        uint32_t clear;
    };
    const Case cases[] = {
        {"collision", [](L3DObject& o) { o.SetCollision(1); }, L3DObject::kCollision, 0},
        {"axis", [](L3DObject& o) { o.ShowAxis(1); }, L3DObject::kAxisShown, 0},
        {"gouraud", [](L3DObject& o) { o.SetGouraud(1); }, L3DObject::kGouraud,
         L3DObject::kUnlit | L3DObject::kLambert},
        {"lambert", [](L3DObject& o) { o.SetLambert(1); }, L3DObject::kLambert,
         L3DObject::kUnlit | L3DObject::kGouraud},
        {"unlit", [](L3DObject& o) { o.SetLambert(0); }, L3DObject::kUnlit, L3DObject::kLambert},
        {"shadow", [](L3DObject& o) { o.EnableShadow(1); }, L3DObject::kShadowShown, 0},
    };
    for (const Case& c : cases) {
        c.apply(*source);
        EXPECT_EQ(source->objectFlags & (c.set | c.clear), c.set) << c.what;
        // The clone keeps the box it shows although the source shows none.
        EXPECT_EQ(clone->objectFlags, source->objectFlags | L3DObject::kBoxShown) << c.what;
    }
    source->ShowBox(1, 0);
    source->SetCollision(0);
    EXPECT_EQ(clone->objectFlags, source->objectFlags);
}

TEST_F(OperationsTest, VisibilityPersistenceAndReceivers) {
    L3DObject* parent = MeshObject("Parent");
    L3DObject* child = MeshObject("Child");
    ASSERT_EQ(child->SetParent(parent, 1), 0);
    parent->Hide(1);
    EXPECT_EQ(parent->IsVisible(), 0);
    EXPECT_EQ(child->IsVisible(), 0);
    world.showOnAdd = 0;
    parent->Show();
    EXPECT_EQ(parent->IsVisible(), 0) << "a plain object stays hidden while show-on-add is 0";
    world.showOnAdd = 1;
    parent->Show();
    EXPECT_EQ(child->IsVisible(), 1);
    child->SetPersistent(0);
    EXPECT_EQ(child->IsPersistent(), 1) << "a child is written with its parent";
    parent->SetShadowReceiver(1);
    EXPECT_EQ(child->IsShadowReceiver(), 1);
    parent->SetCollisionRadius(7);
    EXPECT_EQ(parent->GetCollisionRadius(), 7);
    EXPECT_EQ(child->GetCollisionRadius(), child->GetBoundingRadius());
}

TEST_F(OperationsTest, CloneOfACloneOrAnAnimatedCloneClonesTheSourceAndStaticGivesNull) {
    L3DObject* source = MeshObject("$$$DUMMYWheel");
    L3DObject* first = source->Clone(nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->typeCode, L3DObject::kClone);
    EXPECT_EQ(first->source, source);
    char name[32];
    first->GetName(name, sizeof name);
    EXPECT_STREQ(name, "Wheel");
    L3DObject* second = first->Clone(nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->source, source);
    EXPECT_EQ(source->cloneCount, 2);
    EXPECT_EQ(world.GetObjectAt(0), second) << "clones go to the front";
    EXPECT_EQ(first->GetPolygonCount(0), 1) << "a clone answers with its source's mesh";

    auto* animated = new L3DObject_Animation("Walker", &world, nullptr);
    AddFace(*animated, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    world.AddObject(animated, 1);
    L3DObject* animatedClone = animated->Clone(nullptr);
    ASSERT_NE(animatedClone, nullptr);
    EXPECT_EQ(animatedClone->typeCode, L3DObject::kAnimatedClone);
    L3DObject* again = animatedClone->Clone(nullptr);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->typeCode, L3DObject::kAnimatedClone);
    EXPECT_EQ(again->source, animated);
    EXPECT_EQ(animated->cloneCount, 2);

    L3DObject* frozen = MeshObject("Frozen");
    frozen->MakeStatic(0);
    const uint32_t count = world.objectCount;
    EXPECT_EQ(frozen->Clone(nullptr), nullptr);
    EXPECT_EQ(world.objectCount, count);
}

TEST_F(OperationsTest, DuplicateCopiesMorphAndHideKeysAndLeavesTheSourcesAlone) {
    L3DObject* source = MeshObject("Source");
    LKeyTrack** tracks = source->keyTracks->tracks;
    AddKey(tracks[kTrackMorph], 0, 3);
    AddKey(tracks[kTrackMorph], 10, 4);
    AddKey(tracks[kTrackHide], 5, 1);
    AddKey(tracks[kTrackMatrix], 0, 9);
    L3DObject* copy = source->Duplicate(nullptr);
    ASSERT_NE(copy, nullptr);
    LKeyTrack** copied = copy->keyTracks->tracks;
    ASSERT_NE(copied[kTrackMorph], nullptr);
    ASSERT_EQ(copied[kTrackMorph]->count, 2u);
    EXPECT_EQ(copied[kTrackMorph]->first->value[0], 3);
    EXPECT_EQ(copied[kTrackMorph]->first->next->frame, 10);
    EXPECT_EQ(copied[kTrackMorph]->first->next->value[0], 4);
    ASSERT_NE(copied[kTrackHide], nullptr);
    EXPECT_EQ(copied[kTrackHide]->first->frame, 5);
    EXPECT_EQ(copied[kTrackMatrix], nullptr) << "matrix tracks are not copied";
    EXPECT_NE(copied[kTrackMorph]->first, tracks[kTrackMorph]->first);
    EXPECT_EQ(tracks[kTrackMorph]->count, 2u);
    EXPECT_EQ(tracks[kTrackMorph]->first->value[0], 3);
    EXPECT_EQ(copy->GetPolygonCount(0), 1);
    EXPECT_NE(copy->GetPolygonAt(0), source->GetPolygonAt(0));
}

TEST_F(OperationsTest, MakeStaticBakesTheTransformAndLeavesSourcesWithClonesAlone) {
    L3DObject* object = MeshObject("Rock");
    object->SetPosition(10, 20, 30);
    object->scale[0] = 2;
    object->MakeStatic(0);
    EXPECT_EQ(object->IsDynamic(), 0);
    EXPECT_NE(object->objectFlags & L3DObject::kStatic, 0u);
    EXPECT_EQ(world.cluster->staticObjects.GetCount(), 1u);
    EXPECT_EQ(world.cluster->dynamicObjects.FindNode(object), nullptr);
    const float* p = object->GetCurrentPointList()->GetPoint(1)->model;
    EXPECT_FLOAT_EQ(p[0], 12);
    EXPECT_FLOAT_EQ(p[1], 20);
    EXPECT_FLOAT_EQ(p[2], 30);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(object->position[i], 0);
        EXPECT_EQ(object->angles[i], 0);
        EXPECT_EQ(object->scale[i], 1);
    }

    L3DObject* source = MeshObject("Source");
    ASSERT_NE(source->Clone(nullptr), nullptr);
    source->MakeStatic(0);
    EXPECT_EQ(source->IsDynamic(), 1) << "clones would show a mesh the octree empties";
}

TEST_F(OperationsTest, ShadowsAreMadeSizedAndTextured) {
    L3DObject* object = MeshObject(nullptr);
    int32_t w = -1, h = -1;
    object->GetShadowTextureSize(&w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(object->EnableShadow(1), 1);
    ASSERT_NE(object->shadow, nullptr);
    EXPECT_EQ(object->shadow->GetVertexCount(), 4);
    EXPECT_EQ(object->GetShadowMaterial(), world.GetShadowMaterial());
    object->GetShadowTextureSize(&w, &h);
    EXPECT_EQ(w, 20);
    EXPECT_EQ(h, 20);
    object->SetShadowTextureSize(40, 60);
    object->GetShadowTextureSize(&w, &h);
    EXPECT_EQ(w, 40);
    EXPECT_EQ(h, 60);
    EXPECT_EQ(object->shadow->GetVertex(2)->model[0], 20);
    EXPECT_EQ(object->shadow->GetVertex(2)->model[2], 30);
    LTexture* texture = device.CreateTexture(&world, "Blob", nullptr);
    object->SetShadowTexture(texture);
    LMaterial* material = object->GetShadowMaterial();
    ASSERT_NE(material, world.GetShadowMaterial());
    EXPECT_STREQ(material->Name(), "ShadowMat : NoName");
    EXPECT_EQ(object->GetShadowTexture(), texture);
    EXPECT_NE(material->mode & 0xC0, 0u);
    EXPECT_NE(world.textures.list.FindNode(texture), nullptr);
    object->SetShadowTexture(nullptr);
    EXPECT_EQ(object->GetShadowMaterial(), world.GetShadowMaterial());
    EXPECT_EQ(world.materials.FindByName("ShadowMat : NoName"), nullptr);
    EXPECT_EQ(object->EnableShadow(0), 0);
}

TEST_F(OperationsTest, ScaleCarriesTheChildrenAndStaticObjectsRefuse) {
    L3DObject* parent = MeshObject("Parent");
    L3DObject* child = MeshObject("Child");
    child->SetPosition(10, 0, 0);
    ASSERT_EQ(child->SetParent(parent, 1), 0);
    parent->Scale(2, 3, 4);
    EXPECT_EQ(parent->scale[1], 3);
    EXPECT_EQ(child->scale[2], 4);
    EXPECT_FLOAT_EQ(child->position[0], 20) << "the child's offset grows with its parent";
    parent->ComputeChildTransform();
    EXPECT_FLOAT_EQ(parent->GetWidth(), 2);
    EXPECT_FLOAT_EQ(parent->GetHeight(), 3);
    EXPECT_FLOAT_EQ(parent->GetDepth(), 0);
    L3DObject* frozen = MeshObject("Frozen");
    frozen->MakeStatic(0);
    frozen->Scale(5, 5, 5);
    EXPECT_EQ(frozen->scale[0], 1);
}

} // namespace
