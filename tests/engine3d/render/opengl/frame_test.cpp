#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "engine3d/render/opengl/opengl_fixture.h"
#include "engine3d/render/opengl/opengl_polygon.h"
#include "engine3d/render/opengl/opengl_texture.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/sprites/sprite.h"

namespace {

using R = LRenderAPI_OpenGL;

class OpenGLFrameTest : public OpenGLRenderTest {
protected:
    void SetUp() override {
        OpenGLRenderTest::SetUp();
        ASSERT_EQ(SetUpRenderer(renderer), 0);
        renderer->AttachView(camera);
        rec->calls.clear();
    }

    // Whether the calls hold `expected` in this order (others may come between).
    ::testing::AssertionResult InOrder(std::initializer_list<std::string> expected) const {
        int at = 0;
        for (const std::string& call : expected) {
            const int found = rec->Find(call, at);
            if (found < 0)
                return ::testing::AssertionFailure()
                       << call << " missing after call " << at << " in " << rec->From(0);
            at = found + 1;
        }
        return ::testing::AssertionSuccess();
    }
};

TEST_F(OpenGLFrameTest, FrameSetsThePipelineClearsDrawsAndSwaps) {
    renderer->RenderFrame();
    EXPECT_TRUE(InOrder({"wglMakeCurrent(81)", "glHint(3152,4354)", "glViewport(0,0,64,48)",
                         "glMatrixMode(5889)", "glOrtho(0,64,48,0,1,-1)", "glMatrixMode(5888)",
                         "glDepthRange(0.01,1)", "glEnable(2929)", "glDepthFunc(513)",
                         "glClearColor(0,0,0,1)", "glClear(16640)", "glBegin(4)", "glEnd()",
                         "glFinish()", "SwapBuffers()"}));
    // Without flag 0x08 nothing is written over the frame.
    EXPECT_EQ(rec->Find("glCallLists"), -1);
}

TEST_F(OpenGLFrameTest, StatisticsAreDrawnAtOneElevenOverEverything) {
    renderer->flags |= LRenderAPICLBK::kStatistics;
    renderer->Present(0);
    EXPECT_TRUE(InOrder({"glFinish()", "glDepthFunc(519)", "glColor4ub(255,255,255,255)",
                         "glRasterPos2f(1,11)", "glCallLists(", "glFlush()", "glDepthFunc(513)",
                         "SwapBuffers()"}));
}

TEST_F(OpenGLFrameTest, FogByteTwoTurnsLinearFogOnAndClearsToTheFogColour) {
    camera->SetFog(1, 0x0000FF, 0.25f, 0.75f, 1.0f);
    ASSERT_EQ(camera->fogMode, L3DCamera::kFogLinear);
    renderer->BeginFrame();
    EXPECT_TRUE(InOrder({"glFogi(2917,9729)", "glFogf(2915,0.25)", "glFogf(2916,0.75)",
                         "glFogfv(2918,1,0,0,1)", "glEnable(2912)", "glClearColor(1,0,0,1)",
                         "glClear(16640)"}));
    rec->calls.clear();
    camera->EnableFog(0);
    renderer->BeginFrame();
    EXPECT_NE(rec->Find("glDisable(2912)"), -1);
}

TEST_F(OpenGLFrameTest, TrianglesContinueOnePrimitiveAndAQuadOpensItsOwnFan) {
    renderer->currentPrimitiveSize = 3;
    renderer->SelectSolidState(3, 0x102030, R::kShadeFlat, 0, 0);
    const int first = int(rec->calls.size());
    renderer->SelectSolidState(3, 0x102030, R::kShadeFlat, 0, 0);
    EXPECT_EQ(int(rec->calls.size()), first) << rec->From(first);
    renderer->SelectSolidState(4, 0x102030, R::kShadeFlat, 0, 0);
    EXPECT_EQ(rec->From(first), "glEnd() glBegin(6)");
    const int quad = int(rec->calls.size());
    renderer->SelectSolidState(3, 0x102030, R::kShadeFlat, 0, 0);
    EXPECT_EQ(rec->From(quad), "glEnd() glBegin(4)");
    // Another colour sets the state again.
    const int other = int(rec->calls.size());
    renderer->SelectSolidState(3, 0x405060, R::kShadeFlat, 0, 0);
    EXPECT_NE(rec->Find("glColor4ub(96,80,64,255)", other), -1);
    EXPECT_NE(rec->Find("glBegin(4)", other), -1);
}

TEST_F(OpenGLFrameTest, DepthOverwriteSlotsClearAndRestoreTheDepthTest) {
    renderer->BeginDepthOverwrite();
    EXPECT_EQ(rec->From(0),
              "glEnd() glClearDepth(0) glEnable(2884) glClear(256) glDepthFunc(519) glBegin(4)");
    EXPECT_EQ(renderer->depthOverwrite, 1u);
    rec->calls.clear();
    renderer->EndDepthOverwrite();
    EXPECT_EQ(rec->From(0), "glEnd() glDepthFunc(513) glEnable(2884) glBegin(4)");
    rec->calls.clear();
    renderer->ResetDepthBuffer();
    EXPECT_EQ(rec->From(0), "glEnd() glDepthFunc(513) glEnable(2884) glClearDepth(1) glClear(256) "
                            "glBegin(4)");
    EXPECT_EQ(renderer->depthOverwrite, 0u);
}

TEST_F(OpenGLFrameTest, SpriteCornersCoverTheirLastColumnAndRow) {
    LSprite* sprite = device->CreateSprite(world.get(), nullptr);
    sprite->drawMode = LSprite::kSolid;
    sprite->color = 0x0000FF;
    sprite->alpha = 128;
    const float xs[4] = {10, 50, 50, 10}, ys[4] = {20, 20, 60, 60};
    for (int i = 0; i < 4; ++i)
        sprite->corners[i] = {xs[i], ys[i], 0, 0};
    renderer->DrawElement2D(camera, sprite);
    EXPECT_TRUE(InOrder({"glColor4ub(255,0,0,128)", "glEnable(3042)", "glBlendFunc(770,771)",
                         "glVertex4f(10,20,0,1)", "glVertex4f(51,20,0,1)", "glVertex4f(51,61,0,1)",
                         "glVertex4f(10,61,0,1)", "glEnd()", "glEnable(2929)"}));
    // The fan left open is not continued by the next triangle.
    const int after = int(rec->calls.size());
    renderer->SelectSolidState(3, 0, R::kShadeFlat, 0, 0);
    EXPECT_NE(rec->Find("glBegin(4)", after), -1);
    device->DeleteSprite(sprite);
}

TEST_F(OpenGLFrameTest, ANearestSampledSpriteGivesItsTextureItsFiltersBack) {
    auto* texture = static_cast<LTexture_OpenGL*>(device->CreateTexture(world.get(), "t", nullptr));
    texture->SetImage(static_cast<uint8_t*>(std::calloc(16, 1)), 8, nullptr, 0, 2, 2, 1, 32,
                      nullptr);
    LSprite* sprite = device->CreateSprite(world.get(), nullptr);
    sprite->drawMode = LSprite::kTextured | 2;
    sprite->texture = texture;
    sprite->color = 0x00FF00;
    sprite->filtering = 0;
    for (int i = 0; i < 4; ++i)
        sprite->corners[i] = {float(i % 2) * 2, float(i / 2) * 2, float(i % 2) * 2,
                              float(i / 2) * 2};
    rec->calls.clear();
    renderer->DrawElement2D(camera, sprite);
    // Texels in texture units; the outline over it in the sprite's colour; then filtered
    // again: the next frames draw the texture for polygons too.
    EXPECT_TRUE(InOrder({"glBindTexture(3553," + std::to_string(texture->textureName) + ")",
                         "glTexParameteri(3553,10241,9728)", "glTexParameteri(3553,10240,9728)",
                         "glTexCoord4f(1,0,0,1)", "glPolygonMode(1032,6913)",
                         "glColor4ub(0,255,0,255)", "glEnd()", "glTexParameteri(3553,10241,9986)",
                         "glTexParameteri(3553,10240,9729)", "glEnable(2929)"}));

    // The backdrop is drawn only textured, without the key test.
    rec->calls.clear();
    sprite->filtering = 1;
    renderer->ResetStateCache();
    renderer->DrawQuad(camera, sprite);
    EXPECT_EQ(rec->Find("glEnable(3008)"), -1);
    EXPECT_EQ(rec->Find("glPolygonMode(1032,6913)"), -1);
    EXPECT_NE(rec->Find("glTexCoord4f(1,1,0,1)"), -1);
    device->DeleteSprite(sprite);
    delete texture;
}

TEST_F(OpenGLFrameTest, StateBit0x400StaysClearAndSetsTheMipmappedFilters) {
    renderer->stateBits = 0x2000;
    renderer->SetStateBits(0x400);
    EXPECT_EQ(renderer->stateBits & 0x2400, 0);
    ASSERT_GE(rec->calls.size(), 2u);
    EXPECT_EQ(rec->calls[rec->calls.size() - 2], "glTexParameteri(3553,10241,9987)");
    EXPECT_EQ(rec->calls.back(), "glTexParameteri(3553,10240,9729)");
    EXPECT_EQ(renderer->IsCapable(0x400), 0);
    EXPECT_EQ(renderer->IsCapable(0x4000), 1);
}

class OpenGLBatchTest : public OpenGLFrameTest {
protected:
    void SetUp() override {
        OpenGLFrameTest::SetUp();
        material = std::make_unique<LMaterial>(world.get(), "m", nullptr, 0x00FF8040u, 0, nullptr);
        material->mode = LMaterial::kSolid;
        batch = std::make_unique<LCacheMaterial>(material.get());
        object = std::make_unique<L3DObject>("o", world.get(), nullptr);
        // Two triangles and a stray index the groups must not read past.
        const uint32_t colours[4] = {0xFF000000u | 0x300000u, 0xFF000000u | 0x003000u,
                                     0xFF000000u | 0x000030u, 0xFF808080u};
        for (int i = 0; i < 4; ++i) {
            RenderVertex v;
            v.x = float(10 * i);
            v.y = 5;
            v.z = 0.5f;
            v.rhw = 0.25f;
            v.diffuse = colours[i];
            batch->records.push_back(v);
        }
        batch->indices = {0, 1, 2, 1, 2, 3, 0};
        batch->indexCount = 7;
    }
    void TearDown() override {
        batch->indices.clear();
        batch.reset();
        object.reset();
        material.reset();
        OpenGLFrameTest::TearDown();
    }

