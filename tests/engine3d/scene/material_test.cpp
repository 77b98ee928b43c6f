#include <gtest/gtest.h>

#include <cstdio>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/reflection_curves.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

using MaterialTest = SceneTest;

TEST(ReflectionCurveTest, CurvesMatchTheirTables) {
    struct Case {
        int type;
        int i;
        int value;
    };
    const Case cases[] = {
        {0, 0, -128},  {0, 255, 127}, {1, 112, -128}, {1, 113, -127}, {1, 240, 0},   {1, 241, 1},
        {1, 255, 67},  {2, 96, -128}, {2, 97, -127},  {2, 223, -1},   {2, 224, -1},  {2, 226, 0},
        {2, 255, 127}, {3, 96, -128}, {3, 224, 0},    {3, 225, 1},    {3, 255, 127}, {4, 130, 2},
        {4, 131, 2},   {4, 197, 68},  {4, 198, 70},   {4, 0, -128},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReflectionCurve(c.type)[c.i], c.value) << c.type << " at " << c.i;
    for (int type = 0; type < kReflectionTypeCount; ++type) {
        const int32_t* curve = ReflectionCurve(type);
        EXPECT_EQ(curve[0], -128);
        for (int i = 1; i < 256; ++i)
            EXPECT_LE(curve[i - 1], curve[i]) << type << " at " << i;
    }
    EXPECT_EQ(ReflectionCurve(5), nullptr);
    EXPECT_EQ(ReflectionCurve(-1), nullptr);
}

// An object destroyed leaves its material's list and its batches, the other users of the
// material keeping their order; a world destroyed with its objects sharing materials and
// batches (on a "hardware" back end) frees everything once, which ASan checks.
TEST(MaterialTeardownTest, DestroyedObjectsLeaveTheirMaterialsInOrder) {
    RecordingDevice device;
    device.hardware = 1;
    auto world = std::make_unique<L3DWorld>(&device, 0, nullptr, nullptr);
    LMaterial* paint = world->materials.CreateMaterial("Paint", nullptr, 0x808080, 0, nullptr);
    std::vector<L3DObject*> objects;
    std::vector<LPolygon*> kept;
    for (int i = 0; i < 3; ++i) {
        auto* object = new L3DObject("Shape", world.get(), nullptr);
        for (int k = 0; k < 3; ++k) {
            LPolygon* p = device.CreatePolygon(object, 2, 0);
            const float x = float(10 * i + k);
            p->AddNewVertex(x, 0, 0, 0, 0, 0, 0);
            p->AddNewVertex(x + 1, 0, 0, 0, 0, 0, 0);
            p->AddNewVertex(x, 1, 0, 0, 0, 0, 0);
            object->AddPolygon(p, 0);
            p->SetMaterial(paint);
            if (i != 1) kept.push_back(p);
        }
        world->AddObject(object, 1);
        objects.push_back(object);
    }
    ASSERT_EQ(paint->polygons.GetCount(), 9u);
    // The world deletes what it removes.
    world->RemoveObject(objects[1]);
    std::vector<LPolygon*> left;
    for (LListNode* node = paint->polygons.GetHead(); node != nullptr; node = node->next)
        left.push_back(static_cast<LPolygon*>(node->item));
    EXPECT_EQ(left, kept);
    LCacheMaterialList* batches = objects[0]->GetCurrentBatchList();
    ASSERT_NE(batches, nullptr);
    ASSERT_NE(batches->FindBatch(paint), nullptr);
    EXPECT_EQ(batches->FindBatch(paint)->triangles.GetCount(), 3u);
    world.reset();
}

TEST_F(MaterialTest, ModeBitsFollowTheDrawingSwitches) {
    LMaterial* m = world.materials.CreateMaterial("Plain", nullptr, 0x123456, 0, nullptr);
    EXPECT_EQ(m->mode, LMaterial::kWireframe);
    m->SetMapped(1);
    EXPECT_EQ(m->mode, LMaterial::kSolid);
    m->SetWireFrame(1);
    EXPECT_EQ(m->mode, LMaterial::kWireframe);
    m->SetFlat(1);
    EXPECT_EQ(m->mode, LMaterial::kSolid);
    m->Hide();
    EXPECT_EQ(m->mode, LMaterial::kSolid | LMaterial::kHidden);
    m->Show();
    m->SetAdditiveBlendingMode(1, 1);
    EXPECT_EQ(m->mode, LMaterial::kSolid | 0x30000000u);
    m->SetAdditiveBlendingMode(1, 0);
    EXPECT_EQ(m->mode, LMaterial::kSolid | 0x10000000u);
    EXPECT_EQ(m->colorBytes[0], 0x56);
    EXPECT_EQ(m->colorBytes[2], 0x12);
    m->SetReflectionType(5);
    EXPECT_EQ(m->GetReflectionType(), 0);
    m->SetReflectionType(3);
    EXPECT_EQ(m->reflectionCurve, ReflectionCurve(3));
}

