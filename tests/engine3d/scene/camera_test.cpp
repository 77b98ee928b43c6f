#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/float_to_int.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

class CameraTest : public SceneTest {
protected:
    CameraTest() : camera(*world.CreateCamera(0)) {
        camera.SetViewSize(640, 480);
        camera.renderer = device.CreateRenderer(&world);
        material = world.materials.CreateMaterial("Solid", nullptr, 0xFF, 0, nullptr);
    }

    // A polygon whose vertices sit at these camera-space positions (the camera looks
    // down +z from the origin).
    LPolygon* Face(L3DObject& object, std::initializer_list<Vec3> corners) {
        LPolygon* p = AddFace(object, corners);
        p->SetMaterial(material);
        L3DLocation identity;
        for (int i = 0; i < p->GetVertexCount(); ++i)
            p->GetVertex(i)->TransformAndProject(identity, camera);
        return p;
    }

    L3DCamera& camera;
    LMaterial* material;
};

TEST_F(CameraTest, SettingsAreClamped) {
    const struct {
        float fov;
        float stored;
    } fovs[] = {{5, 10}, {200, 179}, {60, 60}};
    for (const auto& c : fovs) {
        camera.SetFieldOfView(c.fov);
        EXPECT_EQ(camera.fieldOfView, c.stored);
    }
    camera.SetViewSize(0, 0);
    EXPECT_FLOAT_EQ(camera.ratio, 0.75f);
    camera.SetViewSize(800, 400);
    EXPECT_FLOAT_EQ(camera.ratio, 0.5f);
    camera.SetMaxVisibleDistance(100);
    EXPECT_EQ(camera.farDistance, 500);
    camera.SetMaxVisibleDistance(1 << 20);
    EXPECT_EQ(camera.farDistance, 65536);
    camera.SetMinVisibleDistance(-5);
    EXPECT_EQ(camera.nearDistance, 0);
}

TEST_F(CameraTest, FogFractionsStayAndDistancesFollowTheFarDistance) {
    camera.SetFogRange(0.8f, 0.5f);
    float start = 0, end = 0;
    camera.GetFogRange(&start, &end);
    EXPECT_FLOAT_EQ(start, 0.8f);
    EXPECT_FLOAT_EQ(end, 0.8f);
    camera.SetFogRange(0.25f, 0.5f);
    camera.SetMaxVisibleDistance(1000);
    EXPECT_EQ(camera.fogStartDistance, 250);
    EXPECT_EQ(camera.fogEndDistance, 500);
    camera.SetMaxVisibleDistance(100);
    EXPECT_EQ(camera.fogStartDistance, 125);
    camera.GetFogRange(&start, &end);
    EXPECT_FLOAT_EQ(start, 0.25f);
    camera.SetFog(1, 0x102030, NAN, 2, -1);
    EXPECT_EQ(camera.fogStart, 0);
    EXPECT_EQ(camera.fogEnd, 1);
    EXPECT_EQ(camera.GetFogDensity(), 0);
}

TEST_F(CameraTest, SphereVisibilityAtEqualities) {
    camera.SetMaxVisibleDistance(1000);
    const float side = camera.planes[1].a;
    const float sideZ = camera.planes[1].c;
    // A point on the positive-x plane at depth 500, and the unit normal pointing inwards.
    const float z = 500;
    const float x = -sideZ * z / side;
    struct Case {
        float cx, cy, cz, r;
        int answer;
    };
    const Case cases[] = {
        {0, 0, 1000, 0, L3DCamera::kInvisible},
        {0, 0, 999, 0, L3DCamera::kVisible},
        {0, 0, 1010, 10, L3DCamera::kInvisible},
        {0, 0, 1005, 10, L3DCamera::kClipped},
        {0, 0, 10, 10, L3DCamera::kInvisible},
        {0, 0, 15, 10, L3DCamera::kClipped},
        {0, 0, 500, 10, L3DCamera::kVisible},
        {x - side * 10, 0, z - sideZ * 10, 10, L3DCamera::kClipped},
        {x - side * 11, 0, z - sideZ * 11, 10, L3DCamera::kInvisible},
    };
    for (const Case& c : cases) {
        const float centre[3] = {c.cx, c.cy, c.cz};
        EXPECT_EQ(camera.GetVisibility(centre, c.r), c.answer) << c.cx << " " << c.cz << " " << c.r;
    }
}

