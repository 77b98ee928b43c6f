// Files laid out byte by byte: the older versions, the variants other writers made, and
// hostile input.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>

#include "engine3d/files/binary_world_file.h"
#include "engine3d/files/world_file_support.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/zones/sound.h"

namespace {

constexpr uint32_t kAll = 0xEFE;

void Location(Bytes& b, float x, float y, float z) {
    b.Begin("OLOC").F32(x).F32(y).F32(z);
    for (int i = 0; i < 6; ++i)
        b.F32(0);
    b.End();
}

// An object record's fields up to its mesh.
Bytes& ObjectHead(Bytes& b, const std::string& name, uint16_t children = 0) {
    b.Begin("OB3D").U32(L3DObject::kPlain).U32(L3DObject::kInitialFlags).Str(name).Str("3DWORLD");
    return b.U16(children).F32(1).F32(1).F32(1);
}

// One frame of three points (eight or ten floats) and the given triangles.
Bytes& Triangle(Bytes& b, bool tenFloats, std::initializer_list<std::array<uint16_t, 4>> faces) {
    b.U16(1).U16(3);
    for (int p = 0; p < 3; ++p) {
        b.F32(float(p)).F32(float(p * 2)).F32(0).F32(0.5f).F32(0.25f);
        if (tenFloats) b.F32(0.75f).F32(1);
        b.F32(0).F32(0).F32(1);
    }
    b.U16(uint16_t(faces.size()));
    for (const auto& f : faces)
        b.U8(3).U16(f[0]).U16(f[1]).U16(f[2]).U16(f[3]);
    return b;
}

Bytes DynamicCluster(uint32_t version, const std::function<void(Bytes&)>& records) {
    Bytes b;
    b.Container(version).Begin("BCLU").U16(0).U16(1).U32(0);
    records(b);
    return b.End().End();
}

class WorldFixtureTest : public WorldFileTest {
protected:
    int LoadBytes(const Bytes& b, uint32_t mask = kAll) { return Load(loaded, b.Data(), mask); }
};

TEST_F(WorldFixtureTest, TheFirstVersionHasEightFloatPointsSixValueKeysAndNoCameraName) {
    Bytes b;
    b.Container(zyb::kVersionFirst);
    b.Begin("CAME").U8(1).U16(4).F32(60).U16(1).U32(0x010203).F32(0.5f).F32(0.75f).F32(0.25f);
    Location(b, 1, 2, 3);
    b.End();
    b.Begin("BCLU").U16(0).U16(1).U32(0);
    ObjectHead(b, "Old");
    Triangle(b, false, {{0, 1, 2, 0}});
    b.Begin("OKEY").Begin("KTRA").U32(0).U16(2);
    for (float frame : {0.0f, 10.0f})
        b.F32(frame).F32(0.5f).F32(0).F32(0).F32(0).F32(0).F32(frame).F32(1).F32(2);
    b.End().End();
    b.Begin("OSHA").U16(4).U16(6).Str("Nothing").End();
    b.Begin("OUSE").U32(99).End();
    b.End().End().End();
    ASSERT_EQ(LoadBytes(b), 1);

    ASSERT_EQ(loaded.cameras.list.GetCount(), 1u);
    auto* camera = static_cast<L3DCamera*>(loaded.cameras.list.GetHead()->item);
    EXPECT_STREQ(camera->RawName(), "Camera");
    EXPECT_EQ(camera->fieldOfView, 60);
    EXPECT_EQ(camera->fogColor[0], 3);
    EXPECT_EQ(camera->position[2], 3) << "the location follows the fields directly";
    L3DObject* old = loaded.FindObjectByName("Old");
    ASSERT_NE(old, nullptr);
    const L3DPoint* p = old->GetCurrentPointList()->GetPoint(2);
    EXPECT_EQ(p->model[0], 2);
    EXPECT_EQ(p->texture[2], 0.5f) << "the second pair repeats the first";
    EXPECT_EQ(p->texture[3], 0.25f);
    EXPECT_EQ(p->normal[2], 1);
    const LKeyTrack* track = old->keyTracks->tracks[kTrackTranslation];
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->count, 2u);
    EXPECT_EQ(track->tail->value[0], 10);
    EXPECT_EQ(track->tail->elementCount, 0u);
    EXPECT_EQ(old->userValue, 99u);
    EXPECT_EQ(old->GetPolygonAt(0)->GetMaterial(), loaded.GetDefaultMaterial());
}

