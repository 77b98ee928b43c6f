#include "engine3d/scene/camera/camera_list.h"

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/scene_codes.h"
#include "platform/kernel/cp1252.h"

namespace {

L3DCamera* CameraOf(const LListNode* node) {
    return static_cast<L3DCamera*>(node->item);
}

bool NameEquals(const L3DCamera* camera, const char* name) {
    char shown[260];
    camera->GetName(shown, sizeof shown);
    return name != nullptr && platform::Cp1252EqualNoCase(shown, name);
}

} // namespace

LBaseCamera::~LBaseCamera() {
    RemoveCameraAt(-1);
}

L3DCamera* LBaseCamera::CreateCamera(uint32_t flags) {
    auto* camera = new L3DCamera(world, flags);
    if (camera->IsVisible() && camerasShown == 0) camera->objectFlags |= L3DObject::kHiddenFlag;
    list.InsertAfter(camera, nullptr);
    return camera;
}

int LBaseCamera::RemoveCamera(L3DCamera* camera) {
    LListNode* node = list.FindNode(camera);
    if (node == nullptr) return kSceneCameraMissing;
    list.RemoveNode(node, 1);
    if (world != nullptr && world->currentCamera == camera) world->currentCamera = nullptr;
    delete camera;
    return kSceneOk;
}

int LBaseCamera::RemoveCameraAt(int32_t index) {
    if (index == -1) {
        while (LListNode* node = list.GetHead())
            RemoveCamera(CameraOf(node));
        return kSceneOk;
    }
    LListNode* node = index >= 0 ? list.GetNodeAt(uint32_t(index)) : nullptr;
    return node == nullptr ? kSceneCameraMissing : RemoveCamera(CameraOf(node));
}

L3DCamera* LBaseCamera::FindByName(const char* name) const {
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next)
        if (NameEquals(CameraOf(node), name)) return CameraOf(node);
    return nullptr;
}

L3DCamera* LBaseCamera::FindNextByName(const L3DCamera* after, const char* name) const {
    LListNode* node = list.FindNode(after);
    for (node = node != nullptr ? node->next : nullptr; node != nullptr; node = node->next)
        if (NameEquals(CameraOf(node), name)) return CameraOf(node);
    return nullptr;
}

void LBaseCamera::NotifyAll(int flag) {
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next)
        CameraOf(node)->SetRotationChanged(flag);
}

void LBaseCamera::PickAll(L3DCamera& camera, const float* point, L3DObject** best,
                          float* distance) {
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next) {
        L3DCamera* other = CameraOf(node);
        if (other == &camera) continue;
        other->ComputeWorldTransform(camera);
        if (other->IsVisibleThisFrame() != 0)
            other->PickAtScreenPoint(camera, point, best, distance);
    }
}