TEST_F(MaterialTest, TextureWeightsAreClampedPerSlot) {
    LMaterial* m = world.materials.CreateMaterial("Mix", nullptr, 0, 0, nullptr);
    const struct {
        int slot;
        float weight;
        float stored;
        float first, second;
    } cases[] = {{1, 0.25f, 0.75f, 0.75f, 0.25f},
                 {0, 2.0f, 1.0f, 1.0f, 0.0f},
                 {0, -3.0f, 0.0f, 0.0f, 1.0f},
                 {0, NAN, 0.0f, 0.0f, 1.0f},
                 {1, 1.5f, 0.0f, 0.0f, 1.0f}};
    for (const auto& c : cases) {
        m->SetTextureIntensity(c.slot, c.weight);
        EXPECT_FLOAT_EQ(m->textureWeight, c.stored);
        EXPECT_FLOAT_EQ(m->GetTextureIntensity(0), c.first);
        EXPECT_FLOAT_EQ(m->GetTextureIntensity(1), c.second);
    }
    EXPECT_FLOAT_EQ(m->GetTextureIntensity(2), 1.0f);
}

TEST_F(MaterialTest, UniqueNamesGetANumberedSuffix) {
    char out[256];
    world.materials.MakeUniqueName(out, "Stone", sizeof out);
    EXPECT_STREQ(out, "Stone");
    world.materials.CreateMaterial("Stone", nullptr, 0, 0, nullptr);
    world.materials.MakeUniqueName(out, "stone", sizeof out);
    EXPECT_STREQ(out, "stone - 1");
    world.materials.CreateMaterial("Stone - 1", nullptr, 0, 0, nullptr);
    world.materials.MakeUniqueName(out, "Stone", sizeof out);
    EXPECT_STREQ(out, "Stone - 2");

    const std::string longName(255, 'x');
    world.materials.CreateMaterial(longName.c_str(), nullptr, 0, 0, nullptr);
    world.materials.MakeUniqueName(out, longName.c_str(), sizeof out);
    EXPECT_EQ(std::string(out), std::string(249, 'x') + " - 1");

    // Past 999 the suffix no longer fits at 249: it moves left instead of running over.
    std::string taken = std::string(249, 'x');
    for (int n = 1; n <= 999; ++n)
        world.materials.CreateMaterial((taken + " - " + std::to_string(n)).c_str(), nullptr, 0, 0,
                                       nullptr);
    world.materials.MakeUniqueName(out, longName.c_str(), sizeof out);
    EXPECT_EQ(std::string(out), std::string(248, 'x') + " - 1000");
    EXPECT_EQ(std::strlen(out), 255u);
}

TEST_F(MaterialTest, ListKeepsDefaultFirstAndShadowLast) {
    LMaterial* a = world.materials.CreateMaterial("A", nullptr, 0, 0, nullptr);
    LMaterial* b = world.materials.CreateMaterial("B", nullptr, 0, 0, nullptr);
    EXPECT_EQ(world.materials.GetAt(0), world.GetDefaultMaterial());
    EXPECT_EQ(world.materials.GetAt(1), b);
    EXPECT_EQ(world.materials.GetAt(2), a);
    EXPECT_EQ(world.materials.GetAt(3), world.GetShadowMaterial());
    EXPECT_EQ(world.materials.FindByName("(a)"), nullptr);
    a->SetName("(a)");
    EXPECT_EQ(world.materials.FindByName("(A)"), a);
    EXPECT_EQ(world.materials.RemoveMaterial(nullptr), 16);
    EXPECT_EQ(world.materials.RemoveMaterial(a), 0);
    EXPECT_EQ(world.materials.IndexOf(a), -1);
}

std::vector<uint8_t> Str(const char* s) {
    std::vector<uint8_t> out = {uint8_t(std::strlen(s)), 0};
    out.insert(out.end(), s, s + std::strlen(s));
    return out;
}

