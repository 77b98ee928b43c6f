// What the interpreter's tick drives besides animations: things that move by themselves
// (objects under gravity, scrolling textures) and movement controllers. The 3D classes
// derive from these; the interpreter only lists them and calls them with the time of the
// tick.
#pragma once

#include <cstdint>

class CIBaseClassImpl;

class CInterrupt {
public:
    // Moves by the time gone since `lastTick`; the interpreter then sets `lastTick`.
    virtual void Tick(uint32_t now) = 0;

    // timeGetTime of the last tick (stamped when the object joins the list).
    uint32_t lastTick = 0;

protected:
    ~CInterrupt() = default;
};

class CTDMovements {
public:
    virtual ~CTDMovements() = default;
    // Takes the step due at `now`.
    virtual void Step(uint32_t now) = 0;
    // Non-zero when the controller moves `object` or follows it (its owner or target).
    virtual int Involves(const CIBaseClassImpl* object) const = 0;
};
