#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine3d/scene/blobs/blob.h"
#include "engine3d/scene/blobs/blob_list.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/lights/light.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/materials/reflection_curves.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/world_light.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

using Color = std::array<int, 4>;

Color ColorOf(const uint8_t* c) {
    return {c[0], c[1], c[2], c[3]};
}

class LightTest : public SceneTest {
protected:
    LBaseLight& Lights() { return *world.lights; }

    L3DLight* Dynamic(float x, float y, float z, int32_t radius, int32_t intensity, uint32_t rgb) {
        const float at[3] = {x, y, z};
        return Lights().CreateLight(LBaseLight::kDynamicKind, at, radius, intensity, rgb, 0);
    }

    // A triangle near the origin whose points stand where they are modelled.
    L3DObject* Triangle() {
        auto* object = new L3DObject("Tri", &world, nullptr);
        AddFace(*object, {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}});
        LBasePoint* points = object->GetCurrentPointList();
        for (int32_t i = 0; i < points->GetCount(); ++i)
            std::copy_n(points->GetPoint(i)->model, 3, points->GetPoint(i)->world);
        world.AddObject(object, 1);
        return object;
    }

    static bool Lights(const L3DLight* light, const L3DObject* object) {
        return std::find(light->litObjects.begin(), light->litObjects.end(), object) !=
               light->litObjects.end();
    }
};

TEST_F(LightTest, WorldLightShadesByNormalIntensityNightAndCurve) {
    struct Case {
        float nz;
        int32_t intensity, night, curve;
        uint8_t shade;
    };
    // The default vector (-50, -50, 50): a normal along +z gives level 201, along -z 55.
    const Case cases[] = {
        {1, 0, 0, -1, 201},   {-1, 0, 0, -1, 55},   {1, 0, 100, -1, 0},
        {1, 255, 0, -1, 255}, {1, 300, 0, -1, 255}, {1, -5, 0, -1, 201},
    };
    float identity[16];
    MatrixIdentity(identity);
    for (const Case& c : cases) {
        L3DLightAmbiant light(&world, -50, -50, 50, c.intensity, c.night, 0x0080FF, nullptr);
        L3DPoint point;
        point.normal[2] = c.nz;
        light.LightPoint(identity, point);
        EXPECT_EQ(point.staticColor[3], c.shade) << c.nz << " " << c.intensity << " " << c.night;
        EXPECT_EQ(point.staticColor[0], c.shade);
        EXPECT_EQ(point.staticColor[1], 0x80 * c.shade / 255);
        EXPECT_EQ(point.staticColor[2], 0);
    }
    for (int32_t type = 0; type < kReflectionTypeCount; ++type) {
        L3DPoint point;
        point.normal[2] = 1;
        point.reflectionCurve = ReflectionCurve(type);
        world.ambientLight->LightPoint(identity, point);
        EXPECT_EQ(point.staticColor[3], uint8_t(ReflectionCurve(type)[201] + 128)) << type;
    }
}

TEST_F(LightTest, WorldLightSettersClampAndKeepTheNightAsGiven) {
    L3DLightAmbiant& light = *world.ambientLight;
    light.SetNight(130);
    EXPECT_EQ(light.GetNight(), 100);
    EXPECT_EQ(light.brightness, 0);
    light.SetNight(-4);
    EXPECT_EQ(light.GetNight(), 0);
    light.SetIntensity(999);
    EXPECT_EQ(light.intensity, 255);
    light.SetColor(0x123456);
    EXPECT_EQ(light.GetColor(), 0x123456u);
    light.SetVector(0, 0, 0);
    EXPECT_EQ(light.direction[0], 0.0f);
    EXPECT_EQ(light.GetVector()[2], 0.0f);
}

