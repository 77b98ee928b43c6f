// The model builders of tests/support write files another reader accepts: Assimp reads
// them with the same faces and the same distinct points as our importers.
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <vector>

#include "engine3d/files/l3ds_file.h"
#include "engine3d/files/md2_file.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "foundation/streams/mem_in_stream.h"
#include "support/model_files.h"

namespace {

struct Counts {
    size_t faces = 0;
    size_t points = 0;
};

Counts ReadWithAssimp(const std::vector<uint8_t>& bytes, const char* hint) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(bytes.data(), bytes.size(), 0, hint);
    EXPECT_NE(scene, nullptr) << importer.GetErrorString();
    Counts counts;
    if (scene == nullptr) return counts;
    std::set<std::array<float, 3>> distinct;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        counts.faces += mesh->mNumFaces;
        for (unsigned v = 0; v < mesh->mNumVertices; ++v)
            distinct.insert({mesh->mVertices[v].x, mesh->mVertices[v].y, mesh->mVertices[v].z});
    }
    counts.points = distinct.size();
    return counts;
}

template <typename Reader> Counts ReadWithOurs(const std::vector<uint8_t>& bytes, Reader&& read) {
    LAPINull device;
    L3DWorld world(&device, 0, nullptr, nullptr);
    CMemInStream stream;
    stream.Attach(bytes.data(), uint32_t(bytes.size()));
    EXPECT_EQ(read(world, stream), 1);
    Counts counts;
    for (int32_t i = 0; i < int32_t(world.objectCount); ++i) {
        counts.faces += size_t(world.GetObjectAt(i)->GetPolygonCount(1));
        counts.points += size_t(world.GetObjectAt(i)->GetPointCount(1));
    }
    return counts;
}

TEST(ModelBuildersTest, AssimpReadsThe3dsFilesAsWeDo) {
    const std::vector<uint8_t> bytes = test_support::Grid3ds(3, 4);
    const Counts theirs = ReadWithAssimp(bytes, "3ds");
    const Counts ours = ReadWithOurs(bytes, [](L3DWorld& world, CMemInStream& stream) {
        L3dsFile file(0);
        return file.Load(&world, &stream, "Grid", nullptr);
    });
    EXPECT_EQ(ours.faces, 24u);
    EXPECT_EQ(theirs.faces, ours.faces);
    EXPECT_EQ(ours.points, 20u);
    EXPECT_EQ(theirs.points, ours.points);
}

TEST(ModelBuildersTest, AssimpReadsTheMd2FilesAsWeDo) {
    const std::vector<uint8_t> bytes = test_support::BuildMd2(test_support::GridMd2(2, 3, 4));
    const Counts theirs = ReadWithAssimp(bytes, "md2");
    const Counts ours = ReadWithOurs(bytes, [](L3DWorld& world, CMemInStream& stream) {
        CMD2File file;
        return file.Load(&world, &stream, "Grid", nullptr);
    });
    EXPECT_EQ(ours.faces, 12u);
    EXPECT_EQ(theirs.faces, ours.faces);
    EXPECT_EQ(ours.points, 12u);
    EXPECT_EQ(theirs.points, ours.points);
}

} // namespace
