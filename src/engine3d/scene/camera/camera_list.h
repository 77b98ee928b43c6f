// The world's cameras.
#pragma once

#include <cstdint>

#include "foundation/containers/llist.h"

class L3DCamera;
class L3DObject;
class L3DWorld;

class LBaseCamera {
public:
    LBaseCamera() = default;
    LBaseCamera(const LBaseCamera&) = delete;
    LBaseCamera& operator=(const LBaseCamera&) = delete;
    ~LBaseCamera();

    L3DCamera* CreateCamera(uint32_t flags);
    // 4 when not listed.
    int RemoveCamera(L3DCamera* camera);
    // -1 removes every camera.
    int RemoveCameraAt(int32_t index);
    L3DCamera* FindByName(const char* name) const;
    L3DCamera* FindNextByName(const L3DCamera* after, const char* name) const;
    void NotifyAll(int flag);
    // Every other camera brought up to date and drawn for the current one.
    void UpdateForFrame(L3DCamera& current);
    // Every camera but the given one, brought up to date for it and tested when seen.
    void PickAll(L3DCamera& camera, const float* point, L3DObject** best, float* distance);

    LList list;
    L3DWorld* world = nullptr;
    uint32_t camerasShown = 1;
};
