#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/octree.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

struct Contact {
    int kind;
    L3DObject* other;
    LPolygon* polygon;
    uint8_t response;
};

// What the script side would see, and the answer it gives.
std::vector<Contact> contacts;
std::vector<Contact> notices;
uint8_t answer = 2;

uint8_t Choose(int kind, L3DObject*, L3DObject* other, LPolygon* polygon, float*, float*,
               uintptr_t) {
    contacts.push_back({kind, other, polygon, answer});
    return answer;
}

void Notice(uint8_t response, int kind, L3DObject*, LPolygon* polygon, uintptr_t) {
    notices.push_back({kind, nullptr, polygon, response});
}

class CollisionTest : public SceneTest {
protected:
    CollisionTest() : camera(*world.CreateCamera(0)) {
        contacts.clear();
        notices.clear();
        answer = 2;
    }

    // A sphere of radius 5 that has just moved from `from` to `to`.
    L3DObject* Mover(Vec3 from, Vec3 to) {
        auto* object = new L3DObject("Mover", &world, nullptr);
        AddFace(*object, {{-1, 0, 0}, {1, 0, 0}, {0, 1, 0}});
        world.AddObject(object, 1);
        object->SetCollision(1);
        object->SetCollisionRadius(5);
        Place(*object, from, to);
        return object;
    }

    static void Place(L3DObject& object, Vec3 from, Vec3 to) {
        object.SetPosition(to.x, to.y, to.z);
        object.previousPosition[0] = from.x;
        object.previousPosition[1] = from.y;
        object.previousPosition[2] = from.z;
    }

    // A static quad whose face normal points along `normal` (the side it is hit from is
    // the other one).
    void StaticQuad(std::initializer_list<Vec3> corners, Vec3 normal) {
        auto* object = new L3DObject("Static", &world, nullptr);
        LPolygon* face = AddFace(*object, corners);
        face->ComputePlanes(0);
        const float* n = face->GetPlane(0);
        if (n[0] * normal.x + n[1] * normal.y + n[2] * normal.z < 0) face->Flip();
        world.AddObject(object, 1);
        object->MakeStatic(0);
    }

    L3DCamera& camera;
};

TEST_F(CollisionTest, SweptSpheresBetweenObjects) {
    struct Case {
        const char* what;
        Vec3 aFrom, aTo, bFrom, bTo;
        float pushBack;
        uint8_t response;
        int hit;
        float aX;
    };
    const Case cases[] = {
        {"still", {0, 0, 0}, {0, 0, 0}, {50, 0, 0}, {50, 0, 0}, 5, 2, 0, 0},
        {"separating", {0, 0, 0}, {-20, 0, 0}, {6, 0, 0}, {26, 0, 0}, 5, 2, 0, -20},
        {"stop at contact", {0, 0, 0}, {100, 0, 0}, {50, 0, 0}, {50, 0, 0}, 0, 2, 1, 40},
        {"stop pushed back", {0, 0, 0}, {100, 0, 0}, {50, 0, 0}, {50, 0, 0}, 5, 2, 1, 35},
        {"slide along the normal", {0, 0, 0}, {100, 0, 0}, {50, 0, 0}, {50, 0, 0}, 0, 4, 1, 40},
        {"ignored", {0, 0, 0}, {100, 0, 0}, {50, 0, 0}, {50, 0, 0}, 5, 0, 1, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        contacts.clear();
        world.objectPushBack = c.pushBack;
        answer = c.response;
        L3DObject* a = Mover(c.aFrom, c.aTo);
        L3DObject* b = Mover(c.bFrom, c.bTo);
        a->SetCollisionCallback(Choose, 0, 0);
        EXPECT_EQ(a->CollideWithObject(camera, *b), c.hit);
        EXPECT_NEAR(a->position[0], c.aX, 1e-3);
        EXPECT_EQ(contacts.size(), size_t(c.hit));
        if (c.hit != 0) {
            EXPECT_EQ(contacts[0].kind, 0);
            EXPECT_EQ(contacts[0].other, b);
            EXPECT_EQ(contacts[0].polygon, nullptr);
        }
        world.RemoveObject(a);
        world.RemoveObject(b);
    }
    world.objectPushBack = 5;
    answer = 2;
    // Both moving: the push-back is halved.
    L3DObject* a = Mover({0, 0, 0}, {100, 0, 0});
    L3DObject* b = Mover({60, 0, 0}, {40, 0, 0});
    EXPECT_EQ(a->CollideWithObject(camera, *b), 1);
    EXPECT_LT(a->position[0], 40);
}

TEST_F(CollisionTest, PolygonsThroughTheClusterFloorsFirst) {
    // A wall listed first, then a floor (its face normal points down).
    StaticQuad({{-100, -100, 20}, {100, -100, 20}, {100, 100, 20}, {-100, 100, 20}}, {0, 0, 1});
    StaticQuad({{-100, 0, -100}, {100, 0, -100}, {100, 0, 100}, {-100, 0, 100}}, {0, -1, 0});
    world.Optimize();
    ASSERT_NE(world.cluster->octree, nullptr);
    L3DOctreeNode& root = *world.cluster->octree;
    ASSERT_EQ(root.GetPolygonCount(0), 2);
    LPolygon* wall = root.GetPolygonAt(0);
    LPolygon* floor = root.GetPolygonAt(1);
    EXPECT_EQ(floor->facingCode, 2);

    L3DObject* mover = Mover({0, 50, 0}, {0, -50, 40});
    answer = 0;
    mover->SetCollisionCallback(Choose, 0, 0);
    mover->SetCollisionResponseCallback(Notice, 0, 7);
    EXPECT_EQ(mover->CollideWithPolygons(camera), 1);
    ASSERT_EQ(contacts.size(), 2u);
    EXPECT_EQ(contacts[0].kind, 2);
    EXPECT_EQ(contacts[0].polygon, floor);
    EXPECT_EQ(contacts[1].polygon, wall);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].response, 0);
    EXPECT_EQ(notices[0].polygon, floor);
    EXPECT_FLOAT_EQ(mover->position[1], -50) << "ignored contacts leave the object where it is";

    // Without a callback it lands on the floor, at its radius, with no push-back.
    contacts.clear();
    mover->SetCollisionCallback(nullptr, 0, 0);
    Place(*mover, {0, 50, 0}, {0, -50, 0});
    EXPECT_EQ(mover->CollideWithPolygons(camera), 1);
    EXPECT_NEAR(mover->position[1], mover->GetBoundingRadius(), 1e-3);
    EXPECT_EQ(mover->CollideWithPolygons(camera), 0) << "no movement, nothing to collide";
}

