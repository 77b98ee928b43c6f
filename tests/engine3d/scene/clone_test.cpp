#include <gtest/gtest.h>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

class CloneTest : public SceneTest {
protected:
    CloneTest() : camera(*world.CreateCamera(0)) {
        camera.SetViewSize(640, 480);
        world.backFaceCulling = 0;
    }

    L3DCamera& camera;
};

TEST_F(CloneTest, EachCloneIsDrawnAtItsOwnFrameAndTheSourceIsRestored) {
    auto* source = new L3DObject("Source", &world, nullptr);
    LPolygon* first = AddFace(*source, {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}});
    source->AddBase();
    source->SetFrame(1);
    LPolygon* second = AddFace(*source, {{0, 0, 0}, {20, 0, 0}, {0, 20, 0}});
    second->SetMaterial(world.GetDefaultMaterial());
    source->SetFrame(0);
    world.AddObject(source, 1);
    source->SetPosition(0, 0, 500);
    L3DObject* near = source->Clone(nullptr);
    L3DObject* far = source->Clone(nullptr);
    ASSERT_NE(near, nullptr);
    ASSERT_NE(far, nullptr);
    near->SetPosition(0, 0, 100);
    far->SetPosition(0, 0, 300);
    near->SetFrame(0);
    far->SetFrame(1);
    const struct {
        L3DObject* clone;
        LPolygon* polygon;
        float depth;
    } cases[] = {{near, first, 100}, {far, second, 300}, {near, first, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.depth);
        device.draws.clear();
        c.clone->Update(camera);
        c.clone->Render(camera);
        ASSERT_EQ(device.draws.size(), 1u);
        EXPECT_EQ(device.draws[0].polygon, c.polygon);
        EXPECT_FLOAT_EQ(device.draws[0].vertices[0][2], c.depth);
        EXPECT_EQ(source->LMultiBasePoly::currentFrame, 0);
        EXPECT_FLOAT_EQ(source->position[2], 500);
        EXPECT_EQ(source->objectFlags & L3DObject::kCollision, 0u);
    }
}

TEST_F(CloneTest, ClonesOutliveTheirSource) {
    auto* source = new L3DObject("Source", &world, nullptr);
    AddFace(*source, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    world.AddObject(source, 1);
    // A clone outside the world is not removed with its source.
    L3DObjectClone loose("Loose", &world, nullptr);
    ASSERT_EQ(loose.SetSource(source), 1);
    L3DObject* listed = source->Clone(nullptr);
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(source->cloneCount, 2);
    const uint32_t count = world.objectCount;
    world.RemoveObject(source);
    EXPECT_EQ(world.objectCount, count - 2);
    EXPECT_EQ(loose.GetSource(), nullptr);
    EXPECT_EQ(loose.GetPolygonCount(0), 0);
    EXPECT_EQ(loose.IsVisible(), 0);
    loose.Hide(1);
    loose.Update(camera);
    loose.Render(camera);
}

TEST_F(CloneTest, RemovingTheSequenceAnAnimatedCloneShowsSelectsMain) {
    auto* source = new L3DObject_Animation("Walker", &world, nullptr);
    AddFace(*source, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    world.AddObject(source, 1);
    ASSERT_EQ(source->Sequences()->AddSequence("Walk", 0, 5, 9, 0, 5, 0, 0), 1);
    L3DObject* clone = source->Clone(nullptr);
    ASSERT_NE(clone, nullptr);
    LAnimationIK* own = clone->Sequences();
    EXPECT_EQ(own->GetSequenceCount(), 2u) << "a clone uses its source's definitions";
    ASSERT_EQ(own->SelectSequence("Walk"), 1);
    EXPECT_EQ(own->currentFrame, 5);
    EXPECT_EQ(source->Sequences()->RemoveSequence("Walk"), 1);
    ASSERT_NE(own->currentSequence, nullptr);
    EXPECT_STREQ(own->currentSequence->name, "Main");
    EXPECT_EQ(source->Sequences()->RemoveSequence("Main"), 1);
    EXPECT_EQ(own->currentSequence, nullptr);
}

} // namespace
