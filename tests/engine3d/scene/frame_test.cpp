#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/lights/light.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/world_light.h"
#include "engine3d/scene/plane.h"
#include "engine3d/scene/render/frame_state.h"
#include "engine3d/scene/sprites/sprite.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

class FrameTest : public SceneTest {
protected:
    FrameTest() : camera(*world.CreateCamera(0)) {
        camera.SetViewSize(640, 480);
        screen = static_cast<RecordingRenderer*>(device.CreateRenderer(&world));
        screen->AttachView(&camera);
        device.calls.clear();
    }

    // A triangle facing the camera at depth z.
    LPolygon* Facing(L3DObject& object, float z) {
        return AddFace(object, {{0, 0, z}, {10, 0, z}, {0, 10, z}});
    }

    std::vector<std::string> Slots() const {
        std::vector<std::string> slots;
        for (const RecordedCall& call : device.calls)
            slots.push_back(call.slot);
        return slots;
    }

    std::vector<LPolygon*> Drawn() const {
        std::vector<LPolygon*> drawn;
        for (const RecordedDraw& draw : device.draws)
            drawn.push_back(draw.polygon);
        return drawn;
    }

    L3DCamera& camera;
    RecordingRenderer* screen;
};

TEST_F(FrameTest, OpaquePolygonsFirstThenBlendedOnesFarToNearThenTheGrid) {
    auto* wall = new L3DObject("Wall", &world, nullptr);
    LPolygon* opaque = Facing(*wall, 400);
    world.AddObject(wall, 1);
    auto* glass = new L3DObject("Glass", &world, nullptr);
    LMaterial* tint = world.materials.CreateMaterial("Tint", nullptr, 0x00FF00, 0, nullptr);
    tint->SetAlphaValue(128);
    // 301 and 300 share a 4-unit bucket: they keep their queueing order.
    LPolygon* near = Facing(*glass, 150);
    LPolygon* far = Facing(*glass, 301);
    LPolygon* farToo = Facing(*glass, 300);
    for (LPolygon* p : {near, far, farToo})
        p->SetMaterial(tint);
    world.AddObject(glass, 1);

    screen->RenderFrame();
    EXPECT_EQ(Drawn(), (std::vector<LPolygon*>{opaque, far, farToo, near}));
    EXPECT_EQ(camera.QueuedCount(), 0);
    EXPECT_EQ(camera.frameCounter, 1u);
    EXPECT_EQ(world.backFaceCulling, 1u);
    EXPECT_EQ(world.currentCamera, &camera);
    EXPECT_EQ(Slots(),
              (std::vector<std::string>{"RenderFrame", "BeginFrame", "DrawGrid", "EndFrame"}));
    EXPECT_EQ(GetCurrentRenderer(), nullptr);
    EXPECT_EQ(camera.renderer, nullptr);
}

TEST_F(FrameTest, ADrawModeOtherThanFourSkipsTheScene) {
    auto* wall = new L3DObject("Wall", &world, nullptr);
    Facing(*wall, 400);
    world.AddObject(wall, 1);
    camera.drawMode = 2;
    camera.polygonsDrawn = 9;
    screen->RenderFrame();
    EXPECT_TRUE(device.draws.empty());
    EXPECT_EQ(camera.polygonsDrawn, 0u);
    EXPECT_EQ(Slots(),
              (std::vector<std::string>{"RenderFrame", "BeginFrame", "DrawGrid", "EndFrame"}));
    // Without a renderer nothing is drawn at all.
    camera.drawMode = 4;
    camera.DrawWorld(nullptr);
    EXPECT_EQ(camera.frameCounter, 1u);
    EXPECT_TRUE(device.draws.empty());
}