    std::unique_ptr<LMaterial> material;
    std::unique_ptr<LCacheMaterial> batch;
    std::unique_ptr<L3DObject> object;
};

TEST_F(OpenGLBatchTest, LambertUsesTheMeansOfEachTriangleAndGouraudEachVertex) {
    object->objectFlags |= L3DObject::kLambert;
    const uint32_t drawnBefore = camera->polygonsDrawn;
    renderer->DrawPolygonBatch(batch.get(), camera, object.get());
    // Means (16,16,16) of the first triangle times the material's (0x40,0x80,0xFF) >> 8.
    EXPECT_TRUE(InOrder({"glShadeModel(7424)", "glDrawArrays(4,0,6)", "glColor4ub(4,8,15,255)",
                         "glVertex4f(0,5,0.5,1)"}));
    EXPECT_EQ(rec->Count("glVertex4f"), 6);
    EXPECT_EQ(camera->polygonsDrawn - drawnBefore, 2u);
    // One array draw, no primitive left open, and the arrays off again.
    EXPECT_EQ(rec->Find("glBegin"), -1);
    EXPECT_EQ(rec->Count("glEnableClientState"), rec->Count("glDisableClientState"));

    rec->calls.clear();
    object->objectFlags = (object->objectFlags & ~L3DObject::kLambert) | L3DObject::kGouraud;
    renderer->DrawPolygonBatch(batch.get(), camera, object.get());
    EXPECT_TRUE(InOrder({"glShadeModel(7425)", "glDrawElements(4,6,5123)", "glColor4ub(12,0,0,255)",
                         "glVertex4f(0,5,0.5,1)", "glColor4ub(0,24,0,255)",
                         "glVertex4f(10,5,0.5,1)"}));
    // What follows finds the colour of the last vertex drawn current.
    EXPECT_EQ(rec->calls.back(), "glColor4ub(32,64,127,255)");
}

TEST_F(OpenGLBatchTest, BatchWithAnIndexPastItsRecordsIsNotDrawn) {
    batch->indices[6] = 9;
    renderer->DrawPolygonBatch(batch.get(), camera, object.get());
    EXPECT_EQ(rec->Count("glVertex4f"), 0);
}

class OpenGLPolygonTest : public OpenGLBatchTest {
protected:
    void SetUp() override {
        OpenGLBatchTest::SetUp();
        first = NewTexture("first");
        second = NewTexture("second");
        polygon = device->CreatePolygon(object.get(), 2, 0);
        for (int i = 0; i < 3; ++i) {
            points[i] = device->CreatePoint(float(i), 0, 0, 0.5f, 0.5f, 0.25f, -0.25f);
            polygon->AddVertex(points[i]);
        }
        polygon->SetMaterialWithPoints(material.get(), device.get());
        for (int i = 0; i < 3; ++i) {
            L3DPoint* p = polygon->GetVertex(i);
            p->screenX = 10.0f + float(i);
            p->screenY = 20;
            p->bufferDepth = 0.5f;
            p->reciprocalDepth = 0.5f;
        }
    }
    void TearDown() override {
        material->SetTexture(0, nullptr);
        material->SetTexture(1, nullptr);
        // A polygon with an owner lets its points go itself.
        device->DeletePolygon(polygon);
        delete first;
        delete second;
        OpenGLBatchTest::TearDown();
    }
    LTexture_OpenGL* NewTexture(const char* name) {
        auto* t = static_cast<LTexture_OpenGL*>(device->CreateTexture(world.get(), name, nullptr));
        t->SetImage(static_cast<uint8_t*>(std::calloc(16, 1)), 8, nullptr, 0, 2, 2, 1, 32, nullptr);
        return t;
    }
    // Prepares the polygon for the material as it is now and draws it as the scene would.
    void DrawPrepared() {
        polygon->Prepare();
        rec->calls.clear();
        material->drawRoutine(*polygon, *camera);
    }

