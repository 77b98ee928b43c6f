#include "engine3d/scene/objects/world_light.h"

#include <algorithm>
#include <cmath>

L3DLightAmbiant::L3DLightAmbiant(L3DWorld* owner, float x, float y, float z, int32_t level,
                                 int32_t night, uint32_t rgb, LCLBKObject* link)
    : LManageCLBKObject(link), brightness(100 - std::clamp(night, 0, 100)),
      intensity(std::clamp(level, 0, 255)), color{uint8_t(rgb & 0xFF), uint8_t(rgb >> 8 & 0xFF),
                                                  uint8_t(rgb >> 16 & 0xFF)},
      world(owner) {
    SetVector(x, y, z);
}

void L3DLightAmbiant::SetVector(float x, float y, float z) {
    vector[0] = x;
    vector[1] = y;
    vector[2] = z;
    double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    if (!(length > 0)) length = 0.0001;
    for (int i = 0; i < 3; ++i)
        direction[i] = float(vector[i] / length);
}
