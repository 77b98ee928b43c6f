// A world holding one of every kind of thing a frame draws or brings up to date, laid out in
// front of a camera at the origin looking down +z: a brick, a sphere with two clones,
// blended quads, an animated object with a moving child, a static floor in the octree, two
// point lights, a blob, a zone, a sound, two sprites (one hidden) and a background.
#pragma once

#include <initializer_list>

#include "engine3d/scene/blobs/blob.h"
#include "engine3d/scene/blobs/blob_list.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/key_track.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/objects/primitives.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/sprites/sprite.h"
#include "engine3d/scene/zones/sound.h"
#include "engine3d/scene/zones/zone.h"

struct ReferenceScene {
    L3DCamera* camera = nullptr;
    L3DObject_Animation* walker = nullptr;
    L3DObject* child = nullptr;
};

namespace reference_scene {

struct Corner {
    float x, y, z;
};

inline LPolygon* AddPolygon(LAPICLBK& device, L3DObject& object,
                            std::initializer_list<Corner> corners, LMaterial* material) {
    LPolygon* polygon = device.CreatePolygon(&object, 2, 0);
    polygon->capacity = int32_t(corners.size());
    for (const Corner& c : corners)
        polygon->AddNewVertex(c.x, c.y, c.z, 0, 0, 1, 1);
    object.AddPolygon(polygon, 0);
    if (material != nullptr) polygon->SetMaterial(material);
    return polygon;
}

// Static geometry merged into the octree is batched by material, but a batch takes only
// triangles: a white quad (left of the view's centre) beside a red triangle (right of it),
// made static and merged, shows whether the renderer also draws the faces no batch holds.
inline void AddStaticQuadBesideTriangle(LAPICLBK& device, L3DWorld& world) {
    LMaterial* white = world.materials.CreateMaterial("White", nullptr, 0xFFFFFF, 0, nullptr);
    LMaterial* red = world.materials.CreateMaterial("Red", nullptr, 0x0000FF, 0, nullptr);
    white->SetFlat(1);
    red->SetFlat(1);
    auto* walls = new L3DObject("Walls", &world, nullptr);
    AddPolygon(device, *walls, {{-60, -20, 100}, {-10, -20, 100}, {-10, 20, 100}, {-60, 20, 100}},
               white);
    AddPolygon(device, *walls, {{10, -20, 100}, {60, -20, 100}, {60, 20, 100}}, red);
    world.AddObject(walls, 0);
    walls->MakeStatic(0);
    world.Optimize();
}

// A screen showing what a second camera sees: a red wall far to the side of the view is
// seen only by the eye, whose frame is the screen's camera texture. The texture starts
// black, so red in the middle of the view can only come from the eye.
struct CameraTextureScene {
    L3DCamera* view;
    LMaterial* screen;
    // What making the camera texture answered: 0 when it was made.
    int made;
};

inline CameraTextureScene AddCameraTextureScene(LAPICLBK& device, L3DWorld& world) {
    L3DCamera* view = world.CreateCamera(0);
    L3DCamera* eye = world.CreateCamera(0);
    eye->SetPosition(10000, 0, 0);
    LMaterial* red = world.materials.CreateMaterial("Red", nullptr, 0x0000FF, 0, nullptr);
    red->SetFlat(1);
    auto* wall = new L3DObject("Wall", &world, nullptr);
    AddPolygon(device, *wall,
               {{6000, -4000, 1000}, {14000, -4000, 1000}, {14000, 4000, 1000}, {6000, 4000, 1000}},
               red);
    world.AddObject(wall, 1);
    LMaterial* screen = world.materials.CreateMaterial("Screen", nullptr, 0xFFFFFF, 0, nullptr);
    const int made = screen->MakeCameraTexture(0, eye, 64, 64);
    screen->SetMapped(1);
    auto* tv = new L3DObject("Screen", &world, nullptr);
    // Static objects of a hardware back end's world draw their triangles in batches.
    AddPolygon(device, *tv, {{-30, -30, 200}, {30, -30, 200}, {30, 30, 200}}, screen);
    AddPolygon(device, *tv, {{-30, -30, 200}, {30, 30, 200}, {-30, 30, 200}}, screen);
    world.AddObject(tv, 0);
    tv->MakeStatic(0);
    world.Optimize();
    return {view, screen, made};
}

} // namespace reference_scene

