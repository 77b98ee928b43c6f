#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "engine3d/scene/blobs/blob.h"
#include "engine3d/scene/blobs/blob_list.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

class BlobTest : public SceneTest {
protected:
    L3DBlob* Make(int32_t w, int32_t h, const char* name = "Tree") {
        return world.blobs.CreateBlob(nullptr, name, w, h, nullptr, 0);
    }

    static std::vector<std::array<float, 2>> Corners(L3DBlob& blob) {
        std::vector<std::array<float, 2>> corners;
        LBasePoint* points = blob.GetCurrentPointList();
        for (int32_t i = 0; i < points->GetCount(); ++i)
            corners.push_back({points->GetPoint(i)->model[0], points->GetPoint(i)->model[1]});
        return corners;
    }
};

using Corners2 = std::vector<std::array<float, 2>>;

TEST_F(BlobTest, TwoTrianglesOfTheDefaultMaterialAndSizesKeptOnRequest) {
    L3DBlob* blob = Make(20, 40);
    EXPECT_EQ(blob->typeCode, 0x4004u);
    EXPECT_EQ(blob->facing, 4);
    EXPECT_EQ(Corners(*blob), (Corners2{{-10, -20}, {-10, 20}, {10, 20}, {10, -20}}));
    ASSERT_EQ(blob->GetPolygonCount(0), 2);
    LPolygon* first = static_cast<LPolygon*>(blob->GetCurrentPolygonList()->GetHead()->item);
    EXPECT_EQ(first->GetMaterial(), world.GetDefaultMaterial());
    EXPECT_EQ(first->GetVertex(0), blob->GetCurrentPointList()->GetPoint(3));
    blob->SetSize(-99999, 20, nullptr);
    EXPECT_EQ(blob->width, 20);
    EXPECT_EQ(Corners(*blob), (Corners2{{-10, -10}, {-10, 10}, {10, 10}, {10, -10}}));
    EXPECT_EQ(blob->GetCurrentPointList()->GetCount(), 4);
    blob->L3DLocation::flags = 0;
    blob->SetSize(-99999, -99999, nullptr);
    EXPECT_EQ(blob->L3DLocation::flags, 0u);
    LMaterial* leaf = world.materials.CreateMaterial("Leaf", nullptr, 0x00FF00, 0, nullptr);
    blob->SetSize(-99999, -99999, leaf);
    EXPECT_EQ(first->GetMaterial(), leaf);
    EXPECT_EQ(blob->Clone(nullptr), nullptr);
    EXPECT_EQ(blob->Duplicate(nullptr), nullptr);
}

TEST_F(BlobTest, BlobsFaceTheCameraAroundTheirAllowedAxes) {
    L3DCamera* camera = world.CreateCamera(0);
    camera->SetPosition(0, 500, 0);
    L3DBlob* upright = Make(10, 10, "Upright");
    upright->SetPosition(100, 0, 100);
    L3DBlob* free = Make(10, 10, "Free");
    free->SetPosition(100, 0, 100);
    free->facing = 2 | 4;
    world.blobs.UpdateForFrame(*camera);
    EXPECT_EQ(upright->angles[0], 0.0f);
    EXPECT_EQ(upright->angles[2], 0.0f);
    EXPECT_NE(upright->angles[1], 0.0f);
    EXPECT_EQ(free->angles[1], upright->angles[1]);
    EXPECT_NE(free->angles[0], 0.0f);
}

TEST_F(BlobTest, ListCodesAndNames) {
    L3DBlob* a = Make(1, 1, "Bush");
    L3DBlob* b = Make(1, 1, "bush");
    EXPECT_EQ(world.blobs.FindByName("BUSH"), a);
    EXPECT_EQ(world.blobs.FindNextByName(b, "Bush"), b);
    EXPECT_EQ(world.blobs.RemoveBlobAt(2, 1), 11);
    EXPECT_EQ(world.blobs.RemoveBlob(a, 1), 0);
    EXPECT_EQ(world.blobs.RemoveBlob(a, 1), 11);
    // A blob destroyed directly leaves the list.
    delete b;
    EXPECT_EQ(world.blobs.list.GetCount(), 0u);
}

