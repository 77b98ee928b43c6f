// 3DS import from files laid out by hand: meshes, materials, lights and key frames, and
// files whose chunks and counts lie.
#include "engine3d/files/l3ds_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "engine3d/files/world_file_support.h"
#include "engine3d/scene/key_track.h"
#include "engine3d/scene/lights/light.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "foundation/streams/mem_in_stream.h"
#include "support/model_files.h"
#include "support/temp_dir.h"

namespace {

using test_support::ChunkBytes;
using Points = std::vector<std::array<float, 3>>;
using Faces = std::vector<std::array<uint16_t, 3>>;

const Points kTriangle = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}};

// A material chunk: name, byte colour, shading, optional transparency fraction and map.
ChunkBytes& Material(ChunkBytes& b, const std::string& name, uint8_t red, int shading = -1,
                     float fraction = -1, const std::string& map = "") {
    b.Begin(0xAFFF);
    if (!name.empty()) b.Begin(0xA000).Str(name).End();
    b.Begin(0xA020).Begin(0x0011).U8(red).U8(0).U8(0).End().End();
    if (shading >= 0) b.Begin(0xA100).U16(uint16_t(shading)).End();
    if (fraction >= 0) b.Begin(0xA050).Begin(0x0031).F32(fraction).End().End();
    if (!map.empty()) b.Begin(0xA200).Begin(0xA300).Str(map).End().End();
    return b.End();
}

// A mesh whose faces carry a material group naming `material` for face 0.
ChunkBytes& MeshWithGroup(ChunkBytes& b, const std::string& name, const std::string& material) {
    b.Begin(0x4000).Str(name).Begin(0x4100);
    b.Begin(0x4110).U16(3);
    for (const auto& p : kTriangle)
        b.F32(p[0]).F32(p[1]).F32(p[2]);
    b.End();
    b.Begin(0x4120).U16(1).U16(0).U16(1).U16(2).U16(0);
    b.Begin(0x4130).Str(material).U16(1).U16(0).End();
    return b.End().End().End();
}

// Object node: id, header naming an object with a parent id.
ChunkBytes& Node(ChunkBytes& b, int id, const std::string& name, uint16_t parent) {
    b.Begin(0xB002);
    if (id >= 0) b.Begin(0xB030).U16(uint16_t(id)).End();
    b.Begin(0xB010).Str(name).U16(0).U16(0).U16(parent).End();
    return b;
}

ChunkBytes& TrackHeader(ChunkBytes& b, uint16_t flags, uint32_t keys) {
    return b.U16(flags).U32(0).U32(0).U32(keys);
}

class L3dsFileTest : public ::testing::Test {
protected:
    int Load(const std::vector<uint8_t>& bytes, zyb::LoadStatistics* statistics = nullptr,
             const char* name = "Import") {
        CMemInStream stream;
        stream.Attach(bytes.data(), uint32_t(bytes.size()));
        L3dsFile file(0);
        return file.Load(&world, &stream, name, statistics);
    }
    L3DObject* Named(const char* name) const { return world.FindObjectByName(name); }
    static const float* Model(L3DObject* o, int polygon, int corner) {
        return o->GetPolygonAt(polygon)->GetVertex(corner)->model;
    }

    test_support::TempDir dir;
    LAPINull device;
    L3DWorld world{&device, 0, nullptr, nullptr};
};

