// Text worlds: every section under the load masks, the version gates, material reuse,
// merging, and files whose counts, names and nesting are hostile.
#include "engine3d/files/script_world_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine3d/files/section_file.h"
#include "engine3d/scene/blobs/blob.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/key_track.h"
#include "engine3d/scene/lights/light.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/octree.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "engine3d/scene/zones/sound.h"
#include "engine3d/scene/zones/zone.h"
#include "foundation/streams/mem_in_stream.h"
#include "support/temp_dir.h"

namespace {

constexpr uint32_t kCurrent = 1068708663;
constexpr uint32_t kEverything = 0xEFE;

// Sections and key lines with CR LF ends, one empty line before each header.
class YixText {
public:
    YixText& S(const std::string& name) {
        text_ += "\r\n[" + name + "]\r\n";
        return *this;
    }
    YixText& K(const std::string& key, const std::string& value) {
        text_ += key + " = " + value + "\r\n";
        return *this;
    }
    YixText& Version(uint32_t version) {
        return S("SCRIPT_INFORMATION").K("SCR_Version", std::to_string(version));
    }
    // A mesh section's base: its points, then triangles over them.
    YixText& Triangle(const std::string& material, float x = 0) {
        K("OBJ_NbBase", "1").K("BPO_NbPoint", "3");
        const std::string a = std::to_string(x);
        K("P3D_Definition", "P3DDEF(" + a + ",0.0,0.0,0.5,0.25,0.5,0.25)");
        K("P3D_Definition", "P3DDEF(1.0,0.0,0.0,0.0,0.0,0.0,0.0)");
        K("P3D_Definition", "P3DDEF(0.0,0.0,1.0,0.0,0.0,0.0,0.0)");
        return K("OBJ_NbPolygon", "1").K("POL_Definition", "POLDEF(0,1,2," + material + ")");
    }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

// A world of every section.
YixText RichWorld(uint32_t version = kCurrent) {
    YixText y;
    y.Version(version);
    y.S("3DWORLD").K("WOR_RenderType", "DIRECT3D").K("WOR_FlagWorld", "SHOW_CLUSTER");
    y.K("WOR_BackFaceCulling", "0").K("WOR_NbCamera", "2").K("WOR_UserData", "77");
    y.S("OBJECT").K("OBJ_Objecttype", "'Camera'").K("CAM_Focus", "45.00000");
    y.K("CAM_FogColor", "RGB(1,2,3)").K("CAM_Name", "'Front'");
    y.K("LOC_Position", "POS3D(1.00000,2.00000,3.00000)");
    y.S("OBJECT").K("OBJ_Objecttype", "'Sound'");
    y.S("OBJECT").K("OBJ_Objecttype", "'Camera'").K("CAM_Name", "'Back'");
    y.S("BASEMATERIAL").K("BMA_NbMaterial", "3");
    y.S("MATERIAL").K("MAT_MatName", "'Stone'").K("MAT_ReflectionType", "REFLECT_METAL");
    y.K("MAT_Flag", "MAPPING|HIDDEN")
        .K("MAT_Tex1Weight", "0.25000")
        .K("MAT_ColorMat", "RGB(10,20,30)");
    y.S("MATERIAL").K("MAT_MatName", "'Red'").K("MAT_ReflectionType", "SHINY");
    y.K("MAT_Flag", "FLAT").K("MAT_ColorMat", "RGB(255,0,0)");
    y.S("MATERIAL").K("MAT_MatName", "'Wire'").K("MAT_Flag", "WIREFRAME");
    y.S("BASETEXTURE").K("BMA_NbTexture", "0");
    y.S("TEXTURE").K("TEX_TextureFileName", "'missing.bmp'");
    y.S("BASECLUSTER").K("BCL_NbStaticObj", "1").K("BCL_NbDynamicObj", "2");
    y.K("BCL_FlagClusters", "GOURAUD");
    y.S("OBJECT").K("OBJ_Objecttype", "'Octree'").K("OCT_PosMin", "POS3D(-10.0,-10.0,-10.0)");
    y.K("OCT_PosMax", "POS3D(10.0,10.0,10.0)").Triangle("Stone").K("OBJ_NbChildren", "0");
    y.S("OBJECT").K("OBJ_Objecttype", "'Default'").K("OBJ_ObjName", "'Pillar'");
    y.K("OBJ_FlagObject", "OBJ_STATIC").K("OBJ_NbBase", "1").K("BPO_NbPoint", "4");
    for (const char* p : {"0.0,0.0,0.0", "1.0,0.0,0.0", "1.0,1.0,0.0", "0.0,1.0,0.0"})
        y.K("P3D_Definition", std::string("P3DDEF(") + p + ",0.0,0.0,0.0,0.0)");
    y.K("OBJ_NbPolygon", "1").K("POL_Definition", "POLDEF(0,1,2,3,Stone)");
    y.S("OBJECT").K("OBJ_Objecttype", "'LightWave'").K("OBJ_FlagObject", "OBJ_DYNAMIQUE");
    y.S("OBJECT").K("OBJ_Objecttype", "'Default'").K("OBJ_ObjName", "'Walker'");
    y.K("OBJ_FlagObject", "OBJ_DYNAMIQUE|GOURAUD|COLLISION");
    y.K("LAM_StartFrame", "0").K("LAM_EndFrame", "10").K("LAM_NbAnim", "2");
    y.K("LAM_AnimDef", "ANIMDEF(Walk,2,0,5,3,0,0,0)")
        .K("LAM_AnimDef", "ANIMDEF(Skip,-1,0,0,0,0,0,0)");
    y.Triangle("Red").K("LOC_Position", "POS3D(5.00000,0.00000,0.00000)");
    y.K("OBJ_SHADOW_SizeX", "30");
    y.K("OBJ_TRACK_Translate", "TRACKDEF(3,2)");
    y.K("OBJ_KEYSDEF_Translate_0", "KEYDEF(0.0,0.5,0.0,0.0,0.0,0.0,0)");
    y.K("OBJ_KEYSDAT_Translate_0", "VEC3D(1.0,2.0,3.0)");
    y.K("OBJ_KEYSDEF_Translate_1", "KEYDEF(10.0,0.0,0.0,0.0,0.0,0.0,0)");
    y.K("OBJ_KEYSDAT_Translate_1", "VEC3D(4.0,5.0,6.0)");
    y.K("OBJ_TRACK_Scale", "TRACKDEF(0,0)");
    y.K("OBJ_TRACK_Rotate", "TRACKDEF(0,1)");
    y.K("OBJ_KEYSDEF_Rotate_0", "KEYDEF(0.0,0.0,0.0,0.0,0.0,0.0,0)");
    y.K("OBJ_KEYSDAT_Rotate_0", "QUAT(3.14159,0.0,1.0,0.0)");
    y.K("OBJ_TRACK_Morph", "TRACKDEF(0,1)");
    y.K("OBJ_KEYSDEF_Morph_0", "KEYDEF(0.0,0.0,0.0,0.0,0.0,0.0,0)").K("OBJ_KEYSDAT_Morph_0", "3");
    y.K("OBJ_TRACK_Hide", "TRACKDEF(0,1)");
    y.K("OBJ_KEYSDEF_Hide_0", "KEYDEF(4.0,0.0,0.0,0.0,0.0,0.0,0)");
    y.K("OBJ_TRACK_Mat", "TRACKDEF(0,1)");
    y.K("OBJ_KEYSDEF_Mat_0", "KEYDEF(0.0,0.0,0.0,0.0,0.0,0.0,0)");
    y.K("OBJ_KEYSDAT_Mat_0", "MATTR(1.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,1.0,7.0,8.0,9.0)");
    y.K("OBJ_TRACK_PMove", "TRACKDEF(0,1)");
    y.K("OBJ_KEYSDEF_PMove_0", "KEYDEF(0.0,0.0,0.0,0.0,0.0,0.0,2)");
    y.K("OBJ_KEYSDAT_PMove_0_0", "PMOVE(1,1.0,2.0,3.0,0.0,0.0)");
    y.K("OBJ_KEYSDAT_PMove_0_1", "PMOVE(99,1.0,2.0,3.0,0.0,0.0)");
    y.K("OBJ_UserData", "12").K("OBJ_NbClone", "1").K("OBJ_NbChildren", "1");
    y.S("OBJECT").K("OBJ_Objecttype", "'Object Clone'").K("OBJ_ObjName", "'WalkerCopy'");
    y.K("LOC_Position", "POS3D(9.00000,0.00000,0.00000)");
    y.S("OBJECT").K("OBJ_Objecttype", "'Dummy'").K("OBJ_ObjName", "'Hand'").Triangle("Wire");
    y.S("BASELIGHT").K("BLI_NbDynamicLight", "1").K("BLI_NbStaticLight", "1");
    y.S("OBJECT").K("OBJ_Objecttype", "'Light'").K("LIG_Rayon", "100");
    y.K("LIG_CenterPos", "POS3D(1.0,2.0,3.0)").K("OBJ_FlagObject", "OBJ_STATIC");
    y.S("OBJECT").K("OBJ_Objecttype", "'Light'").K("LIT_ColorUp", "RGB(255,0,0)");
    y.S("AMBIANTLIGHT").K("LIA_COLOR", "RGB(10,10,10)");
    y.S("BASE3DZONE").K("B3Z_Nb3DZone", "1");
    y.S("OBJECT").K("OBJ_Objecttype", "'3DZone'").K("3DZ_LengthX", "5").K("OBJ_ObjName", "Gate");
    y.S("BASESOUND").K("BSO_NbSound", "1");
    y.S("OBJECT").K("OBJ_Objecttype", "'Sound'").K("SND_SoundName", "'bell.wav'");
    y.S("BASEBLOB3D").K("B3B_NbBlob3D", "1");
    y.S("OBJECT").K("OBJ_Objecttype", "'Blob3D'").K("3DB_MatName", "'Stone'");
    y.K("3DB_Opacity", "128").K("OBJ_ObjName", "'Puff'");
    return y;
}

class ScriptWorldFileTest : public ::testing::Test {
protected:
    int Load(const std::string& text, uint32_t mask, zyb::LoadStatistics* statistics = nullptr) {
        CMemInStream stream;
        stream.Attach(text.data(), uint32_t(text.size()));
        LScriptWorldFile file;
        return file.LoadWorld(&stream, &world, mask, statistics);
    }
    L3DObject* Merge(const std::string& text, const char* name) {
        CMemInStream stream;
        stream.Attach(text.data(), uint32_t(text.size()));
        LScriptWorldFile file;
        return file.MergeObjects(&stream, &world, name);
    }
    L3DObject* Named(const char* name) const { return world.FindObjectByName(name); }

