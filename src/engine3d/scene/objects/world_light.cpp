#include "engine3d/scene/objects/world_light.h"

#include <algorithm>

L3DLightAmbiant::L3DLightAmbiant(L3DWorld* owner, float x, float y, float z, int32_t level,
                                 int32_t night, uint32_t rgb, LCLBKObject* link)
    : LManageCLBKObject(link), brightness(100 - std::clamp(night, 0, 100)),
      intensity(std::clamp(level, 0, 255)), color{uint8_t(rgb & 0xFF), uint8_t(rgb >> 8 & 0xFF),
                                                  uint8_t(rgb >> 16 & 0xFF)},
      world(owner) {
    SetVector(x, y, z);
}
