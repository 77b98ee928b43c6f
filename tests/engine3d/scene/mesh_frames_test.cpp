#include <gtest/gtest.h>

#include <cstring>

#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

using MeshFramesTest = SceneTest;

TEST_F(MeshFramesTest, MainSpansTheBasesAndFramesWrapOrStop) {
    L3DObject object("Anim", &world, nullptr);
    object.AddBase();
    object.AddBase();
    const SequenceRecord* main = object.FindSequence("Main");
    EXPECT_EQ(main->start, 0);
    EXPECT_EQ(main->end, 2);
    EXPECT_EQ(object.CurrentBase(), 0);
    struct Case {
        bool loop;
        int32_t frame;
        int32_t shown;
    };
    const Case cases[] = {{true, 3, 0}, {false, 3, 2}, {true, -1, 2}, {false, -1, 0}, {true, 1, 1}};
    for (const Case& c : cases) {
        object.LAnimationIK::flags = c.loop ? LAnimationIK::kLoop : 0;
        object.SetFrame(c.frame);
        EXPECT_EQ(object.CurrentBase(), c.shown) << c.loop << " " << c.frame;
    }
}

TEST_F(MeshFramesTest, ABaseIndexOutOfRangeMeansNoCurrentBase) {
    L3DObject object("Anim", &world, nullptr);
    object.AddBase();
    object.SetFrame(1);
    object.RemoveBase(1, 1);
    EXPECT_EQ(object.currentFrame, 1);
    EXPECT_EQ(object.CurrentBase(), -1);
    EXPECT_EQ(object.GetCurrentPointList(), nullptr);
    EXPECT_EQ(object.GetCurrentBatchList(), nullptr);
    EXPECT_EQ(object.RemovePolygon(-1), -1);
    LPolygon* polygon = device.CreatePolygon(&object, 2, 0);
    EXPECT_EQ(object.InsertPolygon(*object.GetPolygonListOfBase(0), polygon), 7);
    device.DeletePolygon(polygon);
    EXPECT_EQ(object.GetPolygonCount(0), 0);
}

TEST_F(MeshFramesTest, ASharedPolygonSurvivesOneRemoval) {
    L3DObject object("Mesh", &world, nullptr);
    LPolygon* polygon = AddFace(object, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    LList other;
    object.InsertPolygon(other, polygon);
    EXPECT_EQ(polygon->useCount, 2);
    EXPECT_EQ(object.RemovePolygon(0), 0);
    EXPECT_EQ(device.polygonsAlive, 7);
    EXPECT_EQ(polygon->useCount, 1);
    EXPECT_EQ(polygon->owner, nullptr);
    EXPECT_EQ(object.RemovePolygon(0), 5);
    object.RemovePolygonFromList(other, -1);
    EXPECT_EQ(device.polygonsAlive, 6);
}

TEST_F(MeshFramesTest, CopyFromRebuildsEveryBase) {
    L3DObject source("Source", &world, nullptr);
    AddFace(source, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    source.AddBase();
    source.SetFrame(1);
    AddFace(source, {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {2, 2, 0}});
    L3DObject copy("Copy", &world, nullptr);
    copy.CopyFrom(source);
    EXPECT_EQ(copy.GetBaseCount(), 2);
    EXPECT_EQ(copy.CurrentBase(), 1);
    ASSERT_EQ(copy.GetPolygonCount(0), 1);
    EXPECT_EQ(copy.GetPolygonAt(0)->GetVertexCount(), 4);
    EXPECT_EQ(copy.GetPolygonAt(0)->GetVertex(3)->model[0], 2);
    EXPECT_EQ(copy.GetPolygonAt(0)->owner, &copy);
    copy.SetFrame(0);
    EXPECT_EQ(copy.GetPointCount(0), 3);
}

std::vector<uint8_t> U16(uint16_t v) {
    return {uint8_t(v), uint8_t(v >> 8)};
}

std::vector<uint8_t> F32(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return {uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), uint8_t(bits >> 24)};
}

TEST_F(MeshFramesTest, MeshRecordCountsOnlyTheRecordsItWrites) {
    L3DObject object("Mesh", &world, nullptr);
    AddFace(object, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    LPolygon* two = device.CreatePolygon(&object, 2, 0);
    two->AddNewVertex(0, 0, 0, 0, 0, 0, 0);
    two->AddNewVertex(1, 0, 0, 0, 0, 0, 0);
    object.InsertPolygon(*object.GetCurrentPolygonList(), two);
    object.RemoveSequence("Main");
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    EXPECT_EQ(object.SaveMesh(writer, 0), 0);
    std::vector<uint8_t> expected = U16(1);
    const std::vector<uint8_t> count = U16(3);
    expected.insert(expected.end(), count.begin(), count.end());
    const float points[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (const auto& p : points) {
        const L3DPoint* point = object.GetCurrentPointList()->GetPoint(int32_t(&p - points));
        const float values[10] = {
            p[0], p[1], p[2], 0, 0, 0, 0, point->normal[0], point->normal[1], point->normal[2]};
        for (float v : values) {
            const auto bytes = F32(v);
            expected.insert(expected.end(), bytes.begin(), bytes.end());
        }
    }
    const std::vector<uint8_t> records = {1, 0, 3, 0, 0, 1, 0, 2, 0, 0, 0};
    expected.insert(expected.end(), records.begin(), records.end());
    const std::vector<uint8_t> oanm = {'O', 'A', 'N', 'M', 12, 0, 0, 0, 0, 0,
                                       30,  0,   0,   0,   0,  0, 2, 0, 0, 0};
    expected.insert(expected.end(), oanm.begin(), oanm.end());
    EXPECT_EQ(sink.Bytes(), expected);
}

TEST_F(MeshFramesTest, AnIndexBeyondSixteenBitsFailsTheSave) {
    L3DObject object("Big", &world, nullptr);
    LBasePoint* points = object.GetCurrentPointList();
    points->DisableMerging();
    for (int i = 0; i < 65537; ++i)
        points->AddPoint(float(i), 0, 0, 0, 0, 0, 0, -1);
    points->EnableMerging();
    LPolygon* far = device.CreatePolygon(&object, 2, 0);
    far->AddVertex(points->GetPoint(0));
    far->AddVertex(points->GetPoint(1));
    far->AddVertex(points->GetPoint(65536));
    object.AddPolygon(far, 0);
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    EXPECT_NE(object.SaveMesh(writer, 0), 0);
}

} // namespace