TEST_F(BlobTest, SavesTheRecordAndItsFacingChunk) {
    L3DBlob* blob = Make(20, 40, "Fir");
    blob->SetPosition(1, 2, 3);
    Make(5, 5, "Gone")->objectFlags &= ~L3DObject::kPersistent;
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    EXPECT_EQ(world.blobs.Save(writer, 0), 0);
    const std::vector<uint8_t>& bytes = sink.Bytes();
    // Count, width, height, alpha, name, material index 0 (the default material).
    const std::vector<uint8_t> head = {'B', 'B', 'L', 'O', 67,  0,   0,  0,   1,   0,
                                       20,  0,   40,  0,   255, 3,   0,  'F', 'i', 'r',
                                       0,   0,   'O', 'L', 'O', 'C', 36, 0,   0,   0};
    ASSERT_EQ(bytes.size(), 75u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 30), head);
    const std::vector<uint8_t> tail = {'B', 'L', 'O', 'B', 1, 0, 0, 0, 4};
    EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 9, bytes.end()), tail);
}

TEST_F(BlobTest, AFrameDrawsTheBlobs) {
    world.backFaceCulling = 0;
    L3DCamera* camera = world.CreateCamera(0);
    camera->SetViewSize(640, 480);
    auto* screen = static_cast<RecordingRenderer*>(device.CreateRenderer(&world));
    screen->AttachView(camera);
    L3DBlob* blob = Make(20, 20);
    blob->SetPosition(0, 0, 200);
    screen->RenderFrame();
    ASSERT_EQ(device.draws.size(), 2u);
    for (const RecordedDraw& draw : device.draws)
        EXPECT_EQ(draw.polygon->owner, blob);
    // Picked only when blobs are asked for.
    camera->renderer = screen;
    const float centre[2] = {320, 240};
    EXPECT_EQ(world.FindObjectAt(*camera, centre, 8), blob);
    EXPECT_EQ(world.FindObjectAt(*camera, centre, 2 | 4 | 16 | 32 | 64), nullptr);
    camera->renderer = nullptr;
}

// On a "hardware" back end the blob's two triangles go as its material batch, with the
// screen corners of this frame's turn: a square centred where the blob is seen, even
// after the camera moved aside.
TEST(HardwareBlobTest, TheBlobIsDrawnAsItsBatchFacingTheCamera) {
    RecordingDevice device;
    device.hardware = 1;
    L3DWorld world(&device, 0, nullptr, nullptr);
    L3DCamera* camera = world.CreateCamera(0);
    camera->SetViewSize(640, 480);
    auto* screen = static_cast<RecordingRenderer*>(device.CreateRenderer(&world));
    screen->AttachView(camera);
    L3DBlob* blob = world.blobs.CreateBlob(nullptr, "Halo", 12, 12, nullptr, 0);
    blob->SetPosition(0, 0, 200);

    auto centreAndSide = [&](float* centre, float* side) {
        const RecordedCall* batch = nullptr;
        for (const RecordedCall& call : device.calls)
            if (call.slot == "DrawPolygonBatch" && call.third == blob) batch = &call;
        ASSERT_NE(batch, nullptr);
        ASSERT_EQ(screen->batchIndices.back().size(), 6u);
        const auto* material = static_cast<const LCacheMaterial*>(batch->first);
        float low[2] = {1e9f, 1e9f}, high[2] = {-1e9f, -1e9f};
        for (uint16_t i : screen->batchIndices.back()) {
            const RenderVertex& v = material->records[i];
            low[0] = std::min(low[0], v.x), high[0] = std::max(high[0], v.x);
            low[1] = std::min(low[1], v.y), high[1] = std::max(high[1], v.y);
        }
        for (int k = 0; k < 2; ++k) {
            centre[k] = (low[k] + high[k]) / 2;
            side[k] = high[k] - low[k];
        }
    };
    float centre[2], side[2];
    screen->RenderFrame();
    EXPECT_TRUE(device.draws.empty());
    centreAndSide(centre, side);
    EXPECT_NEAR(centre[0], 320, 0.5f);
    EXPECT_NEAR(centre[1], 240, 0.5f);
    EXPECT_GT(side[0], 1);
    EXPECT_NEAR(side[0], side[1], 0.5f);

    // Seen from the left, the blob turns and stays square on the screen.
    camera->SetPosition(-150, 0, 200);
    camera->SetAngles(0, -1.5707964f, 0, 0);
    device.calls.clear();
    screen->batchIndices.clear();
    screen->RenderFrame();
    float turned[2];
    centreAndSide(centre, turned);
    EXPECT_NEAR(centre[0], 320, 0.5f);
    EXPECT_NEAR(turned[0], turned[1], 0.5f);
}

} // namespace
