#include "classes/scene3d/movement/target_movements.h"

#include <algorithm>
#include <cmath>

#include "classes/scene3d/location_class.h"
#include "engine3d/scene/angle.h"

namespace {

constexpr double kTwoPi = 6.283185307178;

float Given(float number, float missing) {
    return number == kMissingNumber ? missing : number;
}

// Into the open interval (-2π, 2π).
float WrapAngle(float a) {
    return static_cast<float>(std::fmod(double(a), kTwoPi));
}

} // namespace

void CTDMFollow::Configure(CILocation* newTarget, const float (&numbers)[8]) {
    target = newTarget;
    L3DLocation* location = OwnerLocation();
    L3DLocation* followed = TargetLocation();
    record_.target = followed;
    float distance = numbers[0];
    if (distance == kMissingNumber)
        distance =
            location != nullptr && followed != nullptr ? location->GetDistance(*followed) : 0;
    // Kept whole; a distance beyond the integers is held at their ends, and one that is no
    // number is 0.
    record_.distance =
        std::isnan(distance)
            ? 0
            : static_cast<int32_t>(std::clamp(double(distance), -2147483648.0, 2147483647.0));
    record_.divisor = Given(numbers[1], 0);
    for (int i = 0; i < 3; ++i)
        record_.offset[i] = Given(numbers[2 + i], 0);
    record_.ComputeOrbitPosition(Given(numbers[5], 0), Given(numbers[6], 0), Given(numbers[7], 0));
    Run();
}

void CTDMFollow::Step(uint32_t) {
    if (paused != 0) return;
    L3DLocation* location = OwnerLocation();
    if (location == nullptr) return;
    record_.target = TargetLocation();
    CTDCheckPosition before;
    before.Snapshot(*location);
    location->StepTowards(&record_);
    EndStep(before);
}

void CTDMLookAt::Configure(CILocation* newTarget, const float (&offset)[3]) {
    target = newTarget;
    std::copy_n(offset, 3, offset_);
    Run();
}

void CTDMLookAt::Step(uint32_t) {
    if (paused != 0) return;
    L3DLocation* location = OwnerLocation();
    if (location == nullptr) return;
    L3DLocation point(offset_[0], offset_[1], offset_[2]);
    if (const L3DLocation* looked = TargetLocation()) {
        point.SetPosition(looked->position[0] + offset_[0], looked->position[1] + offset_[1],
                          looked->position[2] + offset_[2]);
    }
    CTDCheckPosition before;
    before.Snapshot(*location);
    location->LookAt(point, 0, 0xFF);
    EndStep(before);
}

CTDMMoveAround::CTDMMoveAround(CILocation* owner) : CTDMTargeted(owner, kMoveAround) {
    float missing[10];
    std::fill_n(missing, 10, kMissingNumber);
    Configure(nullptr, missing);
}

void CTDMMoveAround::Configure(CILocation* newTarget, const float (&numbers)[10]) {
    target = newTarget;
    L3DLocation* location = OwnerLocation();
    L3DLocation* orbited = TargetLocation();
    record_.target = orbited;
    float distance = numbers[0];
    if (distance == kMissingNumber) {
        distance = orbited == nullptr    ? 1000.0f
                   : location == nullptr ? 0.0f
                                         : location->GetDistance(*orbited);
    }
    record_.distance = std::fabs(distance);
    for (int i = 0; i < 3; ++i) {
        MoveAroundRecord::Axis& axis = record_.axes[i];
        axis.angle = 0;
        axis.minimum = WrapAngle(Given(numbers[1 + i], 0));
        axis.maximum = WrapAngle(Given(numbers[4 + i], 6.2831855f));
        if (axis.minimum > axis.maximum) std::swap(axis.minimum, axis.maximum);
        axis.step = Given(numbers[7 + i], 0.01f);
    }
}

void CTDMMoveAround::SetAngles(const float (&angles)[3]) {
    for (int i = 0; i < 3; ++i) {
        if (angles[i] == kMissingNumber) continue;
        MoveAroundRecord::Axis& axis = record_.axes[i];
        axis.angle = std::clamp(WrapAngle(angles[i]), axis.minimum, axis.maximum);
    }
    Run();
}

void CTDMMoveAround::Step(uint32_t) {
    if (paused != 0) return;
    L3DLocation* location = OwnerLocation();
    if (location == nullptr) return;
    record_.target = TargetLocation();
    CTDCheckPosition before;
    before.Snapshot(*location);
    location->StepAround(&record_);
    EndStep(before);
}