TEST_F(CollisionTest, GravityKeepsTheHeightWhenPushedBack) {
    // A slope on the plane x = y, hit from the +x side.
    StaticQuad({{-100, -100, -100}, {100, 100, -100}, {100, 100, 100}, {-100, -100, 100}},
               {-1, 1, 0});
    world.Optimize();
    for (uint32_t gravity : {0u, 1u}) {
        SCOPED_TRACE(gravity);
        L3DObject* mover = Mover({50, 0, 0}, {-50, 0, 0});
        mover->gravity = gravity;
        EXPECT_EQ(mover->CollideWithPolygons(camera), 1);
        if (gravity != 0)
            EXPECT_NEAR(mover->position[1], 0, 1e-3);
        else
            EXPECT_LT(mover->position[1], -5);
        EXPECT_GT(mover->position[0], 0);
        world.RemoveObject(mover);
    }
}

TEST_F(CollisionTest, TheCameraStepsAgainstTheStaticScene) {
    StaticQuad({{-500, 0, -500}, {500, 0, -500}, {500, 0, 500}, {-500, 0, 500}}, {0, -1, 0});
    world.Optimize();
    camera.SetCollision(1);
    Place(camera, {0, 400, 0}, {0, 300, 0});
    EXPECT_EQ(camera.MoveStep(camera), 0) << "the floor lies beyond the step's reach";
    Place(camera, {0, 300, 0}, {0, -300, 0});
    EXPECT_EQ(camera.CollideWithPolygons(camera), 1);
    EXPECT_NEAR(camera.position[1], camera.cameraRadius, 1e-3);
    Place(camera, {0, 100, 0}, {0, 100, 0});
    EXPECT_EQ(camera.MoveStep(camera), 0);
}

TEST_F(CollisionTest, ClearanceUnderAndOver) {
    float below = 0, above = 0;
    world.cluster->MeasureClearance(std::array<float, 3>{0, 10, 0}.data(), &below, &above);
    EXPECT_EQ(below, 9999999.0f);
    EXPECT_EQ(above, 9999999.0f);
    StaticQuad({{-100, 0, -100}, {100, 0, -100}, {100, 0, 100}, {-100, 0, 100}}, {0, -1, 0});
    StaticQuad({{-100, 30, -100}, {100, 30, -100}, {100, 30, 100}, {-100, 30, 100}}, {0, -1, 0});
    world.Optimize();
    const float point[3] = {1, 10.25f, 1};
    world.cluster->MeasureClearance(point, &below, &above);
    EXPECT_NEAR(below, 10.25f, 1e-3);
    EXPECT_NEAR(above, 19.75f, 1e-3);
    const float outside[3] = {500, 10, 0};
    world.cluster->MeasureClearance(outside, &below, &above);
    EXPECT_EQ(below, 9999999.0f);
}

} // namespace
