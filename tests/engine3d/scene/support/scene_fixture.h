// A world on the recording back end, with helpers that build meshes the way readers do.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "engine3d/scene/clbk_object.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/support/recording_device.h"

struct Vec3 {
    float x, y, z;
};

class CountingLink : public LCLBKObject {
public:
    void EngineObjectDestroyed() override { ++calls; }
    int calls = 0;
};

class SceneTest : public ::testing::Test {
protected:
    // A polygon of the object's current frame made of new vertices (merged by value).
    LPolygon* AddFace(L3DObject& object, std::initializer_list<Vec3> corners, int update = 0) {
        LPolygon* polygon = device.CreatePolygon(&object, 2, 0);
        polygon->capacity = int32_t(corners.size());
        for (const Vec3& c : corners)
            polygon->AddNewVertex(c.x, c.y, c.z, 0, 0, 0, 0);
        object.AddPolygon(polygon, update);
        return polygon;
    }

    // A static face ahead of the origin showing what the mirror camera sees, which draws
    // a nested frame through that camera inside each frame; false when its texture could
    // not be made.
    bool AddMirror(L3DCamera* mirror) {
        LTexture* texture = device.CreateTexture(&world, "Mirror", nullptr);
        world.textures.AddTexture(texture);
        if (texture->AllocatePixels(mirror, 64, 64, 16) != 0) return false;
        LMaterial* material = world.materials.CreateMaterial("Mirror", texture, 0, 0, nullptr);
        material->mode |= LMaterial::kCameraTexture;
        world.specialMaterials.InsertAfter(material, nullptr);
        auto* wall = new L3DObject("Wall", &world, nullptr);
        AddFace(*wall, {{-10, -10, 100}, {10, -10, 100}, {10, 10, 100}})->SetMaterial(material);
        world.AddObject(wall, 0);
        wall->MakeStatic(1);
        return true;
    }

    RecordingDevice device;
    L3DWorld world{&device, 0, nullptr, nullptr};
};