TEST_F(WorldFixtureTest, LaterVersionsAddTheCameraNameKeyColourAndKeyValue) {
    dir.WriteFile("maps/.keep", "");
    WriteBmp(dir.Linux("maps/grain.bmp"), 4, 4);
    loaded.textures.SetFolder(dir.Win("maps").c_str());
    auto texture = [](Bytes& b, bool keyColour) {
        b.Str("grain.bmp").Str("Grain").U8(1).U8(0).U8(1);
        if (keyColour) b.U32(0x00ABCDEF);
        b.U8(16).F32(0.5f).F32(0).F32(2).F32(2).U8(90);
    };
    Bytes v34;
    v34.Container(zyb::kVersionCameraName);
    v34.Begin("CAME").U8(1).U16(4).F32(50).U16(0).U32(0).F32(0).F32(1).F32(1).Str("Named").End();
    v34.Begin("TEXT").U32(1);
    texture(v34, false);
    v34.End().End();
    ASSERT_EQ(LoadBytes(v34), 1);
    EXPECT_STREQ(static_cast<L3DObject*>(loaded.cameras.list.GetHead()->item)->RawName(), "Named");
    LTexture* grain = loaded.textures.FindByName("Grain");
    ASSERT_NE(grain, nullptr);
    EXPECT_EQ(grain->alpha, 90) << "no key colour before the alpha";
    EXPECT_EQ(grain->keyColor, 0u);

    Bytes v35;
    v35.Container(zyb::kVersionKeyColour).Begin("TEXT").U32(1);
    texture(v35, true);
    v35.End().End();
    ASSERT_EQ(LoadBytes(v35), 1);
    EXPECT_EQ(grain->keyColor, 0x00ABCDEFu);
    EXPECT_NE(grain->flags & LTexture::kColorKey, 0u);
    EXPECT_EQ(grain->offset[0], 0.5f);

    // From 0x3FB33336 each key carries its value: the point moves of a key.
    const Bytes v36 = DynamicCluster(zyb::kVersionKeyValue, [](Bytes& b) {
        ObjectHead(b, "Moving");
        Triangle(b, false, {{0, 1, 2, 0}});
        b.Begin("OKEY").Begin("KPMO").U32(0).U16(1);
        b.F32(3).F32(0).F32(0).F32(0).F32(0).F32(0).U32(2);
        for (uint32_t i = 0; i < 2; ++i)
            b.U32(i).F32(1).F32(2).F32(3).F32(4).F32(5);
        b.End().End().End();
    });
    ASSERT_EQ(LoadBytes(v36), 1);
    L3DObject* moving = loaded.FindObjectByName("Moving");
    ASSERT_NE(moving, nullptr);
    const LKeyTrack* moves = moving->keyTracks->tracks[kTrackPointMoves];
    ASSERT_NE(moves, nullptr);
    EXPECT_EQ(moves->first->elements.GetCount(), 2);
    EXPECT_EQ(moves->first->frame, 3);
}

TEST_F(WorldFixtureTest, UnknownVersionsAndContainersChangeNothing) {
    Bytes newer = DynamicCluster(zyb::kVersionLimit, [](Bytes& b) {
        ObjectHead(b, "Future");
        Triangle(b, true, {{0, 1, 2, 0}});
        b.End();
    });
    EXPECT_EQ(LoadBytes(newer), 0);
    EXPECT_EQ(Merge(loaded, newer.Data(), ""), nullptr);
    Bytes other = newer;
    std::memcpy(other.Data().data(), "HZYX", 4);
    EXPECT_EQ(LoadBytes(other), 0);
    EXPECT_EQ(loaded.objectCount, 0u);
    EXPECT_EQ(Load(loaded, {}, kAll), 0);
}

TEST_F(WorldFixtureTest, MaterialTablesOfOneEntryAndOfNoneMapToTheDefault) {
    LMaterial* resident = loaded.materials.CreateMaterial("Resident", nullptr, 5, 0, nullptr);
    for (uint16_t count : {uint16_t(1), uint16_t(0)}) {
        Bytes b;
        b.Container(zyb::kVersionCurrent).Begin("BMAT").U16(count).End();
        b.Begin("BCLU").U16(0).U16(1).U32(0);
        ObjectHead(b, "Mapped" + std::to_string(count));
        Triangle(b, true, {{0, 1, 2, 0}, {2, 1, 0, 1}, {1, 2, 0, 2}});
        b.End().End().End();
        ASSERT_EQ(LoadBytes(b), 1);
        L3DObject* o = loaded.FindObjectByName(("Mapped" + std::to_string(count)).c_str());
        ASSERT_NE(o, nullptr);
        ASSERT_EQ(o->GetPolygonCountOfBase(), 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(o->GetPolygonAt(i)->GetMaterial(), loaded.GetDefaultMaterial());
            EXPECT_NE(o->GetPolygonAt(i)->GetMaterial(), resident);
        }
    }
}

