// The timed moves and turns: two tweens that run independently, one for the angles and
// one for the position. A second start of the same tween restarts it; the controller
// stops itself, and posts OnStopMovement, when neither runs any more.
#pragma once

#include <cstdint>

#include "classes/scene3d/movement/movement_controller.h"

class CTDMSimple final : public CTDMController {
public:
    // Step kinds of the turns and of the moves; 0 tweens to a target.
    enum TurnKind : uint32_t {
        kTurnToTarget = 0,
        kTurnUp = 2,
        kTurnRight = 3,
        kTurnLeft = 4,
        kTurnDown = 5,
        kRollLeft = 6,
        kRollRight = 7,
    };
    enum MoveKind : uint32_t {
        kMoveToTarget = 0,
        kMove = 1,
        kMoveUp = 2,
        kMoveRight = 3,
        kMoveLeft = 4,
        kMoveDown = 5,
    };

    explicit CTDMSimple(CILocation* owner) : CTDMController(owner, kSimple) {}

    // From the owner's position to the target's over `ms`; 0 holds the owner on the
    // target at every step until the controller is stopped or replaced.
    void StartTranslation(const L3DLocation& target, uint32_t ms);
    // To the target's angles (the callers' convention). Relative: the target's angles are
    // a turn about the owner's own axes, shared out over the duration. Without
    // `noCorrection` a difference above π goes the other way round.
    void StartRotation(const L3DLocation& target, uint32_t ms, int relative, int noCorrection);
    void StartTransform(const L3DLocation& target, uint32_t ms);
    void StartTurnStep(uint32_t stepKind, float angle, uint32_t ms);
    void StartMoveStep(uint32_t stepKind, float distance, uint32_t ms);
    // When both tweens end, `object`'s animation is stopped.
    void StopAnimationAtEnd(CILocation* object) { animationToStop = object; }

    void Step(uint32_t now) override;

private:
    static constexpr uint32_t kRunning = 1;
    static constexpr uint32_t kImmediate = 2;

    struct Tween {
        uint32_t state = 0;
        uint32_t start = 0;
        uint32_t lastStep = 0;
        uint32_t duration = 0;
        uint32_t stepKind = 0;
        float amount = 0;
        float done = 0;
        int relative = 0;
        float from[3] = {};
        float delta[3] = {};
        float to[3] = {};

        bool IsRunning() const { return (state & kRunning) != 0; }
        void Begin(uint32_t ms);
    };

    void OnPause() override;
    void OnStop() override;
    void OnResume() override;
    // Each answers false when the whole step is to return (no time gone yet).
    bool StepRotation(L3DLocation& location, uint32_t now);
    bool StepTranslation(L3DLocation& location, uint32_t now);
    static void TurnBy(L3DLocation& location, uint32_t stepKind, float angle);
    static void MoveBy(L3DLocation& location, uint32_t stepKind, float distance);

    Tween rotation_;
    Tween translation_;
    CILocation* animationToStop = nullptr;
    uint32_t pausedAt_ = 0;
};