    LAPINull device;
    L3DWorld world{&device, 0, nullptr, nullptr};
};

TEST_F(ScriptWorldFileTest, AWorldOfEverySectionLoads) {
    LMaterial* resident = world.materials.CreateMaterial("Red", nullptr, 0x00FF00, 0, nullptr);
    zyb::LoadStatistics statistics;
    ASSERT_EQ(Load(RichWorld().Text(), kEverything, &statistics), 1);

    EXPECT_EQ(world.backFaceCulling, 0u);
    EXPECT_EQ(world.userValue, 77u);
    ASSERT_EQ(statistics.cameras.count, 2u) << "a section of another type is no camera";
    auto* front = static_cast<L3DCamera*>(statistics.cameras.first->item);
    EXPECT_EQ(front->fieldOfView, 45.0f);
    EXPECT_STREQ(front->RawName(), "Front");
    EXPECT_EQ(front->position[1], 2.0f);

    LMaterial* stone = world.materials.FindByName("Stone");
    ASSERT_NE(stone, nullptr);
    EXPECT_EQ(stone->GetReflectionType(), 2);
    EXPECT_NE(stone->mode & LMaterial::kHidden, 0u) << "MAPPING|HIDDEN hides";
    EXPECT_NE(stone->mode & LMaterial::kSolid, 0u) << "and maps, solid without a texture";
    EXPECT_EQ(stone->GetTextureIntensity(0), 0.25f);
    LMaterial* red = world.materials.FindByName("Red - 1");
    ASSERT_NE(red, nullptr) << "the resident Red has another colour";
    EXPECT_EQ(red->GetReflectionType(), 0) << "an unknown reflection word";
    EXPECT_NE(red->mode & LMaterial::kSolid, 0u) << "loading its polygons keeps its mode";
    EXPECT_EQ(statistics.materials.count, 3u);
    EXPECT_EQ(world.textures.list.GetCount(), 0u) << "no texture section is read for 0";

    ASSERT_NE(world.cluster->octree, nullptr);
    EXPECT_GE(world.cluster->octree->GetPolygonCount(1), 1);
    EXPECT_EQ(statistics.staticObjects.count, 1u);
    EXPECT_EQ(statistics.dynamicObjects.count, 1u) << "the LightWave object makes nothing";

    L3DObject* walker = Named("Walker");
    ASSERT_NE(walker, nullptr);
    EXPECT_EQ(walker->GetPolygonAt(0)->GetMaterial(), red) << "polygons follow the rename";
    EXPECT_NE(walker->GetPolygonAt(0)->GetMaterial(), resident);
    EXPECT_EQ(walker->GetPolygonAt(0)->GetVertex(0)->texture[0], -0.5f) << "stored negated";
    EXPECT_EQ(walker->userValue, 12u);
    EXPECT_TRUE(walker->IsGouraud());
    EXPECT_TRUE(walker->IsCollisionOn());
    EXPECT_EQ(walker->position[0], 5.0f);
    const SequenceRecord* walk = walker->FindSequence("Walk");
    ASSERT_NE(walk, nullptr);
    EXPECT_EQ(walk->end, 5);
    EXPECT_EQ(walker->FindSequence("Skip"), nullptr) << "flags -1 add no sequence";
    ASSERT_NE(walker->children, nullptr);
    L3DObject* hand = walker->FindChild("Hand");
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(hand->parent, walker);
    EXPECT_EQ(hand->GetPolygonAt(0)->GetMaterial(), world.materials.FindByName("Wire"));
    L3DObject* copy = Named("WalkerCopy");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->source, walker) << "a clone, not a child";
    EXPECT_EQ(copy->position[0], 9.0f);

