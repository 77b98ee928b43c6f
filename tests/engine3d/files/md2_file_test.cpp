// Vertex-animated model files: the mesh of the first frame, the point moves of the
// others, and headers that lie.
#include "engine3d/files/md2_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine3d/scene/key_track.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "foundation/streams/mem_in_stream.h"
#include "support/model_files.h"

namespace {

using test_support::BuildMd2;
using test_support::Md2Frame;
using test_support::Md2Model;

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    std::memcpy(&bytes[at], &value, 4);
}

class Md2FileTest : public ::testing::Test {
protected:
    int Load(const std::vector<uint8_t>& bytes, const char* name = "Given",
             zyb::LoadStatistics* statistics = nullptr) {
        CMemInStream stream;
        stream.Attach(bytes.data(), uint32_t(bytes.size()));
        CMD2File file;
        return file.Load(&world, &stream, name, statistics);
    }

    // A quad of two triangles over four vertices; vertex 3 moves in the frames after the
    // first, the others stay.
    static Md2Model Quad(int frames) {
        Md2Model model;
        model.texCoords = {{0, 0}, {128, 64}, {0, 256}, {256, 256}};
        model.triangles = {{0, 1, 2, 0, 1, 2}, {1, 3, 2, 1, 3, 2}};
        for (int f = 0; f < frames; ++f) {
            Md2Frame frame;
            frame.name = "stand" + std::to_string(f);
            frame.scale[0] = 2;
            frame.translate[2] = 10;
            frame.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, uint8_t(f * 3)}};
            model.frames.push_back(frame);
        }
        return model;
    }

    LAPINull device;
    L3DWorld world{&device, 0, nullptr, nullptr};
};

TEST_F(Md2FileTest, OneFrameMakesAMeshWithAOneKeyTrackWithoutMoves) {
    zyb::LoadStatistics statistics;
    ASSERT_EQ(Load(BuildMd2(Quad(1)), "Given", &statistics), 1);
    ASSERT_EQ(world.objectCount, 1u);
    L3DObject* mesh = world.GetObjectAt(0);
    EXPECT_EQ(mesh->typeCode, L3DObject::kPlain);
    EXPECT_STREQ(mesh->RawName(), "stand0") << "named after the first frame";
    EXPECT_EQ(mesh->GetPolygonCount(0), 2);
    EXPECT_EQ(mesh->GetPointCount(0), 4);
    ASSERT_NE(mesh->keyTracks, nullptr);
    LKeyTrack* track = mesh->keyTracks->tracks[kTrackPointMoves];
    ASSERT_NE(track, nullptr);
    ASSERT_EQ(track->count, 1u);
    EXPECT_EQ(track->first->elements.GetCount(), 0);
    EXPECT_EQ(statistics.dynamicObjects.count, 1u);
    EXPECT_EQ(statistics.dynamicObjects.first, world.objects.FindNode(mesh));
    // Decoded with the frame's scale and translation, the file's z as the engine's y.
    const L3DPoint* p = mesh->GetPolygonAt(0)->GetVertex(1);
    EXPECT_EQ(p->model[0], 2.0f);
    EXPECT_EQ(p->model[1], 10.0f);
    EXPECT_EQ(p->model[2], 0.0f);
    // (128, 64) on a 256 x 256 skin, v running upwards.
    const float* uv = mesh->GetPolygonAt(0)->GetUVs(1);
    EXPECT_EQ(uv[0], 0.5f);
    EXPECT_EQ(uv[1], -0.25f);
    EXPECT_EQ(mesh->GetPolygonAt(0)->GetMaterial(), world.GetDefaultMaterial());
    // The point normals are the finished mesh's: whole unit vectors, straight up or down.
    for (int i = 0; i < 4; ++i) {
        const float* n = mesh->GetCurrentPointList()->GetPoint(i)->normal;
        EXPECT_EQ(n[0], 0.0f);
        EXPECT_EQ(std::fabs(n[1]), 1.0f) << i;
        EXPECT_EQ(n[2], 0.0f);
    }
}

