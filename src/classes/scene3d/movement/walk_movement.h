// The first-person walk: the arrow keys, Page Up and Page Down, Shift and Alt, or the
// game-input actions of the same names for one player once game input has started, move
// and turn the owner at speeds per second. It never ends by itself.
#pragma once

#include <cstdint>

#include "classes/scene3d/movement/movement_controller.h"

class CTDMWalk final : public CTDMController {
public:
    // The actions in the order their values are read.
    enum Action : uint32_t {
        kUp,
        kDown,
        kLeft,
        kRight,
        kBend,
        kRaise,
        kRun,
        kStrafe,
        kActionCount,
    };

    explicit CTDMWalk(CILocation* owner) : CTDMController(owner, kWalk) {}
    // count: the player (1 the first); numbers: forward and side speed (250 units a second
    // when missing), turn speed (π/4 radians a second), run factor (3). Starts running.
    void Configure(int32_t count, const float (&numbers)[4]);
    void Step(uint32_t now) override;

private:
    void ReadInput();
    bool Pressed(Action action) const { return values_[action] != 0; }
    // The owner's animation, when it has one, a frame on or back.
    void StepFrame(int32_t by) const;

    int32_t values_[kActionCount] = {};
    float forwardSpeed_ = 0;
    float sideSpeed_ = 0;
    float turnSpeed_ = 0;
    float runFactor_ = 0;
    int32_t slot_ = 0;
    uint32_t lastStep_ = 0;
};