TEST_F(L3dsFileTest, MeshesExchangeYAndZAndNeverIndexAMissingPoint) {
    ChunkBytes b;
    b.Open3ds();
    b.Begin(0x4000).Str("Box").Begin(0x4100);
    b.Begin(0x4110).U16(5).F32(1).F32(2).F32(3).F32(4).F32(5).F32(6).F32(7).F32(8).F32(9);
    b.F32(0).F32(0).F32(0).F32(1).F32(1).F32(1).End();
    b.Begin(0x4140).U16(5);
    for (int i = 0; i < 5; ++i)
        b.F32(i == 0 ? 0.0004f : 0.5f).F32(0.25f);
    b.End();
    b.Begin(0x4120).U16(1).U16(0).U16(1).U16(7).U16(0).End();
    b.End().End();
    b.Mesh("Plain", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
    ASSERT_EQ(Load(b.CloseAll().Data()), 1);

    L3DObject* box = Named("Box");
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->GetPolygonCount(0), 1);
    EXPECT_EQ(box->GetPointCount(0), 5) << "every file point becomes a point";
    const float* p0 = Model(box, 0, 0);
    EXPECT_EQ(std::vector<float>(p0, p0 + 3), (std::vector<float>{1, 3, 2}));
    EXPECT_EQ(box->GetPolygonAt(0)->GetVertex(2), box->GetPolygonAt(0)->GetVertex(1))
        << "face (0, 1, 7) in 5 points is (0, 1, 1)";
    EXPECT_EQ(box->GetPolygonAt(0)->GetUVs(0)[0], 0.0f) << "0.0004 snaps to 0";
    EXPECT_EQ(box->GetPolygonAt(0)->GetUVs(1)[0], 0.5f);

    // Without file coordinates they come from the normals: the face of "Plain" lies in
    // the engine's x-z plane.
    L3DObject* plain = Named("Plain");
    ASSERT_NE(plain, nullptr);
    const L3DPoint* corner = plain->GetPolygonAt(0)->GetVertex(0);
    const float* n = corner->normal;
    EXPECT_NEAR(std::fabs(n[1]), 1.0f, 1e-6f);
    EXPECT_NEAR(corner->texture[0], 1.0f - 0.4878049f, 1e-6f);
    EXPECT_NEAR(corner->texture[1], 1.0f - (n[1] + 1.0f) * 0.4878049f, 1e-6f);
    EXPECT_EQ(plain->GetPolygonAt(0)->GetUVs(0)[0], corner->texture[0]);
}

TEST_F(L3dsFileTest, ALocalSystemPlacesTheObjectAndMovesItsPoints) {
    ChunkBytes b;
    b.Open3ds();
    b.Begin(0x4000).Str("Moved").Begin(0x4100);
    b.Begin(0x4110).U16(3).F32(1).F32(2).F32(3).F32(2).F32(2).F32(3).F32(1).F32(2).F32(4).End();
    b.Begin(0x4160);
    for (float v : {1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 1.f, 2.f, 3.f})
        b.F32(v);
    b.End();
    b.Begin(0x4120).U16(1).U16(0).U16(1).U16(2).U16(0).End();
    b.End().End();
    ASSERT_EQ(Load(b.CloseAll().Data()), 1);
    L3DObject* moved = Named("Moved");
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->position[0], -1.0f);
    EXPECT_EQ(moved->position[1], 3.0f);
    EXPECT_EQ(moved->position[2], 2.0f);
    const float* p = Model(moved, 0, 1);
    EXPECT_EQ(std::vector<float>(p, p + 3), (std::vector<float>{1, 0, 0}));
}

TEST_F(L3dsFileTest, MaterialsAreReusedRenamedAndShadedAsTheChunksSay) {
    WriteBmp(dir.Linux("wood.bmp"), 4, 4);
    world.textures.SetFolder(dir.WinPath().c_str());
    world.materials.CreateMaterial("Red", nullptr, 0x0000FF, 0, nullptr);
    ChunkBytes b;
    b.Open3ds();
    Material(b, "", 10);
    Material(b, "Red", 200, 1);
    Material(b, "Glass", 20, 1, 0.25f);
    Material(b, "Glass", 20, 1, 0.25f);
    Material(b, "Phong", 30, 3);
    Material(b, "PhongMap", 30, 3, -1, "wood.bmp");
    Material(b, "Wire", 40);
    MeshWithGroup(b, "UsesRed", "Red");
    zyb::LoadStatistics statistics;
    ASSERT_EQ(Load(b.CloseAll().Data(), &statistics), 1);

    LMaterial* untitled = world.materials.FindByName("Untitled");
    ASSERT_NE(untitled, nullptr);
    EXPECT_EQ(untitled->alpha, 255) << "without a transparency chunk a material is opaque";
    EXPECT_EQ(untitled->color, 10u);
    LMaterial* renamed = world.materials.FindByName("Red - 1");
    ASSERT_NE(renamed, nullptr) << "the name was taken by a material of another colour";
    EXPECT_EQ(renamed->color, 200u);
    EXPECT_EQ(Named("UsesRed")->GetPolygonAt(0)->GetMaterial(), renamed)
        << "face groups follow the rename";
    LMaterial* glass = world.materials.FindByName("Glass");
    ASSERT_NE(glass, nullptr);
    EXPECT_EQ(world.materials.FindNext(glass, "Glass"), nullptr) << "equal chunks, one material";
    EXPECT_EQ(glass->alpha, 191);
    EXPECT_NE(glass->mode & LMaterial::kSolid, 0u) << "shading 1 is flat";
    EXPECT_NE(world.materials.FindByName("Phong")->mode & LMaterial::kSolid, 0u);
    LMaterial* mapped = world.materials.FindByName("PhongMap");
    ASSERT_NE(mapped->GetTexture(0), nullptr);
    EXPECT_NE(mapped->mode & LMaterial::kTextured, 0u);
    EXPECT_NE(world.materials.FindByName("Wire")->mode & LMaterial::kWireframe, 0u);
    EXPECT_EQ(statistics.materials.count, 7u);
    EXPECT_EQ(statistics.materials.first, world.materials.list.FindNode(untitled));
}

