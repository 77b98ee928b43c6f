// The movement controllers: each moves or turns one placed object a little at every tick
// of the interpreter, measured against timeGetTime. An object owns at most one, made by
// CILocation::SetMovement from the kind a script method asks for; a running controller
// sits on the interpreter's list of running controllers, whose walk calls Step after the
// gravity updates of the moving locations.
//
// Stop only takes a controller off the running list: it stays with its owner, and the
// next start of the same kind puts it back. It is deleted when the owner asks for another
// kind, when the owner goes, or when its target goes.
#pragma once

#include <cstdint>

#include "script/runtime/time_driven.h"

class CILocation;
class CInterpretor;
class L3DLocation;

// A number the script left out, as the float accessor reads it.
inline constexpr float kMissingNumber = -99999.0f;

// The owner's place and angles before a step, to tell whether the step changed them.
struct CTDCheckPosition {
    void Snapshot(const L3DLocation& location);
    // Angles first, then the position, each coordinate compared for equality.
    bool Changed(const L3DLocation& location) const;

    float position[3] = {};
    float angles[3] = {};
};

class CTDMController : public CTDMovements {
public:
    enum Kind : uint32_t {
        kNone = 0,
        kSimple = 1,
        kFollow = 2,
        kLookAt = 3,
        kMoveAround = 4,
        kWalk = 5,
    };

    CTDMController(CILocation* owner, uint32_t kind);
    // Clears the owner's controller and kind (without deleting again) and leaves the
    // running list.
    ~CTDMController() override;
    CTDMController(const CTDMController&) = delete;
    CTDMController& operator=(const CTDMController&) = delete;

    // Off the running list, paused cleared, and the owner's OnStopMovement posted.
    void Stop();
    // While paused every step returns at once.
    void Pause();
    void Resume();
    // True when the controller's target is `object`.
    virtual bool Targets(const CIBaseClassImpl* object) const;
    // The owner, or the target.
    int Involves(const CIBaseClassImpl* object) const override;
    bool IsRunning() const { return runningHandle != 0; }

    uint32_t runningHandle = 0;
    CILocation* const owner;
    CInterpretor* const interpreter;
    const uint32_t kind;
    uint32_t paused = 0;

protected:
    virtual void OnPause() {}
    virtual void OnStop() {}
    virtual void OnResume() {}
    // Joins the running list when not on it.
    void Run();
    // The owner's engine location, read afresh: a detached owner has none.
    L3DLocation* OwnerLocation() const;
    // The owner's views repaint when the step changed its place or angles.
    void EndStep(const CTDCheckPosition& before) const;
};

// The controllers that work towards another placed object (follow, look at, orbit).
class CTDMTargeted : public CTDMController {
public:
    CTDMTargeted(CILocation* owner, uint32_t kind);
    ~CTDMTargeted() override;
    bool Targets(const CIBaseClassImpl* object) const override;
    // `object` is going: every controller with it as target is deleted, running or not
    // (a stopped one may still be stepped by Follow() or started again).
    static void DeleteTargeting(const CIBaseClassImpl* object);

protected:
    // The target's engine location, read afresh: null without a target or when the
    // target's engine object is gone.
    L3DLocation* TargetLocation() const;

    CILocation* target = nullptr;

private:
    // Every targeted controller, linked for DeleteTargeting.
    static CTDMTargeted* first_;
    CTDMTargeted* previous_ = nullptr;
    CTDMTargeted* next_ = nullptr;
};