TEST_F(FrameTest, ACameraTextureAddsOneNestedFrame) {
    L3DCamera* mirror = world.CreateCamera(0);
    ASSERT_TRUE(AddMirror(mirror));
    device.calls.clear();

    screen->RenderFrame();
    const std::vector<std::string> slots = Slots();
    EXPECT_EQ(std::count(slots.begin(), slots.end(), "RenderFrame"), 2);
    EXPECT_EQ(std::count(slots.begin(), slots.end(), "EndFrame"), 2);
    // The outer frame begins again after the nested one.
    EXPECT_EQ(std::count(slots.begin(), slots.end(), "BeginFrame"), 3);
    EXPECT_EQ(slots.front(), "RenderFrame");
    EXPECT_EQ(slots.back(), "EndFrame");
    EXPECT_EQ(mirror->frameCounter, 1u);
    EXPECT_EQ(GetCurrentRenderer(), nullptr);
}

// Camera-space corners of the polygon's last draw.
std::vector<std::array<float, 3>> LastDrawOf(const RecordingDevice& device, const LPolygon* p) {
    for (auto it = device.draws.rbegin(); it != device.draws.rend(); ++it)
        if (it->polygon == p) return it->vertices;
    return {};
}

TEST_F(FrameTest, PointsAreProjectedAgainForEachFramesCamera) {
    EXPECT_EQ(camera.ProjectionPass(), 0u) << "no frame is drawn";
    // A nested frame through another camera projects the wall's points first; the outer
    // frame must not take that projection for its own.
    L3DCamera* mirror = world.CreateCamera(0);
    mirror->SetPosition(50, 0, 0);
    ASSERT_TRUE(AddMirror(mirror));
    auto* wall = new L3DObject("Wall", &world, nullptr);
    LPolygon* face = Facing(*wall, 400);
    world.AddObject(wall, 1);

    screen->RenderFrame();
    using Corners = std::vector<std::array<float, 3>>;
    EXPECT_EQ(LastDrawOf(device, face), (Corners{{0, 0, 400}, {10, 0, 400}, {0, 10, 400}}));
    EXPECT_EQ(camera.ProjectionPass(), 0u);
    // The next frame projects again though nothing moved: the camera sees the wall moved
    // by the frame before's own.
    camera.SetPosition(0, 5, 0);
    device.draws.clear();
    screen->RenderFrame();
    EXPECT_EQ(LastDrawOf(device, face), (Corners{{0, -5, 400}, {10, -5, 400}, {0, 5, 400}}));
}

TEST_F(FrameTest, AChildIsDrawnWhereItsMovedParentTookIt) {
    auto* parent = new L3DObject("Parent", &world, nullptr);
    world.AddObject(parent, 1);
    auto* child = new L3DObject("Child", &world, nullptr);
    LPolygon* face = Facing(*child, 0);
    world.AddObject(child, 1);
    child->SetPosition(0, 0, 400);
    ASSERT_EQ(child->SetParent(parent, 1), 0);
    screen->RenderFrame();
    using Corners = std::vector<std::array<float, 3>>;
    ASSERT_EQ(LastDrawOf(device, face), (Corners{{0, 0, 400}, {10, 0, 400}, {0, 10, 400}}));

    // The child's points are projected before the parent's move reaches them, then moved:
    // the frame draws them projected again.
    parent->SetPosition(20, 0, 0);
    device.draws.clear();
    screen->RenderFrame();
    EXPECT_EQ(LastDrawOf(device, face), (Corners{{20, 0, 400}, {30, 0, 400}, {20, 10, 400}}));
}

TEST_F(FrameTest, AFrameLightsTheVisibleObjects) {
    auto* wall = new L3DObject("Wall", &world, nullptr);
    Facing(*wall, 400);
    world.AddObject(wall, 1);
    // The light finds the wall once its points stand in the world.
    screen->RenderFrame();
    const float at[3] = {0, 0, 400};
    L3DLight* light = world.lights->CreateLight(LBaseLight::kDynamicKind, at, 50, 255, 0xFF, 0);
    ASSERT_EQ(light->litObjects, std::vector<L3DObject*>{wall});
    screen->RenderFrame();
    const L3DPoint* corner = wall->GetCurrentPointList()->GetPoint(0);
    EXPECT_GT(corner->frameColor[0], corner->staticColor[0]);
    EXPECT_LT(corner->frameColor[1], corner->staticColor[1]);
    EXPECT_EQ(wall->L3DLocation::flags &
                  (L3DLocation::kLightsToRecompute | L3DLocation::kLightingChanged),
              0u);
}

