// The world light's record: a direction, an intensity, a night level and a colour. Shadows
// are cast along its vector.
#pragma once

#include <cstdint>

#include "engine3d/scene/clbk_object.h"

class ChunkWriter;
class L3DLight;
class L3DObject;
class L3DPoint;
class L3DWorld;

class L3DLightAmbiant : public LManageCLBKObject {
public:
    L3DLightAmbiant(L3DWorld* world, float x, float y, float z, int32_t intensity, int32_t night,
                    uint32_t rgb, LCLBKObject* link);

    // Each change relights the static colours of the scene.
    // Stores the vector and its direction (a length not above 0 counts as 0.0001).
    void SetVector(float x, float y, float z);
    void SetParameters(float x, float y, float z, int32_t intensity, int32_t night);
    const float* GetVector() const { return vector; }
    void SetIntensity(int32_t value);
    void SetNight(int32_t night);
    int32_t GetNight() const { return 100 - brightness; }
    void SetColor(uint32_t rgb);
    uint32_t GetColor() const;

    // The world light and every static light of the world give the static colour, every
    // dynamic light is added for the frame colour.
    void LightObject(L3DObject& object) const;
    // With reset, the frame colours restart from the static ones; the lights are added.
    void RelightDynamic(L3DObject& object, L3DLight* const* lights, int n, int reset) const;
    // The world light and the given static lights on the static colours.
    void LightPoints(L3DObject& object, L3DLight* const* lights, int n) const;
    // "AMLI": the night level, the intensity, the vector as set and the colour; 0 written.
    int Save(ChunkWriter& writer) const;
    // The world light's shade of one point of an object whose world matrix is given.
    void LightPoint(const float* worldMatrix, L3DPoint& point) const;

    float vector[3] = {};
    float direction[3] = {};
    // 100 - night: the brightness percentage.
    int32_t brightness = 100;
    int32_t intensity = 0;
    uint8_t color[3] = {};
    L3DWorld* world;
};
