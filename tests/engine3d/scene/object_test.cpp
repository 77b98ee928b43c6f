#include <gtest/gtest.h>

#include <cstring>

#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

using ObjectTest = SceneTest;

TEST_F(ObjectTest, NewObjectIsUnlitDynamicPersistentAndVisible) {
    L3DObject object("Crate", &world, nullptr);
    EXPECT_EQ(object.objectFlags, 0x2002800u | L3DObject::kOwnsBox);
    EXPECT_EQ(object.typeCode, L3DObject::kPlain);
    EXPECT_EQ(object.IsPersistent(), 1);
    EXPECT_EQ(object.IsDynamic(), 1);
    EXPECT_EQ(object.IsVisible(), 1);
    EXPECT_EQ(object.IsGouraud(), 0);
    EXPECT_EQ(object.IsLambert(), 0);
    EXPECT_EQ(object.mirrored, 1u);
    EXPECT_EQ(object.GetBaseCount(), 1);
    L3DObject loose("Loose", nullptr, nullptr);
    EXPECT_EQ(loose.objectFlags, 0x2002800u);
    EXPECT_EQ(loose.boxObject, nullptr);
}

TEST_F(ObjectTest, ReservedNamesDecideBoxAndKeyTracks) {
    struct Case {
        const char* name;
        bool box;
        bool tracks;
        uint32_t type;
    };
    const Case cases[] = {
        {"Global_Box", false, false, L3DObject::kPlain},
        {"Cluster", true, false, L3DObject::kPlain},
        {"Base_Cluster", false, false, L3DObject::kPlain},
        {"$$$DUMMYWheel", true, true, L3DObject::kDummy},
        {"global_box", true, true, L3DObject::kPlain},
    };
    for (const Case& c : cases) {
        L3DObject object(c.name, &world, nullptr);
        EXPECT_EQ(object.boxObject != nullptr, c.box) << c.name;
        EXPECT_EQ(object.keyTracks != nullptr, c.tracks) << c.name;
        EXPECT_EQ(object.typeCode, c.type) << c.name;
    }
    L3DObject dummy("$$$DUMMYWheel", &world, nullptr);
    char name[16];
    dummy.GetName(name, sizeof name);
    EXPECT_STREQ(name, "Wheel");
    L3DObject unnamed(nullptr, &world, nullptr);
    unnamed.GetName(name, 4);
    EXPECT_STREQ(name, "NoN");
}

TEST_F(ObjectTest, BoxCornersAndFacesFollowTheMesh) {
    L3DObject object("Crate", &world, nullptr);
    AddFace(object, {{-1, -2, -3}, {4, 5, 6}, {4, -2, 6}});
    object.UpdateBox(1);
    const LBasePoint* box = object.boxObject->GetCurrentPointList();
    ASSERT_EQ(box->GetCount(), 8);
    const Vec3 expected[8] = {{-1, 5, -3}, {4, 5, -3}, {4, -2, -3}, {-1, -2, -3},
                              {-1, 5, 6},  {4, 5, 6},  {4, -2, 6},  {-1, -2, 6}};
    for (int i = 0; i < 8; ++i) {
        const float* p = box->GetPoint(i)->model;
        EXPECT_EQ(p[0], expected[i].x);
        EXPECT_EQ(p[1], expected[i].y);
        EXPECT_EQ(p[2], expected[i].z);
    }
    // Faces in order min-z, max-x, max-z, min-x, min-y, max-y; their normals point out.
    const float normals[6][3] = {{0, 0, -1}, {1, 0, 0},  {0, 0, 1},
                                 {-1, 0, 0}, {0, -1, 0}, {0, 1, 0}};
    ASSERT_EQ(object.boxObject->GetPolygonCount(0), 6);
    for (int f = 0; f < 6; ++f) {
        LPolygon* face = object.boxObject->GetPolygonAt(f);
        face->ComputePlanes(0);
        EXPECT_EQ(face->GetVertexCount(), 4);
        EXPECT_EQ(face->GetMaterial(), world.GetDefaultMaterial());
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(face->GetPlane(0)[k], -normals[f][k], 1e-6) << "face " << f;
    }
    EXPECT_NEAR(object.GetBoundingRadius(), std::sqrt(16.0f + 25 + 36), 1e-5);
}

TEST_F(ObjectTest, OnePointObjectHasThatPointsDistanceAsRadius) {
    L3DObject object("Dot", &world, nullptr);
    object.GetCurrentPointList()->AddPoint(3, 4, 0, 0, 0, 0, 0, -1);
    object.UpdateBox(1);
    EXPECT_FLOAT_EQ(object.GetBoundingRadius(), 5.0f);
}

