#include "engine3d/scene/objects/primitives.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

using PrimitivesTest = SceneTest;

std::vector<int> Indices(const L3DObject& object, int polygon) {
    const LPolygon* p = object.GetPolygonAt(polygon);
    std::vector<int> out;
    for (int i = 0; i < p->GetVertexCount(); ++i)
        out.push_back(object.GetCurrentPointList()->IndexOf(p->GetVertex(i)));
    return out;
}

TEST_F(PrimitivesTest, BricksFollowTheTablesAndCountTheirOwn) {
    std::unique_ptr<L3DObject> flat(CreateBrickObject(&world, 0, 0, 0));
    ASSERT_NE(flat, nullptr);
    EXPECT_EQ(flat->GetPointCount(0), 8);
    EXPECT_EQ(flat->GetPolygonCount(0), 12);
    EXPECT_EQ(flat->GetCurrentPointList()->GetPoint(5)->model[0], 0);
    std::unique_ptr<L3DObject> second(CreateBrickObject(&world, 2, 4, 6));
    std::unique_ptr<L3DObject> plane(CreatePlaneObject(&world, 1, 1, 1, 1));
    std::unique_ptr<L3DObject> third(CreateBrickObject(&world, 2, 4, 6));
    EXPECT_EQ(CreateBrickObject(&world, -1, 1, 1), nullptr);
    char name[32];
    third->GetName(name, sizeof name);
    EXPECT_STREQ(name, "Brick #2");
    plane->GetName(name, sizeof name);
    EXPECT_STREQ(name, "Plane #0");
    const float* p6 = third->GetCurrentPointList()->GetPoint(6)->model;
    EXPECT_EQ(p6[0], 1);
    EXPECT_EQ(p6[1], -2);
    EXPECT_EQ(p6[2], 3);
    const std::vector<std::vector<int>> triangles = {{0, 3, 2}, {0, 2, 1}, {1, 2, 6}, {1, 6, 5},
                                                     {4, 5, 6}, {4, 6, 7}, {0, 4, 7}, {0, 7, 3},
                                                     {7, 6, 2}, {7, 2, 3}, {0, 1, 5}, {0, 5, 4}};
    for (size_t t = 0; t < triangles.size(); ++t)
        EXPECT_EQ(Indices(*third, int(t)), triangles[t]) << t;
    EXPECT_EQ(third->GetPolygonAt(0)->GetMaterial(), world.GetDefaultMaterial());
    // Planar mapping from the averaged normals.
    const L3DPoint* corner = third->GetCurrentPointList()->GetPoint(0);
    EXPECT_FLOAT_EQ(corner->texture[0], 1 - (corner->normal[0] + 1) * 0.4878049f);
    EXPECT_EQ(world.objectCount, 0u) << "the caller adds the object";
}

TEST_F(PrimitivesTest, PyramidAndPlaneTables) {
    std::unique_ptr<L3DObject> pyramid(CreatePyramidObject(&world, 2, 2, 2));
    ASSERT_NE(pyramid, nullptr);
    EXPECT_EQ(pyramid->GetPointCount(0), 5);
    EXPECT_EQ(Indices(*pyramid, 0), (std::vector<int>{4, 1, 0}));
    EXPECT_EQ(Indices(*pyramid, 5), (std::vector<int>{4, 3, 2}));
    std::unique_ptr<L3DObject> plane(CreatePlaneObject(&world, 4, 2, 2, 3));
    ASSERT_NE(plane, nullptr);
    const L3DPoint* p2 = plane->GetCurrentPointList()->GetPoint(2);
    EXPECT_EQ(p2->model[0], 2);
    EXPECT_EQ(p2->model[1], 1);
    EXPECT_EQ(p2->texture[0], 3) << "u from the second repeat";
    EXPECT_EQ(p2->texture[1], 2);
    EXPECT_EQ(Indices(*plane, 0), (std::vector<int>{3, 1, 0}));
    EXPECT_EQ(Indices(*plane, 1), (std::vector<int>{2, 1, 3}));
    std::unique_ptr<L3DObject> mirrored(CreatePlaneObject(&world, 4, 2, -2, -3));
    const L3DPoint* p0 = mirrored->GetCurrentPointList()->GetPoint(0);
    EXPECT_EQ(p0->texture[0], 3);
    EXPECT_EQ(p0->texture[1], 2);
}

TEST_F(PrimitivesTest, SpheresCountRingsAndRefuseEmptyOnes) {
    std::unique_ptr<L3DObject> sphere(CreateSphereObject(&world, 1, 1, 1, 8, -1));
    ASSERT_NE(sphere, nullptr);
    EXPECT_EQ(sphere->GetPointCount(0), 29);
    EXPECT_EQ(sphere->GetPolygonCount(0), 48);
    EXPECT_EQ(Indices(*sphere, 0), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(Indices(*sphere, 8), (std::vector<int>{2, 11, 12}));
    EXPECT_EQ(Indices(*sphere, 47), (std::vector<int>{1, 28, 27}));
    const L3DPoint* pole = sphere->GetCurrentPointList()->GetPoint(0);
    EXPECT_EQ(pole->model[1], 1);
    char name[32];
    sphere->GetName(name, sizeof name);
    EXPECT_STREQ(name, "Sphere #0");
    const struct {
        int32_t segments, rings;
    } refused[] = {{8, 0}, {0, 3}, {2, -1}, {-4, 2}, {1000, 1000}};
    for (const auto& r : refused)
        EXPECT_EQ(CreateSphereObject(&world, 1, 1, 1, r.segments, r.rings), nullptr)
            << r.segments << " " << r.rings;
    EXPECT_EQ(world.sphereCount, 1u) << "a refused request leaves the counter alone";
}

} // namespace