    LKeyTrack* const* tracks = walker->keyTracks->tracks;
    ASSERT_NE(tracks[kTrackTranslation], nullptr);
    EXPECT_EQ(tracks[kTrackTranslation]->flags, 3u);
    EXPECT_EQ(tracks[kTrackTranslation]->count, 2u);
    EXPECT_EQ(tracks[kTrackTranslation]->first->tension, 0.5f);
    EXPECT_EQ(tracks[kTrackTranslation]->first->next->value[2], 6.0f);
    EXPECT_EQ(tracks[kTrackScale], nullptr) << "TRACKDEF(0,0) makes no track";
    EXPECT_NEAR(tracks[kTrackRotation]->first->orientation[2], 1.0f, 1e-5f);
    EXPECT_EQ(tracks[kTrackMorph]->first->value[0], 3.0f);
    EXPECT_EQ(tracks[kTrackHide]->first->frame, 4.0f);
    EXPECT_EQ(tracks[kTrackMatrix]->first->value[3], 7.0f);
    LKeyTrack* moves = tracks[kTrackPointMoves];
    ASSERT_NE(moves, nullptr);
    EXPECT_EQ(moves->first->elements.GetCount(), 1) << "a move of a point not there is dropped";

    EXPECT_EQ(world.lights->staticLights.size(), 1u);
    EXPECT_EQ(world.lights->dynamicLights.size(), 1u);
    EXPECT_EQ(world.lights->staticLights[0]->GetRadius(), 100);
    EXPECT_EQ(world.zones.list.GetCount(), 1u);
    EXPECT_EQ(static_cast<L3DZone*>(world.zones.list.GetHead()->item)->GetWidth(), 5u);
    EXPECT_EQ(world.sounds.list.GetCount(), 1u);
    ASSERT_EQ(world.blobs.list.GetCount(), 1u);
    EXPECT_EQ(stone->alpha, 128) << "the blob's opacity is its material's alpha";
}

TEST_F(ScriptWorldFileTest, MasksChooseTheSections) {
    zyb::LoadStatistics statistics;
    ASSERT_EQ(Load(RichWorld().Text(), zyb::kLoadDynamicObjects, &statistics), 1);
    EXPECT_EQ(world.cameras.list.GetCount(), 0u);
    EXPECT_EQ(world.lights->dynamicLights.size(), 0u);
    EXPECT_EQ(world.cluster->octree, nullptr);
    EXPECT_EQ(world.backFaceCulling, 1u);
    EXPECT_NE(Named("Walker"), nullptr);
    EXPECT_EQ(statistics.staticObjects.count, 0u);
    EXPECT_EQ(world.materials.FindByName("Stone"), nullptr);
    // Without the file's materials the polygons take the default one.
    EXPECT_EQ(Named("Walker")->GetPolygonAt(0)->GetMaterial(), world.GetDefaultMaterial());
}

TEST_F(ScriptWorldFileTest, VersionsGateTheirKeys) {
    ASSERT_EQ(Load(RichWorld(1068708659).Text(), kEverything), 1);
    auto* camera = static_cast<L3DCamera*>(world.cameras.list.GetHead()->item);
    EXPECT_STRNE(camera->RawName(), "Front") << "camera names came later";
    EXPECT_EQ(world.materials.FindByName("Stone")->GetTextureIntensity(0), 0.5f);

    YixText old;
    old.Version(1068708662).S("BASECLUSTER").K("BCL_NbDynamicObj", "1");
    old.S("OBJECT").K("OBJ_Objecttype", "'Default'").K("OBJ_ObjName", "'Old'");
    old.K("OBJ_NbBase", "1").K("BPO_NbPoint", "1");
    old.K("P3D_Definition", "P3DDEF(1.0,2.0,3.0,0.25,0.5,0.75,1.0)");
    ASSERT_EQ(Load(old.Text(), kEverything), 1);
    const L3DPoint* p = Named("Old")->GetCurrentPointList()->GetPoint(0);
    EXPECT_EQ(std::vector<float>(p->model, p->model + 3), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(std::vector<float>(p->texture, p->texture + 4),
              (std::vector<float>{-0.25f, -0.5f, -0.25f, -0.5f}));

    YixText later;
    later.Version(1068708664);
    EXPECT_EQ(Load(later.Text(), kEverything), 0);
    EXPECT_EQ(Load("", kEverything), 1) << "a file without its information is version 0";
}

TEST_F(ScriptWorldFileTest, MergingTakesOneTree) {
    YixText y;
    y.Version(kCurrent).S("BASECLUSTER").K("BCL_NbDynamicObj", "2");
    y.S("OBJECT").K("OBJ_Objecttype", "'Default'").K("OBJ_ObjName", "'Walker'").Triangle("X");
    y.K("OBJ_NbChildren", "1");
    y.S("OBJECT").K("OBJ_Objecttype", "'Dummy'").K("OBJ_ObjName", "'Hand'").Triangle("X");
    y.S("OBJECT").K("OBJ_Objecttype", "'Default'").K("OBJ_ObjName", "'Crate'").Triangle("X");
    const std::string text = y.Text();

    L3DObject* crate = Merge(text, "crate");
    ASSERT_NE(crate, nullptr);
    EXPECT_STREQ(crate->RawName(), "Crate");
    EXPECT_EQ(world.objectCount, 1u) << "the walker's tree is not another's";
    L3DObject* first = Merge(text, "");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->RawName(), "Walker");
    EXPECT_NE(first->FindChild("Hand"), nullptr);
    EXPECT_EQ(Merge(text, "Nobody"), nullptr);
    EXPECT_EQ(world.objectCount, 2u);
}

TEST_F(ScriptWorldFileTest, PolygonsOfTwoMaterialsShareTheirCornersWithoutLosingThem) {
    YixText y;
    y.Version(kCurrent).S("BASEMATERIAL").K("BMA_NbMaterial", "1");
    y.S("MATERIAL").K("MAT_MatName", "'Stone'");
    y.S("BASECLUSTER").K("BCL_NbDynamicObj", "1");
    y.S("OBJECT").K("OBJ_Objecttype", "'Default'").K("OBJ_ObjName", "'Pair'");
    y.K("OBJ_NbBase", "1").K("BPO_NbPoint", "4");
    for (const char* p : {"0.0,0.0,0.0", "1.0,0.0,0.0", "1.0,1.0,0.0", "0.0,1.0,0.0"})
        y.K("P3D_Definition", std::string("P3DDEF(") + p + ",0.0,0.0,0.0,0.0)");
    y.K("OBJ_NbPolygon", "2").K("POL_Definition", "POLDEF(0,1,2,Stone)");
    y.K("POL_Definition", "POLDEF(0,2,3,Unknown)");
    ASSERT_EQ(Load(y.Text(), kEverything), 1);
    L3DObject* pair = Named("Pair");
    ASSERT_NE(pair, nullptr);
    EXPECT_EQ(pair->GetPolygonAt(0)->GetMaterial(), world.materials.FindByName("Stone"));
    EXPECT_EQ(pair->GetPolygonAt(1)->GetMaterial(), world.GetDefaultMaterial());
}

TEST_F(ScriptWorldFileTest, HostileCountsNamesAndNestingAreSurvived) {
    YixText y;
    y.Version(kCurrent).S("BASEMATERIAL").K("BMA_NbMaterial", "2147483647");
    y.S("MATERIAL").K("MAT_MatName", "'" + std::string(1000, 'm') + "'");
    y.S("BASECLUSTER").K("BCL_NbDynamicObj", "2147483647").K("BCL_NbStaticObj", "2147483647");
    y.S("OBJECT").K("OBJ_Objecttype", "'Default'").K("OBJ_ObjName", "'Big'");
    y.K("OBJ_NbBase", "2147483647").K("BPO_NbPoint", "2147483647");
    y.K("P3D_Definition", "P3DDEF(0.0,0.0,0.0,0.0,0.0,0.0,0.0)");
    y.K("OBJ_NbPolygon", "2147483647").K("POL_Definition", "POLDEF(0,5,-1,Nothing)");
    y.K("OBJ_TRACK_PMove", "TRACKDEF(0,2147483647)");
    y.K("OBJ_KEYSDEF_PMove_0", "KEYDEF(0.0,0.0,0.0,0.0,0.0,0.0,2147483647)");
    y.K("OBJ_NbClone", "2147483647").K("OBJ_NbChildren", "1");
    // Children nested far deeper than any tree a file needs.
    for (int i = 0; i < 400; ++i)
        y.S("OBJECT")
            .K("OBJ_Objecttype", "'Dummy'")
            .K("OBJ_ObjName", "'N" + std::to_string(i) + "'")
            .K("OBJ_NbChildren", "1");
    ASSERT_EQ(Load(y.Text(), kEverything), 1);
    L3DObject* big = Named("Big");
    ASSERT_NE(big, nullptr);
    EXPECT_LE(big->GetBaseCount(), 20);
    EXPECT_EQ(big->GetPolygonCount(0), 0) << "corners outside the points refuse the polygon";
    int depth = 0;
    for (L3DObject* o = big; o->children != nullptr && o->children->GetCount() > 0;
         o = static_cast<L3DObject*>(o->children->GetHead()->item))
        ++depth;
    EXPECT_LT(depth, LScriptWorldFile::kMaxDepth + 1);
}

TEST_F(ScriptWorldFileTest, EveryCutOfAWorldEndsCleanly) {
    const std::string text = RichWorld().Text();
    for (size_t size = 0; size < text.size(); size += 7) {
        L3DWorld cut(&device, 0, nullptr, nullptr);
        CMemInStream stream;
        stream.Attach(text.data(), uint32_t(size));
        LScriptWorldFile file;
        file.LoadWorld(&stream, &cut, kEverything, nullptr);
    }
}

TEST_F(ScriptWorldFileTest, WrittenWorldsLoadFromTheirFiles) {
    test_support::TempDir dir;
    const std::string path = dir.Win("small.yix");
    {
        SectionFileWriter w;
        ASSERT_EQ(w.Open(path.c_str()), kResultOk);
        w.WriteSection("SCRIPT_INFORMATION");
        w.WriteInt("SCR_Version", int32_t(kCurrent));
        w.WriteSection("BASECLUSTER");
        w.WriteInt("BCL_NbDynamicObj", 1);
        w.WriteSection("OBJECT");
        w.WriteQuotedString("OBJ_Objecttype", "Default");
        w.WriteQuotedString("OBJ_ObjName", "Quad");
        w.WriteInt("OBJ_NbBase", 1);
        w.WriteInt("BPO_NbPoint", 4);
        const float points[4][7] = {{0, 0, 0, 0, 0, 0, 0},
                                    {1, 0, 0, 1, 0, 1, 0},
                                    {1, 1, 0, 1, 1, 1, 1},
                                    {0, 1, 0, 0, 1, 0, 1}};
        for (const auto& p : points)
            w.WriteP3DDef("P3D_Definition", p);
        w.WriteInt("OBJ_NbPolygon", 2);
        const int32_t quad[4] = {0, 1, 2, 3};
        w.WritePolDef("POL_Definition", quad, 4, "Default Material");
        w.WritePolDef("POL_Definition", quad, 3, "Default Material");
        ASSERT_EQ(w.Close(), kResultOk);
    }
    {
        SectionFile check(path.c_str());
        ASSERT_EQ(check.FindSection("OBJECT", SectionFile::kFirst), 1);
    }
    LScriptWorldFile file;
    ASSERT_EQ(file.LoadWorldFile(path.c_str(), &world, kEverything, nullptr), 1);
    L3DObject* quad = Named("Quad");
    ASSERT_NE(quad, nullptr);
    ASSERT_EQ(quad->GetPolygonCount(0), 2);
    EXPECT_EQ(quad->GetPolygonAt(0)->GetVertexCount() + quad->GetPolygonAt(1)->GetVertexCount(), 7)
        << "a quadrangle and a triangle";
}

} // namespace
