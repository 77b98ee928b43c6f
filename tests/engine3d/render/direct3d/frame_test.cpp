// The Direct3D renderer's frame, state bits and texture formats, through the recorder.
#include <gtest/gtest.h>

#include <bit>

#include "engine3d/render/direct3d/direct3d_fixture.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/sprites/sprite.h"

namespace {

using Direct3DFrameTest = Direct3DRenderTest;
using R = LRenderAPI_Direct3D;

DDPIXELFORMAT Format(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha) {
    return DDPIXELFORMAT{sizeof(DDPIXELFORMAT),
                         DDPF_RGB | (alpha ? DDPF_ALPHAPIXELS : 0u),
                         0,
                         bits,
                         red,
                         green,
                         blue,
                         alpha};
}

const DDPIXELFORMAT k565 = Format(16, 0xF800, 0x07E0, 0x1F, 0);
const DDPIXELFORMAT k4444 = Format(16, 0x0F00, 0x00F0, 0x0F, 0xF000);
const DDPIXELFORMAT k1555 = Format(16, 0x7C00, 0x03E0, 0x1F, 0x8000);
const DDPIXELFORMAT k8888 = Format(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
const DDPIXELFORMAT kX888 = Format(32, 0xFF0000, 0xFF00, 0xFF, 0);

TEST_F(Direct3DFrameTest, AFrameClearsWithTheBackgroundOrTheFogColourAndShowsInTheWindow) {
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    renderer->AttachView(camera);
    renderer->background = 0x00332211; // blue 0x33, green 0x22, red 0x11
    Log().clear();
    renderer->RenderFrame();
    EXPECT_NE(Find("SetRenderState 28 0"), -1);
    const int clear = Find("Clear2 0 0 64 48 flags 3 colour 112233 z 1");
    ASSERT_NE(clear, -1);
    EXPECT_LT(clear, Find("BeginScene"));
    EXPECT_NE(Find("SetRenderState 22 2"), -1); // the world culls back faces

    camera->SetFog(1, 0x00665544, 0.25f, 0.75f, 0.5f);
    Log().clear();
    renderer->RenderFrame();
    EXPECT_NE(Find("Clear2 0 0 64 48 flags 3 colour 445566 z 1"), -1);
    EXPECT_NE(Find("SetRenderState 28 1"), -1);
    EXPECT_NE(Find("SetRenderState 34 " + std::to_string(0x445566)), -1);
    EXPECT_NE(Find("SetLightState 5 " + std::to_string(std::bit_cast<DWORD>(0.25f))), -1);
}

TEST_F(Direct3DFrameTest, TwoElementsInASceneReopenItOnceAndKeepTheirColour) {
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    LSprite sprite(world.get(), 0, nullptr);
    sprite.SetDrawMode(LSprite::kSolid);
    sprite.SetColor(0x0000FF);
    renderer->d3dDevice->BeginScene();
    renderer->elementsInScene = 0;
    Log().clear();
    renderer->DrawElement2D(camera, &sprite);
    renderer->DrawElement2D(camera, &sprite);
    EXPECT_EQ(Count("EndScene"), 1);
    EXPECT_EQ(Count("BeginScene"), 1);
    EXPECT_EQ(Count("Draw 6 vertices 4 indices 0 flags 18"), 2);
    EXPECT_NE(Find("SetRenderState 7 0"), -1); // over everything
    renderer->d3dDevice->EndScene();
}

TEST_F(Direct3DFrameTest, StateBitsSetTheirDeviceStatesAndExcludeEachOther) {
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    Log().clear();
    EXPECT_EQ(renderer->SetStateBits(0x2000), 1);
    EXPECT_EQ(renderer->stateBits & 0x400, 0);
    for (const char* line : {"SetTextureStageState 1 17 2", "SetTextureStageState 1 16 2",
                             "SetTextureStageState 1 18 1"})
        EXPECT_NE(Find(line), -1) << line;
    Log().clear();
    renderer->ClearStateBits(0x2000);
    EXPECT_NE(Find("SetTextureStageState 0 18 2"), -1);
    Log().clear();
    renderer->SetStateBits(0x400);
    EXPECT_NE(Find("SetTextureStageState 0 21 8"), -1); // the anisotropy read from the caps

    renderer->SetStateBits(0x10);
    EXPECT_EQ(renderer->stateBits & 0x18, 0x10);
    EXPECT_EQ(renderer->colourOperation[0], uint32_t(D3DTOP_ADDSIGNED));
    renderer->SetStateBits(0x08);
    EXPECT_EQ(renderer->stateBits & 0x18, 0x08);
    EXPECT_EQ(renderer->colourOperation[0], uint32_t(D3DTOP_MODULATE));
    EXPECT_EQ(renderer->SetStateBits(0x01), 0);
    EXPECT_EQ(renderer->IsCapable(256), 0);
    Log().clear();
    renderer->SetStateBits(0x02);
    renderer->ClearStateBits(0x04);
    EXPECT_EQ(Log(), (std::vector<std::string>{"SetRenderState 2 2", "SetRenderState 4 0"}));
}

TEST_F(Direct3DFrameTest, ARefusedAddSignedLeavesTheModulateTriple) {
    Layer().refuseAddSigned = true;
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    EXPECT_EQ(renderer->IsCapable(0x10), 0);
    renderer->SetStateBits(0x10);
    EXPECT_EQ(renderer->colourOperation[0], uint32_t(D3DTOP_MODULATE));
    EXPECT_EQ(renderer->colourOperation[1], uint32_t(D3DTA_TEXTURE));
    EXPECT_EQ(renderer->colourOperation[2], uint32_t(D3DTA_DIFFUSE));
}

TEST_F(Direct3DFrameTest, TextureFormatsFollowTheDepthsPreferences) {
    Layer().textureFormats = {k565, k4444, k1555};
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    renderer->SetTextureDepth(16);
    ASSERT_EQ(renderer->textureFormats.size(), 3u);
    R::TextureFormat found;
    ASSERT_TRUE(renderer->FindTextureFormat(R::kOpaque, found, 16));
    EXPECT_EQ(found.depth, 16u);
    EXPECT_EQ(found.format.dwRBitMask, 0xF800u);
    ASSERT_TRUE(renderer->FindTextureFormat(R::kTranslucent, found, 16));
    EXPECT_EQ(found.depth, 16u);
    EXPECT_EQ(found.format.dwRGBAlphaBitMask, 0xF000u);
    // 1-5-5-5 is never a depth-16 format: it is found as the 15 of the list.
    ASSERT_TRUE(renderer->FindTextureFormat(R::kOneBitAlpha, found, 16));
    EXPECT_EQ(found.depth, 15u);
    EXPECT_EQ(renderer->GetTextureDepth(99), 16u);

    // At 8 bits 32-bit textures come first; nothing is palettised.
    Layer().textureFormats = {k565, k8888, kX888};
    renderer->SetTextureDepth(8);
    ASSERT_TRUE(renderer->FindTextureFormat(R::kOpaque, found, 8));
    EXPECT_EQ(found.depth, 32u);
    ASSERT_TRUE(renderer->FindTextureFormat(R::kTranslucent, found, 8));
    EXPECT_EQ(found.format.dwRGBAlphaBitMask, 0xFF000000u);
    EXPECT_FALSE(renderer->FindTextureFormat(R::kOneBitAlpha, found, 8));

    // Nothing opaque offered: no list, and the depth asked comes back.
    Layer().textureFormats = {k4444};
    renderer->SetTextureDepth(16);
    EXPECT_TRUE(renderer->textureFormats.empty());
    EXPECT_EQ(renderer->GetTextureDepth(24), 24u);
    EXPECT_EQ(renderer->GetMaxTextureWidth(), 4096);
    EXPECT_EQ(renderer->GetMinTextureHeight(), 1);
}

TEST_F(Direct3DFrameTest, DepthOverwriteClearsToTheNearPlaneAndResetRestores) {
    ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
    renderer->d3dDevice->BeginScene();
    Log().clear();
    renderer->BeginDepthOverwrite();
    EXPECT_NE(Find("Clear2 0 0 64 48 flags 2 colour 000000 z 0"), -1);
    EXPECT_NE(Find("SetRenderState 23 8"), -1);
    EXPECT_EQ(renderer->depthOverride, 1u);
    Log().clear();
    renderer->EndDepthOverwrite();
    // The override stays: only the comparison comes back, the depth writes are not restored.
    EXPECT_EQ(Count("SetRenderState 23 2"), 1);
    EXPECT_EQ(Find("SetRenderState 14 1"), -1);
    renderer->ResetDepthBuffer();
    EXPECT_EQ(renderer->depthOverride, 0u);
    EXPECT_NE(Find("Clear2 0 0 64 48 flags 2 colour 000000 z 1"), -1);
    EXPECT_EQ(Log().back(), "BeginScene");
    renderer->d3dDevice->EndScene();
}

} // namespace

namespace {

class Direct3DBatchTest : public Direct3DRenderTest {
protected:
    void SetUp() override {
        Direct3DRenderTest::SetUp();
        ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
        material = std::make_unique<LMaterial>(world.get(), "m", nullptr, 0x00FF8040u, 0, nullptr);
        material->mode = LMaterial::kSolid;
        batch = std::make_unique<LCacheMaterial>(material.get());
        object = std::make_unique<L3DObject>("o", world.get(), nullptr);
        const uint32_t colours[4] = {0xFF300000u, 0xFF003000u, 0xFF000030u, 0xFF808080u};
        for (uint32_t colour : colours) {
            RenderVertex v;
            v.diffuse = colour;
            batch->records.push_back(v);
        }
        batch->indices = {0, 1, 2, 1, 2, 3};
        batch->indexCount = 6;
        if (renderer->d3dDevice != nullptr) renderer->d3dDevice->BeginScene();
    }
    void TearDown() override {
        if (renderer->d3dDevice != nullptr) renderer->d3dDevice->EndScene();
        batch->indices.clear();
        batch.reset();
        object.reset();
        material.reset();
        Direct3DRenderTest::TearDown();
    }

