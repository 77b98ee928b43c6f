#include "engine3d/files/binary_world_file.h"

#include <gtest/gtest.h>

#include "engine3d/files/world_file_support.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/object.h"
#include "foundation/files/file_layer.h"

namespace {

TEST_F(WorldFileTest, ARichWorldComesBackEqualAndSavesToTheSameBytes) {
    BuildRichWorld(world, dir);
    const std::vector<uint8_t> bytes = Save(world, zyb::kSaveDefault);
    ASSERT_GT(bytes.size(), 1000u);
    loaded.textures.SetFolder(dir.Win("textures").c_str());
    zyb::LoadStatistics statistics;
    ASSERT_EQ(Load(loaded, bytes, 0xEFE, &statistics), 1);
    EXPECT_EQ(Describe(loaded), Describe(world));
    EXPECT_EQ(Save(loaded, zyb::kSaveDefault, "again.zyb"), bytes);

    EXPECT_EQ(statistics.cameras.count, 2u);
    EXPECT_EQ(statistics.sounds.count, 1u);
    EXPECT_EQ(statistics.zones.count, 1u);
    EXPECT_EQ(statistics.dynamicLights.count, 1u);
    EXPECT_EQ(statistics.staticLights.count, 1u);
    EXPECT_EQ(statistics.blobs.count, 1u);
    EXPECT_EQ(statistics.staticObjects.count, 1u) << "the pillar; the walls are in the octree";
    ASSERT_NE(statistics.staticObjects.first, nullptr);
    EXPECT_STREQ(static_cast<L3DObject*>(statistics.staticObjects.first->item)->RawName(),
                 "Pillar");
    // Body, Walker and their four clones.
    EXPECT_EQ(statistics.dynamicObjects.count, 6u);
    EXPECT_EQ(loaded.cameras.list.GetHead(), statistics.cameras.first);
}

} // namespace
