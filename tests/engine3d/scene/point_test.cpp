#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

using PointTest = SceneTest;

TEST_F(PointTest, MergingReturnsThePointOfSevenEqualValues) {
    LBasePoint list;
    list.world = &world;
    L3DPoint* first = list.AddPoint(1, 2, 3, 0.1f, 0.2f, 0.3f, 0.4f, -1);
    EXPECT_EQ(list.GetListUse(0), 1);
    // Not used by a polygon yet: the list use restarts at 1.
    EXPECT_EQ(list.AddPoint(1, 2, 3, 0.1f, 0.2f, 0.3f, 0.4f, -1), first);
    EXPECT_EQ(list.GetListUse(0), 1);
    first->useCount = 1;
    EXPECT_EQ(list.AddPoint(1, 2, 3, 0.1f, 0.2f, 0.3f, 0.4f, -1), first);
    EXPECT_EQ(list.GetListUse(0), 2);
    // Each of the seven values tells points apart.
    const float values[7] = {1, 2, 3, 0.1f, 0.2f, 0.3f, 0.4f};
    for (int i = 0; i < 7; ++i) {
        float v[7];
        std::copy(values, values + 7, v);
        v[i] += 1;
        EXPECT_NE(list.AddPoint(v[0], v[1], v[2], v[3], v[4], v[5], v[6], -1), first) << i;
    }
    EXPECT_EQ(list.GetCount(), 8);
    list.DisableMerging();
    EXPECT_NE(list.AddPoint(1, 2, 3, 0.1f, 0.2f, 0.3f, 0.4f, -1), first);
    EXPECT_EQ(list.GetCount(), 9);
    EXPECT_EQ(list.GetCapacity(), 16);
}

// Merging looks points up by their values rather than one by one; it still finds the
// first of equal points, minus zero as zero, never a value that is not a number, and
// points by the values they hold now after they were removed or changed in place.
TEST_F(PointTest, MergingFindsTheFirstEqualPointAsThePointsNowAre) {
    LBasePoint list;
    list.world = &world;
    L3DPoint* zero = list.AddPoint(0, 0, 0, 0, 0, 0, 0, -1);
    EXPECT_EQ(list.AddPoint(-0.0f, 0, -0.0f, 0, 0, 0, 0, -1), zero);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    L3DPoint* odd = list.AddPoint(nan, 0, 0, 0, 0, 0, 0, -1);
    EXPECT_NE(list.AddPoint(nan, 0, 0, 0, 0, 0, 0, -1), odd);
    // Two equal points appended while merging was off: the first one is found.
    list.DisableMerging();
    L3DPoint* a = list.AddPoint(5, 5, 5, 0, 0, 0, 0, -1);
    L3DPoint* b = list.AddPoint(5, 5, 5, 0, 0, 0, 0, -1);
    list.EnableMerging();
    EXPECT_EQ(list.AddPoint(5, 5, 5, 0, 0, 0, 0, -1), a);
    a->useCount = 1;
    ASSERT_EQ(list.RemovePointRef(a), 0);
    EXPECT_EQ(list.AddPoint(5, 5, 5, 0, 0, 0, 0, -1), b);

    // Moved in place, with word given: found at its new place and no longer at its old.
    b->model[0] = 7;
    list.ValuesChanged();
    EXPECT_EQ(list.AddPoint(7, 5, 5, 0, 0, 0, 0, -1), b);
    const int32_t count = list.GetCount();
    EXPECT_NE(list.AddPoint(5, 5, 5, 0, 0, 0, 0, -1), b);
    EXPECT_EQ(list.GetCount(), count + 1);
    // Moved without a word: never taken for what it held before.
    zero->texture[0] = 3;
    EXPECT_NE(list.AddPoint(0, 0, 0, 0, 0, 0, 0, -1), zero);
    EXPECT_EQ(list.AddPoint(0, 0, 0, 3, 0, 0, 0, -1), zero);
}

TEST_F(PointTest, LastReferenceDeletesThePointOnlyWithFlagFour) {
    for (bool deleteUnused : {true, false}) {
        LBasePoint list;
        list.world = &world;
        if (!deleteUnused) list.flags &= ~LBasePoint::kDeleteUnused;
        const int before = device.pointsAlive;
        L3DPoint* point = list.AddPoint(0, 0, 0, 0, 0, 0, 0, -1);
        point->useCount = 1;
        EXPECT_EQ(list.RemovePointRef(point), 0);
        EXPECT_EQ(list.GetCount(), 0);
        EXPECT_EQ(device.pointsAlive - before, deleteUnused ? 0 : 1);
        if (!deleteUnused) device.DeletePoint(point);
        EXPECT_EQ(list.RemovePointRef(nullptr), 14);
    }
}