TEST_F(L3dsFileTest, FacesOfTwoMaterialsShareTheirCornersWithoutLosingThem) {
    // The second face takes the default material, so its corners shared with the first
    // become private copies; the shared points must still be freed with the world.
    ChunkBytes b;
    b.Open3ds();
    Material(b, "Stone", 5, 2);
    b.Begin(0x4000).Str("Pair").Begin(0x4100);
    b.Begin(0x4110).U16(4);
    for (float v : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 0.f, 1.f, 1.f, 0.f, 1.f})
        b.F32(v);
    b.End();
    b.Begin(0x4120).U16(2).U16(0).U16(1).U16(2).U16(0).U16(1).U16(3).U16(2).U16(0);
    b.Begin(0x4130).Str("Stone").U16(1).U16(0).End();
    b.End().End().End();
    {
        L3DWorld own(&device, 0, nullptr, nullptr);
        const std::vector<uint8_t>& bytes = b.CloseAll().Data();
        CMemInStream stream;
        stream.Attach(bytes.data(), uint32_t(bytes.size()));
        L3dsFile file(0);
        ASSERT_EQ(file.Load(&own, &stream, "Import", nullptr), 1);
        L3DObject* pair = own.FindObjectByName("Pair");
        ASSERT_NE(pair, nullptr);
        EXPECT_EQ(pair->GetPolygonAt(0)->GetMaterial(), own.materials.FindByName("Stone"));
        EXPECT_NE(pair->GetPolygonAt(1)->GetMaterial(), own.materials.FindByName("Stone"));
    }
}

// Every corner of every face is a listed point whose list use counts the corners that
// hold it, so that a face letting go never drops a point others still hold.
void ExpectCornersListed(L3DObject& object) {
    LBasePoint* list = object.GetCurrentPointList();
    ASSERT_NE(list, nullptr);
    std::map<const L3DPoint*, int32_t> corners;
    for (int32_t i = 0; i < object.GetPolygonCount(0); ++i)
        for (int k = 0; k < object.GetPolygonAt(i)->GetVertexCount(); ++k)
            ++corners[object.GetPolygonAt(i)->GetVertex(k)];
    for (const auto& [point, count] : corners) {
        const int32_t at = list->IndexOf(point);
        ASSERT_GE(at, 0) << "a corner left its list";
        EXPECT_EQ(list->GetListUse(at), count);
    }
}

