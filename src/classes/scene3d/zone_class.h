// Zone: an invisible box of a World, placed and turned like any placed object, that tells
// whether a point or an object lies inside it.
#pragma once

#include <cstdint>

#include "classes/scene3d/location_class.h"

class L3DZone;

class CIZone final : public CILocation {
public:
    static constexpr uint32_t kClassId = kZoneClassId;
    static constexpr int32_t kDefaultSize = 100;

    CIZone(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    // Takes the zone out of the world's zone list and deletes it, unless the interpreter
    // is tearing everything down (`flag`).
    void Destroy(int flag) override;
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // (world [, x, y, z [, width, height, depth]]) or (world, object [, width, height,
    // depth]); error 54 without a World, 55 for a World without an engine world.
    void Create() override;
    void LocationChanged() override;

    static const ScriptClassInfo* GetClassInfo();
    // The wrapper made for a zone of a loaded world.
    static CILocation* MakeWrapper(CInterpretor& interpreter, const CClassRecord* record);

    void IsIn();
    void SetSize();
    void GetWidth();
    void GetHeight();
    void GetDepth();

private:
    L3DZone* Zone() const;
    static const ScriptMethod<CIZone> kMethods[];
};