TEST_F(LightTest, PointLightBlendsTowardsItsColourByDistance) {
    struct Case {
        float x, y, z;
        int32_t radius, intensity;
        Color before, after;
    };
    const Case cases[] = {
        {50, 0, 0, 100, 128, {0, 0, 0, 100}, {64, 0, 0, 164}},
        // At the radius k is 0: nothing changes.
        {100, 0, 0, 100, 128, {10, 20, 30, 100}, {10, 20, 30, 100}},
        {60, 80, 0, 100, 128, {10, 20, 30, 100}, {10, 20, 30, 100}},
        // Inside the cube but beyond the radius, and outside the cube.
        {80, 80, 0, 100, 128, {1, 2, 3, 4}, {1, 2, 3, 4}},
        {150, 0, 0, 100, 128, {1, 2, 3, 4}, {1, 2, 3, 4}},
        {0, 0, 0, 100, 255, {0, 0, 0, 100}, {254, 0, 0, 255}},
        // A light without a radius lights nothing.
        {0, 0, 0, 0, 255, {1, 2, 3, 4}, {1, 2, 3, 4}},
        {0, 0, 0, -10, 255, {1, 2, 3, 4}, {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        L3DLight* light = Dynamic(0, 0, 0, c.radius, c.intensity, 0x0000FF);
        uint8_t color[4] = {uint8_t(c.before[0]), uint8_t(c.before[1]), uint8_t(c.before[2]),
                            uint8_t(c.before[3])};
        const float at[3] = {c.x, c.y, c.z};
        light->LightPoint(at, color);
        EXPECT_EQ(ColorOf(color), c.after) << c.x << " " << c.y << " r" << c.radius;
        Lights().RemoveLight(light, 1);
    }
}

TEST_F(LightTest, SeveralLightsBlendInTurnAndHiddenOnesAddNothing) {
    L3DLight* red = Dynamic(0, 0, 0, 100, 128, 0x0000FF);
    L3DLight* green = Dynamic(100, 0, 0, 100, 128, 0x00FF00);
    L3DLight* hidden = Dynamic(50, 0, 0, 100, 255, 0xFF0000);
    hidden->Hide(1);
    uint8_t color[4] = {0, 0, 0, 100};
    const float at[3] = {50, 0, 0};
    for (L3DLight* light : {red, green, hidden})
        light->LightPoint(at, color);
    EXPECT_EQ(ColorOf(color), (Color{48, 64, 0, 228}));
    // Both share no entry; a third light of the red colour shares the first one's.
    L3DLight* again = Dynamic(0, 0, 0, 10, 10, 0x0000FF);
    EXPECT_EQ(again->Color(), red->Color());
    EXPECT_EQ(red->Color()->uses, 2);
}

TEST_F(LightTest, IntensityIsClampedAndAStaticLightKeepsItsRadius) {
    EXPECT_EQ(Dynamic(0, 0, 0, 10, 300, 0)->GetIntensity(), 255);
    EXPECT_EQ(Dynamic(0, 0, 0, 10, -5, 0)->GetIntensity(), 0);
    const float at[3] = {0, 0, 0};
    L3DLight* fixed = Lights().CreateLight(LBaseLight::kStaticKind, at, 50, 100, 0xFFFFFF, 0);
    L3DLight* moving = Dynamic(0, 0, 0, 50, 100, 0xFFFFFF);
    for (L3DLight* light : {fixed, moving})
        light->SetIntensityAndRadius(200, -99999, 1);
    EXPECT_EQ(fixed->GetRadius(), 50);
    EXPECT_EQ(moving->GetRadius(), 200);
    EXPECT_EQ(moving->cubeMax[0], 200.0f);
    EXPECT_EQ(fixed->GetIntensity(), 100);
    EXPECT_TRUE(fixed->IsStaticLight());
    EXPECT_EQ(fixed->CanMove(), 0);
    EXPECT_EQ(Lights().staticLights.size(), 1u);
    EXPECT_EQ(Lights().dynamicLights.size(), 3u);
}

TEST_F(LightTest, LightsRelinkWhenTheyMoveAndTheClusterKeepsUnlitOnes) {
    L3DObject* object = Triangle();
    L3DLight* light = Dynamic(5, 5, 0, 20, 255, 0x0000FF);
    EXPECT_TRUE(Lights(light, object));
    ASSERT_EQ(object->secondLightCount, 1);
    EXPECT_EQ(object->secondLights[0], light);
    light->SetPosition(1000, 0, 0);
    EXPECT_TRUE(light->litObjects.empty());
    EXPECT_EQ(object->secondLightCount, 0);
    EXPECT_EQ(world.cluster->unlitLights, std::vector<L3DLight*>{light});
    light->SetPosition(0, 0, 0);
    EXPECT_TRUE(Lights(light, object));
    EXPECT_TRUE(world.cluster->unlitLights.empty());
    // A hidden light lights nothing.
    light->Hide(1);
    EXPECT_EQ(object->secondLightCount, 0);
    light->Show();
    EXPECT_EQ(object->secondLightCount, 1);

    const float at[3] = {0, 0, 0};
    L3DLight* fixed = Lights().CreateLight(LBaseLight::kStaticKind, at, 20, 255, 0xFF00, 0);
    ASSERT_EQ(object->lightCount, 1);
    EXPECT_EQ(object->lights[0], fixed);
    EXPECT_EQ(Lights().RemoveLight(fixed, 1), 0);
    EXPECT_EQ(object->lightCount, 0);
    EXPECT_EQ(Lights().RemoveLight(fixed, 1), 10);
    EXPECT_EQ(Lights().RemoveLightAt(7, 1), 10);
}

TEST_F(LightTest, AnObjectDestroyedWhileLitLeavesItsLights) {
    L3DObject* object = Triangle();
    L3DLight* light = Dynamic(5, 5, 0, 20, 255, 0x0000FF);
    const float at[3] = {0, 0, 0};
    L3DLight* fixed = Lights().CreateLight(LBaseLight::kStaticKind, at, 20, 255, 0xFF00, 0);
    ASSERT_EQ(light->litObjects.size(), 1u);
    world.RemoveObject(object);
    EXPECT_TRUE(light->litObjects.empty());
    EXPECT_TRUE(fixed->litObjects.empty());
    // Would write into the freed object.
    light->SetPosition(6, 5, 0);
    light->SetIntensityAndRadius(30, 100, 0);
    fixed->SetColor(0xFF);
}

TEST_F(LightTest, LightsFindBlobsAndLeaveThemWhenTheyGo) {
    L3DBlob* blob = world.blobs.CreateBlob(nullptr, "Halo", 10, 10, nullptr, 0);
    ASSERT_NE(blob, nullptr);
    LBasePoint* points = blob->GetCurrentPointList();
    for (int32_t i = 0; i < points->GetCount(); ++i)
        std::copy_n(points->GetPoint(i)->model, 3, points->GetPoint(i)->world);
    L3DLight* near = Dynamic(0, 0, 5, 20, 255, 0x0000FF);
    L3DLight* far = Dynamic(500, 0, 0, 20, 255, 0x0000FF);
    EXPECT_TRUE(Lights(near, blob));
    EXPECT_EQ(blob->secondLightCount, 1);
    EXPECT_TRUE(far->litObjects.empty());
    EXPECT_EQ(world.blobs.RemoveBlob(blob, 1), 0);
    EXPECT_TRUE(near->litObjects.empty());
    // Would write into the freed blob.
    near->SetPosition(1, 0, 5);
}

TEST_F(LightTest, RelightingColoursThePointsFromBothArrays) {
    L3DObject* object = Triangle();
    Dynamic(0, 0, 0, 20, 255, 0x0000FF);
    L3DPoint* origin = object->GetCurrentPointList()->GetPoint(0);
    origin->ownVertex = std::make_unique<RenderVertex>();
    object->RelightAll();
    // Facing +z: level 201 from the world light, then the red light at distance 0.
    EXPECT_EQ(ColorOf(origin->staticColor), (Color{201, 201, 201, 201}));
    EXPECT_EQ(ColorOf(origin->frameColor), (Color{255, 1, 1, 255}));
    const RenderVertex* vertex = origin->GetRenderVertex();
    ASSERT_NE(vertex, nullptr);
    EXPECT_EQ(vertex->diffuse, 0xFFFF0101u);
    EXPECT_EQ(object->L3DLocation::flags & L3DLocation::kLightsToRecompute, 0u);
}

TEST_F(LightTest, NamesAreFoundCaseBlind) {
    L3DLight* a = Dynamic(0, 0, 0, 1, 1, 0);
    L3DLight* b = Dynamic(0, 0, 0, 1, 1, 0);
    b->SetName("Lamp");
    EXPECT_EQ(Lights().FindByName("LIGHT"), a);
    EXPECT_EQ(Lights().FindByName("lamp"), b);
    EXPECT_EQ(Lights().FindNextByName(b, "light"), nullptr);
    EXPECT_EQ(Lights().FindNextByName(nullptr, "lamp"), nullptr);
}

TEST_F(LightTest, SavesCountOnlyPersistentLights) {
    L3DLight* kept = Dynamic(1, 2, 3, 20, 128, 0x0000FF);
    Dynamic(0, 0, 0, 5, 5, 0)->objectFlags &= ~L3DObject::kPersistent;
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    EXPECT_EQ(Lights().Save(writer, 0), 0);
    std::vector<uint8_t> body;
    auto u16 = [&](uint16_t v) { body.insert(body.end(), {uint8_t(v), uint8_t(v >> 8)}); };
    auto u32 = [&](uint32_t v) { u16(uint16_t(v)), u16(uint16_t(v >> 16)); };
    auto f32 = [&](float f) {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        u32(bits);
    };
    u16(1), u16(0), u16(20), u16(128), f32(1), f32(2), f32(3), u32(0xFF), u16(5);
    body.insert(body.end(), {'L', 'i', 'g', 'h', 't', 'O', 'L', 'O', 'C'});
    u32(36);
    for (float v : {1.0f, 2.0f, 3.0f})
        f32(v);
    for (int i = 0; i < 3; ++i)
        f32(kept->angles[i]);
    for (int i = 0; i < 3; ++i)
        f32(0);
    std::vector<uint8_t> expected = {'B', 'L', 'I', 'G'};
    const auto size = uint32_t(body.size());
    expected.insert(expected.end(), {uint8_t(size), uint8_t(size >> 8), 0, 0});
    expected.insert(expected.end(), body.begin(), body.end());
    EXPECT_EQ(sink.Bytes(), expected);
}

TEST_F(LightTest, TheWorldLightSavesItsNightAndItsVectorAsSet) {
    world.ambientLight->SetParameters(3, 4, 0, 40, 30);
    world.ambientLight->SetColor(0x0A0B0C);
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    EXPECT_EQ(world.ambientLight->Save(writer), 0);
    const std::vector<uint8_t> expected = {'A', 'M', 'L', 'I', 20,   0,    0,    0, 30,   0,
                                           40,  0,   0,   0,   0x40, 0x40, 0,    0, 0x80, 0x40,
                                           0,   0,   0,   0,   0x0C, 0x0B, 0x0A, 0};
    EXPECT_EQ(sink.Bytes(), expected);
    EXPECT_FLOAT_EQ(world.ambientLight->direction[0], 0.6f);
}

} // namespace