TEST_F(L3dsFileTest, CornersOfALaterFaceListStayListedWhileFacesHoldThem) {
    // The first face list is empty, so the second one's corners are counted onto points
    // already made; points 1 and 2 are shared by both of its faces.
    const auto mesh = [](ChunkBytes& b, const char* name, bool group) {
        b.Begin(0x4000).Str(name).Begin(0x4100);
        b.Begin(0x4110).U16(4);
        for (float v : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 0.f, 1.f, 1.f, 0.f, 1.f})
            b.F32(v);
        b.End();
        b.Begin(0x4120).U16(0).End();
        b.Begin(0x4120).U16(2).U16(0).U16(1).U16(2).U16(0).U16(1).U16(3).U16(2).U16(0);
        if (group) b.Begin(0x4130).Str("Stone").U16(1).U16(0).End();
        b.End().End().End();
    };
    ChunkBytes b;
    b.Open3ds();
    Material(b, "Stone", 5, 2);
    mesh(b, "Grouped", true);
    mesh(b, "Plain", false);
    ASSERT_EQ(Load(b.CloseAll().Data()), 1);

    // Face 1 takes the default material and so private copies of the corners it shares
    // with face 0, releasing the shared points once each.
    L3DObject* grouped = Named("Grouped");
    ASSERT_NE(grouped, nullptr);
    ASSERT_EQ(grouped->GetPolygonCount(0), 2);
    EXPECT_NE(grouped->GetPolygonAt(0)->GetVertex(1), grouped->GetPolygonAt(1)->GetVertex(0));
    ExpectCornersListed(*grouped);

    L3DObject* plain = Named("Plain");
    ASSERT_NE(plain, nullptr);
    ASSERT_EQ(plain->GetPolygonCount(0), 2);
    const L3DPoint* shared = plain->GetPolygonAt(0)->GetVertex(1);
    EXPECT_EQ(plain->GetPolygonAt(1)->GetVertex(0), shared);
    ExpectCornersListed(*plain);
    ASSERT_EQ(plain->RemovePolygon(1), 0);
    ExpectCornersListed(*plain);
    EXPECT_EQ(plain->GetPointCount(0), 3) << "only point 3 left with the face";
}

TEST_F(L3dsFileTest, LightsArePlacedAndCamerasAddNothing) {
    ChunkBytes b;
    b.Open3ds();
    b.Begin(0x4000).Str("Lamp").Begin(0x4600).F32(1).F32(2).F32(3);
    b.Begin(0x0010).F32(1.0f).F32(0.5f).F32(0.0f).End();
    b.Begin(0x465B).F32(1.5f).End();
    b.End().End();
    b.Begin(0x4000).Str("Bare").Begin(0x4600).F32(0).F32(0).F32(0).End().End();
    b.Begin(0x4000).Str("Eye").Begin(0x4700);
    for (int i = 0; i < 8; ++i)
        b.F32(1);
    b.End().End();
    const size_t cameras = world.cameras.list.GetCount();
    zyb::LoadStatistics statistics;
    ASSERT_EQ(Load(b.CloseAll().Data(), &statistics), 1);
    ASSERT_EQ(world.lights->dynamicLights.size(), 2u);
    L3DLight* lamp = world.lights->dynamicLights[0];
    EXPECT_EQ(std::vector<float>(lamp->position, lamp->position + 3),
              (std::vector<float>{1, 3, 2}));
    EXPECT_EQ(lamp->Color()->rgb, 255u + 127u * 256u);
    EXPECT_EQ(lamp->GetRadius(), 150);
    EXPECT_EQ(world.lights->dynamicLights[1]->Color()->rgb, 0xFFFFFFu) << "no colour: white";
    EXPECT_EQ(world.lights->dynamicLights[1]->GetRadius(), 0);
    EXPECT_EQ(statistics.dynamicLights.count, 2u);
    EXPECT_EQ(world.cameras.list.GetCount(), cameras);
    EXPECT_EQ(world.objectCount, 0u);
}

class L3dsKeyframeTest : public L3dsFileTest {
protected:
    // Two meshes "Body" and "Arm" and an open key-frame section.
    ChunkBytes Start() {
        ChunkBytes b;
        b.Open3ds();
        b.Mesh("Body", kTriangle, {{0, 1, 2}});
        b.Mesh("Arm", kTriangle, {{0, 1, 2}});
        b.End(); // editor
        b.Begin(0xB000);
        return b;
    }
};