TEST_F(CameraTest, ClippingUsesOnlyTheCrossedPlanes) {
    L3DObject object("Mesh", &world, nullptr);
    // Crosses the near plane (z = 20) only.
    LPolygon* p = Face(object, {{-1, -1, 10}, {1, -1, 30}, {0, 1, 30}});
    EXPECT_EQ(camera.GetOutCodes(p->Vertices(), 3), 64u);
    L3DPoint* out[L3DCamera::kMaxClipVertices];
    int count = 0;
    p->ClipAndProject(camera, p->Vertices(), 3, out, &count, 0);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(camera.clipPointCount, 2);
    for (int i = 0; i < count; ++i)
        EXPECT_GE(out[i]->camera[2], 20 - 1e-4);

    // Entirely behind the near plane: nothing survives.
    LPolygon* behind = Face(object, {{-5, -5, 5}, {5, -5, 5}, {0, 5, 5}});
    behind->ClipAndProject(camera, behind->Vertices(), 3, out, &count, 0);
    EXPECT_EQ(count, 0);
    LPolygon* two = device.CreatePolygon(&object, 2, 0);
    two->AddNewVertex(0, 0, 100, 0, 0, 0, 0);
    two->AddNewVertex(1, 0, 100, 0, 0, 0, 0);
    two->ClipAndProject(camera, two->Vertices(), 2, out, &count, 0);
    EXPECT_EQ(count, 0);
    device.DeletePolygon(two);
}

TEST_F(CameraTest, AScreenCoveringTriangleIsClippedThroughItsSphere) {
    world.backFaceCulling = 0;
    L3DObject object("Huge", &world, nullptr);
    LPolygon* p = Face(object, {{-5000, -5000, 100}, {5000, -5000, 100}, {0, 5000, 100}});
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(p->GetVertex(i)->visible, 0);
    p->Submit(camera);
    EXPECT_EQ(p->visibility, LPolygon::kCrossing);
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_GE(device.draws[0].vertices.size(), 4u);
    for (const auto& v : device.draws[0].vertices)
        EXPECT_NEAR(v[2], 100, 1e-3);
}

TEST_F(CameraTest, DepthBucketsDrawFarToNearAndDropTheEnds) {
    world.backFaceCulling = 0;
    L3DObject object("Mesh", &world, nullptr);
    LPolygon* near = Face(object, {{-1, -1, 100}, {1, -1, 100}, {0, 1, 100}});
    LPolygon* far = Face(object, {{-1, -1, 400}, {1, -1, 400}, {0, 1, 400}});
    LPolygon* atZero = Face(object, {{-1, -1, 0}, {1, -1, 0}, {0, 1, 0}});
    camera.PrepareDepthSort();
    camera.QueueForDrawing(near);
    camera.QueueForDrawing(far);
    camera.QueueForDrawing(atZero);
    for (int i = 0; i < 3; ++i)
        far->GetVertex(i)->depth = 65536;
    camera.QueueForDrawing(far);
    for (int i = 0; i < 3; ++i)
        far->GetVertex(i)->depth = 400;
    EXPECT_EQ(camera.QueuedCount(), 2);
    near->ComputeVisibility(camera);
    far->ComputeVisibility(camera);
    camera.DrawBuckets();
    ASSERT_EQ(device.draws.size(), 2u);
    EXPECT_EQ(device.draws[0].polygon, far);
    EXPECT_EQ(device.draws[1].polygon, near);
    EXPECT_EQ(camera.QueuedCount(), 0);
}

TEST_F(CameraTest, AGrowingNodePoolKeepsQueuedPolygons) {
    world.backFaceCulling = 0;
    L3DObject object("Mesh", &world, nullptr);
    LPolygon* p = Face(object, {{-1, -1, 100}, {1, -1, 100}, {0, 1, 100}});
    p->ComputeVisibility(camera);
    camera.PrepareDepthSort();
    const int total = int(L3DCamera::kQueueReserve) * 2 + 5;
    for (int i = 0; i < total; ++i)
        camera.QueueForDrawing(p);
    camera.DrawBuckets();
    EXPECT_EQ(device.draws.size(), size_t(total));
}

