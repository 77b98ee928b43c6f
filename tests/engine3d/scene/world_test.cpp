#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/render/frame_state.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

struct CopyRequest {
    std::string source, destination, name;
    int failIfExists;
};

std::vector<CopyRequest>* gCopies = nullptr;

int RecordCopy(LTexture*, const char* source, const char* destination, int failIfExists,
               const char* name) {
    gCopies->push_back({source, destination, name, failIfExists});
    return 0;
}

class WorldTest : public SceneTest {
protected:
    WorldTest() { gCopies = &copies; }
    ~WorldTest() override { gCopies = nullptr; }

    std::vector<CopyRequest> copies;
};

TEST_F(WorldTest, RemoveAllEmptiesTheWorldButKeepsTheBuiltInMaterials) {
    LTexture* texture = device.CreateTexture(&world, "Sky", nullptr);
    world.textures.AddTexture(texture);
    LMaterial* sky = world.materials.CreateMaterial("Sky", texture, 0, 0, nullptr);
    world.materials.CreateMaterial("Plain", nullptr, 0xFF, 0, nullptr);
    world.SetBackgroundMaterial(sky);
    auto* object = new L3DObject("Box", &world, nullptr);
    AddFace(*object, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    world.AddObject(object, 0);
    auto* fixed = new L3DObject("Floor", &world, nullptr);
    AddFace(*fixed, {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}});
    world.AddObject(fixed, 0);
    fixed->MakeStatic(0);
    world.Optimize();
    world.CreateCamera(0);
    const float at[3] = {0, 0, 0};
    world.lights->CreateLight(LBaseLight::kDynamicKind, at, 50, 255, 0xFF, 0);
    world.sprites.CreateSprite(&world, nullptr);
    world.blobs.CreateBlob(nullptr, "Blob", 10, 10, nullptr, 0);
    world.sounds.CreateSound("bell.wav", 0);
    world.zones.CreateZone(nullptr, 10, 10, 10, 1, 0);
    world.worldFlags = 0x800000;

    world.RemoveAll();
    EXPECT_EQ(world.objectCount, 0u);
    EXPECT_EQ(world.objects.GetCount(), 0u);
    EXPECT_EQ(world.cluster->octree, nullptr);
    EXPECT_EQ(world.cameras.list.GetCount(), 0u);
    EXPECT_TRUE(world.lights->all.empty());
    EXPECT_TRUE(world.lights->colors.empty());
    EXPECT_EQ(world.sprites.list.GetCount(), 0u);
    EXPECT_EQ(world.blobs.list.GetCount(), 0u);
    EXPECT_EQ(world.sounds.list.GetCount(), 0u);
    EXPECT_EQ(world.zones.list.GetCount(), 0u);
    EXPECT_EQ(world.textures.list.GetCount(), 0u);
    EXPECT_EQ(world.backgroundSprite, nullptr);
    EXPECT_EQ(world.GetBackgroundMaterial(), nullptr);
    EXPECT_EQ(world.worldFlags, 0u);
    ASSERT_EQ(world.materials.list.GetCount(), 2u);
    EXPECT_EQ(world.materials.list.GetNodeAt(0)->item, world.GetDefaultMaterial());
    EXPECT_EQ(world.materials.list.GetNodeAt(1)->item, world.GetShadowMaterial());
    EXPECT_EQ(device.pointsAlive, 0);
    EXPECT_EQ(device.polygonsAlive, 0);

    // The world works on as new.
    auto* again = new L3DObject("Again", &world, nullptr);
    AddFace(*again, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    world.AddObject(again, 0);
    EXPECT_EQ(world.objectCount, 1u);
    world.RemoveAll();
    world.RemoveAll();
    EXPECT_EQ(world.materials.list.GetCount(), 2u);
}

TEST_F(WorldTest, ObjectsLeaveInAnyOrderAndOnlyTheWorldListingThem) {
    // Kept alive after leaving, so that leaving twice can be tried.
    world.autoDelete = 0;
    std::vector<L3DObject*> made;
    for (int i = 0; i < 8; ++i) {
        made.push_back(new L3DObject(("Part" + std::to_string(i)).c_str(), &world, nullptr));
        world.AddObject(made.back(), 0);
    }
    L3DWorld other{&device, 0, nullptr, nullptr};
    auto* stranger = new L3DObject("Stranger", &other, nullptr);
    other.AddObject(stranger, 0);
    EXPECT_EQ(world.RemoveObject(stranger), 1);
    EXPECT_EQ(other.IndexOfObject(stranger), 0);
    // The middle, then both ends, then the middle again.
    for (int i : {4, 0, 7, 2}) {
        EXPECT_EQ(world.RemoveObject(made[size_t(i)]), 0) << i;
        EXPECT_EQ(world.RemoveObject(made[size_t(i)]), 1) << "once only: " << i;
    }
    std::vector<std::string> left;
    for (LListNode* node = world.objects.GetHead(); node != nullptr; node = node->next)
        left.push_back(static_cast<L3DObject*>(node->item)->RawName());
    EXPECT_EQ(left, (std::vector<std::string>{"Part1", "Part3", "Part5", "Part6"}));
    EXPECT_EQ(world.objectCount, 4u);
    EXPECT_EQ(world.IndexOfObject(made[5]), 2);
    // Taken out and put back, an object is found and taken out at its new place.
    EXPECT_EQ(world.RemoveObject(made[3]), 0);
    world.AddObject(made[3], 0);
    EXPECT_EQ(world.IndexOfObject(made[3]), 3);
    EXPECT_EQ(world.RemoveObject(made[3]), 0);
    EXPECT_EQ(world.IndexOfObject(made[6]), 2);
    world.autoDelete = 1;
    for (int i : {4, 0, 7, 2, 3})
        delete made[size_t(i)];
}

TEST_F(WorldTest, TheTextureFormatIsTheCurrentRenderersMapping) {
    EXPECT_EQ(world.GetTextureFormat(), 16u) << "no current renderer: the stored format";
    auto* renderer = static_cast<RecordingRenderer*>(device.CreateRenderer(&world));
    renderer->depthAnswer = 32;
    SetCurrentRenderer(renderer);
    EXPECT_EQ(world.GetTextureFormat(), 32u);
    SetCurrentRenderer(nullptr);
    EXPECT_EQ(world.GetTextureFormat(), 32u) << "the mapped format is kept";
    EXPECT_EQ(world.textures.list.GetCount(), 0u) << "the probe texture is not listed";
}

TEST_F(WorldTest, CamerasSaveAsTopLevelChunksMatchingTheWorldsCount) {
    world.CreateCamera(0);
    L3DCamera* passing = world.CreateCamera(0);
    world.CreateCamera(0);
    passing->SetPersistent(0);
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    EXPECT_EQ(world.Save(writer, 0), 0);
    EXPECT_EQ(world.SaveCameras(writer, 0), 0);
    const std::vector<uint8_t> bytes = sink.Bytes();
    // The count at offset 18 of "WORL", then the chunks after "WORL" itself.
    EXPECT_EQ(bytes[18], 2);
    const size_t worldSize = 8 + size_t(bytes[4]);
    int cameraChunks = 0;
    for (size_t at = worldSize; at + 8 <= bytes.size();) {
        EXPECT_EQ(std::string(bytes.begin() + long(at), bytes.begin() + long(at) + 4), "CAME");
        ++cameraChunks;
        at += 8 + size_t(bytes[at + 4]) + (size_t(bytes[at + 5]) << 8);
    }
    EXPECT_EQ(cameraChunks, 2);
}

TEST_F(WorldTest, TheBackgroundImageIsCopiedIntoTheTextureFolder) {
    L3DWorld copying(&device, 0, nullptr, RecordCopy);
    LTexture* texture = device.CreateTexture(&copying, "Sky", nullptr);
    texture->SetFileName("C:\\art\\sky.bmp");
    copying.textures.AddTexture(texture);
    copying.SetBackgroundMaterial(copying.materials.CreateMaterial("Dome", texture, 0, 0, nullptr));
    {
        MemoryByteSink sink;
        ChunkWriter writer(sink);
        EXPECT_EQ(copying.Save(writer, 0), 0);
    }
    EXPECT_TRUE(copies.empty()) << "no texture folder, no copy";
    MemoryByteSink sink;
    ChunkWriter writer(sink, "D:\\out");
    EXPECT_EQ(copying.Save(writer, 0), 0);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].source, "C:\\art\\sky.bmp");
    EXPECT_EQ(copies[0].destination, "D:\\out\\sky.bmp");
    EXPECT_EQ(copies[0].name, "sky.bmp");
    EXPECT_EQ(copies[0].failIfExists, 1);
}

} // namespace
