// The cluster tries a moving object only against the objects its path can come near; what
// happens must be what trying every pair in list order gives: the same contacts in the same
// order, and every object where it would be.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/support/scene_fixture.h"

namespace {

struct Met {
    L3DObject* self;
    L3DObject* other;
    float point[3];
};

std::vector<Met> met[2];

// Objects answer by kind: ignore, stop or slide.
uint8_t Respond(int, L3DObject* self, L3DObject* other, LPolygon*, float*, float* point,
                uintptr_t log) {
    met[log].push_back({self, other, {point[0], point[1], point[2]}});
    return uint8_t(self->userValue % 3 * 2);
}

// Every pair in list order, as the cluster tried them before it looked anything up.
bool EveryChild(L3DCamera& camera, L3DObject& object, L3DObject& other) {
    bool hit = object.CollideWithObject(camera, other) != 0;
    ForEachChild(other.children,
                 [&](L3DObject* child) { hit = EveryChild(camera, object, *child) || hit; });
    return hit;
}

void EveryPair(LBase3DCluster& cluster, L3DCamera& camera) {
    std::vector<L3DObject*> objects;
    for (LListNode* node = cluster.dynamicObjects.GetHead(); node != nullptr; node = node->next)
        objects.push_back(static_cast<L3DObject*>(node->item));
    for (L3DObject* object : objects) {
        if (object->IsCollisionOn() == 0) continue;
        bool moved = false;
        for (int i = 0; i < 3; ++i)
            moved = moved || double(object->position[i]) - object->previousPosition[i] != 0;
        if (moved)
            for (L3DObject* other : objects)
                if (other != object && other->IsCollisionOn() != 0 &&
                    !L3DObject::IsAncestor(object, other))
                    EveryChild(camera, *object, *other);
        object->CollideWithPolygons(camera);
        ForEachChild(object->children, [&](L3DObject* child) {
            if (child->IsCollisionOn() != 0) child->CollideWithPolygons(camera);
        });
    }
}

class BroadPhaseTest : public SceneTest {
protected:
    struct Scene {
        std::unique_ptr<L3DWorld> world;
        L3DCamera* camera = nullptr;
        std::vector<L3DObject*> all;
    };

    BroadPhaseTest() { Renew(); }

    void Renew() {
        met[0].clear();
        met[1].clear();
        for (Scene& scene : scenes) {
            scene.all.clear();
            scene.world = std::make_unique<L3DWorld>(&device, 0, nullptr, nullptr);
            scene.camera = scene.world->CreateCamera(0);
        }
    }

    static void Settle(Scene& scene) {
        for (L3DObject* object : scene.all)
            std::copy_n(object->position, 3, object->previousPosition);
    }

    L3DObject* Make(Scene& scene, float size) {
        auto* object = new L3DObject("Brick", scene.world.get(), nullptr);
        AddFace(*object, {{-size, 0, 0}, {size, 0, 0}, {0, size, 0}}, 1);
        scene.world->AddObject(object, 1);
        object->userValue = uint32_t(scene.all.size());
        object->SetCollisionCallback(Respond, 0, uintptr_t(&scene == &scenes[1]));
        scene.all.push_back(object);
        return object;
    }

    // The same random scene in both worlds: `count` objects in a cube of side `side`, some
    // with children, some far away, some still, some not colliding; all at their previous
    // positions, then moved.
    void Build(uint32_t seed, int count, float side, float pushBack) {
        for (Scene& scene : scenes) {
            std::mt19937 random(seed);
            std::uniform_real_distribution<float> unit(0, 1);
            const auto in = [&](float lo, float hi) { return lo + (hi - lo) * unit(random); };
            scene.world->objectPushBack = pushBack;
            std::vector<L3DObject*> roots;
            for (int i = 0; i < count; ++i) {
                const bool child = !roots.empty() && unit(random) < 0.15f;
                L3DObject* object = Make(scene, in(2, 8));
                object->SetPosition(in(0, side), in(0, side), in(0, side));
                if (unit(random) < 0.01f) object->SetPosition(1e9f, 0, 0);
                if (unit(random) < 0.3f) object->SetCollisionRadius(in(-4, 12));
                object->SetCollision(unit(random) < 0.9f ? 1 : 0);
                if (child) {
                    L3DObject* parent = roots[size_t(in(0, float(roots.size()) - 0.01f))];
                    object->SetParent(parent, 1);
                } else {
                    roots.push_back(object);
                }
            }
            for (L3DObject* root : roots)
                root->ComputeWorldTransform(*scene.camera);
            Settle(scene);
            for (L3DObject* root : roots) {
                if (unit(random) < 0.2f) continue;
                const float reach = in(0, 0.3f * side);
                root->SetPosition(root->position[0] + in(-reach, reach),
                                  root->position[1] + in(-reach, reach),
                                  root->position[2] + in(-reach, reach));
            }
            for (L3DObject* root : roots)
                root->ComputeWorldTransform(*scene.camera);
        }
    }

