// The Direct3D polygon's routines: their choice, the pair switch, outlines over fills and
// two-texture materials, through the recorder.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine3d/render/direct3d/direct3d_fixture.h"
#include "engine3d/render/direct3d/direct3d_polygon.h"
#include "engine3d/render/direct3d/direct3d_texture.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/objects/object.h"

namespace {

using P = LPolygon_Direct3D;
using F = P::Family;
using Rule = P::Rule;

class Direct3DPolygonTest : public Direct3DRenderTest {
protected:
    void SetUp() override {
        Direct3DRenderTest::SetUp();
        ASSERT_EQ(renderer->SetDisplayMode(kFlags, 64, 48, 32), 0);
        material = std::make_unique<LMaterial>(world.get(), "m", nullptr, 0x00FF8040u, 0, nullptr);
        material->mode = LMaterial::kSolid;
        object = std::make_unique<L3DObject>("o", world.get(), nullptr);
        first = NewTexture("first");
        second = NewTexture("second");
        polygon = device->CreatePolygon(object.get(), 2, 0);
        for (int i = 0; i < 3; ++i)
            polygon->AddVertex(device->CreatePoint(float(i), 0, 0, 0.5f, 0.5f, 0.25f, -0.25f));
        polygon->SetMaterialWithPoints(material.get(), device.get());
        for (int i = 0; i < 3; ++i) {
            L3DPoint* p = polygon->GetVertex(i);
            p->screenX = 10.0f + float(i);
            p->screenY = 20;
            p->bufferDepth = 0.5f;
            p->reciprocalDepth = 0.5f;
            p->frameColor[0] = 200;
            p->frameColor[3] = 128;
        }
        if (renderer->d3dDevice != nullptr) renderer->d3dDevice->BeginScene();
    }
    void TearDown() override {
        if (renderer->d3dDevice != nullptr) renderer->d3dDevice->EndScene();
        material->SetTexture(0, nullptr);
        material->SetTexture(1, nullptr);
        device->DeletePolygon(polygon);
        delete first;
        delete second;
        object.reset();
        material.reset();
        Direct3DRenderTest::TearDown();
    }
    LTexture_Direct3D* NewTexture(const char* name) {
        auto* t =
            static_cast<LTexture_Direct3D*>(device->CreateTexture(world.get(), name, nullptr));
        t->SetImage(static_cast<uint8_t*>(std::calloc(16, 1)), 8, nullptr, 0, 2, 2, 1, 32, nullptr);
        return t;
    }
    void DrawPrepared() {
        polygon->Prepare();
        Log().clear();
        material->drawRoutine(*polygon, *camera);
    }
    static uint32_t Diffuse(int i) { return P::SharedVertices()[i].diffuse; }

