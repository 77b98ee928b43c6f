#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/grid/grid.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

class GridTest : public SceneTest {
protected:
    GridTest() : camera(*world.CreateCamera(0)), grid(L3DGrid::Create(&world)) {
        camera.SetViewSize(640, 480);
        screen = static_cast<RecordingRenderer*>(device.CreateRenderer(&world));
        screen->AttachView(&camera);
        screen->grid = grid;
    }
    ~GridTest() override { L3DGrid::Destroy(grid); }

    L3DObject* Plane(const char* name) { return grid->FindChild(name); }

    L3DCamera& camera;
    L3DGrid* grid;
    RecordingRenderer* screen;
};

TEST_F(GridTest, PlanesOfSegmentsShownOneByOne) {
    for (const char* name : {"Axe_X", "Axe_Y", "Axe_Z"}) {
        L3DObject* plane = Plane(name);
        ASSERT_NE(plane, nullptr) << name;
        EXPECT_EQ(plane->IsVisible(), 0);
        // Ten lines of 40 segments.
        EXPECT_EQ(plane->GetPolygonCount(0), 400);
    }
    EXPECT_FALSE(grid->AreAxesVisible(L3DGrid::kAxisY));
    grid->ShowAxes(L3DGrid::kAxisY);
    EXPECT_TRUE(grid->AreAxesVisible(L3DGrid::kAxisY));
    EXPECT_FALSE(grid->AreAxesVisible(L3DGrid::kAxisX | L3DGrid::kAxisY));
    EXPECT_EQ(Plane("Axe_X")->IsVisible(), 0);
    EXPECT_EQ(Plane("Axe_Z")->IsVisible(), 0);
    grid->HideAxes(L3DGrid::kAxisY);
    EXPECT_FALSE(grid->AreAxesVisible(L3DGrid::kAxisY));
    EXPECT_EQ(grid->Clone(nullptr), nullptr);
}

TEST_F(GridTest, OnlyTheLinesThroughTheOriginAreMediumGray) {
    int medium = 0, dark = 0;
    for (LListNode* node = Plane("Axe_X")->GetCurrentPolygonList()->GetHead(); node != nullptr;
         node = node->next) {
        const LMaterial* material = static_cast<LPolygon*>(node->item)->GetMaterial();
        medium += material == grid->mediumGray.get() ? 1 : 0;
        dark += material == grid->darkGray.get() ? 1 : 0;
    }
    EXPECT_EQ(medium, 80);
    EXPECT_EQ(dark, 320);
    EXPECT_STREQ(grid->lightGray->Name(), "Light_GRAY");
    EXPECT_EQ(world.materials.FindByName("Dark_GRAY"), nullptr);
}

TEST_F(GridTest, TheFrameDrawsTheVisiblePlanesInFrontOfTheCamera) {
    // The camera looks along +z from z = -3000: the x-y plane stands in front of it.
    camera.SetPosition(0, 0, -3000);
    grid->ShowAxes(L3DGrid::kAxisY);
    screen->RenderFrame();
    const size_t drawn = device.draws.size();
    EXPECT_GT(drawn, 0u);
    for (const RecordedDraw& draw : device.draws)
        EXPECT_EQ(draw.polygon->owner, Plane("Axe_Y"));
    const auto slot = std::find_if(device.calls.begin(), device.calls.end(),
                                   [](const auto& c) { return c.slot == "DrawGridForCamera"; });
    EXPECT_NE(slot, device.calls.end());
    // Behind the camera nothing is drawn.
    device.draws.clear();
    camera.SetPosition(0, 0, 3000);
    screen->RenderFrame();
    EXPECT_TRUE(device.draws.empty());
}

} // namespace