    LTexture_OpenGL* first = nullptr;
    LTexture_OpenGL* second = nullptr;
    LPolygon* polygon = nullptr;
    L3DPoint* points[3] = {};
};

TEST_F(OpenGLPolygonTest, TexturedPolygonSendsScreenVerticesWithPerspectiveCoordinates) {
    material->SetTexture(0, first);
    material->mode = LMaterial::kTextured;
    DrawPrepared();
    EXPECT_EQ(material->drawRoutine, &LPolygon_OpenGL::DrawTextured);
    EXPECT_EQ(material->drawThunk, &LPolygon_OpenGL::ClipAndDraw);
    // u = s - 1 and v = 1 - t at tiling 1, times rhw; w stays 1.
    EXPECT_TRUE(InOrder({"glBindTexture(3553,", "glTexCoord4f(-0.25,0.25,0,0.5)",
                         "glVertex4f(10,20,0.5,1)", "glVertex4f(11,20,0.5,1)"}));

    // A tiling of 2 maps s = 0.5 to u = -0.5; an empty second slot gives -s and -|t|.
    first->SetTiling(2, 1);
    polygon->Prepare();
    EXPECT_FLOAT_EQ(polygon->GetUVs(0)[0], -0.5f);
    EXPECT_FLOAT_EQ(polygon->GetUVs(0)[2], -0.25f);
    EXPECT_FLOAT_EQ(polygon->GetUVs(0)[3], -0.25f);
}

TEST_F(OpenGLPolygonTest, TwoTexturesDrawTheSecondNearerWithTheOtherWeight) {
    material->SetTexture(0, first);
    material->SetTexture(1, second);
    material->mode = LMaterial::kTextured;
    material->SetTextureIntensity(0, 0.25f);
    object->cloneCount = 1;
    material->SetAlphaValue(100);
    DrawPrepared();
    EXPECT_EQ(material->drawRoutine, &LPolygon_OpenGL::DrawDualTextured);
    // An object with clones draws opaque: 255 times each texture's weight.
    EXPECT_TRUE(InOrder({"glBindTexture(3553," + std::to_string(first->textureName) + ")",
                         "glColor4ub(255,255,255,63)", "glVertex4f(10,20,0.5,1)",
                         "glBindTexture(3553," + std::to_string(second->textureName) + ")",
                         "glColor4ub(255,255,255,191)", "glBegin(4)", "glTexCoord4f(",
                         "glVertex4f(10,20,0.49996,1)"}));
    object->cloneCount = 0;
}

TEST_F(OpenGLPolygonTest, HiddenMaterialsDrawAndClipNothingAndGouraudClipsWithColours) {
    material->mode = LMaterial::kSolid | LMaterial::kHidden;
    DrawPrepared();
    EXPECT_EQ(material->drawRoutine, &LPolygon_OpenGL::DrawNothing);
    EXPECT_EQ(material->drawThunk, &LPolygon_OpenGL::DrawNothing);
    EXPECT_TRUE(rec->calls.empty());

    material->mode = LMaterial::kSolid;
    object->objectFlags |= L3DObject::kGouraud;
    DrawPrepared();
    EXPECT_EQ(material->drawRoutine, &LPolygon_OpenGL::DrawGouraud);
    EXPECT_EQ(material->drawThunk, &LPolygon_OpenGL::ClipAndDrawGouraud);
    EXPECT_TRUE(
        InOrder({"glShadeModel(7425)", "glBegin(4)", "glColor4ub(", "glVertex4f(10,20,0.5,1)"}));

    // Neither solid nor textured nor outlined: nothing, whatever routine came before.
    material->mode = 0;
    DrawPrepared();
    EXPECT_EQ(material->drawRoutine, &LPolygon_OpenGL::DrawNothing);
}

} // namespace
