// The controllers that keep working towards another placed object: following it, facing
// it, and orbiting it. None ends by itself; they run until Stop or another kind.
#pragma once

#include "classes/scene3d/movement/movement_controller.h"
#include "engine3d/scene/location.h"

class CTDMFollow final : public CTDMTargeted {
public:
    explicit CTDMFollow(CILocation* owner) : CTDMTargeted(owner, kFollow) {}
    // numbers: distance (the present distance when missing, kept whole), smoothing
    // divisor, offset x, y, z in the target's frame, then three angles of the place
    // around the target; missing ones 0. Starts running.
    void Configure(CILocation* newTarget, const float (&numbers)[8]);
    void Step(uint32_t now) override;

private:
    FollowRecord record_;
};

class CTDMLookAt final : public CTDMTargeted {
public:
    explicit CTDMLookAt(CILocation* owner) : CTDMTargeted(owner, kLookAt) {}
    // Faces the target's position moved by the offset. Starts running.
    void Configure(CILocation* newTarget, const float (&offset)[3]);
    void Step(uint32_t now) override;

private:
    float offset_[3] = {};
};

class CTDMMoveAround final : public CTDMTargeted {
public:
    // Configured with every number missing and no target.
    explicit CTDMMoveAround(CILocation* owner);
    // numbers: distance (the present distance when missing, 1000 without a target),
    // minimum angles x, y, z (0), maximum angles (2π), angle steps per tick (0.01).
    void Configure(CILocation* newTarget, const float (&numbers)[10]);
    // The given angles become the present orbit angles, kept within their limits. Starts
    // running.
    void SetAngles(const float (&angles)[3]);
    void Step(uint32_t now) override;

private:
    MoveAroundRecord record_;
};