inline ReferenceScene BuildReferenceScene(L3DWorld& world, LAPICLBK& device) {
    using reference_scene::AddPolygon;
    ReferenceScene scene;
    scene.camera = world.CreateCamera(0);
    scene.camera->SetViewSize(640, 480);

    LTexture* sky = device.CreateTexture(&world, "Sky", nullptr);
    world.textures.AddTexture(sky);
    sky->AllocatePixels(nullptr, 256, 128, 16);
    world.SetBackgroundMaterial(world.materials.CreateMaterial("Sky", sky, 0, 0, nullptr));
    world.SetBackgroundParams(1, 1, 2, 1);
    LMaterial* red = world.materials.CreateMaterial("Red", nullptr, 0xFF0000, 0, nullptr);
    LMaterial* glass = world.materials.CreateMaterial("Glass", nullptr, 0x00FF00, 0, nullptr);
    glass->SetAlphaValue(128);

    L3DObject* brick = CreateBrickObject(&world, 20, 20, 20);
    world.AddObject(brick, 1);
    brick->SetPosition(-40, 0, 200);
    brick->SetAngles(0, 30, 0, 0);
    L3DObject* sphere = CreateSphereObject(&world, 10, 10, 10, 8, 6);
    world.AddObject(sphere, 1);
    sphere->SetPosition(40, 0, 200);
    L3DObject* left = sphere->Clone(nullptr);
    left->SetPosition(-60, 30, 320);
    L3DObject* right = sphere->Clone(nullptr);
    right->SetPosition(60, 30, 320);

    // Two quads, one behind the other, and a third sharing the far one's bucket.
    auto* panes = new L3DObject("Panes", &world, nullptr);
    AddPolygon(device, *panes, {{-20, -20, 150}, {20, -20, 150}, {20, 20, 150}, {-20, 20, 150}},
               glass);
    AddPolygon(device, *panes, {{-30, -10, 260}, {0, -10, 260}, {0, 10, 260}, {-30, 10, 260}},
               glass);
    AddPolygon(device, *panes, {{5, -10, 261}, {30, -10, 261}, {30, 10, 261}, {5, 10, 261}}, glass);
    world.AddObject(panes, 1);

    // An animated object whose child moves from x = -10 to x = 10 over frames 0 to 10.
    auto* walker = scene.walker = new L3DObject_Animation("Walker", &world, nullptr);
    world.AddObject(walker, 1);
    walker->SetPosition(0, -30, 240);
    walker->Sequences()->flags = 0;
    walker->Sequences()->SetSequence("Main", 0, 0, 10, 0, 0, 0, 0);
    walker->Sequences()->SelectSequence("Main");
    scene.child = new L3DObject("Arm", &world, nullptr);
    AddPolygon(device, *scene.child, {{0, 0, 0}, {8, 0, 0}, {0, 8, 0}}, red);
    world.AddObject(scene.child, 1);
    LKeyTrack** tracks = scene.child->keyTracks->tracks;
    tracks[kTrackTranslation] = LKeyTrack::Create();
    tracks[kTrackRotation] = LKeyTrack::Create();
    for (int32_t frame : {0, 10}) {
        LKey* move = LKeyTrack::CreateKey();
        AppendKey(tracks[kTrackTranslation], move, frame);
        move->value[0] = frame == 0 ? -10.0f : 10.0f;
        LKey* turn = LKeyTrack::CreateKey();
        AppendKey(tracks[kTrackRotation], turn, frame);
        turn->orientation[0] = 1;
    }
    ComputeTCBTangents(tracks[kTrackTranslation]);
    ComputeRotationTangents(tracks[kTrackRotation]);
    scene.child->SetParent(walker, 1);

    // A floor below everything, merged into the octree.
    auto* floor = new L3DObject("Floor", &world, nullptr);
    AddPolygon(device, *floor, {{-200, -50, 100}, {200, -50, 100}, {-200, -50, 500}}, red);
    AddPolygon(device, *floor, {{200, -50, 100}, {200, -50, 500}, {-200, -50, 500}}, red);
    world.AddObject(floor, 0);
    floor->MakeStatic(0);
    world.Optimize();

    const float dynamicAt[3] = {0, 20, 180}, staticAt[3] = {-50, 10, 220};
    world.lights->CreateLight(LBaseLight::kDynamicKind, dynamicAt, 120, 200, 0xFFE0C0, 0);
    world.lights->CreateLight(LBaseLight::kStaticKind, staticAt, 90, 150, 0x4060FF, 0);

    L3DBlob* blob = world.blobs.CreateBlob(nullptr, "Halo", 12, 12, nullptr, 0);
    blob->SetPosition(20, 25, 230);
    L3DZone* zone = world.zones.CreateZone(nullptr, 40, 40, 40, 1, 0);
    zone->SetPosition(0, 0, 200);
    L3DSound* sound = world.sounds.CreateSound("bell.wav", 0);
    sound->SetPosition(30, 0, 260);

    LSprite* shown = world.sprites.CreateSprite(&world, nullptr);
    shown->SetBounds(10, 10, 64, 32);
    LSprite* hidden = world.sprites.CreateSprite(&world, nullptr);
    hidden->SetBounds(100, 10, 64, 32);
    hidden->SetDrawMode(hidden->drawMode | LSprite::kHidden);
    return scene;
}