TEST_F(FrameTest, ObjectsCastTheirShadowsOnTheStaticSceneAlongTheWorldLight) {
    // A floor and a ceiling facing it, so that the static scene has height.
    auto* floor = new L3DObject("Floor", &world, nullptr);
    AddFace(*floor, {{-100, 0, 0}, {100, 0, 0}, {-100, 0, 200}});
    AddFace(*floor, {{-100, 1000, 0}, {-100, 1000, 200}, {100, 1000, 0}});
    world.AddObject(floor, 1);
    floor->MakeStatic(0);
    world.Optimize();
    auto* caster = new L3DObject("Caster", &world, nullptr);
    LPolygon* face = AddFace(*caster, {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}});
    world.AddObject(caster, 1);
    caster->SetPosition(0, 5, 50);
    const auto extraPasses = [this] {
        std::vector<std::vector<uint32_t>> passes;
        for (const RecordedCall& call : device.calls)
            if (call.slot == "BeginExtraPass") passes.push_back(call.values);
        return passes;
    };

    screen->RenderFrame();
    EXPECT_TRUE(extraPasses().empty()) << "only shadow receivers cast";

    caster->SetShadowReceiver(1);
    device.calls.clear();
    device.draws.clear();
    screen->RenderFrame();
    // Clearance 5 under a caster 10 wide: strength 128 x (250 - 5) / 250.
    EXPECT_EQ(extraPasses(), (std::vector<std::vector<uint32_t>>{{125}}));
    const std::vector<std::string> slots = Slots();
    const auto begin = std::find(slots.begin(), slots.end(), "BeginExtraPass");
    ASSERT_NE(begin, slots.end());
    EXPECT_EQ(*(begin + 1), "EndExtraPass");
    // The world light (-1, -1, 1) carries each corner down onto the floor.
    const std::vector<std::array<float, 3>> expected = {{-5, 0, 55}, {5, 0, 55}, {-15, 0, 65}};
    int shadows = 0;
    for (const RecordedDraw& draw : device.draws) {
        if (draw.polygon != face || draw.vertices[0][1] > 1) continue;
        ++shadows;
        ASSERT_EQ(draw.vertices.size(), 3u);
        for (size_t i = 0; i < 3; ++i)
            for (size_t k = 0; k < 3; ++k)
                EXPECT_NEAR(draw.vertices[i][k], expected[i][k], 1e-3) << i << k;
    }
    EXPECT_EQ(shadows, 1);

    // Too high above the floor for its size: no shadow.
    caster->SetPosition(0, 400, 50);
    device.calls.clear();
    screen->RenderFrame();
    EXPECT_TRUE(extraPasses().empty());

    caster->SetPosition(0, 5, 50);
    screen->RenderFrame();
    L3DPlane ground;
    ground.PlaneSet(0, 1, 0, 0);
    EXPECT_EQ(face->DrawShadow(camera, ground, 0), 1);
    face->Flip();
    EXPECT_EQ(face->DrawShadow(camera, ground, 0), 0) << "the face turns away from its shadow";
    face->Flip();
    world.ambientLight->SetVector(1, 0, 0);
    EXPECT_EQ(face->DrawShadow(camera, ground, 0), 0) << "a light along the ground";
}

