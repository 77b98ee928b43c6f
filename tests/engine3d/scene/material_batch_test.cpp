#include <gtest/gtest.h>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

class BatchTest : public SceneTest {
protected:
    BatchTest() : camera(*world.CreateCamera(0)) {
        camera.SetViewSize(640, 480);
        renderer = static_cast<RecordingRenderer*>(device.CreateRenderer(&world));
        camera.renderer = renderer;
        material = world.materials.CreateMaterial("Stone", nullptr, 0x336699, 0, nullptr);
        object.SetPosition(0, 0, 200);
    }

    LCacheMaterialList& Batches() { return *object.GetCurrentBatchList(); }

    L3DCamera& camera;
    RecordingRenderer* renderer;
    LMaterial* material;
    L3DObject object{"Mesh", &world, nullptr};
};

TEST_F(BatchTest, QuadsAreNeverBatched) {
    LPolygon* quad = AddFace(object, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    quad->SetMaterial(material);
    EXPECT_EQ(Batches().FindBatch(material), nullptr);
}

TEST_F(BatchTest, TrianglesSharingAnEdgeShareTheirVertices) {
    AddFace(object, {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}})->SetMaterial(material);
    AddFace(object, {{10, 0, 0}, {10, 10, 0}, {0, 10, 0}})->SetMaterial(material);
    Batches().DrawAll(camera, &object);
    ASSERT_EQ(renderer->batchIndices.size(), 1u);
    EXPECT_EQ(renderer->batchVertexCounts[0], 4u);
    EXPECT_EQ(renderer->batchIndices[0], (std::vector<uint16_t>{0, 1, 2, 1, 3, 2}));
    const LCacheMaterial* batch = Batches().FindBatch(material);
    EXPECT_EQ(batch->records[0].diffuse, 0xFF996633u);
    EXPECT_NE(object.GetCurrentPointList()->GetPoint(0)->batchVertex, nullptr);
    EXPECT_EQ(renderer->batchIndices.size(), 1u);
}

TEST_F(BatchTest, HiddenMaterialsAreRebuiltButNotDrawn) {
    AddFace(object, {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}})->SetMaterial(material);
    material->Hide();
    Batches().DrawAll(camera, &object);
    EXPECT_TRUE(renderer->batchIndices.empty());
    EXPECT_EQ(Batches().FindBatch(material)->vertexCount, 3u);
}

TEST_F(BatchTest, TranslucentTrianglesGoToTheDepthBuckets) {
    world.backFaceCulling = 0;
    LPolygon* p = AddFace(object, {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}});
    p->SetMaterial(material);
    material->SetAlphaValue(128);
    camera.PrepareDepthSort();
    Batches().DrawAll(camera, &object);
    EXPECT_TRUE(renderer->batchIndices.empty());
    EXPECT_EQ(camera.QueuedCount(), 1);
    camera.DrawBuckets();
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].polygon, p);
}

TEST_F(BatchTest, AnOversizedBatchIsDrawnTriangleByTriangle) {
    world.backFaceCulling = 0;
    object.GetCurrentPointList()->DisableMerging();
    const int triangles = 21846;
    for (int i = 0; i < triangles; ++i) {
        const float x = float(i % 100) * 0.01f, y = float(i / 100) * 0.01f;
        AddFace(object, {{x, y, 0}, {x + 0.005f, y, 0}, {x, y + 0.005f, 0}})->SetMaterial(material);
    }
    Batches().DrawAll(camera, &object);
    EXPECT_GT(Batches().FindBatch(material)->vertexCount, LCacheMaterial::kMaxVertices);
    EXPECT_TRUE(renderer->batchIndices.empty());
    EXPECT_EQ(device.draws.size(), size_t(triangles));
}

TEST_F(BatchTest, TrianglesLeavingAndJoiningABatchAreDrawnAsTheyAreNow) {
    world.backFaceCulling = 0;
    LPolygon* a = AddFace(object, {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}});
    LPolygon* b = AddFace(object, {{10, 0, 0}, {10, 10, 0}, {0, 10, 0}});
    for (LPolygon* p : {a, b})
        p->SetMaterial(material);
    // Partly beyond the screen, so that each triangle is tested on its own.
    Batches().SetVisibilityTest();
    for (LPolygon* p : {a, b})
        p->visibility = LPolygon::kInside;
    Batches().DrawAll(camera, &object);
    ASSERT_EQ(renderer->batchIndices.size(), 1u);
    EXPECT_EQ(renderer->batchIndices[0].size(), 6u);

    ASSERT_EQ(object.RemovePolygonObject(a), 0);
    Batches().DrawAll(camera, &object);
    ASSERT_EQ(renderer->batchIndices.size(), 2u);
    EXPECT_EQ(renderer->batchIndices[1].size(), 3u);

    LPolygon* c = AddFace(object, {{0, 0, 5}, {10, 0, 5}, {0, 10, 5}});
    c->SetMaterial(material);
    c->visibility = LPolygon::kInside;
    Batches().DrawAll(camera, &object);
    ASSERT_EQ(renderer->batchIndices.size(), 3u);
    EXPECT_EQ(renderer->batchIndices[2].size(), 6u);
}

TEST_F(BatchTest, ADeletedBatchLeavesNoRecordBehind) {
    AddFace(object, {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}})->SetMaterial(material);
    Batches().DrawAll(camera, &object);
    const L3DPoint* corner = object.GetCurrentPointList()->GetPoint(0);
    ASSERT_NE(corner->batchVertex, nullptr);
    Batches().RemoveMaterial(material);
    EXPECT_EQ(corner->batchVertex, nullptr);
    EXPECT_EQ(corner->renderIndex, L3DPoint::kNoRenderIndex);
    // The polygon no longer names the deleted batch; destroying it later is safe.
    EXPECT_EQ(object.GetPolygonAt(0)->batch, nullptr);
}

} // namespace