TEST_F(L3dsKeyframeTest, NodesBuildOneAnimatedObjectWithTheirHierarchy) {
    ChunkBytes b = Start();
    b.Begin(0xB008).U32(10).U32(50).End();
    Node(b, 1, "body", 0xFFFF);
    b.Begin(0xB013).F32(1).F32(2).F32(3).End();
    b.End();
    Node(b, 2, "Arm", 1).End();
    Node(b, 3, "$$$DUMMY", 0xFFFF);
    b.Begin(0xB011).Str("Handle").End();
    b.End();
    b.End(); // key frames
    b.Begin(0xB000);
    Node(b, 4, "Body", 0xFFFF).End();
    b.End();
    b.Begin(0xB000);
    Node(b, 5, "Arm", 0xFFFF).End();
    b.End();
    zyb::LoadStatistics statistics;
    ASSERT_EQ(Load(b.CloseAll().Data(), &statistics, "Robot"), 1);

    L3DObject* root = Named("Robot");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->typeCode, L3DObject::kAnimated);
    const SequenceRecord* main = root->Sequences()->FindSequence("Main");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->start, 10);
    EXPECT_EQ(main->end, 50);
    L3DObject* handle = root->FindChild("Handle");
    ASSERT_NE(handle, nullptr) << "a dummy node makes an object with the instance name";
    // The second and third sections took Body and Arm over.
    L3DObject* second = Named("Robot 2");
    L3DObject* third = Named("Robot 3");
    ASSERT_NE(second, nullptr);
    ASSERT_NE(third, nullptr);
    L3DObject* body = second->FindChild("Body");
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(std::vector<float>(body->hotSpot, body->hotSpot + 3),
              (std::vector<float>{-1, -3, -2}));
    EXPECT_NE(third->FindChild("Arm"), nullptr);
    EXPECT_EQ(statistics.dynamicObjects.count, 3u);
    EXPECT_EQ(statistics.dynamicObjects.first, world.objects.FindNode(root));
}

TEST_F(L3dsKeyframeTest, ParentIdsLinkNodesAndTwoTopNodesMakeOneObject) {
    ChunkBytes b = Start();
    Node(b, 1, "Body", 0xFFFF).End();
    Node(b, 2, "Arm", 1).End();
    b.End();
    zyb::LoadStatistics statistics;
    ASSERT_EQ(Load(b.CloseAll().Data(), &statistics, "Robot"), 1);
    ASSERT_EQ(world.objectCount, 1u);
    L3DObject* body = Named("Robot")->FindChild("Body");
    ASSERT_NE(body, nullptr);
    L3DObject* arm = Named("Robot")->FindChild("Arm");
    ASSERT_NE(arm, nullptr);
    EXPECT_EQ(arm->parent, body);
    EXPECT_EQ(statistics.dynamicObjects.count, 1u);
}