TEST_F(FrameTest, TheAxisMarkerIsDrawnAfterTheSceneAtTheOriginOrAtAnObject) {
    const auto axisDraws = [this] {
        std::vector<const RecordedDraw*> draws;
        for (const RecordedDraw& draw : device.draws) {
            char name[32];
            draw.polygon->owner->GetName(name, sizeof name);
            if (std::string(name) == "Axis_Obj") draws.push_back(&draw);
        }
        return draws;
    };
    auto* wall = new L3DObject("Wall", &world, nullptr);
    LPolygon* opaque = Facing(*wall, 400);
    world.AddObject(wall, 1);
    camera.SetPosition(0, 0, -200);
    screen->RenderFrame();
    EXPECT_TRUE(axisDraws().empty());

    world.ShowAxis(1);
    device.draws.clear();
    screen->RenderFrame();
    std::vector<const RecordedDraw*> marker = axisDraws();
    ASSERT_FALSE(marker.empty());
    EXPECT_LE(marker.size(), 17u);
    EXPECT_EQ(device.draws.front().polygon, opaque) << "the scene first";
    for (const RecordedDraw* draw : marker)
        for (const auto& v : draw->vertices) {
            EXPECT_GE(v[2], 200 - 7.01f);
            EXPECT_LE(v[2], 200 + 70.01f);
        }

    // An object showing its axis carries the marker to its place.
    world.ShowAxis(0);
    wall->SetPosition(0, 0, 100);
    wall->ShowAxis(1);
    device.draws.clear();
    screen->RenderFrame();
    marker = axisDraws();
    ASSERT_FALSE(marker.empty());
    for (const RecordedDraw* draw : marker)
        for (const auto& v : draw->vertices)
            EXPECT_GE(v[2], 300 - 7.01f);
}

TEST_F(FrameTest, TheBackgroundComesFirstAndFollowsTheCamerasTurns) {
    LTexture* texture = device.CreateTexture(&world, "Sky", nullptr);
    world.textures.AddTexture(texture);
    texture->width = 64;
    texture->height = 32;
    LMaterial* sky = world.materials.CreateMaterial("Sky", texture, 0, 0, nullptr);
    EXPECT_EQ(world.SetBackgroundMaterial(sky), 0);
    EXPECT_EQ(world.SetBackgroundParams(-1, -1, -1, -1), 0);
    LSprite* background = world.backgroundSprite;
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->drawMode, LSprite::kTextured);
    EXPECT_EQ(background->corners[2].x, 640.0f);
    EXPECT_EQ(background->corners[2].y, 480.0f);
    struct Case {
        float pitch, yaw, roll;
        float u0, v0, u2, v2;
    };
    const float ou = 64 * 0.15915494f, ov = 32 * 0.15915494f;
    const Case cases[] = {
        {0, 0, 0, ou, ov, ou + 64, ov + 32},
        {0, 0.5f, 0, ou / 2, ov, ou / 2 + 64, ov + 32},
        {1, 0, 0, ou, 0, ou + 64, 32},
        // Half a turn of roll mirrors both coordinates about the texture's centre.
        {0, 0, 3.14159265f, 64 - ou, 32 - ov, -ou, -ov},
    };
    for (const Case& c : cases) {
        camera.angles[0] = c.pitch;
        camera.angles[1] = c.yaw;
        camera.angles[2] = c.roll;
        device.calls.clear();
        screen->RenderFrame();
        EXPECT_EQ(Slots(), (std::vector<std::string>{"RenderFrame", "BeginFrame", "DrawQuad",
                                                     "DrawGrid", "EndFrame"}));
        EXPECT_NEAR(background->corners[0].u, c.u0, 1e-3) << c.pitch << c.yaw << c.roll;
        EXPECT_NEAR(background->corners[0].v, c.v0, 1e-3) << c.pitch << c.yaw << c.roll;
        EXPECT_NEAR(background->corners[2].u, c.u2, 1e-3) << c.pitch << c.yaw << c.roll;
        EXPECT_NEAR(background->corners[2].v, c.v2, 1e-3) << c.pitch << c.yaw << c.roll;
    }
    // A tiling of 0 keeps the coordinates finite.
    world.SetBackgroundParams(1, 1, 0, 0);
    screen->RenderFrame();
    EXPECT_TRUE(std::isfinite(background->corners[2].u));
    EXPECT_EQ(world.SetBackgroundMaterial(nullptr), 2);
    EXPECT_EQ(world.backgroundSprite, nullptr);
    device.calls.clear();
    screen->RenderFrame();
    EXPECT_EQ(Slots(),
              (std::vector<std::string>{"RenderFrame", "BeginFrame", "DrawGrid", "EndFrame"}));
}

