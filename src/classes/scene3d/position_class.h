// Position: an invisible marker placed in a World, an engine object without a mesh that
// carries every shared location method. Scripts use it as a stored place and as a
// target; GetPosition of any placed object makes one.
#pragma once

#include <cstdint>

#include "classes/scene3d/location_class.h"

class CIPosition final : public CILocation {
public:
    static constexpr uint32_t kClassId = kPositionClassId;

    CIPosition(CInterpretor* interpreter, const CClassRecord* record);

    void CallMethod(uint16_t methodId) override;
    // Lets go of the engine object: deleted when it never joined the world, else taken
    // out of the world unless the interpreter is tearing everything down (`flag`).
    void Destroy(int flag) override;
    // The owning World going: the engine object is forgotten and the Position marked.
    int ReleaseReferencesTo(CIBaseClassImpl* object) override;
    // (world [, x, y, z [, ax, ay, az]]) or (world, object); error 54 without a World.
    void Create() override;
    // Joins the world the first time, then the World's views repaint.
    void LocationChanged() override;

    // A new registered Position in the world of `world` (which may be null) at the
    // position and angles of `place` (the origin for null). Error 15 when out of memory.
    static CIPosition* MakeAt(CInterpretor& interpreter, CIBaseClassImpl* world,
                              const L3DLocation* place);
    static const ScriptClassInfo* GetClassInfo();

    uint32_t inWorld = 0;

private:
    void MakeEngineObject(const L3DLocation* place, CIBaseClassImpl* world);
};
