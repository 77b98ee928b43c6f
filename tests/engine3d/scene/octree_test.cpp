#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/material_batch.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/octree.h"
#include "engine3d/scene/render/frame_state.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

class OctreeTest : public SceneTest {
protected:
    // A static object of n small triangles inside the box from lo to hi (along the
    // diagonal), plus the straddling triangles given.
    L3DObject* StaticObject(int n, Vec3 lo, Vec3 hi, std::initializer_list<Vec3> straddling = {}) {
        auto* object = new L3DObject("Static", &world, nullptr);
        object->GetCurrentPointList()->DisableMerging();
        for (int i = 0; i < n; ++i) {
            const float t = (float(i) + 0.5f) / float(n);
            const float x = lo.x + (hi.x - lo.x) * t, y = lo.y + (hi.y - lo.y) * t,
                        z = lo.z + (hi.z - lo.z) * t;
            AddFace(*object, {{x, y, z}, {x + 0.01f, y, z}, {x, y + 0.01f, z}});
        }
        if (straddling.size() > 0) AddFace(*object, straddling);
        world.AddObject(object, 0);
        object->MakeStatic(0);
        return object;
    }

    static int Depth(const L3DObject& node) {
        int deepest = 0;
        if (node.children != nullptr)
            for (LListNode* n = node.children->GetHead(); n != nullptr; n = n->next)
                deepest = std::max(deepest, 1 + Depth(*static_cast<L3DObject*>(n->item)));
        return deepest;
    }
};

TEST_F(OctreeTest, ASecondObjectSplitsTheRootAndTheFirstStays) {
    StaticObject(1500, {-90, -90, -90}, {-10, -10, -10});
    StaticObject(1500, {10, 10, 10}, {90, 90, 90}, {{-1, -1, -1}, {1, 1, 1}, {1, -1, 1}});
    // The octree box spans both objects: from -90 to 90.
    EXPECT_EQ(world.cluster->staticObjects.GetCount(), 2u);
    world.Optimize();
    L3DOctreeNode* root = world.cluster->octree.get();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(world.cluster->staticObjects.GetCount(), 0u);
    EXPECT_EQ(root->GetPolygonCount(0), 1500);
    ASSERT_NE(root->children, nullptr);
    EXPECT_EQ(root->children->GetCount(), 9u);
    EXPECT_EQ(root->Child(0)->GetPolygonCount(0), 1) << "the straddling triangle";
    int inOctants = 0;
    for (int i = 1; i <= 8; ++i)
        inOctants += root->Child(i)->GetPolygonCount(0);
    EXPECT_EQ(inOctants, 1500);
    char name[32];
    root->Child(3)->GetName(name, sizeof name);
    EXPECT_STREQ(name, " Octree-3");
    EXPECT_EQ(root->CountPolygons(), 3001);
    EXPECT_EQ(world.CountPolygons(), 3001);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(root->Child(0)->Min()[k], root->Min()[k]) << "child 0 has the node's box";
        EXPECT_EQ(root->Child(0)->Max()[k], root->Max()[k]);
    }

    std::vector<L3DOctreeNode*> found;
    const float lo[3] = {20, 20, 20}, hi[3] = {30, 30, 30};
    world.cluster->QueryBox(found, lo, hi);
    EXPECT_NE(std::find(found.begin(), found.end(), root), found.end());
    EXPECT_NE(std::find(found.begin(), found.end(), root->Child(0)), found.end());
    for (L3DOctreeNode* node : found)
        for (int k = 0; k < 3; ++k)
            EXPECT_LE(node->Min()[k], 30);
    EXPECT_LT(found.size(), 5u) << "octants away from the box are left out";
}

TEST_F(OctreeTest, AnObjectWithoutPolygonsIsRefused) {
    L3DObject empty("Empty", &world, nullptr);
    EXPECT_EQ(world.cluster->AddStatic(&empty), 1);
    EXPECT_EQ(world.cluster->staticObjects.GetCount(), 0u);
}

TEST_F(OctreeTest, PreparingGivesEachMaterialItsOwnCornersAndDropsUnusedPoints) {
    auto* object = new L3DObject("Pair", &world, nullptr);
    LPolygon* a = AddFace(*object, {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}});
    LPolygon* b = AddFace(*object, {{1, 0, 0}, {1, 0, 1}, {0, 0, 1}});
    AddFace(*object, {{1, 0, 1}, {2, 0, 1}, {2, 0, 0}});
    a->SetMaterial(world.materials.CreateMaterial("Red", nullptr, 0xFF, 0, nullptr));
    b->SetMaterial(world.materials.CreateMaterial("Blue", nullptr, 0xFF0000, 0, nullptr));
    world.AddObject(object, 0);
    object->MakeStatic(0);
    world.Optimize();
    L3DOctreeNode* root = world.cluster->octree.get();
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->GetPolygonCount(0), 3);
    // The root merges equal corners into 6 points; red and blue share two of them, blue
    // and the third face (the default material) one.
    LBasePoint* points = root->GetCurrentPointList();
    EXPECT_EQ(points->GetCount(), 9);
    LList* polygons = root->GetCurrentPolygonList();
    int32_t corners = 0;
    for (LListNode* n = polygons->GetHead(); n != nullptr; n = n->next) {
        auto* p = static_cast<LPolygon*>(n->item);
        ASSERT_NE(p->batch, nullptr);
        for (int v = 0; v < 3; ++v) {
            EXPECT_EQ(p->GetVertex(v)->material, p->GetMaterial());
            EXPECT_EQ(p->GetVertex(v)->useCount, 1);
            EXPECT_EQ(p->GetVertex(v)->world[0], p->GetVertex(v)->model[0]);
            corners += points->GetListUse(points->IndexOf(p->GetVertex(v)));
        }
    }
    EXPECT_EQ(corners, 9);
    EXPECT_EQ(root->GetCurrentBatchList()->batches.GetCount(), 3u);

    const int alive = device.pointsAlive;
    points->AddPoint(50, 50, 50, 0, 0, 0, 0, 1);
    root->PrepareGeometry(0);
    EXPECT_EQ(points->GetCount(), 9) << "the stray point goes, the rest stay as they are";
    EXPECT_EQ(device.pointsAlive, alive);
}

