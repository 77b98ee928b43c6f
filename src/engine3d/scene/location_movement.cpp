#include <cmath>

#include "engine3d/scene/angle.h"
#include "engine3d/scene/location.h"
#include "engine3d/scene/matrix.h"

namespace {

constexpr double kPiFloat = 3.1415927f;
constexpr double kHalfPiFloat = 1.5707964f;
constexpr double kThreeHalvesPiFloat = 4.712389f;

} // namespace

void FollowRecord::ComputeOrbitPosition(float ax, float ay, float az) {
    bool targetMirrored = target != nullptr && target->mirrored != 0;
    if (targetMirrored) {
        ax = -ax;
        az = -az;
    }
    float rotation[16];
    MatrixMakeRotation(NormalizeAngle(ax), NormalizeAngle(ay), NormalizeAngle(az), rotation);
    float z = static_cast<float>(targetMirrored ? double(offset[2]) + distance
                                                : double(offset[2]) - distance);
    RotateByMatrix3(rotation, offset[0], offset[1], z, &lookOffset[0], &lookOffset[1],
                    &lookOffset[2]);
}

void L3DLocation::MoveAlong(const float* axis, double d) {
    if (!CanMove()) return;
    for (int i = 0; i < 3; ++i)
        position[i] = static_cast<float>(position[i] + axis[i] * d);
    NotifyMoved();
}

void L3DLocation::Move(float d) {
    const float forward[3] = {localMatrix[2], localMatrix[6], localMatrix[10]};
    MoveAlong(forward, mirrored ? -double(d) : d);
}

void L3DLocation::MoveUp(float d) {
    const float up[3] = {localMatrix[1], localMatrix[5], localMatrix[9]};
    MoveAlong(up, d);
}

void L3DLocation::MoveDown(float d) {
    MoveUp(-d);
}

void L3DLocation::MoveRight(float d) {
    const float side[3] = {localMatrix[0], localMatrix[4], localMatrix[8]};
    MoveAlong(side, mirrored ? -double(d) : d);
}

void L3DLocation::MoveLeft(float d) {
    MoveRight(-d);
}

void L3DLocation::SetAnglesNotified(float x, float y, float z, int relative) {
    if (!CanMove()) return;
    OnBeforeRotate();
    if (relative == 0) ResetRotation();
    SetAngles(x, y, z, relative);
    OnRotated();
    SetRotationChanged(1);
}

void L3DLocation::TurnLeft(float a) {
    SetAnglesNotified(0, NormalizeAngle(a), 0, 1);
}

void L3DLocation::TurnRight(float a) {
    SetAnglesNotified(0, NormalizeAngle(-a), 0, 1);
}

void L3DLocation::TurnDown(float a) {
    SetAnglesNotified(NormalizeAngle(a), 0, 0, 1);
}

void L3DLocation::TurnUp(float a) {
    SetAnglesNotified(NormalizeAngle(-a), 0, 0, 1);
}

void L3DLocation::RollRight(float a) {
    SetAnglesNotified(0, 0, NormalizeAngle(a), 1);
}

void L3DLocation::RollLeft(float a) {
    SetAnglesNotified(0, 0, NormalizeAngle(-a), 1);
}

void L3DLocation::SetOneAngle(int axis, float a, int relative) {
    float triple[3] = {};
    if (relative == 0) {
        triple[0] = angles[0];
        triple[1] = angles[1];
        triple[2] = angles[2];
    }
    triple[axis] = NormalizeAngle(a);
    SetAnglesNotified(triple[0], triple[1], triple[2], relative);
}

void L3DLocation::SetXAngle(float a, int relative) {
    SetOneAngle(0, mirrored ? -a : a, relative);
}

void L3DLocation::SetYAngle(float a, int relative) {
    SetOneAngle(1, a, relative);
}

void L3DLocation::SetZAngle(float a, int relative) {
    SetOneAngle(2, mirrored ? -a : a, relative);
}