void Append(std::vector<uint8_t>& out, std::initializer_list<uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void Append(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

std::vector<uint8_t> EmptySlot(uint8_t alpha) {
    std::vector<uint8_t> slot = Str("Nothing");
    Append(slot, Str("Nothing"));
    Append(slot, {0, 0, 0, 0, 0, 0, 0,    0,    0, 0, 0,    0,    0,
                  0, 0, 0, 0, 0, 0, 0x80, 0x3F, 0, 0, 0x80, 0x3F, alpha});
    return slot;
}

TEST_F(MaterialTest, BmatWritesOneOrTwoLayers) {
    LTexture* bricks = device.CreateTexture(&world, "Bricks", nullptr);
    bricks->SetFileName("C:\\art\\bricks.bmp");
    bricks->bitsPerPixel = 16;
    bricks->SetColorKey(1, 0x00FF00);
    world.textures.AddTexture(bricks);
    LMaterial* one = world.materials.CreateMaterial("Wall", bricks, 0x0000FF, 1, nullptr);
    one->SetAlphaValue(200);
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    EXPECT_EQ(world.materials.Save(writer, 0), 0);

    std::vector<uint8_t> expected = {'B', 'M', 'A', 'T', 0, 0, 0, 0, 3, 0};
    Append(expected, Str("Wall"));
    Append(expected, {0, 0, 8, 0, 0, 0, 1, 0, 0xFF, 0, 0, 0, 200, 0, 0, 0, 0x3F, 1});
    Append(expected, Str("bricks.bmp"));
    Append(expected, Str("Bricks"));
    // Key on, no environment mapping, option 1, key colour, depth, not planar, offsets,
    // tiling, the material's alpha.
    Append(expected, {1, 0, 1, 0, 0xFF, 0, 0,    16,   0, 0, 0,    0,    0,
                      0, 0, 0, 0, 0,    0, 0x80, 0x3F, 0, 0, 0x80, 0x3F, 200});
    Append(expected, Str(kShadowMaterialName));
    Append(expected, {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0x3F, 1});
    Append(expected, EmptySlot(255));
    const uint32_t length = uint32_t(expected.size() - 8);
    std::memcpy(&expected[4], &length, 4);
    EXPECT_EQ(sink.Bytes(), expected);

    LTexture* glow = device.CreateTexture(&world, "Glow", nullptr);
    world.textures.AddTexture(glow);
    one->SetTexture(1, glow);
    EXPECT_EQ(one->layerCount, 2);
    MemoryByteSink two;
    ChunkWriter writerTwo(two);
    one->Save(writerTwo, 0);
    std::vector<uint8_t> tail = Str("Glow");
    Append(tail, Str("Glow"));
    Append(tail, {0, 0, 1, 0, 0, 0, 0,    0,    0, 0, 0,    0,    0,
                  0, 0, 0, 0, 0, 0, 0x80, 0x3F, 0, 0, 0x80, 0x3F, 200});
    ASSERT_GE(two.Bytes().size(), tail.size());
    EXPECT_EQ(std::vector<uint8_t>(two.Bytes().end() - long(tail.size()), two.Bytes().end()), tail);
}

TEST_F(MaterialTest, ACameraTextureIsMadeForTheCameraAndDroppedWithItsSlot) {
    L3DCamera* mirror = world.CreateCamera(0);
    LMaterial* m = world.materials.CreateMaterial("Mirror", nullptr, 0xFF, 0, nullptr);
    const uint32_t texturesBefore = world.textures.list.GetCount();
    ASSERT_EQ(m->MakeCameraTexture(0, mirror, 64, 32), 0);
    LTexture* texture = m->GetTexture(0);
    ASSERT_NE(texture, nullptr);
    char name[32];
    std::snprintf(name, sizeof name, "CameraTex %u", texturesBefore);
    EXPECT_EQ(std::string(texture->Name()), name);
    EXPECT_EQ(world.textures.list.GetCount(), texturesBefore + 1);
    EXPECT_EQ(texture->width, 64u);
    EXPECT_EQ(texture->height, 32u);
    EXPECT_EQ(texture->camera, mirror);
    EXPECT_NE(texture->cameraRenderer, nullptr);
    EXPECT_NE(m->mode & LMaterial::kCameraTexture, 0u);
    EXPECT_NE(world.specialMaterials.FindNode(m), nullptr);

    // Another texture in the slot drops the camera texture first.
    LTexture* plain = device.CreateTexture(&world, "Plain", nullptr);
    world.textures.AddTexture(plain);
    m->SetTexture(0, plain);
    EXPECT_EQ(m->GetTexture(0), plain);
    EXPECT_EQ(world.textures.list.GetCount(), texturesBefore + 1);
    EXPECT_EQ(world.textures.list.FindNode(texture), nullptr);
    EXPECT_EQ(m->mode & LMaterial::kCameraTexture, 0u);
    EXPECT_EQ(world.specialMaterials.FindNode(m), nullptr);

    ASSERT_EQ(m->MakeCameraTexture(0, mirror, 16, 16), 0);
    ASSERT_EQ(m->MakeCameraTexture(0, nullptr, 0, 0), 0);
    EXPECT_EQ(m->GetTexture(0), nullptr);
    EXPECT_EQ(m->mode & (LMaterial::kCameraTexture | LMaterial::kTextured | LMaterial::kWireframe),
              0u);
    EXPECT_NE(m->mode & LMaterial::kSolid, 0u);
    EXPECT_EQ(m->MakeCameraTexture(0, mirror, 0, 16), 1);

    // Emptying the world leaves no special material behind.
    ASSERT_EQ(m->MakeCameraTexture(1, mirror, 16, 16), 0);
    world.RemoveAll();
    EXPECT_EQ(world.specialMaterials.GetCount(), 0u);
}

} // namespace
