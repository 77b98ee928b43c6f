// The fall of a placed object under its gravity, one tick at a time: it falls freely over
// empty space, lands on the floors below it (polygons facing down the Y axis, measured by
// the engine's floor query) and climbs back onto a floor it sank into while resting.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "classes/scene3d/location_class.h"
#include "engine3d/scene/objects/object.h"
#include "script/interpreter/interpretor.h"

namespace {

// What the floor query answers where no floor lies in that direction.
constexpr float kNone = 9999999.0f;
constexpr float kStep = 0.25f;
// A speed beyond this is no fall any more but a jump out of the world; past 2^23 a step
// of 0.25 would not even change it.
constexpr double kSpeedLimit = 1e6;
// Each search or climb measures at most this many heights: a tick must end.
constexpr int64_t kMaxSteps = 4096;

bool IsNone(float distance) {
    return distance >= kNone;
}

struct Clearance {
    float below = kNone;
    float above = kNone;
};

Clearance Measure(L3DObject& object, float x, float y, float z) {
    const float point[4] = {x, y, z, 0};
    Clearance c;
    object.GetCollisionExtents(point, &c.below, &c.above);
    return c;
}

// The number of 0.25 steps that take `speed` (negative) up to 0, within the cap.
int64_t SearchSteps(float speed) {
    const double steps = std::ceil(-double(speed) / kStep);
    if (!(steps > 0)) return 1;
    return std::min<int64_t>(kMaxSteps, int64_t(steps));
}

// The types that fall even while hidden: they are never drawn anyway.
bool FallsWhileHidden(uint32_t typeCode) {
    return typeCode == L3DObject::kCamera || typeCode == CILocation::kLightType ||
           typeCode == CILocation::kSoundType || typeCode == CILocation::kZoneType;
}

// A script number as the engine's float, saturating beyond the float range.
float ToFloat(double value) {
    return float(std::clamp(value, double(-FLT_MAX), double(FLT_MAX)));
}

} // namespace

void CILocation::SwitchGravity(float value) {
    gravity = value;
    if (engineObject == nullptr) return;
    if (value != 0) {
        resting = 0;
        speed = 0;
        clearance = 0;
        engineObject->gravity = 1;
        std::copy_n(engineObject->position, 3, lastPosition);
        lastPosition[3] = 0;
        if (movingHandle == 0) movingHandle = interpreter->AddMovingLocation(this);
    } else {
        engineObject->gravity = 0;
        if (movingHandle != 0) interpreter->RemoveMovingLocation(this);
        movingHandle = 0;
    }
}

void CILocation::SetGravity() {
    SwitchGravity(interpreter->IsArgDefault(0) ? 0.0f : ToFloat(interpreter->GetArgFloat(0)));
}

void CILocation::Tick(uint32_t now) {
    if (engineObject == nullptr || location == nullptr) return;
    if (engineObject->IsVisible() == 0 && !FallsWhileHidden(engineObject->typeCode)) return;
    // The tick runs inside the interpreter's time-driven walk: an error here would leave
    // that walk half done, so a failed repaint request is only dropped.
    try {
        if (resting == 0)
            Fall(now);
        else
            Rest();
    } catch (CIError* error) {
        delete error;
    }
}

void CILocation::MoveTo(const float* p, bool onlyY) {
    if (onlyY)
        location->SetPosition(kKeepValue, p[1], kKeepValue);
    else
        location->SetPosition(p[0], p[1], p[2]);
    std::copy_n(p, 3, lastPosition);
    lastPosition[3] = 0;
}