void L3DLocation::SetXAngleRaw(float a, int relative) {
    SetOneAngle(0, a, relative);
}

void L3DLocation::SetZAngleRaw(float a, int relative) {
    SetOneAngle(2, a, relative);
}

void L3DLocation::Rotate(float ax, float ay, float az, int relative) {
    if (mirrored) {
        ax = -ax;
        az = -az;
    }
    SetAnglesNotified(NormalizeAngle(ax), NormalizeAngle(ay), NormalizeAngle(az), relative);
}

void L3DLocation::AddAngle(const float* a) {
    if (!CanMove()) return;
    float change[3] = {mirrored ? -a[0] : a[0], a[1], mirrored ? -a[2] : a[2]};
    float sum[3];
    for (int i = 0; i < 3; ++i)
        sum[i] = NormalizeAngle(angles[i] + NormalizeAngle(change[i]));
    OnBeforeRotate();
    SetAngles(sum[0], sum[1], sum[2], 0);
    OnRotated();
    SetRotationChanged(1);
}

void L3DLocation::SubAngle(const float* a) {
    const float negated[3] = {-a[0], -a[1], -a[2]};
    AddAngle(negated);
}

void L3DLocation::ComputeLookAngles(const L3DLocation* ref, float dx, float dy, float dz,
                                    float* outX, float* outY, float* outZ) {
    if (!CanMove()) return;
    double d[3] = {dx, dy, dz};
    if (mirrored) {
        for (double& component : d)
            component = -component;
    }
    double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    *outZ = 0;
    if (length == 0) {
        *outX = 0;
        *outY = 0;
        return;
    }
    double n[3] = {d[0] / length, d[1] / length, d[2] / length};
    double x = n[1] <= -1 ? kHalfPiFloat : n[1] >= 1 ? -kHalfPiFloat : -std::asin(n[1]);
    *outX = NormalizeAngle(static_cast<float>(x));
    if (n[0] == 0 && n[2] == 0) {
        *outY = ref ? ref->angles[1] : 0.0f;
        return;
    }
    double c = std::cos(double(*outX));
    double s = n[2] / c;
    double t = -n[0] / c;
    if (s == 0) {
        *outY = static_cast<float>(t < 0 ? kThreeHalvesPiFloat : kHalfPiFloat);
        return;
    }
    double base = s <= -1 ? kPiFloat : s >= 1 ? 0.0 : std::acos(s);
    *outY = static_cast<float>(t >= 0 ? base : kTwoPiFloat - base);
}

void L3DLocation::GetLookAtAngles(const L3DLocation* ref, float dx, float dy, float dz, float* outX,
                                  float* outY, float* outZ) {
    ComputeLookAngles(ref, dx, dy, dz, outX, outY, outZ);
    if (mirrored && CanMove()) {
        *outX = NormalizeAngle(-*outX);
        *outZ = NormalizeAngle(-*outZ);
    }
}

void L3DLocation::LookAt(L3DLocation& target, float divisor, uint32_t axes) {
    if (!CanMove() || axes == 0) return;
    float look[3];
    ComputeLookAngles(&target, target.position[0] - position[0], target.position[1] - position[1],
                      target.position[2] - position[2], &look[0], &look[1], &look[2]);
    if (divisor > 0) {
        look[0] = ApproachAngle(angles[0], look[0], divisor);
        look[1] = ApproachAngle(angles[1], look[1], divisor);
    }
    static constexpr uint32_t kAxisBits[3] = {2, 4, 8};
    for (int i = 0; i < 3; ++i) {
        if ((axes & kAxisBits[i]) == 0) look[i] = angles[i];
    }
    SetAnglesNotified(look[0], look[1], look[2], 0);
}