    int Compare() {
        scenes[0].world->cluster->ResolveCollisions(*scenes[0].camera, {});
        EveryPair(*scenes[1].world->cluster, *scenes[1].camera);
        EXPECT_EQ(met[0].size(), met[1].size());
        for (size_t i = 0; i < std::min(met[0].size(), met[1].size()); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(met[0][i].self->userValue, met[1][i].self->userValue);
            EXPECT_EQ(met[0][i].other->userValue, met[1][i].other->userValue);
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(met[0][i].point[k], met[1][i].point[k]);
        }
        for (size_t i = 0; i < scenes[0].all.size(); ++i)
            for (int k = 0; k < 3; ++k) {
                EXPECT_EQ(scenes[0].all[i]->position[k], scenes[1].all[i]->position[k]) << i;
                EXPECT_EQ(scenes[0].all[i]->previousPosition[k],
                          scenes[1].all[i]->previousPosition[k])
                    << i;
            }
        return int(met[1].size());
    }

    Scene scenes[2];
};

TEST_F(BroadPhaseTest, SameContactsInTheSameOrderAsEveryPair) {
    int contacts = 0;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        Renew();
        Build(seed, 20 + int(seed * 7 % 150), float(50 << (seed % 6)), float(seed % 4 * 15));
        contacts += Compare();
    }
    EXPECT_GT(contacts, 400) << "the scenes must meet often to show anything";
}

TEST_F(BroadPhaseTest, AContactCanMoveAnObjectIntoNewNeighbours) {
    // The first one slides off the second, pushed far to the side, where its shortened
    // path now crosses the third: none of them near its path before.
    for (Scene& scene : scenes) {
        scene.world->objectPushBack = 60;
        L3DObject* slider = Make(scene, 2);
        slider->userValue = 2;
        L3DObject* bumper = Make(scene, 2);
        L3DObject* bystander = Make(scene, 2);
        for (L3DObject* object : scene.all) {
            object->SetCollision(1);
            object->SetCollisionRadius(5);
        }
        bumper->SetPosition(50, 8, 0);
        bystander->SetPosition(30, -40, 0);
        for (L3DObject* object : scene.all)
            object->ComputeWorldTransform(*scene.camera);
        Settle(scene);
        slider->SetPosition(100, 0, 0);
        slider->ComputeWorldTransform(*scene.camera);
    }
    Compare();
    ASSERT_EQ(met[1].size(), 2u);
    EXPECT_EQ(met[1][1].other, scenes[1].all[2]);
}

TEST_F(BroadPhaseTest, PathsThatOnlyGrazeAreStillTried) {
    // Two tiny spheres side by side, moving the same way: the truncated discriminant makes
    // them meet 0.45 apart; then a long chase nearly in parallel, solved as a line, where
    // they meet 10 apart.
    struct Case {
        Vec3 aFrom, aTo, bFrom, bTo;
    };
    const Case cases[] = {
        {{0, 0, 0}, {103.32f, 0, 0}, {0, 0.45f, 0}, {100, 0.45f, 0}},
        {{-10, 10, 0}, {1021.46f, 10, 0}, {0, 0, 0}, {1000, 0, 0}},
    };
    for (const Case& c : cases) {
        Renew();
        for (Scene& scene : scenes) {
            L3DObject* a = Make(scene, 2);
            L3DObject* b = Make(scene, 2);
            a->userValue = b->userValue = 1;
            for (L3DObject* object : scene.all) {
                object->SetCollision(1);
                object->SetCollisionRadius(0.05f);
            }
            a->SetPosition(c.aFrom.x, c.aFrom.y, c.aFrom.z);
            b->SetPosition(c.bFrom.x, c.bFrom.y, c.bFrom.z);
            Settle(scene);
            a->SetPosition(c.aTo.x, c.aTo.y, c.aTo.z);
            b->SetPosition(c.bTo.x, c.bTo.y, c.bTo.z);
        }
        EXPECT_GT(Compare(), 0);
    }
}

TEST_F(BroadPhaseTest, AnObjectListedUnderAnotherIsStillTried) {
    for (Scene& scene : scenes) {
        L3DObject* parent = Make(scene, 2);
        L3DObject* child = Make(scene, 2);
        L3DObject* mover = Make(scene, 2);
        for (L3DObject* object : scene.all)
            object->SetCollision(1);
        child->SetParent(parent, 1);
        scene.world->AddObject(child, 0);
        parent->SetPosition(0, 100, 0);
        for (L3DObject* object : scene.all)
            object->ComputeWorldTransform(*scene.camera);
        Settle(scene);
        mover->SetPosition(0, 200, 0);
        mover->ComputeWorldTransform(*scene.camera);
    }
    EXPECT_GT(Compare(), 0);
    // The child goes with its parent.
    for (Scene& scene : scenes) {
        scene.world->autoDelete = 0;
        scene.world->RemoveObject(scene.all[1]);
        scene.world->autoDelete = 1;
    }
}

} // namespace