    std::unique_ptr<LMaterial> material;
    std::unique_ptr<LCacheMaterial> batch;
    std::unique_ptr<L3DObject> object;
};

// Flat-lit triangles that share vertices are drawn with corners of their own, each
// triangle in its own mean: the shared records keep their lit colours for the next frame.
TEST_F(Direct3DBatchTest, LambertTrianglesGetCornersOfTheirOwnAndLeaveTheRecordsLit) {
    object->objectFlags |= L3DObject::kLambert;
    renderer->SetStateBits(0x08);
    const uint32_t before = camera->polygonsDrawn;
    Log().clear();
    renderer->DrawPolygonBatch(batch.get(), camera, object.get());
    EXPECT_NE(Find("Draw 4 vertices 6 indices 0 flags 14"), -1);
    EXPECT_EQ(Find("Draw 4 vertices 4 indices 6 flags 14"), -1);
    EXPECT_EQ(camera->polygonsDrawn - before, 2u);
    EXPECT_EQ(batch->records[0].diffuse, 0xFF300000u);
    EXPECT_EQ(batch->records[1].diffuse, 0xFF003000u);
    EXPECT_EQ(batch->records[3].diffuse, 0xFF808080u);

    // Untextured without lighting: the material's colour everywhere.
    object->objectFlags &= ~L3DObject::kLambert;
    renderer->DrawPolygonBatch(batch.get(), camera, object.get());
    EXPECT_EQ(batch->records[3].diffuse, 0xFF4080FFu);

    // An index past the records: nothing drawn.
    batch->indices[5] = 9;
    Log().clear();
    renderer->DrawPolygonBatch(batch.get(), camera, object.get());
    EXPECT_EQ(Find("Draw 4 vertices 4 indices 6 flags 14"), -1);
}

} // namespace