TEST_F(PointTest, PositionsOfALongListStayRightAsPointsComeAndGo) {
    LBasePoint list;
    list.world = &world;
    std::vector<L3DPoint*> points;
    for (int i = 0; i < 200; ++i)
        points.push_back(list.AddPoint(float(i), 0, 0, 0, 0, 0, 0, 1));
    // Asked again and again, as a mesh built face by face asks.
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 200; i += 7)
            ASSERT_EQ(list.IndexOf(points[size_t(i)]), i);
    // Appended while merging is off: the first place of a point twice listed counts.
    list.DisableMerging();
    EXPECT_EQ(list.AddPointRef(points[5]), 200);
    EXPECT_EQ(list.IndexOf(points[5]), 5);
    L3DPoint* later = list.AddPoint(500, 0, 0, 0, 0, 0, 0, 1);
    EXPECT_EQ(list.IndexOf(later), 201);
    // A point leaving moves every later one a place forward.
    EXPECT_EQ(list.RemovePointRef(points[10]), 0);
    EXPECT_EQ(list.IndexOf(points[11]), 10);
    EXPECT_EQ(list.IndexOf(points[11]), 10);
    EXPECT_EQ(list.IndexOf(later), 200);
    EXPECT_EQ(list.RemovePointRef(points[5]), 0);
    EXPECT_EQ(list.IndexOf(points[5]), 198) << "its second entry";
}

TEST_F(PointTest, EmptyListWritesItsCountOnly) {
    LBasePoint list;
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    list.Write(writer, 0);
    EXPECT_EQ(sink.Bytes(), (std::vector<uint8_t>{0, 0}));
}

class ProjectionTest : public SceneTest {
protected:
    ProjectionTest() : camera(&world, 0) { camera.SetViewSize(640, 480); }
    L3DCamera camera;
};

TEST_F(ProjectionTest, DepthZeroProjectsAroundTheViewCentre) {
    L3DPoint point;
    point.camera[0] = 7;
    point.camera[1] = -3;
    point.camera[2] = 0;
    point.Reproject(camera);
    EXPECT_EQ(point.screenX, 327);
    EXPECT_EQ(point.screenY, 243);
    EXPECT_EQ(point.reciprocalDepth, 1);
    L3DPoint ahead(10, 0, 100, 0, 0, 0, 0);
    L3DLocation identity;
    ahead.TransformAndProject(identity, camera);
    EXPECT_NEAR(ahead.depth, 100, 1e-4);
    EXPECT_NEAR(ahead.screenX, 320 + camera.focalX * 10 / 100, 1e-3);
    EXPECT_EQ(ahead.visible, 1);
}

TEST_F(ProjectionTest, LinearFogRunsFromStartToEnd) {
    camera.SetMaxVisibleDistance(1000);
    camera.EnableFog(1);
    struct Case {
        float start, end, depth;
        int fog;
    };
    const Case cases[] = {
        {0.2f, 0.6f, 200, 255}, {0.2f, 0.6f, 600, 0}, {0.2f, 0.6f, 400, 127},
        {0.2f, 0.6f, 10, 255},  {0.2f, 0.6f, 900, 0}, {0.5f, 0.5f, 500, 255},
        {0.5f, 0.5f, 499, 255}, {0.5f, 0.5f, 501, 0},
    };
    for (const Case& c : cases) {
        camera.SetFogRange(c.start, c.end);
        EXPECT_EQ(camera.FogAt(c.depth), c.fog) << c.start << " " << c.end << " " << c.depth;
    }
    camera.EnableFog(0);
    EXPECT_EQ(camera.FogAt(900), 255);
}

TEST_F(ProjectionTest, EnvironmentCoordinatesComeFromTheTurnedNormal) {
    LTexture* texture = world.GetAPI()->CreateTexture(&world, "Env", nullptr);
    world.textures.AddTexture(texture);
    texture->SetEnvironmentMapping(1);
    LMaterial* material = world.materials.CreateMaterial("Chrome", texture, 0, 0, nullptr);
    L3DPoint point(0, 0, 100, 0, 0, 0, 0);
    point.ownVertex = std::make_unique<RenderVertex>();
    point.material = material;
    point.normal[0] = 1;
    L3DLocation identity;
    point.TransformAndProject(identity, camera);
    EXPECT_FLOAT_EQ(point.ownVertex->u1, 0);
    EXPECT_FLOAT_EQ(point.ownVertex->v1, 0.5f);
    EXPECT_FLOAT_EQ(point.ownVertex->u2, 0);
    EXPECT_FLOAT_EQ(point.ownVertex->v2, 0.5f);
}

} // namespace