    std::unique_ptr<LMaterial> material;
    std::unique_ptr<L3DObject> object;
    LTexture_Direct3D* first = nullptr;
    LTexture_Direct3D* second = nullptr;
    LPolygon* polygon = nullptr;
};

TEST_F(Direct3DPolygonTest, RoutinesFollowTheFamilyModeAndBlendAndSwitchInPairs) {
    DrawPrepared();
    EXPECT_EQ(material->drawRoutine, (&P::DrawSolid<F::kUnlit, Rule::kModulated, false>));
    EXPECT_NE(Find("Draw 6 vertices 3 indices 0 flags 1C"), -1);
    EXPECT_EQ(Diffuse(0), 0xFF4080FFu);

    // Gouraud: the modulated rule as prepared; bit 16 turns it mixed until bit 8.
    object->objectFlags |= L3DObject::kGouraud;
    DrawPrepared();
    EXPECT_EQ(material->drawRoutine, (&P::DrawSolid<F::kGouraud, Rule::kModulated, false>));
    EXPECT_EQ(Diffuse(0) >> 16 & 0xFF, (200u * 0x40u) >> 8);
    renderer->SetStateBits(0x10);
    Log().clear();
    material->drawRoutine(*polygon, *camera);
    EXPECT_EQ(material->drawRoutine, (&P::DrawSolid<F::kGouraud, Rule::kMixed, false>));
    // Mixed: W 128 gives the weight 128 to the material.
    EXPECT_EQ(Diffuse(0) >> 16 & 0xFF, 0x40u);
    renderer->SetStateBits(0x08);
    material->drawRoutine(*polygon, *camera);
    EXPECT_EQ(material->drawRoutine, (&P::DrawSolid<F::kGouraud, Rule::kModulated, false>));
    object->objectFlags &= ~L3DObject::kGouraud;

    // Translucent, but an object with clones draws opaque.
    material->alpha = 128;
    DrawPrepared();
    EXPECT_EQ(material->drawRoutine, (&P::DrawSolid<F::kUnlit, Rule::kModulated, true>));
    EXPECT_EQ(Diffuse(0) >> 24, 128u);
    // A textured material is translucent by its texture.
    material->mode = LMaterial::kTextured;
    material->SetTexture(0, first);
    first->SetAlpha(128);
    object->cloneCount = 1;
    DrawPrepared();
    EXPECT_EQ(material->drawRoutine, (&P::DrawTextured<F::kUnlit, false, false>));
    object->cloneCount = 0;
    DrawPrepared();
    EXPECT_EQ(material->drawRoutine, (&P::DrawTextured<F::kUnlit, true, false>));
    EXPECT_NE(first->d3dTexture, nullptr); // made on first use
    // An opaque texture under a translucent material blends by the material's alpha.
    first->SetAlpha(255);
    DrawPrepared();
    EXPECT_EQ(material->drawRoutine, (&P::DrawTextured<F::kUnlit, true, false>));
    EXPECT_EQ(Diffuse(0) >> 24, 128u);

    // Hidden: nothing drawn, but a crossing polygon is still clipped and counted.
    material->mode |= LMaterial::kHidden;
    DrawPrepared();
    EXPECT_EQ(material->drawRoutine, &P::DrawNothing);
    EXPECT_EQ(material->drawThunk, &P::ClipVertexColours);
    EXPECT_TRUE(Log().empty());
    for (int i = 0; i < 3; ++i) {
        L3DPoint* p = polygon->GetVertex(i);
        p->camera[0] = float(10 * i);
        p->camera[1] = float(5 * (i % 2));
        p->camera[2] = 200;
    }
    const uint32_t drawn = camera->polygonsDrawn;
    material->drawThunk(*polygon, *camera);
    EXPECT_EQ(camera->polygonsDrawn, drawn + 1);
    EXPECT_EQ(renderer->ClippedDraw, 0);
    EXPECT_EQ(Find("SetRenderState 22 1"), 0); // culling off for the clipped list
}

TEST_F(Direct3DPolygonTest, OutlinesGoOverFillsInWhiteAndAloneInTheMaterialsColour) {
    material->mode = LMaterial::kSolid | LMaterial::kWireframe;
    DrawPrepared();
    const int fill = Find("Draw 6 vertices 3 indices 0 flags 1C");
    const int lines = Find("Draw 2 vertices 6 indices 0 flags 8");
    ASSERT_NE(fill, -1);
    ASSERT_NE(lines, -1);
    EXPECT_LT(fill, lines);
    EXPECT_EQ(Diffuse(2), 0xFFFFFFFFu);

    material->mode = LMaterial::kWireframe;
    DrawPrepared();
    EXPECT_EQ(Find("Draw 6 vertices 3 indices 0 flags 1C"), -1);
    EXPECT_NE(Find("SetRenderState 8 2"), -1);
    EXPECT_EQ(Diffuse(0), 0xFF4080FFu);
}

TEST_F(Direct3DPolygonTest, TwoTexturesNeedTheCapabilityAndBlendByTheFactor) {
    material->mode = LMaterial::kTextured;
    material->SetTexture(0, first);
    material->SetTexture(1, second);
    renderer->multitextureCapable = 0;
    DrawPrepared();
    EXPECT_EQ(material->drawRoutine, &P::DrawTwoTextures<F::kUnlit>);
    EXPECT_TRUE(Log().empty());

    renderer->multitextureCapable = 1;
    Log().clear();
    material->drawRoutine(*polygon, *camera);
    EXPECT_NE(Find("SetTextureStageState 1 1 14"), -1); // BLENDFACTORALPHA
    EXPECT_NE(Find("Draw 6 vertices 3 indices 0 flags 1C"), -1);
    EXPECT_EQ(Log().back(), "SetTexture 1 0");

    renderer->blendFactorCapable = 0;
    Log().clear();
    material->drawRoutine(*polygon, *camera);
    EXPECT_NE(Find("SetTextureStageState 1 1 7"), -1); // ADD
}

} // namespace
