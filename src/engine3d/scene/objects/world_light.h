// The world light's record: a direction, an intensity, a night level and a colour. Shadows
// are cast along its vector.
#pragma once

#include <cstdint>

#include "engine3d/scene/clbk_object.h"

class L3DWorld;

class L3DLightAmbiant : public LManageCLBKObject {
public:
    L3DLightAmbiant(L3DWorld* world, float x, float y, float z, int32_t intensity, int32_t night,
                    uint32_t rgb, LCLBKObject* link);

    // Stores the vector and its direction (a length not above 0 counts as 0.0001).
    void SetVector(float x, float y, float z);

    float vector[3] = {};
    float direction[3] = {};
    // 100 - night: the brightness percentage.
    int32_t brightness = 100;
    int32_t intensity = 0;
    uint8_t color[3] = {};
    L3DWorld* world;
};