TEST_F(L3dsKeyframeTest, TracksReadTheirKeysInTheEnginesAxes) {
    ChunkBytes b = Start();
    Node(b, 1, "Body", 0xFFFF);
    b.Begin(0xB020);
    TrackHeader(b, 3, 2);
    b.U32(0).U16(0x05).F32(0.5f).F32(-0.5f).F32(1).F32(2).F32(3);
    b.U32(10).U16(0).F32(4).F32(5).F32(6);
    b.End();
    const float half = 1.5707964f;
    b.Begin(0xB021);
    TrackHeader(b, 2, 2);
    b.U32(0).U16(0).F32(half).F32(0).F32(0).F32(1);
    b.U32(10).U16(0).F32(half).F32(0).F32(0).F32(1);
    b.End();
    b.Begin(0xB022);
    TrackHeader(b, 1, 1);
    b.U32(0).U16(0).F32(1).F32(1).F32(1);
    b.End();
    b.Begin(0xB026);
    TrackHeader(b, 0, 2);
    b.U32(0).U16(0).Str("Nobody");
    b.U32(5).U16(0).Str("Arm");
    b.End();
    b.Begin(0xB029);
    TrackHeader(b, 0, 1);
    b.U32(7).U16(0);
    b.End();
    b.End().End();
    ASSERT_EQ(Load(b.CloseAll().Data(), nullptr, "Robot"), 1);
    L3DObject* body = Named("Robot")->FindChild("Body");
    ASSERT_NE(body, nullptr);
    ASSERT_NE(body->keyTracks, nullptr);
    LKeyTrack* const* tracks = body->keyTracks->tracks;

    LKeyTrack* position = tracks[kTrackTranslation];
    ASSERT_EQ(position->count, 2u);
    EXPECT_EQ(position->flags, 3u);
    const LKey* key = position->first;
    EXPECT_EQ(std::vector<float>(key->value, key->value + 4), (std::vector<float>{1, 3, 2, 0}));
    EXPECT_EQ(key->tension, 0.5f);
    EXPECT_EQ(key->bias, -0.5f) << "flag 0x04 is the bias";
    EXPECT_EQ(key->continuity, 0.0f);
    EXPECT_EQ(key->next->frame, 10.0f);

    LKeyTrack* rotation = tracks[kTrackRotation];
    ASSERT_EQ(rotation->count, 2u);
    EXPECT_EQ(rotation->flags, 2u);
    const float* q1 = rotation->first->orientation;
    EXPECT_NEAR(q1[0], 0.7071068f, 1e-6f);
    EXPECT_NEAR(q1[1], 0.0f, 1e-6f);
    EXPECT_NEAR(q1[2], 0.7071068f, 1e-6f);
    EXPECT_NEAR(q1[3], 0.0f, 1e-6f);
    const float* q2 = rotation->first->next->orientation;
    EXPECT_NEAR(q2[0], 0.0f, 1e-6f);
    EXPECT_NEAR(q2[2], 1.0f, 1e-6f);
    EXPECT_EQ(rotation->first->value[2], 1.0f) << "the axis as (x, z, y)";

    EXPECT_EQ(tracks[kTrackScale]->flags, 0u) << "track flags 1 alone do not loop";
    LKeyTrack* morph = tracks[kTrackMorph];
    ASSERT_EQ(morph->count, 2u);
    EXPECT_EQ(morph->first->value[0], 0.0f) << "an unknown name refers to no object";
    EXPECT_EQ(morph->first->next->value[0], 2.0f) << "Arm, the second object imported";
    ASSERT_NE(tracks[kTrackHide], nullptr);
    EXPECT_EQ(tracks[kTrackHide]->first->frame, 7.0f);
}

TEST_F(L3dsKeyframeTest, TwoNodesNamingOneObjectLeaveItAsTheLaterSays) {
    ChunkBytes b = Start();
    Node(b, 1, "Body", 0xFFFF).End();
    Node(b, 2, "Arm", 0xFFFF);
    b.Begin(0xB013).F32(1).F32(2).F32(3).End();
    b.End();
    Node(b, 3, "Arm", 1);
    b.Begin(0xB013).F32(4).F32(5).F32(6).End();
    b.Begin(0xB011).Str("Hand").End();
    b.End();
    b.End();
    ASSERT_EQ(Load(b.CloseAll().Data(), nullptr, "Robot"), 1);
    L3DObject* root = Named("Robot");
    ASSERT_NE(root, nullptr);
    L3DObject* hand = root->FindChild("Hand");
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(hand->parent, root->FindChild("Body"));
    EXPECT_EQ(std::vector<float>(hand->hotSpot, hand->hotSpot + 3),
              (std::vector<float>{-4, -6, -5}));
    EXPECT_EQ(root->FindChild("Arm"), nullptr);
}

TEST_F(L3dsKeyframeTest, NodesNamingNothingAddNothing) {
    ChunkBytes b = Start();
    Node(b, 1, "Ghost", 0xFFFF).End();
    b.End();
    zyb::LoadStatistics statistics;
    ASSERT_EQ(Load(b.CloseAll().Data(), &statistics, "Robot"), 1);
    EXPECT_EQ(Named("Robot"), nullptr);
    EXPECT_EQ(statistics.dynamicObjects.count, 0u);
    EXPECT_EQ(world.objectCount, 2u);
}