float L3DLocation::ApproachAngle(float current, float target, float divisor) {
    double from = NormalizeAngle(current);
    double d = double(NormalizeAngle(target)) - from;
    double r;
    if (d > 0 && d < kPiFloat) {
        r = from + d / divisor;
        if (r >= kTwoPiFloat) r -= kTwoPiFloat;
    } else if (d >= kPiFloat) {
        r = from - (kTwoPiFloat - d) / divisor;
        if (r < 0) r += kTwoPiFloat;
    } else if (d > -kPiFloat) {
        r = from + d / divisor;
        if (r < 0) r += kTwoPiFloat;
    } else {
        r = from + (d + kTwoPiFloat) / divisor;
        if (r >= kTwoPiFloat) r -= kTwoPiFloat;
    }
    return static_cast<float>(r);
}

int L3DLocation::StepTowards(FollowRecord* record) {
    if (!CanMove()) return 0;
    if (record == nullptr || record->target == nullptr) return 2;
    L3DLocation& target = *record->target;
    // Slot 8: an object brings its transform up to date there.
    target.OnBeforeRotate();
    record->active = 1;
    float offset[3] = {0, 0, 0};
    if (record->offset[0] != 0 || record->offset[1] != 0 || record->offset[2] != 0)
        RotateByMatrix3(target.localMatrix, record->offset[0], record->offset[1], record->offset[2],
                        &offset[0], &offset[1], &offset[2]);
    float look[3];
    RotateByMatrix3(target.localMatrix, record->lookOffset[0], record->lookOffset[1],
                    record->lookOffset[2], &look[0], &look[1], &look[2]);
    float divisor = record->divisor;
    for (int i = 0; i < 3; ++i) {
        float goal = target.position[i] + offset[i];
        look[i] += target.position[i];
        if (divisor > 0 && goal != position[i])
            position[i] = static_cast<float>(position[i] + (double(goal) - position[i]) / divisor);
        else
            position[i] = goal;
    }
    SetPositionChanged(1);
    float turn[3];
    ComputeLookAngles(&target, look[0] - position[0], look[1] - position[1], look[2] - position[2],
                      &turn[0], &turn[1], &turn[2]);
    if (divisor > 0) {
        turn[0] = ApproachAngle(angles[0], turn[0], divisor * 0.5f);
        turn[1] = ApproachAngle(angles[1], turn[1], divisor * 0.5f);
    }
    ResetRotation();
    SetAngles(turn[0], turn[1], turn[2], 0);
    OnRotated();
    SetRotationChanged(1);
    return 0;
}

int L3DLocation::StepAround(MoveAroundRecord* record) {
    if (!CanMove()) return 0;
    if (record == nullptr || record->target == nullptr) return 2;
    L3DLocation& target = *record->target;
    record->active = 1;
    MoveAroundRecord::Axis* axes = record->axes;
    float orbit[16];
    MatrixMakeRotation(axes[0].angle, axes[1].angle, axes[2].angle, orbit);
    MatrixMultiply(target.localMatrix, orbit, orbit);
    float direction[4];
    GetDirectionVector(orbit, direction);
    for (int i = 0; i < 3; ++i) {
        double goal = target.position[i] + double(direction[i]) * record->distance;
        position[i] = static_cast<float>(position[i] + (goal - position[i]) * 0.25);
    }
    NotifyMoved();
    float facing[3] = {NormalizeAngle(static_cast<float>(axes[0].angle + kPiFloat)),
                       NormalizeAngle(axes[1].angle), NormalizeAngle(axes[2].angle)};
    OnBeforeRotate();
    MatrixCopy(target.localMatrix, localMatrix);
    SetAngles(facing[0], facing[1], facing[2], 1);
    OnRotated();
    SetRotationChanged(1);
    for (MoveAroundRecord::Axis& axis : record->axes) {
        axis.angle = NormalizeAngle(axis.angle + axis.step);
        if (axis.angle < axis.minimum) {
            axis.step = -axis.step;
            axis.angle = axis.minimum;
        }
        if (axis.angle > axis.maximum) {
            axis.step = -axis.step;
            axis.angle = axis.maximum;
        }
    }
    return 0;
}
