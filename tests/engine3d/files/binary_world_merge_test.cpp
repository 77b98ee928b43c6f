// Load masks, merging, one-object files and the texture folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "engine3d/files/binary_world_file.h"
#include "engine3d/files/world_file_support.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/materials/texture_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/octree.h"
#include "engine3d/scene/render/device.h"
#include "foundation/files/file_layer.h"

namespace {

std::string CurrentDirectory() {
    char buffer[260] = {};
    GetCurrentDir(sizeof buffer, buffer);
    return buffer;
}

int CountNamed(const L3DWorld& w, const char* name) {
    int n = 0;
    for (LListNode* node = w.objects.GetHead(); node != nullptr; node = node->next)
        n += std::string(static_cast<L3DObject*>(node->item)->RawName()) == name ? 1 : 0;
    return n;
}

L3DObject* PlainNamed(const L3DWorld& w, const char* name) {
    for (LListNode* node = w.objects.GetHead(); node != nullptr; node = node->next) {
        auto* o = static_cast<L3DObject*>(node->item);
        if (o->typeCode == L3DObject::kPlain && std::string(o->RawName()) == name) return o;
    }
    return nullptr;
}

bool Contains(const std::vector<uint8_t>& bytes, const std::string& text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

TEST_F(WorldFileTest, StaticObjectsAloneAreReadUnderTheirBit) {
    BuildRichWorld(world, dir);
    const std::vector<uint8_t> bytes = Save(world, zyb::kSaveDefault);
    zyb::LoadStatistics statistics;
    ASSERT_EQ(Load(loaded, bytes, zyb::kLoadStaticObjects, &statistics), 1);
    EXPECT_EQ(loaded.objectCount, 1u);
    EXPECT_STREQ(loaded.GetObjectAt(0)->RawName(), "Pillar");
    ASSERT_NE(loaded.cluster->octree, nullptr);
    EXPECT_EQ(loaded.cluster->octree->GetPolygonCount(0), 6);
    EXPECT_EQ(loaded.cluster->dynamicObjects.GetCount(), 0u);
    EXPECT_EQ(loaded.cameras.list.GetCount(), 0u);
    EXPECT_EQ(loaded.backFaceCulling, 1u) << "the world section is not read";
    EXPECT_EQ(statistics.dynamicObjects.count, 0u);
    // Without the materials the polygons take the default material.
    EXPECT_EQ(loaded.GetObjectAt(0)->GetPolygonAt(0)->GetMaterial(), loaded.GetDefaultMaterial());
}

TEST_F(WorldFileTest, MergingFindsTheAddedObjectByNameOrTakesTheFirst) {
    BuildRichWorld(world, dir);
    const std::vector<uint8_t> bytes = Save(world, zyb::kSaveDefault);
    auto* resident = new L3DObject("Walker", &loaded, nullptr);
    AddFace(*resident, {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}});
    loaded.AddObject(resident, 0);

    L3DObject* walker = Merge(loaded, bytes, "WALKER");
    ASSERT_NE(walker, nullptr);
    EXPECT_NE(walker, resident) << "the resident object was there before";
    EXPECT_EQ(walker->typeCode, L3DObject::kAnimated);
    ASSERT_NE(walker->children, nullptr);
    EXPECT_EQ(loaded.cameras.list.GetCount(), 0u) << "a merge reads objects only";
    const uint32_t count = loaded.objectCount;

    // The clones go to the front of the list and bear their sources' names; the objects
    // of the file's own trees come first, in the file's order.
    L3DObject* first = Merge(loaded, bytes, "");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->RawName(), "Pillar");
    L3DObject* body = Merge(loaded, bytes, "body");
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->typeCode, L3DObject::kPlain);

    EXPECT_EQ(Merge(loaded, bytes, "Nobody"), nullptr);
    EXPECT_EQ(loaded.objectCount, count + 3 * (count - 1)) << "the objects stay added";
    EXPECT_EQ(Merge(loaded, bytes, nullptr), nullptr);
}

TEST_F(WorldFileTest, OneObjectFileMergesBackWithChildrenAndClones) {
    BuildRichWorld(world, dir);
    L3DObject* body = PlainNamed(world, "Body");
    ASSERT_NE(body, nullptr);
    LBinaryWorldFile saver;
    ASSERT_EQ(saver.SaveObject(dir.Win("body.zyb").c_str(), &world, body, nullptr), kResultOk);
    std::ifstream in(dir.Linux("body.zyb"), std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};

    L3DObject* merged = Merge(loaded, bytes, "body");
    ASSERT_NE(merged, nullptr);
    EXPECT_EQ(merged->typeCode, L3DObject::kPlain);
    EXPECT_EQ(merged->userValue, 77u);
    ASSERT_NE(merged->FindChild("Hand"), nullptr);
    EXPECT_EQ(merged->clones.size(), 3u);
    EXPECT_EQ(CountNamed(loaded, "Body"), 4);
    EXPECT_EQ(CountNamed(loaded, "Walker"), 0) << "only the object's own records";
    // The materials are in the file and the polygons keep theirs when loaded.
    L3DWorld other{&device, 0, nullptr, nullptr};
    ASSERT_EQ(Load(other, bytes, 0xEFE), 1);
    L3DObject* again = PlainNamed(other, "Body");
    ASSERT_NE(again, nullptr);
    EXPECT_STREQ(again->GetPolygonAt(0)->GetMaterial()->Name(), "Planks");
}