TEST_F(OctreeTest, MergingCarriesTheLightingOneWay) {
    L3DObject lit("Lit", &world, nullptr);
    AddFace(lit, {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}});
    lit.SetGouraud(1);
    L3DObject empty("Empty", &world, nullptr);
    lit.CopyLightingFrom(empty);
    EXPECT_EQ(empty.IsGouraud(), 1) << "a receiver without polygons takes the lighting";
    EXPECT_EQ(lit.IsGouraud(), 1);

    L3DObject flat("Flat", &world, nullptr);
    AddFace(flat, {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}});
    flat.SetLambert(1);
    lit.CopyLightingFrom(flat);
    EXPECT_EQ(lit.IsLambert(), 1) << "a receiver with polygons gives its own";
    EXPECT_EQ(lit.IsGouraud(), 0);
    EXPECT_EQ(flat.IsLambert(), 1);
    flat.SetLambert(0);
    lit.CopyLightingFrom(flat);
    EXPECT_EQ(lit.IsLambert(), 0);
    EXPECT_NE(lit.objectFlags & L3DObject::kUnlit, 0u);

    // The first static object's lighting becomes the octree's.
    auto* gouraud = new L3DObject("Smooth", &world, nullptr);
    AddFace(*gouraud, {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}});
    gouraud->SetGouraud(1);
    world.AddObject(gouraud, 0);
    gouraud->MakeStatic(0);
    world.Optimize();
    ASSERT_NE(world.cluster->octree, nullptr);
    EXPECT_EQ(world.cluster->octree->IsGouraud(), 1);
}

TEST_F(OctreeTest, SplittingEndsForStraddlingAndCoincidentPolygons) {
    auto* straddling = new L3DObject("Straddling", &world, nullptr);
    straddling->GetCurrentPointList()->DisableMerging();
    for (int i = 0; i < 10000; ++i) {
        const float s = 1 + float(i) * 0.001f;
        AddFace(*straddling, {{-s, -s, -s}, {s, s, s}, {s, -s, s}});
    }
    world.AddObject(straddling, 0);
    straddling->MakeStatic(0);
    StaticObject(10000, {5, 5, 5}, {5, 5, 5});
    world.Optimize();
    L3DOctreeNode* root = world.cluster->octree.get();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->CountPolygons(), 20000);
    EXPECT_LE(Depth(*root), L3DOctreeNode::kMaxDepth);
}

TEST_F(OctreeTest, NodesAreSeenInsideCrossingOrOutside) {
    L3DCamera* camera = world.CreateCamera(0);
    camera->SetViewSize(640, 480);
    const struct {
        Vec3 lo, hi;
        uint8_t visible;
        uint32_t test;
    } cases[] = {
        {{-10, -10, 990}, {10, 10, 1010}, 1, 0},
        {{-10, -10, -10}, {10, 10, 100}, 1, 1},
        {{-10, -10, -500}, {10, 10, -400}, 0, 1},
    };
    for (const auto& c : cases) {
        const float lo[3] = {c.lo.x, c.lo.y, c.lo.z}, hi[3] = {c.hi.x, c.hi.y, c.hi.z};
        L3DOctreeNode node(lo, hi, &world, nullptr, nullptr);
        camera->SetRotationChanged(1);
        node.ComputeWorldTransform(*camera);
        EXPECT_EQ(node.visibleThisFrame, c.visible) << c.lo.z;
        EXPECT_EQ(node.GetCurrentBatchList()->testVisibility, c.test) << c.lo.z;
    }
}

TEST_F(OctreeTest, CameraTexturesRenderOnlyOutsideMemoryTargets) {
    L3DCamera* camera = world.CreateCamera(0);
    camera->SetViewSize(640, 480);
    L3DCamera* mirror = world.CreateCamera(0);
    ASSERT_TRUE(AddMirror(mirror));
    ASSERT_NE(world.cluster->octree, nullptr);
    LRenderAPICLBK* screen = device.CreateRenderer(&world);
    SetCurrentRenderer(screen);
    auto count = [this](const char* slot) {
        return std::count_if(device.calls.begin(), device.calls.end(),
                             [slot](const RecordedCall& c) { return c.slot == slot; });
    };
    camera->SetRotationChanged(1);
    world.cluster->Update(*camera);
    EXPECT_EQ(count("RenderFrame"), 1);
    // The nested frame's own begin, then the current renderer's again.
    EXPECT_EQ(count("BeginFrame"), 2);
    // A camera texture's own frame draws into memory and renders no camera textures.
    screen->stateFlags |= LRenderAPICLBK::kNoCameraTextures;
    camera->SetRotationChanged(1);
    world.cluster->Update(*camera);
    EXPECT_EQ(count("RenderFrame"), 1);
    SetCurrentRenderer(nullptr);
    world.specialMaterials.RemoveAll();
}

} // namespace