TEST_F(L3dsKeyframeTest, HostileIdsCyclesAndCountsAreSurvived) {
    ChunkBytes b = Start();
    Node(b, 5000, "Body", 0xFFFF).End();
    Node(b, 1, "Arm", 1).End();  // names itself as parent
    Node(b, 2, "Body", 3).End(); // Body under Dummy of id 3, read later
    Node(b, 3, "$$$DUMMY", 2);   // the dummy under Body
    b.Begin(0xB020);
    TrackHeader(b, 0, 0xFFFFFFFFu);
    b.U32(0).U16(0).F32(1).F32(2).F32(3);
    b.End().End();
    Node(b, 6, "Body", 3).End(); // and Body under the dummy: refused
    Node(b, -1, "Arm", 2000).End();
    b.End();
    ASSERT_EQ(Load(b.CloseAll().Data(), nullptr, "Robot"), 1);
    L3DObject* root = Named("Robot");
    ASSERT_NE(root, nullptr);
    L3DObject* body = root->FindChild("Body");
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->parent, root) << "no object is its own ancestor";
    L3DObject* dummy = root->FindChild("$$$DUMMY");
    ASSERT_NE(dummy, nullptr);
    EXPECT_EQ(dummy->parent, body);
    EXPECT_NE(Named("Arm"), nullptr) << "the arm named itself as parent and kept none";
    EXPECT_EQ(dummy->keyTracks->tracks[kTrackTranslation]->count, 1u)
        << "the key count is capped by the bytes";
}

TEST_F(L3dsFileTest, LyingChunksEndTheirLevel) {
    for (uint32_t length = 0; length < 6; ++length) {
        ChunkBytes b;
        b.Open3ds();
        b.U16(0x4000).U32(length).Str("Bad");
        b.Mesh("After", kTriangle, {{0, 1, 2}});
        L3DWorld fresh(&device, 0, nullptr, nullptr);
        const std::vector<uint8_t>& bytes = b.CloseAll().Data();
        CMemInStream stream;
        stream.Attach(bytes.data(), uint32_t(bytes.size()));
        L3dsFile file(0);
        EXPECT_EQ(file.Load(&fresh, &stream, "Import", nullptr), 1) << length;
        EXPECT_EQ(fresh.objectCount, 0u) << "the level ended at the short chunk";
    }
    // Faces before points, a chunk reaching past its parent, a name without its end.
    ChunkBytes b;
    b.Open3ds();
    b.Begin(0x4000).Str("Early").Begin(0x4100);
    b.Begin(0x4120).U16(1).U16(0).U16(1).U16(2).U16(0).End();
    b.Begin(0x4110).U16(0xFFFF).F32(1).End();
    b.End().End();
    b.Begin(0x4000).Str(std::string(1000, 'x')).End();
    b.U16(0xAFFF).U32(0x7FFFFFFF);
    ASSERT_EQ(Load(b.CloseAll().Data()), 1);
    L3DObject* early = Named("Early");
    ASSERT_NE(early, nullptr);
    EXPECT_EQ(early->GetPolygonCount(0), 0) << "a face list without points is ignored";
}

TEST_F(L3dsFileTest, EveryCutOfAValidFileEndsCleanly) {
    ChunkBytes b = ChunkBytes();
    b.Open3ds();
    Material(b, "Stone", 5, 3, 0.5f);
    MeshWithGroup(b, "Body", "Stone");
    b.Mesh("Arm", kTriangle, {{0, 1, 2}});
    b.Begin(0x4000).Str("Lamp").Begin(0x4600).F32(1).F32(2).F32(3).End().End();
    b.End();
    b.Begin(0xB000);
    Node(b, 1, "Body", 0xFFFF);
    b.Begin(0xB020);
    TrackHeader(b, 3, 1);
    b.U32(0).U16(0x1F).F32(1).F32(1).F32(1).F32(1).F32(1).F32(1).F32(2).F32(3);
    b.End().End();
    Node(b, 2, "Arm", 1).End();
    const std::vector<uint8_t> bytes = b.CloseAll().Data();
    for (size_t size = 0; size < bytes.size(); ++size) {
        L3DWorld cut(&device, 0, nullptr, nullptr);
        CMemInStream stream;
        stream.Attach(bytes.data(), uint32_t(size));
        L3dsFile file(0);
        file.Load(&cut, &stream, "Cut", nullptr);
    }
    ASSERT_EQ(Load(bytes), 1);
    EXPECT_EQ(world.objectCount, 1u);
}

} // namespace
