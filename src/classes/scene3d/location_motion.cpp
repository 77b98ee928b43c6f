// The shared methods that run the movement controllers: the object's controller of each
// kind, following, facing and orbiting another object, the walk, and stopping, pausing
// and resuming whatever runs.
#include <algorithm>

#include "classes/scene3d/location_class.h"
#include "classes/scene3d/movement/simple_movement.h"
#include "classes/scene3d/movement/target_movements.h"
#include "classes/scene3d/movement/walk_movement.h"
#include "engine3d/scene/angle.h"
#include "engine3d/scene/location.h"
#include "platform/kernel/clock.h"
#include "script/interpreter/interpretor.h"

namespace {

// Arguments first to first + N - 1 as numbers, kMissingNumber where left out.
template <size_t N> void ReadNumbers(CInterpretor& interpreter, uint32_t first, float (&out)[N]) {
    for (size_t i = 0; i < N; ++i) {
        const double value = interpreter.GetArgFloat(first + uint32_t(i));
        out[i] = static_cast<float>(std::clamp(value, -3.4e38, 3.4e38));
    }
}

CTDMController* MakeController(CILocation* owner, uint32_t kind) {
    switch (kind) {
    case CTDMController::kSimple:
        return new CTDMSimple(owner);
    case CTDMController::kFollow:
        return new CTDMFollow(owner);
    case CTDMController::kLookAt:
        return new CTDMLookAt(owner);
    case CTDMController::kMoveAround:
        return new CTDMMoveAround(owner);
    case CTDMController::kWalk:
        return new CTDMWalk(owner);
    default:
        return nullptr;
    }
}

} // namespace

CTDMController* CILocation::SetMovement(uint32_t kind) {
    if (controller != nullptr && kind == controllerKind) return controller;
    ClearController(true);
    controller = MakeController(this, kind);
    if (controller != nullptr) controllerKind = kind;
    return controller;
}

void CILocation::ClearController(bool deleteIt) {
    CTDMController* old = controller;
    controller = nullptr;
    controllerKind = 0;
    if (deleteIt) delete old;
}

CTDMSimple& CILocation::SimpleController() {
    return *static_cast<CTDMSimple*>(SetMovement(CTDMController::kSimple));
}

void CILocation::StartAngleChange(const float* change, float sign, uint32_t ms) {
    const float present[3] = {location->GetXAngle(), location->GetYAngle(), location->GetZAngle()};
    float sum[3];
    for (int i = 0; i < 3; ++i)
        sum[i] = NormalizeAngle(present[i] + NormalizeAngle(sign * change[i]));
    L3DLocation target;
    target.SetAngles(sum[0], sum[1], sum[2], 0);
    SimpleController().StartRotation(target, ms, 0, 0);
}

void CILocation::Follow() {
    if (interpreter->GetArgCount() == 0) {
        // Another step of whatever controller the object has, now.
        if (controller != nullptr) controller->Step(timeGetTime());
        return;
    }
    CILocation* target = GetLocationArg(0);
    float numbers[8];
    ReadNumbers(*interpreter, 1, numbers);
    if (location == nullptr) return;
    static_cast<CTDMFollow*>(SetMovement(CTDMController::kFollow))->Configure(target, numbers);
}

void CILocation::LookAt() {
    CILocation* target = GetLocationArg(0);
    float offset[3];
    ReadNumbers(*interpreter, 1, offset);
    for (float& number : offset) {
        if (number == kMissingNumber) number = 0;
    }
    if (location == nullptr) return;
    static_cast<CTDMLookAt*>(SetMovement(CTDMController::kLookAt))->Configure(target, offset);
}

void CILocation::MoveAround() {
    CILocation* target = GetLocationArg(0);
    float limits[10];
    float angles[3];
    ReadNumbers(*interpreter, 1, limits);
    ReadNumbers(*interpreter, 11, angles);
    if (location == nullptr) return;
    auto* orbit = static_cast<CTDMMoveAround*>(SetMovement(CTDMController::kMoveAround));
    orbit->Configure(target, limits);
    orbit->SetAngles(angles);
}

void CILocation::Walk() {
    const int32_t count = interpreter->IsArgDefault(0) ? 1 : interpreter->GetArgInt(0);
    if (count < 1) interpreter->RaiseError(14);
    float numbers[4];
    ReadNumbers(*interpreter, 1, numbers);
    if (location == nullptr) return;
    static_cast<CTDMWalk*>(SetMovement(CTDMController::kWalk))->Configure(count, numbers);
}

void CILocation::Stop() {
    if (controller != nullptr) controller->Stop();
}

void CILocation::Pause() {
    if (controller != nullptr) controller->Pause();
}

void CILocation::Resume() {
    if (controller != nullptr) controller->Resume();
}

void CILocation::OnStopMovement() {
    onStopMovement = interpreter->ReadHandlerAssignment();
}