TEST_F(WorldFixtureTest, OtherWritersVariantsAreRead) {
    dir.WriteFile("maps/.keep", "");
    WriteBmp(dir.Linux("maps/sky.bmp"), 4, 4);
    WriteBmp(dir.Linux("maps/shade.bmp"), 4, 4);
    loaded.textures.SetFolder(dir.Win("maps").c_str());
    LTexture* sky = loaded.textures.LoadTexture("Sky", "sky.bmp");
    ASSERT_NE(sky, nullptr);
    LMaterial* backdrop = loaded.materials.CreateMaterial("Backdrop", sky, 0, 0, nullptr);

    Bytes b;
    b.Container(zyb::kVersionCurrent);
    b.Begin("WORL").U16(1).U16(1).U16(0).U32(0).U16(0);
    b.Begin("BKGD").Str("sky.bmp").Str("Sky").F32(2).F32(3).F32(1.5f).F32(1);
    // The texture's name, then the material's.
    b.Begin("BKMT").Str("Sky").Str("Backdrop").End();
    b.End().End();
    b.Begin("BCLU").U16(0).U16(1).U32(0);
    ObjectHead(b, "Shaded");
    Triangle(b, true, {{0, 1, 2, 0}});
    b.Begin("OSHA").U32(2).U16(10).U16(20).Str("shade.bmp").Str("Shade").U8(1);
    // A shadow texture chunk whose length was left 0 over its fields.
    b.Tag("TSHA").U32(0).U32(0x00112233).U16(1).U8(77);
    b.End();
    b.End().End().End();
    ASSERT_EQ(LoadBytes(b), 1);
    EXPECT_EQ(loaded.GetBackgroundMaterial(), backdrop);
    EXPECT_EQ(loaded.backgroundScale[0], 1.5f) << "the scales pass as their bits";
    L3DObject* shaded = loaded.FindObjectByName("Shaded");
    ASSERT_NE(shaded, nullptr);
    LTexture* shade = shaded->GetShadowTexture();
    ASSERT_NE(shade, nullptr);
    EXPECT_STREQ(shade->Name(), "Shade");
    EXPECT_EQ(shade->alpha, 77);
    EXPECT_EQ(shade->keyColor, 0x00112233u);
    EXPECT_NE(shaded->objectFlags & L3DObject::kShadowShown, 0u);
}

TEST_F(WorldFixtureTest, HostileLengthsCountsAndIndicesStayInsideTheFile) {
    // A section whose length wraps past the file ends the walk at the file's end.
    Bytes wrapped;
    wrapped.Container(zyb::kVersionCurrent).Tag("WORL").U32(0xFFFFFFF8).U16(0).U16(0);
    wrapped.Begin("CAME").U8(0).End().End();
    EXPECT_EQ(LoadBytes(wrapped), 1);
    EXPECT_EQ(loaded.cameras.list.GetCount(), 0u);
    EXPECT_EQ(loaded.backFaceCulling, 1u);

    // Counts far beyond the bytes make no empty records.
    Bytes counts;
    counts.Container(zyb::kVersionCurrent).Begin("TEXT").U32(0xFFFFFFFF).End();
    counts.Begin("BSOU").U16(0xFFFF).End().Begin("BZON").U16(0xFFFF).End();
    counts.Begin("BLIG").U16(0xFFFF).U16(0xFFFF).End().Begin("BBLO").U16(0xFFFF).End();
    counts.Begin("BMAT").U16(0xFFFF).End();
    counts.Begin("BCLU").U16(0).U16(2).U32(0);
    ObjectHead(counts, "Frames").U16(0xFFFF).U16(0xFFFF).F32(1).End();
    ObjectHead(counts, "Counted");
    Triangle(counts, true, {{0, 1, 2, 0}});
    counts.Begin("OKEY").Begin("KROT").U32(0).U16(0xFFFF).F32(1).End().End();
    counts.End().End().End();
    EXPECT_EQ(LoadBytes(counts), 1);
    EXPECT_EQ(loaded.textures.list.GetCount(), 0u);
    EXPECT_EQ(loaded.sounds.list.GetCount(), 0u);
    EXPECT_EQ(loaded.blobs.list.GetCount(), 0u);
    L3DObject* frames = loaded.FindObjectByName("Frames");
    ASSERT_NE(frames, nullptr);
    EXPECT_EQ(frames->GetBaseCount(), 1);
    EXPECT_EQ(frames->GetPointCount(0), 0);
    L3DObject* counted = loaded.FindObjectByName("Counted");
    ASSERT_NE(counted, nullptr);
    EXPECT_EQ(counted->GetPolygonCountOfBase(), 1);
    EXPECT_EQ(counted->keyTracks->tracks[kTrackRotation], nullptr) << "no key fits";

    // A polygon naming a point past its frame is skipped, the next one kept.
    const Bytes indices = DynamicCluster(zyb::kVersionCurrent, [](Bytes& b) {
        ObjectHead(b, "Indexed");
        Triangle(b, true, {{0, 1, 3, 0}, {0xFFFF, 0, 1, 0}, {2, 1, 0, 0}});
        b.End();
    });
    ASSERT_EQ(LoadBytes(indices), 1);
    L3DObject* indexed = loaded.FindObjectByName("Indexed");
    ASSERT_NE(indexed, nullptr);
    ASSERT_EQ(indexed->GetPolygonCountOfBase(), 1);
    EXPECT_EQ(indexed->GetPolygonAt(0)->GetVertex(0)->model[0], 2);

    // Strings longer than the buffers are cut and the record stays aligned.
    const std::string longName(1000, 'n');
    const Bytes strings = DynamicCluster(zyb::kVersionCurrent, [&](Bytes& b) {
        ObjectHead(b, longName);
        Triangle(b, true, {{0, 1, 2, 0}});
        b.Begin("OUSE").U32(4242).End();
        b.End();
    });
    ASSERT_EQ(LoadBytes(strings), 1);
    L3DObject* cut = loaded.FindObjectByName(longName.substr(0, 255).c_str());
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(std::strlen(cut->RawName()), 255u);
    EXPECT_EQ(cut->userValue, 4242u);
}