// The walk draws buckets of four depth units far to near and, within a bucket, in queueing
// order; the depth counts as the polygon is queued. The reference order here is a stable
// sort of the polygons kept by their bucket, with the bucket taken from the whole depth.
TEST_F(CameraTest, DepthBucketsOrderRandomScenesAsAStableSortByBucket) {
    world.backFaceCulling = 0;
    L3DObject object("Mesh", &world, nullptr);
    std::vector<LPolygon*> faces;
    for (int i = 0; i < 100; ++i) {
        const float x = -15 + 0.3f * float(i);
        faces.push_back(Face(object, {{x, -1, 100}, {x + 0.1f, -1, 100}, {x, 1, 100}}));
        ASSERT_EQ(faces.back()->visibility, LPolygon::kInside);
    }
    std::mt19937 random(29031);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    auto randomDepth = [&]() -> float {
        switch (random() % 8) {
        case 0: // A bucket's edges.
            return 4.0f * float(random() % 16385) + (random() % 2 == 0 ? 0.0f : -0.001f);
        case 1: // Beyond either end, or no depth at all.
            return std::array<float, 6>{nan, -7, 0, 3.99f, 65537, 1e12f}[random() % 6];
        case 2: // The nearest buckets kept, whatever the near distance.
            return 65536.0f - 4.0f * float(random() % 200) - 0.5f;
        default:
            return float(random() % 6000000) / 100.0f;
        }
    };
    for (int scene = 0; scene < 20; ++scene) {
        camera.nearDistance = int32_t(random() % 40);
        // What an abandoned frame left queued is not drawn by the next.
        for (int v = 0; v < 3; ++v)
            faces[0]->GetVertex(v)->depth = 100;
        camera.QueueForDrawing(faces[0]);
        camera.PrepareDepthSort();
        std::vector<std::pair<int64_t, LPolygon*>> expected;
        device.draws.clear();
        const int queued = 1 + int(random() % 3000);
        for (int i = 0; i < queued; ++i) {
            LPolygon* p = faces[random() % faces.size()];
            for (int v = 0; v < 3; ++v)
                p->GetVertex(v)->depth = randomDepth();
            camera.QueueForDrawing(p);
            const int64_t bucket =
                L3DCamera::kBucketCount - (TruncateToInt32(p->GetMaxDepth()) >> 2);
            if (bucket >= camera.nearDistance && bucket < L3DCamera::kBucketCount)
                expected.emplace_back(bucket, p);
        }
        std::stable_sort(expected.begin(), expected.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        camera.DrawBuckets();
        ASSERT_EQ(device.draws.size(), expected.size()) << scene;
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(device.draws[i].polygon, expected[i].second) << scene << " " << i;
        EXPECT_EQ(camera.QueuedCount(), 0);
    }
}

TEST_F(CameraTest, CameChunkMatchesTheRecordTable) {
    camera.SetFieldOfView(45);
    camera.SetFog(1, 0x0000FF, 0.5f, 1, 1);
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    EXPECT_EQ(camera.Save(writer, 0), 0);
    const std::vector<uint8_t> head = {
        'C',  'A', 'M', 'E', 77,  0,   0,   0,    1,   4,   0,    0,    0, 0x34, 0x42, 1,    0,
        0xFF, 0,   0,   0,   0,   0,   0,   0x3F, 0,   0,   0x80, 0x3F, 0, 0,    0x80, 0x3F, 6,
        0,    'C', 'a', 'm', 'e', 'r', 'a', 'O',  'L', 'O', 'C',  36,   0, 0,    0};
    ASSERT_EQ(sink.Bytes().size(), 85u);
    EXPECT_EQ(std::vector<uint8_t>(sink.Bytes().begin(), sink.Bytes().begin() + long(head.size())),
              head);
}

TEST_F(CameraTest, RemovingTheCurrentCameraClearsIt) {
    world.currentCamera = &camera;
    EXPECT_EQ(world.cameras.RemoveCamera(&camera), 0);
    EXPECT_EQ(world.currentCamera, nullptr);
    EXPECT_EQ(world.cameras.RemoveCameraAt(3), 4);
}

} // namespace