TEST_F(Md2FileTest, FramesBecomeMovesOfTheVerticesThatMove) {
    zyb::LoadStatistics statistics;
    ASSERT_EQ(Load(BuildMd2(Quad(3)), nullptr, &statistics), 1);
    ASSERT_EQ(world.objectCount, 1u);
    L3DObject* animated = world.GetObjectAt(0);
    EXPECT_EQ(animated->typeCode, L3DObject::kAnimated);
    EXPECT_STREQ(animated->RawName(), "stand0");
    ASSERT_NE(animated->children, nullptr);
    ASSERT_EQ(animated->children->GetCount(), 1u);
    auto* mesh = static_cast<L3DObject*>(animated->children->GetHead()->item);
    const SequenceRecord* main = animated->Sequences()->FindSequence("Main");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->start, 0);
    EXPECT_EQ(main->end, 2);
    LKeyTrack* track = mesh->keyTracks->tracks[kTrackPointMoves];
    ASSERT_EQ(track->count, 3u);
    for (LKey* key = track->first; key != nullptr; key = key->next) {
        ASSERT_EQ(key->elements.GetCount(), 1) << "only vertex 3 moves";
        const auto* move = static_cast<const LPointMove*>(key->elements.GetAt(0));
        EXPECT_EQ(move->index, 3u);
        EXPECT_EQ(move->values[1], 10.0f + 3.0f * key->frame);
    }
    EXPECT_EQ(statistics.dynamicObjects.first, world.objects.FindNode(animated));
}

TEST_F(Md2FileTest, HeadersThatLieLoadNothing) {
    const std::vector<uint8_t> good = BuildMd2(Quad(2));
    struct Spoilt {
        size_t at;
        uint32_t value;
    };
    const Spoilt cases[] = {
        {test_support::kMd2FrameSizeAt, 40 + 4 * 4 - 1}, // frames smaller than their vertices
        {test_support::kMd2VertexCountAt, 2049},
        {test_support::kMd2VertexCountAt, 0x80000000u},
        {test_support::kMd2TriangleCountAt, 0xFFFFFFFFu},
        {test_support::kMd2FrameCountAt, 0},
        {test_support::kMd2FrameCountAt, 513},
        {test_support::kMd2FrameOffsetAt, uint32_t(good.size())},
        {test_support::kMd2FrameOffsetAt, 0xFFFFFFF0u},
    };
    for (const Spoilt& c : cases) {
        std::vector<uint8_t> bytes = good;
        Put32(bytes, c.at, c.value);
        EXPECT_EQ(Load(bytes), 0) << "field at " << c.at << " = " << c.value;
        EXPECT_EQ(world.objectCount, 0u);
    }
    EXPECT_EQ(Load(std::vector<uint8_t>(good.begin(), good.begin() + 67)), 0);
}

TEST_F(Md2FileTest, BadIndicesAndAZeroSkinAreSurvived) {
    Md2Model model = Quad(1);
    model.triangles.push_back({0, 1, 9, 0, 1, 2});
    model.triangles.push_back({0, 1, 2, 0, 1, 40});
    model.skinWidth = 0;
    model.skinHeight = 0;
    ASSERT_EQ(Load(BuildMd2(model)), 1);
    L3DObject* mesh = world.GetObjectAt(0);
    EXPECT_EQ(mesh->GetPolygonCount(0), 2) << "triangles indexing outside the tables are skipped";
    // A skin of no size counts as one texel wide and high.
    EXPECT_EQ(mesh->GetPolygonAt(0)->GetUVs(1)[0], 128.0f);
}

TEST_F(Md2FileTest, EveryCutOfAValidFileEndsCleanly) {
    const std::vector<uint8_t> bytes = BuildMd2(Quad(3));
    for (size_t size = 0; size < bytes.size(); ++size) {
        L3DWorld cut(&device, 0, nullptr, nullptr);
        CMemInStream stream;
        stream.Attach(bytes.data(), uint32_t(size));
        CMD2File file;
        // The builder's trailing 0 is no part of any table.
        const int whole = size + 4 >= bytes.size() ? 1 : 0;
        EXPECT_EQ(file.Load(&cut, &stream, "Cut", nullptr), whole) << size;
        EXPECT_EQ(cut.objectCount, uint32_t(whole));
    }
}

TEST_F(Md2FileTest, TheStreamTestWantsAWholeHeaderOfThisFormat) {
    std::vector<uint8_t> bytes = BuildMd2(Quad(1));
    CMemInStream stream;
    stream.Attach(bytes.data(), uint32_t(bytes.size()));
    EXPECT_EQ(CMD2File::IsMd2Stream(&stream), 1);
    Put32(bytes, 4, 7);
    EXPECT_EQ(CMD2File::IsMd2Stream(&stream), 0);
    stream.Attach(bytes.data(), 60);
    EXPECT_EQ(CMD2File::IsMd2Stream(&stream), 0);
}

} // namespace