void CILocation::Fall(uint32_t now) {
    L3DObject& object = *engineObject;
    const float p[3] = {location->position[0], location->position[1], location->position[2]};
    const Clearance here = Measure(object, p[0], p[1], p[2]);
    const Clearance before = Measure(object, lastPosition[0], lastPosition[1], lastPosition[2]);
    const double elapsed = double(now - lastTick);
    const double next = double(speed) - elapsed * double(gravity) * 0.05;
    speed = std::isnan(next) ? 0.0f : float(std::clamp(next, -kSpeedLimit, kSpeedLimit));
    if (IsNone(before.below)) {
        const float q[3] = {p[0], p[1] + speed, p[2]};
        MoveTo(q, true);
        LocationChanged();
        return;
    }
    speed = std::max(speed, clearance - here.below);
    // Up from the furthest point the fall may reach, to the first height with a floor
    // under it.
    float q[3] = {p[0], p[1], p[2]};
    float below = kNone;
    const int64_t steps = SearchSteps(speed);
    for (int64_t i = 0; i < steps; ++i) {
        q[1] = p[1] + speed;
        speed += kStep;
        below = Measure(object, q[0], q[1], q[2]).below;
        if (speed >= -0.001f || !IsNone(below)) break;
    }
    if (!IsNone(below)) {
        speed -= kStep;
        MoveTo(q, false);
    } else {
        std::copy_n(p, 3, lastPosition);
        lastPosition[3] = 0;
    }
    if (speed > 0) speed = 0;
    LocationChanged();
}

void CILocation::Rest() {
    L3DObject& object = *engineObject;
    const float p[3] = {location->position[0], location->position[1], location->position[2]};
    const Clearance here = Measure(object, p[0], p[1], p[2]);
    const float b0 = Measure(object, lastPosition[0], lastPosition[1], lastPosition[2]).below;
    const float b1 = here.below;
    // Only a floor less than the object's own radius above its centre is one it sank into;
    // a floor higher up (a lintel over a door, the storey above) is not climbed onto.
    const float a1 = here.above <= object.GetCollisionRadius() ? here.above : kNone;
    if (!((!IsNone(b1) && IsNone(a1)) || IsNone(b0))) {
        // Sunk into the floor: up in 0.25 steps to the first height that stands on it,
        // no further than the floor's own height above the object allows.
        float q[3] = {p[0], p[1], p[2]};
        double start = p[1];
        if (!IsNone(a1)) start = double(p[1]) + a1 - kStep;
        const double limit = IsNone(a1) ? double(kStep) * kMaxSteps : double(a1) + clearance + 1;
        const double span = std::ceil((limit - (start - double(p[1]))) / kStep);
        const int64_t steps = span >= 1 ? std::min<int64_t>(kMaxSteps, int64_t(span)) : 1;
        float below = kNone;
        for (int64_t i = 1; i <= steps; ++i) {
            q[1] = float(start + double(kStep) * double(i));
            const Clearance c = Measure(object, q[0], q[1], q[2]);
            below = c.below;
            if (!IsNone(c.below) && c.below >= clearance) break;
            if (IsNone(a1) && IsNone(c.below) && IsNone(c.above)) break;
            below = kNone;
        }
        if (IsNone(below)) {
            std::copy_n(p, 3, lastPosition);
            lastPosition[3] = 0;
            return;
        }
        MoveTo(q, false);
        LocationChanged();
        return;
    }
    if (IsNone(b1) && IsNone(b0)) {
        resting = 0;
        speed = 0;
        clearance = 0;
        std::copy_n(p, 3, lastPosition);
        lastPosition[3] = 0;
        return;
    }
    const float s1 = b1 - b0 < 0 ? -1.0f : 1.0f;
    const float s2 = p[1] - location->previousPosition[1] < 0 ? -1.0f : 1.0f;
    if (s1 != s2) {
        std::copy_n(p, 3, lastPosition);
        lastPosition[3] = 0;
        return;
    }
    if (IsNone(b1) || b1 <= clearance) return;
    // The floor dropped away beyond the clearance: the fall starts again.
    resting = 0;
    speed = 0;
    clearance = 0;
    std::copy_n(p, 3, lastPosition);
    lastPosition[3] = 0;
}
