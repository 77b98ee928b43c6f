#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/key_track.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/octree.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Builds expected bytes in the file's order.
struct Expect {
    Bytes bytes;

    Expect& U8(uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    Expect& U16(uint16_t v) { return U8(uint8_t(v)).U8(uint8_t(v >> 8)); }
    Expect& U32(uint32_t v) { return U16(uint16_t(v)).U16(uint16_t(v >> 16)); }
    Expect& F32(float f) {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        return U32(bits);
    }
    Expect& Text(const std::string& s) {
        U16(uint16_t(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    Expect& Tag(const char* tag) {
        bytes.insert(bytes.end(), tag, tag + 4);
        return *this;
    }
    // A chunk around the body.
    Expect& Chunk(const char* tag, const Expect& body) {
        Tag(tag).U32(uint32_t(body.bytes.size()));
        bytes.insert(bytes.end(), body.bytes.begin(), body.bytes.end());
        return *this;
    }
    Expect& Key(float frame, uint32_t elements) {
        F32(frame);
        for (int i = 0; i < 5; ++i)
            F32(0);
        return U32(elements);
    }
};

// Walks the chunks of saved bytes.
struct Reader {
    const Bytes& bytes;
    size_t at = 0;

    uint32_t U(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v |= uint32_t(bytes.at(at++)) << (8 * i);
        return v;
    }
    std::string Text() {
        const uint32_t n = U(2);
        std::string s(bytes.begin() + long(at), bytes.begin() + long(at + n));
        at += n;
        return s;
    }
    std::string Tag() {
        std::string s(bytes.begin() + long(at), bytes.begin() + long(at + 4));
        at += 4;
        return s;
    }
    // The tag, checking that the length reaches exactly to `end` bytes later.
    std::string Chunk(size_t* end) {
        const std::string tag = Tag();
        const uint32_t length = U(4);
        *end = at + length;
        return tag;
    }
    void Skip(size_t n) { at += n; }
};

class SaveTest : public SceneTest {
protected:
    L3DObject* Object(const char* name) {
        auto* object = new L3DObject(name, &world, nullptr);
        AddFace(*object, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
        world.AddObject(object, 1);
        return object;
    }

    Bytes Save(L3DObject& object, int* result = nullptr) {
        MemoryByteSink sink;
        ChunkWriter writer(sink);
        const int r = object.Save(writer, 0);
        if (result != nullptr) *result = r;
        return sink.Bytes();
    }

    template <typename F> Bytes Write(F&& f) {
        MemoryByteSink sink;
        ChunkWriter writer(sink);
        f(writer);
        return sink.Bytes();
    }

    static LKey* AddKey(LKeyTrack*& track, int32_t frame) {
        if (track == nullptr) track = LKeyTrack::Create();
        LKey* key = LKeyTrack::CreateKey();
        AppendKey(track, key, frame);
        return key;
    }
};

TEST_F(SaveTest, AnObjectWritesItsRecordWithMeshAndSubChunks) {
    L3DObject* object = Object("Crate");
    object->SetPosition(1, 2, 3);
    object->userValue = 0xABCD;
    const Bytes bytes = Save(*object);
    Reader r{bytes};
    size_t end = 0;
    ASSERT_EQ(r.Chunk(&end), "OB3D");
    EXPECT_EQ(end, bytes.size());
    EXPECT_EQ(r.U(4), L3DObject::kPlain);
    EXPECT_EQ(r.U(4), object->objectFlags);
    EXPECT_EQ(r.Text(), "Crate");
    EXPECT_EQ(r.Text(), "3DWORLD");
    EXPECT_EQ(r.U(2), 0u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(r.U(4), 0x3F800000u);
    EXPECT_EQ(r.U(2), 1u) << "one base";
    EXPECT_EQ(r.U(2), 3u) << "three points";
    r.Skip(3 * 40);
    EXPECT_EQ(r.U(2), 1u) << "one polygon";
    EXPECT_EQ(r.U(1), 3u);
    EXPECT_EQ(r.U(2), 0u);
    EXPECT_EQ(r.U(2), 1u);
    EXPECT_EQ(r.U(2), 2u);
    r.Skip(2);
    const char* order[] = {"OANM", "OLOC", "OKEY", "OSHA", "OCLO", "OUSE"};
    for (const char* tag : order) {
        size_t chunkEnd = 0;
        ASSERT_EQ(r.Chunk(&chunkEnd), tag);
        const std::string name(tag);
        if (name == "OKEY") {
            EXPECT_EQ(chunkEnd, r.at) << "no tracks, empty body";
        } else if (name == "OSHA") {
            EXPECT_EQ(r.U(4), 0u);
        } else if (name == "OCLO") {
            EXPECT_EQ(r.U(2), 0u);
        } else if (name == "OUSE") {
            EXPECT_EQ(r.U(4), 0xABCDu);
        }
        r.at = chunkEnd;
    }
    EXPECT_EQ(r.at, bytes.size());

    object->SetPersistent(0);
    EXPECT_TRUE(Save(*object).empty());
}

TEST_F(SaveTest, KeyTracksOfEverySevenKinds) {
    L3DObject* object = Object("Keys");
    LKeyTrack** tracks = object->keyTracks->tracks;
    for (int kind = 0; kind < kTrackKindCount; ++kind)
        AddKey(tracks[kind], 4);
    tracks[kTrackTranslation]->flags = 2;
    LKey* translation = tracks[kTrackTranslation]->first;
    translation->value[0] = 1;
    translation->value[1] = 2;
    translation->value[2] = 3;
    tracks[kTrackMorph]->first->value[0] = 7;
    MatrixIdentity(tracks[kTrackMatrix]->first->value);
    LKey* moves = tracks[kTrackPointMoves]->first;
    moves->elementCount = 5;
    ASSERT_EQ(moves->elements.SetSize(2), 2);
    *static_cast<LPointMove*>(moves->elements.GetAt(1)) = {9, {1, 0, 0, 0, 0}};
    const Bytes bytes = Write([&](ChunkWriter& w) { object->SaveKeyTracks(w); });

    Expect body;
    body.Chunk("KTRA", Expect().U32(2).U16(1).Key(4, 0).F32(1).F32(2).F32(3));
    body.Chunk("KSCA", Expect().U32(0).U16(1).Key(4, 0).F32(0).F32(0).F32(0));
    body.Chunk("KROT", Expect().U32(0).U16(1).Key(4, 0).F32(0).F32(0).F32(0).F32(0));
    body.Chunk("KMOR", Expect().U32(0).U16(1).Key(4, 0).U16(7));
    body.Chunk("KHID", Expect().U32(0).U16(1).Key(4, 0).U16(0));
    Expect matrix;
    matrix.U32(0).U16(1).Key(4, 0);
    for (int i = 0; i < 12; ++i)
        matrix.F32(i % 5 == 0 ? 1.0f : 0.0f);
    body.Chunk("KMAT", matrix);
    // The element count is the number of moves written.
    Expect pointMoves;
    pointMoves.U32(0).U16(1).Key(4, 2);
    pointMoves.U32(0).F32(0).F32(0).F32(0).F32(0).F32(0);
    pointMoves.U32(9).F32(1).F32(0).F32(0).F32(0).F32(0);
    body.Chunk("KPMO", pointMoves);
    EXPECT_EQ(bytes, Expect().Chunk("OKEY", body).bytes);
}

TEST_F(SaveTest, ShadowChunksOfEachKind) {
    L3DObject* plain = Object("Plain");
    EXPECT_EQ(Write([&](ChunkWriter& w) { plain->SaveShadow(w, 0); }),
              Expect().Chunk("OSHA", Expect().U32(0)).bytes);
    plain->SetShadowReceiver(1);
    plain->EnableShadow(1);
    EXPECT_EQ(Write([&](ChunkWriter& w) { plain->SaveShadow(w, 0); }),
              Expect().Chunk("OSHA", Expect().U32(1)).bytes)
        << "an untextured shadow is not written";

    LTexture* texture = device.CreateTexture(&world, "Blob", nullptr);
    texture->SetFileName("C:\\art\\blob.bmp");
    texture->SetColorKey(1, 0x112233);
    texture->alpha = 200;
    plain->SetShadowTextureAndSize(30, 50, texture);
    plain->EnableShadow(0);
    Expect textured;
    textured.U32(2).U16(30).U16(50).Text("blob.bmp").Text("Blob").U8(0);
    textured.Chunk("TSHA", Expect().U32(texture->keyColor).U16(1).U8(200));
    EXPECT_EQ(Write([&](ChunkWriter& w) { plain->SaveShadow(w, 0); }),
              Expect().Chunk("OSHA", textured).bytes)
        << "a hidden textured shadow keeps its texture";
}

TEST_F(SaveTest, ClonesChildrenAndAnimatedObjects) {
    L3DObject* source = Object("$$$DUMMYWheel");
    L3DObject* a = source->Clone(nullptr);
    L3DObject* b = source->Clone(nullptr);
    L3DObject* c = source->Clone(nullptr);
    L3DObjectClone outside("Outside", &world, nullptr);
    ASSERT_EQ(outside.SetSource(source), 1);
    const Bytes clones = Write([&](ChunkWriter& w) { source->SaveClones(w, 0); });
    Reader r{clones};
    size_t end = 0;
    ASSERT_EQ(r.Chunk(&end), "OCLO");
    EXPECT_EQ(end, clones.size());
    EXPECT_EQ(r.U(2), 3u) << "the clone outside the world is not counted";
    for (L3DObject* clone : {c, b, a}) {
        size_t cloneEnd = 0;
        ASSERT_EQ(r.Chunk(&cloneEnd), "OB3D");
        EXPECT_EQ(r.U(4), L3DObject::kClone);
        r.U(4);
        char shown[32];
        clone->GetName(shown, sizeof shown);
        EXPECT_EQ(r.Text(), shown);
        r.at = cloneEnd;
        EXPECT_EQ(r.Text(), "Wheel") << "the source's name without its marker";
    }
    EXPECT_EQ(r.at, clones.size());

    auto* anonymous = new L3DObject(nullptr, &world, nullptr);
    world.AddObject(anonymous, 1);
    L3DObjectClone lone("Lone", &world, nullptr);
    ASSERT_EQ(lone.SetSource(anonymous), 1);
    const Bytes loneBytes = Save(lone);
    EXPECT_EQ(std::string(loneBytes.end() - 6, loneBytes.end()), "NoName");

    L3DObject* parent = Object("Parent");
    L3DObject* kept = Object("Kept");
    L3DObject* dropped = Object("Dropped");
    dropped->SetPersistent(0);
    ASSERT_EQ(kept->SetParent(parent, 1), 0);
    ASSERT_EQ(dropped->SetParent(parent, 1), 0);
    const Bytes family = Save(*parent);
    Reader f{family};
    f.Chunk(&end);
    f.U(4);
    f.U(4);
    f.Text();
    f.Text();
    EXPECT_EQ(f.U(2), 1u) << "the child that is not persistent is not counted";
    EXPECT_EQ(family.size(), end);
    const std::string text(family.begin(), family.end());
    EXPECT_NE(text.find("Kept"), std::string::npos);
    EXPECT_EQ(text.find("Dropped"), std::string::npos);
    EXPECT_NE(text.find(std::string("\x06\x00Parent", 8)), std::string::npos);

    auto* walker = new L3DObject_Animation("Walker", &world, nullptr);
    world.AddObject(walker, 1);
    walker->Sequences()->SetSequence("Main", 2, 0, 12, 0, 0, 0, 0);
    walker->Sequences()->AddSequence("Run", 0, 3, 6, 0, 3, 0, 0);
    const Bytes animated = Save(*walker);
    Reader w{animated};
    ASSERT_EQ(w.Chunk(&end), "OANI");
    EXPECT_EQ(end, animated.size());
    EXPECT_EQ(w.U(2), 0u);
    EXPECT_EQ(w.U(2), 12u);
    w.U(2);
    EXPECT_EQ(w.U(2), 2u);
    EXPECT_EQ(w.Text(), "Main");
    w.Skip(1 + 12);
    EXPECT_EQ(w.Text(), "Run");
    w.Skip(1 + 12);
    EXPECT_EQ(w.U(4), walker->Sequences()->flags);
    ASSERT_EQ(w.Chunk(&end), "OB3D");
    EXPECT_EQ(w.U(4), L3DObject::kAnimated);
    EXPECT_EQ(end, animated.size());
}

TEST_F(SaveTest, TheClusterAndItsOctree) {
    L3DObject* moving = Object("Moving");
    ASSERT_NE(moving->Clone(nullptr), nullptr);
    L3DObject* ghost = Object("Ghost");
    ghost->SetPersistent(0);
    L3DObject* ground = Object("Ground");
    ground->MakeStatic(1);
    const uint32_t flags = LBase3DCluster::kSaveStatic | LBase3DCluster::kSaveDynamic;
    const Bytes all = Write([&](ChunkWriter& w) { world.cluster->SaveCluster(w, nullptr, flags); });
    Reader r{all};
    size_t end = 0;
    ASSERT_EQ(r.Chunk(&end), "BCLU");
    EXPECT_EQ(end, all.size());
    EXPECT_EQ(r.U(2), 1u) << "the octree alone: its object was merged";
    EXPECT_EQ(r.U(2), 1u) << "neither the clone nor the object that is not persistent";
    r.U(4);
    size_t octreeEnd = 0;
    ASSERT_EQ(r.Chunk(&octreeEnd), "OCTR");
    const float* lo = world.cluster->octree->Min();
    uint32_t bits;
    std::memcpy(&bits, &lo[0], 4);
    EXPECT_EQ(r.U(4), bits);
    r.Skip(20);
    size_t nodeEnd = 0;
    ASSERT_EQ(r.Chunk(&nodeEnd), "OB3D");
    EXPECT_EQ(r.U(4), L3DObject::kOctreeNode);
    EXPECT_EQ(nodeEnd, octreeEnd);
    r.at = octreeEnd;
    ASSERT_EQ(r.Chunk(&end), "OB3D");
    r.U(4);
    r.U(4);
    EXPECT_EQ(r.Text(), "Moving");

    const Bytes one = Write([&](ChunkWriter& w) { world.cluster->SaveCluster(w, moving, flags); });
    Reader o{one};
    ASSERT_EQ(o.Chunk(&end), "BCLU");
    EXPECT_EQ(o.U(2), 0u) << "no octree in a one-object save";
    EXPECT_EQ(o.U(2), 1u);
    o.U(4);
    ASSERT_EQ(o.Chunk(&end), "OB3D");
    EXPECT_EQ(end, one.size());
}

TEST_F(SaveTest, CountsThatDoNotFitFailTheSave) {
    L3DObject* object = Object("Busy");
    LKeyTrack*& track = object->keyTracks->tracks[kTrackHide];
    for (int32_t frame = 0; frame <= 0xFFFF; ++frame)
        AddKey(track, frame);
    int result = 0;
    Save(*object, &result);
    EXPECT_NE(result, 0);
    RemoveKey(track, track->first);
    Save(*object, &result);
    EXPECT_EQ(result, 0);
}

} // namespace
