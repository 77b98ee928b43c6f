// One frame of a world through a camera: the camera's own movement, the scene pass that
// brings every camera, light and object up to date and queues blended polygons, the
// depth buckets drawn far to near, and the renderer's grid.
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/camera/camera_list.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/frame_state.h"
#include "engine3d/scene/render/renderer.h"

namespace {

template <typename F> void ForEachListed(const LList& list, F&& f) {
    for (LListNode* node = list.GetHead(); node != nullptr;) {
        LListNode* next = node->next;
        f(static_cast<L3DObject*>(node->item));
        node = next;
    }
}

} // namespace

void L3DCamera::DrawWorld(LRenderAPICLBK* given) {
    LRenderAPICLBK* previous = renderer;
    const uint64_t outerPass = pass_;
    renderer = given;
    if (given != nullptr && world != nullptr) {
        MatrixCopy(localMatrix, worldMatrix);
        ++frameCounter;
        // Each frame projects every shown point at least once: positions and colours may
        // have changed since the last without any flag saying so.
        StartProjectionPass();
        world->Draw(*this);
    }
    pass_ = outerPass;
    renderer = previous;
}

void LBaseCamera::UpdateForFrame(L3DCamera& current) {
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next) {
        auto* camera = static_cast<L3DCamera*>(node->item);
        if (camera == &current) {
            camera->TransformPoints(current);
            continue;
        }
        camera->SetRotationChanged(1);
        camera->ComputeWorldTransform(current);
        camera->Update(current);
        camera->Render(current);
        if ((camera->L3DLocation::flags &
             (L3DLocation::kPositionChanged | L3DLocation::kRotationChanged)) != 0)
            camera->SetRotationChanged(1);
    }
}

void L3DWorld::Draw(L3DCamera& camera) {
    currentCamera = &camera;
    if (camera.IsCollisionOn() != 0) {
        ForEachListed(cluster->dynamicObjects,
                      [&](L3DObject* object) { camera.CollideWithObject(camera, *object); });
        camera.MoveStep(camera);
    }
    if (backgroundSprite != nullptr) DrawBackground(camera);
    camera.polygonsDrawn = 0;
    if (camera.drawMode == 4) DrawScene(camera);
    if ((worldFlags & kAxisFlag) != 0) DrawAxis(camera, nullptr);
    camera.SetRotationChanged(0);
    camera.SetPositionChanged(0);
    if (LRenderAPICLBK* current = GetCurrentRenderer()) current->DrawGrid();
    sprites.DrawAll(camera);
}

void L3DWorld::DrawScene(L3DCamera& camera) {
    camera.PrepareDepthSort();
    cameras.NotifyAll(1);
    const uint32_t culling = backFaceCulling;
    backFaceCulling = 0;
    cameras.UpdateForFrame(camera);
    lights->UpdateForFrame(camera);
    zones.UpdateForFrame(camera);
    sounds.UpdateForFrame(camera);
    cameras.NotifyAll(1);
    backFaceCulling = culling;
    blobs.UpdateForFrame(camera);
    cluster->Update(camera);
    blobs.CollideAndUpdate(camera, cluster->dynamicObjects);
    cluster->DrawCluster(camera, blobs.Blobs());
    camera.DrawBuckets();
    camera.PrepareDepthSort();
}
