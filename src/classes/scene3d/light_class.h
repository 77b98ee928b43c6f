// Light: a point light of a World, static (colour and intensity) or dynamic (with a radius
// of influence as well), placed like every placed object. Every engine light of a world
// answers a Light, made on first use.
#pragma once

#include <cstdint>

#include "classes/scene3d/location_class.h"

class L3DLight;

class CILight final : public CILocation {
public:
    static constexpr uint32_t kClassId = kLightClassId;
    static constexpr int32_t kStaticKind = 4;
    static constexpr int32_t kDynamicKind = 2;
    // The script's kind constants.
    static constexpr uint32_t kStatic = 0x89AF0001u;
    static constexpr uint32_t kDynamic = 0x89AF0002u;

    CILight(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    // Takes the light out of the world's light list and deletes it, unless the
    // interpreter is tearing everything down (`flag`).
    void Destroy(int flag) override;
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // World, place object, colour, intensity, radius and kind, in any order (see
    // docs/classes/Light.md); errors 14, 50, 55.
    void Create() override;
    void LocationChanged() override;

    static const ScriptClassInfo* GetClassInfo();
    // The wrapper made for a light the script did not make: kind 4.
    static CILocation* MakeWrapper(CInterpretor& interpreter, const CClassRecord* record);

    void SetIntensity();
    void SetRadius();
    void GetColor();
    void GetIntensity();
    void GetRadius();
    void SetColor();
    void HideBox();
    void ShowBox();
    void IsBoxVisible();

    int32_t kind = kStaticKind;

private:
    L3DLight* Light() const;
    static const ScriptMethod<CILight> kMethods[];
};
