#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/lights/light.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/support/scene_fixture.h"
#include "engine3d/scene/zones/sound.h"
#include "engine3d/scene/zones/zone.h"

namespace {

using Point = std::array<float, 3>;

class MarkerTest : public SceneTest {
protected:
    static std::vector<Point> Points(const L3DObject& object) {
        std::vector<Point> points;
        const LBasePoint* list = object.boxObject->GetCurrentPointList();
        for (int32_t i = 0; i < list->GetCount(); ++i) {
            const float* m = list->GetPoint(i)->model;
            points.push_back({m[0], m[1], m[2]});
        }
        return points;
    }

    // Every triangle of the marker is in the one material, which the world's list leaves
    // out.
    void ExpectMaterial(const L3DObject& object, const char* name, uint32_t colour, int triangles) {
        const LList* polygons = object.boxObject->GetCurrentPolygonList();
        ASSERT_EQ(polygons->GetCount(), uint32_t(triangles)) << name;
        for (LListNode* n = polygons->GetHead(); n != nullptr; n = n->next) {
            const auto* p = static_cast<const LPolygon*>(n->item);
            ASSERT_EQ(p->GetVertexCount(), 3);
            ASSERT_NE(p->GetMaterial(), nullptr);
            EXPECT_STREQ(p->GetMaterial()->Name(), name);
            EXPECT_EQ(p->GetMaterial()->color, colour);
            EXPECT_NE(p->GetMaterial()->mode & LMaterial::kWireframe, 0u);
        }
        EXPECT_EQ(world.materials.FindByName(name), nullptr);
    }
};

TEST_F(MarkerTest, LightsShowAnArrowSizedByTheirRadius) {
    const float at[3] = {0, 0, 0};
    L3DLight* light = world.lights->CreateLight(LBaseLight::kDynamicKind, at, 20, 255, 0xFF, 0);
    // A small radius keeps the arms at 10.
    EXPECT_EQ(Points(*light), (std::vector<Point>{{-10, 0, 0},
                                                  {10, 0, 0},
                                                  {0, 0, 10},
                                                  {0, 0, -20},
                                                  {0, 10, 0},
                                                  {0, -10, 0},
                                                  {-5, 0, -15},
                                                  {5, 0, -15}}));
    ExpectMaterial(*light, "$Yix3D Mat$ Light Material", 0xFF00, 5);
    light->SetIntensityAndRadius(1000, -99999, 1);
    const std::vector<Point> grown = Points(*light);
    ASSERT_EQ(grown.size(), 8u);
    EXPECT_EQ(grown[1], (Point{50, 0, 0}));
    EXPECT_EQ(grown[3], (Point{0, 0, -1000}));
    EXPECT_EQ(grown[7], (Point{25, 0, -975}));
    ExpectMaterial(*light, "$Yix3D Mat$ Light Material", 0xFF00, 5);

    // A second light shares the material.
    L3DLight* other = world.lights->CreateLight(LBaseLight::kStaticKind, at, 20, 255, 0xFF, 0);
    const auto first =
        static_cast<LPolygon*>(light->boxObject->GetCurrentPolygonList()->GetHead()->item);
    const auto second =
        static_cast<LPolygon*>(other->boxObject->GetCurrentPolygonList()->GetHead()->item);
    EXPECT_EQ(first->GetMaterial(), second->GetMaterial());
}

TEST_F(MarkerTest, SoundsShowAPyramidAndZonesTheirBox) {
    L3DSound* sound = world.sounds.CreateSound("bell.wav", 0);
    EXPECT_EQ(Points(*sound),
              (std::vector<Point>{
                  {0, 0, 0}, {-25, 25, -25}, {25, 25, -25}, {25, -25, -25}, {-25, -25, -25}}));
    ExpectMaterial(*sound, "$Yix3D Mat$ Sound Material", 0xFFFF, 4);
    EXPECT_EQ(sound->IsBoxShown(), 1);

    L3DZone* zone = world.zones.CreateZone(nullptr, 11, 20, 31, 1, 0);
    std::vector<Point> corners = Points(*zone);
    ASSERT_EQ(corners.size(), 8u);
    EXPECT_EQ(corners[0], (Point{-5, -10, -15}));
    EXPECT_EQ(corners[6], (Point{5, 10, 15}));
    ExpectMaterial(*zone, "$Yix3D Mat$ Zone Material", 0xFFFF00, 12);
    EXPECT_EQ(zone->IsBoxShown(), 1);
    zone->SetSize(nullptr, -99999, 4, -99999, 1);
    corners = Points(*zone);
    EXPECT_EQ(corners[6], (Point{5, 2, 15}));
    ExpectMaterial(*zone, "$Yix3D Mat$ Zone Material", 0xFFFF00, 12);
}

TEST_F(MarkerTest, MarkersShowOnlyWhileTheirListsShowThem) {
    world.zones.zonesShown = 0;
    world.sounds.soundsShown = 0;
    L3DZone* zone = world.zones.CreateZone(nullptr, 10, 10, 10, 1, 0);
    L3DSound* sound = world.sounds.CreateSound("bell.wav", 0);
    EXPECT_EQ(zone->IsBoxShown(), 0);
    EXPECT_EQ(sound->IsBoxShown(), 0);
    zone->Show();
    sound->Show();
    EXPECT_EQ(zone->IsBoxShown(), 0);
    EXPECT_EQ(sound->IsBoxShown(), 0);
    world.zones.zonesShown = 1;
    world.sounds.soundsShown = 1;
    zone->Show();
    sound->Show();
    EXPECT_EQ(zone->IsBoxShown(), 1);
    EXPECT_EQ(sound->IsBoxShown(), 1);
    zone->Hide(1);
    EXPECT_EQ(zone->IsBoxShown(), 0);

    // A shown marker is drawn with the frame.
    L3DCamera& camera = *world.CreateCamera(0);
    camera.SetViewSize(640, 480);
    auto* screen = static_cast<RecordingRenderer*>(device.CreateRenderer(&world));
    screen->AttachView(&camera);
    zone->SetPosition(0, 0, 100);
    zone->Show();
    screen->RenderFrame();
    const int zoneDraws =
        int(std::count_if(device.draws.begin(), device.draws.end(), [](const RecordedDraw& draw) {
            return draw.material != nullptr &&
                   std::string(draw.material->Name()) == "$Yix3D Mat$ Zone Material";
        }));
    EXPECT_GT(zoneDraws, 0);
    EXPECT_LE(zoneDraws, 12);
}

} // namespace