TEST_F(WorldFixtureTest, AClonesSourceIsFoundByNameOrTheCloneIsDropped) {
    const Bytes b = DynamicCluster(zyb::kVersionCurrent, [](Bytes& b) {
        ObjectHead(b, "Source");
        Triangle(b, true, {{0, 1, 2, 0}});
        b.Begin("OCLO").U16(3);
        for (const char* source : {"source", "Nobody", "Source"}) {
            b.Begin("OB3D").U32(L3DObject::kClone).U32(L3DObject::kInitialFlags).Str("Copy");
            b.Str("3DWORLD").U16(0).F32(1).F32(1).F32(1).U16(0);
            Location(b, 7, 8, 9);
            b.End().Str(source);
        }
        b.End().End();
        // A clone outside a clone list has no source to show.
        b.Begin("OB3D").U32(L3DObject::kClone).U32(L3DObject::kInitialFlags).Str("Stray");
        b.Str("3DWORLD").U16(0).F32(1).F32(1).F32(1).U16(0).End();
    });
    Bytes fixed = b;
    // The cluster counts two dynamic records.
    fixed.Data()[12 + 8 + 2] = 2;
    ASSERT_EQ(LoadBytes(fixed), 1);
    L3DObject* source = loaded.FindObjectByName("Source");
    ASSERT_NE(source, nullptr);
    ASSERT_EQ(source->clones.size(), 2u);
    EXPECT_EQ(source->clones[0]->position[0], 7) << "placed after taking its source";
    EXPECT_EQ(loaded.objectCount, 3u);
    EXPECT_EQ(loaded.FindObjectByName("Stray"), nullptr);
}

TEST_F(WorldFixtureTest, DeepNestingIsCutAndTheWorldStillDestroys) {
    constexpr int kLevels = 100000;
    Bytes b;
    b.Container(zyb::kVersionCurrent).Begin("BCLU").U16(0).U16(1).U32(0);
    for (int i = 0; i < kLevels; ++i) {
        ObjectHead(b, "Level", 1);
        b.U16(0);
    }
    for (int i = 0; i < kLevels; ++i)
        b.End();
    b.End().End();
    ASSERT_EQ(LoadBytes(b), 1);
    ASSERT_EQ(loaded.objectCount, 1u);
    int depth = 0;
    for (L3DObject* o = loaded.GetObjectAt(0); o != nullptr; ++depth)
        o = o->children != nullptr ? static_cast<L3DObject*>(o->children->GetHead()->item)
                                   : nullptr;
    EXPECT_EQ(depth, LBinaryWorldFile::kMaxDepth);
}

TEST_F(WorldFixtureTest, AWorldCutAtEveryOffsetLoadsAndMerges) {
    BuildRichWorld(world, dir, false);
    const std::vector<uint8_t> bytes = Save(world, zyb::kSaveDefault);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        const std::vector<uint8_t> part(bytes.begin(), bytes.begin() + std::ptrdiff_t(cut));
        L3DWorld a{&device, 0, nullptr, nullptr};
        Load(a, part, kAll);
        L3DWorld m{&device, 0, nullptr, nullptr};
        Merge(m, part, "Walker");
    }
    ASSERT_EQ(Load(loaded, bytes, kAll), 1);
    EXPECT_EQ(Describe(loaded), Describe(world));
}

} // namespace
