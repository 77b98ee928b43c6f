#include "classes/scene3d/movement/walk_movement.h"

#include <algorithm>
#include <cfloat>

#include "classes/input/game_input_class.h"
#include "classes/scene3d/location_class.h"
#include "engine3d/scene/animation_sequences.h"
#include "engine3d/scene/location.h"
#include "engine3d/scene/objects/object.h"
#include "input/game_input_manager.h"
#include "platform/kernel/clock.h"
#include "platform/user/input/keyboard_state.h"
#include "script/interpreter/interpretor.h"

namespace {

struct ActionSource {
    const char* name;
    int key;
};

constexpr ActionSource kActions[CTDMWalk::kActionCount] = {
    {"Up", VK_UP},     {"Down", VK_DOWN},   {"Left", VK_LEFT}, {"Right", VK_RIGHT},
    {"Bend", VK_NEXT}, {"Raise", VK_PRIOR}, {"Run", VK_SHIFT}, {"Strafe", VK_MENU},
};

constexpr double kSeconds = 0.001;

// A distance or angle as the engine's float: saturated beyond the float range (a long
// stall times a large speed), where the conversion would be undefined.
float Saturate(double value) {
    return static_cast<float>(std::clamp(value, double(-FLT_MAX), double(FLT_MAX)));
}

float Given(float number, float missing) {
    return number == kMissingNumber ? missing : number;
}

} // namespace

void CTDMWalk::Configure(int32_t count, const float (&numbers)[4]) {
    slot_ = count < 1 ? 0 : count - 1;
    lastStep_ = timeGetTime();
    forwardSpeed_ = Given(numbers[0], 250.0f);
    sideSpeed_ = Given(numbers[1], 250.0f);
    turnSpeed_ = Given(numbers[2], 0.7853982f);
    runFactor_ = Given(numbers[3], 3.0f);
    Run();
}

void CTDMWalk::ReadInput() {
    // The run's GameInput object, read afresh: the script may delete it.
    auto* gameInput = static_cast<CIGameInput*>(interpreter->GetSingleton(CIGameInput::kClassId));
    GameInputManager* manager = gameInput != nullptr ? gameInput->Manager() : nullptr;
    if (manager != nullptr && manager->IsStarted()) {
        // A slot beyond the players reads 0.
        for (uint32_t i = 0; i < kActionCount; ++i)
            values_[i] = manager->GetActionValue(slot_, kActions[i].name);
        return;
    }
    const bool active = interpreter->IsApplicationActive();
    for (uint32_t i = 0; i < kActionCount; ++i)
        values_[i] = active && GetAsyncKeyState(kActions[i].key) < 0 ? 0xFFFF : 0;
}

void CTDMWalk::Step(uint32_t now) {
    if (paused != 0) return;
    const uint32_t dt = now - lastStep_;
    if (dt == 0) return;
    lastStep_ = now;
    L3DLocation* location = OwnerLocation();
    if (location == nullptr) return;
    ReadInput();
    CTDCheckPosition before;
    before.Snapshot(*location);
    const double t = Pressed(kRun) ? double(dt) * runFactor_ : double(dt);
    const bool strafe = Pressed(kStrafe);
    const float side = Saturate(t * sideSpeed_ * kSeconds);
    const float forward = Saturate(t * forwardSpeed_ * kSeconds);
    const float turn = Saturate(t * turnSpeed_ * kSeconds);
    if (Pressed(kLeft)) {
        if (strafe)
            location->MoveLeft(side);
        else
            location->TurnLeft(turn);
    }
    if (Pressed(kRight)) {
        if (strafe)
            location->MoveRight(side);
        else
            location->TurnRight(turn);
    }
    if (Pressed(kRaise)) location->TurnUp(turn);
    if (Pressed(kBend)) location->TurnDown(turn);
    if (Pressed(kUp)) {
        if (strafe) {
            location->MoveUp(side);
        } else {
            location->Move(forward);
            StepFrame(1);
        }
    }
    if (Pressed(kDown)) {
        if (strafe) {
            location->MoveDown(side);
        } else {
            location->Move(-forward);
            StepFrame(-1);
        }
    }
    EndStep(before);
}

void CTDMWalk::StepFrame(int32_t by) const {
    // Animated objects and animated clones have a key-track animation to walk through.
    LAnimationIK* animation =
        owner->engineObject != nullptr ? owner->engineObject->Sequences() : nullptr;
    if (animation != nullptr) animation->SetFrame(animation->currentFrame + by);
}