TEST_F(WorldFileTest, EqualMaterialsLoadAsOne) {
    LMaterial* a = world.materials.CreateMaterial("Same", nullptr, 0x10, 0, nullptr);
    LMaterial* b = world.materials.CreateMaterial("Same", nullptr, 0x10, 0, nullptr);
    world.materials.CreateMaterial("Same", nullptr, 0x20, 0, nullptr);
    auto* object = new L3DObject("Two", &world, nullptr);
    AddFace(*object, {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}}, a);
    AddFace(*object, {{5, 0, 0, 0, 0}, {6, 0, 0, 0, 0}, {5, 1, 0, 0, 0}}, b);
    world.AddObject(object, 0);
    ASSERT_EQ(Load(loaded, Save(world, zyb::kSaveDefault), 0xEFE), 1);
    L3DObject* two = loaded.FindObjectByName("Two");
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->GetPolygonAt(0)->GetMaterial(), two->GetPolygonAt(1)->GetMaterial());
    EXPECT_STREQ(two->GetPolygonAt(0)->GetMaterial()->Name(), "Same");
    // The third differs in colour and gets a name of its own.
    EXPECT_NE(loaded.materials.FindByName("Same - 1"), nullptr);
    EXPECT_EQ(loaded.materials.list.GetCount(), 4u);
}

TEST_F(WorldFileTest, TheTextureFolderGetsTheImagesAndTheDirectoryStays) {
    BuildRichWorld(world, dir);
    dir.WriteFile("textures/stone.bmp", "mine");
    const std::string here = CurrentDirectory();
    const std::vector<uint8_t> bytes = Save(world, zyb::kSaveDefault);
    EXPECT_EQ(CurrentDirectory(), here);
    EXPECT_TRUE(dir.Exists("textures/wood.bmp"));
    EXPECT_TRUE(dir.Exists("textures/shade.bmp"));
    EXPECT_EQ(dir.ReadFile("textures/stone.bmp"), "mine") << "an existing file is kept";
    EXPECT_TRUE(Contains(bytes, "wood.bmp"));
    EXPECT_FALSE(Contains(bytes, "images")) << "bare names only";

    LBinaryWorldFile saver;
    EXPECT_EQ(saver.SaveWorld(dir.Win("missing\\deeper\\w.zyb").c_str(), &world, zyb::kSaveDefault,
                              dir.Win("t2").c_str()),
              kResultCannotOpen);
    EXPECT_EQ(CurrentDirectory(), here);
    // Without bit 0x200 no folder is made.
    EXPECT_EQ(saver.SaveWorld(dir.Win("plain.zyb").c_str(), &world,
                              zyb::kSaveDefault & ~zyb::kSaveTextureFolder, dir.Win("t3").c_str()),
              kResultOk);
    EXPECT_FALSE(dir.Exists("t3"));
}

// A world read where its images are not (the folder left behind) keeps its textures by
// name and file, so that its materials and background still use them and a save gives
// back the same file.
TEST_F(WorldFileTest, TexturesWhoseImagesAreMissingStayInTheWorld) {
    LTexture* sky = world.GetAPI()->CreateTexture(&world, "Sky", nullptr);
    ASSERT_NE(sky, nullptr);
    world.textures.AddTexture(sky);
    sky->SetFileName("gone\\sky.bmp");
    ASSERT_EQ(sky->AllocatePixels(nullptr, 64, 32, 16), 0);
    sky->SetTiling(2, 3);
    LMaterial* painted = world.materials.CreateMaterial("Painted", sky, 0, 0, nullptr);
    world.SetBackgroundMaterial(painted);
    const uint32_t mask = zyb::kSaveDefault & ~zyb::kSaveTextureFolder;
    const std::vector<uint8_t> bytes = Save(world, mask);

    ASSERT_EQ(Load(loaded, bytes, 0xFFF), 1);
    LTexture* kept = loaded.textures.FindByName("Sky");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->pixels, nullptr);
    EXPECT_STREQ(kept->FileName(), "sky.bmp");
    EXPECT_EQ(kept->tiling[1], 3);
    LMaterial* material = loaded.materials.FindByName("Painted");
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(material->GetTexture(0), kept);
    EXPECT_EQ(Save(loaded, mask), bytes);
}

TEST_F(WorldFileTest, FilesAreReadByPath) {
    BuildRichWorld(world, dir, false);
    Save(world, zyb::kSaveDefault);
    LBinaryWorldFile file;
    zyb::LoadStatistics statistics;
    EXPECT_EQ(file.LoadWorldFile(dir.Win("world.zyb").c_str(), &loaded, 0xEFE, &statistics), 1);
    EXPECT_EQ(statistics.cameras.count, 2u);
    EXPECT_EQ(Describe(loaded), Describe(world));
    L3DWorld other{&device, 0, nullptr, nullptr};
    L3DObject* walker = file.MergeObjectsFile(dir.Win("WORLD.ZYB").c_str(), &other, "Walker");
    ASSERT_NE(walker, nullptr);
    EXPECT_EQ(walker->typeCode, L3DObject::kAnimated);
    EXPECT_EQ(file.LoadWorldFile(dir.Win("none.zyb").c_str(), &other, 0xEFE, &statistics), 0);
    EXPECT_EQ(statistics.cameras.count, 0u);
    EXPECT_EQ(file.MergeObjectsFile(dir.Win("none.zyb").c_str(), &other, ""), nullptr);
    EXPECT_EQ(file.LoadWorld(nullptr, &other, 0xEFE, nullptr), 0);
}

} // namespace