TEST_F(ObjectTest, DestroyingAParentDestroysTheSubtreeAndTellsEachLinkOnce) {
    CountingLink rootLink, childLink, grandLink;
    auto* root = new L3DObject("Root", &world, &rootLink);
    auto* child = new L3DObject("Child", &world, &childLink);
    auto* grand = new L3DObject("Grand", &world, &grandLink);
    root->LinkChild(child);
    child->LinkChild(grand);
    AddFace(*grand, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    EXPECT_EQ(root->FindChild("grand"), grand);
    EXPECT_EQ(root->GetPolygonCount(1), 1);
    delete grand;
    EXPECT_EQ(child->children, nullptr);
    EXPECT_EQ(grandLink.calls, 1);
    delete root;
    EXPECT_EQ(rootLink.calls, 1);
    EXPECT_EQ(childLink.calls, 1);
    EXPECT_EQ(device.polygonsAlive, 0);
    EXPECT_EQ(device.pointsAlive, 0);
}

TEST_F(ObjectTest, AddPolygonRefusesOtherVertexCounts) {
    L3DObject object("Mesh", &world, nullptr);
    LPolygon* five = device.CreatePolygon(&object, 2, 0);
    five->capacity = 5;
    for (int i = 0; i < 5; ++i)
        five->AddNewVertex(float(i), float(i * i), 0, 0, 0, 0, 0);
    EXPECT_EQ(object.AddPolygon(five, 1), 5);
    EXPECT_EQ(object.GetPolygonCount(0), 0);
    device.DeletePolygon(five);
}

TEST_F(ObjectTest, WorldRegistersFindsAndRenamesObjects) {
    auto* a = new L3DObject("Object", &world, nullptr);
    auto* b = new L3DObject(nullptr, &world, nullptr);
    auto* c = new L3DObject("Lamp", &world, nullptr);
    for (L3DObject* o : {a, b, c})
        world.AddObject(o, 1);
    AddFace(*c, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    EXPECT_EQ(world.objectCount, 3u);
    EXPECT_EQ(world.CountPolygons(), 1);
    EXPECT_EQ(world.FindObjectByName("LAMP"), c);
    world.ResetObjectNames();
    char name[32];
    a->GetName(name, sizeof name);
    EXPECT_STREQ(name, "Object 1");
    b->GetName(name, sizeof name);
    EXPECT_STREQ(name, "Object 2");
    c->GetName(name, sizeof name);
    EXPECT_STREQ(name, "Lamp");
    EXPECT_EQ(world.RemoveObject(b), 0);
    EXPECT_EQ(world.objectCount, 2u);
    EXPECT_EQ(world.RemoveObjectAt(7), 1);
}

TEST_F(ObjectTest, RemovingASourceRemovesItsClonesFirst) {
    auto* source = new L3DObject("Source", &world, nullptr);
    world.AddObject(source, 1);
    auto* clone = new L3DObjectClone("Copy", &world, nullptr);
    ASSERT_EQ(clone->SetSource(source), 1);
    world.AddObject(clone, 1);
    EXPECT_EQ(world.GetObjectAt(0), clone);
    EXPECT_EQ(world.objectCount, 2u);
    world.RemoveObject(source);
    EXPECT_EQ(world.objectCount, 0u);
    EXPECT_EQ(world.objects.GetCount(), 0u);
}

TEST_F(ObjectTest, PolygonMaterialsAreSetAndReplacedInTheCurrentFrame) {
    L3DObject object("Mesh", &world, nullptr);
    AddFace(object, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    LMaterial* red = world.materials.CreateMaterial("Red", nullptr, 0xFF, 0, nullptr);
    LMaterial* blue = world.materials.CreateMaterial("Blue", nullptr, 0xFF0000, 0, nullptr);
    EXPECT_EQ(object.SetPolygonMaterial(3, red), 5);
    EXPECT_EQ(object.SetPolygonMaterial(-1, red), 0);
    EXPECT_EQ(object.GetPolygonAt(0)->GetMaterial(), red);
    object.ReplaceMaterial(red, blue, 1);
    EXPECT_EQ(object.GetPolygonAt(0)->GetMaterial(), blue);
    EXPECT_EQ(red->polygons.GetCount(), 0u);
    EXPECT_EQ(blue->polygons.GetCount(), 1u);
}

TEST_F(ObjectTest, PointNormalsAverageTheirFacesAndPlanarMappingUsesThem) {
    L3DObject object("Roof", &world, nullptr);
    AddFace(object, {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}});
    AddFace(object, {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}});
    object.ComputePointNormals(nullptr, nullptr);
    const L3DPoint* shared = object.GetCurrentPointList()->GetPoint(0);
    const float h = float(std::sqrt(0.5));
    EXPECT_NEAR(shared->normal[0], -h, 1e-6);
    EXPECT_NEAR(shared->normal[1], 0, 1e-6);
    EXPECT_NEAR(shared->normal[2], -h, 1e-6);
    object.ApplyPlanarMapping();
    EXPECT_NEAR(shared->texture[0], 1 - (1 - h) * 0.4878049f, 1e-6);
    EXPECT_NEAR(shared->texture[3], 1 - 0.4878049f, 1e-6);
}

} // namespace
