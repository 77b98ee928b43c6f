#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

class PickingTest : public SceneTest {
protected:
    PickingTest() : camera(*world.CreateCamera(0)) {
        camera.SetViewSize(640, 480);
        camera.renderer = device.CreateRenderer(&world);
        world.backFaceCulling = 0;
    }

    // A square in front of the camera, seen around the screen point (320 + dx, 240).
    L3DObject* Square(const char* name, float x, float depth, float half) {
        auto* object = new L3DObject(name, &world, nullptr);
        AddFace(*object, {{-half, -half, 0}, {half, -half, 0}, {half, half, 0}, {-half, half, 0}});
        world.AddObject(object, 1);
        object->SetPosition(x, 0, depth);
        return object;
    }

    const float centre[2] = {320, 240};
    L3DCamera& camera;
};

TEST_F(PickingTest, TheObjectCentredNearestThePointWins) {
    Square("Off", 15, 100, 20);
    L3DObject* centred = Square("Centred", 0, 200, 20);
    EXPECT_EQ(world.FindObjectAt(camera, centre, 2), centred);
    const float aside[2] = {20, 240};
    EXPECT_EQ(world.FindObjectAt(camera, aside, 2), nullptr);
    camera.renderer = nullptr;
    EXPECT_EQ(world.FindObjectAt(camera, centre, 2), nullptr);
}

TEST_F(PickingTest, NothingBehindTheCameraIsAtAScreenPoint) {
    L3DObject* behind = Square("Behind", 0, -200, 20);
    EXPECT_EQ(world.FindObjectAt(camera, centre, 2), nullptr);
    // Just behind, it would be nearer the point than one ahead and a little aside.
    behind->SetPosition(0, 0, -5);
    L3DObject* ahead = Square("Ahead", 5, 300, 20);
    EXPECT_EQ(world.FindObjectAt(camera, centre, 2), ahead);
    behind->SetPosition(0, 0, 200);
    EXPECT_EQ(world.FindObjectAt(camera, centre, 2), behind);
}

TEST_F(PickingTest, TheNearestPolygonWins) {
    Square("Far", 0, 300, 50);
    L3DObject* near = Square("Near", 5, 120, 20);
    LPolygon* found = world.FindPolygonAt(camera, centre);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, near->GetPolygonAt(0));
    EXPECT_EQ(world.FindPolygonAt(camera, std::array<float, 2>{20, 240}.data()), nullptr);
}

TEST_F(PickingTest, AHiddenObjectStillLetsItsChildrenBePicked) {
    L3DObject* parent = Square("Parent", 200, 100, 5);
    L3DObject* child = Square("Child", 0, 150, 20);
    ASSERT_EQ(child->SetParent(parent, 1), 0);
    parent->Hide(0);
    L3DObject* found = nullptr;
    float distance = 1000000.0f;
    parent->PickAtScreenPoint(camera, centre, &found, &distance);
    EXPECT_EQ(found, child);
    EXPECT_LT(distance, 1);
}

TEST_F(PickingTest, CamerasArePicked) {
    L3DCamera* other = world.CreateCamera(0);
    AddFace(*other, {{-10, -10, 0}, {10, -10, 0}, {10, 10, 0}, {-10, 10, 0}});
    other->SetPosition(0, 0, 100);
    EXPECT_EQ(world.FindObjectAt(camera, centre, 4), other);
    EXPECT_EQ(world.FindObjectAt(camera, centre, 2), nullptr);
}

// Every point of every object projected and every polygon tried: what a pick must find
// whatever it passes over without looking.
L3DObject* PickedByProjectingAll(L3DCamera& camera, const std::vector<L3DObject*>& objects,
                                 const float* point) {
    L3DObject* best = nullptr;
    float distance = 1000000.0f;
    for (L3DObject* object : objects) {
        const LBasePoint* points = object->GetCurrentPointList();
        double cx = 0, cy = 0;
        for (int32_t i = 0; i < points->GetCount(); ++i) {
            L3DPoint* p = points->GetPoint(i);
            p->TransformAndProject(*object, camera);
            cx += p->screenX;
            cy += p->screenY;
        }
        cx /= points->GetCount();
        cy /= points->GetCount();
        const double apart = std::hypot(cx - point[0], cy - point[1]);
        if (apart > distance) continue;
        LPolygon* face = object->GetPolygonAt(0);
        bool ahead = true;
        for (int i = 0; i < face->GetVertexCount(); ++i)
            ahead = ahead && face->GetVertex(i)->depth > 0;
        if (ahead && face->ContainsScreenPoint(point[0], point[1]) != 0) {
            best = object;
            distance = float(apart);
        }
    }
    return best;
}

TEST_F(PickingTest, PicksAgreeWithProjectingEveryObjectOnRandomScenes) {
    // Squares turned, scaled and shifted off their centres, some reaching behind the
    // camera, picked at points on, beside and between them.
    std::mt19937 random(41);
    auto uniform = [&](float lo, float hi) {
        return std::uniform_real_distribution<float>(lo, hi)(random);
    };
    std::vector<L3DObject*> objects;
    for (int i = 0; i < 60; ++i) {
        L3DObject* object = Square("S", uniform(-120, 120), uniform(-50, 500), uniform(2, 40));
        object->SetPosition(object->position[0], uniform(-90, 90), object->position[2]);
        object->SetAngles(uniform(-50, 50), uniform(-50, 50), uniform(0, 360), 0);
        object->SetHotSpot(uniform(-3, 3), uniform(-3, 3), uniform(-1, 1));
        object->scale[0] = uniform(0.2f, 3);
        object->scale[1] = uniform(0.2f, 3);
        objects.push_back(object);
    }
    int found = 0;
    for (int k = 0; k < 400; ++k) {
        const float point[2] = {uniform(0, 640), uniform(0, 480)};
        L3DObject* expected = PickedByProjectingAll(camera, objects, point);
        EXPECT_EQ(world.FindObjectAt(camera, point, 2), expected) << k;
        found += expected != nullptr;
    }
    EXPECT_GT(found, 40);
}

} // namespace