TEST_F(FrameTest, TheWorldChunkHoldsCullingAsHeldAndTheBackgroundScalesAsBits) {
    world.backFaceCulling = 1;
    world.userValue = 0x01020304;
    const auto save = [this] {
        MemoryByteSink sink;
        ChunkWriter writer(sink);
        EXPECT_EQ(world.Save(writer, 0), 0);
        return sink.Bytes();
    };
    // One camera, persistent; no background: an empty "BKGD".
    const std::vector<uint8_t> plain = {'W', 'O', 'R', 'L', 32, 0, 0,   0,   1,   0,   1, 0, 0, 0,
                                        0,   0,   0,   0,   1,  0, 'B', 'K', 'G', 'D', 0, 0, 0, 0,
                                        'O', 'U', 'S', 'E', 4,  0, 0,   0,   4,   3,   2, 1};
    EXPECT_EQ(save(), plain);
    LTexture* texture = device.CreateTexture(&world, "Sky", nullptr);
    texture->SetFileName("C:\\art\\sky.bmp");
    world.textures.AddTexture(texture);
    LMaterial* material = world.materials.CreateMaterial("Dome", texture, 0, 0, nullptr);
    world.SetBackgroundMaterial(material);
    world.SetBackgroundParams(2, 0.5f, 3, 1);
    const std::vector<uint8_t> bytes = save();
    const std::vector<uint8_t> background = {
        'B', 'K',  'G', 'D', 44,  0,   0,    0,    7, 0, 's',  'k',  'y', '.', 'b', 'm',  'p', 3,
        0,   'S',  'k', 'y', 0,   0,   0x40, 0x40, 0, 0, 0x80, 0x3F, 0,   0,   0,   0x40, 0,   0,
        0,   0x3F, 'B', 'K', 'M', 'T', 6,    0,    0, 0, 4,    0,    'D', 'o', 'm', 'e'};
    ASSERT_EQ(bytes.size(), plain.size() + 44);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 20, bytes.begin() + 72), background);
}

// A world on a "hardware" back end draws triangles through their batch; a quad, which no
// batch takes, is still drawn, and a blended one still goes to the depth buckets.
TEST(HardwareFrameTest, QuadsAreDrawnOneByOneBesideTheBatches) {
    RecordingDevice device;
    device.hardware = 1;
    L3DWorld world(&device, 0, nullptr, nullptr);
    L3DCamera& camera = *world.CreateCamera(0);
    camera.SetViewSize(640, 480);
    auto* screen = static_cast<RecordingRenderer*>(device.CreateRenderer(&world));
    screen->AttachView(&camera);
    LMaterial* solid = world.materials.CreateMaterial("Solid", nullptr, 0xFF0000, 0, nullptr);
    LMaterial* glass = world.materials.CreateMaterial("Glass", nullptr, 0x00FF00, 0, nullptr);
    glass->SetAlphaValue(128);
    auto* wall = new L3DObject("Wall", &world, nullptr);
    auto add = [&](std::initializer_list<std::array<float, 3>> corners, LMaterial* material) {
        LPolygon* p = device.CreatePolygon(wall, 2, 0);
        p->capacity = int32_t(corners.size());
        for (const auto& c : corners)
            p->AddNewVertex(c[0], c[1], c[2], 0, 0, 0, 0);
        wall->AddPolygon(p, 0);
        p->SetMaterial(material);
        return p;
    };
    LPolygon* triangle = add({{0, 0, 400}, {10, 0, 400}, {0, 10, 400}}, solid);
    LPolygon* quad = add({{-20, 0, 300}, {-10, 0, 300}, {-10, 10, 300}, {-20, 10, 300}}, solid);
    LPolygon* pane = add({{-5, -5, 200}, {5, -5, 200}, {5, 5, 200}, {-5, 5, 200}}, glass);
    world.AddObject(wall, 1);
    ASSERT_NE(triangle->batch, nullptr);
    ASSERT_EQ(quad->batch, nullptr);

    screen->RenderFrame();
    std::vector<LPolygon*> drawn;
    for (const RecordedDraw& draw : device.draws)
        drawn.push_back(draw.polygon);
    EXPECT_EQ(drawn, (std::vector<LPolygon*>{quad, pane}));
    EXPECT_EQ(screen->batchIndices, (std::vector<std::vector<uint16_t>>{{0, 1, 2}}));
}

} // namespace
